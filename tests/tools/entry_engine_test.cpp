// The entry-processing engine end to end: its walk under the host's progress display (which
// the user can stop), the position range of the first and last measure, the shown layers, the
// start checks, the result lines, the Rests split it does itself and Tremolo's pairing.
#include <map>

#include "core/tool_items.h"
#include "tests/tools/notes_fixture.h"
#include "tools/notes/engine/entry_engine.h"

namespace {

using testsupport::NotesTest;
using Offsets = std::vector<int16_t>;

constexpr int32_t kRemove = orvex::ToolCode(orvex::ToolItem::Remove);
constexpr int32_t kTremolo = orvex::ToolCode(orvex::ToolItem::Tremolo);
constexpr int32_t kFind = orvex::ToolCode(orvex::ToolItem::Find);
constexpr int32_t kFontInfo = orvex::ToolCode(orvex::ToolItem::FontInfo);
constexpr int32_t kHarmonica = orvex::ToolCode(orvex::ToolItem::Harmonica);
constexpr int32_t kLaisserVibrer = orvex::ToolCode(orvex::ToolItem::LaisserVibrer);
constexpr int32_t kCompare = orvex::ToolCode(orvex::ToolItem::CompareEntries);
constexpr int32_t kRests = orvex::ToolCode(orvex::ToolItem::Rests);

/// Every entry gets a horizontal offset, so that Remove's "Horizontal displacements from
/// entries" shows which entries the engine handed over.
constexpr const char* kScore = R"(
staff "Flute"
staff "Oboe"
measures 4 time 4/4 key 2
notes 1 1 c5/4 d5/4 e5/4 f5/4
notes 1 2 c5/2 d5/2
notes 1 2 layer 2 g4/1
notes 1 3 c5/1
notes 1 4 c5/4 d5/4 e5/2
notes 2 1 r/1
notes 2 3 c4/1
notes 2 4 c4/1
)";
constexpr int16_t kOffset = 33;

class EngineWalkTest : public NotesTest {
protected:
    void SetUp() override {
        NotesTest::SetUp();
        StartHost(kScore);
        for (auto [key, entries] : std::map(Document().Cells())) {
            for (host::EntryBytes& entry : entries) {
                SetOffset(hostapi::EntryView(entry.data()), kOffset);
            }
            Document().SetEntries(key, entries);
        }
    }
    Offsets OffsetsOf(int16_t staff, int16_t measure, int16_t layer = 1) {
        Offsets offsets;
        for (const host::EntryBytes& entry : Cell(staff, measure, layer)) {
            offsets.push_back(Offset(View(entry)));
        }
        return offsets;
    }
    void RemoveOffsets() { RunTool(kRemove, {{"Row1", "1"}}); }
    int16_t KeyOf(int16_t measure) {
        return hostapi::ReadI16(
            Document().Records().Find(host::RecordKey::Other(hostapi::MakeTag("SOMS"), measure, 0))->data(), 2);
    }
};

TEST_F(EngineWalkTest, WalksEveryStaffAndShownLayerOfTheSelection) {
    m_host->SetLayerShown(1, false);
    Select(1, 2, 1, 4);
    RemoveOffsets();
    EXPECT_TRUE(TranscriptHas("host: progress ends after 4 of 4 steps"));
    EXPECT_EQ(OffsetsOf(1, 1), (Offsets{0, 0, 0, 0}));
    EXPECT_EQ(OffsetsOf(1, 2, 1), (Offsets{0, 0}));
    EXPECT_EQ(OffsetsOf(1, 2, 2), (Offsets{kOffset}));  // layer 2 is not shown
    EXPECT_EQ(OffsetsOf(2, 4), (Offsets{0}));
}

TEST_F(EngineWalkTest, StartAndEndPositionsBoundTheFirstAndLastMeasure) {
    hostapi::SelectionRecord selection;
    selection.setFirstStaff(1);
    selection.setLastStaff(1);
    selection.setFirstMeasure(1);
    selection.setStartEdu(1024);
    selection.setLastMeasure(4);
    selection.setEndEdu(1024);
    m_host->SetSelection(selection);
    RemoveOffsets();
    EXPECT_EQ(OffsetsOf(1, 1), (Offsets{kOffset, 0, 0, 0}));
    EXPECT_EQ(OffsetsOf(1, 3), (Offsets{0}));
    EXPECT_EQ(OffsetsOf(1, 4), (Offsets{0, 0, kOffset}));  // 0 and 1024 are in, 2048 is not
    EXPECT_EQ(OffsetsOf(2, 1), (Offsets{kOffset}));        // not selected

    // A measure that is both first and last takes both bounds.
    selection.setLastMeasure(1);
    selection.setEndEdu(2048);
    m_host->SetSelection(selection);
    for (size_t i = 0; i < 4; ++i) {
        EditEntry(1, 1, i, [](hostapi::EntryView e) { SetOffset(e, kOffset); });
    }
    RemoveOffsets();
    EXPECT_EQ(OffsetsOf(1, 1), (Offsets{kOffset, 0, 0, kOffset}));
}

TEST_F(EngineWalkTest, UserStopLeavesTheRestOfTheRegionAndReportsFailure) {
    Select(1, 2, 1, 4);
    m_host->Progress().StopNextAt(3);
    RemoveOffsets();
    EXPECT_TRUE(TranscriptHas("host: progress ends after 3 of 4 steps (stopped)"));
    EXPECT_EQ(OffsetsOf(1, 2), (Offsets{0, 0}));
    EXPECT_EQ(OffsetsOf(2, 1), (Offsets{0}));
    EXPECT_EQ(OffsetsOf(1, 3), (Offsets{kOffset}));
    EXPECT_EQ(OffsetsOf(2, 4), (Offsets{kOffset}));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(EngineWalkTest, StoppedHarmonicaStillClearsTheKeyOfEveryMeasure) {
    Select(2, 2, 1, 4);  // no note before measure 3
    m_host->Progress().StopNextAt(2);
    RunTool(kHarmonica, {{"Row0", "1"}});
    EXPECT_TRUE(TranscriptHas("host: progress ends after 2 of 4 steps (stopped)"));
    for (int16_t measure = 1; measure <= 4; ++measure) {
        EXPECT_EQ(KeyOf(measure), 0) << "measure " << measure;
    }
}

TEST_F(EngineWalkTest, TranslatedRunEndsWithItsClosingSteps) {
    // The notes (all naturals) are translated, then the key goes.
    Select(1, 1, 1, 2);
    RunTool(kHarmonica, {{"Row0", "1"}});
    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(TranscriptHas("host: progress ends after 2 of 2 steps"));
    EXPECT_EQ(KeyOf(1), 0);
}

TEST_F(EngineWalkTest, LaisserVibrerWarnsOfFontsOtherThanEngraver) {
    const int16_t index = static_cast<int16_t>(orvex::FindCommandIndex(kLaisserVibrer));
    Select(2, 2, 1, 2);  // rests only
    Invoke(index);
    EXPECT_EQ(Messages(), std::vector<std::string>{"This plug-in may not work with fonts other than Engraver."});
    StartHost(std::string("font 0 \"Engraver Font Set\"\n") + kScore);
    Select(2, 2, 1, 2);
    Invoke(index);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(EngineWalkTest, FindListsNothingFoundInEmptyMeasures) {
    Select(2, 2, 2, 2);
    RunTool(kFind);
    EXPECT_EQ(ResultLines(), std::vector<std::string>{"Nothing found."});
}

TEST_F(EngineWalkTest, ItemWithoutBranchWalksAndChangesNothing) {
    const host::CellMap before = Document().Cells();
    Select(1, 2, 1, 4);
    RunWithShift(kFontInfo);
    EXPECT_TRUE(TranscriptHas("host: progress ends after 4 of 4 steps"));
    EXPECT_TRUE(Document().Cells() == before);
}

struct Refusal {
    const char* name;
    std::vector<testsupport::Setting> settings;
    int16_t lastStaff;
    const char* message;
};

class CompareStartTest : public NotesTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(CompareStartTest, RefusesWithItsMessageAndChangesNothing) {
    StartHost(kScore);
    const host::CellMap before = Document().Cells();
    Select(1, GetParam().lastStaff, 1, 2);
    RunTool(kCompare, GetParam().settings);
    EXPECT_EQ(Messages(), std::vector<std::string>{GetParam().message});
    EXPECT_TRUE(TranscriptHas("host: progress ends after 0 of 2 steps (stopped)"));
    EXPECT_TRUE(Document().Cells() == before);
}

INSTANTIATE_TEST_SUITE_P(
    Engine, CompareStartTest,
    ::testing::Values(Refusal{"BothModes", {{"Row2", "1"}}, 1, "Please select read or compare."},
                      Refusal{"NoMode", {{"Row1", "0"}}, 1, "Please select read or compare."},
                      Refusal{"TwoStaves", {}, 2, "Please select exactly one staff."},
                      Refusal{
                          "NothingRead",
                          {{"Row1", "0"}, {"Row2", "1"}},
                          1,
                          "Nothing has been read to compare with: run Compare Entries with \\\"Read now:\\\" first."}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(ResultLineTest, RunsOfMeasuresWithHitsBecomeOneLineEach) {
    struct Case {
        std::vector<int32_t> hits;
        int32_t stopMeasure;
        std::vector<std::string> lines;
    };
    // clang-format off
    const Case cases[] = {
        {{3, 4, 5}, 0, {"meas 3-5"}},
        {{9},       0, {"meas 9"}},
        {{4},       0, {"meas 4"}},
        {{1, 8, 9}, 0, {"meas 1", "meas 8-9"}},
        {{2, 3},    2, {"meas 2"}},  // a compare run that stopped in measure 2
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.hits));
        std::vector<std::string> lines;
        int32_t runStart = 0;
        for (int32_t measure = 1; measure <= 9; ++measure) {
            const bool found = std::find(c.hits.begin(), c.hits.end(), measure) != c.hits.end();
            const std::string line =
                orvex::ResultLineAfterMeasure(measure, found, measure == 9, c.stopMeasure, runStart);
            if (!line.empty()) {
                lines.push_back(line);
            }
        }
        EXPECT_EQ(lines, c.lines);
    }
}

TEST_F(NotesTest, RestsSplitsTheRestOfTheChosenMeasureLengthIntoTwo) {
    StartHost(
        "staff \"Cello\"\nmeasures 1 time 6/4\nmeasures 1 time 4/4\nmeasures 1 time 3/4\n"
        "notes 1 1 r/1 r/2\nnotes 1 2 r/1\nnotes 1 3 c3/4 r/2\n");
    Select(1, 1, 1, 3);
    RunTool(kRests, {{"Row0", "1"}, {"Row1", "1"}});
    struct Entry {
        hostapi::Edu position, duration;
        bool created;
    };
    const std::map<int16_t, std::vector<Entry>> expected = {
        {1, {{0, 2048, false}, {2048, 2048, true}, {4096, 2048, false}}},
        {2, {{0, 4096, false}}},  // a whole rest in a measure of another length stays
        {3, {{0, 1024, false}, {1024, 1024, false}, {2048, 1024, true}}},
    };
    for (const auto& [measure, entries] : expected) {
        const host::CellEntries& cell = Cell(1, measure);
        ASSERT_EQ(cell.size(), entries.size()) << "measure " << measure;
        for (size_t i = 0; i < entries.size(); ++i) {
            SCOPED_TRACE("measure " + std::to_string(measure) + ", entry " + std::to_string(i));
            const auto entry = View(cell[i]);
            EXPECT_EQ(entry.position(), entries[i].position);
            EXPECT_EQ(entry.actualDuration(), entries[i].duration);
            EXPECT_EQ(entry.duration(), entries[i].duration);
            EXPECT_EQ(entry.has(hostapi::kEntryCreated), entries[i].created);
            EXPECT_NE(entry.number(), 0);
        }
    }
}

class TremoloPairingTest : public NotesTest, public ::testing::WithParamInterface<std::pair<const char*, bool>> {};

TEST_P(TremoloPairingTest, OnlyQualifyingPairsReachTheWriter) {
    const auto& [notes, paired] = GetParam();
    StartHost(std::string("staff \"Violin\"\nmeasures 1\nnotes 1 1 ") + notes + "\n");
    Select(1, 1, 1, 1);
    RunTool(kTremolo);
    // A pair that reaches the writer becomes a tremolo on its first note.
    EXPECT_EQ(View(Cell(1, 1)[0]).has(hostapi::kEntryTremolo), paired);
    EXPECT_TRUE(Messages().empty());
}

std::string PairingCaseName(const ::testing::TestParamInfo<std::pair<const char*, bool>>& info) {
    static const char* const kNames[] = {"equal_halves", "durations_differ", "rest", "hidden_partner", "grace_between"};
    return kNames[info.index];
}

INSTANTIATE_TEST_SUITE_P(Engine, TremoloPairingTest,
                         ::testing::Values(std::pair("c5/2 e5/2", true), std::pair("c5/2 e5/4. g5/8", false),
                                           std::pair("c5/2 r/2", false), std::pair("c5/2 e5/2h", false),
                                           std::pair("c5/2 d5/8g e5/2", false)),
                         PairingCaseName);

ORDINARY_MUSIC_CASES(FontInfo, "tests/tools/ordinary-more.cases", "font info");

}  // namespace
