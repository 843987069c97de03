#include "core/host/record_integrity.h"

#include <algorithm>
#include <utility>

#include "core/host/access_state.h"
#include "core/host/core_hooks.h"
#include "core/host/host_window.h"

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
    if (report.count == 1) {
        ShowHostText(HostText::RecordDamaged, {report.firstName, std::to_string(report.firstHeld),
                                               std::to_string(report.firstExpected)});
    } else if (report.count > 1) {
        ShowHostText(HostText::RecordsDamaged, {std::to_string(report.count), report.firstName,
                                                std::to_string(report.firstExpected - report.firstHeld)});
    }
}

}  // namespace

void ReportShortRecord(hostapi::Tag tag, std::initializer_list<int32_t> keys, int32_t held, int32_t expected) {
    std::string document;
    GetHostWindowTitle(document);
    ReportedRecord record{std::move(document), tag, RecordKeysText(keys)};
    auto& reported = TheAccessLayer.damagedRecords;
    if (std::find(reported.begin(), reported.end(), record) != reported.end()) {
        return;
    }
    reported.push_back(std::move(record));
    DamageReport& report = TheAccessLayer.damageReport;
    if (++report.count == 1) {
        report.firstName = "'" + hostapi::TagName(tag) + "' " + reported.back().keys;
        report.firstHeld = held;
        report.firstExpected = expected;
    }
    if (report.depth == 0) {
        ShowDamage(std::exchange(report, DamageReport{}));
    }
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
