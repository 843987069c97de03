// Finxess over regions and record sets against the simulated host: the region walk inside the
// host's progress display (and the user stopping it), the 'edac' cursor, copying and taking
// clefs, the staff-membership lists, 'otDI' deletion, measure expressions and staff records.
#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>

#include "core/host/access_state.h"
#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/finxess_regions.h"
#include "core/host/host_imports.h"
#include "core/module.h"
#include "core/startup.h"
#include "platform/host/host.h"
#include "platform/host/score_text.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/music_records.h"
#include "platform/win/transcript.h"
#include "tests/support/fixture.h"

namespace {

using namespace orvex;
using hostapi::MakeTag;

constexpr const char* kScore = R"(
staff "Flute"
staff "Cello"
staff "Harp"
measures 2 time 4/4
notes 1 1 c4/4 d4/4 e4/2
notes 1 2 f4/1
notes 2 1 layer 2 c3/1
)";

class FinxessRegionsTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        ResetModule();
        TheAccessLayer.host.year = 2000;
        m_host = std::make_unique<host::Host>();
        m_host->AddDocument(host::ParseScoreText(kScore, "walk"));
        win::ClearTranscript();
    }
    void TearDown() override {
        ExpectNothingLeft();
        m_host.reset();
        ResetHostImports();
        DesktopTest::TearDown();
    }

    host::RecordStore& Store() { return m_host->FrontDocument()->Records(); }
    int16_t Word(const host::RecordKey& key, size_t offset) {
        const host::Bytes* bytes = Store().Find(key);
        return bytes == nullptr ? -9999 : hostapi::ReadI16(bytes->data(), offset);
    }

    /// The entries a walk visits: (staff, measure, layer, entry number).
    using Visit = std::tuple<int16_t, int16_t, int16_t, EntryNumber>;
    std::vector<Visit> Walk(const hostapi::SelectionRecord& region, bool* completed = nullptr) {
        std::vector<Visit> visits;
        const bool done = RegionWalk(region, [&](RegionWalkState& state, EntryArray& array, int32_t index) {
            visits.emplace_back(state.staff, state.measure, state.layer, array.entry(index).number());
            EXPECT_EQ(state.instrument, state.staff) << "view 0 lists the staves in order";
        });
        if (completed != nullptr) {
            *completed = done;
        }
        return visits;
    }

    static hostapi::SelectionRecord Region(Edu start, Edu end) {
        hostapi::SelectionRecord region;
        region.setFirstStaff(1);
        region.setLastStaff(2);
        region.setFirstMeasure(1);
        region.setLastMeasure(2);
        region.setStartEdu(start);
        region.setEndEdu(end);
        return region;
    }

    std::unique_ptr<host::Host> m_host;
};

// ---- Region walk ----

TEST_F(FinxessRegionsTest, RegionWalkVisitsTheEntriesBetweenStartAndEnd) {
    bool completed = false;
    EXPECT_EQ(Walk(Region(0, 1024), &completed),
              (std::vector<Visit>{{1, 1, 0, 1}, {1, 1, 0, 2}, {1, 1, 0, 3}, {1, 2, 0, 4}, {2, 1, 1, 5}}));
    EXPECT_TRUE(completed);
    testsupport::ExpectLines({"host: progress begins: 4 steps", "host: progress ends after 4 of 4 steps"},
                             win::TranscriptLines());

    // From 1024 in the first measure; an end of 0 means the end of the last measure.
    EXPECT_EQ(Walk(Region(1024, 0)), (std::vector<Visit>{{1, 1, 0, 2}, {1, 1, 0, 3}, {1, 2, 0, 4}}));

    // Within one measure the entry that starts at the end position is visited too.
    hostapi::SelectionRecord first = Region(0, 1024);
    first.setLastMeasure(1);
    EXPECT_EQ(Walk(first), (std::vector<Visit>{{1, 1, 0, 1}, {1, 1, 0, 2}, {2, 1, 1, 5}}));
}

TEST_F(FinxessRegionsTest, AStopAtTheFirstStepStillEndsTheBracket) {
    m_host->Progress().StopNextAt(1);
    bool completed = true;
    EXPECT_TRUE(Walk(Region(0, 0), &completed).empty());
    EXPECT_FALSE(completed);
    testsupport::ExpectLines({"host: progress begins: 4 steps", "host: progress: the user stops at step 1 of 4",
                              "host: progress ends after 1 of 4 steps (stopped)"},
                             win::TranscriptLines());
    EXPECT_FALSE(m_host->Progress().IsOpen());
}

TEST_F(FinxessRegionsTest, AStopAtTheThirdStepLeavesTheSecondStaff) {
    m_host->Progress().StopNextAt(3);
    bool completed = true;
    EXPECT_EQ(Walk(Region(0, 0), &completed),
              (std::vector<Visit>{{1, 1, 0, 1}, {1, 1, 0, 2}, {1, 1, 0, 3}, {1, 2, 0, 4}}));
    EXPECT_FALSE(completed);
    EXPECT_EQ(win::TranscriptLines().back(), "host: progress ends after 3 of 4 steps (stopped)");
    // The stop was for one display: the next walk runs through.
    EXPECT_EQ(Walk(Region(0, 0)).size(), 5u);
}

TEST_F(FinxessRegionsTest, AScopedBracketEndsOnceWhereverItsScopeIsLeft) {
    // Steps until the host says stop; ends as stopped only when asked to.
    const auto work = [](bool endStopped) {
        ScopedEditBracket bracket(nullptr, 3);
        for (int32_t step = 1; step <= 3; ++step) {
            if (!bracket.Step(0, 0)) {
                return;
            }
            if (step == 2 && endStopped) {
                bracket.End(true);
                bracket.End(false);
                return;
            }
        }
    };
    work(false);
    work(true);
    m_host->Progress().StopNextAt(1);
    work(false);
    // An exception that leaves the scope ends the display as stopped too.
    EXPECT_THROW(
        {
            ScopedEditBracket bracket(nullptr, 3);
            bracket.Step();
            throw std::runtime_error("the work failed");
        },
        std::runtime_error);
    testsupport::ExpectLines(
        {"host: progress begins: 3 steps", "host: progress ends after 3 of 3 steps", "host: progress begins: 3 steps",
         "host: progress ends after 2 of 3 steps (stopped)", "host: progress begins: 3 steps",
         "host: progress: the user stops at step 1 of 3", "host: progress ends after 1 of 3 steps (stopped)",
         "host: progress begins: 3 steps", "host: progress ends after 1 of 3 steps (stopped)"},
        win::TranscriptLines());
    EXPECT_FALSE(m_host->Progress().IsOpen());
}

// ---- The 'edac' cursor ----

TEST_F(FinxessRegionsTest, CursorHoldsOneRecordPerNote) {
    auto chordDocument = host::ParseScoreText("staff \"A\"\nmeasures 1\nnotes 1 1 c4+e4+g4/1\n", "chord");
    hostapi::EntryRecord entry;
    std::copy(chordDocument->EntriesOf({1, 1, 0})[0].begin(), chordDocument->EntriesOf({1, 1, 0})[0].end(),
              entry.bytes.begin());
    entry.view().setNumber(4000);

    RecordCursor cursor;
    RecordCursorInit(cursor);
    RecordCursorOpen(cursor, entry.data());
    ASSERT_EQ(RecordCursorCount(cursor), 3);
    for (int16_t n = 0; n < 3; ++n) {
        SCOPED_TRACE(n);
        const uint8_t* record = RecordCursorAt(cursor, n);
        EXPECT_EQ(hostapi::ReadI16(record, 0), n + 1) << "the note's identifier";
        for (size_t word = 1; word < 5; ++word) {
            EXPECT_EQ(hostapi::ReadI16(record, 2 * word), 0);
        }
    }
    EXPECT_EQ(RecordCursorAt(cursor, 3), nullptr);

    // Stored records replace the note's blank one; the loads stop at the first missing inci.
    const Tag edac = MakeTag("edac");
    const auto put = [&](int16_t inci, int16_t note, int16_t pitchChange) {
        host::Bytes record(10, 0);
        hostapi::WriteI16(record.data(), 0, note);
        hostapi::WriteI16(record.data(), 6, pitchChange);
        Store().Save(host::RecordKey::EntryDetail(edac, 4000, inci), record);
    };
    put(0, 3, 7);
    put(2, 1, 9);
    RecordCursorOpen(cursor, entry.data());
    EXPECT_EQ(hostapi::ReadI16(RecordCursorAt(cursor, 2), 6), 7);
    EXPECT_EQ(hostapi::ReadI16(RecordCursorAt(cursor, 0), 6), 0);

    hostapi::WriteI16(RecordCursorAt(cursor, 1), 8, -2);
    ASSERT_TRUE(RecordCursorSave(cursor, entry.data()));
    EXPECT_EQ(Word(host::RecordKey::EntryDetail(edac, 4000, 0), 0), 1);
    EXPECT_EQ(Word(host::RecordKey::EntryDetail(edac, 4000, 1), 8), -2);
    EXPECT_EQ(Word(host::RecordKey::EntryDetail(edac, 4000, 2), 6), 7);
}

// ---- Clefs of a staff ----

// A staff added without clef records (the explosion's new staves) takes the source's clefs too.
TEST_F(FinxessRegionsTest, CopyingClefsMakesTheRecordsTheTargetLacks) {
    m_host->AddDocument(host::ParseScoreText(
        "staff \"A\"\nstaff \"B\"\nmeasures 3\nclef 1 1 alto\nclef 1 2 treble bass@2048\nclef 2 1 bass\n", "clefs"));
    const auto clef = [&](int16_t staff, int16_t measure) {
        return Word(host::RecordKey::Detail(hostapi::kTagCellClef, staff, measure, 0), 0);
    };
    ASSERT_TRUE(StaffClefsCopy(1, 2, 1, 3));
    EXPECT_EQ(clef(2, 1), 1);
    EXPECT_EQ(clef(2, 3), -9999) << "none where the source has none";

    // Measure 2 had no target record: it is made, and the change list duplicated under a new key.
    EXPECT_EQ(clef(1, 2), 1);
    EXPECT_EQ(clef(2, 2), 2);
    EXPECT_EQ(static_cast<uint16_t>(Word(host::RecordKey::Detail(hostapi::kTagCellClef, 2, 2, 0), 2)),
              hostapi::CellClefLayout::kHasChanges);
    for (int16_t inci = 0; inci < 2; ++inci) {
        SCOPED_TRACE(inci);
        EXPECT_EQ(*Store().Find(host::RecordKey::Other(hostapi::kTagClefChange, 2, inci)),
                  *Store().Find(host::RecordKey::Other(hostapi::kTagClefChange, 1, inci)));
    }
    EXPECT_EQ(ClefAt(2, 2, 3000, false, nullptr), 3);
    EXPECT_EQ(ClefAt(2, 2, 100, false, nullptr), 0);

    // An empty source list: the target points at it and no list is made.
    host::Bytes empty(12, 0);
    hostapi::WriteI16(empty.data(), 0, 30);
    hostapi::WriteU16(empty.data(), 2, hostapi::CellClefLayout::kHasChanges);
    Store().Save(host::RecordKey::Detail(hostapi::kTagCellClef, 1, 3, 0), empty);
    Store().Save(host::RecordKey::Detail(hostapi::kTagCellClef, 2, 3, 0), host::Bytes(12, 0));
    ASSERT_TRUE(StaffClefsCopy(1, 2, 3, 3));
    EXPECT_EQ(clef(2, 3), 30);
    EXPECT_EQ(Store().Find(host::RecordKey::Other(hostapi::kTagClefChange, 3, 0)), nullptr);
}

// A staff that takes another staff's music over measures 2-3 takes its clefs there: its own
// records of the range go, it enters the range with the source's clef (the source's staff record
// reads treble) and changes where the source does; after the range it reads the clef it had.
TEST_F(FinxessRegionsTest, TakingClefsReplacesTheTargetsOwnOverTheRange) {
    m_host->AddDocument(
        host::ParseScoreText("staff \"A\"\nstaff \"B\"\nmeasures 5\nclef 1 3 alto\n"
                             "clef 2 1 bass\nclef 2 3 tenor\n",
                             "clefs"));
    const auto clef = [&](int16_t staff, int16_t measure) {
        return Word(host::RecordKey::Detail(hostapi::kTagCellClef, staff, measure, 0), 0);
    };
    ASSERT_TRUE(StaffClefsTake(1, 2, 2, 3));
    EXPECT_EQ(clef(2, 1), 3) << "before the range as it was";
    EXPECT_EQ(clef(2, 2), 0);
    EXPECT_EQ(clef(2, 3), 1);
    EXPECT_EQ(clef(2, 4), 2) << "the tenor clef it had after the range";
    EXPECT_EQ(clef(2, 5), -9999);

    // A range that ends where the target changes its clef and the source does not: that change
    // goes too, and the measure after the range gets back the tenor clef the target had there.
    ASSERT_TRUE(StaffClefsTake(1, 2, 1, 4));
    EXPECT_EQ((std::vector<int32_t>{clef(2, 1), clef(2, 2), clef(2, 3), clef(2, 4), clef(2, 5)}),
              (std::vector<int32_t>{-9999, -9999, 1, -9999, 2}));

    // Over the document's last measures: nothing comes after; a target that enters with the
    // source's clef already needs no record.
    ASSERT_TRUE(StaffClefsTake(1, 2, 4, 5));
    EXPECT_EQ(clef(2, 4), -9999);
    EXPECT_EQ(clef(2, 5), -9999);
    EXPECT_EQ(ClefAt(2, 5, 0, false, nullptr), 1);
}

// ---- Staff-membership lists ----

TEST_F(FinxessRegionsTest, MembershipListsGrowRecordByRecord) {
    const Tag otDC = MakeTag("otDC");
    const auto slots = [&](int16_t inci) {
        std::vector<int16_t> staves;
        for (size_t slot = 0; slot < 6; ++slot) {
            staves.push_back(Word(host::RecordKey::Other(otDC, 5, inci), 2 * slot));
        }
        return staves;
    };
    EXPECT_EQ(StaffListMembership(3, 0), kAllMembershipBits) << "list 0 holds every staff";
    EXPECT_EQ(StaffListMembership(3, 5), 0);

    StaffListCopyMembership(5, 3, 0, 1);
    EXPECT_EQ(slots(0), (std::vector<int16_t>{3, 0, 0, 0, 0, 0})) << "a list without records gets one";
    for (int32_t staff = 4; staff <= 8; ++staff) {
        StaffListCopyMembership(5, staff, 0, 1);
    }
    EXPECT_EQ(slots(0), (std::vector<int16_t>{3, 4, 5, 6, 7, 8}));
    StaffListCopyMembership(5, 9, 0, 1);
    EXPECT_EQ(slots(1), (std::vector<int16_t>{9, 0, 0, 0, 0, 0})) << "a full last record: one new record";
    StaffListCopyMembership(5, 9, 0, 1);
    EXPECT_EQ(Store().Find(host::RecordKey::Other(otDC, 5, 2)), nullptr) << "a member is not added again";

    StaffListCopyMembership(5, 4, 1, 1 | 4 | 8);
    EXPECT_EQ(StaffListMembership(4, 5), 1 | 4 | 8);
    StaffListRemoveAll(4, 5);
    EXPECT_EQ(StaffListMembership(4, 5), 0);
    EXPECT_EQ(slots(0), (std::vector<int16_t>{3, 0, 5, 6, 7, 8}));
    StaffListCopyMembership(5, 10, 0, 1);
    EXPECT_EQ(slots(1), (std::vector<int16_t>{9, 10, 0, 0, 0, 0})) << "the last record's free slot";
}

// ---- Record sets ----

TEST_F(FinxessRegionsTest, DeletingOtDIRecordsSkipsNone) {
    const Tag otDI = MakeTag("otDI");
    const auto put = [&](int16_t inci, int16_t word0, int16_t word2) {
        host::Bytes record(12, 0);
        hostapi::WriteI16(record.data(), 0, word0);
        hostapi::WriteI16(record.data(), 2, word2);
        Store().Save(host::RecordKey::Other(otDI, 7, inci), record);
    };
    put(0, 1, 5);
    put(1, 2, 5);
    put(2, 3, 6);
    put(3, 4, 5);
    uint8_t buffer[12] = {};
    const size_t records = Store().Count();
    EXPECT_EQ(DeleteRecordsOtDI(7, buffer, 6, 3, false), 2);
    EXPECT_EQ(Store().Count(), records) << "nothing is deleted without the flag";
    // Records 0 and 1 both carry 5: deleting the first moves the second down, and it goes too.
    EXPECT_EQ(DeleteRecordsOtDI(7, buffer, 5, 4, true), 1);
    EXPECT_EQ(Word(host::RecordKey::Other(otDI, 7, 0), 0), 3);
    EXPECT_EQ(Word(host::RecordKey::Other(otDI, 7, 1), 0), 4);
    EXPECT_EQ(Store().Find(host::RecordKey::Other(otDI, 7, 2)), nullptr);
    EXPECT_EQ(hostapi::ReadI16(buffer, 0), 4);

    EXPECT_EQ(DeleteRecordsOtDI(7, buffer, 6, 9, false), -1);
    EXPECT_EQ(hostapi::ReadI16(buffer, 0), 4) << "the last record read";
    EXPECT_EQ(DeleteRecordsOtDI(8, buffer, 6, 9, true), -1);
}

TEST_F(FinxessRegionsTest, MeasureExpressionsShowOnTheirStaves) {
    const Tag otDY = MakeTag("otDY");
    const auto assign = [&](int16_t inci, uint16_t target) {
        host::Bytes record(12, 0);
        hostapi::WriteU16(record.data(), 10, target);
        Store().Save(host::RecordKey::Other(otDY, 1, inci), record);
    };
    assign(0, 0x1000 | 2);
    assign(1, 5);
    StaffListCopyMembership(5, 3, 0, 8);
    EXPECT_FALSE(MeasureHasExpressionOnStaff(1, 2)) << "the measure is not marked";

    host::Bytes measure = *Store().Find(host::RecordKey::Other(MakeTag("SOMS"), 1, 0));
    measure[11] |= 0x40;
    Store().Save(host::RecordKey::Other(MakeTag("SOMS"), 1, 0), measure);
    struct Case {
        int32_t staff;
        bool shown;
    };
    for (const Case& c : {Case{2, true}, Case{3, true}, Case{1, false}, Case{4, false}}) {
        SCOPED_TRACE(c.staff);
        EXPECT_EQ(MeasureHasExpressionOnStaff(1, c.staff), c.shown);
    }
    assign(2, 0x0C00);  // other bits, target 0: every staff
    EXPECT_TRUE(MeasureHasExpressionOnStaff(1, 4));
}

// ---- Staff records ----

TEST_F(FinxessRegionsTest, StaffSpecRestOffsets) {
    const auto store = [&](Edu position, uint16_t flags, uint16_t bits) {
        host::Bytes record(hostapi::StaffSpecLayout::kSize, 0);
        hostapi::WriteU16(record.data(), hostapi::StaffSpecLayout::kRestFlags, flags);
        hostapi::WriteU16(record.data(), hostapi::StaffSpecLayout::kRestOffsetBits, bits);
        Store().Save(host::RecordKey::Detail(hostapi::kTagStaffSpec, 1, 1, static_cast<int16_t>(position)), record);
    };
    store(0, 1, 0x0010);
    store(512, 1, 0);
    store(1024, 0, 0x0010);
    store(2048, 3, 0x8000);
    EXPECT_EQ(LoadRecordSOSCCopy(1, 1, 0), -4);
    EXPECT_EQ(LoadRecordSOSCCopy(1, 1, 512), 0);
    EXPECT_EQ(LoadRecordSOSCCopy(1, 1, 1024), 0);
    EXPECT_EQ(LoadRecordSOSCCopy(1, 1, 2048), -15);
    EXPECT_EQ(LoadRecordSOSCCopy(1, 1, 3072), 0) << "the staff's own record";
    EXPECT_EQ(LoadRecordSOSCCopy(1, 9, 0), 0) << "no measure 9";
    uint8_t buffer[hostapi::StaffSpecLayout::kSize] = {};
    EXPECT_TRUE(LoadRecordSOSC(1, 1, 3072, buffer));
    EXPECT_FALSE(LoadRecordSOSC(1, 9, 0, buffer));
}

TEST_F(FinxessRegionsTest, StaffRecordsOfLongMeasures) {
    // A measure of more than eight whole notes: positions from 32768 are kept, unsigned.
    host::Bytes record(hostapi::StaffSpecLayout::kSize, 0);
    hostapi::WriteU16(record.data(), hostapi::StaffSpecLayout::kRestFlags, 1);
    hostapi::WriteU16(record.data(), hostapi::StaffSpecLayout::kRestOffsetBits, 0x0004);
    Store().Save(host::RecordKey::Detail(hostapi::kTagStaffSpec, 1, 1, 40000), record);
    EXPECT_EQ(LoadRecordSOSCCopy(1, 1, 40000), -2);
    EXPECT_EQ(LoadRecordSOSCCopy(1, 2, 40000 - 65536), 0) << "a negative position is no position";

    // Beyond 65535 the record's key cannot say the position: refused, and said once per cell.
    uint8_t buffer[hostapi::StaffSpecLayout::kSize] = {};
    EXPECT_FALSE(LoadRecordSOSC(1, 1, 70000, buffer));
    EXPECT_FALSE(LoadRecordSOSC(1, 1, 80000, buffer));
    EXPECT_FALSE(LoadRecordSOSC(2, 1, 70000, buffer));
    size_t told = 0;
    for (const std::string& line : win::TranscriptLines()) {
        if (line.starts_with("  label Message \"The staff record of staff ")) {
            ++told;
        }
    }
    EXPECT_EQ(told, 3u) << "the negative position, then staff 1 in measure 1 once, then staff 2";
    EXPECT_NE(std::find(win::TranscriptLines().begin(), win::TranscriptLines().end(),
                        "  label Message \"The staff record of staff 1, measure 1 cannot be read at position 70000 "
                        "EDU: the host keeps staff records for positions from 0 to 65535 EDU only.\""),
              win::TranscriptLines().end());
}

}  // namespace
