// "Measure Widths..." and "Fit Measures...": the stored widths of measures and multimeasure rests,
// and the systems, optimizations and locks a fitted range leaves.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "core/module.h"
#include "platform/hostapi/bytes.h"
#include "tests/tools/notes_fixture.h"
#include "tests/tools/systems_test_support.h"
#include "tools/layout/fit_measures.h"
#include "tools/layout/layout_services.h"
#include "tools/layout/split_system.h"

namespace {

using namespace orvex;
using systemstest::Lists;
using systemstest::Spans;

class FitTest : public systemstest::SystemsTest {
protected:
    int16_t Width(int16_t measure) {
        return StoredWord(host::RecordKey::Other(hostapi::MakeTag("SOMS"), measure, 0), 0);
    }
    int16_t RestWidth() { return StoredWord(host::RecordKey::Other(kTagMultimeasureRest, 5, 0), 0); }
};

// ---- Measure widths ----

// 1 empty, 2 one note, 3 two notes in a layer, 4 an empty 2/4 measure, 5 empty under a
// multimeasure rest (5-6), 6 one note on each staff.
constexpr const char* kWidthScore =
    "staff \"A\"\nstaff \"B\"\nmeasures 3\nmeasures 1 time 2/4\nmeasures 2\n"
    "notes 1 2 c4/1\nnotes 1 3 c4/2 d4/2\nnotes 1 6 c4/1\nnotes 2 6 c4/1\nsystem 1 6\n";

struct WidthCase {
    const char* name;
    std::array<int32_t, 4> values;
    int32_t stopAt;  ///< the user stops the progress at that step, 0 never
    std::array<int16_t, 6> widths;
    int16_t restWidth;
};

class MeasureWidthsTest : public FitTest, public ::testing::WithParamInterface<WidthCase> {};

TEST_P(MeasureWidthsTest, EmptyAndOneNoteMeasuresAndRestsTakeTheirWidths) {
    const WidthCase& c = GetParam();
    SCOPED_TRACE(c.name);
    OpenHeld(kWidthScore);
    host::Bytes rest(24, 0);
    hostapi::WriteI16(rest.data(), 0, 100);
    hostapi::WriteI16(rest.data(), 2, 7);
    Document().Records().Save(host::RecordKey::Other(kTagMultimeasureRest, 5, 0), rest);
    std::shared_ptr<TFMisc> context = Tool(ToolItem::MeasureWidths, {{MEASURE_WIDTHS_REST, c.values[0]},
                                                                     {MEASURE_WIDTHS_EMPTY, c.values[1]},
                                                                     {MEASURE_WIDTHS_ONE_NOTE, c.values[2]},
                                                                     {MEASURE_WIDTHS_SCALING, c.values[3]}});
    m_host->Progress().StopNextAt(c.stopAt);
    EXPECT_EQ(RunMeasureWidths(*context, TheModule.dispatch.SelectionRecords[1]), c.stopAt == 0);
    for (int16_t m = 1; m <= 6; ++m) {
        EXPECT_EQ(Width(m), c.widths[static_cast<size_t>(m - 1)]) << "measure " << m;
    }
    EXPECT_EQ(RestWidth(), c.restWidth);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Values, MeasureWidthsTest, ::testing::Values(
    // A 2/4 measure gets 75 percent with a factor of 50: 150 x 75 / 100.
    WidthCase{"defaults", {250, 150, 180, 50}, 0, {150, 180, 240, 112, 150, 180}, 250},
    WidthCase{"19 is not set", {19, 19, 19, 50}, 0, {240, 240, 240, 240, 240, 240}, 100},
    WidthCase{"stopped at measure 3", {250, 150, 180, 50}, 3, {150, 180, 240, 240, 240, 240}, 100}),
    [](const auto& testCase) { std::string n = testCase.param.name; std::replace(n.begin(), n.end(), ' ', '_'); return n; });
// clang-format on

// ---- Fit measures ----

struct FitCase {
    const char* name;
    const char* score;
    int32_t first;
    int32_t last;
    int32_t systems;
    bool fitted;
    Spans after;
    Lists lists;
    Spans locks;  ///< measure and the end its lock holds (0 = no lock)
};

class FitMeasuresTest : public FitTest, public ::testing::WithParamInterface<FitCase> {};

TEST_P(FitMeasuresTest, TheRangeFillsTheSystems) {
    const FitCase& c = GetParam();
    SCOPED_TRACE(c.name);
    OpenHeld(c.score);
    // The range from rows 1 and 2; the width pass sets nothing.
    std::shared_ptr<TFMisc> context = Tool(
        ToolItem::FitMeasures,
        {{FIT_USE_SELECTION, 0}, {FIT_FROM_MEASURE, c.first}, {FIT_TO_MEASURE, c.last}, {FIT_SYSTEM_COUNT, c.systems}},
        38);
    for (size_t row = 0; row < MEASURE_WIDTHS_ROW_COUNT; ++row) {
        context->MoreOptions[row].value = 0;
    }
    SelectMeasures(1, 1);
    EXPECT_EQ(RunFitMeasures(*context), c.fitted);
    EXPECT_EQ(systemstest::StoredSystems(Document()), c.after);
    EXPECT_EQ(systemstest::StoredLists(Document(), static_cast<int16_t>(c.lists.size())), c.lists);
    for (const auto& [measure, end] : c.locks) {
        EXPECT_EQ(systemstest::LockAt(Document(), static_cast<int16_t>(measure)), end) << measure;
    }
    EXPECT_TRUE(layouttest::MessageTexts().empty());
}

constexpr const char* kOneMeasureSystems = "staff \"A\"\nmeasures 3\nsystem 1 1\nsystem 2 2\nsystem 3 3\n";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Ranges, FitMeasuresTest, ::testing::Values(
    FitCase{"whole systems are balanced", systemstest::kFourSystems, 5, 12, 2, true,
            {{1, 5}, {5, 9}, {9, 13}, {13, 17}}, {{}, {1, 2}, {1, 3}, {2, 3}}, {{1, 0}, {5, 9}, {9, 13}}},
    // System 3 goes; system 4 moves up with its staff list; record 4 is deleted.
    FitCase{"fewer systems", systemstest::kFourSystems, 1, 12, 2, true,
            {{1, 7}, {7, 13}, {13, 17}}, {{}, {1, 2}, {2, 3}}, {{1, 7}, {7, 13}}},
    // System 2 is split; the new system 3 takes its list, the later ones move on.
    FitCase{"more systems", systemstest::kFourSystems, 5, 8, 2, true,
            {{1, 5}, {5, 7}, {7, 9}, {9, 13}, {13, 17}}, {{}, {1, 2}, {1, 2}, {1, 3}, {2, 3}}, {{5, 7}, {7, 9}}},
    // The range starts in system 1 and ends in system 3, which is split to give a second system.
    FitCase{"inside systems", systemstest::kFourSystems, 3, 10, 2, true,
            {{1, 3}, {3, 7}, {7, 11}, {11, 13}, {13, 17}}, {{}, {1, 2}, {1, 3}, {1, 3}, {2, 3}},
            {{1, 3}, {3, 7}, {7, 11}, {11, 13}, {9, 0}}},
    FitCase{"no system to split", kOneMeasureSystems, 1, 3, 4, false, {{1, 2}, {2, 3}, {3, 4}}, {}, {{1, 0}}},
    // One measure is a range too: it keeps its system, now locked.
    FitCase{"one measure", kOneMeasureSystems, 2, 2, 1, true, {{1, 2}, {2, 3}, {3, 4}}, {}, {{2, 3}}},
    // Three measures in two systems: both are equally narrow with measure 3, and the first takes
    // it and keeps it through the balancing.
    FitCase{"odd measure to the first system", kOneMeasureSystems, 1, 3, 2, true, {{1, 3}, {3, 4}}, {},
            {{1, 3}, {3, 4}}}),
    [](const auto& testCase) { std::string n = testCase.param.name; std::replace(n.begin(), n.end(), ' ', '_'); return n; });
// clang-format on

TEST_F(FitTest, WithoutLocksTheHostLayoutUndoesTheFit) {
    Open(systemstest::kFourSystems);
    TheModule.dispatch.SelectionRecords[1] = m_host->DocumentRegion();
    SelectMeasures(1, 12);
    std::shared_ptr<TFMisc> context = Tool(ToolItem::FitMeasures, {{FIT_SYSTEM_COUNT, 2}, {FIT_LOCK_SYSTEMS, 0}}, 38);
    EXPECT_TRUE(RunFitMeasures(*context));
    EXPECT_EQ(layouttest::MessageTexts(),
              std::vector<std::string>{
                  "You selected not to lock the new measure layout. Be sure to set Finale's Update Layout options to "
                  "'only within systems', or else the Update Layout command will undo the adjustments made.You may "
                  "not even get to see the results because Update Layout is invoked automatically at the end of this "
                  "plug-in!"});
    // The widths stay as they were (the width pass sets none); nothing keeps the fitted systems
    // together, and the host's layout puts the measures back four to a system.
    EXPECT_EQ(Width(1), 540);
    EXPECT_EQ(systemstest::StoredSystems(Document()), (Spans{{1, 5}, {5, 9}, {9, 13}, {13, 17}}));
}

}  // namespace

namespace {

// The "More..." page of Fit Measures holds the widths of "Measure Widths..." (250, 150, 180, 50 by
// default): fitting leaves every stored width as it was, empty measures and rests too.
TEST_F(FitTest, FittingRewritesNoWidths) {
    OpenHeld(kWidthScore);
    host::Bytes rest(24, 0);
    hostapi::WriteI16(rest.data(), 0, 100);
    hostapi::WriteI16(rest.data(), 2, 7);
    Document().Records().Save(host::RecordKey::Other(kTagMultimeasureRest, 5, 0), rest);
    std::array<int16_t, 6> before{};
    for (int16_t m = 1; m <= 6; ++m) {
        before[static_cast<size_t>(m - 1)] = Width(m);
    }
    std::shared_ptr<TFMisc> context =
        Tool(ToolItem::FitMeasures,
             {{FIT_USE_SELECTION, 0}, {FIT_FROM_MEASURE, 1}, {FIT_TO_MEASURE, 6}, {FIT_SYSTEM_COUNT, 1}}, 38);
    ASSERT_EQ(context->MoreOptions[MEASURE_WIDTHS_EMPTY].value, 150);
    SelectMeasures(1, 1);
    EXPECT_TRUE(RunFitMeasures(*context));
    for (int16_t m = 1; m <= 6; ++m) {
        EXPECT_EQ(Width(m), before[static_cast<size_t>(m - 1)]) << "measure " << m;
    }
    EXPECT_EQ(RestWidth(), 100);
}

TEST_F(FitTest, AStopInTheWidthPassEndsTheFitBeforeAnythingMoves) {
    OpenHeld(systemstest::kFourSystems);
    SelectMeasures(1, 1);
    std::shared_ptr<orvex::TFMisc> context = Tool(ToolItem::FitMeasures,
                                                  {{orvex::FIT_USE_SELECTION, 0},
                                                   {orvex::FIT_FROM_MEASURE, 1},
                                                   {orvex::FIT_TO_MEASURE, 12},
                                                   {orvex::FIT_SYSTEM_COUNT, 2}},
                                                  38);
    m_host->Progress().StopNextAt(2);
    EXPECT_FALSE(orvex::RunFitMeasures(*context));
    EXPECT_EQ(systemstest::StoredSystems(Document()), (Spans{{1, 5}, {5, 9}, {9, 13}, {13, 17}}));
    EXPECT_EQ(systemstest::LockAt(Document(), 1), 0);
}

ORDINARY_MUSIC_CASES(MeasureWidths, "tests/tools/ordinary-spacing.cases", "measure widths");

}  // namespace

ORDINARY_MUSIC_CASES(FitMeasures, "tests/tools/ordinary-systems.cases", "fit measures");
