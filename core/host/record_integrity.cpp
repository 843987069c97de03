#include "core/host/record_integrity.h"

#include <algorithm>
#include <array>
#include <climits>
#include <utility>
#include <vector>

#include "core/host/access_state.h"
#include "core/host/core_hooks.h"
#include "core/host/host_imports.h"
#include "core/host/text_format.h"
#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/music_records.h"

namespace orvex {

std::string RecordKeysText(std::initializer_list<int32_t> keys) {
    std::string text = "(";
    for (const int32_t key : keys) {
        if (text.size() > 1) {
            text += ", ";
        }
        text += std::to_string(key);
    }
    return text + ")";
}

namespace {

using hostapi::kInterfaceVersion;
using KeyWords = std::array<int16_t, 3>;

KeyWords Words(const int16_t* keys) {
    return {keys[0], keys[1], keys[2]};
}

std::string RecordName(hostapi::Tag tag, const std::string& keys) {
    return "'" + hostapi::TagName(tag) + "' " + keys;
}

void ShowDamage(const DamageReport& report) {
    if (report.firstWords.size() != 4) {
        return;
    }
    const std::vector<std::string>& words = report.firstWords;
    if (report.count == 1) {
        const HostText text =
            report.kept && report.firstText == HostText::RecordDamaged ? HostText::RecordDamagedKept : report.firstText;
        ShowHostText(text, {words[1], words[2], words[3]});
    } else if (report.count > 1) {
        ShowHostText(report.kept ? HostText::RecordsDamagedKept : HostText::RecordsDamaged,
                     {std::to_string(report.count), words[0]});
    }
}

/// The identity the host gives the document in front (host service 63; 0 when it gives none),
/// once what the report remembers of documents that are no longer open is forgotten.
int32_t FrontDocument() {
    const auto identity = Imports().DocumentIdentity;
    if (identity == nullptr) {
        return 0;
    }
    std::vector<int32_t> open;
    for (int32_t n = 1; n <= INT16_MAX; ++n) {
        const int32_t document = identity(n, kInterfaceVersion);
        if (document == 0) {
            break;
        }
        open.push_back(document);
    }
    const auto closed = [&open](int32_t document) {
        return std::find(open.begin(), open.end(), document) == open.end();
    };
    std::erase_if(TheAccessLayer.damagedRecords, [&](const ReportedRecord& record) { return closed(record.document); });
    std::erase_if(TheAccessLayer.shortLoads, [&](const ShortLoad& load) { return closed(load.document); });
    return identity(0, kInterfaceVersion);
}

/// Counts a record once in the command's report; the first one counted gives the message's words.
void Count(const ReportedRecord& record, std::string name, HostText text, std::array<std::string, 3> arguments) {
    DamageReport& report = TheAccessLayer.damageReport;
    if (std::find(report.counted.begin(), report.counted.end(), record) != report.counted.end()) {
        return;
    }
    report.counted.push_back(record);
    if (++report.count == 1) {
        report.firstText = text;
        report.firstWords = {std::move(name), std::move(arguments[0]), std::move(arguments[1]),
                             std::move(arguments[2])};
    }
}

/// Outside a command the report is told at once.
void ShowOutsideACommand() {
    DamageReport& report = TheAccessLayer.damageReport;
    if (report.depth == 0) {
        ShowDamage(std::exchange(report, DamageReport{}));
    }
}

/// Tells of a damaged record once per document: at once, or gathered with the others of the
/// command while a DamagedRecordReport lives.
void Report(const ReportedRecord& record, std::string name, HostText text, std::array<std::string, 3> arguments) {
    auto& reported = TheAccessLayer.damagedRecords;
    if (std::find(reported.begin(), reported.end(), record) != reported.end()) {
        return;
    }
    reported.push_back(record);
    Count(record, std::move(name), text, std::move(arguments));
    ShowOutsideACommand();
}

/// Whether the host stores the staff record of a cell under these keys: a load of one that the
/// cell does not store answers the staff's own record. The stored record next to the keys (found
/// with the host's step services, which see stored records only) is the one under them.
bool CellStoresStaffRecord(const int16_t* keys) {
    const auto& imports = Imports();
    if (imports.NextRecord == nullptr || imports.PreviousRecord == nullptr) {
        return true;  // without them the record is taken as the load answered it
    }
    KeyWords from = Words(keys);
    const auto position = static_cast<uint16_t>(keys[2]);
    bool found = false;
    if (position > 0) {
        from[2] = static_cast<int16_t>(position - 1);
        found = imports.NextRecord(hostapi::kTagStaffSpec, from.data(), nullptr, 0, kInterfaceVersion) != 0;
    } else {
        from[2] = 1;
        found = imports.PreviousRecord(hostapi::kTagStaffSpec, from.data(), nullptr, 0, kInterfaceVersion) != 0;
    }
    return found && from == Words(keys);
}

/// The bytes the host holds under the keys now; -1 when it holds no such record.
int32_t HeldNow(hostapi::Tag tag, const KeyWords& keys) {
    const auto load = Imports().LoadRecord;
    KeyWords copy = keys;
    int32_t size = 0;
    if (load == nullptr || load(tag, copy.data(), nullptr, &size, kInterfaceVersion) == 0) {
        return -1;
    }
    return size;
}

}  // namespace

void ReportShortRecord(hostapi::Tag tag, std::initializer_list<int32_t> keys, int32_t held, int32_t expected) {
    const ReportedRecord record{FrontDocument(), tag, RecordKeysText(keys)};
    const std::string name = RecordName(tag, record.keys);
    Report(record, name, HostText::RecordDamaged, {name, std::to_string(held), std::to_string(expected)});
}

void ReportDamagedEntry(hostapi::EntryNumber entry, hostapi::InstrumentKey staff, hostapi::MeasureNumber measure) {
    const std::string number = std::to_string(entry);
    const std::string staffText = std::to_string(staff);
    const std::string measureText = std::to_string(measure);
    Report(
        ReportedRecord{FrontDocument(), 0, number},
        FormatText(HostTextOf(HostText::EntryName).In(TheAccessLayer.host.language), {number, staffText, measureText}),
        HostText::EntryDamaged, {number, staffText, measureText});
}

bool CheckLoadedRecord(hostapi::Tag tag, const int16_t* keys, std::initializer_list<int32_t> shown, int32_t held,
                       int32_t expected) {
    if (held >= expected) {
        return true;
    }
    ShortLoad load{FrontDocument(), tag, Words(keys), ReportedRecord{}, {}, expected};
    load.stored = ReportedRecord{load.document, tag, RecordKeysText(shown)};
    if (tag == hostapi::kTagStaffSpec && !CellStoresStaffRecord(keys)) {
        // The host answered the staff's own record for the cell: that is the record damaged.
        load.stored = ReportedRecord{load.document, hostapi::kTagStaff, RecordKeysText({keys[0], 0})};
    }
    load.name = RecordName(load.stored.tag, load.stored.keys);
    Report(load.stored, load.name, HostText::RecordDamaged,
           {load.name, std::to_string(held), std::to_string(expected)});
    auto& loads = TheAccessLayer.shortLoads;
    if (std::none_of(loads.begin(), loads.end(), [&](const ShortLoad& known) {
            return known.document == load.document && known.tag == tag && known.keys == load.keys;
        })) {
        loads.push_back(std::move(load));
    }
    return false;
}

bool RefusePaddedSave(hostapi::Tag tag, const int16_t* keys, int32_t size) {
    if (TheAccessLayer.shortLoads.empty()) {
        return false;
    }
    const int32_t document = FrontDocument();
    const KeyWords words = Words(keys);
    const auto& loads = TheAccessLayer.shortLoads;
    const auto load = std::find_if(loads.begin(), loads.end(), [&](const ShortLoad& known) {
        return known.document == document && known.tag == tag && known.keys == words;
    });
    if (load == loads.end()) {
        return false;
    }
    const int32_t held = HeldNow(tag, words);
    if (held < 0 || size <= held) {
        return false;  // the record is gone, or the save writes no more than it holds
    }
    Count(load->stored, load->name, HostText::RecordDamaged,
          {load->name, std::to_string(held), std::to_string(load->expected)});
    TheAccessLayer.damageReport.kept = true;
    ShowOutsideACommand();
    return true;
}

DamagedRecordReport::DamagedRecordReport() {
    ++TheAccessLayer.damageReport.depth;
}

DamagedRecordReport::~DamagedRecordReport() {
    DamageReport& report = TheAccessLayer.damageReport;
    if (--report.depth > 0) {
        return;
    }
    const DamageReport found = std::exchange(report, DamageReport{});
    try {
        ShowDamage(found);
    } catch (...) {
        // A message that cannot be shown while the command unwinds is dropped: the command's own
        // error is what the user is told.
    }
}

}  // namespace orvex
