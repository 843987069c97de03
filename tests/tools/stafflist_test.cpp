// The staff list manager's kernel through the simulated host: the display lines with their group
// brackets, loading a system's visibility and positions, applying edits to the stored staff list,
// groups and system record, resetting, and the optimization error check.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/startup.h"
#include "platform/hostapi/layout_records.h"
#include "tests/tools/layout_test_support.h"
#include "tests/tools/stafflist_test_support.h"
#include "tools/layout/stafflist.h"

namespace {

using namespace orvex;
using stafflisttest::StaffList;

/// The name part padded to 17 characters, then three bracket columns of 16.
std::string Row(const std::string& name, const std::string& c1 = "", const std::string& c2 = "",
                const std::string& c3 = "") {
    std::string line = name;
    line.resize(17, ' ');
    for (std::string column : {c1, c2, c3}) {
        column.resize(16, ' ');
        line += column;
    }
    return line;
}

// Groups: winds 1-2, a nameless one 3-6, violins 3-4, the one-character mark "a" on the oboe and
// a one-staff group with a longer name on the viola. The oboe plays in system 1.
constexpr const char* kSextet =
    "staff \"Flute\"\nstaff \"Oboe\"\nstaff \"Violin I\"\nstaff \"Violin II\"\nstaff \"Viola\"\nstaff \"Cello\"\n"
    "measures 2\nnotes 2 1 c5/1\nsystem 1 1\nsystem 2 2\nstafflist 1 1 2 3 4 5 6\n"
    "group 1 2 \"Winds\"\ngroup 3 6 \"\"\ngroup 3 4 \"Violins\"\ngroup 2 2 \"a\"\ngroup 5 5 \"Solo viola\"\n";

class StaffListKernelTest : public stafflisttest::StaffListTest {};

TEST_F(StaffListKernelTest, DisplayLinesShowMusicNamesAndGroupBrackets) {
    Open(kSextet);
    TSLMKernel kernel;
    EXPECT_TRUE(kernel.LoadSystem(true));
    const std::vector<std::string> expected = {
        Row(" Flute", "Winds"),
        Row("*Oboea", "/"),
        Row(" Violin I", "\\", "Violins"),
        Row(" Violin II", "\xA6", "/"),
        Row(" Viola", "\xA6", "Solo viola"),
        Row(" Cello", "/"),
    };
    ASSERT_EQ(kernel.DisplayLines.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(kernel.DisplayLines[i], expected[i]) << "staff " << i + 1;
    }
    EXPECT_EQ(kernel.ScoreStaffList.At(1).flag, 1);
    EXPECT_EQ(kernel.ScoreStaffList.At(0).flag, 0);
}

TEST_F(StaffListKernelTest, AFourthGroupAtAStaffFindsNoColumn) {
    Open(
        "staff \"A\"\nstaff \"B\"\nmeasures 1\nsystem 1 1\nstafflist 1 1 2\n"
        "group 1 2 \"One\"\ngroup 1 2 \"Two\"\ngroup 1 2 \"Three\"\ngroup 1 2 \"Four\"\n");
    TSLMKernel kernel;
    kernel.LoadSystem(true);
    EXPECT_EQ(kernel.DisplayLines,
              (std::vector<std::string>{Row(" A", "One", "Two", "Three"), Row(" B", "/", "/", "/")}));
}

constexpr const char* kQuartet =
    "staff \"Flute\"\nstaff \"Oboe\"\nstaff \"Violin\"\nstaff \"Cello\"\nmeasures 2\nnotes 2 1 c5/1\n"
    "system 1 1\nsystem 2 2\nstafflist 1 1 3\n";

TEST_F(StaffListKernelTest, HiddenStavesLie200BelowTheStaffAbove) {
    Open(kQuartet);
    TSLMKernel kernel;
    kernel.LoadSystem(true);
    EXPECT_EQ(kernel.VisibleFlags, (std::vector<bool>{true, false, true, false}));
    EXPECT_EQ(kernel.Positions, (std::vector<int32_t>{0, -200, -200, -400}));
    EXPECT_TRUE(kernel.LoadedFlag);
    EXPECT_TRUE(kernel.ValidFlag);
}

TEST_F(StaffListKernelTest, AHiddenStaffWithMusicIsAnOptimizationError) {
    Open(kQuartet);
    TSLMKernel kernel;
    kernel.LoadSystem(true);
    EXPECT_TRUE(kernel.CheckOptimizationErrors());
    EXPECT_EQ(layouttest::MessageTexts(),
              std::vector<std::string>{"Optimization error found in this system, instrument Oboe            "});
    // The cello is hidden too, but holds no music.
    kernel.VisibleFlags[1] = true;
    EXPECT_FALSE(kernel.CheckOptimizationErrors());
    EXPECT_EQ(layouttest::MessageTexts().size(), 1u);
}

TEST_F(StaffListKernelTest, ASystemWithoutAListShowsOneLineUntilItIsReset) {
    Open(kQuartet);
    SlmState().currentSystem = 2;
    TSLMKernel kernel;
    EXPECT_FALSE(kernel.LoadSystem(true));
    EXPECT_EQ(kernel.DisplayLines, std::vector<std::string>{"Staff system is  not optimized"});
    EXPECT_EQ(kernel.VisibleFlags, std::vector<bool>{false});
    SlmState().dirty = true;
    kernel.Apply(false);
    EXPECT_EQ(StoredList(2), StaffList{});
    // A reset gives it the score's list; applying it marks the system optimized.
    kernel.ResetPositions();
    EXPECT_TRUE(kernel.LoadSystem(false));
    SlmState().dirty = true;
    kernel.Apply(false);
    EXPECT_EQ(StoredList(2), (StaffList{{1, 0}, {2, -200}, {3, -400}, {4, -600}}));
    EXPECT_EQ(StoredWord(host::RecordKey::Other(hostapi::kTagStaffSystem, 2, 0), 18), 0x4000);
    EXPECT_FALSE(SlmState().dirty);
}

TEST_F(StaffListKernelTest, SystemZeroShowsTheScoreListAndIsNeverWritten) {
    Open(kQuartet);
    SlmState().currentSystem = 0;
    TSLMKernel kernel;
    EXPECT_FALSE(kernel.LoadSystem(true));
    EXPECT_FALSE(kernel.LoadSystem(true));
    EXPECT_EQ(layouttest::MessageTexts(),
              std::vector<std::string>{"System 0 is the global staff system for non-optimized systems and for scroll "
                                       "view."});
    EXPECT_EQ(kernel.VisibleFlags, (std::vector<bool>{true, true, true, true}));
    kernel.VisibleFlags[0] = false;
    SlmState().dirty = true;
    kernel.Apply(false);
    EXPECT_EQ(StoredList(0), (StaffList{{1, 0}, {2, -200}, {3, -400}, {4, -600}}));
}

TEST_F(StaffListKernelTest, ApplyingMovesStavesAndGroupsIntoTheSystemList) {
    Open(
        "staff \"A\"\nstaff \"B\"\nstaff \"C\"\nstaff \"D\"\nmeasures 1\nsystem 1 1\nstafflist 1 1 2 3\n"
        "group 3 4 \"Low\"\ngroup 2 3 \"Mid\" list 1\n");
    TSLMKernel kernel;
    kernel.LoadSystem(true);
    kernel.Positions[0] = -50;
    kernel.VisibleFlags[1] = false;
    kernel.VisibleFlags[3] = true;
    SlmState().dirty = true;
    kernel.Apply(false);
    // B leaves (C moves up by its gap); D comes in below C, by the mean of the gap above C (150)
    // and the score's gap above D (200).
    EXPECT_EQ(StoredList(1), (StaffList{{1, -50}, {3, -200}, {4, -375}}));
    EXPECT_EQ(kernel.Positions, (std::vector<int32_t>{-50, -200, -200, -375}));
    // "Mid" starts at C now; the score's "Low" is adopted over C and D.
    EXPECT_EQ(StoredGroup(1, 1), (std::pair<int16_t, int16_t>{3, 3}));
    EXPECT_EQ(StoredGroup(1, 2), (std::pair<int16_t, int16_t>{3, 4}));
    EXPECT_FALSE(SlmState().dirty);
}

TEST_F(StaffListKernelTest, KeepChangesTheListsButWritesNothing) {
    Open(kQuartet);
    TSLMKernel kernel;
    kernel.LoadSystem(true);
    kernel.VisibleFlags[1] = true;
    SlmState().dirty = true;
    kernel.Apply(true);
    EXPECT_TRUE(kernel.SystemStaffList.Contains(2));
    EXPECT_TRUE(SlmState().dirty);
    EXPECT_EQ(StoredList(1), (StaffList{{1, 0}, {3, -200}}));
}

TEST_F(StaffListKernelTest, From2001TheFirstStaffPositionGoesIntoTheSystemRecord) {
    Open(kQuartet, 2001);
    TSLMKernel kernel;
    kernel.LoadSystem(true);
    kernel.Positions = {-100, -200, -350, -400};
    SlmState().dirty = true;
    kernel.Apply(false);
    EXPECT_EQ(StoredList(1), (StaffList{{1, 0}, {3, -250}}));
    const host::RecordKey system = host::RecordKey::Other(hostapi::kTagStaffSystem2001, 1, 0);
    EXPECT_EQ(StoredWord(system, hostapi::StaffSystemLayout::kTopStaffOffset), -100);
    EXPECT_EQ(StoredWord(system, hostapi::StaffSystemLayout::kFlags), 0x4000);
}

TEST_F(StaffListKernelTest, ResetFrom2001OffsetsTheScoreListByTheTopStaffOffset) {
    Open(kQuartet, 2001);
    SetTopStaffOffset(1, -60);
    TSLMKernel kernel;
    kernel.LoadSystem(true);
    kernel.ResetPositions();
    kernel.LoadSystem(false);
    EXPECT_EQ(kernel.VisibleFlags, (std::vector<bool>{true, true, true, true}));
    EXPECT_EQ(kernel.Positions, (std::vector<int32_t>{-60, -260, -460, -660}));
    EXPECT_TRUE(kernel.ResetFlag);
}

TEST_F(StaffListKernelTest, AResetSystemKeepsOnlyTheScoresGroups) {
    Open(
        "staff \"A\"\nstaff \"B\"\nmeasures 1\nsystem 1 1\nstafflist 1 1 2\ngroup 1 2 \"Both\"\n"
        "group 1 1 \"First\" list 1\ngroup 2 2 \"Second\" list 1\n");
    TSLMKernel kernel;
    kernel.LoadSystem(true);
    kernel.ResetPositions();
    kernel.LoadSystem(false);
    SlmState().dirty = true;
    kernel.Apply(false);
    EXPECT_EQ(StoredGroup(1, 1), (std::pair<int16_t, int16_t>{1, 2}));
    EXPECT_EQ(Stored(stafflisttest::Group(1, 2)), nullptr);
}

TEST_F(StaffListKernelTest, ASystemTheDocumentDoesNotHaveIsNeverWritten) {
    Open(kQuartet);
    SlmState().currentSystem = 5;
    TSLMKernel kernel;
    kernel.LoadSystem(true);
    kernel.ResetPositions();
    kernel.LoadSystem(false);
    SlmState().dirty = true;
    kernel.Apply(false);
    EXPECT_EQ(StoredList(5), StaffList{});
    EXPECT_EQ(Stored(host::RecordKey::Other(hostapi::kTagStaffSystem, 5, 0)), nullptr);
    EXPECT_FALSE(SlmState().dirty);
}

}  // namespace
