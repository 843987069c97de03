// The readable listing of a document's stored records ("dump records"): one line a record, in
// key order, with the fields the host knows spelled out and the bytes of every other record
// in hexadecimal.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/host/document.h"

namespace host {

/// One line a record of the document (of one tag when given), each "'TAG' (KEYS), N bytes: ...".
/// Texts are shown in UTF-8.
std::vector<std::string> RecordListing(const Document& document, std::optional<hostapi::Tag> tag = std::nullopt);

/// One record as the listing shows it, its fields read against `document`.
std::string RecordListingLine(const Document& document, const RecordKey& key, const Bytes& bytes);

}  // namespace host
