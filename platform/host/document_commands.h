// What the user does with documents in the host: make one from a score text, open and save
// document files, bring a document to the front, list its records. hostsim's script commands
// call these; each reports in the transcript. A file that cannot be read or written is
// reported ("host: cannot open ...") and leaves the open documents as they were; asking for a
// document that is not there throws std::runtime_error.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/host/cell_dump.h"
#include "platform/host/host.h"

namespace host {

/// Why a file could not be read or written, for a caller that reports it with its place: the
/// message, and the line and column in the file (from 1; 0 when the fault is not in one line)
/// with the text of that line.
struct FileProblem {
    std::string message;
    size_t line = 0;
    size_t column = 0;
    std::string lineText;
    /// The mistakes after the first, each at its own line.
    std::vector<FileProblem> more;
};

/// Builds a document from a score text file and brings it to the front; answers whether it did.
/// What the score text holds that is allowed but likely not meant goes to `warnings`.
bool NewDocumentFromScoreFile(Host& host, const std::filesystem::path& path, FileProblem* problem = nullptr,
                              std::vector<FileProblem>* warnings = nullptr);
/// Opens a document file and brings it to the front; answers whether it did. A file that is open
/// already as a document is not opened twice: that document comes to the front, and the
/// transcript says so.
bool OpenDocumentFile(Host& host, const std::filesystem::path& path, FileProblem* problem = nullptr);
/// The extension of score texts, which "save" writes as a score text.
inline constexpr const char* kScoreTextExtension = ".score";

/// Writes the document in front to a document file, which then names it (the file name without
/// its extension); answers whether it did. A file name ending in ".score" gets the document as a
/// score text (score_text_writer.h) instead, and the document keeps its name and file.
bool SaveFrontDocument(Host& host, const std::filesystem::path& path, FileProblem* problem = nullptr);
/// Closes the document in front ("host: closed document N "NAME""); answers whether one was open.
bool CloseFrontDocument(Host& host);
/// Brings document `number` (1-based, in the order of opening) to the front.
void BringDocumentToFront(Host& host, int32_t number);
/// Lists the records of the document in front, of one tag when given.
void ListFrontRecords(Host& host, std::optional<hostapi::Tag> tag);
/// Lists the document in front as a score text ("dump score").
void ListFrontScoreText(Host& host);
/// Lists the entries of the document in front, of the staves and measures given (all when none).
void ListFrontCells(Host& host, std::optional<NumberRange> staves, std::optional<NumberRange> measures);
/// Checks the document in front (document_check.h) and lists every problem it finds ("check
/// document"); with `since`, only the problems that the document in that file (a document file,
/// or a score text when its name ends in ".score", read as this host keeps documents) does not
/// have: what the commands since brought. Answers whether the file could be read.
bool CheckFrontDocument(Host& host, const std::optional<std::filesystem::path>& since, FileProblem* problem = nullptr);
/// The user will stop the next progress display at step `step`.
void StopProgressAt(Host& host, int32_t step);

}  // namespace host
