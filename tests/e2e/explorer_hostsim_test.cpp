// The explorer end to end: hostsim loads the built plug-ins, the user opens the explorer by its
// menu command or by its hotkey (Tab), selects an expression and clicks Ok, and the document's
// metatool record names that expression.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "tests/support/case_names.h"
#include "tests/support/fixture.h"
#include "tests/support/hostsim_run.h"

namespace {

class ExplorerHostsimTest : public testsupport::DesktopTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ExplorerHostsimTest, OkAssignsTheMetatoolKey) {
    const auto score = TempFolder() / "marks.txt";
    std::ofstream(score) << "font 2 \"Arial\"\n"
                            "staff \"Flute\"\n"
                            "measures 1\n"
                            "expression 1 \"dolce\" font 2 metatool 49\n"
                            "expression 2 \"pizz.\" font 2\n";
    const auto result = testsupport::RunHostsim(
        "load plugins\n"
        "new " +
            score.string() +
            "\n"
            "form TTextExprInfo click Knew\n"
            "form TTextExprForm set Grid 1,2\n"
            "form TTextExprForm click OkBtn\n" +
            GetParam() +
            "\n"
            "dump records ot&d\n",
        RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto info = std::find(result.out.begin(), result.out.end(),
                                "[form] \"Vx Explorer for Text Expresions - Information\" TTextExprInfo, modal");
    ASSERT_NE(info, result.out.end());
    const auto form =
        std::find(info, result.out.end(), "[form] \"Vx Browser for Text Expressions 1.88d\" TTextExprForm, modal");
    ASSERT_NE(form, result.out.end());
    EXPECT_NE(std::find(form, result.out.end(), "  user: click OkBtn"), result.out.end());
    // The option "ExplorerMetatool" is "1" when it was never set: key 49 names expression 2 now.
    testsupport::ExpectLines(
        {"  'ot&d' other (49, 0), 12 bytes: 0200 0100 0000 0000 0000 0000"},
        testsupport::LinesStartingWith(result.out, "records of document 1 \"marks\": 1 'ot&d' of 8", "  "));
}

INSTANTIATE_TEST_SUITE_P(Roads, ExplorerHostsimTest, ::testing::Values("menu \"Orvex/Browser\"", "press Tab"),
                         testsupport::NameByValue());

}  // namespace
