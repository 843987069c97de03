// The one report of a damaged record. A loader that finds a record of the document damaged (the
// host holds fewer bytes than the record's layout has) tells the user through the message
// dialog, naming the record the document holds by its tag and keys and saying what is wrong; its
// answer stays what the host's load gave, so that a command goes on as it would have without the
// report. A record the host computes from another for the load (the staff record of a cell that
// stores none is the staff's own, 'SOIS') is reported as the record it comes from: the report
// counts what the document holds.
//
// A record that loaded short is never written back padded: a later save under the keys of that
// load that would write more than the record holds is refused, so that the record stays as the
// document holds it, and the report says so ("It is left as the document holds it.").
//
// Each record of each document is reported once while the document is open: a walk that reads a
// record again and again does not repeat the message. The report knows a document by the identity
// the host gives it (host service 63), not by its name, and forgets a document once it is closed.
// While a command runs (a DamagedRecordReport lives) the records it finds, and those whose save
// it refused, are told in one message when it ends, counting them.
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

/// Whether a load of `tag` with the host's keys block `keys` (the key words its family shows:
/// `shown`) that asked for `expected` bytes and was given `held` found the record whole. A short
/// record is reported as the record the document holds, and the load is remembered, so that a
/// save under its keys does not write the record back padded (RefusePaddedSave).
bool CheckLoadedRecord(hostapi::Tag tag, const int16_t* keys, std::initializer_list<int32_t> shown, int32_t held,
                       int32_t expected);

/// Whether a save of `size` bytes of `tag` with the keys block `keys` in the document in front
/// must be refused: a load under these keys found the record short, and the record the host
/// holds now is still shorter than the save. The refusal is told as the damaged record is.
bool RefusePaddedSave(hostapi::Tag tag, const int16_t* keys, int32_t size);

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
