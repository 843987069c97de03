// Helpers of the staff list manager's tests: a simulated host with one document, the stored staff
// lists and groups of the systems, and the module's state put back after every case.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/module.h"
#include "platform/host/record_layouts.h"
#include "platform/hostapi/layout_records.h"
#include "tests/core/score_host_fixture.h"

namespace stafflisttest {

/// A staff list as stored: staff number and position of each entry.
using StaffList = std::vector<std::pair<int32_t, int32_t>>;

inline host::RecordKey Usage(int16_t list, int16_t inci) {
    return host::RecordKey::Other(host::kTagStaffListEntry, list, inci);
}
inline host::RecordKey Group(int16_t list, int16_t group) {
    return host::RecordKey::Detail(hostapi::kTagStaffGroup, list, group, 0);
}

class StaffListTest : public testsupport::ScoreHostTest {
protected:
    void TearDown() override {
        ExpectNothingLeft();
        orvex::ResetModule();
        testsupport::ScoreHostTest::TearDown();
    }

    StaffList StoredList(int16_t list) {
        StaffList staves;
        for (int16_t i = 0;; ++i) {
            const host::Bytes* bytes = Stored(Usage(list, i));
            if (bytes == nullptr) {
                return staves;
            }
            staves.emplace_back(hostapi::ReadI16(bytes->data(), 0), hostapi::ReadI32(bytes->data(), 8));
        }
    }
    /// First and last staff of a stored group; {0, 0} when it is missing.
    std::pair<int16_t, int16_t> StoredGroup(int16_t list, int16_t group) {
        const host::Bytes* bytes = Stored(Group(list, group));
        return bytes == nullptr ? std::pair<int16_t, int16_t>{0, 0}
                                : std::pair{hostapi::ReadI16(bytes->data(), 0), hostapi::ReadI16(bytes->data(), 2)};
    }
    /// Sets the top staff offset of a system in both stored forms.
    void SetTopStaffOffset(int16_t system, int16_t value) {
        for (hostapi::Tag tag : {hostapi::kTagStaffSystem, hostapi::kTagStaffSystem2001}) {
            const host::RecordKey key = host::RecordKey::Other(tag, system, 0);
            host::Bytes bytes = *Stored(key);
            hostapi::WriteI16(bytes.data(), hostapi::StaffSystemLayout::kTopStaffOffset, value);
            Document().Records().Save(key, bytes);
        }
    }
};

}  // namespace stafflisttest
