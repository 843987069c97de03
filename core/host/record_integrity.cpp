#include "core/host/record_integrity.h"

#include <algorithm>

#include "core/host/access_state.h"
#include "core/host/core_hooks.h"

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

void ReportShortRecord(hostapi::Tag tag, std::initializer_list<int32_t> keys, int32_t held, int32_t expected) {
    ReportedRecord record{tag, RecordKeysText(keys)};
    auto& reported = TheAccessLayer.damagedRecords;
    if (std::find(reported.begin(), reported.end(), record) != reported.end()) {
        return;
    }
    reported.push_back(std::move(record));
    const std::string name = "'" + hostapi::TagName(tag) + "' " + reported.back().keys;
    ShowHostText(HostText::RecordDamaged, {name, std::to_string(held), std::to_string(expected)});
}

bool CheckRecordSize(hostapi::Tag tag, std::initializer_list<int32_t> keys, int32_t held, int32_t expected) {
    if (held >= expected) {
        return true;
    }
    ReportShortRecord(tag, keys, held, expected);
    return false;
}

}  // namespace orvex
