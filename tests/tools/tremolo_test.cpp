// "Vx &Tremolo..." end to end: pairs of equal notes get the shorter written value, the tuplet that
// keeps their time, noteheads, beam extensions and adjustments; and the values and beam masks of
// the options.
#include <initializer_list>
#include <tuple>
#include <utility>

#include "core/tool_context.h"
#include "core/tool_items.h"
#include "tests/support/case_names.h"
#include "tests/tools/notes_fixture.h"
#include "tools/notes/tremolo.h"

namespace {

constexpr int32_t kTremolo = orvex::ToolCode(orvex::ToolItem::Tremolo);

using Words = std::vector<int16_t>;

/// The words of an entry detail record; empty when it is missing.
Words WordsOf(const std::vector<uint8_t>& record) {
    Words words;
    for (size_t i = 0; i + 1 < record.size(); i += 2) {
        words.push_back(hostapi::ReadI16(record.data(), i));
    }
    return words;
}

struct PairCase {
    const char* name;
    const char* notes;
    int16_t written;     ///< the notated value of both notes after the run
    Words tuplet;        ///< words 0-3 of A's tuplet
    int16_t head;        ///< notehead character of every note (0: no notehead records)
    Words down, up;      ///< 'edDE' and 'edUE' of A
    bool stemsAndBeams;  ///< white notes: stem records 0 and beam adjustments
};
std::ostream& operator<<(std::ostream& out, const PairCase& c) {
    return out << c.name;
}

class TremoloPairTest : public testsupport::NotesTest, public ::testing::WithParamInterface<PairCase> {};

TEST_P(TremoloPairTest, WritesTheTremoloOfThePair) {
    const PairCase& c = GetParam();
    StartHost(std::string("staff \"Violin\"\nmeasures 1\nnotes 1 1 ") + c.notes + "\n");
    Select(1, 1, 1, 1);
    RunTool(kTremolo);
    const host::CellEntries& cell = Cell(1, 1);
    const auto a = View(cell[0]);
    const auto b = View(cell[1]);
    EXPECT_EQ(a.duration(), c.written);
    EXPECT_EQ(b.duration(), c.written);
    EXPECT_EQ(a.actualDuration(), b.actualDuration());  // the time is the tuplet's
    EXPECT_TRUE(a.has(hostapi::kEntryTuplet | hostapi::kEntryTremolo | hostapi::kEntryBeamStart));
    EXPECT_TRUE(a.has(hostapi::kEntryTremolo));
    EXPECT_FALSE(b.has(hostapi::kEntryBeamStart));
    Words tuplet = WordsOf(EntryRecord("E\x03TP", a.number()));
    tuplet.resize(4);
    EXPECT_EQ(tuplet, c.tuplet);
    for (const auto entry : {a, b}) {
        SCOPED_TRACE("entry " + std::to_string(entry.number()));
        const Words head = WordsOf(EntryRecord("edCN", entry.number()));
        EXPECT_EQ(head, c.head == 0 ? Words{} : (Words{entry.note(0).noteId(), 100, 0, 0, c.head}));
        EXPECT_EQ(StemWord(hostapi::MakeTag("dtSU"), entry.number()), c.stemsAndBeams ? 0 : -1);
        EXPECT_EQ(StemWord(hostapi::MakeTag("dtsl"), entry.number()), c.stemsAndBeams ? 0 : -1);
    }
    EXPECT_EQ(WordsOf(EntryRecord("edDE", a.number())), c.down);
    EXPECT_EQ(WordsOf(EntryRecord("edUE", a.number())), c.up);
    // Beams of white notes: their height at both ends, and the second adjustment of host year
    // 2000 on (the document has no beam options: 2).
    EXPECT_EQ(WordsOf(EntryRecord("edBL", a.number())), c.stemsAndBeams ? (Words{0, 90, 0, 0, 0}) : Words{});
    EXPECT_EQ(WordsOf(EntryRecord("edBH", a.number())), c.stemsAndBeams ? (Words{0, -90, 0, 0, 0}) : Words{});
    EXPECT_EQ(WordsOf(EntryRecord("edBL", a.number(), 1)), c.stemsAndBeams ? (Words{2, -1, 0, 0, 0}) : Words{});
}

// Three beams: a dotted sixteenth becomes a dotted 32nd, whose pair had its first beam already
// (quarters and halves: the ordinary music's case).
// clang-format off
INSTANTIATE_TEST_SUITE_P(Tremolo, TremoloPairTest, ::testing::Values(
    PairCase{"dotted sixteenths", "c5/16. e5/16. r/16 r/4 r/2", 192, {3, 128, 3, 256}, 0,
             {17, -19, 0, 0, 2048 + 256 + 128}, {17, -19, 0, 0, 2048 + 256 + 128}, false}),
    testsupport::NameBy(&PairCase::name));
// clang-format on

class TremoloTest : public testsupport::NotesTest {};

TEST_F(TremoloTest, WithoutNewOnesOnlyExistingTremolosChange) {
    StartHost("staff \"Violin\"\nmeasures 2\nnotes 1 1 c5/4 e5/4 r/2\nnotes 1 2 c5/4 e5/4 r/2\n");
    Select(1, 1, 1, 1);
    RunTool(kTremolo);
    Select(1, 1, 1, 2);
    RunTool(kTremolo, {{"Row1", "2"}, {"Row5", "0"}});
    // Measure 1's tremolo of a quarter now has two beams: a 16th; measure 2 has none.
    EXPECT_EQ(View(Cell(1, 1)[0]).duration(), 256);
    EXPECT_EQ(View(Cell(1, 1)[1]).duration(), 256);
    EXPECT_EQ(WordsOf(EntryRecord("E\x03TP", View(Cell(1, 1)[0]).number())),
              (Words{1, 512, 1, 2048, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(View(Cell(1, 2)[0]).duration(), 1024);
    EXPECT_FALSE(View(Cell(1, 2)[0]).has(hostapi::kEntryTremolo));
}

// The "More..." page's horizontal beam offsets: a half takes those "for notes with stem" (rows 7
// and 9), a quarter the others (8 and 10).
TEST_F(TremoloTest, TheMoreRowsOffsetTheBeamsOfHalvesAndQuarters) {
    StartHost("staff \"Violin\"\nmeasures 2\nnotes 1 1 c5/2 e5/2\nnotes 1 2 c5/4 e5/4 r/2\n");
    Select(1, 1, 1, 2);
    win::QueueFormAction("TDActOpt", win::FormAction{win::FormAction::Kind::Click, "SubMask1", ""});
    for (const auto& [row, value] : {std::pair{"Row7", "5"}, {"Row8", "-7"}, {"Row9", "3"}, {"Row10", "-9"}}) {
        win::QueueFormAction("TDActOpt", win::FormAction{win::FormAction::Kind::Set, row, value});
    }
    win::QueueFormAction("TDActOpt", win::FormAction{win::FormAction::Kind::Click, "OKBtn", ""});
    RunTool(kTremolo);
    const auto half = View(Cell(1, 1)[0]);
    EXPECT_EQ(WordsOf(EntryRecord("edDE", half.number())), (Words{72 + 5, -32 + 3, 0, 0, 2944}));
    EXPECT_EQ(WordsOf(EntryRecord("edUE", half.number())), (Words{5 + 33, 3 - 68, 0, 0, 2944}));
    const auto quarter = View(Cell(1, 2)[0]);
    EXPECT_EQ(WordsOf(EntryRecord("edDE", quarter.number())), (Words{22 - 7, -21 - 9, 0, 0, 2944}));
}

// With two beams for a value of 128 a pair of them would become a pair of twice their value:
// nothing is written.
TEST_F(TremoloTest, NoTremoloIsWrittenOfTwiceTheValue) {
    StartHost("staff \"Violin\"\nmeasures 1\nnotes 1 1 c5/32 e5/32 r/16 r/8 r/4 r/2\n");
    const host::CellEntries before = Cell(1, 1);
    Select(1, 1, 1, 1);
    for (const auto& [kind, control, value] : {std::tuple{win::FormAction::Kind::Click, "SubMask1", ""},
                                               {win::FormAction::Kind::Set, "Row3", "2"},
                                               {win::FormAction::Kind::Click, "OKBtn", ""}}) {
        win::QueueFormAction("TDActOpt", win::FormAction{kind, control, value});
    }
    RunTool(kTremolo, {{"Row2", "1"}});
    EXPECT_EQ(Cell(1, 1), before);
}

TEST(TremoloValueTest, VariableBeamsFollowTheMoreRows) {
    orvex::TFMisc context;
    context.Options[orvex::TREM_VARIABLE_BEAMS].value = 1;
    for (const auto& [row, beams] :
         std::initializer_list<std::pair<orvex::TremoloMoreRow, int32_t>>{{orvex::TREM_BEAMS_WHITE, 3},
                                                                          {orvex::TREM_BEAMS_QUARTER, 4},
                                                                          {orvex::TREM_BEAMS_EIGHTH, 2},
                                                                          {orvex::TREM_BEAMS_SIXTEENTH, 5},
                                                                          {orvex::TREM_BEAMS_SHORTER, 2}}) {
        context.MoreOptions[row].value = beams;
    }
    struct Case {
        hostapi::Edu d, n;
    };
    // A half has three beams, a dotted quarter three and its dot; an eighth four, a value of 128
    // five (its own row), a 32nd two (1024 / 4), with "keep slashes" its base value x 16 / 4.
    for (const Case& c : {Case{2048, 128}, Case{1536, 192}, Case{512, 64}, Case{128, 32}, Case{64, 256}}) {
        SCOPED_TRACE(c.d);
        EXPECT_EQ(orvex::TremoloNoteValue(context, c.d), c.n);
    }
    context.MoreOptions[orvex::TREM_KEEP_SLASHES].value = 1;
    EXPECT_EQ(orvex::TremoloNoteValue(context, 64), 256);
    EXPECT_EQ(orvex::TremoloNoteValue(context, 96), 384);  // a dotted 32nd keeps its dot
    // The mask counts only the beams that the original pair of values did not have.
    EXPECT_EQ(orvex::TremoloBeamMask(256, 64), 2048 + 256 + 128 + 64);
    EXPECT_EQ(orvex::DottedDuration(1024, 2), 1792);
}

}  // namespace

ORDINARY_MUSIC_CASES(Tremolo, "tests/tools/ordinary.cases", "tremolo");
