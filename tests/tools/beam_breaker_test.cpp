// The secondary beam breaker over a selection of the simulated host's document: where groups of
// beamed notes get their secondary breaks, and the levels those breaks hold.
#include <functional>

#include "core/tool_items.h"
#include "tests/support/case_names.h"
#include "tests/tools/layout_test_support.h"
#include "tests/tools/notes_fixture.h"
#include "tools/notes/beam_breaker.h"
#include "tools/notes/beam_breaker_form.h"

namespace {

constexpr uint32_t kSecondaryBreak = 0x00000400;

using Bytes = std::vector<uint8_t>;
const Bytes kAllLevels = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
const Bytes kFromSecondLevel = {0, 1, 1, 1, 1, 1, 1, 1, 1, 1};

struct BreakCase {
    const char* name;
    const char* notes;
    std::function<void(orvex::BeamBreakOptions&)> settings;
    std::vector<size_t> broken;  ///< entries that get a secondary break
    Bytes record;                ///< the 'edsB' record of each of them
};
std::ostream& operator<<(std::ostream& out, const BreakCase& c) {
    return out << c.name;
}

class BeamBreakerFixture : public testsupport::NotesTest {
protected:
    void Run(const std::function<void(orvex::BeamBreakOptions&)>& change) {
        Select(1, 1, 1, 1);
        orvex::BeamBreakOptions options;
        orvex::InitBeamBreakerOptions(options);
        if (change) {
            change(options);
        }
        orvex::BreakSecondaryBeams(options);
    }
};

class BeamBreakerTest : public BeamBreakerFixture, public ::testing::WithParamInterface<BreakCase> {};

TEST_P(BeamBreakerTest, BreaksTheSecondaryBeams) {
    const BreakCase& c = GetParam();
    StartHost(std::string("staff \"Flute\"\nmeasures 1\nnotes 1 1 ") + c.notes + "\n");
    Run(c.settings);
    const host::CellEntries& cell = Cell(1, 1);
    for (size_t i = 0; i < cell.size(); ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        const bool expected = std::find(c.broken.begin(), c.broken.end(), i) != c.broken.end();
        const auto entry = View(cell[i]);
        EXPECT_EQ(entry.has(kSecondaryBreak), expected);
        EXPECT_EQ(EntryRecord("edsB", entry.number()), expected ? c.record : Bytes{});
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(BeamBreaker, BeamBreakerTest, ::testing::Values(
    BreakCase{"eight thirty-seconds in two", "c5/32 d5/32 e5/32 f5/32 g5/32 a5/32 b5/32 c6/32 r/4 r/2", {}, {4},
              kFromSecondLevel},
    BreakCase{"four equal sixteenths stay whole", "c5/16 d5/16 e5/16 f5/16 r/4 r/2", {}, {}, {}},
    BreakCase{"four equal sixteenths with break4", "c5/16 d5/16 e5/16 f5/16 r/4 r/2",
              [](orvex::BeamBreakOptions& o) { o.breakFourInTwo = 1; }, {2}, kAllLevels},
    BreakCase{"four mixed values at the half", "c5/16. d5/32 e5/16. f5/32 r/4 r/2", {}, {2}, kAllLevels},
    // Three parts of 256 EDU, but a duplet starts at the middle after notes as written: two halves.
    BreakCase{"a duplet at the middle halves three parts", "c5/32 d5/32 e5/32 {2:3 f5/32 g5/32} r/4", {}, {3}, kFromSecondLevel},
    BreakCase{"six thirty-seconds in three", "c5/32 d5/32 e5/32 f5/32 g5/32 a5/32", {}, {2, 4}, kFromSecondLevel},
    BreakCase{"all secondary beams", "c5/32 d5/32 e5/32 f5/32 g5/32 a5/32", [](orvex::BeamBreakOptions& o) { o.breakAll = 1; }, {2, 4}, kAllLevels},
    BreakCase{"secondary breaking off", "c5/32 d5/32 e5/32 f5/32 g5/32 a5/32 b5/32 c6/32 r/4 r/2",
              [](orvex::BeamBreakOptions& o) { o.breakSecondary = 0; }, {}, {}},
    // Tuplets: a group that a tuplet fills is divided by the tuplet's parts (nine notes: three),
    // where two halves would fall between notes.
    BreakCase{"nine in the time of eight in threes", "{9:8 c5/32 d5/32 e5/32 f5/32 g5/32 a5/32 b5/32 c6/32 d6/32} r/4 r/2",
              {}, {3, 6}, kFromSecondLevel},
    // The same notes, their tuplet written against another unit: no tuplet rule, and no half
    // falls on a note.
    BreakCase{"nine in the time of a quarter stay whole",
              "{9/32:1/4 c5/32 d5/32 e5/32 f5/32 g5/32 a5/32 b5/32 c6/32 d6/32} r/4 r/2", {}, {}, {}},
    BreakCase{"a sextuplet has no rule and breaks at its half", "{6:4 c5/16 d5/16 e5/16 f5/16 g5/16 a5/16} r/4 r/2",
              {}, {3}, kAllLevels},
    // A rule of three for six notes is dropped: six is a multiple of the group's two default
    // parts, and its notes are no longer than the shortest.
    BreakCase{"a sextuplet's rule of three gives way to halves", "{6:4 c5/16 d5/16 e5/16 f5/16 g5/16 a5/16} r/4 r/2",
              [](orvex::BeamBreakOptions& o) { o.tupletParts[6] = 3; }, {3}, kAllLevels},
    // A tuplet ruled by a pattern breaks after the pattern's counts of its notes (2 + 3, 4 + 3).
    BreakCase{"a quintuplet by the first pattern", "{5:4 c5/16 d5/16 e5/16 f5/16 g5/16} r/4 r/2",
              [](orvex::BeamBreakOptions& o) { o.tupletParts[5] = -1; }, {2}, kAllLevels},
    BreakCase{"a septuplet by the second pattern", "{7:4 c5/16 d5/16 e5/16 f5/16 g5/16 a5/16 b5/16} r/4 r/2",
              [](orvex::BeamBreakOptions& o) { o.tupletParts[7] = -2; }, {4}, kAllLevels},
    // Five parts of one note each: no note is shorter than a part, nothing breaks.
    BreakCase{"a quintuplet in five parts stays whole", "{5:4 c5/16 d5/16 e5/16 f5/16 g5/16} r/4 r/2", {}, {}, {}}),
    testsupport::NameBy(&BreakCase::name));
// clang-format on

TEST_F(BeamBreakerFixture, RemovesOldBreaksFirst) {
    StartHost(
        "staff \"Flute\"\nmeasures 1\nnotes 1 1 c5/32 d5/32 e5/32 f5/32 g5/32 a5/32 b5/32 c6/32 r/4 r/2\n"
        "entryrecord 1 1:3 edsB 0001 0101 0101 0101 0101\n");
    const hostapi::EntryNumber old = View(Cell(1, 1)[2]).number();
    ASSERT_TRUE(View(Cell(1, 1)[2]).has(kSecondaryBreak));
    ASSERT_EQ(EntryRecord("edsB", old), kFromSecondLevel);
    Run([](orvex::BeamBreakOptions& o) { o.removeOldBreaks = 1; });
    const host::CellEntries& cell = Cell(1, 1);
    EXPECT_FALSE(View(cell[2]).has(kSecondaryBreak));
    EXPECT_EQ(EntryRecord("edsB", old), Bytes{});
    EXPECT_TRUE(View(cell[4]).has(kSecondaryBreak));
    EXPECT_EQ(EntryRecord("edsB", View(cell[4]).number()), kFromSecondLevel);
}

ORDINARY_MUSIC_CASES(BeamBreaker, "tests/tools/ordinary.cases", "beam breaker");
ORDINARY_MUSIC_CASES(MoreBeamBreaker, "tests/tools/ordinary-notes.cases", "beam breaker");

// The tool's rows, each set apart from the rows beside it, reach the options they name.
TEST(BeamBreakerRowsTest, EachRowSetsItsOption) {
    std::shared_ptr<orvex::TFMisc> context = layouttest::ToolWithDefaults(orvex::ToolItem::BeamBreaker);
    const std::vector<orvex::BeamBreakerRow> names = {
        orvex::BEAM_UNBEAM_RESTS,      orvex::BEAM_BREAK_PRIMARY,     orvex::BEAM_BEAT_LENGTH,
        orvex::BEAM_ONLY_SHORT_NOTES,  orvex::BEAM_SHORT_LIMIT,       orvex::BEAM_ODD_RESTS,
        orvex::BEAM_WHOLE_MEASURE,     orvex::BEAM_BREAK_SECONDARY,   orvex::BEAM_QUARTER_PARTS,
        orvex::BEAM_EIGHTH_PARTS,      orvex::BEAM_BREAK_FOUR_IN_TWO, orvex::BEAM_BREAK_ALL,
        orvex::BEAM_REMOVE_OLD_BREAKS, orvex::BEAM_RESTS_IN_GROUPS,   orvex::BEAM_SIMPLIFY_RESTS};
    const std::vector<int32_t> rows = {1, 0, 768, 0, 384, 0, 1, 0, 3, 4, 0, 1, 0, 1, 0};
    for (size_t r = 0; r < rows.size(); ++r) {
        context->Options[names[r]].value = rows[r];
    }
    context->MoreOptions[orvex::BEAM_MORE_BREAK_AT_HALF_BEAT_REST].value = 1;
    context->MoreOptions[orvex::BEAM_MORE_UNBEAM_REST_BEATS].value = 0;
    context->MoreOptions[orvex::BEAM_MORE_RESTS_TO_EIGHTHS].value = 1;
    const orvex::BeamBreakOptions o = orvex::BeamBreakOptionsFromTool(*context);
    EXPECT_EQ(
        (std::vector<int32_t>{o.unbeamRests, o.breakPrimary, o.beatLength, o.onlyShortNotes, o.shortLimit, o.oddRests,
                              o.wholeMeasure, o.breakSecondary, o.quarterParts, o.eighthParts, o.breakFourInTwo,
                              o.breakAll, o.removeOldBreaks, o.restsInBeamGroups, o.simplifyRests}),
        rows);
    EXPECT_EQ((std::vector<int32_t>{o.breakAtHalfBeatRest, o.unbeamRestBeats, o.beamRestsToEighths}),
              (std::vector<int32_t>{1, 0, 1}));
}

// Rests beamed with the notes: a sixteenth rest ending the first beat after three equal
// sixteenths from the beat's start is unbeamed; the one ending the second beat after an eighth
// and a sixteenth keeps its beam.
TEST_F(BeamBreakerFixture, ARestEndingABeatAfterEqualNotesLeavesTheBeam) {
    StartHost(
        "staff \"Flute\"\nmeasures 1\nnotes 1 1 c5/16 d5/16 e5/16 r/16 c5/8 d5/16 r/16 r/2\n"
        "entry 1 1:4 -beam-start\nentry 1 1:7 -beam-start\n");
    Run([](orvex::BeamBreakOptions& o) {
        o.restsInBeamGroups = 1;
        o.breakAtHalfBeatRest = 0;
        o.unbeamRestBeats = 0;
    });
    const host::CellEntries& cell = Cell(1, 1);
    std::vector<bool> starts;
    for (const auto& entry : cell) {
        starts.push_back(View(entry).has(hostapi::kEntryBeamStart));
    }
    EXPECT_EQ(starts, (std::vector<bool>{true, false, false, true, true, false, false, true}));
}

}  // namespace

namespace {

// Four eighths beamed over the beat: the primary beam breaks on the beat only when the measure
// holds notes shorter than the limit, and the limit counts only while "only short notes" is on
// (the measure's rests are whole beats: no odd rest breaks it either).
struct PrimaryCase {
    int32_t shortLimit;
    bool brokenOnBeat;
    int16_t onlyShortNotes = 1;
};

class BeamBreakerPrimaryTest : public BeamBreakerFixture, public ::testing::WithParamInterface<PrimaryCase> {};

TEST_P(BeamBreakerPrimaryTest, BreaksThePrimaryBeamOnTheBeat) {
    StartHost("staff \"Flute\"\nmeasures 1\nnotes 1 1 c5/8 d5/8 e5/8 f5/8 r/2\nentry 1 1:3 -beam-start\n");
    const int32_t limit = GetParam().shortLimit;
    Run([limit, only = GetParam().onlyShortNotes](orvex::BeamBreakOptions& o) {
        o.breakPrimary = 1;
        o.shortLimit = limit;
        o.onlyShortNotes = only;
    });
    const host::CellEntries& cell = Cell(1, 1);
    EXPECT_EQ(View(cell[2]).has(hostapi::kEntryBeamStart), GetParam().brokenOnBeat);
    EXPECT_FALSE(View(cell[1]).has(hostapi::kEntryBeamStart));
    EXPECT_FALSE(View(cell[3]).has(hostapi::kEntryBeamStart));
}

INSTANTIATE_TEST_SUITE_P(BeamBreaker, BeamBreakerPrimaryTest,
                         ::testing::Values(PrimaryCase{512, false}, PrimaryCase{1024, true},
                                           PrimaryCase{2048, false, 0}),
                         testsupport::NameBy("short", &PrimaryCase::shortLimit, "on_beat", &PrimaryCase::brokenOnBeat));

}  // namespace
