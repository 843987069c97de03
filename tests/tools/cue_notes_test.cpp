// "Vx Add &Cue Notes..." end to end: the source staff's entries of the selected stretch become cue
// notes in an empty layer of the destination staff, with hidden rests outside the stretch, tuplets
// kept whole, the cue name on the first note and every copy sized; the first layer is completed
// with rests; a layer that holds entries refuses the command.
#include "core/tool_items.h"
#include "platform/hostapi/entry_records.h"
#include "tests/tools/notes_fixture.h"

namespace {

constexpr int32_t kCueNotes = orvex::ToolCode(orvex::ToolItem::CueNotes);

/// The Flute begins with a quarter triplet that reaches into the stretch from beat 2 (its third
/// note starts at 1365); the Oboe has a whole note in measure 2 only.
constexpr const char* kScore = R"(
font 3 "Times New Roman"
staff "Flute"
staff "Oboe"
measures 2 time 4/4
notes 1 1 {3:2 c5/4 d5/4 e5/4} f5/4 g5/4
notes 1 2 a5/2 b5/2
notes 2 2 c4/1
)";

class CueNotesTest : public testsupport::NotesTest {
protected:
    void SetUp() override {
        NotesTest::SetUp();
        StartHost(kScore);
        // Measure 1 from its second beat to measure 2's second beat.
        hostapi::SelectionRecord selection;
        selection.setFirstStaff(1);
        selection.setLastStaff(1);
        selection.setFirstMeasure(1);
        selection.setStartEdu(1024);
        selection.setLastMeasure(2);
        selection.setEndEdu(1024);
        m_host->SetSelection(selection);
    }

    /// A cell as words: "n" a visible note, "r" a visible rest, "h" a hidden rest.
    std::string Kinds(int16_t staff, int16_t measure, int16_t layer) {
        std::string kinds;
        for (const host::EntryBytes& bytes : Cell(staff, measure, layer)) {
            const auto entry = View(bytes);
            kinds += entry.isNote() ? (entry.has(hostapi::kEntryHidden) ? '?' : 'n')
                                    : (entry.has(hostapi::kEntryHidden) ? 'h' : 'r');
        }
        return kinds;
    }
};

TEST_F(CueNotesTest, CopiesTheStretchIntoTheEmptyLayer) {
    RunTool(kCueNotes, {{"Row0", "+1"}});
    EXPECT_TRUE(Messages().empty());
    // Layer 4 of the Oboe: the tuplet's members before the stretch show as rests.
    EXPECT_EQ(Kinds(2, 1, 4), "rrnnn");
    EXPECT_EQ(Kinds(2, 2, 4), "nh");
    for (int16_t measure = 1; measure <= 2; ++measure) {
        const host::CellEntries& source = Cell(1, measure);
        const host::CellEntries& copies = Cell(2, measure, 4);
        ASSERT_EQ(copies.size(), source.size());
        for (size_t i = 0; i < copies.size(); ++i) {
            SCOPED_TRACE("measure " + std::to_string(measure) + ", entry " + std::to_string(i));
            const auto copy = View(copies[i]);
            EXPECT_EQ(copy.position(), View(source[i]).position());
            EXPECT_EQ(copy.actualDuration(), View(source[i]).actualDuration());
            EXPECT_NE(copy.number(), View(source[i]).number());
            EXPECT_EQ(Word(EntryRecord("edAS", copy.number()), 1), 75);  // the default size
            // "Force stems up" is off: the stems stay as the source has them.
            EXPECT_EQ(copy.flags() & 0x00000101u, View(source[i]).flags() & 0x00000101u);
        }
    }
    // The tuplet went with its first entry.
    const auto first = View(Cell(2, 1, 4)[0]);
    EXPECT_TRUE(first.has(hostapi::kEntryTuplet));
    EXPECT_EQ(Word(EntryRecord("E\x03TP", first.number()), 0), 3);

    // The cue name (the source staff's name) on the first note of the stretch, 55 above it on a
    // document without a layout, in "Times New Roman" at 16.
    const auto named = View(Cell(2, 1, 4)[2]);
    EXPECT_NE(named.moreFlags() & 0x0001, 0);
    const std::vector<uint8_t> link = EntryRecord("edED", named.number());
    ASSERT_EQ(link.size(), 10u);
    EXPECT_EQ(Word(link, 1), -15);
    EXPECT_EQ(Word(link, 2), 55);
    EXPECT_EQ(static_cast<uint16_t>(Word(link, 4)), 0x8000);
    const host::Bytes* text =
        Document().Records().Find(host::RecordKey::Other(hostapi::MakeTag("SODT"), Word(link, 0), 0));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(Word(*text, 0), 0x1003);
    EXPECT_EQ(Word(*text, 2), 30);
    EXPECT_EQ(std::string(text->begin() + 12, text->end()), std::string("Flute\0", 6));
    for (size_t i : {0u, 1u, 3u, 4u}) {
        EXPECT_TRUE(EntryRecord("edED", View(Cell(2, 1, 4)[i]).number()).empty()) << i;
    }

    // The first layer is completed: a whole rest in the empty measure, nothing where it is full.
    ASSERT_EQ(Cell(2, 1).size(), 1u);
    EXPECT_EQ(View(Cell(2, 1)[0]).actualDuration(), 4096);
    EXPECT_EQ(View(Cell(2, 1)[0]).flags(), 0x81000000u);
    EXPECT_EQ(Cell(2, 2).size(), 1u);
}

TEST_F(CueNotesTest, ATupletWhoseLastNoteStartsTheStretchStaysWhole) {
    hostapi::SelectionRecord selection = *m_host->Selection();
    selection.setStartEdu(1365);  // the triplet's third note
    m_host->SetSelection(selection);
    RunTool(kCueNotes, {{"Row0", "+1"}});
    EXPECT_EQ(Kinds(2, 1, 4), "rrnnn");
}

// A slur over the Flute's measure 2, whose first entry has lost its mark of note-attached shapes:
// the copies it is copied to are marked as the host marks them; without the slur no copy claims one.
TEST_F(CueNotesTest, TheCopiesASlurIsAttachedToSaySo) {
    for (const char* copySlurs : {"1", "0"}) {
        SCOPED_TRACE(std::string("copy note-attached shapes: ") + copySlurs);
        StartHost(std::string(kScore) + "shape 0 1 2:1 2:2\nentry 1 2:1 -note-shapes\n");
        Select(1, 1, 2, 2);
        RunTool(kCueNotes, {{"Row0", "+1"}, {"Row8", copySlurs}});
        const host::CellEntries& copies = Cell(2, 2, 4);
        ASSERT_EQ(copies.size(), 2u);
        for (const host::EntryBytes& copy : copies) {
            const bool linked = !EntryRecord("edEx", View(copy).number()).empty();
            EXPECT_EQ(linked, copySlurs[0] == '1');
            EXPECT_EQ((View(copy).moreFlags() & hostapi::kEntryMoreSmartShapes) != 0, linked);
        }
    }
}

TEST_F(CueNotesTest, RefusesALayerThatHoldsEntries) {
    RunTool(kCueNotes, {{"Row0", "+1"}, {"Row1", "1"}});
    EXPECT_EQ(Messages(),
              std::vector<std::string>{
                  "Cue notes can only be entered in an empty layer.  Please select a layer with no entries!"});
    EXPECT_TRUE(Cell(2, 1).empty());
    EXPECT_TRUE(Cell(2, 1, 4).empty());
}

ORDINARY_MUSIC_CASES(CueNotes, "tests/tools/ordinary.cases", "cue notes");
ORDINARY_MUSIC_CASES(MoreCueNotes, "tests/tools/ordinary-notes.cases", "cue notes");

}  // namespace

// A note's tie record is held at 30 bytes; the copy takes all of it, not a 10-byte head.
TEST_F(CueNotesTest, ACopiedTieRecordKeepsAllItsBytes) {
    const auto tied = View(Cell(1, 1)[3]);  // f5/4, inside the stretch
    std::vector<uint8_t> tie(hostapi::NoteTieLayout::kSize);
    for (size_t i = 0; i < tie.size(); ++i) {
        tie[i] = static_cast<uint8_t>(i + 1);
    }
    PutEntryRecord("E\x03Ts", tied.number(), tie);
    EditEntry(1, 1, 3, [](hostapi::EntryView entry) { entry.setFlag(hostapi::kEntryTieDetails, true); });
    RunTool(kCueNotes, {{"Row0", "+1"}});
    const auto copy = View(Cell(2, 1, 4)[3]);
    EXPECT_TRUE(copy.has(hostapi::kEntryTieDetails));
    EXPECT_EQ(EntryRecord("E\x03Ts", copy.number()), tie);
}
