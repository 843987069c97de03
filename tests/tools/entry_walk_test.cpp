// The entry walk end to end (its progress display, which the user can stop, the selected
// positions, cells written back only when changed, a missing worker) and its measure entry
// cache: the notes before and after an entry across barlines.
#include "core/dispatch.h"
#include "core/host/finxess_entries.h"
#include "core/module.h"
#include "core/tool_items.h"
#include "platform/host/music_model.h"
#include "tests/tools/notes_fixture.h"
#include "tools/notes/engine/measure_cache.h"

namespace {

using testsupport::NotesTest;

constexpr int32_t kAccidentals = orvex::ToolCode(orvex::ToolItem::Accidentals);
constexpr int32_t kCustomChordStyles = orvex::ToolCode(orvex::ToolItem::CustomChordStyles);

/// Every note shows no accidental; "Put accidentals on all notes" marks the notes the walk
/// handed over.
constexpr const char* kScore = R"(
staff "Flute"
staff "Oboe"
measures 3 time 4/4
notes 1 1 c5/4 d5/4 e5/4 f5/4
notes 1 2 c5/1
notes 1 3 c5/4 d5/4 e5/4 f5/4
notes 2 1 c4/1
notes 2 3 r/2 c4/2
)";

class WalkEngineTest : public NotesTest {
protected:
    void SetUp() override {
        NotesTest::SetUp();
        StartHost(kScore);
    }
    /// Accidentals with only the given rows on.
    void RunAccidentals(std::initializer_list<int> rows) {
        std::vector<testsupport::Setting> settings;
        for (int row = 0; row <= 6; ++row) {
            const bool on = std::find(rows.begin(), rows.end(), row) != rows.end();
            settings.emplace_back("Row" + std::to_string(row), on ? "1" : "0");
        }
        RunTool(kAccidentals, settings);
    }
    /// "1" for each entry whose first note shows an accidental, "0" for the others.
    std::string Shown(int16_t staff, int16_t measure) {
        std::string marks;
        for (const host::EntryBytes& entry : Cell(staff, measure)) {
            const bool shown = (View(entry).note(0).flags() & hostapi::kNoteAccidentalShown) != 0;
            marks += View(entry).isNote() ? (shown ? "1" : "0") : "r";
        }
        return marks;
    }
};

TEST_F(WalkEngineTest, ProgressCountsFourLayersWhenLayersOneAndTwoShowAlike) {
    Select(1, 2, 1, 3);
    RunAccidentals({2});
    EXPECT_TRUE(TranscriptHas("host: progress begins over staves 1-2, measures 1-3: 24 steps"));
    EXPECT_TRUE(TranscriptHas("host: progress ends after 24 of 24 steps"));
    EXPECT_EQ(Shown(1, 1), "1111");
    EXPECT_EQ(Shown(2, 3), "r1");

    // The host shows the active layer only (the second): one layer a cell.
    for (hostapi::LayerIndex layer : std::initializer_list<hostapi::LayerIndex>{0, 2, 3}) {
        m_host->SetLayerShown(layer, false);
    }
    RunAccidentals({2});
    EXPECT_TRUE(TranscriptHas("host: progress begins over staves 1-2, measures 1-3: 6 steps"));
    EXPECT_TRUE(TranscriptHas("host: progress ends after 6 of 6 steps"));
}

TEST_F(WalkEngineTest, OnlyEntriesInsideTheSelectedPositionsAreHandedOver) {
    hostapi::SelectionRecord selection;
    selection.setFirstStaff(1);
    selection.setLastStaff(1);
    selection.setFirstMeasure(1);
    selection.setStartEdu(1024);
    selection.setLastMeasure(3);
    selection.setEndEdu(2048);
    m_host->SetSelection(selection);
    RunAccidentals({2});
    EXPECT_EQ(Shown(1, 1), "0111");
    EXPECT_EQ(Shown(1, 2), "1");
    EXPECT_EQ(Shown(1, 3), "1110");  // 2048 is in, 3072 is not
}

TEST_F(WalkEngineTest, UserStopEndsTheWalkAndKeepsWhatWasSaved) {
    Select(1, 2, 1, 3);
    m_host->Progress().StopNextAt(2);
    RunAccidentals({2});
    EXPECT_TRUE(TranscriptHas("host: progress ends after 2 of 24 steps (stopped)"));
    EXPECT_EQ(Shown(1, 1), "1111");
    EXPECT_EQ(Shown(1, 2), "0");
    EXPECT_EQ(Shown(2, 1), "0");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(WalkEngineTest, CellThatNothingChangedIsNotWrittenBack) {
    // The final step drops the frozen mark of notes without accidentals; alone it is no change.
    EditEntry(1, 1, 0, [](hostapi::EntryView e) { e.note(0).setFlags(hostapi::kNoteAccidentalFrozen); });
    Select(1, 1, 1, 1);
    RunAccidentals({});
    EXPECT_EQ(View(Cell(1, 1)[0]).note(0).flags(), hostapi::kNoteAccidentalFrozen);
    RunAccidentals({0});  // unfreezing is a change
    EXPECT_EQ(View(Cell(1, 1)[0]).note(0).flags(), 0u);
}

TEST_F(WalkEngineTest, ChordSymbolsOfEveryStaffReachTheirCommand) {
    // Every walk command is built: the walk runs to its end and hands each chord entry over.
    StartHost(std::string(kScore) + "chord 1 1:2 g\nchord 2 3:2 c\n");
    Select(1, 2, 1, 3);
    RunTool(kCustomChordStyles);
    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(TranscriptHas("host: progress ends after 24 of 24 steps"));
    for (const auto& [staff, measure] : {std::pair<int16_t, int16_t>{1, 1}, {2, 3}}) {
        SCOPED_TRACE(staff);
        const hostapi::EntryNumber entry = View(Cell(staff, measure)[1]).number();
        EXPECT_EQ(Word(EntryRecord("E\x02"
                                   "Ch",
                                   entry),
                       0) &
                      0x0040,
                  0);  // the root is hidden
    }
}

// ---- The measure entry cache ----

constexpr const char* kCacheScore = R"(
staff "Violin"
measures 2 key 0
measures 2 key 2
notes 1 1 c4/4 d4+f4+a4/4 r/4 e4/4
notes 1 2 r/1
notes 1 3 f#4/2 f#4/4 g4/4
notes 1 4 a4/1
)";

/// What a search found: the notes' pitch names ("" for none).
struct Found {
    std::string nearest;
    std::string second;
};

class MeasureCacheTest : public NotesTest {
protected:
    void SetUp() override {
        NotesTest::SetUp();
        StartHost(kCacheScore);
        orvex::TheModule.dispatch.DocumentOptionFlag = 0;
    }
    void TearDown() override {
        // The arrays the test borrowed itself go back first; anything else lent is left over.
        for (hostapi::EntryArray* array : m_arrays) {
            orvex::ReleaseEntryArray(array);
        }
        ExpectNothingLeft();
        NotesTest::TearDown();
    }
    orvex::NoteSearchStart Start(int16_t measure, int32_t entry, int32_t note) {
        m_arrays.push_back(orvex::LoadEntryArray(0, 1, measure, 0, 1));
        const int16_t key = measure >= 3 ? 2 : 0;
        return {m_arrays.back(), entry, note, measure, key, key};
    }
    std::string Name(const std::optional<orvex::FoundNote>& found) {
        if (!found) {
            return "";
        }
        return host::PitchName(host::SpellNote(found->note, found->keyA));
    }
    Found Previous(orvex::TMeasures& cache, const orvex::NoteSearchStart& start, bool allowRepeats) {
        std::optional<orvex::FoundNote> nearest;
        const auto second = orvex::PreviousNote(cache, start, allowRepeats, nearest);
        return {Name(nearest), Name(second)};
    }
    Found Next(orvex::TNoteContext& context, const orvex::NoteSearchStart& start) {
        std::optional<orvex::FoundNote> nearest;
        const auto second = orvex::NextNote(context, start, 4, nearest);
        return {Name(nearest), Name(second)};
    }

    std::vector<hostapi::EntryArray*> m_arrays;
};

TEST_F(MeasureCacheTest, SearchesStepOverRestsAndBarlines) {
    orvex::TNoteContext context(orvex::DispatcherEnvironment(), 1, 0, 1, 0);
    struct Case {
        const char* name;
        bool next;
        int16_t measure;
        int32_t entry;
        int32_t note;
        bool allowRepeats;
        Found found;
    };
    // clang-format off
    const Case cases[] = {
        {"first note, nothing before",  false, 1, 0, 0, false, {"", ""}},
        {"chord place 2, then a single", true, 1, 1, 2, false, {"E4", "F#4"}},
        {"repeats skipped as one",      false, 3, 2, 0, false, {"F#4", "E4"}},
        {"repeats allowed",             false, 3, 2, 0, true,  {"F#4", "F#4"}},
        {"back into a chord",           false, 3, 0, 0, false, {"E4", "D4"}},
        {"last measure ends the search", true, 3, 2, 0, false, {"A4", ""}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const orvex::NoteSearchStart start = Start(c.measure, c.entry, c.note);
        const Found found = c.next ? Next(context, start) : Previous(context.backward, start, c.allowRepeats);
        EXPECT_EQ(found.nearest, c.found.nearest);
        EXPECT_EQ(found.second, c.found.second);
    }
}

TEST_F(MeasureCacheTest, FoundNotesCarryTheirOwnMeasuresKeysAndOldMeasuresAreDropped) {
    orvex::TNoteContext context(orvex::DispatcherEnvironment(), 1, 0, 1, 0);
    std::optional<orvex::FoundNote> nearest;
    const auto second = orvex::NextNote(context, Start(1, 3, 0), 4, nearest);
    ASSERT_TRUE(nearest && second);
    EXPECT_EQ(nearest->measure, 3);
    EXPECT_EQ(nearest->keyA, 2);
    EXPECT_EQ(second->note.harmonicLevel(), 3);                      // G in D major, past the repeated F sharp
    EXPECT_EQ(context.forward.Measures(), std::vector<int32_t>{3});  // measure 2 is dropped
}

TEST_F(MeasureCacheTest, SecondKeyFollowsTheDocumentOptionAsTheWalksOwnKeyDoes) {
    // A staff written two sharps higher: with the document option off both keys are concert.
    host::Bytes staff = *Document().Records().Find(host::RecordKey::Other(hostapi::MakeTag("SOIS"), 1, 0));
    hostapi::WriteI16(staff.data(), 20, 2);
    Document().Records().Save(host::RecordKey::Other(hostapi::MakeTag("SOIS"), 1, 0), staff);
    orvex::TMeasures cache(orvex::DispatcherEnvironment(), 1, 0, 1, 0);
    ASSERT_NE(cache.GetOrLoad(1), nullptr);
    EXPECT_EQ(cache.GetOrLoad(1)->KeyB(), 0);
    orvex::TheModule.dispatch.DocumentOptionFlag = 1;
    ASSERT_NE(cache.GetOrLoad(2), nullptr);
    EXPECT_EQ(cache.GetOrLoad(2)->KeyB(), 2);
    EXPECT_EQ(cache.Measures(), (std::vector<int32_t>{1, 2}));
}

}  // namespace
