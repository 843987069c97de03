// A damaged record of the document, one the host holds with fewer bytes than its layout has, is
// reported once by the loader that meets it, naming its tag and keys; the loader answers as it
// did before and the command goes on as it would have, so the document is left as it was.
#include <array>
#include <climits>
#include <string>
#include <vector>

#include "core/host/access_state.h"
#include "core/host/finxess_entries.h"
#include "core/host/finxess_regions.h"
#include "core/host/staff_systems.h"
#include "core/tool_items.h"
#include "platform/host/cell_dump.h"
#include "platform/host/record_dump.h"
#include "platform/host/score_text.h"
#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/music_records.h"
#include "tests/support/case_names.h"
#include "tests/tools/notes_fixture.h"

namespace {

constexpr int32_t kFind = orvex::ToolCode(orvex::ToolItem::Find);
constexpr int32_t kCompare = orvex::ToolCode(orvex::ToolItem::CompareEntries);
constexpr int32_t kCreateSlurs = orvex::ToolCode(orvex::ToolItem::CreateSlurs);
constexpr int32_t kMeasureWidths = orvex::ToolCode(orvex::ToolItem::MeasureWidths);

constexpr const char* kScore = R"(
staff "Flute"
measures 8
notes 1 1 c5/4 d5/4 e5/4 f5/4
notes 1 3 c5/2 d5/2
notes 1 6 c5/1
expression 1 "pizz."
expression 2 "arco"
measureexpression 3 1 at 1024 staff 1
noteexpression 1 6:1 2
articulation 1 "." place above
notearticulation 1 1:1 1
)";

class DamagedRecordsTest : public testsupport::NotesTest {
protected:
    void SetUp() override {
        NotesTest::SetUp();
        StartHost(kScore);
        Select(1, 1, 1, 8);
    }
    /// Cuts the stored record down to its first `bytes` bytes.
    void Truncate(const host::RecordKey& key, size_t bytes) {
        const host::Bytes* stored = Document().Records().Find(key);
        ASSERT_NE(stored, nullptr);
        ASSERT_GT(stored->size(), bytes);
        Document().Records().Save(key, host::Bytes(stored->begin(), stored->begin() + static_cast<ptrdiff_t>(bytes)));
    }
    /// The whole document as listed: every record and every cell.
    std::vector<std::string> Listing() {
        std::vector<std::string> lines = host::RecordListing(Document());
        const std::vector<std::string> cells = host::CellListing(Document(), {}, {});
        lines.insert(lines.end(), cells.begin(), cells.end());
        return lines;
    }
    hostapi::EntryNumber EntryOfMeasure6() { return View(Cell(1, 6).at(0)).number(); }
    hostapi::EntryNumber EntryOfMeasure1() { return View(Cell(1, 1).at(0)).number(); }
};

TEST_F(DamagedRecordsTest, AShortMeasureExpressionIsReportedOnceAndFindChangesNothing) {
    Truncate(host::RecordKey::Other(hostapi::MakeTag("otDY"), 3, 0), 6);
    const std::vector<std::string> before = Listing();
    RunTool(kFind, {{"Row3", "PIZ"}});
    EXPECT_EQ(Messages(), std::vector<std::string>{"The record 'otDY' (3, 0) of the document is damaged: it holds 6 "
                                                   "bytes where 12 are expected."});
    EXPECT_EQ(Listing(), before);
}

TEST_F(DamagedRecordsTest, AShortNoteExpressionIsReportedOnceAndFindChangesNothing) {
    const hostapi::EntryNumber entry = EntryOfMeasure6();
    Truncate(host::RecordKey::EntryDetail(hostapi::MakeTag("edED"), entry, 0), 4);
    const std::vector<std::string> before = Listing();
    RunTool(kFind, {{"Row3", "arco"}});
    EXPECT_EQ(Messages(), std::vector<std::string>{"The record 'edED' (" + std::to_string(entry) +
                                                   ", 0) of the document is damaged: it holds 4 bytes where 10 are "
                                                   "expected."});
    EXPECT_EQ(Listing(), before);
}

TEST_F(DamagedRecordsTest, SeveralDamagedRecordsGiveOneMessageThatCountsThem) {
    const hostapi::EntryNumber entry = EntryOfMeasure6();
    Truncate(host::RecordKey::Other(hostapi::MakeTag("otDY"), 3, 0), 6);
    Truncate(host::RecordKey::EntryDetail(hostapi::MakeTag("edED"), entry, 0), 4);
    RunTool(kFind, {{"Row3", "arco"}});
    EXPECT_EQ(Messages(), std::vector<std::string>{"2 records of the document are damaged, among them 'otDY' (3, 0)."});
}

// The report knows a document by the identity the host gives it: another document of the same
// name has its own damaged records reported, and a document closed is forgotten.
TEST_F(DamagedRecordsTest, ADocumentOfTheSameNameIsReportedTooAndAClosedOneIsForgotten) {
    const std::string message =
        "The record 'otDY' (3, 0) of the document is damaged: it holds 6 bytes where 12 are "
        "expected.";
    m_host->AddDocument(host::ParseScoreText(kScore, "score"));
    for (int document : {1, 2}) {
        m_host->BringToFront(document);
        Select(1, 1, 1, 8);
        Truncate(host::RecordKey::Other(hostapi::MakeTag("otDY"), 3, 0), 6);
        RunTool(kFind, {{"Row3", "PIZ"}});
        RunTool(kFind, {{"Row3", "PIZ"}});
    }
    EXPECT_EQ(Messages(), (std::vector<std::string>{message, message}));
    EXPECT_EQ(orvex::TheAccessLayer.damagedRecords.size(), 2u);
    ASSERT_TRUE(m_host->CloseFront());
    Select(1, 1, 1, 8);
    RunTool(kFind, {{"Row3", "PIZ"}});
    EXPECT_EQ(orvex::TheAccessLayer.damagedRecords.size(), 1u) << "the closed document is forgotten";
    EXPECT_EQ(Messages().size(), 2u) << "the document still open was told already";
}

// One short staff record: the cells' staff records the host derives from it are not counted.
TEST_F(DamagedRecordsTest, AShortStaffRecordIsReportedAsTheOneRecordTheDocumentHolds) {
    Truncate(host::RecordKey::Other(hostapi::kTagStaff, 1, 0), 30);
    RunTool(kCreateSlurs);
    EXPECT_EQ(Messages(), std::vector<std::string>{"The record 'SOIS' (1, 0) of the document is damaged: it holds 30 "
                                                   "bytes where 66 are expected."});
}

// A measure record that loaded short is not saved back padded (a measure of no length): Measure
// Widths leaves it as the document holds it and says so, in this command and in a later one.
TEST_F(DamagedRecordsTest, AShortMeasureRecordIsLeftAsTheDocumentHoldsIt) {
    StartHost("staff \"Flute\"\nmeasures 3\nnotes 1 1 c5/1\nnotes 1 3 c5/1\n");
    Select(1, 1, 1, 3);
    const host::RecordKey measure2 = host::RecordKey::Other(hostapi::kTagMeasure, 2, 0);
    Truncate(measure2, 6);
    const host::Bytes held = *Document().Records().Find(measure2);
    const std::string message =
        "The record 'SOMS' (2, 0) of the document is damaged: it holds 6 bytes where 24 are "
        "expected. It is left as the document holds it.";
    RunTool(kMeasureWidths, {{"Row1", "150"}});
    EXPECT_EQ(*Document().Records().Find(measure2), held);
    RunTool(kMeasureWidths, {{"Row1", "150"}});
    EXPECT_EQ(*Document().Records().Find(measure2), held);
    EXPECT_EQ(Messages(), (std::vector<std::string>{message, message}));
    // A record written whole since (by the host's own edit) is saved again as asked.
    Document().Records().Save(measure2, host::Bytes(24, 0));
    RunTool(kMeasureWidths, {{"Row1", "150"}});
    EXPECT_EQ(Document().Records().Find(measure2)->size(), 24u);
    EXPECT_EQ(hostapi::ReadI16(Document().Records().Find(measure2)->data(), 0), 150);
    EXPECT_EQ(Messages().size(), 2u);
}

// An entry whose actual duration no measure holds (a damaged file the reader accepts) is read
// within range and reported once; the tools that sum entry ends run over it without overflow.
struct HugeEntryCase {
    const char* name;
    int32_t code;
};

class HugeEntryTest : public DamagedRecordsTest, public ::testing::WithParamInterface<HugeEntryCase> {};

TEST_P(HugeEntryTest, IsReadWithinRangeAndReported) {
    EditEntry(1, 1, 1, [](hostapi::EntryView entry) { entry.setActualDuration(INT32_MAX); });
    const std::string number = std::to_string(View(Cell(1, 1).at(1)).number());
    RunTool(GetParam().code);
    EXPECT_EQ(Messages(), std::vector<std::string>{"The entry " + number +
                                                   " of staff 1, measure 1 is damaged: its "
                                                   "position or duration lies out of range and is read within it."});
}

// A notated duration of no length (-32768 in a damaged file) is read as 1 EDU and reported the
// same way; the tools that split durations into values and dots run over it.
TEST_P(HugeEntryTest, ANotatedDurationOfNoLengthIsReadWithinRangeAndReported) {
    EditEntry(1, 1, 1, [](hostapi::EntryView entry) { entry.setDuration(-32768); });
    const std::string number = std::to_string(View(Cell(1, 1).at(1)).number());
    RunTool(GetParam().code);
    EXPECT_EQ(Messages(), std::vector<std::string>{"The entry " + number +
                                                   " of staff 1, measure 1 is damaged: its "
                                                   "position or duration lies out of range and is read within it."});
}

INSTANTIATE_TEST_SUITE_P(Tools, HugeEntryTest,
                         ::testing::Values(HugeEntryCase{"ProcessExtractedParts", 126},
                                           HugeEntryCase{"FillWithRests", 149}, HugeEntryCase{"Analyze", 164}),
                         testsupport::NameBy(&HugeEntryCase::name));

TEST_F(DamagedRecordsTest, AWholeRecordIsNotReported) {
    const std::vector<std::string> before = Listing();
    RunTool(kFind, {{"Row3", "arco"}});
    EXPECT_EQ(ResultLines(), std::vector<std::string>{"meas 6"});
    EXPECT_EQ(Messages(), std::vector<std::string>{});
    EXPECT_EQ(Listing(), before);
}

TEST_F(DamagedRecordsTest, AShortStaffRecordOfACellIsReportedOnceAndStillLoads) {
    // The loader's answer stays the host's: the record is there, read as far as it goes.
    Document().Records().Save(host::RecordKey::Detail(hostapi::kTagStaffSpec, 1, 2, 0), host::Bytes(30, 0));
    std::array<uint8_t, hostapi::StaffSpecLayout::kSize> buffer{};
    EXPECT_TRUE(orvex::LoadRecordSOSC(1, 2, 0, buffer.data()));
    EXPECT_TRUE(orvex::LoadRecordSOSC(1, 2, 0, buffer.data()));
    EXPECT_EQ(Messages(), std::vector<std::string>{"The record 'SOSC' (1, 2, 0) of the document is damaged: it holds "
                                                   "30 bytes where 66 are expected."});
}

// One short record for each family of loader that reads its records through the check: an entry
// detail record read by a tool, an other record and a detail record read by the core, and a
// global record read by the options dialog.

TEST_F(DamagedRecordsTest, AWholeArticulationIsNotReportedByCompare) {
    // Compare reads an articulation at its layout's 10 bytes, not more.
    const std::vector<std::string> before = Listing();
    RunTool(kCompare);
    EXPECT_EQ(ResultLines(), std::vector<std::string>{"Data has been read."});
    EXPECT_EQ(Messages(), std::vector<std::string>{});
    EXPECT_EQ(Listing(), before);
}

TEST_F(DamagedRecordsTest, AShortArticulationIsReportedOnceAndCompareChangesNothing) {
    const hostapi::EntryNumber entry = EntryOfMeasure1();
    Truncate(host::RecordKey::EntryDetail(hostapi::kTagArticulation, entry, 0), 4);
    const std::vector<std::string> before = Listing();
    RunTool(kCompare);
    EXPECT_EQ(ResultLines(), std::vector<std::string>{"Data has been read."});
    EXPECT_EQ(Messages(), std::vector<std::string>{"The record 'edIM' (" + std::to_string(entry) +
                                                   ", 0) of the document is damaged: it holds 4 bytes where 10 are "
                                                   "expected."});
    EXPECT_EQ(Listing(), before);
}

TEST_F(DamagedRecordsTest, AShortPageRecordIsReportedOnceAndThePageIsStillListed) {
    Document().Records().Save(host::RecordKey::Other(hostapi::kTagPage, 1, 0), host::Bytes(8, 0));
    const std::vector<std::string> before = Listing();
    EXPECT_EQ(orvex::TPages().Count(), 1);
    EXPECT_EQ(orvex::TPages().Count(), 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{"The record 'SOPS' (1, 0) of the document is damaged: it holds 8 "
                                                   "bytes where 22 are expected."});
    EXPECT_EQ(Listing(), before);
}

TEST_F(DamagedRecordsTest, AShortCellClefIsReportedOnceAndItsClefIsRead) {
    // The first word of the cell's clef record names the clef: 3, held in 2 of its 12 bytes.
    host::Bytes clef(2, 0);
    clef[0] = 3;
    Document().Records().Save(host::RecordKey::Detail(hostapi::kTagCellClef, 1, 2, 0), clef);
    const std::vector<std::string> before = Listing();
    EXPECT_EQ(orvex::ClefAt(1, 2, 0, false, nullptr), 3);
    EXPECT_EQ(orvex::ClefAt(1, 2, 0, false, nullptr), 3);
    EXPECT_EQ(Messages(), std::vector<std::string>{"The record 'SDGF' (1, 2, 0) of the document is damaged: it holds "
                                                   "2 bytes where 12 are expected."});
    EXPECT_EQ(Listing(), before);
}

TEST_F(DamagedRecordsTest, AShortProgramPreferencesRecordIsReportedOnceAndFindRunsAsBefore) {
    Document().Records().Save(host::RecordKey::Global(hostapi::kTagProgramPreferences, 0), host::Bytes(4, 0));
    const std::vector<std::string> before = Listing();
    RunTool(kFind, {{"Row3", "arco"}});
    EXPECT_EQ(ResultLines(), std::vector<std::string>{"meas 6"});
    EXPECT_EQ(Messages(), std::vector<std::string>{"The record 'pfgp' (0) of the document is damaged: it holds 4 "
                                                   "bytes where 61 are expected."});
    EXPECT_EQ(Listing(), before);
}

}  // namespace
