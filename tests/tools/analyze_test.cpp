// Analyze through the simulated host: which motions of two staves are marked as parallels, and
// the lines and noteheads a finding leaves in the document.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/dispatch.h"
#include "core/module.h"
#include "core/tool_context.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/layout_records.h"
#include "tests/core/score_host_fixture.h"
#include "tests/tools/layout_test_support.h"
#include "tests/tools/notes_fixture.h"
#include "tools/layout/analyze.h"
#include "tools/notes/notes_services.h"

namespace {

using namespace orvex;
using host::RecordKey;

struct MotionCase {
    const char* name;
    const char* upper;  ///< the entries of staff 1, measure 1
    const char* lower;  ///< of staff 2
    const char* intervals;
    bool hidden;
    bool marked;
};

class AnalyzeTest : public testsupport::ScoreHostTest, public ::testing::WithParamInterface<MotionCase> {
protected:
    bool Analyze(const std::string& score, const char* intervals, bool hidden, int16_t lastStaff = 2) {
        Open(score);
        hostapi::SelectionRecord region;
        region.setFirstStaff(1);
        region.setLastStaff(lastStaff);
        region.setFirstMeasure(1);
        region.setLastMeasure(1);
        region.setEndEdu(0x7FFFFFFF);
        TheModule.dispatch.CurrentRegion = &region;
        std::shared_ptr<TFMisc> context = layouttest::ToolWithDefaults(ToolItem::Analyze);
        context->Options[analyzerow::kIntervals].text = intervals;
        context->Options[analyzerow::kHidden].value = hidden ? 1 : 0;
        const bool done = AnalyzeStaffGroup(*context);
        TheModule.dispatch.CurrentRegion = nullptr;
        return done;
    }
    const host::EntryBytes& Entry(int16_t staff, size_t index) {
        return Document().EntriesOf(host::CellKey{staff, 1, 0}).at(index);
    }
};

TEST_P(AnalyzeTest, OnlyParallelsOfTheListedIntervalsAreMarked) {
    const MotionCase& c = GetParam();
    const std::string score = std::string("staff \"A\"\nstaff \"B\"\nmeasures 1\nnotes 1 1 ") + c.upper +
                              " r/2\nnotes 2 1 " + c.lower + " r/2\n";
    ASSERT_TRUE(Analyze(score, c.intervals, c.hidden));
    const host::Bytes* line = Stored(RecordKey::Other(hostapi::kTagSmartShape, 1, 0));
    ASSERT_EQ(line != nullptr, c.marked);
    if (!c.marked) {
        return;
    }
    // A line on each staff from the previous note to the current one.
    for (int16_t staff = 1; staff <= 2; ++staff) {
        SCOPED_TRACE(staff);
        const host::Bytes* shape = Stored(RecordKey::Other(hostapi::kTagSmartShape, staff, 0));
        ASSERT_NE(shape, nullptr);
        const uint8_t* b = shape->data();
        EXPECT_EQ(hostapi::ReadI16(b, 0), 26);
        EXPECT_EQ(b[5] & 0x40, 0x40) << "attached to notes";
        EXPECT_EQ(hostapi::ReadI16(b, 6), staff);
        EXPECT_EQ(hostapi::ReadI32(b, 10), hostapi::ReadI32(Entry(staff, 0).data(), 0));
        EXPECT_EQ(hostapi::ReadI32(b, 40), hostapi::ReadI32(Entry(staff, 1).data(), 0));
        EXPECT_EQ(hostapi::ReadI16(b, 76), 1);
        for (size_t e = 0; e < 2; ++e) {
            const hostapi::EntryNumber number = hostapi::ReadI32(Entry(staff, e).data(), 0);
            EXPECT_EQ(StoredWord(RecordKey::EntryDetail(hostapi::MakeTag("edCN"), number, 0), 8), 0xE2);
            EXPECT_NE(hostapi::ReadU32(Entry(staff, e).data(), 8) & 0x00400000u, 0u);
            EXPECT_EQ(hostapi::ReadU16(Entry(staff, e).data(), 12) & 0x20, 0x20);
        }
    }
    EXPECT_EQ(Stored(RecordKey::Other(hostapi::kTagSmartShape, 3, 0)), nullptr) << "one finding only";
}

INSTANTIATE_TEST_SUITE_P(
    Motions, AnalyzeTest,
    ::testing::Values(MotionCase{"Fifths", "c5/4 d5/4", "f4/4 g4/4", "1,2,5,8", false, true},
                      MotionCase{"Octaves", "c5/4 d5/4", "c4/4 d4/4", "1,2,5,8", false, true},
                      MotionCase{"OctavesNotListed", "c5/4 d5/4", "c4/4 d4/4", "5", false, false},
                      MotionCase{"TwelfthsAreFifths", "c5/4 d5/4", "f3/4 g3/4", "5", false, true},
                      MotionCase{"OctavesAreEighths", "c5/4 d5/4", "c4/4 d4/4", "8", false, true},
                      MotionCase{"DoubleOctavesAreOctaves", "c5/4 d5/4", "c3/4 d3/4", "8", false, true},
                      MotionCase{"TenthsAreNoFifths", "c5/4 d5/4", "a3/4 b3/4", "5,8", false, false},
                      MotionCase{"UnisonsAndFifthsBySubstring", "c5/4 d5/4", "f4/4 g4/4", "15", false, true},
                      MotionCase{"HiddenFifthByLeap", "a4/4 d5/4", "c4/4 g4/4", "5", true, true},
                      MotionCase{"HiddenFifthByLeapNotAsked", "a4/4 d5/4", "c4/4 g4/4", "5", false, false},
                      MotionCase{"HiddenFifthByStepNever", "c5/4 d5/4", "c4/4 g4/4", "5", true, false},
                      MotionCase{"RepeatedNotes", "c5/4 c5/4", "f4/4 f4/4", "1,2,5,8", true, false},
                      MotionCase{"ContraryMotion", "c5/4 d5/4", "g4/4 f4/4", "1,2,5,8", true, false}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

// The table reads a note that shares its position with grace notes as a later event; a cell saved
// with a finding's marks keeps every entry as it was but for the marks: the note after one grace
// note and the turn of four and its note stay at their positions.
TEST_F(AnalyzeTest, EntriesAfterGraceNotesKeepTheirPositionsInAMarkedCell) {
    using hostapi::EntryLayout;
    const std::string score =
        "staff \"A\"\nstaff \"B\"\nmeasures 1\n"
        "notes 1 1 c5/4 d5/4 e5/8g d5/4 f5/8g e5/8g d5/8g c5/8g d5/4\nnotes 2 1 f4/4 g4/4 f4/4 g4/4\n";
    const std::unique_ptr<host::Document> written = host::ParseScoreText(score, "test");
    std::vector<host::CellEntries> expected;
    for (int16_t staff = 1; staff <= 2; ++staff) {
        expected.push_back(written->EntriesOf(host::CellKey{staff, 1, 0}));
        for (size_t e = 0; e < 2; ++e) {  // the fifth c5-f4 to d5-g4 is marked
            uint8_t* b = expected.back()[e].data();
            hostapi::WriteU32(b, EntryLayout::kFlags, hostapi::ReadU32(b, EntryLayout::kFlags) | 0x00400000u);
            hostapi::WriteU16(b, EntryLayout::kMoreFlags,
                              static_cast<uint16_t>(hostapi::ReadU16(b, EntryLayout::kMoreFlags) | 0x20));
        }
    }
    ASSERT_EQ(hostapi::ReadI32(expected[0][8].data(), EntryLayout::kPosition), 3072) << "the turn's note";
    ASSERT_TRUE(Analyze(score, "5", false));
    ASSERT_NE(Stored(RecordKey::Other(hostapi::kTagSmartShape, 2, 0)), nullptr);
    for (int16_t staff = 1; staff <= 2; ++staff) {
        const host::CellEntries& after = Document().EntriesOf(host::CellKey{staff, 1, 0});
        const host::CellEntries& before = expected[static_cast<size_t>(staff - 1)];
        ASSERT_EQ(after.size(), before.size());
        for (size_t e = 0; e < after.size(); ++e) {
            EXPECT_EQ(hostapi::ReadI32(after[e].data(), EntryLayout::kPosition),
                      hostapi::ReadI32(before[e].data(), EntryLayout::kPosition))
                << "staff " << staff << ", entry " << e;
            EXPECT_EQ(after[e], before[e]) << "staff " << staff << ", entry " << e;
        }
    }
}

TEST_F(AnalyzeTest, MoreThanFortyStavesAreRefused) {
    EXPECT_FALSE(Analyze("staff \"A\"\nmeasures 1\n", "5", false, 41));
    EXPECT_EQ(layouttest::MessageTexts(),
              (std::vector<std::string>{"Selection contains more than the maximum supported number of staves (40)."}));
}

ORDINARY_MUSIC_CASES(Analyze, "tests/tools/ordinary.cases", "analyze");

}  // namespace
