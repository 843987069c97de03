// "Enclosures...": the enclosures ('otDe') and flag words of the chosen text expressions after a
// removal, a get-and-put or a put, and the refused choices of action.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "expressions/txtexpr.h"
#include "platform/hostapi/bytes.h"
#include "tests/tools/notes_fixture.h"
#include "tests/tools/systems_test_support.h"
#include "tools/layout/layout_services.h"

namespace {

using namespace orvex;

// Expression 2 has an enclosure; 1 and 3 have none.
constexpr const char* kExpressions =
    "staff \"A\"\nmeasures 1\nexpression 1 \"dolce\"\n"
    "expression 2 \"^font(Times)mf\" playback 0A0000001400000003000000\nexpression 3 \"p\"\n";

const std::array<uint8_t, 12> kEnclosure = {0x0A, 0, 0, 0, 0x14, 0, 0, 0, 3, 0, 0, 0};

struct EnclosureCase {
    const char* name;
    std::array<int32_t, 3> rows;  ///< remove, get, put
    std::vector<int32_t> chosen;
    bool changed;
    std::array<bool, 3> enclosed;  ///< per expression after the run
    std::vector<std::string> messages;
};

class EnclosuresTest : public systemstest::SystemsTest, public ::testing::WithParamInterface<EnclosureCase> {
protected:
    void TearDown() override {
        ExpectNothingLeft();
        ForgetSharedExpressionTable();
        systemstest::SystemsTest::TearDown();
    }
};

TEST_P(EnclosuresTest, TheChosenExpressionsGetOrLoseTheEnclosure) {
    const EnclosureCase& c = GetParam();
    SCOPED_TRACE(c.name);
    ForgetSharedExpressionTable();
    OpenHeld(kExpressions);
    std::shared_ptr<TFMisc> context =
        Tool(ToolItem::Enclosures,
             {{ENCLOSURES_REMOVE, c.rows[0]}, {ENCLOSURES_GET, c.rows[1]}, {ENCLOSURES_PUT, c.rows[2]}});
    context->ChosenItems = c.chosen;
    EXPECT_EQ(RunEnclosures(*context), c.changed);
    EXPECT_EQ(layouttest::MessageTexts(), c.messages);
    for (int16_t n = 1; n <= 3; ++n) {
        SCOPED_TRACE("expression " + std::to_string(n));
        const bool enclosed = c.enclosed[static_cast<size_t>(n - 1)];
        const uint16_t flags = static_cast<uint16_t>(
            StoredWord(host::RecordKey::Other(hostapi::MakeTag("SODT"), n, 0), TextExpressionLayout::kFlags));
        EXPECT_EQ((flags & kExpressionHasPlayback) != 0, enclosed);
        const host::Bytes* enclosure = Stored(host::RecordKey::Other(hostapi::MakeTag("otDe"), n, 0));
        ASSERT_EQ(enclosure != nullptr, enclosed);
        if (enclosure != nullptr) {
            EXPECT_TRUE(std::equal(kEnclosure.begin(), kEnclosure.end(), enclosure->begin()));
        }
    }
    if (c.rows[1] != 0 && c.changed) {
        // The get turned into a put in the context.
        EXPECT_EQ(context->Options[ENCLOSURES_GET].value, 0);
        EXPECT_EQ(context->Options[ENCLOSURES_PUT].value, 1);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Actions, EnclosuresTest, ::testing::Values(
    EnclosureCase{"get and put", {0, 1, 0}, {1, 1, 1}, true, {true, true, true}, {}},
    EnclosureCase{"get from none", {0, 1, 0}, {1, 0, 1}, false, {false, true, false}, {}},
    EnclosureCase{"put without get", {0, 0, 1}, {1, 1, 1}, false, {false, true, false}, {}},
    EnclosureCase{"remove", {1, 0, 0}, {1, 1, 0}, true, {false, false, false},
                  {"Deleting enc #0 = dolce", "Deleting enc #1 = mf"}},
    EnclosureCase{"two actions", {1, 0, 1}, {1, 1, 1}, false, {false, true, false},
                  {"Please select exactly one action"}},
    EnclosureCase{"no action", {0, 0, 0}, {1, 1, 1}, false, {false, true, false},
                  {"Please select exactly one action"}}),
    [](const auto& testCase) { std::string n = testCase.param.name; std::replace(n.begin(), n.end(), ' ', '_'); return n; });
// clang-format on

ORDINARY_MUSIC_CASES(Enclosures, "tests/tools/ordinary-more.cases", "enclosures");

}  // namespace
