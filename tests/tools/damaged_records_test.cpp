// A damaged record of the document, one the host holds with fewer bytes than its layout has, is
// reported once by the loader that meets it, naming its tag and keys; the loader answers as it
// did before and the command goes on as it would have, so the document is left as it was.
#include <array>
#include <string>
#include <vector>

#include "core/host/finxess_regions.h"
#include "platform/host/cell_dump.h"
#include "platform/host/record_dump.h"
#include "platform/hostapi/music_records.h"
#include "tests/tools/notes_fixture.h"

namespace {

constexpr int32_t kFind = 132;

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

}  // namespace
