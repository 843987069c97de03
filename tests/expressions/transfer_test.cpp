// "Vx Transfer..." between two documents of the simulated host: a read run of a tool context in
// the first document, then a write run of the same context in the second.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/host/finxess_records.h"
#include "core/module.h"
#include "core/tool_context.h"
#include "core/tool_items.h"
#include "expressions/transfer.h"
#include "forms/dactopt.h"
#include "platform/host/record_layouts.h"
#include "platform/host/score_text.h"
#include "platform/hostapi/layout_records.h"
#include "platform/win/ui_driver.h"
#include "tests/support/orvex_host.h"
#include "tests/tools/notes_fixture.h"

namespace {

constexpr int32_t kTransfer = orvex::ItemNumber(orvex::ToolItem::Transfer);
/// From 2001 the host keeps staff systems in their 24-byte form, which the test reads.
constexpr int32_t kHost2001 = 0x06000200;

constexpr const char* kSource = R"(
font 0 "Maestro"
font 1 "Times New Roman"
staff "Flute"
measures 3 time 4/4 width 300
system 1 3
lock 2 3
beatchart 2 4096:200:180:0 0:20:100:30 2048:100:200:30
expression 1 "ff" font 0 metatool 3
expression 2 "dolce" font 1 metatool 4
pagetext 1 "Full score"
pagetext 1 "Copyright Halvoran"
measureexpression 2 1 at 1024 staff 1
)";

constexpr const char* kTarget = R"(
font 0 "Maestro"
font 1 "Times New Roman"
staff "Oboe"
measures 4 time 3/4
system 1 2
system 3 4
expression 1 "p" font 0
expression 2 "dolce" font 1
expression 3 "dolce" font 0
measureexpression 1 1 staff 1
)";

class TransferTest : public testsupport::OrvexHostTest {
protected:
    void SetUp() override {
        OrvexHostTest::SetUp();
        StartHost(kSource, kHost2001);
        m_host->AddDocument(host::ParseScoreText(kTarget, "target"));
        m_host->BringToFront(1);
        m_context = orvex::InitToolContext();
        Select(1, 1, 2, 3);
    }
    void TearDown() override {
        ExpectNothingLeft();
        m_context.reset();
        OrvexHostTest::TearDown();
    }
    void SetRows(std::initializer_list<size_t> rows) {
        for (size_t row : rows) {
            m_context->Options[row].value = 1;
        }
    }
    int32_t Run() {
        orvex::TheModule.dispatch.CurrentRegion = nullptr;
        orvex::TheModule.dispatch.SelectionRecords[1] = m_host->DocumentRegion();
        return orvex::DispatchTool(*m_context, kTransfer, 1, 0);
    }
    /// Switches to the target document and selects its measures 1 and 2.
    void ToTarget() {
        m_host->BringToFront(2);
        Select(1, 1, 1, 2);
    }
    const host::Bytes* Other(const char (&tag)[5], int16_t cmper, int16_t inci = 0) {
        return Document().Records().Find(host::RecordKey::Other(hostapi::MakeTag(tag), cmper, inci));
    }
    int16_t Word(const host::Bytes* record, size_t offset) {
        return record == nullptr ? int16_t{-999} : hostapi::ReadI16(record->data(), offset);
    }

    std::shared_ptr<orvex::TFMisc> m_context;
};

TEST_F(TransferTest, TwoPressesOfGoReadThenWrite) {
    // The options dialog stays open with its context; "Read now:" and the automatic switch are
    // on by default.
    win::QueueFormAction("TDActOpt", win::FormAction{win::FormAction::Kind::Set, "Row5", "1"});
    win::QueueFormAction("TDActOpt", win::FormAction{win::FormAction::Kind::Click, "Go", ""});
    Invoke(static_cast<int16_t>(orvex::FindCommandIndex(orvex::ToolCode(orvex::ToolItem::Transfer))));
    ASSERT_FALSE(orvex::TheModule.dispatch.ModelessFormList.empty());
    auto* dialog = dynamic_cast<orvex::TDActOpt*>(orvex::TheModule.dispatch.ModelessFormList.back());
    ASSERT_NE(dialog, nullptr);
    ToTarget();
    ASSERT_EQ(Other("otFM", 1), nullptr);
    dialog->OKBtn->Click();
    EXPECT_EQ(Word(Other("otFM", 1), 0), 3);
    EXPECT_EQ(dialog->Context()->Options[orvex::TRANSFER_READ].value, 1);
}

TEST_F(TransferTest, ReadingAndWritingAtOnceIsRefused) {
    SetRows({orvex::TRANSFER_READ, orvex::TRANSFER_WRITE, orvex::TRANSFER_LOCKED_GROUPS});
    const host::Bytes before = *Other("otFM", 2);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Can't read and write at the same time."});
    EXPECT_EQ(*Other("otFM", 2), before);
    EXPECT_EQ(m_context->States.Find<orvex::TransferStore>(), nullptr);
}

TEST_F(TransferTest, LayoutGoesMeasureForMeasureWithAutomaticSwitching) {
    SetRows({orvex::TRANSFER_READ, orvex::TRANSFER_SWITCH, orvex::TRANSFER_MEASURES, orvex::TRANSFER_LOCKED_GROUPS,
             orvex::TRANSFER_STAFF_SYSTEMS, orvex::TRANSFER_ARTICULATION_METATOOLS});
    Document().Records().Save(host::RecordKey::Other(hostapi::MakeTag("ot&a"), '5', 0),
                              host::Bytes{7, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    Document().Records().Save(host::RecordKey::Other(hostapi::MakeTag("ot&a"), 'Z', 0), host::Bytes(12, 9));
    const host::Bytes sourceMeasure = *Other("SOMS", 2);
    host::Bytes sourceSystem = *Other("O\x02SS", 1);
    hostapi::WriteI16(sourceSystem.data(), hostapi::StaffSystemLayout::kLeftMargin, 77);
    hostapi::WriteU16(sourceSystem.data(), hostapi::StaffSystemLayout::kFlags, 0x0012);
    Document().Records().Save(host::RecordKey::Other(hostapi::MakeTag("O\x02SS"), 1, 0), sourceSystem);
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(m_context->Options[orvex::TRANSFER_READ].value, 0);
    EXPECT_EQ(m_context->Options[orvex::TRANSFER_WRITE].value, 1);

    ToTarget();
    host::Bytes system = *Other("O\x02SS", 1);
    hostapi::WriteU16(system.data(), hostapi::StaffSystemLayout::kFlags, 0x4000);
    Document().Records().Save(host::RecordKey::Other(hostapi::MakeTag("O\x02SS"), 1, 0), system);
    // A lock record of the region's first measure under a later incidence goes too.
    Document().Records().Save(host::RecordKey::Other(hostapi::MakeTag("otFM"), 1, 1), host::Bytes(12, 0));
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Transferred 1 articulation metatools."});
    EXPECT_EQ(m_context->Options[orvex::TRANSFER_READ].value, 1);
    EXPECT_EQ(m_context->Options[orvex::TRANSFER_WRITE].value, 0);
    // Measures 2 and 3 of the source become 1 and 2; the lock of 2-3 locks 1-2.
    EXPECT_EQ(*Other("SOMS", 1), sourceMeasure);
    EXPECT_EQ(Word(Other("SOMS", 3), 4), 3);  // past the region: untouched
    EXPECT_EQ(Word(Other("otFM", 1), 0), 3);
    EXPECT_EQ(Other("otFM", 1, 1), nullptr);
    const host::Bytes* metatool = Other("ot&a", '5');
    ASSERT_NE(metatool, nullptr);
    EXPECT_EQ(*metatool, (host::Bytes{7, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(Other("ot&a", 'Z'), nullptr);
    // The margins and the distance of system 1 come over; the system keeps its own measures.
    const host::Bytes* target = Other("O\x02SS", 1);
    for (size_t offset : {0u, 2u, 4u, 6u, 18u}) {
        SCOPED_TRACE(offset);
        EXPECT_EQ(Word(target, offset), hostapi::ReadI16(sourceSystem.data(), offset));
    }
    EXPECT_EQ(Word(target, hostapi::StaffSystemLayout::kEndMeasure), 3);
    EXPECT_EQ(hostapi::ReadU16(target->data(), hostapi::StaffSystemLayout::kFlags), 0x4012);
}

TEST_F(TransferTest, BeatChartsAndWidthsKeepTheOtherMeasureAttributes) {
    SetRows({orvex::TRANSFER_READ, orvex::TRANSFER_BEAT_CHARTS});
    EXPECT_EQ(Run(), 1);
    ToTarget();
    m_context->Options[orvex::TRANSFER_READ].value = 0;
    m_context->Options[orvex::TRANSFER_WRITE].value = 1;
    // A second write gives the same result: the store stays as the read left it.
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        EXPECT_EQ(Run(), 1);
        const host::Bytes* measure = Other("SOMS", 1);
        EXPECT_EQ(Word(measure, 0), 300);
        EXPECT_EQ(Word(measure, 8) & 7, 2);
        EXPECT_EQ(Word(measure, 4), 3);  // the target's own time signature
        ASSERT_NE(Other("otBC", 1, 2), nullptr);
        EXPECT_EQ(hostapi::ReadI32(Other("otBC", 1, 2)->data(), 0), 2048);
        EXPECT_EQ(Other("otBC", 1, 3), nullptr);
        EXPECT_EQ(Other("otBC", 2, 0), nullptr);
        EXPECT_EQ(Word(Other("SOMS", 2), 0), 300);
    }
}

TEST_F(TransferTest, ExpressionMetatoolsFindTheSameTextInTheSameKindOfFont) {
    SetRows({orvex::TRANSFER_READ, orvex::TRANSFER_EXPRESSION_METATOOLS});
    EXPECT_EQ(Run(), 1);
    ToTarget();
    m_context->Options[orvex::TRANSFER_READ].value = 0;
    m_context->Options[orvex::TRANSFER_WRITE].value = 1;
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Transferred 1 expression metatools."});
    // "dolce" in a text font is number 2 of the target; "ff" has no match there.
    const host::Bytes* metatool = Other("ot&d", 4);
    ASSERT_NE(metatool, nullptr);
    EXPECT_EQ(*metatool, (host::Bytes{2, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Other("ot&d", 3), nullptr);
}

TEST_F(TransferTest, PageTextsPassTheWordFilter) {
    SetRows({orvex::TRANSFER_READ, orvex::TRANSFER_PAGE_TEXTS});
    m_context->Options[orvex::TRANSFER_PAGE_TEXT_WORDS].text = " xyz , copyright";
    EXPECT_EQ(Run(), 1);
    ToTarget();
    m_context->Options[orvex::TRANSFER_READ].value = 0;
    m_context->Options[orvex::TRANSFER_WRITE].value = 1;
    EXPECT_EQ(Run(), 1);
    ASSERT_NE(Other("O\x02pT", 1, 0), nullptr);
    EXPECT_EQ(Other("O\x02pT", 1, 1), nullptr);
}

TEST_F(TransferTest, MeasureExpressionsAreMappedToTheTargetsTable) {
    SetRows({orvex::TRANSFER_READ, orvex::TRANSFER_MEASURE_EXPRESSIONS});
    EXPECT_EQ(Run(), 1);
    ToTarget();
    m_context->Options[orvex::TRANSFER_READ].value = 0;
    m_context->Options[orvex::TRANSFER_WRITE].value = 1;
    m_context->Options[orvex::TRANSFER_CLEAR_DESTINATION].value = 1;
    EXPECT_EQ(Run(), 1);
    // "ff" at beat 2 of measure 2 lands in measure 1 as the target's new expression 4; the
    // target's own "p" of measure 1 is cleared.
    const host::Bytes* placed = Other("otDY", 1, 0);
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(Word(placed, 0), 4);
    EXPECT_EQ(Word(placed, 2), 1024);
    EXPECT_EQ(Other("otDY", 1, 1), nullptr);
    EXPECT_EQ(Other("otDY", 2, 0), nullptr);
    const host::Bytes* definition = Other("SODT", 4);
    ASSERT_NE(definition, nullptr);
}

TEST_F(TransferTest, AReadPastTheSourcesLastMeasureWritesOnlyTheMeasuresItRead) {
    SetRows({orvex::TRANSFER_READ, orvex::TRANSFER_BEAT_CHARTS, orvex::TRANSFER_MEASURES});
    Select(1, 1, 2, 5);  // the source has 3 measures
    EXPECT_EQ(Run(), 1);
    ToTarget();
    Select(1, 1, 1, 4);
    const host::Bytes third = *Other("SOMS", 3);
    const host::Bytes fourth = *Other("SOMS", 4);
    m_context->Options[orvex::TRANSFER_READ].value = 0;
    m_context->Options[orvex::TRANSFER_WRITE].value = 1;
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(Word(Other("SOMS", 1), 0), 300);
    EXPECT_EQ(Word(Other("SOMS", 2), 4), 4);  // the source's 4/4
    // Source measures 4 and 5 do not exist: target measures 3 and 4 keep their records.
    EXPECT_EQ(*Other("SOMS", 3), third);
    EXPECT_EQ(*Other("SOMS", 4), fourth);
    EXPECT_EQ(Word(Other("SOMS", 3), 4), 3);
}

TEST_F(TransferTest, AWriteWithNothingReadWritesAndDeletesNothing) {
    ToTarget();
    Document().Records().Save(host::RecordKey::Other(hostapi::MakeTag("otFM"), 1, 0),
                              host::Bytes{2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    const host::RecordStore before = Document().Records();
    SetRows({orvex::TRANSFER_WRITE, orvex::TRANSFER_BEAT_CHARTS, orvex::TRANSFER_MEASURES,
             orvex::TRANSFER_LOCKED_GROUPS, orvex::TRANSFER_MEASURE_EXPRESSIONS, orvex::TRANSFER_CLEAR_DESTINATION,
             orvex::TRANSFER_CLEAR_GLOBAL});
    EXPECT_EQ(Run(), 1);
    EXPECT_TRUE(Document().Records() == before);
    ASSERT_NE(Other("otFM", 1), nullptr);
    ASSERT_NE(Other("otDY", 1), nullptr);
}

// Two staves and three measures, locked as one system, written into the last two measures of the
// one-staff target: what the target has no measure or staff for is not written.
constexpr const char* kWideSource = R"(
font 0 "Maestro"
staff "Flute"
staff "Oboe"
measures 3 time 4/4
system 1 3
lock 1 3
expression 1 "ff" font 0
measureexpression 1 1 staff 1
measureexpression 2 1 staff 2
measureexpression 3 1 staff 1
)";

TEST_F(TransferTest, AShorterNarrowerTargetGetsNothingPastItsMeasuresAndStaves) {
    m_host->AddDocument(host::ParseScoreText(kWideSource, "wide"));
    m_host->BringToFront(3);
    Select(1, 2, 1, 3);
    SetRows({orvex::TRANSFER_READ, orvex::TRANSFER_MEASURES, orvex::TRANSFER_LOCKED_GROUPS,
             orvex::TRANSFER_MEASURE_EXPRESSIONS});
    EXPECT_EQ(Run(), 1);
    m_host->BringToFront(2);
    Select(1, 1, 3, 4);
    m_context->Options[orvex::TRANSFER_READ].value = 0;
    m_context->Options[orvex::TRANSFER_WRITE].value = 1;
    EXPECT_EQ(Run(), 1);
    // Measure 1, staff 1 lands in measure 3; measure 2's staff 2 and measure 3 have no place:
    // two expressions and one measure record are skipped.
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"3 items were not written: the destination has no such measures or staves."});
    EXPECT_EQ(Word(Other("otDY", 3, 0), 10), 0x1001);
    EXPECT_EQ(Other("otDY", 4, 0), nullptr);
    EXPECT_EQ(Other("otDY", 5, 0), nullptr);
    EXPECT_EQ(Other("SOMS", 5), nullptr);
    EXPECT_EQ(Word(Other("SOMS", 4), 4), 4);  // the source's 4/4 reached measure 4
    // The lock of measures 1-3 locks 3-4: it ends with the target.
    EXPECT_EQ(Word(Other("otFM", 3), 0), 5);
}

TEST(TransferFilterWordsTest, CutsTrimsAndUpperCases) {
    EXPECT_EQ(orvex::TransferFilterWords(" score,, Parts ,x"), (std::vector<std::string>{"SCORE", "PARTS", "X"}));
    EXPECT_TRUE(orvex::TransferFilterWords(" , ").empty());
}

ORDINARY_MUSIC_CASES(Transfer, "tests/expressions/ordinary.cases", "transfer");

}  // namespace
