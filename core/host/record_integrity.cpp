#include "core/host/record_integrity.h"

#include <algorithm>
#include <array>
#include <utility>

#include "core/host/access_state.h"
#include "core/host/core_hooks.h"
#include "core/host/host_window.h"
#include "core/host/text_format.h"

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

void ShowDamage(const DamageReport& report) {
    if (report.firstWords.size() != 4) {
        return;
    }
    const std::vector<std::string>& words = report.firstWords;
    if (report.count == 1) {
        ShowHostText(report.firstText, {words[1], words[2], words[3]});
    } else if (report.count > 1) {
        ShowHostText(HostText::RecordsDamaged, {std::to_string(report.count), words[0]});
    }
}

/// Tells the user of a damaged record once per document: at once, or gathered with the others of
/// the command while a DamagedRecordReport lives.
void Report(hostapi::Tag tag, std::string keys, std::string name, HostText text,
            std::array<std::string, 3> arguments) {
    std::string document;
    GetHostWindowTitle(document);
    ReportedRecord record{std::move(document), tag, std::move(keys)};
    auto& reported = TheAccessLayer.damagedRecords;
    if (std::find(reported.begin(), reported.end(), record) != reported.end()) {
        return;
    }
    reported.push_back(std::move(record));
    DamageReport& report = TheAccessLayer.damageReport;
    if (++report.count == 1) {
        report.firstText = text;
        report.firstWords = {std::move(name), std::move(arguments[0]), std::move(arguments[1]),
                             std::move(arguments[2])};
    }
    if (report.depth == 0) {
        ShowDamage(std::exchange(report, DamageReport{}));
    }
}

}  // namespace

void ReportShortRecord(hostapi::Tag tag, std::initializer_list<int32_t> keys, int32_t held, int32_t expected) {
    std::string keysText = RecordKeysText(keys);
    std::string name = "'" + hostapi::TagName(tag) + "' " + keysText;
    Report(tag, std::move(keysText), name, HostText::RecordDamaged,
           {name, std::to_string(held), std::to_string(expected)});
}

void ReportDamagedEntry(hostapi::EntryNumber entry, hostapi::InstrumentKey staff, hostapi::MeasureNumber measure) {
    const std::string number = std::to_string(entry);
    const std::string staffText = std::to_string(staff);
    const std::string measureText = std::to_string(measure);
    Report(
        0, number,
        FormatText(HostTextOf(HostText::EntryName).In(TheAccessLayer.host.language), {number, staffText, measureText}),
        HostText::EntryDamaged, {number, staffText, measureText});
}

bool CheckRecordSize(hostapi::Tag tag, std::initializer_list<int32_t> keys, int32_t held, int32_t expected) {
    if (held >= expected) {
        return true;
    }
    ReportShortRecord(tag, keys, held, expected);
    return false;
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
