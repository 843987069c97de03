// The text expression table: loading with placeholders, playback data and metatool shortcuts,
// the zero record, finding or creating an expression, writing back, the reuse test, counting
// placements, renumbering the document after a sort, and the explorer's filter.
#include <gtest/gtest.h>

#include "core/tool_context.h"
#include "expressions/txtexpr.h"
#include "tests/expressions/expressions_fixture.h"

namespace {

using namespace orvex;
using exprtest::kTagExpression;
using exprtest::kTagMetatool;
using exprtest::kTagPlayback;

constexpr const char* kFonts = R"(
font 0 "Maestro"
font 1 "Times New Roman"
font 2 "Arial"
font 3 "Petrucci"
staff "Flute"
staff "Oboe"
measures 4
)";

/// Expressions n "E<n>" for the numbers given, in Arial 12.
std::string Expressions(std::initializer_list<int32_t> numbers) {
    std::string text = kFonts;
    for (const int32_t n : numbers) {
        text += "expression " + std::to_string(n) + " \"E" + std::to_string(n) + "\" font 2\n";
    }
    return text;
}

class TextExpressionTableTest : public exprtest::ExpressionsTest {};

TEST_F(TextExpressionTableTest, ConstructedEmptyAndStale) {
    TTextExpressions table;
    EXPECT_EQ(table.Count(), 0);
    EXPECT_TRUE(table.Stale());
    EXPECT_FALSE(table.SortTables().Built());
    EXPECT_FALSE(table.Sorted());
    EXPECT_FALSE(table.Analysed());
}

TEST_F(TextExpressionTableTest, MissingNumbersBecomePlaceholders) {
    OpenScore(Expressions({1, 2, 3, 4, 5, 9}));
    TTextExpressions table;
    table.LoadFromDocument();
    ASSERT_EQ(table.Count(), 9);
    EXPECT_EQ(table.ExpressionCount(), 9);
    EXPECT_EQ(table.LastNumber(), 9);
    EXPECT_TRUE(table.EmptyMet());
    EXPECT_FALSE(table.Stale());
    for (int16_t n = 6; n <= 8; ++n) {
        SCOPED_TRACE("placeholder " + std::to_string(n));
        const TTxtExprRec& placeholder = table.Item(n - 1);
        EXPECT_EQ(placeholder.Number, n);
        EXPECT_EQ(placeholder.Text, "empty: " + std::to_string(n) + " (not read)");
        EXPECT_EQ(placeholder.FontNumber(), 1);  // Times New Roman
        EXPECT_EQ(placeholder.FontSize(), 11);
        EXPECT_EQ(placeholder.NotRead, 1);
        EXPECT_EQ(placeholder.StoredLength, placeholder.Text.size() + 13);
        EXPECT_EQ(placeholder.Playback, (std::array<uint8_t, 12>{}));
    }
    const TTxtExprRec& nine = table.Item(8);
    EXPECT_EQ(nine.Number, 9);
    EXPECT_EQ(nine.Text, "E9");
    EXPECT_EQ(nine.FontNumber(), 2);
    EXPECT_EQ(nine.FontSize(), 12);
    EXPECT_EQ(nine.NotRead, 0);
    EXPECT_EQ(nine.StoredLength, 15);
    EXPECT_EQ(nine.UsageCount, 0);
    EXPECT_EQ(nine.MovedTo, 0);
}

TEST_F(TextExpressionTableTest, GapsOfUpTo101NumbersAreBridged) {
    OpenScore(Expressions({1, 103}));
    TTextExpressions table;
    table.LoadFromDocument();
    EXPECT_EQ(table.Count(), 103);
    EXPECT_EQ(table.Item(101).Text, "empty: 102 (not read)");
    EXPECT_EQ(table.Item(102).Text, "E103");
}

TEST_F(TextExpressionTableTest, The102ndMissingNumberEndsTheScan) {
    OpenScore(Expressions({1, 104}));
    TTextExpressions table;
    table.LoadFromDocument();
    EXPECT_EQ(table.Count(), 1);
    EXPECT_FALSE(table.EmptyMet());
    EXPECT_EQ(table.LastNumber(), 1);
}

TEST_F(TextExpressionTableTest, OutsideTheTableItemIsTheZeroRecord) {
    OpenScore(Expressions({1, 2}));
    TTextExpressions table;
    table.LoadFromDocument();
    const TTxtExprRec* before = &table.Item(-1);
    const TTxtExprRec* after = &table.Item(table.Count());
    EXPECT_EQ(before, after);
    EXPECT_EQ(after->Number, 0);
    EXPECT_TRUE(after->Text.empty());
    EXPECT_TRUE(after->SortText.empty());
    EXPECT_TRUE(after->SortKey.empty());
    EXPECT_EQ(after->Header, (std::array<uint8_t, 14>{}));
    const TTextExpressions& constant = table;
    EXPECT_EQ(&constant.Item(-1), before);
    EXPECT_EQ(&constant.Item(constant.Count()), before);
    EXPECT_EQ(constant.Item(0).Number, 1);
    EXPECT_EQ(constant.Item(constant.Count() - 1).Number, 2);
    // A caller that changes it does not change what the next caller gets.
    table.Item(5).Text = "changed";
    EXPECT_TRUE(table.Item(7).Text.empty());
}

TEST_F(TextExpressionTableTest, PlaybackDataAndItsMissingRecord) {
    OpenScore(std::string(kFonts) + R"(
expression 1 "f" font 0 playback 0000000004000200A0000110
expression 2 "p" font 0 flags 2048
expression 3 "mf" font 0 flags 7
)");
    TTextExpressions table;
    table.LoadFromDocument();
    ASSERT_EQ(table.Count(), 3);
    EXPECT_TRUE(table.Item(0).HasPlayback());
    EXPECT_EQ(table.Item(0).Playback, (std::array<uint8_t, 12>{0, 0, 0, 0, 0x04, 0, 0x02, 0, 0xA0, 0, 0x01, 0x10}));
    EXPECT_EQ(table.Item(0).Enclosure(), (std::array<int32_t, 3>{0, 0x20004, 0x100100A0}));
    // Flag 0x0800 without an 'otDe' record: the flag is cleared.
    EXPECT_FALSE(table.Item(1).HasPlayback());
    EXPECT_EQ(table.Item(1).Flags(), 0);
    EXPECT_EQ(table.Item(2).Flags(), 7);
    EXPECT_EQ(table.Item(2).Playback, (std::array<uint8_t, 12>{}));
}

TEST_F(TextExpressionTableTest, MetatoolShortcutsNameTheirExpressions) {
    host::Document& document = OpenScore(std::string(kFonts) + R"(
expression 1 "f" font 0 metatool 70
expression 2 "p" font 0 metatool 80
)");
    // A record of another kind and one naming a number beyond the table give no key.
    host::Bytes other(12, 0);
    hostapi::WriteI16(other.data(), 0, 1);
    hostapi::WriteI16(other.data(), 2, 2);
    document.SaveRecord(host::RecordKey::Other(kTagMetatool, 90, 0), other);
    host::Bytes beyond(12, 0);
    hostapi::WriteI16(beyond.data(), 0, 3);
    hostapi::WriteI16(beyond.data(), 2, 1);
    document.SaveRecord(host::RecordKey::Other(kTagMetatool, 91, 0), beyond);
    TTextExpressions table;
    table.LoadFromDocument();
    EXPECT_EQ(table.Item(0).MetatoolKey, 70);
    EXPECT_EQ(table.Item(1).MetatoolKey, 80);
    ASSERT_EQ(table.Shortcuts().size(), 255u);
    EXPECT_EQ(table.Shortcuts()[69].word(0), 1);
    EXPECT_EQ(table.Shortcuts()[0].bytes, (std::array<uint8_t, 12>{}));
    EXPECT_EQ(table.Shortcuts()[89].word(1), 2);
}

TEST_F(TextExpressionTableTest, FindOrCreateComparesTextFontSizeAndStyle) {
    OpenScore(std::string(kFonts) + "expression 1 \"cresc.\" font 1 size 12 word4 7 word6 -3 flags 5\n");
    TTextExpressions table;
    table.LoadFromDocument();
    // Words given as 0 are not compared.
    EXPECT_EQ(table.FindOrCreate("cresc.", nullptr, 12, 0, 0, 0, 0, 1), 1);
    EXPECT_EQ(table.FindOrCreate("cresc.", nullptr, 12, 0, 5, 7, -3, 1), 1);
    EXPECT_EQ(table.FindOrCreate("cresc.", "Times New Roman", 12, 0, 0, 0, 0, 99), 1);
    EXPECT_EQ(table.Count(), 1);
    // Another size makes a new expression, written to the document at once.
    EXPECT_EQ(table.FindOrCreate("cresc.", nullptr, 14, 0, 0, 0, 0, 1), 2);
    ASSERT_EQ(table.Count(), 2);
    EXPECT_EQ(StoredText(2), "cresc.");
    EXPECT_EQ(StoredWord(host::RecordKey::Other(kTagExpression, 2, 0), 0), 14 * 256 + 1);
    EXPECT_EQ(table.Item(1).MovedTo, 2);
    EXPECT_FALSE(HasRecord(kTagPlayback, 2));
    // A given word that differs makes a new one too.
    EXPECT_EQ(table.FindOrCreate("cresc.", nullptr, 12, 0, 0, 8, 0, 1), 3);
    EXPECT_EQ(StoredWord(host::RecordKey::Other(kTagExpression, 3, 0), 4), 8);
    // A font name the document does not know yet joins its font table.
    EXPECT_EQ(table.FindOrCreate("sfz", "Jazz", 10, 0x00FF, 0, 0, 0, 0), 4);
    EXPECT_EQ(Document().Fonts().at(4), "Jazz");
    EXPECT_EQ(table.Item(3).FontNumber(), 4);
    EXPECT_EQ(table.Item(3).Style(), 0x00FF);
}

TEST_F(TextExpressionTableTest, WriteBackOfAnEmptyTextStoresOneBlank) {
    OpenScore(Expressions({1}));
    TTextExpressions table;
    table.LoadFromDocument();
    table.Item(0).Text.clear();
    table.WriteBack(1, false);
    EXPECT_EQ(StoredText(1), " ");
    EXPECT_EQ(Stored(host::RecordKey::Other(kTagExpression, 1, 0))->size(), 14u);
    EXPECT_EQ(table.Item(0).StoredLength, 14);
    EXPECT_EQ(table.Item(0).Text, " ");
}

TEST_F(TextExpressionTableTest, WriteBackKeepsPlaybackAndMetatoolInStep) {
    OpenScore(std::string(kFonts) + R"(
expression 1 "f" font 0 playback 0102030405060708090A0B0C metatool 5
expression 2 "p" font 0 playback 0102030405060708090A0B0C
)");
    TTextExpressions table;
    table.LoadFromDocument();
    table.Item(0).SetEnclosure({7, 8, 9});
    table.Item(0).Modified = 1;
    table.Item(1).SetFlags(0);
    table.Item(1).Modified = 1;
    table.WriteBackModified();
    EXPECT_TRUE(table.Written());
    EXPECT_EQ(table.Item(0).Modified, 0);
    EXPECT_EQ(StoredLong(host::RecordKey::Other(kTagPlayback, 1, 0), 4), 8);
    EXPECT_EQ(StoredWord(host::RecordKey::Other(kTagMetatool, 5, 0), 0), 1);
    EXPECT_EQ(StoredWord(host::RecordKey::Other(kTagMetatool, 5, 0), 2), 1);
    EXPECT_FALSE(HasRecord(kTagPlayback, 2));
}

TEST_F(TextExpressionTableTest, PlaceholdersAreNeverWritten) {
    OpenScore(Expressions({1, 3}));
    TTextExpressions table;
    table.LoadFromDocument();
    table.Item(1).Modified = 1;
    table.WriteBackModified();
    EXPECT_FALSE(table.Written());
    EXPECT_FALSE(HasRecord(kTagExpression, 2));
}

TEST_F(TextExpressionTableTest, TheReuseTestFollowsTheDocument) {
    host::Document& document = OpenScore(Expressions({1, 2}));
    TTextExpressions table;
    table.IsComplete();  // empty: loads
    EXPECT_EQ(table.Count(), 2);
    EXPECT_TRUE(table.CheckCurrent());
    table.Item(0).UsageCount = 4;
    table.IsComplete();  // still current: nothing is loaded again
    EXPECT_EQ(table.Item(0).UsageCount, 4);

    host::Bytes third(13, 0);
    document.SaveRecord(host::RecordKey::Other(kTagExpression, 3, 0), third);
    EXPECT_FALSE(table.CheckCurrent());
    EXPECT_TRUE(table.Stale());
    EXPECT_EQ(table.Count(), 2);  // the check loads nothing
    table.IsComplete();
    EXPECT_EQ(table.Count(), 3);
    EXPECT_FALSE(table.UsageCounted());
    EXPECT_FALSE(table.OtherDocument());

    // Another document in front: the title differs.
    m_host->AddDocument(host::ParseScoreText(Expressions({1, 2, 3}), "other"));
    EXPECT_FALSE(table.CheckCurrent());
    table.IsComplete();
    EXPECT_TRUE(table.OtherDocument());
    EXPECT_NE(table.WindowTitle().find("other"), std::string::npos);
}

/// Two staves, measure expressions, note expressions and a shape expression.
constexpr const char* kPlaced = R"(
font 2 "Arial"
staff "Flute"
staff "Oboe"
measures 3
notes 1 1 c5/4 d5/4 e5/4 f5/4
notes 2 2 c4/2 r/2
expression 1 "one" font 2
expression 2 "two" font 2
expression 3 "three" font 2
expression 4 "four" font 2
measureexpression 1 3 staff 1
measureexpression 1 3 at 512
measureexpression 2 1 shape
measureexpression 3 2
noteexpression 1 1:2 3
noteexpression 1 1:2 1 shape
noteexpression 2 2:1 2
noteexpression 2 2:1 9
)";

TEST_F(TextExpressionTableTest, CountUsageCountsTextPlacementsOnly) {
    OpenScore(kPlaced);
    TTextExpressions table;
    table.LoadFromDocument();
    EXPECT_TRUE(table.CountUsage());
    EXPECT_TRUE(table.UsageCounted());
    EXPECT_EQ(table.Item(0).UsageCount, 0);  // only as a shape expression
    EXPECT_EQ(table.Item(1).UsageCount, 2);
    EXPECT_EQ(table.Item(2).UsageCount, 3);
    EXPECT_EQ(table.Item(3).UsageCount, 0);
}

TEST_F(TextExpressionTableTest, AStoppedCountSaysSo) {
    OpenScore(kPlaced);
    m_host->Progress().StopNextAt(1);
    TTextExpressions table;
    table.LoadFromDocument();
    EXPECT_FALSE(table.CountUsage());
    EXPECT_EQ(table.Item(2).UsageCount, 0);
}

TEST_F(TextExpressionTableTest, RenumberingFollowsTheSort) {
    OpenScore(std::string(kPlaced) + R"(
expression 5 "five" font 2
expression 6 "six" font 2
expression 7 "aaa" font 2 metatool 12
measureexpression 2 7
)");
    TTextExpressions table;
    table.LoadFromDocument();
    table.Sort(false);
    // "aaa" sorts first, then "five", "four", "one", "six", "three", "two".
    ASSERT_EQ(table.Item(0).Number, 7);
    EXPECT_EQ(table.Item(6).MovedTo, 1);  // expression 7 moved to position 1
    EXPECT_EQ(table.Item(2).MovedTo, 6);  // "three"
    ASSERT_TRUE(table.CountUsage());
    EXPECT_EQ(table.Item(0).UsageCount, 1);  // the placement of 7 counts for position 1
    EXPECT_EQ(table.Item(5).UsageCount, 3);  // "three"
    ASSERT_TRUE(table.RenumberDocument());
    EXPECT_EQ(StoredText(1), "aaa");
    EXPECT_EQ(StoredText(6), "three");
    EXPECT_EQ(StoredText(7), "two");
    EXPECT_EQ(MeasurePlacement(2, 1), 1);  // was 7
    EXPECT_EQ(MeasurePlacement(1, 0), 6);  // was 3
    EXPECT_EQ(MeasurePlacement(2, 0), 1);  // a shape expression is left alone
    EXPECT_EQ(NotePlacements(1, 1, 2), (std::vector<int16_t>{6, 1}));
    EXPECT_EQ(NotePlacements(2, 2, 1), (std::vector<int16_t>{7, 9}));  // 9 has no expression
    EXPECT_EQ(StoredWord(host::RecordKey::Other(kTagMetatool, 12, 0), 0), 1);
}

TEST_F(TextExpressionTableTest, FilterBySearchUsageAndMetatools) {
    OpenScore(std::string(kPlaced) + R"(
expression 5 " " font 2
expression 6 "tiny" font 2 size 2
expression 7 "Three Times" font 2 metatool 3
)");
    TTextExpressions table;
    table.LoadFromDocument();
    ASSERT_TRUE(table.CountUsage());
    table.SortTables().Build("");

    const auto shown = [&] {
        std::vector<int32_t> positions;
        for (int32_t k = 0; k < table.FilteredCount(); ++k) {
            positions.push_back(table.Item(k).FilterListEntry);
        }
        return positions;
    };
    table.Filter(3 | 8, 0, 0, "three");
    EXPECT_EQ(shown(), (std::vector<int32_t>{3, 7}));
    EXPECT_EQ(table.Item(2).Shown, 1);
    EXPECT_EQ(table.Item(0).Shown, 0);
    table.Filter(3 | 8, 0, 0, "(empty expressions)");
    EXPECT_EQ(shown(), (std::vector<int32_t>{5, 6}));
    table.Filter(3 | 0x100, 0, 0, "");
    EXPECT_EQ(shown(), (std::vector<int32_t>{7}));
    table.Filter(3 | (1 << 4), 0, 2, "");
    EXPECT_EQ(shown(), (std::vector<int32_t>{2}));
    table.Filter(3 | (2 << 4), 3, 0, "");
    EXPECT_EQ(shown(), (std::vector<int32_t>{3}));
    table.Filter(3 | (3 << 4), 0, 0, "");
    EXPECT_EQ(shown(), (std::vector<int32_t>{1, 4, 5, 6, 7}));
    table.Filter(3 | (4 << 4), 0, 0, "");
    EXPECT_EQ(shown(), (std::vector<int32_t>{2, 3}));
    // Arial is no music font: only the textual fonts show it.
    table.Filter(1, 0, 0, "");
    EXPECT_EQ(table.FilteredCount(), 7);
    table.Filter(2, 0, 0, "");
    EXPECT_EQ(table.FilteredCount(), 0);
    table.Filter(3 | 4, 0, 0, "");
    EXPECT_EQ(table.FilteredCount(), 0);
}

TEST_F(TextExpressionTableTest, OneSharedTableAndOneOfEachToolContext) {
    OpenScore(Expressions({1}));
    TTextExpressions& shared = TextExpressionTable();
    EXPECT_EQ(&shared, &TextExpressionTable());
    auto context = InitToolContext();
    ASSERT_NE(context->TextExpressions, nullptr);
    EXPECT_NE(context->TextExpressions.get(), &shared);
    EXPECT_TRUE(context->TextExpressions->Stale());
    context->TextExpressions->LoadFromDocument();
    EXPECT_EQ(context->TextExpressions->Count(), 1);
    EXPECT_EQ(shared.Count(), 0);
}

TEST(HasAnyOfCharsTest, DynamicsGlyphs) {
    const std::string glyphs = "\xAF\xB8\xB9\x70\x50\xBD\x46\x66\xC4\xEC\xEB\xEA\x5A\x6B\x73\x53\x82\xA7\x8D\x7A\x96";
    for (int32_t c = 1; c < 256; ++c) {
        const std::string text = {'x', static_cast<char>(c), 'x'};
        EXPECT_EQ(HasAnyOfChars(text), glyphs.find(static_cast<char>(c)) != std::string::npos) << c;
    }
    EXPECT_FALSE(HasAnyOfChars(""));
}

TEST(TextExpressionRecordTest, PlainTextLosesCaretCommands) {
    TTxtExprRec record;
    record.Text = "^fontTxt(Times)^size(12)dolce";
    EXPECT_EQ(record.PlainText(), "dolce");
    EXPECT_EQ(record.Text, "^fontTxt(Times)^size(12)dolce");
}

}  // namespace
