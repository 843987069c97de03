// The sort engine: the font sort tables, the analysis (sort texts and keys), the comparison and
// the sort with its mapping of old numbers to new positions.
#include <gtest/gtest.h>

#include "expressions/txtexpr.h"
#include "expressions/txtexpr_sort.h"
#include "tests/expressions/expressions_fixture.h"

namespace {

using namespace orvex;

constexpr const char* kFonts = R"score(
font 0 "Maestro"
font 1 "Times New Roman"
font 2 "Arial"
font 3 "Petrucci"
font 4 "Engraver Font Set"
font 5 "MyMusic"
font 6 "Susato"
font 7 "Opus"
staff "Flute"
measures 1
)score";

class SortEngineTest : public exprtest::ExpressionsTest {
protected:
    /// Opens kFonts with the expressions given and loads them into the table.
    void Load(const std::string& expressions) {
        OpenScore(std::string(kFonts) + expressions);
        m_table.LoadFromDocument();
    }
    /// The expression numbers in table order.
    std::vector<int32_t> Order() const {
        std::vector<int32_t> numbers;
        for (int32_t i = 0; i < m_table.ExpressionCount(); ++i) {
            numbers.push_back(m_table.Item(i).Number);
        }
        return numbers;
    }
    TTextExpressions m_table;
};

TEST_F(SortEngineTest, CharacterOrdersOfTheListedFonts) {
    OpenScore(kFonts);
    TCSortTables tables;
    tables.Build("");
    EXPECT_TRUE(tables.Built());
    const TSortTables* engraver = tables.Find("Engraver Font Set");
    ASSERT_NE(engraver, nullptr);
    EXPECT_EQ(engraver->Group, '1');
    EXPECT_EQ(engraver->Order[0xAF], 1);
    EXPECT_EQ(engraver->Order[0xB8], 2);
    EXPECT_EQ(engraver->Order[0xDA], 179);
    // Codes the list leaves out follow in code order.
    EXPECT_EQ(engraver->Order[0x01], 180);
    EXPECT_EQ(engraver->Order[0x02], 181);
    EXPECT_EQ(engraver->Order[0x00], 0);
    const TSortTables* petrucci = tables.Find("Petrucci");
    ASSERT_NE(petrucci, nullptr);
    EXPECT_EQ(petrucci->Group, '5');
    EXPECT_EQ(petrucci->Order[0x30], 21);
    EXPECT_EQ(petrucci->Order[0xDA], 169);
    // A font without a list keeps the code order.
    const TSortTables* tamburo = tables.Find("Tamburo");
    ASSERT_NE(tamburo, nullptr);
    EXPECT_EQ(tamburo->Group, '2');
    EXPECT_EQ(tamburo->Order[0x41], 0x41);
    // Maestro's own line comes first: group 5 in code order, not the Engraver copy.
    const TSortTables* maestro = tables.Find("Maestro");
    ASSERT_NE(maestro, nullptr);
    EXPECT_EQ(maestro->Group, '5');
    EXPECT_EQ(maestro->Order[0xAF], 0xAF);
    // Fonts named after the lists: copies of their sources.
    const TSortTables* vx = tables.Find("Engraver Font Vx!");
    ASSERT_NE(vx, nullptr);
    EXPECT_EQ(vx->Order, engraver->Order);
    EXPECT_EQ(vx->Group, '1');
    const TSortTables* susato = tables.Find("Susato");
    ASSERT_NE(susato, nullptr);
    EXPECT_EQ(susato->Order, petrucci->Order);
    EXPECT_EQ(susato->Group, '5');
    // The host's font 0 is listed (Maestro): it gets no record of its own.
    EXPECT_EQ(std::count_if(tables.Tables().begin(), tables.Tables().end(),
                            [](const TSortTables& t) { return t.FontName == "Maestro"; }),
              2);
    EXPECT_EQ(tables.Find("MyMusic"), nullptr);
}

TEST_F(SortEngineTest, AdditionalFontsAreTreatedLikePetrucci) {
    OpenScore(kFonts);
    TCSortTables tables;
    tables.Build("  MyMusic , Other Font,");
    const TSortTables* mine = tables.Find("MyMusic");
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(mine->Group, '5');
    EXPECT_EQ(mine->Order, tables.Find("Petrucci")->Order);
    EXPECT_NE(tables.Find("Other Font"), nullptr);
    EXPECT_TRUE(tables.Contains("mymusic"));
    EXPECT_TRUE(tables.Contains("PETRUCCI"));
    EXPECT_FALSE(tables.Contains("Arial"));
    // A second build starts afresh: the fonts the first list named are music fonts no longer.
    const size_t first = tables.Tables().size();
    tables.Build("");
    EXPECT_EQ(tables.Tables().size(), first - 2);
    EXPECT_FALSE(tables.Contains("MyMusic"));
    EXPECT_TRUE(tables.Contains("PETRUCCI"));
}

TEST_F(SortEngineTest, TheHostsFontZeroIsAMusicFontWhenNotListed) {
    OpenScore("font 0 \"Finale Maestro\"\nstaff \"Flute\"\nmeasures 1\n");
    TCSortTables tables;
    tables.Build("");
    const TSortTables* host = tables.Find("Finale Maestro");
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(host->Group, 1);  // the value 1, not the character
    EXPECT_EQ(host->Order, tables.Tables().front().Order);
}

TEST_F(SortEngineTest, AnalysisTrimsAnOpeningParenthesisBeforeLetters) {
    Load(R"score(
expression 1 "(pizz.)" font 2
expression 2 "()" font 2
expression 3 " 5" font 2
expression 4 "[arco]" font 2
expression 5 "(" font 2
)score");
    m_table.AnalyzeAll();
    EXPECT_TRUE(m_table.Analysed());
    EXPECT_EQ(m_table.Item(0).SortText, "pizz.)");
    EXPECT_EQ(m_table.Item(1).SortText, "()");
    EXPECT_EQ(m_table.Item(2).SortText, "5");
    EXPECT_EQ(m_table.Item(3).SortText, "arco]");
    EXPECT_EQ(m_table.Item(4).SortText, "(");
    EXPECT_EQ(m_table.Item(0).MusicFont, 0);
    EXPECT_EQ(m_table.Item(0).SortKey, "0");  // a text font without music fonts first
}

TEST_F(SortEngineTest, MusicFontsGetTheirCharacterOrderAndSection) {
    Load(R"score(
expression 1 "¯¸" font 4
expression 2 "pizz." font 2
expression 3 "Z" font 3
expression 4 "f" font 7
)score");
    m_table.SortTables().Build("");
    m_table.Options().MusicFontsFirst = 1;
    m_table.Options().SortMusicFonts = 1;
    m_table.AnalyzeAll();
    EXPECT_EQ(m_table.Item(0).SortText, std::string("\x01\x02"));
    EXPECT_EQ(m_table.Item(0).SortKey, "01");
    EXPECT_EQ(m_table.Item(0).MusicFont, 1);
    EXPECT_EQ(m_table.Item(0).DynamicsGlyph, 1);
    EXPECT_EQ(m_table.Item(1).SortKey, "1");
    EXPECT_EQ(m_table.Item(1).DynamicsGlyph, 0);  // 'f' and 'p', but not in a music font
    EXPECT_EQ(m_table.Item(2).SortKey, "05");
    EXPECT_EQ(m_table.Item(2).DynamicsGlyph, 1);  // 'Z' is 0x5A
    EXPECT_EQ(m_table.Item(3).SortKey, "05");
    // Without sorting music fonts, their sections keep the document order.
    m_table.Options().SortMusicFonts = 0;
    m_table.Options().MusicFontsFirst = 0;
    m_table.AnalyzeAll();
    EXPECT_EQ(m_table.Item(0).SortText, "00001");
    EXPECT_EQ(m_table.Item(0).SortKey, "11");
    EXPECT_EQ(m_table.Item(1).SortKey, "0");
}

TEST_F(SortEngineTest, FamilySizeAndStyleSectionsByPriority) {
    Load(R"score(
expression 1 "a" font 2 size 10 style 1
expression 2 "b" font 1 size 0 style 255
expression 3 "c" font 1 size 1 style 254
)score");
    TSortOptions& options = m_table.Options();
    options.SeparateFamilies = 1;
    options.SeparateSizes = 1;
    options.SeparateStyles = 1;
    options.FamilyPriority = 2;
    options.SizePriority = 1;
    options.StylePriority = 3;
    m_table.AnalyzeAll();
    EXPECT_EQ(m_table.Item(0).SortKey, std::string("0\x0A") + "Arial" + "\x02");
    EXPECT_EQ(m_table.Item(1).SortKey, std::string("0\x01") + "Times New Roman" + "\xFF");
    EXPECT_EQ(m_table.Item(2).SortKey, std::string("0\x01") + "Times New Roman" + "\xFF");
    // A priority outside 0-4 leaves its criterion out.
    options.StylePriority = 7;
    m_table.AnalyzeAll();
    EXPECT_EQ(m_table.Item(0).SortKey, std::string("0\x0A") + "Arial");
    // Priorities 0 and 4 (an edit that held no number) still take part, 0 first and 4 last.
    options.FamilyPriority = 4;
    options.SizePriority = 0;
    options.StylePriority = -1;
    m_table.AnalyzeAll();
    EXPECT_EQ(m_table.Item(1).SortKey, std::string("0\x01") + "Times New Roman");
}

TEST_F(SortEngineTest, EmptyExpressionsStickToTheirPredecessor) {
    Load(R"score(
expression 1 "" font 2
expression 2 "zeta" font 2
expression 3 "" font 2
expression 4 "alpha" font 2
expression 5 "beta" font 2 size 1
)score");
    m_table.Options().EmptySticks = 1;
    m_table.Options().SeparateSizes = 1;
    m_table.Options().SizePriority = 1;
    m_table.AnalyzeAll();
    EXPECT_EQ(m_table.Item(0).SortText, " ");  // behind the zero record
    EXPECT_EQ(m_table.Item(0).SortKey, "");
    EXPECT_EQ(m_table.Item(2).SortText, "zeta ");
    EXPECT_EQ(m_table.Item(2).SortKey, m_table.Item(1).SortKey);
    EXPECT_EQ(m_table.Item(4).SortText, "alpha ");
    m_table.Sort(false);
    EXPECT_EQ(Order(), (std::vector<int32_t>{1, 4, 5, 2, 3}));
}

TEST_F(SortEngineTest, AnEmptyTextSortsFirstWithoutStickiness) {
    Load(R"score(
expression 1 "b" font 2
expression 2 "" font 2
expression 3 "a" font 2
)score");
    m_table.Sort(false);
    EXPECT_EQ(Order(), (std::vector<int32_t>{2, 3, 1}));
}

TEST_F(SortEngineTest, WholeNumbersCompareByValue) {
    Load(R"score(
expression 1 "10" font 2
expression 2 "9" font 2
expression 3 "010" font 2
expression 4 "1a" font 2
)score");
    m_table.AnalyzeAll();
    EXPECT_GT(CompareTxtExprRec(&m_table.Item(0), &m_table.Item(1)), 0);  // 10 after 9
    EXPECT_LT(CompareTxtExprRec(&m_table.Item(2), &m_table.Item(1)), 0);  // "010" before "9" as text
    EXPECT_LT(CompareTxtExprRec(&m_table.Item(2), &m_table.Item(0)), 0);
    EXPECT_EQ(CompareTxtExprRec(&m_table.Item(0), &m_table.Item(0)), 0);
    EXPECT_LT(CompareTxtExprRec(nullptr, &m_table.Item(0)), 0);
    EXPECT_GT(CompareTxtExprRec(&m_table.Item(0), nullptr), 0);
    // Whole numbers and texts need not order transitively: the sort still ends.
    m_table.Sort(false);
    EXPECT_EQ(m_table.ExpressionCount(), 4);
}

TEST_F(SortEngineTest, LocaleOrderAndTheCaseOption) {
    EXPECT_LT(LocaleCompare("apple", "Banana", true), 0);
    EXPECT_LT(LocaleCompare("yes", "Zart", true), 0);  // Z is the last letter, also in capitals
    EXPECT_EQ(LocaleCompare("Dolce", "dolce", true), 0);
    EXPECT_LT(LocaleCompare("dolce", "Dolce", false), 0);  // small letters first
    EXPECT_GT(LocaleCompare("\xE9t\xE9", "ete", true), 0);
    EXPECT_LT(LocaleCompare("ete", "\xE9tz", true), 0);  // accents count after letters
    EXPECT_LT(LocaleCompare("a-b", "a1", true), 0);      // signs before digits
    EXPECT_LT(LocaleCompare("9", "a", true), 0);         // digits before letters
    EXPECT_LT(LocaleCompare("abc", "abcd", true), 0);
    // Windows-1252 capitals: sharp s and the division sign have none.
    EXPECT_EQ(LocaleUpper("`az{\x9A\x9B\x9C\x9D\x9E\xDF\xE0\xF6\xF7\xF8\xFE\xFF"),
              "`AZ{\x8A\x9B\x8C\x9D\x8E\xDF\xC0\xD6\xF7\xD8\xDE\x9F");
}

TEST_F(SortEngineTest, SortMapsEveryOldNumberToItsNewPlace) {
    Load(R"score(
expression 1 "molto" font 2
expression 2 "Adagio" font 2
expression 3 "dolce" font 2
)score");
    m_table.Sort(false);
    EXPECT_TRUE(m_table.Sorted());
    EXPECT_EQ(Order(), (std::vector<int32_t>{2, 3, 1}));
    EXPECT_EQ(m_table.Item(0).MovedTo, 3);  // expression 1 is now third
    EXPECT_EQ(m_table.Item(1).MovedTo, 1);
    EXPECT_EQ(m_table.Item(2).MovedTo, 2);
    // Sorting again starts from the table as it is.
    m_table.Sort(false);
    EXPECT_EQ(Order(), (std::vector<int32_t>{2, 3, 1}));
    EXPECT_EQ(m_table.Count(), 3);
}

TEST_F(SortEngineTest, NumberOrderRestoresTheDocumentOrder) {
    Load(R"score(
expression 1 "b" font 2
expression 2 "a" font 2
)score");
    m_table.Sort(false);
    EXPECT_EQ(Order(), (std::vector<int32_t>{2, 1}));
    m_table.Options().NumberOrder = 1;
    m_table.Sort(false);
    EXPECT_EQ(Order(), (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(m_table.Item(0).SortKey, "00001");
    EXPECT_EQ(m_table.Item(0).SortText, "");
}

TEST(PaddedNumberTest, FiveDigitsAtLeast) {
    EXPECT_EQ(PaddedNumber(7), "00007");
    EXPECT_EQ(PaddedNumber(123456), "123456");
}

}  // namespace
