// The score text's statements for text expressions: the expression records and their placements
// in measures and on entries, and the mistakes they report.
#include <gtest/gtest.h>

#include "platform/host/record_layouts.h"
#include "platform/host/score_text.h"
#include "tests/expressions/expressions_fixture.h"
#include "tests/support/case_names.h"

namespace {

using exprtest::kTagExpression;
using exprtest::kTagMeasureExpression;
using exprtest::kTagMetatool;
using exprtest::kTagNoteExpression;
using exprtest::kTagPlayback;

constexpr const char* kScore = R"(
font 2 "Arial"
staff "Flute"
staff "Oboe"
measures 2
notes 2 1 c4/2 d4/2
expression 1 "dolce" font 2 size 14 style 3 flags 4097 word4 120 word6 -1024
expression 4 "f" playback 00000000040002000000A001 metatool 9
measureexpression 2 1 at 1024 staff 2 offset -36
measureexpression 2 4 shape
noteexpression 2 1:2 4 at 12 offset 48
noteexpression 2 1:2 1 shape
)";

class ScoreExpressionsTest : public exprtest::ExpressionsTest {};

TEST_F(ScoreExpressionsTest, ExpressionRecords) {
    OpenScore(kScore);
    const host::Bytes& dolce = *Stored(host::RecordKey::Other(kTagExpression, 1, 0));
    EXPECT_EQ(dolce, (host::Bytes{2, 14, 3, 0, 120, 0, 0x00, 0xFC, 0, 0, 0x01, 0x10, 'd', 'o', 'l', 'c', 'e', 0}));
    const host::Bytes& forte = *Stored(host::RecordKey::Other(kTagExpression, 4, 0));
    EXPECT_EQ(forte, (host::Bytes{0, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x08, 'f', 0}));
    EXPECT_EQ(*Stored(host::RecordKey::Other(kTagPlayback, 4, 0)),
              (host::Bytes{0, 0, 0, 0, 4, 0, 2, 0, 0, 0, 0xA0, 0x01}));
    EXPECT_EQ(*Stored(host::RecordKey::Other(kTagMetatool, 9, 0)), (host::Bytes{4, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(HasRecord(kTagExpression, 2));
}

TEST_F(ScoreExpressionsTest, MeasurePlacements) {
    OpenScore(kScore);
    EXPECT_EQ(*Stored(host::RecordKey::Other(kTagMeasureExpression, 2, 0)),
              (host::Bytes{1, 0, 0x00, 0x04, 0xDC, 0xFF, 0, 0, 0, 0, 0x02, 0x10}));
    EXPECT_EQ(*Stored(host::RecordKey::Other(kTagMeasureExpression, 2, 1)),
              (host::Bytes{4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x20}));
    EXPECT_EQ(StoredWord(host::RecordKey::Other(host::kTagMeasure, 2, 0), 10), 0x4000);
    EXPECT_EQ(StoredWord(host::RecordKey::Other(host::kTagMeasure, 1, 0), 10), 0);
}

TEST_F(ScoreExpressionsTest, NotePlacements) {
    OpenScore(kScore);
    const host::CellEntries& entries = Document().EntriesOf(host::CellKey{2, 1, 0});
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(hostapi::ConstEntryView(entries[0].data()).moreFlags(), 0);
    const hostapi::ConstEntryView second(entries[1].data());
    EXPECT_EQ(second.moreFlags(), 1);
    EXPECT_EQ(*Stored(host::RecordKey::EntryDetail(kTagNoteExpression, second.number(), 0)),
              (host::Bytes{4, 0, 12, 0, 48, 0, 0, 0, 0x00, 0x80}));
    EXPECT_EQ(*Stored(host::RecordKey::EntryDetail(kTagNoteExpression, second.number(), 1)),
              (host::Bytes{1, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

struct Mistake {
    const char* statement;
    const char* message;
};

class ScoreExpressionMistakesTest : public testing::TestWithParam<Mistake> {};

TEST_P(ScoreExpressionMistakesTest, NamesTheMistake) {
    const std::string score =
        std::string("staff \"Flute\"\nmeasures 1\nnotes 1 1 c4/1\nexpression 1 \"a\"\n") + GetParam().statement + "\n";
    try {
        host::ParseScoreText(score, "test");
        ADD_FAILURE() << "no mistake reported for " << GetParam().statement;
    } catch (const host::ScoreTextError& error) {
        EXPECT_EQ(std::string(error.what()), GetParam().message);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Statements, ScoreExpressionMistakesTest, testing::Values(
    Mistake{"expression 1 \"b\"", "line 5: text expression 1 exists already"},
    Mistake{"expression 0 \"b\"", "line 5: expression: the expression number 0 is not between 1 and 32767 (expression NUMBER \"TEXT\" [font N] [size S] [style W] [flags F] [word4 V] [word6 V] [playback HEX] [metatool K])"},
    Mistake{"expression 2 \"b\" playback 00", "line 5: expression: the playback data is 24 hexadecimal digits, not 00 (expression NUMBER \"TEXT\" [font N] [size S] [style W] [flags F] [word4 V] [word6 V] [playback HEX] [metatool K])"},
    Mistake{"expression 2 \"b\" colour 3", "line 5: expression: unknown option \"colour\" (expression NUMBER \"TEXT\" [font N] [size S] [style W] [flags F] [word4 V] [word6 V] [playback HEX] [metatool K])"},
    Mistake{"measureexpression 3 1", "line 5: there is no measure 3"},
    Mistake{"measureexpression 1 1 staff 4", "line 5: there is no staff 4"},
    Mistake{"noteexpression 1 1:2 1", "line 5: staff 1, measure 1, layer 1 has no entry 2"},
    Mistake{"noteexpression 1 1 1", "line 5: noteexpression: the entry is MEASURE:ENTRY, not 1 (noteexpression STAFF MEASURE:ENTRY NUMBER [layer 1-4] [at H] [offset V] [shape])"}
),
    testsupport::NameBy(&Mistake::statement));
// clang-format on

}  // namespace
