// The host's note spacing ("Apply Note Spacing"): the beat chart and the width it gives each
// selected measure, from the time points of all staves and the lyrics sung there; reached by
// the Mass Edit menu's keys in each language and host year.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/host/host.h"
#include "platform/host/note_spacing.h"
#include "platform/host/score_text.h"
#include "platform/hostapi/bytes.h"
#include "platform/win/input.h"
#include "platform/win/keys.h"
#include "platform/win/messages.h"
#include "platform/win/transcript.h"
#include "tests/support/fixture.h"

namespace {

using hostapi::MakeTag;

// Measure 1: quarters on the flute (and a grace note, which takes no time), eighths and a half on
// the cello: the points are 0, 512, 1024, 2048 and 3072. The lyric "wonderful" is 9 characters
// of 12 points: 216 EVPU. Measure 2 is empty; measure 3 has an old chart of three elements.
constexpr const char* kScore = R"(
staff "Flute"
staff "Cello"
measures 3 time 4/4 width 300
notes 1 1 c5/4 c5/4 c5/4 d5/8g c5/4
notes 2 1 c4/8 c4/8 c4/4 c4/2
notes 1 3 c5/1
beatchart 3 4096:260:0:0 0:20:100:0 1024:100:180:0 2048:180:260:0
lyric verse 1 "wonderful"
)";

class NoteSpacingTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        m_host = std::make_unique<host::Host>();
        m_host->AddDocument(host::ParseScoreText(kScore, "spacing"));
        win::ClearTranscript();
    }
    void TearDown() override {
        m_host.reset();
        DesktopTest::TearDown();
    }
    host::Document& Doc() { return *m_host->FrontDocument(); }

    /// The measure's chart: "time:position:next:minimum" per record, the header first.
    std::vector<std::string> Chart(int16_t measure) {
        std::vector<std::string> chart;
        for (int16_t index = 0;; ++index) {
            const host::Bytes* record = Doc().Records().Find(host::RecordKey::Other(MakeTag("otBC"), measure, index));
            if (record == nullptr) {
                return chart;
            }
            chart.push_back(std::to_string(hostapi::ReadI32(record->data(), 0)) + ":" +
                            std::to_string(hostapi::ReadI16(record->data(), 4)) + ":" +
                            std::to_string(hostapi::ReadI16(record->data(), 6)) + ":" +
                            std::to_string(hostapi::ReadI16(record->data(), 8)));
        }
    }
    /// The measure's width and flag word.
    std::pair<int16_t, uint16_t> Measure(int16_t measure) {
        const host::Bytes* record = Doc().Records().Find(host::RecordKey::Other(MakeTag("SOMS"), measure, 0));
        return {hostapi::ReadI16(record->data(), 0), hostapi::ReadU16(record->data(), 8)};
    }
    void Select(int16_t first, int16_t last) {
        hostapi::SelectionRecord selection;
        selection.setFirstStaff(1);
        selection.setLastStaff(1);
        selection.setFirstMeasure(first);
        selection.setLastMeasure(last);
        m_host->SetSelection(selection);
    }

    std::unique_ptr<host::Host> m_host;
};

TEST(NoteSpaceTest, GrowsWithTheSquareRootOfTheDuration) {
    EXPECT_EQ(host::NoteSpace(1024), 48);
    EXPECT_EQ(host::NoteSpace(2048), 68);
    EXPECT_EQ(host::NoteSpace(4096), 96);
    EXPECT_EQ(host::NoteSpace(512), 34);
    EXPECT_EQ(host::NoteSpace(64), 18) << "never below the minimum";
    EXPECT_EQ(host::NoteSpace(0), 18);
}

TEST_F(NoteSpacingTest, EveryStaffsTimePointsMakeTheChart) {
    Select(1, 3);
    m_host->ApplyNoteSpacing();
    // 24, then 34 and 34 for the eighths and 48 for each quarter: the chart ends at 236.
    EXPECT_EQ(Chart(1), (std::vector<std::string>{"4096:236:236:260", "0:24:58:0", "512:58:92:0", "1024:92:140:0",
                                                  "2048:140:188:0", "3072:188:236:0"}));
    EXPECT_EQ(Measure(1), (std::pair<int16_t, uint16_t>{260, 2}));
    // An empty measure: one point for the whole note's time.
    EXPECT_EQ(Chart(2), (std::vector<std::string>{"4096:120:120:144", "0:24:120:0"}));
    // The old chart goes whole.
    EXPECT_EQ(Chart(3), (std::vector<std::string>{"4096:120:120:144", "0:24:120:0"}));
    testsupport::ExpectLines({"host: Apply Note Spacing: 3 measures respaced (1-3)"}, win::TranscriptLines());
}

TEST_F(NoteSpacingTest, ASyllableWidensItsTimePoint) {
    // The syllable on the flute's third quarter (2048): 216 + 12 instead of 48.
    std::unique_ptr<host::Document> sung =
        host::ParseScoreText(std::string(kScore) + "syllable 1 1:3 verse 1 1\n", "sung");
    m_host->AddDocument(std::move(sung));
    Select(1, 1);
    m_host->ApplyNoteSpacing();
    EXPECT_EQ(Chart(1), (std::vector<std::string>{"4096:416:416:440", "0:24:58:0", "512:58:92:0", "1024:92:140:0",
                                                  "2048:140:368:0", "3072:368:416:0"}));
}

TEST_F(NoteSpacingTest, AnEntryWhereTheMeasureEndsTakesNoTimePoint) {
    // Measure 1 in 3/4: the flute's last quarter starts at 3072, where the measure ends.
    host::Bytes measure = *Doc().Records().Find(host::RecordKey::Other(MakeTag("SOMS"), 1, 0));
    hostapi::WriteI16(measure.data(), 4, 3);
    Doc().SaveRecord(host::RecordKey::Other(MakeTag("SOMS"), 1, 0), std::move(measure));
    Select(1, 1);
    m_host->ApplyNoteSpacing();
    EXPECT_EQ(Chart(1), (std::vector<std::string>{"3072:188:188:212", "0:24:58:0", "512:58:92:0", "1024:92:140:0",
                                                  "2048:140:188:0"}));
}

TEST_F(NoteSpacingTest, WithoutASelectionNothingIsSpaced) {
    const host::RecordStore before = Doc().Records();
    m_host->ApplyNoteSpacing();
    EXPECT_TRUE(Doc().Records() == before);
    testsupport::ExpectLines({"host: Apply Note Spacing: nothing is selected, nothing is spaced"},
                             win::TranscriptLines());
}

struct SpacingKeys {
    const char* name;
    host::Language language;
    int32_t rawVersion;
    uint16_t menu;  ///< with Alt
    uint16_t submenu;
    uint16_t item;
};
void PrintTo(const SpacingKeys& c, std::ostream* os) {
    *os << c.name;
}

class NoteSpacingKeysTest : public NoteSpacingTest, public ::testing::WithParamInterface<SpacingKeys> {};

TEST_P(NoteSpacingKeysTest, TheMenuKeysApplyIt) {
    const SpacingKeys& keys = GetParam();
    m_host.reset();
    m_host = std::make_unique<host::Host>();
    m_host->SetRawVersion(keys.rawVersion);
    m_host->SetLanguage(keys.language);
    m_host->AddDocument(host::ParseScoreText(kScore, "spacing"));
    Select(1, 1);
    win::ClearTranscript();
    // A key the menu does not take closes it: nothing is spaced.
    win::QueueUserKey(keys.menu, false, false, true);
    win::QueueUserKey('Q', false, false, false);
    win::QueueUserKey(keys.submenu, false, false, false);
    win::QueueUserKey(keys.item, false, false, false);
    win::RunMessageLoop();
    EXPECT_EQ(Measure(1).first, 300);
    win::QueueUserKey('G', false, false, true);
    win::QueueUserKey(keys.menu, false, false, true);
    win::QueueUserKey(keys.submenu, false, false, false);
    win::QueueUserKey(keys.item, false, false, false);
    win::RunMessageLoop();
    EXPECT_EQ(Measure(1).first, 260);
    testsupport::ExpectLines({"host: Apply Note Spacing: 1 measure respaced (1-1)"}, win::TranscriptLines());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Hosts, NoteSpacingKeysTest, ::testing::Values(
    SpacingKeys{"English2000", host::Language::English, 0x05000005, 'S', 'S', 'N'},
    SpacingKeys{"English2001", host::Language::English, 0x06000200, 'M', 'S', 'N'},
    SpacingKeys{"German1998",  host::Language::German,  0x04000001, win::VK_OEM_7, 'S', 'N'},
    SpacingKeys{"German2002",  host::Language::German,  0x07000001, 'E', 'M', 'N'},
    SpacingKeys{"Italian2001", host::Language::Italian, 0x06000200, 'S', 'Z', 'F'}),
    [](const ::testing::TestParamInfo<SpacingKeys>& testCase) { return std::string(testCase.param.name); });
// clang-format on

TEST_F(NoteSpacingTest, TheMenuCommandApplies) {
    Select(2, 2);
    m_host->RunCommandId(m_host->FindMenuCommand("Mass Edit/Music Spacing/Apply Note Spacing"));
    EXPECT_EQ(Measure(2).first, 144);
    EXPECT_EQ(Measure(1).first, 300);
}

}  // namespace
