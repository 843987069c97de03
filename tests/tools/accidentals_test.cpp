// "Vx &Accidentals..." and "Vx &Respell Notes" end to end through the entry walk: accidentals
// shown and hidden as the options say, and the spellings Respell Notes leaves in the document.
#include "tools/notes/accidentals.h"
#include "core/commands.h"
#include "core/tool_items.h"
#include "platform/host/music_model.h"
#include "tests/tools/notes_fixture.h"

namespace {

using testsupport::NotesTest;

constexpr int32_t kAccidentals = orvex::ToolCode(orvex::ToolItem::Accidentals);
constexpr int32_t kRespellNotes = orvex::ToolCode(orvex::ToolItem::RespellNotes);

// ---- Accidentals ----

/// D major: F sharp and C sharp are stored with alteration 0, C natural with -1, G sharp with +1.
constexpr const char* kAccidentalsScore = R"(
staff "Flute"
measures 4 time 4/4 key 2
system 1 2
system 3 4
notes 1 1 d4+f#4/4 f#4+a4/4 c5/4 c5/4
notes 1 2 c5/4 g#4/4 e5/2
notes 1 3 e5/2 a4~/4 a4/4
notes 1 4 a4/4 a4/4 a4/2
)";

struct AccidentalsCase {
    const char* name;
    std::vector<int> rows;  ///< the rows on; the others are off
    /// Per measure, per entry and note: 'A' shown and frozen, 's' shown, 'f' frozen, '-' neither.
    std::vector<std::string> marks;
};

// clang-format off
const AccidentalsCase kAccidentalsCases[] = {
    {"PutOnAll", {2},
     {"AA AA A A", "A A A", "A A A", "A A A"}},
    // A natural repeats across the barline (E in measure 3), an altered note only within its
    // measure (C natural in measure 2 keeps its accidental).
    {"RepetitionsOfOneNote", {2, 3},
     {"AA -A A -", "A A A", "- A -", "- - -"}},
    {"RepetitionsOfWholeChords", {2, 3, 4},
     {"AA AA A -", "A A A", "- A -", "- - -"}},
    {"TiedNotes", {2, 5},
     {"AA AA A A", "A A A", "A A -", "A A A"}},
    {"SystemStarts", {6},
     {"ss -- - -", "- - -", "s - -", "- - -"}},
};
// clang-format on

/// ctest shows a case by its name.
void PrintTo(const AccidentalsCase& c, std::ostream* os) {
    *os << c.name;
}

class AccidentalsTest : public NotesTest, public ::testing::WithParamInterface<AccidentalsCase> {
protected:
    void SetUp() override {
        NotesTest::SetUp();
        StartHost(kAccidentalsScore);
    }
    void RunAccidentals(const std::vector<int>& rows) {
        std::vector<testsupport::Setting> settings;
        for (int row = 0; row <= 6; ++row) {
            const bool on = std::find(rows.begin(), rows.end(), row) != rows.end();
            settings.emplace_back("Row" + std::to_string(row), on ? "1" : "0");
        }
        RunTool(kAccidentals, settings);
    }
    std::string Marks(int16_t measure, int16_t layer = 1) {
        std::string marks;
        for (const host::EntryBytes& bytes : Cell(1, measure, layer)) {
            const hostapi::ConstEntryView entry = View(bytes);
            marks += marks.empty() ? "" : " ";
            for (int32_t i = 0; i < entry.notesHeld(); ++i) {
                const uint32_t flags = entry.note(i).flags();
                const bool shown = (flags & hostapi::kNoteAccidentalShown) != 0;
                const bool frozen = (flags & hostapi::kNoteAccidentalFrozen) != 0;
                marks += shown ? (frozen ? 'A' : 's') : (frozen ? 'f' : '-');
            }
        }
        return marks;
    }
};

TEST_P(AccidentalsTest, ShowsAndHidesAsTheOptionsSay) {
    Select(1, 1, 1, 4);
    RunAccidentals(GetParam().rows);
    for (int16_t measure = 1; measure <= 4; ++measure) {
        SCOPED_TRACE("measure " + std::to_string(measure));
        EXPECT_EQ(Marks(measure), GetParam().marks[static_cast<size_t>(measure - 1)]);
    }
}

INSTANTIATE_TEST_SUITE_P(Walk, AccidentalsTest, ::testing::ValuesIn(kAccidentalsCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(AccidentalsTest, EachLayerStartsWithNoEntryBefore) {
    StartHost(R"(
staff "Flute"
measures 2 time 4/4
notes 1 1 c5/1
notes 1 1 layer 2 c5/1
notes 1 2 c5/1
notes 1 2 layer 2 c5/1
)");
    Select(1, 1, 1, 2);
    RunAccidentals({2, 3});
    // Layer 2's first C is no repetition of layer 1's last one; within a layer the C of measure 2
    // repeats that of measure 1.
    EXPECT_EQ(Marks(1, 1), "A");
    EXPECT_EQ(Marks(2, 1), "-");
    EXPECT_EQ(Marks(1, 2), "A");
    EXPECT_EQ(Marks(2, 2), "-");
}

/// The score with one note changed: `from` written as `to`.
std::string ScoreWith(const std::string& from, const std::string& to) {
    std::string score = kAccidentalsScore;
    const size_t at = score.find(from);
    return at == std::string::npos ? score : score.replace(at, from.size(), to);
}

TEST_F(AccidentalsTest, TieFoundOnTheEntryBeforeMarksTheNoteTied) {
    // The second A of measure 3 has lost its tie-end mark: the tie of the note before counts.
    StartHost(ScoreWith("a4~/4 a4/4", "a4~/4 a4[shown,-tie-end]/4"));
    ASSERT_EQ(View(Cell(1, 3)[2]).note(0).flags(), hostapi::kNoteAccidentalShown);
    Select(1, 1, 3, 3);
    RunAccidentals({5});
    EXPECT_EQ(View(Cell(1, 3)[2]).note(0).flags(), hostapi::kNoteTieEnd);
}

TEST_F(AccidentalsTest, UnfreezeAndCheckClearTheMarksAndAskTheHostToRecompute) {
    StartHost(ScoreWith("notes 1 2 c5/4", "notes 1 2 c5[shown,frozen,second]/4"));
    ASSERT_EQ(View(Cell(1, 2)[0]).note(0).flags(),
              hostapi::kNoteAccidentalShown | hostapi::kNoteAccidentalFrozen | hostapi::kNoteAccidentalSecond);
    Select(1, 1, 2, 2);
    RunAccidentals({0, 1});
    EXPECT_EQ(View(Cell(1, 2)[0]).note(0).flags(), 0u);
    EXPECT_EQ(View(Cell(1, 2)[0]).moreFlags(), 0x0004);
}

// ---- Respell Notes ----

struct RespellCase {
    const char* name;
    std::string score;         ///< the notes statements of staff 1
    std::string expected;      ///< measure by measure, "|" between measures
    int16_t lastSelected = 1;  ///< the selection: measures 1 to this
};

// clang-format off
const RespellCase kRespellCases[] = {
    {"ChromaticRise",        "notes 1 1 c4/4 db4/4 d4/4 r/4",          "C4 C#4 D4 r"},
    {"LoneBlackKeyStays",    "notes 1 1 r/4 db4/4 e4/4 r/4",           "r Db4 E4 r"},
    {"ESharpBecomesF",       "notes 1 1 e#4/1",                        "F4"},
    {"DoubleFlatBecomesC",   "notes 1 1 d4/2 dbb4/2",                  "D4 C4"},
    {"RiseWithoutNextNote",  "notes 1 1 f4/4 f#4/4 r/2",               "F4 Gb4 r"},
    {"RiseWithNextNote",     "notes 1 1 f4/4 f#4/4 g4/4 r/4",          "F4 F#4 G4 r"},
    {"TwoBackSamePitch",     "notes 1 1 c#4/4 d4/4 db4/4 r/4",         "C#4 D4 C#4 r"},
    {"TritoneToNextNote",    "notes 1 1 c4/4 gb4/4 g4/4 r/4",          "C4 F#4 G4 r"},
    {"FallAfterALeap",       "notes 1 1 d4/4 f#4/4 f4/4 eb4/4",        "D4 Gb4 F4 Eb4"},
    {"FallAfterASixth",      "notes 1 1 a3/4 f#4/4 f4/4 eb4/4",        "A3 Gb4 F4 Eb4"},
    {"FallAfterATritone",    "notes 1 1 c4/4 f#4/4 f4/4 eb4/4",        "C4 Gb4 F4 Eb4"},
    {"FallThenAFourth",      "notes 1 1 d4/4 f#4/4 f4/4 bb4/4",        "D4 Gb4 F4 Bb4"},
    {"FallThenASixth",       "notes 1 1 d4/4 f#4/4 f4/4 db5/4",        "D4 Gb4 F4 Db5"},
    {"TritoneRespellsNext",  "notes 1 1 c4/4 f#4/4 g#4/4 g4/4",        "C4 Gb4 Ab4 G4"},
    {"ChordOnOneLine",       "notes 1 1 d4/2 c4+c#4/2",                "D4 C4+Db4"},
    {"ChordAugmentedSecond", "notes 1 1 c4/2 c4+d#4/2",                "C4 C4+Eb4"},
    // From B neither C double flat nor B flat spells the interval right: the note keeps its own.
    {"NoBetterSpellingKept", "notes 1 1 b4/2 cbb4/2",                  "B4 Cbb4"},
    // Across barlines: the note before lies in the measure before, the note after in a measure
    // that is not selected (and stays as it is).
    {"TwoBackAcrossBarline", "notes 1 1 c#4/2 d4/2\nnotes 1 2 db4/2 r/2", "C#4 D4|C#4 r", 2},
    {"NextAcrossBarline",    "notes 1 1 r/2 c4/4 db4/4\nnotes 1 2 d4/2 db4/2", "r C4 C#4|D4 Db4"},
};
// clang-format on

void PrintTo(const RespellCase& c, std::ostream* os) {
    *os << c.name;
}

class RespellNotesTest : public NotesTest, public ::testing::WithParamInterface<RespellCase> {
protected:
    void StartWith(const std::string& notes, const std::string& key) {
        StartHost("staff \"Violin\"\nmeasures 2 time 4/4 key " + key + "\n" + notes + "\n");
    }
    void Respell(int16_t lastMeasure) {
        Select(1, 1, 1, lastMeasure);
        Invoke(static_cast<int16_t>(orvex::FindCommandIndex(kRespellNotes)));
    }
    /// The cells of staff 1 as pitch names, entries by " ", chord notes by "+", measures by "|".
    std::string Spellings() {
        std::string text;
        for (int16_t measure = 1; measure <= 2; ++measure) {
            const int16_t key = host::CellKeyValue(Document(), measure, 1, 0);
            std::string cell;
            for (const host::EntryBytes& bytes : Cell(1, measure)) {
                const hostapi::ConstEntryView entry = View(bytes);
                cell += cell.empty() ? "" : " ";
                if (!entry.isNote()) {
                    cell += "r";
                }
                for (int32_t i = 0; i < entry.notesHeld(); ++i) {
                    cell += (i == 0 ? "" : "+") + host::PitchName(host::SpellNote(entry.note(i), key));
                }
            }
            if (!cell.empty()) {
                text += (text.empty() ? "" : "|") + cell;
            }
        }
        return text;
    }
};

TEST_P(RespellNotesTest, LeavesTheSpellingsOfTheLineAndTheChord) {
    StartWith(GetParam().score, "0");
    Respell(GetParam().lastSelected);
    EXPECT_EQ(Spellings(), GetParam().expected);
    EXPECT_TRUE(Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Walk, RespellNotesTest, ::testing::ValuesIn(kRespellCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(RespellNotesTest, SpellsAgainstTheKeySignature) {
    // D major: E sharp is stored as a raised E, the F it becomes as a lowered F sharp.
    StartWith("notes 1 1 e#4/2 d4/4 eb4/4\nnotes 1 2 e4/1", "2");
    Respell(1);
    EXPECT_EQ(Spellings(), "F4 D4 D#4|E4");
    EXPECT_EQ(View(Cell(1, 1)[0]).note(0).alteration(), -1);
    EXPECT_EQ(View(Cell(1, 1)[0]).moreFlags(), 0x0004);  // the host recomputes its accidentals
}

TEST_F(RespellNotesTest, StoppedWalkLeavesLaterMeasuresAsTheyAre) {
    StartWith("notes 1 1 e#4/1\nnotes 1 2 e#4/1", "0");
    m_host->Progress().StopNextAt(2);
    Respell(2);
    EXPECT_EQ(Spellings(), "F4|E#4");
    EXPECT_TRUE(TranscriptHas("host: progress ends after 2 of 8 steps (stopped)"));
}

ORDINARY_MUSIC_CASES(Accidentals, "tests/tools/ordinary.cases", "accidentals");

}  // namespace
