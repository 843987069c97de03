// "Join Two Staff Systems", "Shift System Optimization..." and the adjustments around deleted and
// inserted measures: the system records, staff lists, groups and locks they leave.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "core/tool_items.h"
#include "tests/support/orvex_host.h"
#include "tests/tools/notes_fixture.h"
#include "tests/tools/systems_test_support.h"
#include "tools/layout/layout_services.h"

namespace {

using namespace orvex;
using systemstest::kFourSystems;
using systemstest::Lists;
using systemstest::Spans;

const Spans kFour = {{1, 5}, {5, 9}, {9, 13}, {13, 17}};
const Lists kFourLists = {{}, {1, 2}, {1, 3}, {2, 3}};

// ---- Join, through the host's menu with Shift ----

class JoinTest : public testsupport::OrvexHostTest {
protected:
    void SetUp() override {
        testsupport::OrvexHostTest::SetUp();
        StartHost(kFourSystems);
        m_host->SetLayoutHeld(true);
    }
};

TEST_F(JoinTest, TheSecondSystemJoinsTheFirstAndTheLaterOptimizationsMoveUp) {
    Select(1, 1, 4, 5);
    EXPECT_EQ(RunWithShift(orvex::ToolCode(orvex::ToolItem::JoinTwoSystems)), 1);
    EXPECT_EQ(systemstest::StoredSystems(Document()), (Spans{{1, 9}, {9, 13}, {13, 17}}));
    EXPECT_EQ(systemstest::StoredLists(Document(), 3), (Lists{{}, {1, 3}, {2, 3}}));
    EXPECT_EQ(systemstest::StoredGroups(Document(), 3), (std::vector<int32_t>{0, 0, 2}));
    EXPECT_EQ(systemstest::LockAt(Document(), 1), 9);
}

TEST_F(JoinTest, SystemsThatAreNotNeighboursAreRefused) {
    Select(1, 1, 4, 9);
    EXPECT_EQ(RunWithShift(orvex::ToolCode(orvex::ToolItem::JoinTwoSystems)), 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Please select measures from exactly two systems"});
    EXPECT_EQ(systemstest::StoredSystems(Document()), kFour);
    EXPECT_EQ(systemstest::StoredLists(Document(), 4), kFourLists);
}

// ---- Shift system optimization ----

struct ShiftCase {
    const char* name;
    int16_t measure;  ///< the selected measure
    int32_t distance;
    bool properties;
    Lists lists;
    std::array<int16_t, 4> leftMargins;
    std::array<bool, 4> optimized;
    const char* message;  ///< nullptr: none
};

class ShiftTest : public systemstest::SystemsTest, public ::testing::WithParamInterface<ShiftCase> {};

TEST_P(ShiftTest, SystemsTakeTheOptimizationsOfTheirNeighbours) {
    const ShiftCase& c = GetParam();
    SCOPED_TRACE(c.name);
    OpenHeld(kFourSystems);
    for (int16_t k = 1; k <= 4; ++k) {
        SetSystemWord(k, hostapi::StaffSystemLayout::kLeftMargin, static_cast<int16_t>(10 * k));
    }
    SelectMeasures(c.measure, c.measure);
    const bool shifted = c.message == nullptr && c.distance != 0;
    EXPECT_EQ(RunShiftSystemOptimization(
                  *Tool(ToolItem::ShiftSystemOptimization,
                        {{SHIFT_SYSTEM_DISTANCE, c.distance}, {SHIFT_SYSTEM_PROPERTIES, c.properties ? 1 : 0}})),
              shifted);
    EXPECT_EQ(layouttest::MessageTexts(),
              c.message == nullptr ? std::vector<std::string>{} : std::vector<std::string>{c.message});
    EXPECT_EQ(systemstest::StoredLists(Document(), 4), c.lists);
    for (int16_t k = 1; k <= 4; ++k) {
        SCOPED_TRACE("system " + std::to_string(k));
        EXPECT_EQ(SystemWord(k, hostapi::StaffSystemLayout::kLeftMargin), c.leftMargins[static_cast<size_t>(k - 1)]);
        const auto flags = static_cast<uint16_t>(SystemWord(k, hostapi::StaffSystemLayout::kFlags));
        EXPECT_EQ((flags & hostapi::StaffSystemLayout::kOwnStaffList) != 0, c.optimized[static_cast<size_t>(k - 1)]);
    }
    EXPECT_EQ(systemstest::StoredSystems(Document()), kFour);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Distances, ShiftTest, ::testing::Values(
    ShiftCase{"forward with properties", 5, 1, true, {{}, {1, 2}, {1, 2}, {1, 3}}, {10, 20, 20, 30},
              {false, true, true, true}, nullptr},
    ShiftCase{"onto the last system", 5, 2, true, {{}, {1, 2}, {1, 3}, {1, 2}}, {10, 20, 30, 20},
              {false, true, true, true}, nullptr},
    ShiftCase{"forward without properties", 5, 1, false, {{}, {1, 2}, {1, 2}, {1, 3}}, {10, 20, 30, 40},
              {false, true, true, true}, nullptr},
    ShiftCase{"backward without properties", 5, -1, false, {{1, 2}, {1, 3}, {2, 3}, {2, 3}}, {10, 20, 30, 40},
              {true, true, true, true}, nullptr},
    ShiftCase{"by nothing", 5, 0, true, kFourLists, {10, 20, 30, 40}, {false, true, true, true}, nullptr},
    ShiftCase{"before the first system", 1, -1, true, kFourLists, {10, 20, 30, 40}, {false, true, true, true},
              "That would be beyond the beginning of the file."},
    ShiftCase{"after the last system", 5, 3, true, kFourLists, {10, 20, 30, 40}, {false, true, true, true},
              "That would be beyond the end of the file."}),
    [](const auto& testCase) { std::string n = testCase.param.name; std::replace(n.begin(), n.end(), ' ', '_'); return n; });
// clang-format on

// ---- Before deleting and after inserting measures ----

struct EditCase {
    const char* name;
    int16_t first;  ///< the selection
    int16_t last;
    int32_t delta;
    int32_t newSystems;
    Spans after;
    Lists lists;
    int32_t held = 0;  ///< measures the document holds beyond the systems' 16
};

class MeasureEditTest : public systemstest::SystemsTest, public ::testing::WithParamInterface<EditCase> {};

TEST_P(MeasureEditTest, TheMeasureGroupsFollowTheMeasures) {
    const EditCase& c = GetParam();
    SCOPED_TRACE(c.name);
    // Measures inserted are in the document already (the host inserted them); `held` says how
    // many it holds beyond the systems' 16.
    std::string score = kFourSystems;
    score.replace(score.find("measures 16"), 11, "measures " + std::to_string(16 + c.held));
    OpenHeld(score);
    SelectMeasures(c.first, c.last);
    EXPECT_TRUE(RunMeasureEditAdjust(*Tool(ToolItem::AfterInsertingMeasures), c.delta, c.newSystems));
    EXPECT_EQ(systemstest::StoredSystems(Document()), c.after);
    EXPECT_EQ(systemstest::StoredLists(Document(), static_cast<int16_t>(c.after.size())), c.lists);
    // Every system from the selection on is locked.
    for (const auto& [first, end] : c.after) {
        if (first >= c.first) {
            EXPECT_EQ(systemstest::LockAt(Document(), static_cast<int16_t>(first)), end) << first;
        }
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Edits, MeasureEditTest, ::testing::Values(
    // System 2 goes with its measures; systems 3 and 4 move up with their optimizations.
    EditCase{"deleting a system", 5, 8, -4, 0, {{1, 5}, {5, 9}, {9, 13}}, {{}, {1, 3}, {2, 3}}},
    EditCase{"deleting inside a system", 6, 7, -2, 0, {{1, 5}, {5, 7}, {7, 11}, {11, 15}}, kFourLists},
    EditCase{"the last system keeps a measure", 13, 16, -6, 0, {{1, 5}, {5, 9}, {9, 13}, {13, 14}}, kFourLists},
    EditCase{"inserting", 5, 5, 2, 0, {{1, 5}, {5, 11}, {11, 15}, {15, 19}}, kFourLists, 2},
    // System 2 with its two new measures is split in two and balanced.
    EditCase{"inserting a system", 5, 5, 2, 1, {{1, 5}, {5, 8}, {8, 11}, {11, 15}, {15, 19}},
             {{}, {1, 2}, {1, 2}, {1, 3}, {2, 3}}, 2},
    // Two measures said, one inserted: the document does not hold the second, so the systems
    // move by one and none goes beyond its last measure (nor is locked there).
    EditCase{"inserting what the document does not hold", 5, 5, 2, 0, {{1, 5}, {5, 10}, {10, 14}, {14, 18}},
             kFourLists, 1}),
    [](const auto& testCase) { std::string n = testCase.param.name; std::replace(n.begin(), n.end(), ' ', '_'); return n; });
// clang-format on

class BeforeDeletingTest : public testsupport::OrvexHostTest {};

TEST_F(BeforeDeletingTest, TheMenuCommandAdjustsForTheSelectedMeasuresAndSaysWhatToDoNext) {
    StartHost(kFourSystems);
    m_host->SetLayoutHeld(true);
    Select(1, 3, 5, 8);
    EXPECT_EQ(RunWithShift(orvex::ToolCode(orvex::ToolItem::BeforeDeletingMeasures)), 1);
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Next, delete the measures by pressing the Delete key. Please ignore "
                                       "what the score looks like now, it will be fine after you've "
                                       "performed the measure deletion."});
    EXPECT_EQ(systemstest::StoredSystems(Document()), (Spans{{1, 5}, {5, 9}, {9, 13}}));
}

}  // namespace

ORDINARY_MUSIC_CASES(Join, "tests/tools/ordinary-systems.cases", "join");
ORDINARY_MUSIC_CASES(Shift, "tests/tools/ordinary-systems.cases", "shift");
ORDINARY_MUSIC_CASES(BeforeDeleting, "tests/tools/ordinary-systems.cases", "before deleting");
ORDINARY_MUSIC_CASES(AfterInserting, "tests/tools/ordinary-systems.cases", "after inserting");
