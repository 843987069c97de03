// Find and Compare Entries end to end: the commands chosen from the host's menu on a one-staff
// score, their result lines in the options dialog that stays open, and the markers Compare
// Entries writes into the score. Compare runs twice on one dialog: read, the test changes the
// document, then compare.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "core/tool_items.h"
#include "platform/host/document_commands.h"
#include "tests/tools/notes_fixture.h"

namespace {

using testsupport::Setting;

constexpr int32_t kFind = orvex::ToolCode(orvex::ToolItem::Find);
constexpr int32_t kCompare = orvex::ToolCode(orvex::ToolItem::CompareEntries);

constexpr const char* kScore = R"(
staff "Flute"
measures 8
notes 1 1 c5/4 d5/4 e5/4 f5/4
notes 1 2 c5/2 d5/2
notes 1 3 c5/2 d5/2
notes 1 4 e5/2 f5/2
notes 1 5 f#5/2 g5/2
notes 1 6 c5/1
notes 1 7 f#5/2 gb5/2
notes 1 8 c5/1
expression 1 "pizz." 
expression 2 "arco"
measureexpression 3 1 at 1024 staff 1
noteexpression 1 6:1 2
)";

/// A marker in the score: its text, position and vertical offset.
using Marker = std::tuple<std::string, int16_t, int16_t>;

class FindCompareTest : public testsupport::NotesTest {
protected:
    void SetUp() override {
        NotesTest::SetUp();
        StartHost(kScore);
        Select(1, 1, 1, 8);
    }

    /// Reads the region, lets `edit` change the document, then compares from the same dialog.
    std::vector<std::string> ReadThenCompare(const std::function<void()>& edit, std::vector<Setting> settings = {}) {
        RunTool(kCompare, settings);
        EXPECT_EQ(ResultLines(), std::vector<std::string>{"Data has been read."});
        edit();
        EXPECT_TRUE(ClickOkInOpenDialog());
        return ResultLines();
    }

    void EditPitch(int16_t measure, size_t index, int16_t level, int16_t alteration) {
        EditEntry(1, measure, index, [&](hostapi::EntryView entry) {
            hostapi::WriteI16(entry.note(0).data(), hostapi::NoteLayout::kHarmonicLevel, level);
            hostapi::WriteI16(entry.note(0).data(), hostapi::NoteLayout::kAlteration, alteration);
        });
    }
    void DeleteEntries(int16_t measure, size_t first, size_t count) {
        const host::CellKey key{1, measure, 0};
        host::CellEntries entries = Document().EntriesOf(key);
        entries.erase(entries.begin() + static_cast<ptrdiff_t>(first),
                      entries.begin() + static_cast<ptrdiff_t>(first + count));
        Document().SetEntries(key, entries);
    }

    /// The markers placed in a measure.
    std::vector<Marker> Markers(int16_t measure) {
        std::vector<Marker> markers;
        for (int16_t inci = 0;; ++inci) {
            const host::Bytes* placement =
                Document().Records().Find(host::RecordKey::Other(hostapi::MakeTag("otDY"), measure, inci));
            if (placement == nullptr) {
                return markers;
            }
            const int16_t number = hostapi::ReadI16(placement->data(), 0);
            const host::Bytes* expression =
                Document().Records().Find(host::RecordKey::Other(hostapi::MakeTag("SODT"), number, 0));
            if (number > 2 && expression != nullptr) {
                markers.emplace_back(reinterpret_cast<const char*>(expression->data()) + 12,
                                     hostapi::ReadI16(placement->data(), 2), hostapi::ReadI16(placement->data(), 4));
            }
        }
    }
};

TEST_F(FindCompareTest, AStoppedFindListsWhatItFoundAndSaysItStopped) {
    // Every measure holds entries: the user stops the run at measure 5.
    host::StopProgressAt(*m_host, 5);
    RunTool(kFind, {{"Row1", "1"}});
    EXPECT_EQ(ResultLines(), (std::vector<std::string>{"meas 1-4", "Stopped before measure 5."}));
}

TEST_F(FindCompareTest, AStoppedFindWithoutHitsSaysBoth) {
    host::StopProgressAt(*m_host, 2);
    RunTool(kFind, {{"Row3", "tutti"}});
    EXPECT_EQ(ResultLines(), (std::vector<std::string>{"Nothing found.", "Stopped before measure 2."}));
}

TEST_F(FindCompareTest, UnchangedRegionListsNoChanges) {
    EXPECT_EQ(ReadThenCompare([] {}), std::vector<std::string>{"No changes detected."});
    for (int16_t measure = 1; measure <= 8; ++measure) {
        EXPECT_TRUE(Markers(measure).empty()) << "measure " << measure;
    }
}

TEST_F(FindCompareTest, ChangedPitchIsListedAndMarked) {
    EXPECT_EQ(ReadThenCompare([this] { EditPitch(4, 0, 3, 0); }), std::vector<std::string>{"meas 4"});
    EXPECT_EQ(Markers(4), (std::vector<Marker>{{"NOTE", 0, -260}}));
}

TEST_F(FindCompareTest, DeletedEntryIsMarkedAtTheNextEntryOfItsMeasure) {
    EXPECT_EQ(ReadThenCompare([this] { DeleteEntries(3, 0, 1); }), std::vector<std::string>{"meas 3"});
    EXPECT_EQ(Markers(3), (std::vector<Marker>{{"<-FEWER", 2048, -260}}));
}

TEST_F(FindCompareTest, EmptiedMeasureIsMarkedAtItsStart) {
    EXPECT_EQ(ReadThenCompare([this] { DeleteEntries(3, 0, 2); }), std::vector<std::string>{"meas 3"});
    EXPECT_EQ(Markers(3), (std::vector<Marker>{{"FEWER", 0, -260}}));
    EXPECT_TRUE(Markers(4).empty());
}

TEST_F(FindCompareTest, EnharmonicRespellingCountsAsEqualWhenIgnored) {
    // F sharp (level 10, raised) becomes G flat (level 11, lowered).
    const auto respell = [this] { EditPitch(5, 0, 11, -1); };
    EXPECT_EQ(ReadThenCompare(respell, {{"Row5", "1"}}), std::vector<std::string>{"No changes detected."});
    StartHost(kScore);
    Select(1, 1, 1, 8);
    EXPECT_EQ(ReadThenCompare(respell, {{"Row5", "0"}}), std::vector<std::string>{"meas 5"});
}

TEST_F(FindCompareTest, CompareWithoutAReadRefusesAndMarksNothing) {
    RunTool(kCompare, {{"Row1", "0"}, {"Row2", "1"}});
    EXPECT_EQ(Messages(),
              std::vector<std::string>{
                  "Nothing has been read to compare with: run Compare Entries with \\\"Read now:\\\" first."});
    EXPECT_TRUE(Markers(1).empty());
}

struct FindCase {
    const char* name;
    std::vector<Setting> settings;
    std::vector<std::string> lines;
};

void PrintTo(const FindCase& c, std::ostream* out) {
    *out << c.name;
}

class FindTest : public FindCompareTest, public ::testing::WithParamInterface<FindCase> {};

TEST_P(FindTest, ListsTheMeasuresWithHits) {
    RunTool(kFind, GetParam().settings);
    EXPECT_EQ(ResultLines(), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(Find, FindTest,
                         ::testing::Values(FindCase{"AllEntries", {{"Row1", "1"}}, {"meas 1-8"}},
                                           FindCase{"MeasureExpression", {{"Row3", "PIZ"}}, {"meas 3"}},
                                           FindCase{"NoteExpression", {{"Row3", "arco"}}, {"meas 6"}},
                                           FindCase{"Enharmonic", {{"Row2", "1"}}, {"meas 7"}},
                                           FindCase{"Nothing", {{"Row3", "senza"}}, {"Nothing found."}}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

ORDINARY_MUSIC_CASES(FindCompare, "tests/tools/ordinary.cases", "find compare");

}  // namespace
