// "Vx Character set conversion...": the conversion of one text, the cleaning of the two sets, and
// the command end to end over lyrics, text blocks and text expressions with the default sets in
// both directions.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/module.h"
#include "core/tool_items.h"
#include "expressions/charset.h"
#include "expressions/txtexpr.h"
#include "forms/action_control_table.h"
#include "platform/host/record_layouts.h"
#include "platform/hostapi/lyric_records.h"
#include "platform/win/system.h"
#include "tests/support/case_names.h"
#include "tests/support/orvex_host.h"
#include "tests/tools/notes_fixture.h"

namespace {

std::string FromHex(const char* hex) {
    std::string bytes;
    for (const char* p = hex; p[0] != '\0' && p[1] != '\0'; p += p[2] == ' ' ? 3 : 2) {
        bytes += static_cast<char>(hostapi::HexDigitValue(p[0]) * 16 + hostapi::HexDigitValue(p[1]));
    }
    return bytes;
}

// The default sets: Mac Roman characters and their Windows-1252 counterparts.
const std::string kMacRoman = FromHex(
    "86 9F 8A 9A A7 85 80 81 82 83 84 87 88 89 8B 8C 8D 8E 8F 90 91 92 93 94 95 96 97 98 99 9B 9C 9D 9E A0 A1 A2 A3 A4 "
    "A5 A6 A8 A9 AA AB AC AE AF AE AF B1 B4 B5 BB BE BF C0 C1 C2 C4 C7 C8 CA C9 CB CC CD CE CF D0 D1 D2 D3 D4 D5 D6 D8 "
    "D9 DB DC DD E0 E1 E2 E3 E4 E5 E6 E7 E8 E9 EA EB EC ED EE EF F1 F2 F3 F4 FB FC");
const std::string kWindows = FromHex(
    "DC FC E4 F6 DF D6 C4 C5 C7 C9 D1 E1 E0 E2 E3 E5 E7 E9 E8 EA EB ED EC EE EF F1 F3 F2 F4 F5 FA F9 FB 86 9A A2 A3 A7 "
    "95 B6 AE A9 99 92 A8 C6 D8 C6 D8 B1 A5 B5 AA E6 F8 BF A1 AC 83 AB BB A0 C9 C0 C3 D5 8C 9C 96 97 93 94 91 92 F7 FF "
    "9F A4 8B 9B 87 B7 B8 84 89 C2 CA C1 CB C8 CD CE CF CC D3 D4 D2 DA DB D9 B0 B8");
// The Windows text converted back: C9, 92 and B8 occur twice in that set and go back by their
// first place (to 83, AB and E2).
const std::string kBackToMacRoman = FromHex(
    "86 9F 8A 9A A7 85 80 81 82 83 84 87 88 89 8B 8C 8D 8E 8F 90 91 92 93 94 95 96 97 98 99 9B 9C 9D 9E A0 A1 A2 A3 A4 "
    "A5 A6 A8 A9 AA AB AC AE AF AE AF B1 B4 B5 BB BE BF C0 C1 C2 C4 C7 C8 CA 83 CB CC CD CE CF D0 D1 D2 D3 D4 AB D6 D8 "
    "D9 DB DC DD E0 E1 E2 E3 E4 E5 E6 E7 E8 E9 EA EB EC ED EE EF F1 F2 F3 F4 FB E2");

struct TextCase {
    const char* name;
    std::string text;
    bool allTexts;
    std::string source;
    std::string target;
    std::string converted;
};

class ConvertTextTest : public testing::TestWithParam<TextCase> {};

TEST_P(ConvertTextTest, ConvertsOrLeavesTheText) {
    const TextCase& c = GetParam();
    std::string text = c.text;
    const bool changed = orvex::ConvertText(text.data(), c.source, c.target, c.allTexts, {"MAESTRO", "COURIER"});
    EXPECT_EQ(text, c.converted);
    EXPECT_EQ(changed, c.converted != c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ConvertTextTest,
    testing::Values(
        TextCase{"NoFontCommand", "\x8A\x9A", false, "\x8A\x9A", "\xE4\xF6", "\x8A\x9A"},
        TextCase{"AnyFontCommand", "^Font(Arial)\x8A\x9A", false, "\x8A\x9A", "\xE4\xF6", "^Font(Arial)\xE4\xF6"},
        TextCase{"ExcludedFont", "x^font(Courier New)\x8A", false, "\x8A", "\xE4", "x^font(Courier New)\x8A"},
        TextCase{"MusicFontInTheList", "^font(maestro)\x8A", false, "\x8A", "\xE4", "^font(maestro)\x8A"},
        TextCase{"AllTexts", "\x8A\x9A", true, "\x8A\x9A", "\xE4\xF6", "\xE4\xF6"},
        TextCase{"BeyondTheTarget", "\x8A\x9A", true, "\x8A\x9A", "\xE4", "\xE4\x9A"},
        TextCase{"FirstPlaceWins", "\x8A", true, "\x8A\x8A", "\xE4\xF6", "\xE4"}),
    [](const testing::TestParamInfo<TextCase>& testCase) { return testCase.param.name; });

struct PairCase {
    const char* source;
    const char* target;
    const char* cleanSource;
    const char* cleanTarget;
};

class CleanPairTest : public testing::TestWithParam<PairCase> {};

TEST_P(CleanPairTest, DropsPairsThatChangeNothing) {
    std::string source = GetParam().source;
    std::string target = GetParam().target;
    orvex::CleanConversionPair(source, target);
    EXPECT_EQ(source, GetParam().cleanSource);
    EXPECT_EQ(target, GetParam().cleanTarget);
}

INSTANTIATE_TEST_SUITE_P(Pairs, CleanPairTest,
                         testing::Values(PairCase{"abcd", "xbzd", "ac", "xz"}, PairCase{"aab", "aac", "b", "c"},
                                         PairCase{"abc", "a", "bc", ""}, PairCase{"ab", "ba", "ab", "ba"}),
                         testsupport::NameBy(&PairCase::source, &PairCase::target));

// ---- The command ----

class CharsetCommandTest : public testsupport::OrvexHostTest {
protected:
    std::string Text(hostapi::Tag tag, int16_t number) {
        const host::Bytes* bytes = Document().Records().Find(host::RecordKey::Other(tag, number, 0));
        return bytes == nullptr ? "<none>" : std::string(reinterpret_cast<const char*>(bytes->data()));
    }
    /// The characters of text block n.
    std::string TextBlock(int16_t n) {
        const host::Bytes* header = Document().Records().Find(host::RecordKey::Other(host::kTagTextBlock, n, 0));
        return header == nullptr ? "<none>" : Text(host::kTagTextBlockText, hostapi::ReadI16(header->data(), 0));
    }
    std::string ExpressionText(int16_t n) {
        const host::Bytes* bytes = Document().Records().Find(host::RecordKey::Other(hostapi::MakeTag("SODT"), n, 0));
        return bytes == nullptr ? "<none>" : std::string(reinterpret_cast<const char*>(bytes->data()) + 12);
    }
};

std::string Quoted(const std::string& bytes) {
    return "\"" + win::AnsiToUtf8(bytes) + "\"";
}

TEST_F(CharsetCommandTest, DefaultSetsConvertMacRomanTexts) {
    const std::string times = "^font(Times New Roman)";
    StartHost(
        "font 0 \"Maestro\"\nfont 1 \"Times New Roman\"\nstaff \"Voice\"\nmeasures 1\n"
        "lyric verse 1 " +
        Quoted(times + kMacRoman) + "\n" + "lyric chorus 2 " + Quoted(kMacRoman) + "\n" + "lyric section 3 " +
        Quoted("^font(Maestro)" + kMacRoman) + "\n" + "text " + Quoted(times + kMacRoman) + "\n" + "expression 1 " +
        Quoted(kMacRoman) + " font 1\n" + "expression 2 " + Quoted(kMacRoman) + " font 0\n");
    EXPECT_EQ(RunWithShift(orvex::ToolCode(orvex::ToolItem::CharacterSetConversion)), 1);
    EXPECT_EQ(Text(hostapi::kTagVerseText, 1), times + kWindows);
    EXPECT_EQ(Text(hostapi::kTagChorusText, 2), kMacRoman);  // no font command
    EXPECT_EQ(Text(hostapi::kTagSectionText, 3), "^font(Maestro)" + kMacRoman);
    EXPECT_EQ(TextBlock(2), times + kWindows);
    EXPECT_EQ(TextBlock(1), "Voice");
    EXPECT_EQ(ExpressionText(1), kWindows);
    EXPECT_EQ(ExpressionText(2), kMacRoman);  // music font
    EXPECT_TRUE(Messages().empty());
}

TEST_F(CharsetCommandTest, AnExpressionLongerThanTheLoadBufferIsConvertedWhole) {
    const std::string padding(1400, 'x');
    StartHost("font 1 \"Times New Roman\"\nstaff \"Voice\"\nmeasures 1\nexpression 1 " + Quoted(padding + kMacRoman) +
              " font 1\n");
    EXPECT_EQ(RunWithShift(orvex::ToolCode(orvex::ToolItem::CharacterSetConversion)), 1);
    EXPECT_EQ(ExpressionText(1), padding + kWindows);
}

TEST_F(CharsetCommandTest, ReverseDirectionAndExcludedFonts) {
    const std::string times = "^font(Times New Roman)";
    // Texts longer than any working buffer are converted whole.
    const std::string tooLong = times + std::string(10000, kWindows[0]);
    const std::string noRoomForItsZero(10000, kWindows[0]);
    StartHost(
        "font 1 \"Times New Roman\"\nfont 2 \"Courier\"\nstaff \"Voice\"\nmeasures 1\n"
        "lyric verse 1 " +
        Quoted(times + kWindows) + "\n" + "lyric verse 2 " + Quoted(tooLong) + "\n" + "text " +
        Quoted("^font(Courier)" + kWindows) + "\n" + "expression 1 " + Quoted(kWindows) + " font 2\n" +
        "expression 2 " + Quoted(kWindows) + " font 1\n" + "expression 3 " + Quoted(noRoomForItsZero) + " font 1\n");
    std::shared_ptr<orvex::TFMisc> context = orvex::InitToolContext();
    for (size_t row = 0; row < 2; ++row) {
        context->Options[row].text = orvex::kActionControlTableData[30][row].text;
    }
    context->Options[orvex::CHARSET_REVERSE].value = 1;
    context->Options[orvex::CHARSET_EXCLUDED_FONTS].text = "Arial, Courier";
    orvex::TheModule.dispatch.CurrentRegion = nullptr;
    EXPECT_EQ(orvex::DispatchTool(*context, orvex::ItemNumber(orvex::ToolItem::CharacterSetConversion), 1, 0), 1);
    EXPECT_EQ(Text(hostapi::kTagVerseText, 1), times + kBackToMacRoman);
    EXPECT_EQ(Text(hostapi::kTagVerseText, 2), times + std::string(10000, kBackToMacRoman[0]));
    EXPECT_EQ(TextBlock(2), "^font(Courier)" + kWindows);
    EXPECT_EQ(ExpressionText(1), kWindows);
    EXPECT_EQ(ExpressionText(2), kBackToMacRoman);
    EXPECT_EQ(ExpressionText(3), std::string(10000, kBackToMacRoman[0]));
}

TEST_F(CharsetCommandTest, FontsExcludedOrListedOnceAreNotMusicFontsLater) {
    StartHost(
        "font 1 \"Times New Roman\"\nfont 2 \"Courier\"\nstaff \"Voice\"\nmeasures 1\n"
        "expression 1 " +
        Quoted(kMacRoman) + " font 2\n");
    const auto run = [](const char* exclude) {
        std::shared_ptr<orvex::TFMisc> context = orvex::InitToolContext();
        for (size_t row = 0; row < 2; ++row) {
            context->Options[row].text = orvex::kActionControlTableData[30][row].text;
        }
        context->Options[orvex::CHARSET_EXCLUDED_FONTS].text = exclude;
        orvex::TheModule.dispatch.CurrentRegion = nullptr;
        return orvex::DispatchTool(*context, orvex::ItemNumber(orvex::ToolItem::CharacterSetConversion), 1, 0);
    };
    // Row 3 excludes Courier for this run only.
    EXPECT_EQ(run("Courier"), 1);
    EXPECT_EQ(ExpressionText(1), kMacRoman);
    EXPECT_FALSE(orvex::TextExpressionTable().SortTables().Contains("Courier"));
    // Courier as an additional music font of the sorter's options, then taken out of them.
    orvex::TextExpressionTable().Options().AdditionalFonts = "Courier";
    EXPECT_EQ(run(" "), 1);
    EXPECT_EQ(ExpressionText(1), kMacRoman);
    orvex::TextExpressionTable().Options().AdditionalFonts.clear();
    EXPECT_EQ(run(" "), 1);
    EXPECT_EQ(ExpressionText(1), kWindows);
}

ORDINARY_MUSIC_CASES(Charset, "tests/expressions/ordinary.cases", "charset");

}  // namespace
