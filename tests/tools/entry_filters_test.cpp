// "Vx &Remove..." end to end: the entry filters over the entries the engine hands over.
#include <algorithm>
#include <string>
#include <vector>

#include "core/tool_items.h"
#include "tests/tools/notes_fixture.h"
#include "tools/notes/entry_details.h"
#include "tools/notes/entry_filters.h"

namespace {

using testsupport::NotesTest;

constexpr int32_t kRemove = orvex::ToolCode(orvex::ToolItem::Remove);

constexpr const char* kScore = R"(
staff "Flute"
staff "Oboe"
measures 4 time 4/4
notes 1 1 c5/4 r/4h r/4h d5/4
notes 1 2 e5/8 f5/8 g5/4 r/4 a5/4
notes 2 1 r/4h c4/2 r/4
)";

class RemoveTest : public NotesTest {
protected:
    void SetUp() override {
        NotesTest::SetUp();
        StartHost(kScore);
        Select(1, 2, 1, 4);
    }
};

TEST_F(RemoveTest, HiddenRestsAreDeletedOneAfterAnother) {
    EditEntry(1, 1, 0, [](hostapi::EntryView e) { SetOffset(e, 12); });
    RunTool(kRemove, {{"Row9", "1"}, {"Row1", "1"}});
    const host::CellEntries& flute = Cell(1, 1);
    ASSERT_EQ(flute.size(), 2u);
    EXPECT_EQ(View(flute[1]).position(), 3072);
    EXPECT_EQ(Offset(View(flute[0])), 0);
    const host::CellEntries& oboe = Cell(2, 1);
    ASSERT_EQ(oboe.size(), 2u);
    EXPECT_EQ(View(oboe[0]).position(), 1024);
    EXPECT_EQ(Cell(1, 2).size(), 5u);  // a visible rest stays
}

TEST_F(RemoveTest, PlacedRestsBecomeFloatingRests) {
    EditEntry(1, 2, 3, [](hostapi::EntryView e) { e.setNoteCount(1); });
    RunTool(kRemove, {{"Row0", "1"}});
    const auto placed = View(Cell(1, 2)[3]);
    EXPECT_EQ(placed.noteCount(), 0);
    EXPECT_TRUE(placed.has(hostapi::kEntryFloatingRest));
    const auto plain = View(Cell(2, 1)[2]);  // a rest without a note slot stays as it is
    EXPECT_FALSE(plain.has(hostapi::kEntryFloatingRest));
}

TEST_F(RemoveTest, StemsAreRemovedAndTheEntriesUnbeamed) {
    PutStemWord(orvex::kTagStemUp, View(Cell(1, 2)[0]).number(), 0x55);
    EditEntry(1, 2, 0, [](hostapi::EntryView e) { e.setFlag(hostapi::kEntryStemDetails, true); });
    ASSERT_FALSE(View(Cell(1, 2)[1]).has(hostapi::kEntryBeamStart));
    RunTool(kRemove, {{"Row7", "1"}});
    const host::CellEntries& cell = Cell(1, 2);
    for (size_t i = 0; i < cell.size(); ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        const auto entry = View(cell[i]);
        EXPECT_TRUE(entry.has(hostapi::kEntryBeamStart));  // the rest too, as a note's next entry
        const int32_t expected = entry.isNote() ? 0 : -1;
        EXPECT_EQ(StemWord(orvex::kTagStemUp, entry.number()), expected);
        EXPECT_EQ(StemWord(orvex::kTagStemDown, entry.number()), expected);
        EXPECT_EQ(entry.has(hostapi::kEntryStemDetails), entry.isNote());
    }
}

TEST_F(RemoveTest, StemAndBeamRecordsGoOnlyWithTheStemRecordsFlag) {
    const hostapi::EntryNumber flagged = View(Cell(1, 1)[0]).number();
    const hostapi::EntryNumber unflagged = View(Cell(1, 1)[3]).number();
    PutEntryRecord("edST", flagged, std::vector<uint8_t>(10, 1));
    PutEntryRecord("edBH", flagged, std::vector<uint8_t>(10, 1));
    PutEntryRecord("edBL", flagged, std::vector<uint8_t>(10, 1));
    PutEntryRecord("edST", unflagged, std::vector<uint8_t>(10, 1));
    EditEntry(1, 1, 0, [](hostapi::EntryView e) { e.setFlag(hostapi::kEntryStemDetails, true); });
    RunTool(kRemove, {{"Row2", "1"}, {"Row3", "1"}});
    EXPECT_TRUE(EntryRecord("edST", flagged).empty());
    EXPECT_TRUE(EntryRecord("edBH", flagged).empty());
    EXPECT_TRUE(EntryRecord("edBL", flagged).empty());
    EXPECT_EQ(EntryRecord("edST", unflagged).size(), 10u);
}

// ---- Ties of notes that become rests ----

/// B5 is tied from m. 1 (C major) over the key change into m. 2 (D major) and on within m. 2; C#6
/// is tied from m. 2 into m. 3. Each tie has its records: the start on the note it starts from,
/// the end on the note it reaches (note ids count from 1 in the chord, bottom up).
constexpr const char* kTiedScore = R"(
staff "Flute"
measures 1 time 4/4
measures 2 time 4/4 key 2
notes 1 1 e5/2 g5+b5~/2
notes 1 2 g5+b5~/2 b5+c#6~/2
notes 1 3 c#6/2 r/2
entryrecord 1 1:2 E\x03Ts 0200 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000
entryrecord 1 2:1 E\x03Te 0200 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000
entryrecord 1 2:1 E\x03Ts 0200 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000
entryrecord 1 2:2 E\x03Ts 0200 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000
entryrecord 1 3:1 E\x03Te 0100 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000 0000
)";

class RemoveTiesTest : public NotesTest {
protected:
    void SetUp() override {
        NotesTest::SetUp();
        StartHost(kTiedScore);
    }
    /// The tie flags (start, end) of note n of entry `index` of a cell of staff 1.
    std::pair<bool, bool> Tie(int16_t measure, size_t index, int32_t n) {
        const uint32_t flags = View(Cell(1, measure).at(index)).note(n).flags();
        return {(flags & hostapi::kNoteTieStart) != 0, (flags & hostapi::kNoteTieEnd) != 0};
    }
    bool TieDetails(int16_t measure, size_t index) {
        return View(Cell(1, measure).at(index)).has(hostapi::kEntryTieDetails);
    }
    hostapi::EntryNumber Number(int16_t measure, size_t index) { return View(Cell(1, measure).at(index)).number(); }
};

// Every note of m. 2 becomes a rest: the notes tied to them over both barlines lose their ties, the
// G5 beside the tied B5 keeps its place, and no tie record is left.
TEST_F(RemoveTiesTest, NotesTiedToARestLoseTheirTiesOverTheBarlines) {
    Select(1, 1, 2, 2);
    RunTool(kRemove, {{"Row4", "1"}});
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_FALSE(View(Cell(1, 2)[i]).isNote());
        EXPECT_FALSE(TieDetails(2, i));
        EXPECT_TRUE(EntryRecord("E\x03Ts", Number(2, i)).empty());
        EXPECT_TRUE(EntryRecord("E\x03Te", Number(2, i)).empty());
    }
    EXPECT_EQ(Tie(1, 1, 1), std::make_pair(false, false));  // B5 of m. 1
    EXPECT_EQ(Tie(1, 1, 0), std::make_pair(false, false));  // G5 beside it
    EXPECT_FALSE(TieDetails(1, 1));
    EXPECT_TRUE(EntryRecord("E\x03Ts", Number(1, 1)).empty());
    EXPECT_EQ(Tie(3, 0, 0), std::make_pair(false, false));  // C#6 of m. 3
    EXPECT_FALSE(TieDetails(3, 0));
    EXPECT_TRUE(EntryRecord("E\x03Te", Number(3, 0)).empty());
}

// Only the second entry of m. 2 becomes a rest: the B5 before it keeps its tie from m. 1 with its
// record and loses only its tie on to the rest; the C#6 of m. 3 loses its tie from the rest.
TEST_F(RemoveTiesTest, ANoteKeepsTheTieThatDoesNotReachTheRest) {
    hostapi::SelectionRecord selection;
    selection.setFirstStaff(1);
    selection.setLastStaff(1);
    selection.setFirstMeasure(2);
    selection.setLastMeasure(2);
    selection.setStartEdu(2048);
    selection.setEndEdu(INT32_MAX);
    m_host->SetSelection(selection);
    RunTool(kRemove, {{"Row4", "1"}});
    EXPECT_TRUE(View(Cell(1, 2)[0]).isNote());
    EXPECT_FALSE(View(Cell(1, 2)[1]).isNote());
    EXPECT_EQ(Tie(2, 0, 1), std::make_pair(false, true));  // ~B5, no longer B5~
    EXPECT_TRUE(TieDetails(2, 0));
    EXPECT_EQ(EntryRecord("E\x03Te", Number(2, 0)).size(), 30u);
    EXPECT_TRUE(EntryRecord("E\x03Ts", Number(2, 0)).empty());
    EXPECT_EQ(Tie(1, 1, 1), std::make_pair(true, false));  // m. 1 keeps its B5~
    EXPECT_EQ(EntryRecord("E\x03Ts", Number(1, 1)).size(), 30u);
    EXPECT_EQ(Tie(3, 0, 0), std::make_pair(false, false));
    EXPECT_FALSE(TieDetails(3, 0));
}

// ---- The conversion rate from the first to the last measure ----

class RemoveRateTest : public NotesTest {
protected:
    /// Eleven measures of sixteen sixteenth notes.
    void SetUp() override {
        NotesTest::SetUp();
        m_score = "staff \"Piano\"\nmeasures 11\n";
        for (int measure = 1; measure <= 11; ++measure) {
            m_score += "notes 1 " + std::to_string(measure);
            for (int i = 0; i < 16; ++i) {
                m_score += " c5/16";
            }
            m_score += "\n";
        }
        StartHost(m_score);
    }
    std::string m_score;
    int32_t Converted(int16_t measure) {
        const host::CellEntries& cell = Cell(1, measure);
        return static_cast<int32_t>(std::count_if(
            cell.begin(), cell.end(), [](const auto& e) { return View(e).noteCount() == 0 && !View(e).isNote(); }));
    }
};

TEST_F(RemoveRateTest, RateRisesFromTheLeftToTheRightPercentage) {
    Select(1, 1, 1, 11);
    orvex::SeedRandom(20);
    RunTool(kRemove, {{"Row4", "1"}, {"Row5", "0"}, {"Row6", "100"}});
    EXPECT_EQ(Converted(1), 0);  // 0 %
    EXPECT_GE(Converted(6), 3);  // 50 %
    EXPECT_LE(Converted(6), 13);
    EXPECT_EQ(Converted(11), 16);  // 100 %
}

TEST_F(RemoveRateTest, NoneAtZeroPercentAllAtAHundredWhateverTheDraws) {
    for (const uint32_t seed : {1u, 20u, 4711u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        StartHost(m_score);
        Select(1, 1, 1, 11);
        orvex::SeedRandom(seed);
        RunTool(kRemove, {{"Row4", "1"}, {"Row5", "0"}, {"Row6", "0"}});
        for (int16_t measure = 1; measure <= 11; ++measure) {
            EXPECT_EQ(Converted(measure), 0) << "measure " << measure;
        }
        StartHost(m_score);
        Select(1, 1, 1, 11);
        orvex::SeedRandom(seed);
        RunTool(kRemove, {{"Row4", "1"}, {"Row5", "100"}, {"Row6", "100"}});
        for (int16_t measure = 1; measure <= 11; ++measure) {
            EXPECT_EQ(Converted(measure), 16) << "measure " << measure;
        }
    }
}

TEST_F(RemoveRateTest, TheSameSeedConvertsTheSameNotes) {
    const auto run = [this] {
        StartHost(m_score);
        Select(1, 1, 6, 6);
        orvex::SeedRandom(7);
        RunTool(kRemove, {{"Row4", "1"}, {"Row5", "50"}, {"Row6", "50"}});
        std::vector<bool> rests;
        for (const auto& entry : Cell(1, 6)) {
            rests.push_back(!View(entry).isNote());
        }
        return rests;
    };
    const std::vector<bool> first = run();
    EXPECT_EQ(run(), first);
    EXPECT_GT(std::count(first.begin(), first.end(), true), 0);
    EXPECT_GT(std::count(first.begin(), first.end(), false), 0);
}

TEST_F(RemoveRateTest, SelectionWithinOneMeasureTakesTheLeftPercentage) {
    Select(1, 1, 4, 4);
    RunTool(kRemove, {{"Row4", "1"}, {"Row5", "100"}, {"Row6", "0"}});
    EXPECT_EQ(Converted(4), 16);
    EXPECT_EQ(Converted(5), 0);
}

ORDINARY_MUSIC_CASES(EntryFilters, "tests/tools/ordinary.cases", "entry filters");

}  // namespace
