// "Vx &Harmonica..." and "Vx &Laisser vibrer" end to end through the entry-processing engine:
// the staff places, double-sharp marks and lyric names of Griffschrift, and the custom noteheads
// of laisser vibrer, as the document holds them afterwards; both over ordinary music in
// tests/tools/ordinary.cases.
#include "core/commands.h"
#include "core/tool_items.h"
#include "platform/host/document_commands.h"
#include "tests/tools/notes_fixture.h"

namespace {

using testsupport::NotesTest;

constexpr int32_t kHarmonica = orvex::ToolCode(orvex::ToolItem::Harmonica);

class GriffschriftTest : public NotesTest {
protected:
    /// Each note of a cell as "level/alteration", entries by " ", chord notes by "+".
    std::string Places(int16_t measure) {
        std::string text;
        for (const host::EntryBytes& bytes : Cell(1, measure)) {
            const hostapi::ConstEntryView entry = View(bytes);
            text += text.empty() ? "" : " ";
            for (int32_t i = 0; i < entry.notesHeld(); ++i) {
                text += (i == 0 ? "" : "+") + std::to_string(entry.note(i).harmonicLevel()) + "/" +
                        std::to_string(entry.note(i).alteration());
            }
        }
        return text;
    }
};

TEST_F(GriffschriftTest, HarmonicaKeepsChordsCloseAndNamesTheLyrics) {
    StartHost(R"(
staff "Harmonica"
measures 1 key 0
notes 1 1 c4/4 d4/4 c4+a4/4 c#4/4
lyric verse 1 "C D"
syllable 1 1:1 verse 1 1
)");
    Select(1, 1, 1, 1);
    RunTool(kHarmonica, {{"Row0", "1"}});
    // C: two places, the plain one wins alone; C+A: both take their double-sharp places, which
    // lie closest; C sharp has no place and stays.
    EXPECT_EQ(Places(1), "-2/0 1/0 3/2+1/2 0/1");
    EXPECT_EQ(Messages(), std::vector<std::string>{"Could not translate a note in measure 1."});
    const hostapi::ConstEntryView chord = View(Cell(1, 1)[2]);
    EXPECT_TRUE((chord.note(0).flags() & hostapi::kNoteAccidentalShown) != 0);
    // The lower note's sign stands aside: the upper note lay two places above its new one.
    const std::vector<uint8_t> accidental = EntryRecord(
        "E\x02"
        "Ah",
        chord.number());
    EXPECT_EQ(Word(accidental, 0), chord.note(0).noteId());
    EXPECT_EQ(Word(accidental, 3), -29);
    const host::Bytes* text = Document().Records().Find(host::RecordKey::Other(hostapi::MakeTag("txve"), 1, 0));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(text->data())), "B D");
}

// A lyric text longer than any working buffer is written back whole with its one changed letter.
TEST_F(GriffschriftTest, HarmonicaWritesALongLyricBackWhole) {
    const std::string rest(12000, 'x');
    StartHost("staff \"Harmonica\"\nmeasures 1 key 0\nnotes 1 1 c4/4 d4/4\nlyric verse 1 \"C D " + rest +
              "\"\nsyllable 1 1:1 verse 1 1\n");
    Select(1, 1, 1, 1);
    RunTool(kHarmonica, {{"Row0", "1"}});
    const host::Bytes* text = Document().Records().Find(host::RecordKey::Other(hostapi::MakeTag("txve"), 1, 0));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(text->data())), "B D " + rest);
}

// Stopped before its first measure, Harmonica still gives every measure of the selection key 0,
// and tells the host of that change although the run did not end. The notes, not translated, keep
// their pitches: D4 and E4 of D major are written as D4 and E4 under key 0, on every staff.
TEST_F(GriffschriftTest, HarmonicaStoppedAtOnceClearsTheKeysAndReportsTheChange) {
    StartHost(R"(
staff "Harmonica"
staff "Bass"
measures 2 key 2
notes 1 1 d4/1
notes 1 2 e4/1
notes 2 1 f#3/2 c#4/2
)");
    Select(1, 1, 1, 2);
    ASSERT_EQ(Places(1), "0/0");
    host::StopProgressAt(*m_host, 1);
    EXPECT_EQ(RunTool(kHarmonica, {{"Row0", "1"}}), 1);
    for (int16_t measure = 1; measure <= 2; ++measure) {
        const host::Bytes* spec =
            Document().Records().Find(host::RecordKey::Other(hostapi::MakeTag("SOMS"), measure, 0));
        ASSERT_NE(spec, nullptr);
        EXPECT_EQ(hostapi::ReadI16(spec->data(), 2), 0) << "measure " << measure;
    }
    EXPECT_EQ(Places(1), "1/0");  // D4
    EXPECT_EQ(Places(2), "2/0");  // E4
    const host::CellEntries& bass = Cell(2, 1);
    ASSERT_EQ(bass.size(), 2u);
    EXPECT_EQ(View(bass[0]).note(0).harmonicLevel(), -4);  // F#3: F, raised
    EXPECT_EQ(View(bass[0]).note(0).alteration(), 1);
    EXPECT_EQ(View(bass[1]).note(0).harmonicLevel(), 0);  // C#4: C, raised
    EXPECT_EQ(View(bass[1]).note(0).alteration(), 1);
    EXPECT_NE(View(bass[0]).moreFlags() & hostapi::kEntryMoreNotesChanged, 0);
}

ORDINARY_MUSIC_CASES(Griffschrift, "tests/tools/ordinary.cases", "griffschrift");

}  // namespace
