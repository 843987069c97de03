// "Split Staff System..." and the primitives it shares with the other system commands: the
// width list with multimeasure rests, the balancing and the split, on the stored records.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/host/staff_systems.h"
#include "core/tool_items.h"
#include "platform/hostapi/bytes.h"
#include "tests/support/orvex_host.h"
#include "tests/tools/notes_fixture.h"
#include "tests/tools/systems_test_support.h"
#include "tools/layout/layout_services.h"
#include "tools/layout/split_system.h"

namespace {

using namespace orvex;
using systemstest::Lists;
using systemstest::Shown;
using systemstest::Spans;

class SplitTest : public systemstest::SystemsTest {};

// ---- Width list ----

TEST_F(SplitTest, AMultimeasureRestCountsItsWidthAtItsFirstMeasure) {
    OpenHeld("staff \"A\"\nmeasures 3 width 100\nmeasures 3 width 200\nsystem 1 6\n");
    // A rest over measures 2-4.
    host::Bytes rest(24, 0);
    hostapi::WriteI16(rest.data(), 0, 250);
    hostapi::WriteI16(rest.data(), 2, 5);
    Document().Records().Save(host::RecordKey::Other(kTagMultimeasureRest, 2, 0), rest);
    WidthList list;
    ASSERT_TRUE(BuildMeasureGroupList(list, 1, 3));
    EXPECT_EQ(list.widths, (std::vector<int32_t>{100, 250, 0, 0}));
    EXPECT_FALSE(BuildMeasureGroupList(list, 5, 7));  // measure 7 is missing
}

// ---- Balancing ----

struct BalanceCase {
    const char* name;
    std::vector<int32_t> widths;  ///< of measures 1, 2, ...
    int16_t restWidth;            ///< of a multimeasure rest over measures 1 and 2, -1 for none
    Spans before;
    Spans after;
    bool moved;
    const char* progress;
};

class BalanceTest : public SplitTest, public ::testing::WithParamInterface<BalanceCase> {};

TEST_P(BalanceTest, MeasuresMoveTowardsTheAverage) {
    const BalanceCase& c = GetParam();
    SCOPED_TRACE(c.name);
    std::string score = "staff \"A\"\n";
    for (const int32_t width : c.widths) {
        score += "measures 1 width " + std::to_string(width) + "\n";
    }
    for (const auto& [first, end] : c.before) {
        score += "system " + std::to_string(first) + " " + std::to_string(end - 1) + "\n";
    }
    OpenHeld(score);
    if (c.restWidth >= 0) {
        host::Bytes rest(24, 0);
        hostapi::WriteI16(rest.data(), 0, c.restWidth);
        hostapi::WriteI16(rest.data(), 2, 3);
        Document().Records().Save(host::RecordKey::Other(kTagMultimeasureRest, 1, 0), rest);
    }
    SystemLayout layout{TStaffSystems()};
    WidthList list;
    ASSERT_TRUE(BuildMeasureGroupList(list, 1, static_cast<int32_t>(c.widths.size())));
    EXPECT_EQ(BalanceSystems(1, layout.Count(), layout, list, true, nullptr), c.moved);
    EXPECT_EQ(systemstest::StoredSystems(Document()), c.after);
    for (const auto& [first, end] : c.after) {
        EXPECT_EQ(systemstest::LockAt(Document(), static_cast<int16_t>(first)), end);
    }
    EXPECT_TRUE(Shown(c.progress));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Widths, BalanceTest, ::testing::Values(
    // Two systems of equal width swap a measure to and fro until the 20th pass, which is as
    // good as the best, leaves every measure where it was.
    BalanceCase{"equal", {100, 100, 100, 100}, -1, {{1, 3}, {3, 5}}, {{1, 3}, {3, 5}}, true,
                "host: progress ends after 20 of 1000 steps"},
    BalanceCase{"unequal", {100, 100, 100, 100, 100, 100}, -1, {{1, 5}, {5, 7}}, {{1, 4}, {4, 7}}, true,
                "host: progress ends after 21 of 1000 steps"},
    // A rest of no width makes a system of width 0, which rules out the moves that need one.
    BalanceCase{"widths of 0", {100, 100, 100}, 0, {{1, 3}, {3, 4}}, {{1, 3}, {3, 4}}, false,
                "host: progress ends after 1 of 1000 steps"}),
    [](const auto& testCase) { std::string n = testCase.param.name; std::replace(n.begin(), n.end(), ' ', '_'); return n; });
// clang-format on

// ---- Split ----

// System 3 holds one measure; the last system three.
constexpr const char* kFiveSystems =
    "staff \"A\"\nstaff \"B\"\nstaff \"C\"\nmeasures 12 width 540\n"
    "system 1 4\nsystem 5 8\nsystem 9 9\nsystem 10 12\n"
    "stafflist 2 1 2\nstafflist 3 1 3\nstafflist 4 2 3\ngroup 2 3 \"Four\" list 4\n";

struct SplitCase {
    const char* name;
    int16_t first;
    int16_t last;
    int32_t parts;
    Spans after;
    Lists lists;
    std::vector<int32_t> groups;  ///< first staff of each system's group, 0 for none
    Spans locks;                  ///< the systems locked by the split
    std::vector<std::string> messages;
};

class SplitCommandTest : public SplitTest, public ::testing::WithParamInterface<SplitCase> {};

TEST_P(SplitCommandTest, TheSystemIsCutAndTheLaterOptimizationsMoveAlong) {
    const SplitCase& c = GetParam();
    SCOPED_TRACE(c.name);
    OpenHeld(kFiveSystems);
    SelectMeasures(c.first, c.last);
    TStaffSystems systems;
    EXPECT_EQ(RunSplitStaffSystem(*Tool(ToolItem::SplitStaffSystem), c.parts, systems, false), c.messages.empty());
    EXPECT_EQ(layouttest::MessageTexts(), c.messages);
    EXPECT_EQ(systemstest::StoredSystems(Document()), c.after);
    EXPECT_EQ(systems.Count(), static_cast<int32_t>(c.after.size()));
    const auto count = static_cast<int16_t>(c.after.size());
    EXPECT_EQ(systemstest::StoredLists(Document(), count), c.lists);
    EXPECT_EQ(systemstest::StoredGroups(Document(), count), c.groups);
    for (const auto& [first, end] : c.locks) {
        EXPECT_EQ(systemstest::LockAt(Document(), static_cast<int16_t>(first)), end) << first;
    }
}

const Spans kUnsplit = {{1, 5}, {5, 9}, {9, 10}, {10, 13}};
const Lists kUnsplitLists = {{}, {1, 2}, {1, 3}, {2, 3}};

// clang-format off
INSTANTIATE_TEST_SUITE_P(Selections, SplitCommandTest, ::testing::Values(
    SplitCase{"after the selection", 5, 5, 2, {{1, 5}, {5, 6}, {6, 9}, {9, 10}, {10, 13}},
              {{}, {1, 2}, {1, 2}, {1, 3}, {2, 3}}, {0, 0, 0, 0, 2}, {{5, 6}, {6, 9}}, {}},
    SplitCase{"in the middle", 6, 8, 2, {{1, 5}, {5, 7}, {7, 9}, {9, 10}, {10, 13}},
              {{}, {1, 2}, {1, 2}, {1, 3}, {2, 3}}, {0, 0, 0, 0, 2}, {{5, 7}, {7, 9}}, {}},
    SplitCase{"three parts", 5, 5, 3, {{1, 5}, {5, 6}, {6, 7}, {7, 9}, {9, 10}, {10, 13}},
              {{}, {1, 2}, {1, 2}, {1, 2}, {1, 3}, {2, 3}}, {0, 0, 0, 0, 0, 2}, {{5, 6}, {6, 7}, {7, 9}}, {}},
    SplitCase{"the last system", 10, 10, 2, {{1, 5}, {5, 9}, {9, 10}, {10, 11}, {11, 13}},
              {{}, {1, 2}, {1, 3}, {2, 3}, {2, 3}}, {0, 0, 0, 2, 2}, {{10, 11}, {11, 13}}, {}},
    SplitCase{"two systems", 4, 5, 2, kUnsplit, kUnsplitLists, {0, 0, 0, 2}, {},
              {"Please select a measure or measures from exactly one system"}},
    SplitCase{"one measure", 9, 9, 2, kUnsplit, kUnsplitLists, {0, 0, 0, 2}, {}, {"Cannot split this system"}},
    SplitCase{"too many parts", 5, 5, 5, kUnsplit, kUnsplitLists, {0, 0, 0, 2}, {},
              {"Number of systems specified is too high"}},
    // Measures 13 and 14 are not in the document: nothing is split in their place.
    SplitCase{"beyond the last measure", 13, 14, 2, kUnsplit, kUnsplitLists, {0, 0, 0, 2}, {},
              {"Please select a measure or measures from exactly one system"}},
    SplitCase{"into the measures beyond", 11, 14, 2, kUnsplit, kUnsplitLists, {0, 0, 0, 2}, {},
              {"Please select a measure or measures from exactly one system"}}),
    [](const auto& testCase) { std::string n = testCase.param.name; std::replace(n.begin(), n.end(), ' ', '_'); return n; });
// clang-format on

TEST_F(SplitTest, ShiftedSystemsKeepTheTopStaffOffsetOfTheirListFrom2001) {
    OpenHeld(systemstest::kFourSystems, 2001);
    SetSystemWord(3, hostapi::StaffSystemLayout::kTopStaffOffset, -50);
    SetSystemWord(4, hostapi::StaffSystemLayout::kTopStaffOffset, -80);
    SelectMeasures(5, 5);
    TStaffSystems systems;
    EXPECT_TRUE(RunSplitStaffSystem(*Tool(ToolItem::SplitStaffSystem), 2, systems, false));
    // The new system 3 lies where system 2 does, whose list it takes.
    EXPECT_EQ(SystemWord(3, hostapi::StaffSystemLayout::kTopStaffOffset), 0);
    EXPECT_EQ(SystemWord(4, hostapi::StaffSystemLayout::kTopStaffOffset), -50);
    EXPECT_EQ(SystemWord(5, hostapi::StaffSystemLayout::kTopStaffOffset), -80);
    EXPECT_EQ(systemstest::StoredLists(Document(), 5), (Lists{{}, {1, 2}, {1, 2}, {1, 3}, {2, 3}}));
}

TEST_F(SplitTest, AStopWhileShiftingOptimizationsKeepsTheSplitRecords) {
    OpenHeld(systemstest::kFourSystems);
    SelectMeasures(5, 5);
    m_host->Progress().StopNextAt(1);
    TStaffSystems systems;
    EXPECT_FALSE(RunSplitStaffSystem(*Tool(ToolItem::SplitStaffSystem), 2, systems, false));
    EXPECT_EQ(systemstest::StoredSystems(Document()), (Spans{{1, 5}, {5, 6}, {6, 9}, {9, 13}, {13, 17}}));
    EXPECT_EQ(systemstest::StoredLists(Document(), 5), (Lists{{}, {1, 2}, {1, 3}, {2, 3}, {}}));
}

// ---- Through the host: item 45 with Shift (two systems, redistributed) ----

class SplitMenuTest : public testsupport::OrvexHostTest {};

TEST_F(SplitMenuTest, TheSplitSystemsAreBalancedLockedAndLaidOut) {
    StartHost(systemstest::kFourSystems);
    Select(1, 1, 5, 5);
    EXPECT_EQ(RunWithShift(orvex::ToolCode(orvex::ToolItem::SplitStaffSystem)), 1);
    // Split after measure 5, balanced to two measures each; the host's layout keeps both.
    EXPECT_EQ(systemstest::StoredSystems(Document()), (Spans{{1, 5}, {5, 7}, {7, 9}, {9, 13}, {13, 17}}));
}

}  // namespace

ORDINARY_MUSIC_CASES(SplitSystem, "tests/tools/ordinary-systems.cases", "split system");
