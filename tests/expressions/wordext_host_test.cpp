// The host's lyrics as the word extensions see them: the score statements for lyric texts and
// syllables, and the services 49 (syllable text), 42 (syllable place) and 44 (entry placement).
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>

#include "core/host/host_imports.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/lyric_records.h"
#include "platform/hostapi/placement_records.h"
#include "tests/core/score_host_fixture.h"
#include "tests/support/case_names.h"

namespace {

using hostapi::kInterfaceVersion;

// "Hal-le lu-jah" in Times New Roman, "lu-jah" at 10 points, bold and italic from the end of
// "jah" on, an invisible blank and "^x".
constexpr const char* kScore = R"(
font 0 "Maestro"
font 1 "Times New Roman"
staff "Voice"
measures 3
system 1 2
notes 1 1 c4/1
notes 1 2 c4/4 c4+d4/4 e4+f4+g4/2
notes 1 3 c4/1
lyric verse 1 "^font(Times New Roman)Hal-le ^size(10)lu-jah^efx(bold,italic) )"
                               "\u00A0"
                               R"( ^^x"
syllable 1 2:2 chorus 3 4 layer 1 at -6 extension 120
)";

class WordExtHostTest : public testsupport::ScoreHostTest {
protected:
    void SetUp() override {
        ScoreHostTest::SetUp();
        Open(kScore);
    }
    hostapi::EntryNumber EntryOf(int16_t measure, size_t index) {
        return hostapi::ConstEntryView(Document().EntriesOf(host::CellKey{1, measure, 0}).at(index).data()).number();
    }
};

TEST_F(WordExtHostTest, ScoreStatementsWriteTextsAndAssignments) {
    const std::string text = "^font(Times New Roman)Hal-le ^size(10)lu-jah^efx(bold,italic) \xA0 ^^x";
    host::Bytes expected(text.begin(), text.end());
    expected.push_back(0);
    EXPECT_EQ(*Stored(host::RecordKey::Other(hostapi::kTagVerseText, 1, 0)), expected);
    const hostapi::EntryNumber entry = EntryOf(2, 1);
    EXPECT_EQ(*Stored(host::RecordKey::EntryDetail(hostapi::kTagChorusAssignment, entry, 0)),
              (host::Bytes{3, 0, 4, 0, 0xFA, 0xFF, 0, 0, 120, 0}));
    const auto flags = [&](int16_t measure, size_t index) {
        return hostapi::ConstEntryView(Document().EntriesOf(host::CellKey{1, measure, 0}).at(index).data()).flags();
    };
    EXPECT_EQ(flags(2, 1), hostapi::kEntryNote | hostapi::kEntryLyrics | hostapi::kEntryBeamStart);
    EXPECT_EQ(flags(2, 0) & hostapi::kEntryLyrics, 0u);
}

struct SyllableCase {
    int16_t number;
    const char* characters;
    int16_t kind;
    int16_t hyphen;
    int16_t size;
    uint16_t style;
    int16_t width;
};

class SyllableTextTest : public WordExtHostTest, public testing::WithParamInterface<SyllableCase> {};

TEST_P(SyllableTextTest, ReadsTheSyllable) {
    const SyllableCase& c = GetParam();
    std::array<char, 256> buffer{};
    int16_t kind = -1;
    int16_t hyphen = -1;
    int16_t width = -1;
    hostapi::SyllableInfo font;
    ASSERT_EQ(orvex::Imports().SyllableText(hostapi::kTagVerseText, 1, c.number, buffer.data(), 256, &kind, &font,
                                            &hyphen, &width, kInterfaceVersion),
              1);
    EXPECT_STREQ(buffer.data(), c.characters);
    EXPECT_EQ(kind, c.kind);
    EXPECT_EQ(hyphen, c.hyphen);
    EXPECT_EQ(font.font(), 1);
    EXPECT_EQ(font.size(), c.size);
    EXPECT_EQ(font.style(), c.style);
    EXPECT_EQ(width, c.width);
}

INSTANTIATE_TEST_SUITE_P(Syllables, SyllableTextTest,
                         testing::Values(SyllableCase{1, "Hal", 0, 1, 12, 0, 72},
                                         SyllableCase{2, "le", 1, 0, 12, 0, 48}, SyllableCase{3, "lu", 0, 1, 10, 0, 40},
                                         SyllableCase{4, "jah", 1, 0, 10, 0, 60},
                                         SyllableCase{5, "\xA0", 1, 0, 10, 3, 20},
                                         SyllableCase{6, "^x", 1, 0, 10, 3, 40}),
                         testsupport::NameBy("syllable", &SyllableCase::number, &SyllableCase::characters));

TEST_F(WordExtHostTest, SyllableTextTakesWhatFitsAndRefusesWhatIsMissing) {
    std::array<char, 8> buffer{};
    const auto text = orvex::Imports().SyllableText;
    EXPECT_EQ(
        text(hostapi::kTagVerseText, 1, 7, buffer.data(), 8, nullptr, nullptr, nullptr, nullptr, kInterfaceVersion), 0);
    EXPECT_EQ(
        text(hostapi::kTagVerseText, 2, 1, buffer.data(), 8, nullptr, nullptr, nullptr, nullptr, kInterfaceVersion), 0);
    ASSERT_EQ(
        text(hostapi::kTagVerseText, 1, 1, buffer.data(), 3, nullptr, nullptr, nullptr, nullptr, kInterfaceVersion), 1);
    EXPECT_STREQ(buffer.data(), "Ha");
}

TEST_F(WordExtHostTest, SyllablePlaceStepsOverOneSyllable) {
    const std::string text = "^font(Times New Roman)Hal-le ^size(10)lu-jah^efx(bold,italic) \xA0 ^^x";
    const auto place = orvex::Imports().SyllablePlace;
    hostapi::SyllableInfo font = hostapi::DefaultLyricFont();
    EXPECT_EQ(place(text.c_str(), 0, hostapi::kTagVerseText, &font, kInterfaceVersion), 22);
    EXPECT_EQ(font.syllableLength(), 3);
    EXPECT_EQ(place(text.c_str() + 22, 1, hostapi::kTagVerseText, &font, kInterfaceVersion), 4);   // "le"
    EXPECT_EQ(place(text.c_str() + 26, 1, hostapi::kTagVerseText, &font, kInterfaceVersion), 12);  // "lu"
    EXPECT_EQ(font.size(), 10);
    font = hostapi::DefaultLyricFont();
    EXPECT_EQ(place(text.c_str(), 5, hostapi::kTagVerseText, &font, kInterfaceVersion), 64);  // "^^x"
    EXPECT_EQ(font.style(), 3);
    font = hostapi::DefaultLyricFont();
    EXPECT_EQ(place(text.c_str(), 6, hostapi::kTagVerseText, &font, kInterfaceVersion), 0);
    // None: the state at the text's end, no length.
    EXPECT_EQ(font.font(), 1);
    EXPECT_EQ(font.size(), 10);
    EXPECT_EQ(font.style(), 3);
    EXPECT_EQ(font.syllableLength(), 0);
    EXPECT_EQ(place(text.c_str(), 0, hostapi::kTagVerseAssignment, &font, kInterfaceVersion), 0);
}

struct PlacementCase {
    int16_t percent;
    size_t entry;  ///< of measure 2
    int32_t x;
    int32_t right;
    std::vector<std::pair<int16_t, int16_t>> heads;
};

void PrintTo(const PlacementCase& c, std::ostream* out) {
    *out << "entry " << c.entry << " at " << c.percent << "%";
}

class EntryPlacementTest : public WordExtHostTest, public testing::WithParamInterface<PlacementCase> {};

TEST_P(EntryPlacementTest, PlacesTheEntryAndItsNoteheads) {
    const PlacementCase& c = GetParam();
    const host::RecordKey system = host::RecordKey::Other(hostapi::kTagStaffSystem, 1, 0);
    host::Bytes record = *Stored(system);
    hostapi::WriteI16(record.data(), hostapi::StaffSystem20Layout::kPercent, c.percent);
    Document().SaveRecord(system, record);
    hostapi::EntryBox box;
    hostapi::EntryMetrics metrics;
    ASSERT_EQ(orvex::Imports().EntryPlacement(1, 2, EntryOf(2, c.entry), &box, &metrics, 0, kInterfaceVersion), 1);
    EXPECT_EQ(box.flags(), 0);
    EXPECT_EQ(box.x(), c.x);
    EXPECT_EQ(box.right(), c.right);
    ASSERT_EQ(box.headCount(), static_cast<int16_t>(c.heads.size()));
    for (size_t i = 0; i < c.heads.size(); ++i) {
        SCOPED_TRACE("notehead " + std::to_string(i));
        EXPECT_EQ(box.headLeft(i), c.heads[i].first);
        EXPECT_EQ(box.headRight(i), c.heads[i].second);
    }
    EXPECT_EQ(metrics.measureX(), 240);
    EXPECT_EQ(metrics.measureWidth(), 240);
    EXPECT_EQ(metrics.scale(1), c.percent * 100);
    EXPECT_EQ(metrics.scale(2), c.percent * 100);
    EXPECT_EQ(metrics.scale(3), 10000);
}

// Measure 2 starts at 240: its entries stand at 252 + position x 216 / 4096. The upper note of a
// second stands left of the column (stems are down); of three steps only the middle one moves.
INSTANTIATE_TEST_SUITE_P(Entries, EntryPlacementTest,
                         testing::Values(PlacementCase{100, 0, 252, 276, {{252, 276}}},
                                         PlacementCase{100, 1, 306, 330, {{306, 330}, {282, 306}}},
                                         PlacementCase{100, 2, 360, 384, {{360, 384}, {336, 360}, {360, 384}}},
                                         PlacementCase{50, 1, 153, 165, {{153, 165}, {141, 153}}}),
                         [](const testing::TestParamInfo<PlacementCase>& testCase) {
                             return "Entry" + std::to_string(testCase.param.entry) + "At" +
                                    std::to_string(testCase.param.percent);
                         });

TEST_F(WordExtHostTest, EntryPlacementNeedsASystemAndTheEntry) {
    hostapi::EntryBox box;
    hostapi::EntryMetrics metrics;
    const auto placement = orvex::Imports().EntryPlacement;
    EXPECT_EQ(placement(1, 3, EntryOf(3, 0), &box, &metrics, 0, kInterfaceVersion), 0);  // no system
    EXPECT_EQ(placement(1, 1, EntryOf(2, 0), &box, &metrics, 0, kInterfaceVersion), 0);  // not in the cell
    EXPECT_EQ(placement(1, 1, EntryOf(1, 0), nullptr, nullptr, 0, kInterfaceVersion), 1);
}

}  // namespace
