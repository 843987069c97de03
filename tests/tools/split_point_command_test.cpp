// The smart split point end to end on two staves of a C major score: notes that belong to the
// other hand move there (through the split point note mover), an empty hand first receives rests
// in the rhythm of the other, and a selection of other than two staves is refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/dispatch.h"
#include "core/module.h"
#include "core/tool_items.h"
#include "tests/tools/layout_test_support.h"
#include "tests/tools/notes_fixture.h"
#include "tools/layout/layout_services.h"
#include "tools/layout/split_point.h"

namespace {

/// A cell as the score text writes it (C major: the pitch words are steps from middle C), each
/// entry with its actual duration in EDU; an entry that does not start where the one before
/// ends shows its position ("@1").
std::string CellText(const host::CellEntries& entries) {
    std::string text;
    hostapi::Edu end = 0;
    for (const host::EntryBytes& bytes : entries) {
        const hostapi::ConstEntryView entry(bytes.data());
        text += text.empty() ? "" : " ";
        if (entry.position() != end) {
            text += "@" + std::to_string(entry.position()) + ":";
        }
        end = entry.position() + entry.actualDuration();
        if (!entry.isNote()) {
            text += "r";
        }
        for (int32_t n = 0; entry.isNote() && n < entry.notesHeld(); ++n) {
            const int32_t level = entry.note(n).harmonicLevel();
            const int32_t octave = level >= 0 ? level / 7 : (level - 6) / 7;
            text += std::string(n == 0 ? "" : "+") + "cdefgab"[level - 7 * octave] + std::to_string(4 + octave);
            text += (entry.note(n).flags() & hostapi::kNoteTieStart) != 0 ? "~" : "";
        }
        text += "/" + std::to_string(entry.actualDuration());
    }
    return text;
}

struct SplitCase {
    const char* name;
    const char* upper;  ///< the notes of staff 1, measure 1
    const char* lower;  ///< staff 2, measure 1 ("" for an empty cell)
    std::map<size_t, int32_t> rows;
    const char* upperAfter;
    const char* lowerAfter;
};

class SmartSplitPointFixture : public testsupport::NotesTest {
protected:
    /// Runs the command on measure 1 of the staves, as the dispatcher would with the selection:
    /// on the given option rows, or on the values it works with when none are given.
    bool Run(int16_t firstStaff, int16_t lastStaff, const std::optional<std::map<size_t, int32_t>>& rows) {
        Select(firstStaff, lastStaff, 1, 1);
        orvex::TheModule.dispatch.SelectionRecords[0] = *m_host->Selection();
        orvex::TheModule.dispatch.CurrentRegion = &orvex::TheModule.dispatch.SelectionRecords[0];
        std::shared_ptr<orvex::TFMisc> context = orvex::InitToolContext();
        context->Item = orvex::ItemNumber(orvex::ToolItem::SmartSplitPoint);
        if (!rows) {
            return orvex::RunSmartSplitPoint(*context);
        }
        for (const auto& [row, value] : *rows) {
            context->Options[row].value = value;
        }
        return orvex::RunSmartSplitPointOnRows(*context);
    }
};

class SmartSplitPointTest : public SmartSplitPointFixture, public ::testing::WithParamInterface<SplitCase> {};

// Spans: upper 7, lower 8; leaps of an octave; key ranges open; minimum target notes 0.
const std::map<size_t, int32_t> kRows = {{orvex::SPLIT_MAX_UPPER_SPAN, 7}, {orvex::SPLIT_MAX_LOWER_SPAN, 8},
                                         {orvex::SPLIT_LEAP_DOWN, 7},      {orvex::SPLIT_LEAP_UP, 7},
                                         {orvex::SPLIT_LOWEST_KEY, 0},     {orvex::SPLIT_HIGHEST_KEY, 127}};

TEST_P(SmartSplitPointTest, MovesTheNotesThatBelongToTheOtherHand) {
    const SplitCase& c = GetParam();
    SCOPED_TRACE(c.name);
    StartHost(std::string("staff \"RH\"\nstaff \"LH\"\nmeasures 1\nnotes 1 1 ") + c.upper + "\n" +
              (*c.lower != '\0' ? std::string("notes 2 1 ") + c.lower + "\n" : ""));
    std::map<size_t, int32_t> rows = kRows;
    for (const auto& [row, value] : c.rows) {
        rows[row] = value;
    }
    EXPECT_TRUE(Run(1, 2, rows));
    EXPECT_EQ(CellText(Cell(1, 1)), c.upperAfter);
    EXPECT_EQ(CellText(Cell(2, 1)), c.lowerAfter);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, SmartSplitPointTest, ::testing::Values(
    // c4+g4+e5 spans 10 steps: its lowest note goes down, the lower chord stays within 8.
    SplitCase{"wide chord", "c4+g4+e5/2", "c3/2", {}, "g4+e5/2048", "c3+c4/2048"},
    SplitCase{"above the key range", "c4+g4+e5/2", "c3/2", {{orvex::SPLIT_HIGHEST_KEY, 59}}, "c4+g4+e5/2048", "c3/2048"},
    // A chord of one note that moves leaves a rest.
    SplitCase{"single note", "c4/2", "c3/2", {{orvex::SPLIT_MAX_UPPER_SPAN, 0}}, "r/2048", "c3+c4/2048"},
    // The tied c4 follows its first half, which moved for the wide chord.
    SplitCase{"tie followed", "c4~+c5/2 c4+e4/2", "c3/2 c3/2", {}, "c5/2048 e4/2048", "c3+c4~/2048 c3+c4/2048"},
    // Without the first move the tied note stays, although its chord is wide.
    SplitCase{"tie not moved", "c4~+g4/2 c4+c5/2", "c3/2 c3/2", {}, "c4~+g4/2048 c4+c5/2048", "c3/2048 c3/2048"},
    // The empty hand takes rests in the rhythm of the other (at most a whole each) first.
    SplitCase{"empty hand", "c4+e5/4 g4/4 g4/2", "", {}, "e5/1024 g4/1024 g4/2048", "c4/1024 r/1024 r/2048"},
    // A longer target rest is split at the end of the moving note.
    SplitCase{"longer rest", "c4+e5/4 g4/4 g4/2", "r/1", {}, "e5/1024 g4/1024 g4/2048", "c4/1024 r/3072"},
    // A held note that started earlier is split where the note comes in, and goes on sounding.
    SplitCase{"earlier held note", "g4/4 c4+e5/4 r/2", "c3/2 r/2", {{orvex::SPLIT_EARLIER_TARGETS, 1}}, "g4/1024 e5/1024 r/2048",
              "c3~/1024 c3+c4/1024 r/2048"}),
    [](const auto& testCase) { std::string n = testCase.param.name; std::replace(n.begin(), n.end(), ' ', '_'); return n; });
// clang-format on

TEST_F(SmartSplitPointFixture, ASelectionOfOneOrThreeStavesIsRefused) {
    StartHost("staff \"A\"\nstaff \"B\"\nstaff \"C\"\nmeasures 1\nnotes 1 1 c4+e5/1\nnotes 2 1 c3/1\n");
    for (const int16_t last : std::initializer_list<int16_t>{1, 3}) {
        SCOPED_TRACE(last);
        EXPECT_FALSE(Run(1, last, kRows));
    }
    EXPECT_EQ(Messages(), std::vector<std::string>(2, "Please select measures from two staves"));
    EXPECT_EQ(CellText(Cell(1, 1)), "c4+e5/4096");
}

struct WorkingCase {
    const char* name;
    const char* upper;
    const char* lower;
    const char* upperAfter;
    const char* lowerAfter;
};

class SplitPointWorkingValuesTest : public SmartSplitPointFixture, public ::testing::WithParamInterface<WorkingCase> {};

// The values the command works with: a keyboard part written the usual way stays as it is, and a
// note put into the other hand comes back, in both directions; the spans, the 12-note limit, the
// leaps and the key ranges decide. Only the moved notes change.
TEST_P(SplitPointWorkingValuesTest, APartWrittenTheUsualWayStaysAndAMisplacedNoteComesBack) {
    const WorkingCase& c = GetParam();
    StartHost(std::string("staff \"RH\"\nstaff \"LH\"\nmeasures 1\nnotes 1 1 ") + c.upper + "\nnotes 2 1 " + c.lower +
              "\n");
    EXPECT_TRUE(Run(1, 2, std::nullopt));
    EXPECT_EQ(CellText(Cell(1, 1)), c.upperAfter);
    EXPECT_EQ(CellText(Cell(2, 1)), c.lowerAfter);
    EXPECT_TRUE(Messages().empty());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, SplitPointWorkingValuesTest, ::testing::Values(
    // Bass and after-beat chords under a melody: nothing moves.
    WorkingCase{"stride", "g5/8 e5/8 c5/4 e5/4 r/4", "c3/4 e4+c4+g3/4 c3+c4/4 g3+c4+e4/4",
                "g5/512 e5/512 c5/1024 e5/1024 r/1024", "c3/1024 g3+c4+e4/1024 c3+c4/1024 g3+c4+e4/1024"},
    // A melody over the left hand's rests stays in the right hand.
    WorkingCase{"melody over rests", "e5/4 d5/4 c5/2", "r/1", "e5/1024 d5/1024 c5/2048", "r/4096"},
    // c3 put into the right hand's chord widens it beyond a ninth: it goes down.
    WorkingCase{"down", "c3+e5/2 d5/2", "c2/2 g2/2", "e5/2048 d5/2048", "c2+c3/2048 g2/2048"},
    // g5 put into the left hand comes up into the right hand's chord.
    WorkingCase{"up", "c6+e6/2 d6/2", "c3+g5/2 g2/2", "g5+c6+e6/2048 d6/2048", "c3/2048 g2/2048"},
    // A chord of eleven notes takes another one; one of twelve does not.
    WorkingCase{"eleven notes", "b5+b#5+c6+c#6+d6+d#6+e6+e#6+f6+f#6+g6/1", "c3+f5/1",
                "f5+b5+b5+c6+c6+d6+d6+e6+e6+f6+f6+g6/4096", "c3/4096"},
    WorkingCase{"twelve notes", "a5+b5+b#5+c6+c#6+d6+d#6+e6+e#6+f6+f#6+g6/1", "c3+f5/1",
                "a5+b5+b5+c6+c6+d6+d6+e6+e6+f6+f6+g6/4096", "c3+f5/4096"},
    // A chord one hand spans within an octave keeps its notes, however narrow the other hand;
    // repeated fifths of the left hand keep theirs under a held note of the right hand, which
    // is not cut.
    WorkingCase{"chord within an octave", "c4+e4+a4/1", "g3/1", "c4+e4+a4/4096", "g3/4096"},
    WorkingCase{"fifths under a held note", "g4/2 g4/2", "a3+e4/8 a3+e4/8 a3+e4/8 a3+e4/8 a3+e4/2",
                "g4/2048 g4/2048", "a3+e4/512 a3+e4/512 a3+e4/512 a3+e4/512 a3+e4/2048"},
    // Leaps: a note leaping more than two octaves down from its line goes to the left hand, a
    // smaller leap stays; a note above middle C never goes down.
    WorkingCase{"leap", "e5/4 g5/4 c3/4 e5/4", "c2/4 r/4 r/2", "e5/1024 g5/1024 r/1024 e5/1024",
                "c2/1024 r/1024 c3/1024 r/1024"},
    // A note after a grace note keeps its position when a move changes its measure.
    WorkingCase{"after a grace note", "c5/8g e5/4 g5/4 c3/4 e5/4", "c2/4 r/4 r/2",
                "c5/0 e5/1024 g5/1024 r/1024 e5/1024", "c2/1024 r/1024 c3/1024 r/1024"},
    // A note that moves at grace notes joins the note they lead to (upward past two grace notes,
    // downward past one); the grace notes stay as written.
    WorkingCase{"up at grace notes", "g5/16g b5/16g e5/4 g5/4 r/2", "c2+a4/4 r/4 r/2",
                "g5/0 b5/0 a4+e5/1024 g5/1024 r/2048", "c2/1024 r/1024 r/2048"},
    WorkingCase{"down at a grace note", "c4+e5/4 e5/4 g5/2", "a3/8g c3/4 e3/4 g3/2", "e5/1024 e5/1024 g5/2048",
                "a3/0 c3+c4/1024 e3/1024 g3/2048"},
    // Grace notes of two layers lie the other way round from their notes: a4 joins the lower one,
    // c5 of layer 1 (layer 2's g5 is written in the upper hand's text).
    WorkingCase{"up at grace notes of two layers", "g5/8g c5/4 r/4 r/2\nnotes 1 1 layer 2 c5/8g g5/4 r/4 r/2",
                "c2+a4/4 r/4 r/2", "g5/0 a4+c5/1024 r/1024 r/2048", "c2/1024 r/1024 r/2048"},
    // Grace notes stay as written, in either direction: the wide grace chords give up neither a4
    // to the right hand's e5 nor c4 to the left hand's c3; the notes after them still move.
    WorkingCase{"grace notes stay up", "e5/4 c6/4 r/2", "c2+a4/8g c3/4 c3+g5/4 r/2", "e5/1024 g5+c6/1024 r/2048",
                "c2+a4/0 c3/1024 c3/1024 r/2048"},
    WorkingCase{"grace notes stay down", "c4+e6/8g e5/4 c3+e5/4 r/2", "c3/4 c2/4 r/2",
                "c4+e6/0 e5/1024 e5/1024 r/2048", "c3/1024 c2+c3/1024 r/2048"},
    WorkingCase{"small leap", "e5/4 e4/4 c3/4 d3/4", "c2/4 r/4 r/2", "e5/1024 e4/1024 c3/1024 d3/1024",
                "c2/1024 r/1024 r/2048"},
    WorkingCase{"above middle C", "d4+e6/1", "c2/1", "d4+e6/4096", "c2/4096"},
    // Nor does a note below F#4 go up: the after-beat chords of a left hand reach F4 over a held
    // bass.
    WorkingCase{"below F sharp 4", "c5/1", "d3+f4/1", "c5/4096", "d3+f4/4096"}),
    [](const auto& testCase) { std::string n = testCase.param.name; std::replace(n.begin(), n.end(), ' ', '_'); return n; });
// clang-format on

ORDINARY_MUSIC_CASES(SplitPoint, "tests/tools/ordinary.cases", "split point");

}  // namespace
