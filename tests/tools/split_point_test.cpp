// The split point note mover on its own: the two staves' cells of measure 1 are loaded, their
// tables filled, and one call moves (or keeps) the outermost note of one item. What the loaded
// arrays, the tie list and the messages hold afterwards is checked; nothing is saved.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/host/finxess.h"
#include "core/lumvar_binding.h"
#include "core/tool_context.h"
#include "core/tool_items.h"
#include "tests/tools/notes_fixture.h"
#include "tools/layout/explosion/explosion.h"
#include "tools/layout/split_point.h"

namespace {

using orvex::kSplitDownward;
using orvex::kSplitUpward;
using orvex::SplitPointTie;
using orvex::SplitPointTies;

/// A loaded array as the score text writes it (C major, pitch words as steps from middle C):
/// "c4+e5/1024", a rest "r/DURATION", "~" after a note tied onward, "(" before one tied from the
/// note before.
std::string ArrayText(const orvex::EntryArray* array) {
    std::string text;
    for (int32_t i = 0; array != nullptr && i < array->count; ++i) {
        const hostapi::ConstEntryView entry = array->entry(i);
        text += text.empty() ? "" : " ";
        if (!entry.isNote()) {
            text += "r";
        }
        for (int32_t n = 0; entry.isNote() && n < entry.notesHeld(); ++n) {
            const uint32_t flags = entry.note(n).flags();
            const int32_t level = entry.note(n).harmonicLevel();
            const int32_t octave = level >= 0 ? level / 7 : (level - 6) / 7;
            text += std::string(n == 0 ? "" : "+") + ((flags & hostapi::kNoteTieEnd) != 0 ? "(" : "") +
                    "cdefgab"[level - 7 * octave] + std::to_string(4 + octave) +
                    ((flags & hostapi::kNoteTieStart) != 0 ? "~" : "");
        }
        text += "/" + std::to_string(entry.actualDuration());
    }
    return text;
}

/// What one call is given: the items (by index in each staff's table), the direction, the
/// settings and its switches.
struct Call {
    int32_t direction = kSplitDownward;
    int32_t upperItem = 0;
    int32_t lowerItem = 0;
    int32_t maxSourceSpan = 0;  ///< 0: every note moves without a reason
    int32_t maxTargetSpan = 100;
    int32_t minTargetNotes = 0;
    int32_t minLeap = 0;
    int32_t lowestKey = 0;
    int32_t highestKey = 127;
    bool balanceSpans = false;
    bool earlierTargets = false;
    bool joinEmptiedRests = false;
    bool keepLongerTargetRests = false;
    bool keepLongerTargetNotes = false;
};

class SplitPointMoverTest : public testsupport::NotesTest {
protected:
    void TearDown() override {
        m_lentUpper.Release();
        m_lentLower.Release();
        NotesTest::TearDown();
    }

    /// Starts the host with the staves' measure 1 and loads both cells and their tables.
    void Load(const std::string& upper, const std::string& lower, const char* time = "4/4") {
        StartHost(std::string("staff \"RH\"\nstaff \"LH\"\nmeasures 1 time ") + time + "\nnotes 1 1 " + upper +
                  "\nnotes 2 1 " + lower + "\n");
        ASSERT_TRUE(orvex::BindServicePlugin());
        m_context = orvex::InitToolContext();
        m_context->Item = orvex::ItemNumber(orvex::ToolItem::SmartSplitPoint);
        m_context->Walk.measure = 1;
        ASSERT_TRUE(orvex::LoadMeasureSpec(1, m_context->Walk.measureSpec));
        m_lentUpper.Load(0, 1, 1);
        m_lentLower.Load(0, 1, 2);
        Refill();
    }
    void Refill() {
        ASSERT_TRUE(
            orvex::FillNInfo(m_upperTable, 1, 0, 0, orvex::kNoPosition, m_upper, "", false, false, false, false));
        ASSERT_TRUE(
            orvex::FillNInfo(m_lowerTable, 1, 0, 0, orvex::kNoPosition, m_lower, "", false, false, false, false));
    }
    /// Makes one call of the mover as the smart split point would, for the direction given.
    int32_t Move(const Call& call) {
        orvex::NInfoItem& upper = m_upperTable.items.at(static_cast<size_t>(call.upperItem));
        orvex::NInfoItem& lower = m_lowerTable.items.at(static_cast<size_t>(call.lowerItem));
        const bool down = call.direction == kSplitDownward;
        const orvex::SplitMoveSettings settings{.direction = call.direction,
                                                .maxSourceSpan = call.maxSourceSpan,
                                                .maxTargetSpan = call.maxTargetSpan,
                                                .minTargetNotes = call.minTargetNotes,
                                                .minLeap = call.minLeap,
                                                .lowestKey = call.lowestKey,
                                                .highestKey = call.highestKey,
                                                .balanceSpans = call.balanceSpans,
                                                .earlierTargets = call.earlierTargets,
                                                .joinEmptiedRests = call.joinEmptiedRests,
                                                .keepLongerTargetRests = call.keepLongerTargetRests,
                                                .keepLongerTargetNotes = call.keepLongerTargetNotes};
        const int32_t moved = orvex::MoveSplitPointNote(*m_context, down ? m_upper : m_lower, down ? m_lower : m_upper,
                                                        down ? upper : lower, down ? lower : upper, settings, m_ties);
        Refill();
        return moved;
    }
    std::string Upper() const { return ArrayText(m_upper[0]); }
    std::string Lower() const { return ArrayText(m_lower[0]); }

    std::shared_ptr<orvex::TFMisc> m_context;
    orvex::LayerArrays m_upper{};
    orvex::LayerArrays m_lower{};
    orvex::ScopedCellLayers m_lentUpper{m_upper};
    orvex::ScopedCellLayers m_lentLower{m_lower};
    orvex::NInfo m_upperTable;
    orvex::NInfo m_lowerTable;
    SplitPointTies m_ties;
};

// ---- What moves, by the settings and switches ----

struct MoveCase {
    const char* name;
    const char* upper;
    const char* lower;
    Call call;
    int32_t moved;
    const char* upperAfter;
    const char* lowerAfter;
};

class SplitPointMoveTest : public SplitPointMoverTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(SplitPointMoveTest, MovesOrKeepsTheOutermostNote) {
    const MoveCase& c = GetParam();
    Load(c.upper, c.lower);
    EXPECT_EQ(Move(c.call), c.moved);
    EXPECT_EQ(Upper(), c.upperAfter);
    EXPECT_EQ(Lower(), c.lowerAfter);
    EXPECT_TRUE(Messages().empty());
}

// Pitch words (steps from middle C): c2 -14, c3 -7, e3 -5, c4 0, g4 4, c5 7, e5 9.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, SplitPointMoveTest, ::testing::Values(
    // The receiving chord of 11 notes takes a twelfth; one of 12 takes none.
    MoveCase{"eleven notes take a twelfth", "c4+e5/1", "c2+d2+e2+f2+g2+a2+b2+c3+d3+e3+f3/1", {}, 1,
             "e5/4096", "c2+d2+e2+f2+g2+a2+b2+c3+d3+e3+f3+c4/4096"},
    MoveCase{"twelve notes take no more", "c4+e5/1", "c2+d2+e2+f2+g2+a2+b2+c3+d3+e3+f3+g3/1", {}, 0,
             "c4+e5/4096", "c2+d2+e2+f2+g2+a2+b2+c3+d3+e3+f3+g3/4096"},
    // Within the maximum source span a note needs a reason: balancing the spans the hands when the
    // receiving chord (3 steps, 9 with the note) stays narrower than the giving one (10).
    MoveCase{"balance spans on", "c4+g4+e5/1", "c3+e3/1", {.maxSourceSpan = 10, .balanceSpans = true}, 1,
             "g4+e5/4096", "c3+e3+c4/4096"},
    MoveCase{"balance spans off", "c4+g4+e5/1", "c3+e3/1", {.maxSourceSpan = 10, .balanceSpans = false}, 0,
             "c4+g4+e5/4096", "c3+e3/4096"},
    // A third of two notes gives too: c4 leaves c4+e5 (10 steps) for c3+e3, which then spans 8, and 8 + 1 < 10;
    // from c4+d5 (9 steps) it stays, as 8 + 1 is not below 9.
    MoveCase{"balance spans, two notes give", "c4+e5/1", "c3+e3/1", {.maxSourceSpan = 10, .balanceSpans = true}, 1,
             "e5/4096", "c3+e3+c4/4096"},
    MoveCase{"balance spans, one step short", "c4+d5/1", "c3+e3/1", {.maxSourceSpan = 10, .balanceSpans = true}, 0,
             "c4+d5/4096", "c3+e3/4096"},
    MoveCase{"balance spans, target too wide", "c4+g4+e5/1", "c2+e3/1", {.maxSourceSpan = 10, .balanceSpans = true}, 0,
             "c4+g4+e5/4096", "c2+e3/4096"},
    // A note moving into a chord that began earlier needs the earlier targets switch; the chord is cut where the note
    // comes in and sounds on, tied.
    MoveCase{"earlier target, earlier targets off", "r/4 c4+e5/4 r/2", "c3/2 r/2", {.upperItem = 1, .earlierTargets = false}, 0,
             "r/1024 c4+e5/1024 r/2048", "c3/2048 r/2048"},
    MoveCase{"earlier target, earlier targets on", "r/4 c4+e5/4 r/2", "c3/2 r/2", {.upperItem = 1, .earlierTargets = true}, 1,
             "r/1024 e5/1024 r/2048", "c3~/1024 (c3+c4/1024 r/2048"},
    // A longer receiving rest is cut at the note's end unless keeping longer target rests keeps it whole; it is cut
    // anyway when a rest follows the note in its own staff.
    MoveCase{"longer rest, keep longer rests off", "c4+e5/4 g4/4 g4/2", "r/1", {.keepLongerTargetRests = false}, 1,
             "e5/1024 g4/1024 g4/2048", "c4/1024 r/3072"},
    MoveCase{"longer rest, keep longer rests on", "c4+e5/4 g4/4 g4/2", "r/1", {.keepLongerTargetRests = true}, 1,
             "e5/1024 g4/1024 g4/2048", "c4/4096"},
    MoveCase{"longer rest, keep longer rests on, a rest follows", "c4+e5/4 r/4 g4/2", "r/1", {.keepLongerTargetRests = true}, 1,
             "e5/1024 r/1024 g4/2048", "c4/1024 r/3072"},
    // A longer receiving note is cut at the note's end unless keeping longer target notes keeps it whole.
    MoveCase{"longer note, keep longer notes off", "c4+e5/4 g4/4 g4/2", "c3/1", {.keepLongerTargetNotes = false}, 1,
             "e5/1024 g4/1024 g4/2048", "c3~+c4/1024 (c3/3072"},
    MoveCase{"longer note, keep longer notes on", "c4+e5/4 g4/4 g4/2", "c3/1", {.keepLongerTargetNotes = true}, 1,
             "e5/1024 g4/1024 g4/2048", "c3+c4/4096"},
    // Within the span a leap is a reason: c4 lies 4 steps below the g4 before it.
    MoveCase{"downward leap of exactly the minimum", "g4/4 c4+e5/4 r/2", "c3/4 c3/4 r/2",
             {.upperItem = 1, .lowerItem = 1, .maxSourceSpan = 20, .minLeap = 4}, 1, "g4/1024 e5/1024 r/2048",
             "c3/1024 c3+c4/1024 r/2048"},
    MoveCase{"downward leap one step short", "g4/4 c4+e5/4 r/2", "c3/4 c3/4 r/2",
             {.upperItem = 1, .lowerItem = 1, .maxSourceSpan = 20, .minLeap = 5}, 0, "g4/1024 c4+e5/1024 r/2048",
             "c3/1024 c3/1024 r/2048"},
    // A note never crosses the other hand's outer note, nor meets it in a unison.
    MoveCase{"crossing downward", "c4+e5/1", "c5/1", {}, 0, "c4+e5/4096", "c5/4096"},
    MoveCase{"crossing upward", "c4/1", "c3+g4/1", {.direction = kSplitUpward}, 0, "c4/4096", "c3+g4/4096"},
    MoveCase{"unison downward", "c4+e5/1", "c4/1", {}, 0, "c4+e5/4096", "c4/4096"},
    MoveCase{"unison upward", "g4/1", "c3+g4/1", {.direction = kSplitUpward}, 0, "g4/4096", "c3+g4/4096"},
    MoveCase{"upward below the chord", "c5/1", "c3+g4/1", {.direction = kSplitUpward}, 1, "g4+c5/4096", "c3/4096"},
    // The receiving chord with the note may span at most the maximum target span (c2 to c4: 15).
    MoveCase{"target span 14", "c4+e5/1", "c2/1", {.maxTargetSpan = 14}, 0, "c4+e5/4096", "c2/4096"},
    MoveCase{"target span 15", "c4+e5/1", "c2/1", {.maxTargetSpan = 15}, 1, "e5/4096", "c2+c4/4096"},
    // The key range: c4 is key 60.
    MoveCase{"below the highest key", "c4+e5/1", "c3/1", {.highestKey = 60}, 1, "e5/4096", "c3+c4/4096"},
    MoveCase{"above the highest key", "c4+e5/1", "c3/1", {.highestKey = 59}, 0, "c4+e5/4096", "c3/4096"}),
    [](const auto& testCase) {
        std::string name = testCase.param.name;
        std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
        return name;
    });
// clang-format on

// ---- The contradictions the mover reports ----

// The notes of an entry lie lowest first; an entry whose notes do not is a contradiction the
// mover reports and leaves alone.
TEST_F(SplitPointMoverTest, AGivingChordThatContradictsItselfIsReported) {
    Load("c4+e5/1", "c3/1");
    hostapi::EntryView chord = m_upper[0]->entry(0);
    std::swap_ranges(chord.note(0).data(), chord.note(0).data() + hostapi::NoteLayout::kSize, chord.note(1).data());
    EXPECT_EQ(Move({}), 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Error 34542"});
    EXPECT_EQ(Upper(), "e5+c4/4096");
    EXPECT_EQ(Lower(), "c3/4096");
}

TEST_F(SplitPointMoverTest, AReceivingChordThatContradictsItselfIsReported) {
    Load("c4+e5/1", "c2+c3/1");
    hostapi::EntryView chord = m_lower[0]->entry(0);
    std::swap_ranges(chord.note(0).data(), chord.note(0).data() + hostapi::NoteLayout::kSize, chord.note(1).data());
    Refill();
    EXPECT_EQ(Move({}), 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Error 34543"});
    EXPECT_EQ(Upper(), "c4+e5/4096");
    EXPECT_EQ(Lower(), "c3+c2/4096");
}

// ---- Ties ----

// A note tied onward leaves two records: its own end and the end of the note it joined; the note
// it is tied to follows it into the other staff, which it does only with such a record.
TEST_F(SplitPointMoverTest, ATiedNoteLeavesTheRecordsItsContinuationFollows) {
    Load("c4~+c5/2 c4+e4/2", "c3/2 c3/2");
    const int16_t staff = m_upper[0]->staff;
    EXPECT_EQ(Move({}), 1);
    EXPECT_EQ(m_ties, (SplitPointTies{SplitPointTie{staff, 2048, 0, kSplitDownward},
                                      SplitPointTie{staff, 2048, 0, kSplitDownward}}));
    EXPECT_EQ(Upper(), "c5/2048 (c4+e4/2048");
    EXPECT_EQ(Lower(), "c3+c4~/2048 c3/2048");

    SplitPointTies none;
    std::swap(none, m_ties);
    EXPECT_EQ(Move({.upperItem = 1, .lowerItem = 1}), 0) << "a tied note moves with its record only";
    std::swap(none, m_ties);
    EXPECT_EQ(Move({.upperItem = 1, .lowerItem = 1}), 1);
    EXPECT_EQ(Upper(), "c5/2048 e4/2048");
    EXPECT_EQ(Lower(), "c3+c4~/2048 c3+(c4/2048");
    EXPECT_EQ(m_ties.size(), 2u) << "a note that is tied onward no further adds no record";
}

// A note longer than the chord it joins, when that chord's first note is tied on: the note is
// tied on with it, into the next entry of the receiving staff.
TEST_F(SplitPointMoverTest, ALongerNoteIsTiedOnWithTheChordItJoins) {
    Load("c4+e5/2 r/2", "c3~/4 c3/4 r/2", "4/4");
    EXPECT_EQ(Move({.keepLongerTargetNotes = true}), 1);
    EXPECT_EQ(Upper(), "e5/2048 r/2048");
    EXPECT_EQ(Lower(), "c3~+c4~/1024 (c3+(c4/1024 r/2048");
}

// ---- A giving entry left empty ----

// With the join emptied rests switch the rest left behind is joined to the note before it where the beats allow: in a
// measure of one beat a half and a half rest make a whole; in 4/4 the half would cross beat 2.
TEST_F(SplitPointMoverTest, AnEmptiedEntryJoinsTheNoteBeforeWhereTheBeatsAllow) {
    const struct {
        const char* time;
        const char* upperAfter;
    } cases[] = {{"1/1", "e5/4096"}, {"4/4", "e5/2048 r/2048"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.time);
        Load("e5/2 c4/2", "c3/2 c3/2", c.time);
        EXPECT_EQ(Move({.upperItem = 1, .lowerItem = 1, .joinEmptiedRests = true}), 1);
        EXPECT_EQ(Upper(), c.upperAfter);
        EXPECT_EQ(Lower(), "c3/2048 c3+c4/2048");
        m_lentUpper.Release();
        m_lentLower.Release();
    }
}

}  // namespace
