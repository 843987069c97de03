// "Process extracted parts...": the part each chord keeps, single notes, and the joining of
// rests, through the simulated host.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/tool_items.h"
#include "platform/hostapi/bytes.h"
#include "tests/support/orvex_host.h"
#include "tests/tools/notes_fixture.h"
#include "tools/layout/process_parts.h"

namespace {

using testsupport::OrvexHostTest;

constexpr int32_t kProcessParts = orvex::ToolCode(orvex::ToolItem::ProcessParts);

class ProcessPartsTest : public OrvexHostTest {
protected:
    /// The entries of layer 1 of a cell: "r" for a rest, else the harmonic levels, top first.
    std::vector<std::string> Cell(int16_t staff, int16_t measure, int16_t layer = 0) {
        std::vector<std::string> words;
        hostapi::EntryArray* array = orvex::LoadEntryArray(0, staff, measure, layer, 1);
        for (int32_t i = 0; array != nullptr && i < array->count; ++i) {
            const hostapi::EntryView entry = array->entry(i);
            std::string word = entry.isNote() ? "" : "r";
            for (int32_t n = entry.notesHeld() - 1; n >= 0 && entry.isNote(); --n) {
                word += std::to_string(entry.note(n).harmonicLevel()) + (n > 0 ? "+" : "");
            }
            words.push_back(word + "/" + std::to_string(entry.duration()));
        }
        orvex::ReleaseEntryArray(array);
        return words;
    }
};

// Measure 3's note is hidden: in the part's only layer it shows again.
TEST_F(ProcessPartsTest, ChordsOfTwoNotesKeepTheirTopNote) {
    StartHost(R"(staff "Flutes"
measures 3
notes 1 1 c5+e5/2 d5+f5/2
notes 1 2 e5+g5/1
notes 1 3 g5/1
entry 1 3:1 +hidden
)");
    Select(1, 1, 1, 3);
    RunWithShift(kProcessParts);
    EXPECT_EQ(Cell(1, 1), (std::vector<std::string>{"9/2048", "10/2048"}));
    EXPECT_EQ(Cell(1, 2), (std::vector<std::string>{"11/4096"}));
    EXPECT_EQ(Cell(1, 3), (std::vector<std::string>{"11/4096"}));
    EXPECT_FALSE(hostapi::ConstEntryView(Document().EntriesOf({1, 3, 0}).at(0).data()).has(hostapi::kEntryHidden));
}

TEST_F(ProcessPartsTest, TupletsOfTheKeptNotesAreShownAgain) {
    // Measure 1's triplet has no display flags; measure 2's has one of the bits 0x000F, which keeps
    // the host's display as it is.
    StartHost(R"(staff "Flutes"
measures 2
notes 1 1 {3:2 c5+e5/4 d5+f5/4 e5+g5/4} r/2
notes 1 2 {3:2 c5+e5/4 d5+f5/4 e5+g5/4} r/2
tuplet 1 2:1 word10 3 flags 0x0002
)");
    Select(1, 1, 1, 2);
    RunWithShift(kProcessParts);
    EXPECT_EQ(Cell(1, 1), (std::vector<std::string>{"9/1024", "10/1024", "11/1024", "r/2048"}));
    const auto flags = [&](int16_t measure) {
        const host::CellEntries& entries = Document().EntriesOf({1, measure, 0});
        const hostapi::EntryNumber first = hostapi::ConstEntryView(entries.at(0).data()).number();
        const host::Bytes* record =
            Document().Records().Find(host::RecordKey::EntryDetail(hostapi::MakeTag("E\x03TP"), first, 0));
        return record == nullptr ? -1 : hostapi::ReadU16(record->data(), 18);
    };
    EXPECT_EQ(flags(1), 0xA001);
    EXPECT_EQ(flags(2), 0x0002);
}

TEST_F(ProcessPartsTest, TheSecondNoteOfAChordAndSingleNotesAsRests) {
    StartHost(R"(staff "Flutes"
measures 1
notes 1 1 c5+e5/2 d5/2
)");
    Select(1, 1, 1, 1);
    win::QueueFormAction("TDActOpt", {win::FormAction::Kind::Set, "Row0", "0"});  // single notes as unisons
    win::QueueFormAction("TDActOpt", {win::FormAction::Kind::Set, "Row1", "2"});  // note no. of two
    win::QueueFormAction("TDActOpt", {win::FormAction::Kind::Click, "Go", ""});
    Invoke(static_cast<int16_t>(orvex::FindCommandIndex(kProcessParts)));
    EXPECT_EQ(Cell(1, 1), (std::vector<std::string>{"7/2048", "r/2048"}));
}

// The two single notes become rests that join into one: the entry taken out takes its records
// with it (an expression on it would come back with the next entry to get its number).
TEST_F(ProcessPartsTest, ARestJoinedAwayTakesItsRecordsWithIt) {
    StartHost(R"(staff "Flutes"
measures 1
expression 1 "p"
expression 2 "f"
notes 1 1 c5+e5/4 d5/4 d5/4 c5+e5/4
noteexpression 1 1:2 1
noteexpression 1 1:3 2
)");
    const auto expressionOf = [&](hostapi::EntryNumber entry) {
        return Document().Records().Find(host::RecordKey::EntryDetail(hostapi::MakeTag("edED"), entry, 0));
    };
    ASSERT_NE(expressionOf(3), nullptr);
    Select(1, 1, 1, 1);
    win::QueueFormAction("TDActOpt", {win::FormAction::Kind::Set, "Row0", "0"});
    win::QueueFormAction("TDActOpt", {win::FormAction::Kind::Set, "Row1", "2"});
    win::QueueFormAction("TDActOpt", {win::FormAction::Kind::Click, "Go", ""});
    Invoke(static_cast<int16_t>(orvex::FindCommandIndex(kProcessParts)));
    EXPECT_EQ(Cell(1, 1), (std::vector<std::string>{"7/1024", "r/2048", "7/1024"}));
    EXPECT_NE(expressionOf(2), nullptr) << "the rest that stays keeps its record";
    EXPECT_EQ(expressionOf(3), nullptr);
}

// An entry that overlaps the one before it (as a damaged file holds it: the quarter placed at
// 512 under the half note) is cleaned away when the layer is settled: its expression goes with
// it, and no record is left naming an entry the document does not hold.
TEST_F(ProcessPartsTest, AnEntryCleanedAwayTakesItsRecordsWithIt) {
    StartHost(R"(staff "Flutes"
measures 1
expression 1 "p"
notes 1 1 c5+e5/2 d5/4 e5/4
entrybytes 1 1:2 at 136 hex 4 0002 0000
noteexpression 1 1:2 1
)");
    const hostapi::EntryNumber overlapping =
        hostapi::ConstEntryView(Document().EntriesOf({1, 1, 0}).at(1).data()).number();
    const host::RecordKey expression = host::RecordKey::EntryDetail(hostapi::MakeTag("edED"), overlapping, 0);
    ASSERT_NE(Document().Records().Find(expression), nullptr);
    Select(1, 1, 1, 1);
    RunWithShift(kProcessParts);
    for (const auto& [cell, entries] : Document().Cells()) {
        for (const host::EntryBytes& entry : entries) {
            EXPECT_NE(hostapi::ConstEntryView(entry.data()).number(), overlapping);
        }
    }
    EXPECT_EQ(Document().Records().Find(expression), nullptr);
}

TEST_F(ProcessPartsTest, AnEmptiedMeasureLosesTheExpressionsOfItsStaff) {
    StartHost(R"(staff "Flutes"
staff "Oboe"
measures 2
notes 1 1 c5/1
notes 1 2 c5+e5/1
notes 2 1 c4/1
expression 1 "p"
measureexpression 1 1 staff 1
measureexpression 2 1 staff 1 at 1024
measureexpression 1 1 staff 2 at 2048
)");
    Select(1, 1, 1, 2);
    // The single note of measure 1 becomes a rest; "Clear empty measures" then empties the cell.
    win::QueueFormAction("TDActOpt", {win::FormAction::Kind::Set, "Row0", "0"});
    win::QueueFormAction("TDActOpt", {win::FormAction::Kind::Click, "Go", ""});
    Invoke(static_cast<int16_t>(orvex::FindCommandIndex(kProcessParts)));
    EXPECT_TRUE(Cell(1, 1).empty());
    EXPECT_EQ(Cell(1, 2), (std::vector<std::string>{"9/4096"}));
    const auto placed = [&](int16_t measure) {
        std::vector<std::pair<int16_t, int16_t>> staves;  // (staff word, position)
        for (int16_t inci = 0;; ++inci) {
            const host::Bytes* record =
                Document().Records().Find(host::RecordKey::Other(hostapi::MakeTag("otDY"), measure, inci));
            if (record == nullptr) {
                return staves;
            }
            staves.emplace_back(hostapi::ReadI16(record->data(), 10), hostapi::ReadI16(record->data(), 2));
        }
    };
    EXPECT_EQ(placed(1), (std::vector<std::pair<int16_t, int16_t>>{{0x1002, 2048}})) << "the oboe's stays";
    EXPECT_EQ(placed(2), (std::vector<std::pair<int16_t, int16_t>>{{0x1001, 1024}})) << "measure 2 kept its note";
}

TEST_F(ProcessPartsTest, AnIgnoredLayerBetweenLoadedOnesKeepsEveryNote) {
    // Layer 1 is empty, layer 2 is ignored, layer 3 holds the part, layer 4 is empty: the part
    // moves to layer 1, the empty layers take the other loaded numbers and layer 2 stays as it
    // was.
    StartHost(R"(staff "Flutes"
measures 1
notes 1 1 layer 2 g4/1
notes 1 1 layer 3 c5/1
)");
    Select(1, 1, 1, 1);
    win::QueueFormAction("TDActOpt", {win::FormAction::Kind::Set, "Row8", "2"});  // ignore layer 2
    win::QueueFormAction("TDActOpt", {win::FormAction::Kind::Click, "Go", ""});
    Invoke(static_cast<int16_t>(orvex::FindCommandIndex(kProcessParts)));
    EXPECT_EQ(Cell(1, 1, 0), (std::vector<std::string>{"7/4096"}));
    EXPECT_EQ(Cell(1, 1, 1), (std::vector<std::string>{"4/4096"}));
    EXPECT_EQ(Cell(1, 1, 2), (std::vector<std::string>{}));
    EXPECT_EQ(Cell(1, 1, 3), (std::vector<std::string>{}));
}

struct JoinCase {
    const char* name;
    const char* time;
    const char* music;
    int32_t index;  ///< the first of the two entries
    int32_t secondMark;
    std::vector<int32_t> durations;  ///< of the layer after the join
};

void PrintTo(const JoinCase& c, std::ostream* os) {
    *os << c.name;
}

class JoinRestsTest : public ProcessPartsTest, public testing::WithParamInterface<JoinCase> {};

TEST_P(JoinRestsTest, RestsJoinIntoPlainOrDottedValuesOnly) {
    const JoinCase& c = GetParam();
    StartHost(std::string("staff \"Flutes\"\nmeasures 1 time ") + c.time + "\nnotes 1 1 " + c.music + "\n");
    orvex::EDTMeasureSpec measureRecord;
    ASSERT_TRUE(orvex::LoadMeasureSpec(1, measureRecord));
    hostapi::EntryArray* array = orvex::LoadEntryArray(0, 1, 1, 0, 1);
    ASSERT_NE(array, nullptr);
    orvex::JoinAdjacentRests(array, c.index, measureRecord, 0, c.secondMark);
    std::vector<int32_t> durations;
    for (int32_t i = 0; i < array->count; ++i) {
        durations.push_back(array->entry(i).duration());
    }
    orvex::ReleaseEntryArray(array);
    EXPECT_EQ(durations, c.durations);
}

INSTANTIATE_TEST_SUITE_P(
    ProcessParts, JoinRestsTest,
    testing::Values(
        JoinCase{"TwoEighthsInOneBeat", "4/4", "r/8 r/8 c5/2.", 0, 0, {1024, 3072}},
        JoinCase{"FiveQuarters", "5/4", "r/2 r/2.", 0, 0, {2048, 3072}},
        JoinCase{"ANoteStaysApart", "4/4", "r/4 c5/4 r/2", 0, 0, {1024, 1024, 2048}},
        JoinCase{"AcrossBeatsAWholeBeat", "4/4", "c5/8 r/8 r/8 c5/8 r/2", 1, 1, {512, 1024, 512, 2048}},
        JoinCase{"AcrossBeatsNotAWholeBeat", "4/4", "c5/8 r/8 r/16 c5/16 c5/2", 1, 0, {512, 512, 256, 256, 2048}}),
    [](const testing::TestParamInfo<JoinCase>& testCase) { return std::string(testCase.param.name); });

ORDINARY_MUSIC_CASES(ProcessParts, "tests/tools/ordinary.cases", "process parts");

}  // namespace
