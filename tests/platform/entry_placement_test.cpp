// Service 44's vertical placement: an entry's top and bottom from its notes' staff steps under
// the clef in effect, its stem and the staff's place in the score, scaled with its system.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/host/host.h"
#include "platform/host/music_model.h"
#include "platform/host/score_text.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/placement_records.h"
#include "platform/hostapi/services.h"
#include "tests/support/fixture.h"

namespace {

constexpr hostapi::InterfaceVersion kVersion = hostapi::kInterfaceVersion;

// The violin's top line lies at 0, the cello's 200 lower; measure 2 changes the violin to the
// alto clef in its middle.
constexpr const char* kScore = R"(
staff "Violin"
staff "Cello"
measures 2
clef 2 1 bass
clef 1 2 treble alto@2048
notes 1 1 c5/4 e4+g4+c5/4 r/4 c5/4
notes 2 1 c3/1
notes 1 2 c5/2 c5/2
page
system 1 2
)";

struct VerticalCase {
    const char* name;
    int16_t staff;
    int16_t measure;
    size_t index;  ///< the entry in layer 1 of the cell
    bool stemUp;
    int16_t percent;
    int32_t top;
    int32_t bottom;
};
void PrintTo(const VerticalCase& c, std::ostream* os) {
    *os << c.name;
}

class EntryPlacementVerticalTest : public testsupport::DesktopTest, public ::testing::WithParamInterface<VerticalCase> {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        m_host = std::make_unique<host::Host>();
        m_host->AddDocument(host::ParseScoreText(kScore, "placement"));
    }
    void TearDown() override {
        m_host.reset();
        DesktopTest::TearDown();
    }
    host::Document& Doc() { return *m_host->FrontDocument(); }
    std::unique_ptr<host::Host> m_host;
};

TEST_P(EntryPlacementVerticalTest, TopAndBottom) {
    const VerticalCase& c = GetParam();
    const host::CellKey cell{c.staff, c.measure, 0};
    host::CellEntries entries = Doc().EntriesOf(cell);
    ASSERT_LT(c.index, entries.size());
    hostapi::EntryView entry(entries[c.index].data());
    entry.setFlags(c.stemUp ? entry.flags() | hostapi::kEntryStemUp : entry.flags() & ~hostapi::kEntryStemUp);
    Doc().SetEntries(cell, entries);
    const host::RecordKey system = host::RecordKey::Other(hostapi::kTagStaffSystem, 1, 0);
    host::Bytes record = *Doc().Records().Find(system);
    hostapi::WriteI16(record.data(), hostapi::StaffSystem20Layout::kPercent, c.percent);
    Doc().SaveRecord(system, record);

    const auto placement = reinterpret_cast<hostapi::EntryPlacementFn>(
        host::ServiceByOrdinal(static_cast<int32_t>(hostapi::Service::EntryPlacement)));
    hostapi::EntryBox box;
    hostapi::EntryMetrics metrics;
    ASSERT_EQ(placement(c.staff, c.measure, entry.number(), &box, &metrics, 0, kVersion), 1);
    EXPECT_EQ(box.top(), c.top);
    EXPECT_EQ(box.bottom(), c.bottom);
    EXPECT_EQ(metrics.reference(), c.staff == 1 ? 0 : -200);
    // What the Slurs command reads: the edges over the scale, less the reference line.
    const int32_t percent = c.percent;
    EXPECT_EQ(metrics.scale(1), percent * 100);
}

// Treble clef: middle C 10 steps (120 EVPU) below the top line, so C5 at -36, E4 at -96; a
// notehead reaches 12 above and below, a stem 84 from the outer note. Bass clef: middle C 2 steps
// above the top line, C3 at -60. Alto clef: middle C at -48, so C5 at +36.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Entries, EntryPlacementVerticalTest, ::testing::Values(
    VerticalCase{"StemDownReachesBelow",    1, 1, 0, false, 100, -24, -120},
    VerticalCase{"StemUpReachesAbove",      1, 1, 0, true,  100,  48,  -48},
    VerticalCase{"ChordStemUp",             1, 1, 1, true,  100,  48, -108},
    VerticalCase{"ChordStemDown",           1, 1, 1, false, 100, -24, -180},
    VerticalCase{"RestAroundTheMiddleLine", 1, 1, 2, false, 100, -24,  -72},
    VerticalCase{"WholeNoteOnTheLowerStaff",2, 1, 0, true,  100, -248, -272},
    VerticalCase{"ScaledWithTheSystem",     2, 1, 0, true,   50, -124, -136},
    VerticalCase{"ClefBeforeTheChange",     1, 2, 0, false, 100, -24, -120},
    VerticalCase{"ClefAfterTheChange",      1, 2, 1, false, 100,  48,  -48}),
    [](const ::testing::TestParamInfo<VerticalCase>& testCase) { return std::string(testCase.param.name); });
// clang-format on

// The clef in effect far from the measure that set it: staff 1 changes to alto within measure 2
// and keeps it; staff 2 is bass from measure 3 on; staff 3 has no clef record (treble from its
// staff record). Measures without a clef record of the staff are passed over, and a neighbour
// staff's clefs never count.
constexpr const char* kClefScore = R"(
staff "Viola"
staff "Bassoon"
staff "Flute"
measures 40
clef 1 1 treble
clef 1 2 treble alto@2048
clef 2 3 bass
)";

struct ClefCase {
    const char* name;
    int16_t staff;
    int16_t measure;
    int32_t position;
    int32_t clef;
};
void PrintTo(const ClefCase& c, std::ostream* os) {
    *os << c.name;
}

class ClefInEffectTest : public ::testing::TestWithParam<ClefCase> {};

TEST_P(ClefInEffectTest, IsTheLatestClefAtOrBeforeThePlace) {
    const ClefCase& c = GetParam();
    const std::unique_ptr<host::Document> document = host::ParseScoreText(kClefScore, "clefs");
    EXPECT_EQ(host::ClefInEffect(*document, c.staff, c.measure, c.position), c.clef);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Staves, ClefInEffectTest, ::testing::Values(
    ClefCase{"TheCellsOwnClef",                 1,  1,    0, 0},
    ClefCase{"BeforeTheChangeInItsMeasure",     1,  2, 1024, 0},
    ClefCase{"AtTheChangeInItsMeasure",         1,  2, 2048, 1},
    ClefCase{"TheLastChangeCarriesOn",          1, 40,    0, 1},
    ClefCase{"BeforeTheStaffsFirstClefRecord",  2,  2,    0, 0},
    ClefCase{"FromItsMeasureOn",                2,  3,    0, 3},
    ClefCase{"ManyMeasuresLater",               2, 39, 3000, 3},
    ClefCase{"AStaffWithoutRecordsReadsTreble", 3, 20,    0, 0},
    ClefCase{"AMeasureBeforeTheFirst",          2,  0,    0, 0}),
    [](const ::testing::TestParamInfo<ClefCase>& testCase) { return std::string(testCase.param.name); });
// clang-format on

}  // namespace
