// Measure numbers as the host shows them and back, text commands, raw texts and text blocks.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "platform/host/score_text.h"
#include "platform/hostapi/bytes.h"
#include "service/text_services.h"
#include "tests/service/lumvar_fixture.h"
#include "tests/support/case_names.h"

namespace {

using lumvartest::Bytes;
using lumvartest::Words;

struct RegionFields {
    int16_t first;
    int16_t end;
    int16_t offset;
    int16_t firstDigit = '0';
    int16_t base = 10;
    int16_t flags = 0;
    const char* prefix = "";
    const char* suffix = "";
};

class TextServicesTest : public lumvartest::LumvarHostTest {
protected:
    void SetUp() override {
        LumvarHostTest::SetUp();
        StartLumvar(0x05000005);
        NewDocument();
        for (int16_t m = 1; m <= 25; ++m) {
            SaveOther("SOMS", m, 0, Bytes(24, 0));
        }
    }
    /// Region `number` ('otMN' under host year 2000).
    void Region(int16_t number, const RegionFields& fields) {
        Bytes bytes = Words(88, {{6, fields.first},
                                 {8, fields.end},
                                 {12, fields.firstDigit},
                                 {14, fields.base},
                                 {16, fields.offset},
                                 {82, fields.flags}});
        std::memcpy(bytes.data() + 22, fields.prefix, std::strlen(fields.prefix));
        std::memcpy(bytes.data() + 46, fields.suffix, std::strlen(fields.suffix));
        SaveOther("otMN", number, 0, std::move(bytes));
    }
    std::string Shown(int16_t measure) {
        std::array<char, 64> text{};
        const int16_t result = lumvar::MeasureToString(measure, text.data());
        return result == 0 ? std::string(text.data()) : "error " + std::to_string(result);
    }
};

TEST_F(TextServicesTest, WithoutRegionsTheMeasureIsItsOwnNumber) {
    EXPECT_EQ(Shown(5), "5");
    EXPECT_EQ(Shown(25), "25");
    EXPECT_EQ(Shown(26), "error 4");
    EXPECT_EQ(Shown(0), "error 4");
    EXPECT_EQ(lumvar::MeasureToString(5, nullptr), 2);
    EXPECT_EQ(lumvar::StringToMeasure("7"), 7);
    EXPECT_EQ(lumvar::StringToMeasure("#12"), 12);
    EXPECT_EQ(lumvar::StringToMeasure(nullptr), 0);
}

TEST_F(TextServicesTest, RegionsNumberTheirMeasures) {
    Region(1, {.first = 1, .end = 11, .offset = 0});
    Region(2, {.first = 11, .end = 21, .offset = 10});
    EXPECT_EQ(Shown(5), "5");
    EXPECT_EQ(Shown(12), "12");
    EXPECT_EQ(Shown(23), "#23");  // no region holds it
}

TEST_F(TextServicesTest, ANumberTwoRegionsShowIsGivenWithItsRegion) {
    Region(1, {.first = 1, .end = 11, .offset = 0});
    Region(2, {.first = 11, .end = 21, .offset = 0});
    EXPECT_EQ(Shown(5), "1:5");
    EXPECT_EQ(Shown(12), "2:2");
}

TEST_F(TextServicesTest, ANumberThatIsNoMeasureOfAnyRegionIsGivenWithItsRegion) {
    // Region 1 shows 101..110; no region holds measure 105.
    Region(1, {.first = 1, .end = 11, .offset = 100});
    EXPECT_EQ(Shown(5), "1:105");
}

struct ParseCase {
    RegionFields region;
    const char* text;
    int16_t measure;
};

class StringToMeasureTest : public TextServicesTest, public ::testing::WithParamInterface<ParseCase> {};

TEST_P(StringToMeasureTest, ParsesWithTheRegionsNumbering) {
    Region(1, GetParam().region);
    EXPECT_EQ(lumvar::StringToMeasure(GetParam().text), GetParam().measure);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Numberings, StringToMeasureTest, ::testing::Values(
    // No correction (0x80): the number is the shown one, the measure number - offset - 1 + first.
    ParseCase{{.first = 1, .end = 21, .offset = 0, .flags = 0x80}, "5", 5},
    ParseCase{{.first = 3, .end = 21, .offset = 10, .flags = 0x80}, "12", 4},
    // A decimal region's correction by one applies only where it keeps a measure's text reading
    // back as that measure: measure 5 shows "5" and "5" is measure 5, not 6.
    ParseCase{{.first = 1, .end = 21, .offset = 0}, "5", 5},
    ParseCase{{.first = 3, .end = 21, .offset = 10}, "12", 4},
    // Prefix and suffix must match exactly.
    ParseCase{{.first = 1, .end = 21, .offset = 0, .flags = 0x80, .prefix = "m", .suffix = "."}, "m7.", 7},
    ParseCase{{.first = 1, .end = 21, .offset = 0, .flags = 0x80, .prefix = "m", .suffix = "."}, "M7.", 0},
    // Letters a..z as digits from 1 (0x40), base 26: "b" is 2; any other base loses 1 with 0x80.
    ParseCase{{.first = 1, .end = 21, .offset = 0, .firstDigit = 'a', .base = 26, .flags = 0x40}, "b", 2},
    ParseCase{{.first = 1, .end = 21, .offset = 0, .firstDigit = 'a', .base = 26, .flags = 0xC0}, "c", 2},
    ParseCase{{.first = 1, .end = 21, .offset = 0, .firstDigit = 'a', .base = 26, .flags = 0x1F}, "b", 1},  // other bits
    // One repeated character: "aa" is 26 x 1 + 1.
    ParseCase{{.first = 1, .end = 30, .offset = 0, .firstDigit = 'a', .base = 26, .flags = 0x20}, "aa", 27},
    // Outside the shown range: read as a plain number.
    ParseCase{{.first = 1, .end = 11, .offset = 0, .flags = 0x80}, "15", 15}),
    testsupport::NameBy(&ParseCase::text, "measure", &ParseCase::measure, testsupport::kCaseIndex));
// clang-format on

// Numbers read from a text or computed with a region's base never wrap into another measure:
// a value beyond 16 bits matches nothing.
TEST_F(TextServicesTest, NumbersBeyondSixteenBitsMatchNoMeasure) {
    EXPECT_EQ(lumvar::StringToMeasure("#99999"), 0);
    EXPECT_EQ(lumvar::StringToMeasure("99999"), 0);
    EXPECT_EQ(lumvar::StringToMeasure("#32767"), 32767);
    EXPECT_EQ((std::vector<int16_t>{lumvar::StringToMeasure("#-32768"), lumvar::StringToMeasure("#-32769"),
                                    lumvar::StringToMeasure("#32768"), lumvar::StringToMeasure("#+12")}),
              (std::vector<int16_t>{-32768, 0, 0, 12}));
    EXPECT_EQ(lumvar::StringToMeasure("99999999999999999999"), 0);
    EXPECT_EQ(lumvar::StringToMeasure("70000:1"), 0);
    // A decimal region without the correction: 65541 would wrap to 5.
    Region(1, {.first = 1, .end = 21, .offset = 0, .flags = 0x80});
    EXPECT_EQ(lumvar::StringToMeasure("65541"), 0);
    EXPECT_EQ(lumvar::StringToMeasure("1:65541"), 0);
    EXPECT_EQ(lumvar::StringToMeasure("5"), 5);
    // A long text of one repeated character under a large base.
    Region(1, {.first = 1, .end = 21, .offset = 0, .firstDigit = 'a', .base = 30000, .flags = 0x20});
    EXPECT_EQ(lumvar::StringToMeasure(std::string(80000, 'b').c_str()), 0);
    EXPECT_EQ(lumvar::StringToMeasure("1:bb"), 0);  // 30000 x 1 + 2 is no number the region shows
}

// Every measure's text reads back as that measure, whatever the regions' style.
struct RoundTripCase {
    const char* name;
    std::vector<RegionFields> regions;
};

class MeasureRoundTripTest : public TextServicesTest, public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(MeasureRoundTripTest, EveryMeasuresTextReadsBackAsThatMeasure) {
    for (size_t i = 0; i < GetParam().regions.size(); ++i) {
        Region(static_cast<int16_t>(i + 1), GetParam().regions[i]);
    }
    for (int16_t measure = 1; measure <= 25; ++measure) {
        const std::string text = Shown(measure);
        EXPECT_EQ(lumvar::StringToMeasure(text.c_str()), measure) << "measure " << measure << " shows " << text;
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Styles, MeasureRoundTripTest, ::testing::Values(
    RoundTripCase{"PlainDecimal", {{.first = 1, .end = 26, .offset = 0}}},
    RoundTripCase{"DecimalWithOffset", {{.first = 1, .end = 11, .offset = 0}, {.first = 11, .end = 26, .offset = 10}}},
    RoundTripCase{"DecimalNoCorrection", {{.first = 1, .end = 26, .offset = 0, .flags = 0x80}}},
    RoundTripCase{"DigitsFromOne", {{.first = 1, .end = 26, .offset = 4, .flags = 0x40}}},
    RoundTripCase{"Letters", {{.first = 1, .end = 26, .offset = 0, .firstDigit = 'a', .base = 26, .flags = 0x40}}},
    RoundTripCase{"LettersNoCorrection", {{.first = 1, .end = 26, .offset = 0, .firstDigit = 'a', .base = 26, .flags = 0xC0}}},
    RoundTripCase{"RepeatedCharacter", {{.first = 1, .end = 26, .offset = 0, .firstDigit = 'a', .base = 26, .flags = 0x20}}},
    RoundTripCase{"PrefixAndSuffix", {{.first = 1, .end = 26, .offset = 0, .prefix = "m", .suffix = "."}}},
    RoundTripCase{"RestartedNumbers", {{.first = 1, .end = 11, .offset = 0}, {.first = 11, .end = 21, .offset = 0}}},
    RoundTripCase{"PartlyCovered", {{.first = 5, .end = 11, .offset = 100}, {.first = 14, .end = 20, .offset = 2}}}),
    [](const ::testing::TestParamInfo<RoundTripCase>& testCase) { return std::string(testCase.param.name); });
// clang-format on

TEST_F(TextServicesTest, RegionAndNumberWithAColon) {
    Region(1, {.first = 1, .end = 11, .offset = 0, .flags = 0x80});
    Region(2, {.first = 11, .end = 21, .offset = 0, .flags = 0x80});
    EXPECT_EQ(lumvar::StringToMeasure("2:3"), 13);
    EXPECT_EQ(lumvar::StringToMeasure("1:3"), 3);
    EXPECT_EQ(lumvar::StringToMeasure("2:11"), 0);  // region 2 shows 1..10
    EXPECT_EQ(lumvar::StringToMeasure("3:1"), 0);   // no region 3
}

TEST_F(TextServicesTest, Host2001UsesTheOtherRegionTag) {
    m_host.reset();
    lumvar::ResetModuleState();
    m_host = std::make_unique<host::Host>();
    StartLumvar(0x06000200);
    NewDocument();
    for (int16_t m = 1; m <= 5; ++m) {
        SaveOther("SOMS", m, 0, Bytes(24, 0));
    }
    SaveOther("SOMN", 1, 0, Words(88, {{6, 1}, {8, 6}, {12, '0'}, {14, 10}, {16, 40}}));
    EXPECT_EQ(Shown(2), "1:42");
}

TEST_F(TextServicesTest, AScoreTextsRegionShowsItsNumbers) {
    // Measures 1-8 numbered from 3, as the host writes a score text's region.
    m_host.reset();
    lumvar::ResetModuleState();
    m_host = std::make_unique<host::Host>();
    StartLumvar(0x06000200);
    m_host->AddDocument(host::ParseScoreText("staff \"A\"\nmeasures 9\nnumberregion 1 8 start 3\n", "regions"));
    EXPECT_EQ(Shown(1), "3");
    EXPECT_EQ(Shown(6), "8");
    EXPECT_EQ(Shown(8), "1:10");  // 10 is no measure of the region
    EXPECT_EQ(Shown(9), "#9");
    EXPECT_EQ(lumvar::StringToMeasure("8"), 6);
}

// ---- Text commands ----

struct StripCase {
    const char* text;
    const char* stripped;
    const char* font;
    const char* size;
    const char* efx;
};

class StripCaretsTest : public ::testing::TestWithParam<StripCase> {};

TEST_P(StripCaretsTest, RemovesCommandsAndKeepsLeadingArguments) {
    const StripCase& c = GetParam();
    std::string text = c.text;
    std::array<char, 32> font{};
    std::array<char, 32> size{};
    std::array<char, 32> efx{};
    const int32_t length = lumvar::StripCarets(text.data(), font.data(), size.data(), efx.data());
    EXPECT_EQ(std::string(text.c_str()), c.stripped);
    EXPECT_EQ(length, static_cast<int32_t>(std::strlen(c.stripped)));
    EXPECT_STREQ(font.data(), c.font);
    EXPECT_STREQ(size.data(), c.size);
    EXPECT_STREQ(efx.data(), c.efx);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Texts, StripCaretsTest, ::testing::Values(
    StripCase{"^font(Serif)^size(24)Allegro", "Allegro", "Serif", "24", ""},
    StripCase{"Allegro^size(24) molto", "Allegro molto", "", "", ""},
    StripCase{"^efx(1)^nfx(2)A\nB\rC", "A BC", "", "", "1"},
    StripCase{" ^font(Times)x", " x", "Times", "", ""},
    StripCase{"text ^font(unterminated", "text ", "", "", ""},
    StripCase{"^value()end", "end", "", "", ""},
    // An argument longer than the out-buffers take is cut at 31 bytes.
    StripCase{"^font(0123456789012345678901234567890123456789)", "", "0123456789012345678901234567890", "", ""}),
    testsupport::NameBy(&StripCase::text));
// clang-format on

TEST(StripCaretsNullTest, BuffersMayBeNull) {
    std::string text = "^font(Serif)x";
    EXPECT_EQ(lumvar::StripCarets(text.data(), nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(lumvar::StripCarets(nullptr, nullptr, nullptr, nullptr), 0);
}

// ---- Raw texts and text blocks ----

TEST_F(TextServicesTest, RawTexts) {
    int16_t key = -1;
    const hostapi::Tag tag = hostapi::MakeTag("txbl");
    ASSERT_EQ(lumvar::SetRawText(&key, "Dolce", tag), 1);
    EXPECT_GT(key, 0);
    std::array<char, 16> buffer{};
    ASSERT_EQ(lumvar::GetRawText(key, buffer.data(), 16, tag), 1);
    EXPECT_STREQ(buffer.data(), "Dolce");
    EXPECT_EQ(FindOther("txbl", key, 0)->size(), 6u);  // the text and its terminator
    ASSERT_EQ(lumvar::SetRawText(&key, "Forte", tag), 1);
    ASSERT_EQ(lumvar::GetRawText(key, buffer.data(), 16, tag), 1);
    EXPECT_STREQ(buffer.data(), "Forte");
    EXPECT_EQ(lumvar::GetRawText(99, buffer.data(), 16, tag), 0);
    EXPECT_EQ(lumvar::SetRawText(nullptr, "x", tag), 0);
}

TEST_F(TextServicesTest, TextBlocks) {
    TextBlock(4, "^font(Serif)Andante");
    std::array<uint8_t, 48> header{};
    EXPECT_STREQ(lumvar::GetTextBlock(4, 0, header.data()), "^font(Serif)Andante");
    EXPECT_EQ(hostapi::ReadI16(header.data(), 0), 4);
    EXPECT_STREQ(lumvar::GetTextBlock(4, 1, nullptr), "Andante");
    EXPECT_STREQ(lumvar::GetTextBlock(5, 1, nullptr), "");

    std::array<uint8_t, 48> record{};
    hostapi::WriteI16(record.data(), 0, -1);
    int16_t block = -1;
    ASSERT_EQ(lumvar::SetTextBlock(&block, record.data(), "Presto"), 1);
    EXPECT_GT(block, 0);
    const int16_t textKey = hostapi::ReadI16(record.data(), 0);
    EXPECT_GT(textKey, 0);
    EXPECT_STREQ(lumvar::GetTextBlock(block, 0, nullptr), "Presto");
    ASSERT_EQ(lumvar::SetTextBlock(&block, record.data(), "Largo"), 1);
    EXPECT_EQ(hostapi::ReadI16(record.data(), 0), textKey);
    EXPECT_STREQ(lumvar::GetTextBlock(block, 0, nullptr), "Largo");
}

// The text-block buffer holds 999 characters: a longer block is answered cut, and the client
// learns its whole length, reads the whole raw text into a buffer of that size and writes it back
// whole. A text the client holds itself is measured as it is.
TEST_F(TextServicesTest, ALongTextBlockIsAnsweredCutAndItsWholeLengthIsTold) {
    const std::string text = std::string(998, 'a') + "\xC3\xA9" + std::string(480, 'b') + "Copyright";
    TextBlock(4, text);
    std::array<uint8_t, 48> header{};
    const char* answer = lumvar::GetTextBlock(4, 0, header.data());
    EXPECT_EQ(std::string(answer), text.substr(0, 999));
    ASSERT_EQ(lumvar::TextLength(answer), text.size());
    std::vector<char> whole(lumvar::TextLength(answer) + 1, '\0');
    const hostapi::Tag raw = hostapi::MakeTag("txbl");
    ASSERT_EQ(
        lumvar::GetRawText(hostapi::ReadI16(header.data(), 0), whole.data(), static_cast<uint32_t>(whole.size()), raw),
        1);
    EXPECT_EQ(std::string(whole.data()), text);
    int16_t block = 4;
    ASSERT_EQ(lumvar::SetTextBlock(&block, header.data(), whole.data()), 1);
    EXPECT_EQ(lumvar::TextBlockText(4), text);
    // A short block is whole in the buffer.
    TextBlock(5, "Andante");
    answer = lumvar::GetTextBlock(5, 0, nullptr);
    EXPECT_EQ(lumvar::TextLength(answer), 7u);
    EXPECT_EQ(lumvar::TextLength("Largo"), 5u);
    EXPECT_EQ(lumvar::TextLength(nullptr), 0u);
}

}  // namespace
