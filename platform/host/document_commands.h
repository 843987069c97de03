// What the user does with documents in the host: make one from a score text, open and save
// document files, bring a document to the front, list its records. hostsim's script commands
// call these; each reports in the transcript. A file that cannot be read or written is
// reported ("host: cannot open ...") and leaves the open documents as they were; asking for a
// document that is not there throws std::runtime_error.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include "platform/host/cell_dump.h"
#include "platform/host/host.h"

namespace host {

/// Builds a document from a score text file and brings it to the front; answers whether it did.
bool NewDocumentFromScoreFile(Host& host, const std::filesystem::path& path);
/// Opens a document file and brings it to the front; answers whether it did.
bool OpenDocumentFile(Host& host, const std::filesystem::path& path);
/// Writes the document in front to a document file, which then names it; answers whether it did.
bool SaveFrontDocument(Host& host, const std::filesystem::path& path);
/// Closes the document in front ("host: closed document N "NAME""); answers whether one was open.
bool CloseFrontDocument(Host& host);
/// Brings document `number` (1-based, in the order of opening) to the front.
void BringDocumentToFront(Host& host, int32_t number);
/// Lists the records of the document in front, of one tag when given.
void ListFrontRecords(Host& host, std::optional<hostapi::Tag> tag);
/// Lists the entries of the document in front, of the staves and measures given (all when none).
void ListFrontCells(Host& host, std::optional<NumberRange> staves, std::optional<NumberRange> measures);
/// The user will stop the next progress display at step `step`.
void StopProgressAt(Host& host, int32_t step);

}  // namespace host
