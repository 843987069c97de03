// The host's music model as a plug-in reaches it by ordinal: the pitch rule (29) for notes
// written in C, D, E-flat major and A minor, the key of a cell (33), measure lengths (50),
// staff slots per view (18, 31), staff records (9 on 'SOSC'), the progress display (53-55),
// the layers shown (61) and the identities of the open documents (63).
#include <gtest/gtest.h>

#include "platform/host/document_commands.h"
#include "platform/host/host.h"
#include "platform/host/score_text.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/music_records.h"
#include "platform/hostapi/services.h"
#include "platform/win/transcript.h"
#include "tests/support/fixture.h"

namespace {

using hostapi::MakeTag;

constexpr hostapi::InterfaceVersion kVersion = hostapi::kInterfaceVersion;

// One measure per key; each note of the table is an eighth in its key's measure.
constexpr const char* kScore = R"(
staff "Piano"
staff "Viola"
measures 1 key 0
measures 1 key 2
measures 1 key -3
measures 1 key 0m
measures 1 time 6/8 key 0
measures 1 time 3/4 key 0
notes 1 1 c4/8 f#4/8 bb3/8 e#4/8 c5/8 g##4/8 dbb4/8
notes 1 2 d4/8 f#4/8 fn4/8 c#5/8 c4/8 bb4/8
notes 1 3 eb4/8 bb3/8 bn4/8 e4/8 ab4/8 d4/8 gb4/8
notes 1 4 a4/8 c5/8 g#4/8 a3/8 e5/8 bb4/8 f#5/8
)";

template <typename Fn>
Fn Service(hostapi::Service ordinal) {
    return reinterpret_cast<Fn>(host::ServiceByOrdinal(static_cast<int32_t>(ordinal)));
}

class MusicServicesTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        m_host = std::make_unique<host::Host>();
        m_host->AddDocument(host::ParseScoreText(kScore, "keys"));
        win::ClearTranscript();
    }
    void TearDown() override {
        ExpectNothingLeft();
        m_host.reset();
        DesktopTest::TearDown();
    }

    host::Document& Doc() { return *m_host->FrontDocument(); }

    const hostapi::NotePitchFn pitch = Service<hostapi::NotePitchFn>(hostapi::Service::NotePitch);
    const hostapi::CellKeyFn cellKey = Service<hostapi::CellKeyFn>(hostapi::Service::CellKey);
    std::unique_ptr<host::Host> m_host;
};

struct PitchCase {
    int16_t measure;
    int32_t index;  ///< the note's entry in the measure, from 0
    const char* name;
    int16_t level;       ///< stored harmonic level: steps from the key's tonic
    int16_t alteration;  ///< stored raised/lowered steps against the key
    int16_t pitch;
};

class PitchRuleTest : public MusicServicesTest, public ::testing::WithParamInterface<PitchCase> {};

TEST_P(PitchRuleTest, WrittenNotesKeepTheirPitch) {
    const PitchCase& c = GetParam();
    const host::CellEntries& entries = Doc().EntriesOf({1, c.measure, 0});
    ASSERT_LT(static_cast<size_t>(c.index), entries.size());
    const hostapi::ConstNoteView note = hostapi::ConstEntryView(entries[static_cast<size_t>(c.index)].data()).note(0);
    EXPECT_EQ(note.harmonicLevel(), c.level);
    EXPECT_EQ(note.alteration(), c.alteration);
    const int16_t key = cellKey(c.measure, 1, 0, 0, kVersion);
    EXPECT_EQ(pitch(note.data(), key, kVersion), c.pitch);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Keys, PitchRuleTest, ::testing::Values(
    // C major: tonic step 0.
    PitchCase{1, 0, "C4", 0, 0, 60},       PitchCase{1, 1, "F#4", 3, 1, 66},     PitchCase{1, 2, "Bb3", -1, -1, 58},
    PitchCase{1, 3, "E#4", 2, 1, 65},      PitchCase{1, 4, "C5", 7, 0, 72},      PitchCase{1, 5, "G##4", 4, 2, 69},
    PitchCase{1, 6, "Dbb4", 1, -2, 60},
    // D major: tonic step 1, F and C sharp.
    PitchCase{2, 0, "D4", 0, 0, 62},       PitchCase{2, 1, "F#4", 2, 0, 66},     PitchCase{2, 2, "F4", 2, -1, 65},
    PitchCase{2, 3, "C#5", 6, 0, 73},      PitchCase{2, 4, "C4", -1, -1, 60},    PitchCase{2, 5, "Bb4", 5, -1, 70},
    // E-flat major: tonic step 2, B, E and A flat.
    PitchCase{3, 0, "Eb4", 0, 0, 63},      PitchCase{3, 1, "Bb3", -3, 0, 58},    PitchCase{3, 2, "B4", 4, 1, 71},
    PitchCase{3, 3, "E4", 0, 1, 64},       PitchCase{3, 4, "Ab4", 3, 0, 68},     PitchCase{3, 5, "D4", -1, 0, 62},
    PitchCase{3, 6, "Gb4", 2, -1, 66},
    // A minor: tonic step 5, no accidentals.
    PitchCase{4, 0, "A4", 0, 0, 69},       PitchCase{4, 1, "C5", 2, 0, 72},      PitchCase{4, 2, "G#4", -1, 1, 68},
    PitchCase{4, 3, "A3", -7, 0, 57},      PitchCase{4, 4, "E5", 4, 0, 76},      PitchCase{4, 5, "Bb4", 1, -1, 70},
    PitchCase{4, 6, "F#5", 5, 1, 78}),
    [](const ::testing::TestParamInfo<PitchCase>& testCase) {
        std::string name = "Measure" + std::to_string(testCase.param.measure) + "_";
        for (const char c : std::string(testCase.param.name)) {
            name += c == '#' ? std::string("Sharp") : std::string(1, c);
        }
        return name;
    });
// clang-format on

TEST_F(MusicServicesTest, PitchOfRawNotesAndNonLinearKeys) {
    hostapi::NoteRecord note;
    note.view().setHarmonicLevel(2);
    EXPECT_EQ(pitch(note.data(), 0, kVersion), 64);
    EXPECT_EQ(pitch(note.data(), 0x4000, kVersion), 64) << "a non-linear key reads as C major";
    EXPECT_EQ(pitch(note.data(), 0x0107, kVersion), 73) << "A sharp minor: two steps up is C sharp";
    note.view().setHarmonicLevel(-15);
    EXPECT_EQ(pitch(note.data(), 0, kVersion), 60 - 24 - 1) << "two octaves and a step below middle C";
    EXPECT_EQ(pitch(nullptr, 0, kVersion), 0);
    EXPECT_EQ(pitch(note.data(), 0, 0x1234), 0) << "an unknown interface version";
}

TEST_F(MusicServicesTest, CellKeysConcertAndWritten) {
    EXPECT_EQ(cellKey(2, 1, 0, 0, kVersion), 2);
    EXPECT_EQ(cellKey(3, 1, 0, 0, kVersion), 0xFD);
    EXPECT_EQ(cellKey(4, 1, 0, 0, kVersion), 0x100);
    EXPECT_EQ(cellKey(9, 1, 0, 0, kVersion), 0) << "no measure 9";

    // Staff 2 is written a second up with two sharps more.
    host::Bytes staff = *Doc().Records().Find(host::RecordKey::Other(MakeTag("SOIS"), 2, 0));
    hostapi::WriteU16(staff.data(), hostapi::StaffSpecLayout::kTransposition, (1 << 6) | 2);
    Doc().Records().Save(host::RecordKey::Other(MakeTag("SOIS"), 2, 0), staff);
    EXPECT_EQ(cellKey(1, 2, 1, 0, kVersion), 2);
    EXPECT_EQ(cellKey(3, 2, 1, 0, kVersion), 0xFF) << "E flat major becomes F major";
    EXPECT_EQ(cellKey(4, 2, 1, 0, kVersion), 0x102) << "A minor becomes B minor";
    EXPECT_EQ(cellKey(3, 2, 0, 0, kVersion), 0xFD) << "mode 0: the concert key";
    EXPECT_EQ(cellKey(3, 1, 1, 0, kVersion), 0xFD) << "staff 1 does not transpose";
    hostapi::WriteU16(staff.data(), hostapi::StaffSpecLayout::kTransposition, 0x2003);
    Doc().Records().Save(host::RecordKey::Other(MakeTag("SOIS"), 2, 0), staff);
    EXPECT_EQ(cellKey(3, 2, 1, 0, kVersion), 0xFD) << "a chromatic transposition keeps the key";

    host::Bytes measure = *Doc().Records().Find(host::RecordKey::Other(MakeTag("SOMS"), 1, 0));
    hostapi::WriteU16(measure.data(), 2, 0x4001);
    Doc().Records().Save(host::RecordKey::Other(MakeTag("SOMS"), 1, 0), measure);
    EXPECT_EQ(static_cast<uint16_t>(cellKey(1, 1, 1, 0, kVersion)), 0x4001) << "non-linear keys as they are";
}

TEST_F(MusicServicesTest, MeasureLengths) {
    const auto length = Service<hostapi::MeasureLengthFn>(hostapi::Service::MeasureLength);
    EXPECT_EQ(length(0, 1, kVersion), 4096);
    EXPECT_EQ(length(2, 5, kVersion), 3072) << "6/8";
    EXPECT_EQ(length(0, 6, kVersion), 3072) << "3/4";
    EXPECT_EQ(length(0, 7, kVersion), 0) << "no measure 7";
}

TEST_F(MusicServicesTest, StaffSlotsPerView) {
    const auto instrumentOf = Service<hostapi::InstrumentOfSlotFn>(hostapi::Service::InstrumentOfSlot);
    const auto slotOf = Service<hostapi::SlotOfInstrumentFn>(hostapi::Service::SlotOfInstrument);
    EXPECT_EQ(instrumentOf(1, 0, kVersion), 1);
    EXPECT_EQ(instrumentOf(2, 0, kVersion), 2);
    EXPECT_EQ(instrumentOf(3, 0, kVersion), 0);
    EXPECT_EQ(instrumentOf(0, 0, kVersion), 0);
    EXPECT_EQ(slotOf(2, 0, kVersion), 2);
    EXPECT_EQ(slotOf(5, 0, kVersion), 0);

    // View 1 is the staff list of system 1: the viola above the piano.
    for (const auto& [inci, staff] : {std::pair<int16_t, int16_t>{0, 2}, {1, 1}}) {
        host::Bytes entry(24, 0);
        hostapi::WriteI16(entry.data(), 0, staff);
        Doc().Records().Save(host::RecordKey::Other(MakeTag("SOIu"), 1, inci), entry);
    }
    EXPECT_EQ(instrumentOf(1, 1, kVersion), 2);
    EXPECT_EQ(slotOf(1, 1, kVersion), 2);
    const auto load = Service<hostapi::LoadEntryArrayFn>(hostapi::Service::LoadEntryArray);
    const auto release = Service<hostapi::ReleaseEntryArrayFn>(hostapi::Service::ReleaseEntryArray);
    hostapi::EntryArray* array = load(1, 2, 1, 0, 1, kVersion);
    ASSERT_NE(array, nullptr);
    EXPECT_EQ(array->staff, 1) << "slot 2 of view 1 is the piano";
    EXPECT_EQ(array->count, 7);
    release(array, kVersion);

    // The host keeps the staff lists it has read; every change of their records shows at once.
    ASSERT_TRUE(Doc().DeleteRecord(host::RecordKey::Other(MakeTag("SOIu"), 1, 0)));
    EXPECT_EQ(instrumentOf(1, 1, kVersion), 1) << "the piano moved up";
    EXPECT_EQ(instrumentOf(2, 1, kVersion), 0);
    EXPECT_EQ(slotOf(2, 1, kVersion), 0);
    const auto create = Service<hostapi::CreateRecordFn>(hostapi::Service::CreateRecord);
    int16_t keys[3] = {-1, 0, 0};
    const host::Bytes staff(66, 0);
    ASSERT_EQ(create(MakeTag("SOIS"), keys, staff.data(), 66, kVersion), 1);
    EXPECT_EQ(keys[0], 3);
    EXPECT_EQ(instrumentOf(3, 0, kVersion), 3) << "a created staff joins the score's list";
    EXPECT_EQ(slotOf(3, 0, kVersion), 3);
    host::Bytes entry(24, 0);
    hostapi::WriteI16(entry.data(), 0, 2);
    Doc().Records().Save(host::RecordKey::Other(MakeTag("SOIu"), 0, 0), entry);
    EXPECT_EQ(instrumentOf(1, 0, kVersion), 2) << "a list record saved in place";
}

TEST_F(MusicServicesTest, StaffSpecsOfCells) {
    const auto load = Service<hostapi::LoadRecordFn>(hostapi::Service::LoadRecord);
    std::array<int16_t, 3> keys = {1, 2, 512};
    uint8_t staffRecord[hostapi::StaffSpecLayout::kSize] = {};
    int32_t size = sizeof staffRecord;
    // Without a stored record the cell answers the staff's record.
    host::Bytes staff = *Doc().Records().Find(host::RecordKey::Other(MakeTag("SOIS"), 1, 0));
    staff[hostapi::StaffSpecLayout::kClef] = 3;
    Doc().Records().Save(host::RecordKey::Other(MakeTag("SOIS"), 1, 0), staff);
    ASSERT_EQ(load(hostapi::kTagStaffSpec, keys.data(), staffRecord, &size, kVersion), 1);
    EXPECT_EQ(size, hostapi::StaffSpecLayout::kSize);
    EXPECT_EQ(staffRecord[hostapi::StaffSpecLayout::kClef], 3);

    host::Bytes stored(hostapi::StaffSpecLayout::kSize, 0);
    stored[hostapi::StaffSpecLayout::kClef] = 1;
    Doc().Records().Save(host::RecordKey::Detail(hostapi::kTagStaffSpec, 1, 2, 512), stored);
    ASSERT_EQ(load(hostapi::kTagStaffSpec, keys.data(), staffRecord, &size, kVersion), 1);
    EXPECT_EQ(staffRecord[hostapi::StaffSpecLayout::kClef], 1);

    keys = {1, 9, 0};
    EXPECT_EQ(load(hostapi::kTagStaffSpec, keys.data(), staffRecord, &size, kVersion), 0) << "no measure 9";
    keys = {4, 1, 0};
    EXPECT_EQ(load(hostapi::kTagStaffSpec, keys.data(), staffRecord, &size, kVersion), 0) << "no staff 4";
}

TEST_F(MusicServicesTest, StaffSpecsKeepPositionsBeyond32767) {
    // A measure longer than eight whole notes: the position word of 'SOSC' is read unsigned.
    const auto save = Service<hostapi::SaveRecordFn>(hostapi::Service::SaveRecord);
    const auto load = Service<hostapi::LoadRecordFn>(hostapi::Service::LoadRecord);
    const auto next = Service<hostapi::StepRecordFn>(hostapi::Service::NextRecord);
    host::Bytes early(hostapi::StaffSpecLayout::kSize, 0);
    host::Bytes late(hostapi::StaffSpecLayout::kSize, 0);
    early[hostapi::StaffSpecLayout::kClef] = 1;
    late[hostapi::StaffSpecLayout::kClef] = 2;
    std::array<int16_t, 3> keys = {1, 2, static_cast<int16_t>(40000)};
    ASSERT_EQ(save(hostapi::kTagStaffSpec, keys.data(), late.data(), hostapi::StaffSpecLayout::kSize, kVersion), 1);
    keys = {1, 2, 1024};
    ASSERT_EQ(save(hostapi::kTagStaffSpec, keys.data(), early.data(), hostapi::StaffSpecLayout::kSize, kVersion), 1);
    EXPECT_NE(Doc().Records().Find(host::RecordKey::Detail(hostapi::kTagStaffSpec, 1, 2, 40000)), nullptr);
    EXPECT_EQ(host::RecordKey::Detail(hostapi::kTagStaffSpec, 1, 2, 40000).Description(),
              "'SOSC' detail (1, 2, 40000)");

    uint8_t record[hostapi::StaffSpecLayout::kSize] = {};
    int32_t size = sizeof record;
    keys = {1, 2, static_cast<int16_t>(40000)};
    ASSERT_EQ(load(hostapi::kTagStaffSpec, keys.data(), record, &size, kVersion), 1);
    EXPECT_EQ(record[hostapi::StaffSpecLayout::kClef], 2);
    // In position order: 1024 before 40000.
    keys = {1, 2, 0};
    ASSERT_EQ(next(hostapi::kTagStaffSpec, keys.data(), record, sizeof record, kVersion), 1);
    EXPECT_EQ(keys[2], 1024);
    ASSERT_EQ(next(hostapi::kTagStaffSpec, keys.data(), record, sizeof record, kVersion), 1);
    EXPECT_EQ(static_cast<uint16_t>(keys[2]), 40000);
    EXPECT_EQ(record[hostapi::StaffSpecLayout::kClef], 2);

    // A delete leaves the later positions where they are; written keys name the highest position.
    const auto erase = Service<hostapi::DeleteRecordFn>(hostapi::Service::DeleteRecord);
    keys = {1, 2, 1024};
    ASSERT_EQ(erase(hostapi::kTagStaffSpec, keys.data(), kVersion), 1);
    EXPECT_NE(Doc().Records().Find(host::RecordKey::Detail(hostapi::kTagStaffSpec, 1, 2, 40000)), nullptr);
    EXPECT_TRUE(host::RecordKey::FromNumbers(hostapi::kTagStaffSpec, {1, 2, 65535}));
    EXPECT_FALSE(host::RecordKey::FromNumbers(hostapi::kTagStaffSpec, {1, 2, 65536}));
    EXPECT_FALSE(host::RecordKey::FromNumbers(hostapi::kTagStaffSpec, {1, 2, -1}));
    EXPECT_FALSE(host::RecordKey::FromNumbers(hostapi::MakeTag("SDGF"), {1, 2, 40000})) << "an inci stays 16-bit";
}

struct PitchNameCase {
    const char* name;
    const char* text;
    int16_t pitch;  ///< -1: no pitch name
};
void PrintTo(const PitchNameCase& c, std::ostream* os) {
    *os << c.name;
}

class PitchFromNameTest : public MusicServicesTest, public ::testing::WithParamInterface<PitchNameCase> {};

TEST_P(PitchFromNameTest, ReadsANameOrRefusesIt) {
    const auto fromName = Service<hostapi::PitchFromNameFn>(hostapi::Service::PitchFromName);
    ASSERT_NE(fromName, nullptr);
    EXPECT_EQ(fromName(GetParam().text, kVersion), GetParam().pitch);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Names, PitchFromNameTest, ::testing::Values(
    PitchNameCase{"MiddleC",            "C4",    60},
    PitchNameCase{"Sharp",              "C#4",   61},
    PitchNameCase{"Flat",               "Bb3",   58},
    PitchNameCase{"LowerCase",          "f#5",   78},
    PitchNameCase{"Blanks",             " D5 ",  74},
    PitchNameCase{"NoOctaveIsFour",     "F#",    66},
    PitchNameCase{"RunCountsOnce",      "C##4",  61},
    PitchNameCase{"LowestOctave",       "C-1",   0},
    PitchNameCase{"Highest",            "G9",    127},
    PitchNameCase{"AboveTheRange",      "G#9",   -1},
    PitchNameCase{"BelowTheRange",      "Cb-1",  -1},
    PitchNameCase{"GermanH",            "H4",    -1},
    PitchNameCase{"NoLetter",           "X",     -1},
    PitchNameCase{"Digit",              "1",     -1},
    PitchNameCase{"Empty",              "",      -1},
    PitchNameCase{"MixedSigns",         "C#b4",  -1},
    PitchNameCase{"Trailing",           "C4x",   -1},
    PitchNameCase{"LongOctave",         "C123",  -1}),
    [](const ::testing::TestParamInfo<PitchNameCase>& testCase) { return std::string(testCase.param.name); });
// clang-format on

TEST_F(MusicServicesTest, PitchNamesReadBack) {
    const auto toName = Service<hostapi::PitchNameFn>(hostapi::Service::PitchName);
    const auto fromName = Service<hostapi::PitchFromNameFn>(hostapi::Service::PitchFromName);
    for (int16_t pitchNumber = 0; pitchNumber <= 127; ++pitchNumber) {
        char name[10] = {};
        ASSERT_EQ(toName(pitchNumber, name, sizeof name, 1, kVersion), 1);
        EXPECT_EQ(fromName(name, kVersion), pitchNumber) << name;
    }
    EXPECT_EQ(fromName(nullptr, kVersion), -1);
    EXPECT_EQ(fromName("C4", 0x1234), -1) << "an unknown interface version";
    char name[10] = "x";
    EXPECT_EQ(toName(60, name, sizeof name, 1, 0x1234), 0) << "an unknown interface version";
    EXPECT_STREQ(name, "x");
}

TEST_F(MusicServicesTest, ProgressDisplayAndTheUserStoppingIt) {
    const auto begin = Service<hostapi::BeginProgressFn>(hostapi::Service::BeginProgress);
    const auto step = Service<hostapi::StepProgressFn>(hostapi::Service::StepProgress);
    const auto end = Service<hostapi::EndProgressFn>(hostapi::Service::EndProgress);
    hostapi::SelectionRecord region;
    region.setFirstStaff(1);
    region.setLastStaff(2);
    region.setFirstMeasure(1);
    region.setLastMeasure(4);

    const int32_t handle = begin(region.bytes.data(), 8, kVersion);
    ASSERT_NE(handle, 0);
    EXPECT_EQ(begin(nullptr, 2, kVersion), 0) << "one display at a time";
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(step(handle, 1, 1, 1, -1, kVersion), 1);
    }
    EXPECT_EQ(end(handle, 0, kVersion), 1);

    host::StopProgressAt(*m_host, 3);
    const int32_t second = begin(nullptr, 5, kVersion);
    EXPECT_EQ(step(second, 2, 0, 0, -1, kVersion), 1);
    EXPECT_EQ(step(second, 1, 0, 0, -1, kVersion), 0) << "the user stops at step 3";
    EXPECT_EQ(step(second, 1, 0, 0, -1, kVersion), 0) << "and stays stopped";
    EXPECT_EQ(end(second, 1, kVersion), 1);

    // Handle 0 goes on and ends without a display.
    EXPECT_EQ(step(0, 1, 0, 0, -1, kVersion), 1);
    EXPECT_EQ(end(0, 0, kVersion), 1);
    EXPECT_THROW(host::StopProgressAt(*m_host, 0), std::runtime_error);

    testsupport::ExpectLines(
        {"host: progress begins over staves 1-2, measures 1-4: 8 steps",
         "host: progress: a display is open already; no second one begins", "host: progress ends after 8 of 8 steps",
         "host: the user will stop the next progress display at step 3", "host: progress begins: 5 steps",
         "host: progress: the user stops at step 3 of 5", "host: progress ends after 3 of 5 steps (stopped)"},
        win::TranscriptLines());
}

TEST_F(MusicServicesTest, LayersShown) {
    const auto shown = Service<hostapi::LayerShownFn>(hostapi::Service::LayerShown);
    for (hostapi::LayerIndex layer = 0; layer < 4; ++layer) {
        EXPECT_EQ(shown(layer, kVersion), 1) << layer;
    }
    EXPECT_EQ(shown(4, kVersion), 0);
    EXPECT_EQ(shown(-1, kVersion), 0);
    m_host->SetLayerShown(2, false);
    EXPECT_EQ(shown(2, kVersion), 0);
    EXPECT_EQ(shown(1, kVersion), 1);
}

// An identity names one document whatever its name, and is never given again once it closes.
TEST_F(MusicServicesTest, DocumentIdentities) {
    const auto identity = Service<hostapi::DocumentIdentityFn>(hostapi::Service::DocumentIdentity);
    EXPECT_EQ(identity(0, kVersion), 1);
    m_host->AddDocument(host::ParseScoreText(kScore, "keys"));
    EXPECT_EQ(identity(0, kVersion), 2);
    EXPECT_EQ(identity(1, kVersion), 1);
    EXPECT_EQ(identity(2, kVersion), 2);
    EXPECT_EQ(identity(3, kVersion), 0);
    EXPECT_EQ(identity(-1, kVersion), 0);
    ASSERT_TRUE(m_host->BringToFront(1));
    EXPECT_EQ(identity(0, kVersion), 1);
    ASSERT_TRUE(m_host->CloseFront());
    EXPECT_EQ(identity(0, kVersion), 2);
    EXPECT_EQ(identity(1, kVersion), 2);
    EXPECT_EQ(identity(2, kVersion), 0);
    m_host->AddDocument(host::ParseScoreText(kScore, "keys"));
    EXPECT_EQ(identity(0, kVersion), 3);
    ASSERT_TRUE(m_host->CloseFront());
    ASSERT_TRUE(m_host->CloseFront());
    EXPECT_EQ(identity(0, kVersion), 0);
    EXPECT_EQ(identity(0, 0x01000000), 0) << "an interface version the host does not know";
}

}  // namespace
