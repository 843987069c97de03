// The beat chart through the simulated host: loading and saving the records 'otBC', the
// recomputed positions, and the spacing commands measure by measure (ApplySpacingCommand on a
// tool context whose options are the defaults of the tools' option rows).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "core/beat_chart.h"
#include "core/dispatch.h"
#include "core/host/finxess.h"
#include "core/module.h"
#include "core/tool_context.h"
#include "platform/win/win.h"
#include "tests/core/score_host_fixture.h"
#include "tests/support/case_names.h"
#include "tests/tools/layout_test_support.h"
#include "tests/tools/notes_fixture.h"
#include "tools/layout/beat_spacing.h"
#include "tools/layout/hairpins.h"
#include "tools/layout/layout_services.h"

namespace {

using namespace orvex;
using host::RecordKey;
/// One stored record: time (duration), position (end), next (minimum end), minimum (word 8).
using Record = std::array<int32_t, 4>;
using Chart = std::vector<Record>;

// Four quarters in a measure 300 wide: element i at (i - 1) x 60 + 20, the chart ending at 260.
constexpr const char* kEvenChart =
    "staff \"A\"\n"
    "measures 1 width 300\n"
    "beatchart 1 4096:260:0:0 0:20:80:0 1024:80:140:0 2048:140:200:0 3072:200:260:0\n";

class LayoutBeatChartTest : public testsupport::ScoreHostTest {
protected:
    /// A context of tool `item` on `measure`, its options (and "More..." options) as the tool's
    /// option rows give them by default.
    std::shared_ptr<TFMisc> Tool(ToolItem item, int16_t measure = 1) {
        std::shared_ptr<TFMisc> context =
            layouttest::ToolWithDefaults(item, item == ToolItem::Proportionality ? 11 : 0);
        context->Walk.measure = measure;
        EXPECT_TRUE(LoadMeasureSpec(measure, context->Walk.measureSpec));
        return context;
    }
    /// Runs the worker at depth 0; answers the handled flag.
    bool Apply(TFMisc& context) {
        bool handled = false;
        EXPECT_EQ(ApplySpacingCommand(context, handled, 0), handled);
        return handled;
    }
    Chart StoredChart(int16_t measure) {
        Chart chart;
        for (int16_t i = 0;; ++i) {
            const host::Bytes* bytes = Stored(RecordKey::Other(kTagBeatChart, measure, i));
            if (bytes == nullptr) {
                return chart;
            }
            chart.push_back({hostapi::ReadI32(bytes->data(), 0), hostapi::ReadI16(bytes->data(), 4),
                             hostapi::ReadI16(bytes->data(), 6), hostapi::ReadI16(bytes->data(), 8)});
        }
    }
    RecordKey Measure(int16_t measure) { return RecordKey::Other(hostapi::MakeTag("SOMS"), measure, 0); }
    /// The selection: measures first to last, ending at `endEdu` in the last.
    void SelectMeasures(int16_t first, int16_t last, int32_t endEdu) {
        TheModule.dispatch.SelectionRecords[0].setFirstMeasure(first);
        TheModule.dispatch.SelectionRecords[0].setLastMeasure(last);
        TheModule.dispatch.SelectionRecords[0].setEndEdu(endEdu);
        TheModule.dispatch.CurrentRegion = &TheModule.dispatch.SelectionRecords[0];
    }
};

// ---- Positions ----

struct RecomputeCase {
    const char* name;
    const char* score;
    std::vector<int32_t> positions;  ///< pos[0..N+1]
    bool fits;
};

class RecomputeTest : public LayoutBeatChartTest, public ::testing::WithParamInterface<RecomputeCase> {};

TEST_P(RecomputeTest, PositionsShareTheFreeSpaceWithinTheMeasure) {
    const RecomputeCase& c = GetParam();
    SCOPED_TRACE(c.name);
    Open(c.score);
    std::shared_ptr<TFMisc> context = Tool(ToolItem::MakeSpace);
    ASSERT_TRUE(LoadBeatChart(*context, 1));
    EXPECT_EQ(RecomputeBeatPositions(*context), c.fits);
    const BeatChartState& chart = BeatCharts(*context);
    ASSERT_EQ(chart.elementCount + 2, static_cast<int32_t>(c.positions.size()));
    EXPECT_EQ(std::vector<int32_t>(chart.positions.begin(), chart.positions.begin() + chart.elementCount + 2),
              c.positions);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Charts, RecomputeTest, ::testing::Values(
    // Free space 300 - 24 - 240 = 36, a quarter of it (9) per quarter note; the end lands on 276.
    RecomputeCase{"shared", "staff \"A\"\nmeasures 1 width 300\n"
        "beatchart 1 4096:240:0:0 0:20:80:0 1024:80:140:0 2048:140:200:0 3072:200:240:0\n",
        {0, 20, 89, 158, 227, 276}, true},
    // Element 1 needs 80 (minimum positions 20 and 100): the free space shrinks to 23 until the
    // end (275) is within 276.
    RecomputeCase{"minimum width", "staff \"A\"\nmeasures 1 width 300\n"
        "beatchart 1 4096:240:0:0 0:20:80:20 1024:80:140:100 2048:140:200:0 3072:200:240:0\n",
        {0, 20, 100, 165, 230, 275}, true},
    // The minimum widths alone need 240 of 176: no free space helps.
    RecomputeCase{"cannot fit", "staff \"A\"\nmeasures 1 width 200\n"
        "beatchart 1 4096:240:240:0 0:20:80:20 1024:80:140:80 2048:140:200:140 3072:200:240:200\n",
        {0, 20, 80, 140, 200, 240}, false},
    // As the host's note spacing leaves a chart: the elements have no minimum positions and the
    // header's minimum end is the chart's end. The chart fills the measure as it is.
    RecomputeCase{"host spaced", "staff \"A\"\nmeasures 1 width 240\n"
        "beatchart 1 4096:216:216:240 0:24:72:0 1024:72:120:0 2048:120:168:0 3072:168:216:0\n",
        {0, 24, 72, 120, 168, 216}, true},
    // Element 3 at time 0 ends the chart after element 2, which then lasts to the measure's end.
    RecomputeCase{"zero time", "staff \"A\"\nmeasures 1 width 300\n"
        "beatchart 1 4096:240:0:0 0:20:80:0 1024:80:140:0 0:140:200:0 3072:200:240:0\n",
        {0, 20, 89, 176}, true}),
    [](const auto& testCase) { std::string n = testCase.param.name; std::replace(n.begin(), n.end(), ' ', '_'); return n; });
// clang-format on

// ---- Records ----

TEST_F(LayoutBeatChartTest, ChartsLoadUpTo999ElementsAndOnlyForChartSpacedMeasures) {
    std::string score = "staff \"A\"\nmeasures 3\nbeatchart 1 mode 6 999000:0:0:0";
    for (int32_t i = 1; i <= 999; ++i) {
        score += " " + std::to_string(i * 1000) + ":0:0:0";
    }
    score += "\nbeatchart 2 mode 0 4096:0:0:0 0:0:0:0\n";
    Open(score);
    // A record at index 1000 lies beyond what a chart can hold.
    Document().Records().Save(RecordKey::Other(kTagBeatChart, 1, 1000), host::Bytes(10, 0x11));
    std::shared_ptr<TFMisc> context = Tool(ToolItem::MakeSpace);
    EXPECT_TRUE(LoadBeatChart(*context, 1));
    EXPECT_EQ(BeatCharts(*context).elementCount, 999);
    EXPECT_EQ(BeatTime(BeatCharts(*context), 999), 999000);
    // Measure 2 has records but is not spaced by them; measure 3 has none.
    for (int16_t measure : std::initializer_list<int16_t>{2, 3}) {
        SCOPED_TRACE("measure " + std::to_string(measure));
        ASSERT_TRUE(LoadMeasureSpec(measure, context->Walk.measureSpec));
        EXPECT_FALSE(LoadBeatChart(*context, measure));
        EXPECT_EQ(BeatCharts(*context).hasChart, 0);
    }
}

TEST_F(LayoutBeatChartTest, SavingDropsMarkedElementsAndStaleRecords) {
    Open(
        "staff \"A\"\nmeasures 1\nbeatchart 1 4096:240:0:0 0:10:20:0 500:20:30:0 1000:30:40:0 1500:40:50:0"
        " 2000:50:60:0 2500:60:240:0\n");
    std::shared_ptr<TFMisc> context = Tool(ToolItem::RemoveBeatChartElements);
    ASSERT_TRUE(LoadBeatChart(*context, 1));
    BeatCharts(*context).removalMarks[3] = 1;
    BeatCharts(*context).removalMarks[5] = 1;
    EXPECT_TRUE(SaveBeatChart(*context, 1, true));
    EXPECT_EQ(StoredChart(1),
              (Chart{{4096, 240, 0, 0}, {0, 10, 20, 0}, {500, 20, 30, 0}, {1500, 40, 50, 0}, {2500, 60, 240, 0}}));
    EXPECT_EQ(context->RemovedHandleCount, 2);
}

// ---- Remove extraneous beat chart elements ----

struct RemoveCase {
    int32_t tolerance;
    Chart stored;
    int32_t removed;  ///< the removed-handles counter: message 10's number
    int32_t counted;  ///< changed-measure counts (every depth that changed)
};

class RemoveExtraneousTest : public LayoutBeatChartTest, public ::testing::WithParamInterface<RemoveCase> {};

TEST_P(RemoveExtraneousTest, ElementsWithinTheDeviationPerThousandAreRemoved) {
    const RemoveCase& c = GetParam();
    SCOPED_TRACE("tolerance " + std::to_string(c.tolerance));
    // Element 2 lies at 923 per thousand of an even split, element 3 at 1181, element 4 at 916.
    Open(
        "staff \"A\"\nmeasures 1 width 300\n"
        "beatchart 1 4096:260:0:0 0:20:80:0 1024:80:145:0 2048:145:200:0 3072:200:260:0\n");
    std::shared_ptr<TFMisc> context = Tool(ToolItem::RemoveBeatChartElements);
    context->Options[REMOVE_BEAT_ELEMENTS_TOLERANCE].value = c.tolerance;
    EXPECT_EQ(Apply(*context), c.removed > 0);
    EXPECT_EQ(StoredChart(1), c.stored);
    EXPECT_EQ(context->RemovedHandleCount, c.removed);
    EXPECT_EQ(BeatCharts(*context).changedMeasureCount, c.counted);
    EXPECT_EQ(context->RerunFlag, c.counted);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tolerances, RemoveExtraneousTest, ::testing::Values(
    RemoveCase{50, {{4096, 260, 0, 0}, {0, 20, 80, 0}, {1024, 80, 145, 0}, {2048, 145, 200, 0}, {3072, 200, 260, 0}}, 0, 0},
    // A deviation of exactly the tolerance (element 2: 1000 - 923) is removed.
    RemoveCase{77, {{4096, 260, 0, 0}, {0, 20, 145, 0}, {2048, 145, 200, 0}, {3072, 200, 260, 0}}, 1, 1},
    // Elements 2 and 4 go; the repeat finds element 3 (1086 per thousand) and removes it too.
    RemoveCase{100, {{4096, 260, 0, 0}, {0, 20, 260, 0}}, 3, 2}),
    testsupport::NameBy("tolerance", &RemoveCase::tolerance, "removed", &RemoveCase::removed));
// clang-format on

// ---- Make space, add/remove space, expand and compress spacing ----

struct SpacingCase {
    const char* name;
    ToolItem item;
    std::vector<std::pair<size_t, int32_t>> options;  ///< rows changed from the defaults
    int16_t selectionEnd;                             ///< last measure of the selection, 0 = none
    int32_t endEdu;
    int32_t chartEnd;  ///< the chart's end position (and element 4's next)
    Chart stored;
    int32_t width;
};

class SpacingCommandTest : public LayoutBeatChartTest, public ::testing::WithParamInterface<SpacingCase> {};

TEST_P(SpacingCommandTest, TheChartAndTheMeasureWidthChangeTogether) {
    const SpacingCase& c = GetParam();
    SCOPED_TRACE(c.name);
    const std::string end = std::to_string(c.chartEnd);
    Open("staff \"A\"\nmeasures 3 width 300\nbeatchart 2 4096:" + end +
         ":0:0 0:20:80:0 1024:80:140:0 2048:140:200:0 3072:200:" + end + ":0\n");
    if (c.selectionEnd != 0) {
        SelectMeasures(1, c.selectionEnd, c.endEdu);
    }
    std::shared_ptr<TFMisc> context = Tool(c.item, 2);
    for (const auto& [row, value] : c.options) {
        context->Options[row].value = value;
    }
    EXPECT_TRUE(Apply(*context));
    EXPECT_EQ(StoredChart(2), c.stored);
    EXPECT_EQ(StoredWord(Measure(2), 0), c.width);
    EXPECT_EQ(context->RerunFlag, 1);
    EXPECT_EQ(BeatCharts(*context).lastChangedMeasure, 2);
}

// Recomputed positions of the even chart in 300: 20, 84, 148, 212 and the end 276.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Tools, SpacingCommandTest, ::testing::Values(
    SpacingCase{"compress 20 percent", ToolItem::MakeSpace, {}, 0, 0, 260,
        {{4096, 260, 0, 0}, {0, 20, 64, 0}, {1024, 64, 112, 0}, {2048, 112, 160, 0}, {3072, 160, 260, 0}}, 300},
    SpacingCase{"compress 100 percent", ToolItem::MakeSpace, {{MAKE_SPACE_PERCENT, 100}}, 0, 0, 260,
        {{4096, 260, 0, 0}, {0, 20, 0, 0}, {1024, 0, 0, 0}, {2048, 0, 0, 0}, {3072, 0, 260, 0}}, 300},
    SpacingCase{"compress keeps 40 after the last", ToolItem::MakeSpace, {}, 0, 0, 190,
        {{4096, 200, 0, 0}, {0, 20, 64, 0}, {1024, 64, 112, 0}, {2048, 112, 160, 0}, {3072, 160, 200, 0}}, 300},
    SpacingCase{"add at the end", ToolItem::AddRemoveSpace, {}, 0, 0, 260,
        {{4096, 310, 50, 50}, {0, 20, 80, 0}, {1024, 80, 140, 0}, {2048, 140, 200, 0}, {3072, 200, 310, 0}}, 350},
    SpacingCase{"remove more than the leading space", ToolItem::AddRemoveSpace, {{ADD_SPACE_AMOUNT, -100}, {ADD_SPACE_PLACE, 0}}, 0, 0, 260,
        {{4096, 256, 1, -20}, {0, 0, 64, 1}, {1024, 64, 128, 1}, {2048, 128, 192, 1}, {3072, 192, 256, 1}}, 280},
    SpacingCase{"add after the selection", ToolItem::AddRemoveSpace, {{ADD_SPACE_PLACE, 1}}, 2, 2048, 260,
        {{4096, 326, 1, 50}, {0, 20, 84, 1}, {1024, 84, 198, 1}, {2048, 198, 262, 1}, {3072, 262, 326, 1}}, 350},
    SpacingCase{"remove after the selection down to the element before", ToolItem::AddRemoveSpace, {{ADD_SPACE_AMOUNT, -100}, {ADD_SPACE_PLACE, 1}}, 2, 2048, 260,
        {{4096, 212, 1, -64}, {0, 20, 84, 1}, {1024, 84, 84, 1}, {2048, 84, 148, 1}, {3072, 148, 212, 1}}, 236},
    SpacingCase{"expand a middle measure", ToolItem::ExpandSpacing, {}, 3, 2147483647, 260,
        {{4096, 296, 1, 0}, {0, 20, 90, 0}, {1024, 90, 161, 0}, {2048, 161, 232, 0}, {3072, 232, 296, 0}}, 320},
    SpacingCase{"expand with the space before the barline", ToolItem::ExpandSpacing, {{SCALE_SPACING_WITH_BARLINES, 1}}, 3, 2147483647, 260,
        {{4096, 296, 1, 0}, {0, 20, 89, 0}, {1024, 89, 158, 0}, {2048, 158, 227, 0}, {3072, 227, 296, 0}}, 320},
    SpacingCase{"compress a middle measure", ToolItem::CompressSpacing, {}, 0, 0, 260,
        {{4096, 256, 1, 0}, {0, 20, 78, 0}, {1024, 78, 135, 0}, {2048, 135, 192, 0}, {3072, 192, 256, 0}}, 280},
    SpacingCase{"expand up to the end of the selection", ToolItem::ExpandSpacing, {}, 2, 2048, 260,
        {{4096, 296, 1, 0}, {0, 20, 94, 0}, {1024, 94, 168, 0}, {2048, 168, 232, 0}, {3072, 232, 296, 0}}, 320},
    // Leading white space: limited to 12, set to 30, limited and reduced by 5.
    SpacingCase{"limit the leading space", ToolItem::LeadingWhitespace, {}, 0, 0, 260,
        {{4096, 252, -8, 0}, {0, 12, 72, 0}, {1024, 72, 132, 0}, {2048, 132, 192, 0}, {3072, 192, 252, 0}}, 292},
    SpacingCase{"always set the leading space", ToolItem::LeadingWhitespace, {{LEADING_WHITE_LIMIT, 30}, {LEADING_WHITE_ALWAYS, 1}}, 0, 0, 260,
        {{4096, 270, 10, 0}, {0, 30, 90, 0}, {1024, 90, 150, 0}, {2048, 150, 210, 0}, {3072, 210, 270, 0}}, 310},
    SpacingCase{"subtract from the leading space", ToolItem::LeadingWhitespace, {{LEADING_WHITE_SUBTRACT, 5}}, 0, 0, 260,
        {{4096, 247, -13, 0}, {0, 7, 67, 0}, {1024, 67, 127, 0}, {2048, 127, 187, 0}, {3072, 187, 247, 0}}, 287}),
    [](const auto& testCase) { std::string n = testCase.param.name; std::replace(n.begin(), n.end(), ' ', '_'); return n; });
// clang-format on

TEST_F(LayoutBeatChartTest, AMinimumPositionOfTheFirstNoteIsClearedWithinTheLimit) {
    Open(
        "staff \"A\"\nmeasures 1 width 300\n"
        "beatchart 1 4096:260:0:0 0:20:80:30 1024:80:140:0 2048:140:200:0 3072:200:260:0\n");
    std::shared_ptr<TFMisc> context = Tool(ToolItem::LeadingWhitespace);
    // The first note stands at its minimum 30, capped by the maximum minimum 20 and the limit
    // 12: 12 is not above the limit, so nothing moves.
    EXPECT_TRUE(Apply(*context));
    EXPECT_EQ(StoredChart(1),
              (Chart{{4096, 260, 0, 0}, {0, 20, 80, 0}, {1024, 80, 140, 0}, {2048, 140, 200, 0}, {3072, 200, 260, 0}}));
    EXPECT_EQ(StoredWord(Measure(1), 0), 300);
}

// ---- Measures left alone, and Reset ----

class LeftAloneTest : public LayoutBeatChartTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(LeftAloneTest, OnlyTheMeasureRecordIsWrittenBack) {
    SCOPED_TRACE(GetParam());
    Open(std::string("staff \"A\"\nmeasures 1 width 300\n") + GetParam());
    const Chart before = StoredChart(1);
    std::shared_ptr<TFMisc> context = Tool(ToolItem::AddRemoveSpace);
    EXPECT_FALSE(Apply(*context));
    EXPECT_EQ(StoredChart(1), before);
    EXPECT_EQ(StoredWord(Measure(1), 0), 300);
    EXPECT_EQ(context->RerunFlag, 0);
}

INSTANTIATE_TEST_SUITE_P(Measures, LeftAloneTest,
                         ::testing::Values("", "beatchart 1 mode 0 4096:260:0:0 0:20:260:0\n",
                                           "beatchart 1 4096:260:0:0\n", "beatchart 1 0:260:0:0 0:20:260:0\n"),
                         testsupport::NameByValue());

TEST_F(LayoutBeatChartTest, ResetSetsTheMeasureFlagsOnly) {
    Open(kEvenChart);
    const Chart before = StoredChart(1);
    std::shared_ptr<TFMisc> context = Tool(ToolItem::Reset);
    context->Options[RESET_SMART_SHAPE_BITS].value = 1;
    context->Options[RESET_MEASURE_EXPRESSION_BITS].value = 1;
    EXPECT_FALSE(Apply(*context));
    EXPECT_EQ(static_cast<uint16_t>(StoredWord(Measure(1), 8)), 0x2002);
    EXPECT_EQ(static_cast<uint16_t>(StoredWord(Measure(1), 10)), 0x4000);
    EXPECT_EQ(StoredChart(1), before);
}

// ---- Proportionality ----

// Dotted eighths and sixteenths in 2/4, every element 60 or 40 wide: the dotted eighths are
// too narrow for the sixteenths that follow them (78 against 156 per thousand EDU).
constexpr const char* kDottedChart =
    "staff \"A\"\n"
    "measures 1 time 2/4 width 244\n"
    "beatchart 1 2048:220:0:0 0:20:80:0 768:80:120:0 1024:120:180:0 1792:180:220:0\n";

TEST_F(LayoutBeatChartTest, ProportionalityWidensTooNarrowElements) {
    Open(kDottedChart);
    std::shared_ptr<TFMisc> context = Tool(ToolItem::Proportionality);
    EXPECT_TRUE(Apply(*context));
    // Each dotted eighth is widened by 1400 per thousand (60 -> 84); the header's word at byte 8
    // moves with the measure width (244 + 48).
    EXPECT_EQ(
        StoredChart(1),
        (Chart{{2048, 268, 0, 48}, {0, 20, 104, 0}, {768, 104, 144, 0}, {1024, 144, 228, 0}, {1792, 228, 268, 0}}));
    EXPECT_EQ(StoredWord(Measure(1), 0), 292);
    // The repeat finds nothing more to widen.
    EXPECT_EQ(context->RerunFlag, 1);
}

TEST_F(LayoutBeatChartTest, ProportionalityRepeatsAMeasureAtMostTenMoreTimes) {
    Open(kDottedChart);
    std::shared_ptr<TFMisc> context = Tool(ToolItem::Proportionality);
    // With at most 10 added per case the elements stay too narrow: every repeat still widens.
    context->Options[PROPORTIONALITY_MAXIMUM_ADD].value = 10;
    EXPECT_TRUE(Apply(*context));
    EXPECT_EQ(BeatCharts(*context).changedMeasureCount, 11);
    EXPECT_EQ(context->RerunFlag, 11);
}

TEST_F(LayoutBeatChartTest, ExpectedDensitiesLeaveOutTheWidthsAboveTheAverageThatOccurOnce) {
    // Three quarters 50, 60 and 70 wide (average 60). The widest one's expectation leaves out its
    // own 70, which occurs once above the average: (50 + 60) / 2 = 55 per 1024 EDU. The others
    // expect their own widths, none narrower occurring twice.
    Open(
        "staff \"A\"\nmeasures 1 time 3/4 width 224\n"
        "beatchart 1 3072:200:0:0 0:20:70:0 1024:70:130:0 2048:130:200:0\n");
    std::shared_ptr<TFMisc> context = Tool(ToolItem::Proportionality);
    ASSERT_TRUE(LoadBeatChart(*context, 1));
    RecomputeBeatPositions(*context);
    ASSERT_TRUE(ComputeBeatDensities(*context));
    const std::vector<int32_t>& expected = BeatCharts(*context).lists[2];  // P, per thousand EDU
    ASSERT_GE(expected.size(), 4U);
    EXPECT_EQ(std::vector<int32_t>(expected.begin() + 1, expected.begin() + 4),
              (std::vector<int32_t>{50 * 1000 / 1024, 60 * 1000 / 1024, 55 * 1000 / 1024}));
}

TEST_F(LayoutBeatChartTest, ReducingMinimumPositionsShrinksEachWidestMinimumWidth) {
    // Minimum widths 50, 50, 20 and 60 (the header's minimum end at 200): two elements share the
    // width 50, above the stepping of 40, so each of them gives up 10 and every minimum after
    // them moves back by what was given up before it.
    Open(
        "staff \"A\"\nmeasures 1 time 2/4 width 244\n"
        "beatchart 1 2048:220:200:0 0:20:80:20 768:80:120:70 1024:120:180:120 1792:180:220:140\n");
    std::shared_ptr<TFMisc> context = Tool(ToolItem::Proportionality);
    context->Options[PROPORTIONALITY_REDUCE_MINIMUM_POSITIONS].value = 1;
    EXPECT_TRUE(Apply(*context));
    const Chart chart = StoredChart(1);
    ASSERT_EQ(chart.size(), 5U);
    EXPECT_EQ(chart[0][2], 180);
    EXPECT_EQ((std::vector<int32_t>{chart[1][3], chart[2][3], chart[3][3], chart[4][3]}),
              (std::vector<int32_t>{20, 60, 100, 120}));
}

TEST_F(LayoutBeatChartTest, HandlesOutOfOrderRefuseTheMeasure) {
    // Element 1 ends (80) before it starts (100), and its minimum position (50) lies after
    // element 2's (none): nothing holds its width at 0.
    Open(
        "staff \"A\"\nmeasures 1 time 2/4 width 244\n"
        "beatchart 1 2048:220:0:0 0:100:80:50 768:80:120:0 1024:120:180:0 1792:180:220:0\n");
    const Chart before = StoredChart(1);
    std::shared_ptr<TFMisc> context = Tool(ToolItem::Proportionality);
    EXPECT_TRUE(Apply(*context));
    EXPECT_EQ(layouttest::MessageTexts(),
              std::vector<std::string>{"Some beat chart handles are out of order. Please apply Note Spacing!"});
    const auto& lines = win::TranscriptLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "[form] \"One measure not processed\" TMsgDlg, modal"),
              lines.end());
    EXPECT_EQ(StoredChart(1), before);
    EXPECT_EQ(context->RerunFlag, 0);
}

ORDINARY_MUSIC_CASES(BeatSpacing, "tests/tools/ordinary-spacing.cases", "beat spacing");

}  // namespace
