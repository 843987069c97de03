// "Vx &Special Modifications...", "Vx &Replace Pitches..." and "Vx &Shift..." end to end through the
// entry-processing engine.
#include "core/tool_items.h"
#include "platform/hostapi/layout_records.h"
#include "tests/support/case_names.h"
#include "tests/tools/notes_fixture.h"

namespace {

constexpr int32_t kShift = orvex::ToolCode(orvex::ToolItem::Shift);
constexpr int32_t kSpecialModifications = orvex::ToolCode(orvex::ToolItem::SpecialModifications);
constexpr int32_t kReplacePitches = orvex::ToolCode(orvex::ToolItem::ReplacePitches);

class EntryCommandsTest : public testsupport::NotesTest {
protected:
    /// The cell as words: a rest "r", a note entry its notes' harmonic levels and alterations
    /// ("4", "3+1" for a raised step 3); "h" after a hidden entry, "*" after one whose notes are
    /// marked changed.
    std::string Describe(int16_t measure) {
        std::string text;
        for (const host::EntryBytes& bytes : Cell(1, measure)) {
            const auto entry = View(bytes);
            text += text.empty() ? "" : " ";
            if (!entry.isNote()) {
                text += "r";
            }
            for (int32_t n = 0; n < entry.notesHeld(); ++n) {
                const auto note = entry.note(n);
                text += (n > 0 ? "," : "") + std::to_string(note.harmonicLevel());
                text += note.alteration() != 0 ? (note.alteration() > 0 ? "+" : "") + std::to_string(note.alteration())
                                               : "";
            }
            text += entry.has(hostapi::kEntryHidden) ? "h" : "";
            text += (entry.moreFlags() & 0x0004) != 0 ? "*" : "";
        }
        return text;
    }
};

struct CommandCase {
    const char* name;
    const char* score;  ///< the notes of measure 1 (and its key)
    int32_t code;
    std::vector<testsupport::Setting> settings;
    const char* expected;
};
std::ostream& operator<<(std::ostream& out, const CommandCase& c) {
    return out << c.name;
}

class EntryCommandCaseTest : public EntryCommandsTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(EntryCommandCaseTest, ChangesTheChosenEntriesAndNotes) {
    const CommandCase& c = GetParam();
    StartHost(std::string("staff \"Piano\"\n") + c.score + "\n");
    Select(1, 1, 1, 1);
    RunTool(c.code, c.settings);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Describe(1), c.expected);
}

// In C major c4 is level 0 and c5 level 7; in D major f#4 is level 2 (D E F#) and G level 3.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Commands, EntryCommandCaseTest, ::testing::Values(
    CommandCase{"hide chords", "measures 1\nnotes 1 1 c5/4 e4+g4/4 r/4 c4+e4+g4/4", kSpecialModifications,
                {{"Row4", "1"}, {"Row6", "1"}}, "7 2,4h rh 0,2,4h"},
    CommandCase{"keep the top note", "measures 1\nnotes 1 1 c5/4 e4+g4/4 r/4 c4+e4+g4/4", kSpecialModifications,
                {{"Row1", "1"}, {"Row12", "1"}}, "7 4* r* 4*"},
    CommandCase{"erase sharps", "measures 1\nnotes 1 1 c5/4 e4+g#4/4 f#4/4 r/4", kSpecialModifications,
                {{"Row5", "1"}, {"Row11", "1"}}, "7 2* r* r*"},
    CommandCase{"F sharp into G", "measures 1\nnotes 1 1 c4/4 f#4/4 f4/4 f#5/4", kReplacePitches,
                {{"Row0", "F#"}, {"Row1", "G"}}, "0 4* 3 11*"},
    CommandCase{"F sharp into G in D major", "measures 1 key 2\nnotes 1 1 f#4/4 f4/4 f#3/2", kReplacePitches,
                {{"Row0", "F#"}, {"Row1", "G"}}, "3* 2-1 -4*"},
    CommandCase{"B into C sharp, then into D flat", "measures 1\nnotes 1 1 b3/2 b4/2", kReplacePitches,
                {{"Row0", "B"}, {"Row1", "C#"}, {"Row2", "C#"}, {"Row3", "Db"}}, "1-1* 8-1*"},
    // The pitch row is read through the host's pitch names: F#4 is pitch 66, Gb4 too.
    CommandCase{"hide F sharp 4 by its pitch", "measures 1\nnotes 1 1 f#4/4 f#5/4 gb4/4 c4+f#4/4", kSpecialModifications,
                {{"Row0", "F#4"}, {"Row6", "1"}}, "3+1h 10+1 4-1h 0,3+1"},
    // A rest without notes counts as fully matched.
    CommandCase{"a double sharp counts twice", "measures 1\nnotes 1 1 d4/4 c##4/4 e4/4 r/4", kSpecialModifications,
                {{"Row0", "C##4"}, {"Row6", "1"}}, "1h 0+2h 2 rh"}),
    testsupport::NameBy(&CommandCase::name));
// clang-format on

struct RefusedCase {
    const char* name;
    int32_t code;
    std::vector<testsupport::Setting> settings;
    const char* message;
};
std::ostream& operator<<(std::ostream& out, const RefusedCase& c) {
    return out << c.name;
}

class EntryCommandRefusedTest : public EntryCommandsTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(EntryCommandRefusedTest, RefusesWithAMessageAndChangesNothing) {
    const RefusedCase& c = GetParam();
    StartHost("staff \"Piano\"\nmeasures 1\nnotes 1 1 c4/4 f#4/4 f4/4 b4/4\n");
    const host::CellEntries before = Cell(1, 1);
    const host::RecordStore records = Document().Records();
    Select(1, 1, 1, 1);
    RunTool(c.code, c.settings);
    EXPECT_EQ(Messages(), std::vector<std::string>{c.message});
    if (c.code == kReplacePitches) {  // refused at Go: no progress display opened
        const auto& lines = win::TranscriptLines();
        EXPECT_TRUE(std::none_of(lines.begin(), lines.end(),
                                 [](const std::string& line) { return line.starts_with("host: progress begins"); }));
    }
    EXPECT_EQ(Cell(1, 1), before);
    EXPECT_TRUE(Document().Records() == records);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Texts, EntryCommandRefusedTest, ::testing::Values(
    // Messages as the transcript quotes them. The options dialog refuses at Go a pitch row that holds no pitch name.
    RefusedCase{"SpecialModificationsX", kSpecialModifications, {{"Row0", "X4"}, {"Row6", "1"}},
                "\\\"X4\\\" is not a pitch name. Please type a note letter A-G, optionally followed by # or b, and an "
                "octave, such as C4, F#3 or Bb5."},
    // Replace Pitches' rows are checked at Go by its own rule (note names, no octave), rows 2
    // and 6 too; a text typed into a control is shown as typed.
    RefusedCase{"ReplaceH", kReplacePitches, {{"Row0", "H"}, {"Row1", "C"}},
                "Replace Pitches: \\\"H\\\" is not a note name. Please type a note letter A-G followed by # or b signs "
                "only, such as F# or Bb: the notes of that name are replaced in every octave."},
    RefusedCase{"ReplaceDigit", kReplacePitches, {{"Row0", "F"}, {"Row1", "1"}},
                "Replace Pitches: \\\"1\\\" is not a note name. Please type a note letter A-G followed by # or b signs "
                "only, such as F# or Bb: the notes of that name are replaced in every octave."},
    RefusedCase{"ReplaceWithAnOctave", kReplacePitches, {{"Row0", "F#4"}, {"Row1", "G"}},
                "Replace Pitches: \\\"F#4\\\" is not a note name. Please type a note letter A-G followed by # or b signs "
                "only, such as F# or Bb: the notes of that name are replaced in every octave."},
    RefusedCase{"ReplaceRowTwo", kReplacePitches, {{"Row2", "F#4"}, {"Row3", "G"}},
                "Replace Pitches: \\\"F#4\\\" is not a note name. Please type a note letter A-G followed by # or b signs "
                "only, such as F# or Bb: the notes of that name are replaced in every octave."},
    RefusedCase{"ReplaceTypedText", kReplacePitches, {{"Row6", "F\u00fc\u20ac"}, {"Row7", "G"}},
                "Replace Pitches: \\\"F\u00fc\u20ac\\\" is not a note name. Please type a note letter A-G followed by # or b "
                "signs only, such as F# or Bb: the notes of that name are replaced in every octave."}),
    [](const ::testing::TestParamInfo<RefusedCase>& testCase) { return std::string(testCase.param.name); });
// clang-format on

TEST_F(EntryCommandsTest, ShiftMovesWholeNotesAndLoneGraceNotes) {
    StartHost("staff \"Piano\"\nmeasures 1\nnotes 1 1 c5/1\nmeasures 1\nnotes 1 2 d5/8g e5/8g c5/2 f5/8g g5/2\n");
    EditEntry(1, 1, 0, [](hostapi::EntryView entry) { SetOffset(entry, 5); });
    Select(1, 1, 1, 2);
    RunTool(kShift, {{"Row2", "10"}});
    EXPECT_EQ(Offset(View(Cell(1, 1)[0])), -8);             // the default replaces the offset
    const std::vector<int16_t> offsets = {0, 0, 0, 10, 0};  // grace notes side by side stay
    for (size_t i = 0; i < offsets.size(); ++i) {
        EXPECT_EQ(Offset(View(Cell(1, 2)[i])), offsets[i]) << i;
    }
    RunTool(kShift, {{"Row3", "1"}});
    EXPECT_EQ(Offset(View(Cell(1, 1)[0])), -16);  // relative: added
    EXPECT_EQ(Offset(View(Cell(1, 2)[3])), 20);
}

TEST_F(EntryCommandsTest, ShiftPlacesGlissandoEndsBeforeTheAccidental) {
    // Glissandi from the first to the second note of measures 1 and 2; their end notes show an
    // accidental.
    StartHost(
        "staff \"Harp\"\nmeasures 2\nnotes 1 1 c5/2 f#5/2\nnotes 1 2 c#5/2 c5/2\n"
        "shape 26 1 1:1 1:2\nshape 26 1 2:1 2:2\n");
    for (int16_t measure = 1; measure <= 2; ++measure) {
        host::CellEntries entries = Cell(1, measure);
        const hostapi::EntryView end(entries[1].data());
        end.setMoreFlags(0x0020);
        end.note(0).setFlags(end.note(0).flags() | hostapi::kNoteAccidentalShown);
        Document().SetEntries(host::CellKey{1, measure, 0}, entries);
        const host::RecordKey key = host::RecordKey::Other(hostapi::kTagSmartShape, measure, 0);
        host::Bytes shape = *Document().Records().Find(key);
        hostapi::WriteI16(shape.data(), hostapi::SmartShapeLayout::kStartNote,
                          View(Cell(1, measure)[0]).note(0).noteId());
        hostapi::WriteI16(shape.data(), hostapi::SmartShapeLayout::kEndNote, end.note(0).noteId());
        Document().Records().Save(key, shape);
    }
    Select(1, 1, 1, 2);
    RunTool(kShift);
    // To another note: 0x400C; to the same step lowered (C sharp to C): 0x400B; the end 32 to the left.
    for (const auto& [measure, code] : {std::pair<int16_t, uint16_t>{1, 0x400C}, {2, 0x400B}}) {
        SCOPED_TRACE(measure);
        const host::Bytes& shape =
            *Document().Records().Find(host::RecordKey::Other(hostapi::kTagSmartShape, measure, 0));
        EXPECT_EQ(hostapi::ReadI16(shape.data(), 44), -32);
        EXPECT_EQ(hostapi::ReadU16(shape.data(), 48), code);
    }
}

ORDINARY_MUSIC_CASES(EntryCommands, "tests/tools/ordinary.cases", "entry commands");

}  // namespace
