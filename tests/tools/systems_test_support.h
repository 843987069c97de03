// Helpers of the staff-system command tests: a document of staff systems with optimizations, the
// selection the commands read, and the system records, staff lists, groups and locks as stored.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/dispatch.h"
#include "core/module.h"
#include "core/tool_context.h"
#include "platform/host/document.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/layout_records.h"
#include "platform/win/win.h"
#include "tests/core/score_host_fixture.h"
#include "tests/tools/layout_test_support.h"

namespace systemstest {

/// Sixteen measures of 540 EVPU in four systems of four measures: the host's layout makes the
/// same systems. Systems 2 to 4 have staff lists of their own; systems 2 and 4 a group each.
inline constexpr const char* kFourSystems =
    "staff \"A\"\nstaff \"B\"\nstaff \"C\"\nmeasures 16 width 540\n"
    "system 1 4\nsystem 5 8\nsystem 9 12\nsystem 13 16\n"
    "stafflist 2 1 2\nstafflist 3 1 3\nstafflist 4 2 3\n"
    "group 1 2 \"Two\" list 2\ngroup 2 3 \"Four\" list 4\n";

/// A system as stored: first measure and end measure.
using Span = std::pair<int32_t, int32_t>;
using Spans = std::vector<Span>;
/// The staves of each system's own list, system 1 first.
using Lists = std::vector<std::vector<int32_t>>;

inline host::RecordKey SystemKey(int16_t k) {
    return host::RecordKey::Other(hostapi::kTagStaffSystem2001, k, 0);
}

/// The stored systems, up to the first missing one.
inline Spans StoredSystems(host::Document& document) {
    Spans spans;
    for (int16_t k = 1;; ++k) {
        const host::Bytes* bytes = document.Records().Find(SystemKey(k));
        if (bytes == nullptr) {
            return spans;
        }
        spans.emplace_back(hostapi::ReadI16(bytes->data(), hostapi::StaffSystemLayout::kFirstMeasure),
                           hostapi::ReadI16(bytes->data(), hostapi::StaffSystemLayout::kEndMeasure));
    }
}

/// The staves of the lists of systems 1 to `count`.
inline Lists StoredLists(host::Document& document, int16_t count) {
    Lists lists;
    for (int16_t k = 1; k <= count; ++k) {
        std::vector<int32_t> staves;
        for (int16_t i = 0;; ++i) {
            const host::Bytes* entry = document.Records().Find(host::RecordKey::Other(hostapi::MakeTag("SOIu"), k, i));
            if (entry == nullptr) {
                break;
            }
            staves.push_back(hostapi::ReadI16(entry->data(), 0));
        }
        lists.push_back(staves);
    }
    return lists;
}

/// The first staff of group 1 of the groups of systems 1 to `count`, 0 for none.
inline std::vector<int32_t> StoredGroups(host::Document& document, int16_t count) {
    std::vector<int32_t> groups;
    for (int16_t k = 1; k <= count; ++k) {
        const host::Bytes* group = document.Records().Find(host::RecordKey::Detail(hostapi::kTagStaffGroup, k, 1, 0));
        groups.push_back(group == nullptr ? 0 : hostapi::ReadI16(group->data(), 0));
    }
    return groups;
}

/// The end measure of the lock at a measure, 0 for none.
inline int32_t LockAt(host::Document& document, int16_t measure) {
    const host::Bytes* lock = document.Records().Find(host::RecordKey::Other(hostapi::kTagLockedMeasures, measure, 0));
    return lock == nullptr ? 0 : hostapi::ReadI16(lock->data(), 0);
}

/// Whether the transcript holds the line.
inline bool Shown(const std::string& line) {
    const auto& lines = win::TranscriptLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

/// The tools called directly, on a document whose layout is held so that the records stay as
/// the commands write them.
class SystemsTest : public testsupport::ScoreHostTest {
protected:
    void OpenHeld(const std::string& score, int32_t year = 2000) {
        Open(score, year);
        m_host->SetLayoutHeld(true);
        orvex::TheModule.dispatch.SelectionRecords[1] = m_host->DocumentRegion();
    }
    void SelectMeasures(int16_t first, int16_t last) {
        orvex::TheModule.dispatch.SelectionRecords[0] = m_host->DocumentRegion();
        orvex::TheModule.dispatch.SelectionRecords[0].setFirstMeasure(first);
        orvex::TheModule.dispatch.SelectionRecords[0].setLastMeasure(last);
        orvex::TheModule.dispatch.CurrentRegion = &orvex::TheModule.dispatch.SelectionRecords[0];
    }
    /// A context of the item with its option defaults (and those of its "More..." set) and some
    /// rows changed.
    std::shared_ptr<orvex::TFMisc> Tool(orvex::ToolItem item, const std::vector<std::pair<size_t, int32_t>>& rows = {},
                                        int32_t moreSet = 0) {
        std::shared_ptr<orvex::TFMisc> context = layouttest::ToolWithDefaults(item, moreSet);
        for (const auto& [row, value] : rows) {
            context->Options[row].value = value;
        }
        return context;
    }
    int16_t SystemWord(int16_t k, size_t offset) { return StoredWord(SystemKey(k), offset); }
    void SetSystemWord(int16_t k, size_t offset, int16_t value) {
        host::Bytes bytes = *Stored(SystemKey(k));
        hostapi::WriteI16(bytes.data(), offset, value);
        Document().SaveRecord(SystemKey(k), bytes);  // both stored forms
    }
};

}  // namespace systemstest
