// The one report of a damaged record. A loader that finds a record of the document damaged (the
// host holds fewer bytes than the record's layout has) tells the user through the message
// dialog, naming the record by its tag and keys and saying what is wrong; its answer stays what
// the host's load gave, so that a command goes on as it would have without the report. Each
// record of each document is reported once until the access layer is reset: a walk that reads a
// record again and again does not repeat the message. While a command runs (a
// DamagedRecordReport lives) the records it finds are gathered and told in one message when it
// ends, counting them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "platform/hostapi/types.h"

namespace orvex {

/// The keys of a record as the report shows them: "(3, 0)".
std::string RecordKeysText(std::initializer_list<int32_t> keys);

/// Tells the user once that the record `tag` with `keys` (the key words its family uses) of the
/// document in front holds `held` bytes where its layout has `expected`: at once, or with the
/// others of the command when a DamagedRecordReport lives.
void ReportShortRecord(hostapi::Tag tag, std::initializer_list<int32_t> keys, int32_t held, int32_t expected);

/// Tells the user once that the entry (of the staff and measure, as the host lent it) holds a
/// position or an actual duration out of range (0 to hostapi::kLongestEntryEdu): gathered as
/// ReportShortRecord gathers.
void ReportDamagedEntry(hostapi::EntryNumber entry, hostapi::InstrumentKey staff, hostapi::MeasureNumber measure);

/// Whether a load that asked for `expected` bytes and was given `held` found the record whole;
/// a short record is reported (ReportShortRecord).
bool CheckRecordSize(hostapi::Tag tag, std::initializer_list<int32_t> keys, int32_t held, int32_t expected);

/// While one lives (the outermost of them), the damaged records found are gathered; when it ends,
/// the user is told of them in one message (none when none was found).
class DamagedRecordReport {
public:
    DamagedRecordReport();
    ~DamagedRecordReport();
    DamagedRecordReport(const DamagedRecordReport&) = delete;
    DamagedRecordReport& operator=(const DamagedRecordReport&) = delete;
};

}  // namespace orvex
