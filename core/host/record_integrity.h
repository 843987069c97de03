// The one report of a damaged record. A loader that finds a record of the document damaged (the
// host holds fewer bytes than the record's layout has) tells the user through the message
// dialog, naming the record by its tag and keys and saying what is wrong; its answer stays what
// the host's load gave, so that a command goes on as it would have without the report. Each
// record is reported once until the access layer is reset: a walk that reads a record again and
// again does not repeat the message.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "platform/hostapi/types.h"

namespace orvex {

/// The keys of a record as the report shows them: "(3, 0)".
std::string RecordKeysText(std::initializer_list<int32_t> keys);

/// Tells the user once that the record `tag` with `keys` (the key words its family uses) holds
/// `held` bytes where its layout has `expected`.
void ReportShortRecord(hostapi::Tag tag, std::initializer_list<int32_t> keys, int32_t held, int32_t expected);

/// Whether a load that asked for `expected` bytes and was given `held` found the record whole;
/// a short record is reported (ReportShortRecord).
bool CheckRecordSize(hostapi::Tag tag, std::initializer_list<int32_t> keys, int32_t held, int32_t expected);

}  // namespace orvex
