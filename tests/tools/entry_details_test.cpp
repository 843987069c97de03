// The entry detail helpers: stem records, parentheses around a note, and the trill grace notes
// of "Make parenthesized trill notes..." and "Repair trill notes (after Spacing)" end to end.
#include <algorithm>
#include <initializer_list>
#include <iterator>

#include "core/tool_items.h"
#include "tests/tools/notes_fixture.h"
#include "tools/notes/entry_details.h"

namespace {

using testsupport::NotesTest;

constexpr int32_t kTrillNotes = orvex::ToolCode(orvex::ToolItem::TrillNotes);
constexpr int32_t kRepairTrillNotes = orvex::ToolCode(orvex::ToolItem::TrillNotes, 2);
constexpr char kNoteAccidental[] =
    "E\x02"
    "Ah";

/// Grace notes before a dotted quarter (one dot) and before a quarter; a quarter and an eighth
/// grace note.
constexpr const char* kScore = R"(
font 0 "Maestro"
font 1 "Times New Roman"
font 2 "Arial"
staff "Violin"
measures 1 time 4/4
notes 1 1 d5/4g c5/4. e5/8g f5/4 a5/4g g5/4 r/8
)";

class EntryDetailsTest : public NotesTest {
protected:
    void SetUp() override {
        NotesTest::SetUp();
        StartHost(kScore);
        Select(1, 1, 1, 1);
    }
    hostapi::EntryNumber Number(size_t index) { return View(Cell(1, 1).at(index)).number(); }
    /// The text of a text expression of the document.
    std::string ExpressionText(int16_t number) {
        const host::Bytes* bytes =
            Document().Records().Find(host::RecordKey::Other(hostapi::MakeTag("SODT"), number, 0));
        return bytes == nullptr || bytes->size() <= 12 ? std::string()
                                                       : std::string(reinterpret_cast<const char*>(bytes->data() + 12));
    }

    /// What a prepared trill grace note carries (and an untouched one lacks).
    void ExpectTrillNote(size_t index, int16_t offset) {
        SCOPED_TRACE("entry " + std::to_string(index));
        const auto entry = View(Cell(1, 1).at(index));
        EXPECT_EQ(Offset(entry), offset);
        EXPECT_EQ(StemWord(orvex::kTagStemUp, entry.number()), 0);
        EXPECT_EQ(StemWord(orvex::kTagStemDown, entry.number()), 0);
        const std::vector<uint8_t> edac = EntryRecord("edac", entry.number());
        EXPECT_EQ(Word(edac, 3), -126);
        EXPECT_EQ(Word(edac, 4), -127);
        EXPECT_TRUE(entry.has(hostapi::kEntryPlayback));
        EXPECT_TRUE(entry.has(hostapi::kEntryStemDetails));
        EXPECT_NE(entry.moreFlags() & 0x0400, 0);
    }
    void ExpectUntouched(size_t index) {
        SCOPED_TRACE("entry " + std::to_string(index));
        const auto entry = View(Cell(1, 1).at(index));
        EXPECT_EQ(Offset(entry), 0);
        EXPECT_TRUE(EntryRecord("edac", entry.number()).empty());
        EXPECT_FALSE(entry.has(hostapi::kEntryPlayback));
        EXPECT_EQ(entry.moreFlags(), 0);
    }
};

TEST_F(EntryDetailsTest, RepairPreparesOnlyTrillNotesNotRepairedYet) {
    // Trill notes carry stem records; the second one is repaired already.
    for (size_t index : std::initializer_list<size_t>{0, 2}) {
        EditEntry(1, 1, index, [](hostapi::EntryView e) { e.setFlag(hostapi::kEntryStemDetails, true); });
    }
    PutStemWord(orvex::kTagStemUp, Number(2), 7);
    Invoke(static_cast<int16_t>(orvex::FindCommandIndex(kRepairTrillNotes)));
    ExpectTrillNote(0, 85 + 15);  // the default shift and one dot's worth
    EXPECT_EQ(StemWord(orvex::kTagStemUp, Number(2)), 7);
    EXPECT_TRUE(EntryRecord("edac", Number(2)).empty());
    ExpectUntouched(4);                                   // no stem records: not a trill note
    EXPECT_TRUE(EntryRecord("edED", Number(0)).empty());  // no parentheses in the repair
}

TEST_F(EntryDetailsTest, TrillNotesOfTheChosenValueGetParentheses) {
    RunTool(kTrillNotes, {{"Row0", "4"}});
    ExpectTrillNote(0, 85 + 15);
    ExpectTrillNote(4, 85);
    ExpectUntouched(2);  // an eighth is not a quarter's trill note

    const hostapi::EntryNumber grace = Number(0);
    const std::vector<uint8_t> accidental = EntryRecord(kNoteAccidental, grace);
    EXPECT_EQ(Word(accidental, 0), View(Cell(1, 1)[0]).note(0).noteId());
    EXPECT_EQ(Word(accidental, 3), -12);
    const std::vector<uint8_t> link = EntryRecord("edED", grace);
    EXPECT_EQ(ExpressionText(Word(link, 0)), "(  )");
    EXPECT_EQ(Word(link, 1), -15);
    EXPECT_EQ(Word(link, 2), -9);
    EXPECT_EQ(static_cast<uint16_t>(Word(link, 4)), 0x8000);
    const auto entry = View(Cell(1, 1)[0]);
    EXPECT_TRUE(entry.has(hostapi::kEntryNoteDetails));
    EXPECT_NE(entry.moreFlags() & 0x0001, 0);
    // Both grace notes share the one expression.
    EXPECT_EQ(Word(EntryRecord("edED", Number(4)), 0), Word(link, 0));
}

// The "Parentheses..." page of the trill command's dialog: what the user confirms there is what the
// run writes, also when the page is opened again and left with Cancel.
class TrillPageTest : public EntryDetailsTest {
protected:
    static void Queue(win::FormAction::Kind kind, const std::string& control, const std::string& value = "") {
        win::QueueFormAction("TDActOpt", win::FormAction{kind, control, value});
    }
    /// Opens the page from the trill command's dialog, sets its rows and closes it with `button`.
    static void SetPage(const std::vector<testsupport::Setting>& rows, const char* button) {
        Queue(win::FormAction::Kind::Click, "SubMask1");
        for (const auto& [control, value] : rows) {
            Queue(win::FormAction::Kind::Set, control, value);
        }
        Queue(win::FormAction::Kind::Click, button);
    }
    /// The rows of the page as the n-th showing of it listed them.
    static std::vector<std::string> PageRows(int n) {
        const std::string header = "[form] \"Parentheses 1.88d\" TDActOpt, modal";
        std::vector<std::string> rows;
        int seen = 0;
        bool inside = false;
        for (const std::string& line : win::TranscriptLines()) {
            if (line == header) {
                inside = ++seen == n;
            } else if (inside && line.starts_with("  row ")) {
                rows.push_back(line);
            } else if (!line.starts_with("  ")) {
                inside = false;
            }
        }
        return rows;
    }
    /// The trill note's records: its accidental shift, and the expression its link names with the
    /// link's offsets.
    void ExpectParentheses(int16_t accidentalShift, const std::string& text, uint8_t font, uint8_t size,
                           int16_t horizontal, int16_t vertical) {
        const hostapi::EntryNumber grace = Number(0);
        EXPECT_EQ(Word(EntryRecord(kNoteAccidental, grace), 3), accidentalShift);
        const std::vector<uint8_t> link = EntryRecord("edED", grace);
        ASSERT_EQ(link.size(), 10u);
        EXPECT_EQ(ExpressionText(Word(link, 0)), text);
        const host::Bytes* expression =
            Document().Records().Find(host::RecordKey::Other(hostapi::MakeTag("SODT"), Word(link, 0), 0));
        ASSERT_NE(expression, nullptr);
        EXPECT_EQ((*expression)[0], font);
        EXPECT_EQ((*expression)[1], size);
        EXPECT_EQ(Word(link, 1), horizontal);
        EXPECT_EQ(Word(link, 2), vertical);
    }
    const std::vector<testsupport::Setting> m_page = {{"Row0", "20"},  {"Row1", "Arial"}, {"Row2", "24"},
                                                      {"Row4", "[ ]"}, {"Row6", "-30"},   {"Row7", "10"}};
};

TEST_F(TrillPageTest, ThePagesConfirmedValuesAreWhatTheRunWrites) {
    SetPage(m_page, "OKBtn");
    RunTool(kTrillNotes, {{"Row0", "4"}});
    ExpectParentheses(-20, "[ ]", 2, 24, -30, 10);
    ExpectTrillNote(0, 85 + 15);
}

TEST_F(TrillPageTest, TheReopenedPageShowsThemAndItsCancelKeepsThem) {
    SetPage(m_page, "OKBtn");
    SetPage({{"Row0", "40"}, {"Row4", "< >"}, {"Row7", "-50"}}, "CancelBtn");
    RunTool(kTrillNotes, {{"Row0", "4"}});
    EXPECT_EQ(PageRows(2),
              (std::vector<std::string>{
                  "  row 0 \"Accidental shift (positive=to the right):\": edit \"20\"",
                  "  row 1 \"Font for parentheses:\": edit \"Arial\"",
                  "  row 2 \"Font size:\": edit \"24\"",
                  "  row 3 \"Parentheses for notes with accidental:\": edit \"(   )\"",
                  "  row 4 \"Parentheses for notes without accidental:\": edit \"[ ]\"",
                  "  row 5 \"Horizontal parentheses displacement for notes with accidental:\": edit \"-25\"",
                  "  row 6 \"Horizontal parentheses displacement for notes without:\": edit \"-30\"",
                  "  row 7 \"Vertical parentheses displacement:\": edit \"10\"",
              }));
    ExpectParentheses(-20, "[ ]", 2, 24, -30, 10);
}

TEST_F(TrillPageTest, ACancelledPageLeavesTheStoredValues) {
    SetPage({{"Row0", "40"}, {"Row4", "< >"}}, "CancelBtn");
    RunTool(kTrillNotes, {{"Row0", "4"}});
    ExpectParentheses(-12, "(  )", 1, 18, -15, -9);
}

TEST_F(EntryDetailsTest, ParenthesesScaleWithThePercentage) {
    orvex::OptionArray rows{};
    const std::pair<const char*, int32_t> values[] = {
        {"", 12}, {"Times New Roman", 0}, {"", 18}, {"(   )", 0}, {"(  )", 0}, {"", -25}, {"", -15}, {"", -9}};
    std::transform(std::begin(values), std::end(values), rows.begin(), [](const auto& v) {
        return orvex::OptionElement{v.first, v.second};
    });
    host::CellEntries cell = Cell(1, 1);       // an entry of the test's own
    hostapi::EntryView entry(cell[1].data());  // the dotted quarter, its accidental shown
    entry.note(0).setFlags(entry.note(0).flags() | hostapi::kNoteAccidentalShown);
    ASSERT_TRUE(orvex::WriteEntryAttachedRecords(entry, rows, 100, 0, 200));
    EXPECT_EQ(Word(EntryRecord(kNoteAccidental, entry.number()), 3), -24);
    const std::vector<uint8_t> link = EntryRecord("edED", entry.number());
    EXPECT_EQ(ExpressionText(Word(link, 0)), "(   )");
    EXPECT_EQ(Word(link, 1), -50);
    EXPECT_EQ(Word(link, 2), -18);
    const host::Bytes* expression =
        Document().Records().Find(host::RecordKey::Other(hostapi::MakeTag("SODT"), Word(link, 0), 0));
    ASSERT_NE(expression, nullptr);
    EXPECT_EQ((*expression)[1], 36);  // the size doubled, in the font word's high byte
}

TEST_F(EntryDetailsTest, StemRecordsKeepASetWordUnlessForced) {
    host::CellEntries cell = Cell(1, 1);  // an entry of the test's own, stem down
    hostapi::EntryView entry(cell[3].data());
    entry.setFlag(hostapi::kEntryStemDetails, true);
    PutStemWord(orvex::kTagStemUp, entry.number(), 9);
    orvex::SetStemRecords(entry, 4, false, false);
    EXPECT_EQ(StemWord(orvex::kTagStemDown, entry.number()), 4);
    orvex::SetStemRecords(entry, 5, true, false);
    EXPECT_EQ(StemWord(orvex::kTagStemUp, entry.number()), 9);
    EXPECT_EQ(StemWord(orvex::kTagStemDown, entry.number()), 4);
    orvex::SetStemRecords(entry, 0, true, true);
    EXPECT_EQ(StemWord(orvex::kTagStemUp, entry.number()), 0);
    EXPECT_EQ(StemWord(orvex::kTagStemDown, entry.number()), 0);
}

// An entry without stem records gets the record: it is created with the word, and the entry is
// marked as having stem records.
TEST_F(EntryDetailsTest, AStemRecordIsCreatedForAnEntryWithoutOne) {
    host::CellEntries cell = Cell(1, 1);
    hostapi::EntryView entry(cell[3].data());
    ASSERT_FALSE(entry.has(hostapi::kEntryStemDetails));
    const auto key = host::RecordKey::Detail(orvex::kTagStemDown, 0, static_cast<int16_t>(entry.number()), 0);
    ASSERT_EQ(Document().Records().Find(key), nullptr);
    orvex::SetStemRecord(orvex::kTagStemDown, entry, 7, false);
    EXPECT_TRUE(entry.has(hostapi::kEntryStemDetails));
    const host::Bytes* record = Document().Records().Find(key);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->size(), 10u);
    EXPECT_EQ(hostapi::ReadI16(record->data(), 0), 7);
}

}  // namespace
ORDINARY_MUSIC_CASES(EntryDetails, "tests/tools/ordinary.cases", "entry details");
