// The Expressions command: measure expressions of every staff become one per staff, and a
// factor scales their positions.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/tool_context.h"
#include "core/tool_items.h"
#include "expressions/expression_records.h"
#include "platform/win/win.h"
#include "tests/core/score_host_fixture.h"
#include "tests/support/orvex_host.h"
#include "tests/tools/layout_test_support.h"
#include "tests/tools/notes_fixture.h"
#include "tools/layout/expressions_command.h"
#include "tools/layout/layout_services.h"

namespace {

using namespace orvex;
using host::RecordKey;

constexpr const char* kScore =
    "staff \"A\"\nstaff \"B\"\nmeasures 2\n"
    "expression 1 \"dolce\"\n"
    "measureexpression 1 1 at 300 offset -60\n"  // every staff
    "measureexpression 2 1 at 301 staff 2 offset 30\n";

/// Position and staff word of each 'otDY' of a measure.
std::vector<std::pair<int16_t, uint16_t>> Assignments(host::Document& document, int16_t measure) {
    std::vector<std::pair<int16_t, uint16_t>> found;
    for (int16_t inci = 0;; ++inci) {
        const host::Bytes* bytes = document.Records().Find(RecordKey::Other(kTagMeasureExpression, measure, inci));
        if (bytes == nullptr) {
            return found;
        }
        found.emplace_back(hostapi::ReadI16(bytes->data(), 2), hostapi::ReadU16(bytes->data(), 10));
    }
}

class ExpressionsCommandTest : public testsupport::OrvexHostTest {};

TEST_F(ExpressionsCommandTest, AnExpressionOfEveryStaffBecomesOnePerStaff) {
    StartHost(kScore);
    Select(1, 2, 1, 2);
    ASSERT_EQ(RunWithShift(orvex::ToolCode(orvex::ToolItem::Expressions)), 1);
    using Row = std::pair<int16_t, uint16_t>;
    EXPECT_EQ(Assignments(Document(), 1), (std::vector<Row>{{300, 0x1001}, {300, 0x1002}}));
    EXPECT_EQ(Assignments(Document(), 2), (std::vector<Row>{{301, 0x1002}})) << "single-staff ones stay";
}

struct FactorCase {
    const char* name;
    const char* text;
    std::vector<int16_t> positions;  ///< of measure 1 (every staff) and measure 2
};

class ExpressionsFactorTest : public testsupport::ScoreHostTest, public ::testing::WithParamInterface<FactorCase> {};

TEST_P(ExpressionsFactorTest, TheFactorScalesAndNothingIsConverted) {
    Open(kScore);
    std::shared_ptr<TFMisc> context = layouttest::ToolWithDefaults(ToolItem::Expressions);
    context->Options[expressionsrow::kFactor].text = GetParam().text;
    ASSERT_TRUE(AllocToolLists(*context));
    RunExpressionsCommand(*context, 1, 2, RegionWords{0, 1, 1, 2, 2});
    FreeToolLists(*context);
    const auto one = Assignments(Document(), 1);
    const auto two = Assignments(Document(), 2);
    ASSERT_EQ(one.size(), 1u);
    ASSERT_EQ(two.size(), 1u);
    EXPECT_EQ(one[0].second, 0) << "not converted";
    EXPECT_EQ((std::vector<int16_t>{one[0].first, two[0].first}), GetParam().positions);
}

INSTANTIATE_TEST_SUITE_P(Texts, ExpressionsFactorTest,
                         ::testing::Values(FactorCase{"Two", "2", {600, 602}}, FactorCase{"Half", " 0.5 ", {150, 150}},
                                           FactorCase{"NotANumber", "x2", {300, 301}}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

ORDINARY_MUSIC_CASES(ExpressionsCommand, "tests/tools/ordinary.cases", "expressions command");

}  // namespace
