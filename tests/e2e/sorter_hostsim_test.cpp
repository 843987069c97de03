// The sorter end to end: hostsim loads the built plug-ins, the user chooses the sorter from the
// product menu and clicks Go, and the document's expressions and their placements are renumbered.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "tests/support/fixture.h"
#include "tests/support/hostsim_run.h"

namespace {

class SorterHostsimTest : public testsupport::DesktopTest {};

TEST_F(SorterHostsimTest, GoSortsTheDocumentsExpressions) {
    const auto score = TempFolder() / "tempi.txt";
    std::ofstream(score) << "font 2 \"Arial\"\n"
                            "staff \"Flute\"\n"
                            "measures 2\n"
                            "expression 1 \"molto\" font 2\n"
                            "expression 2 \"Adagio\" font 2\n"
                            "expression 3 \"dolce\" font 2\n"
                            "measureexpression 1 1\n"
                            "measureexpression 2 3\n";
    const auto result = testsupport::RunHostsim(
        "load plugins\n"
        "new " +
            score.string() +
            "\n"
            "form TTextExprSorter click TxtSortGoBtn\n"
            "menu \"Orvex/Miscellaneous/Text Expression Sorter\"\n"
            "dump records SODT\n"
            "dump records otDY\n",
        RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto form = std::find(result.out.begin(), result.out.end(),
                                "[form] \"Text Expression Sorter 1.88d\" TTextExprSorter, modal");
    ASSERT_NE(form, result.out.end());
    EXPECT_NE(std::find(form, result.out.end(), "  button TxtSortGoBtn \"Go!\""), result.out.end());
    testsupport::ExpectLines(
        {
            "  'SODT' other (1, 0), 19 bytes: font 2 size 12, style 0x0000, words 0 0, flags 0x0000, text \"Adagio\"",
            "  'SODT' other (2, 0), 18 bytes: font 2 size 12, style 0x0000, words 0 0, flags 0x0000, text \"dolce\"",
            "  'SODT' other (3, 0), 18 bytes: font 2 size 12, style 0x0000, words 0 0, flags 0x0000, text \"molto\"",
        },
        testsupport::LinesStartingWith(result.out, "records of document 1 \"tempi\": 3 'SODT' of 11", "  "));
    // "Adagio" (2) is first now, "dolce" (3) second, "molto" (1) third.
    testsupport::ExpectLines(
        {
            "  'otDY' other (1, 0), 12 bytes: expression 3 at 0, offset 0, every staff",
            "  'otDY' other (2, 0), 12 bytes: expression 2 at 0, offset 0, every staff",
        },
        testsupport::LinesStartingWith(result.out, "records of document 1 \"tempi\": 2 'otDY' of 11", "  "));
    EXPECT_NE(std::find(result.out.begin(), result.out.end(),
                        "host: Orvex188.fxt changed document 1 \"tempi\": records 'SODT' 3 changed, 'otDY' 2 changed"),
              result.out.end());
}

TEST_F(SorterHostsimTest, AStoppedRenumberingChangesNothingAndSaysSo) {
    const auto score = TempFolder() / "tempi.txt";
    std::ofstream(score) << "font 2 \"Arial\"\n"
                            "staff \"Flute\"\n"
                            "measures 2\n"
                            "expression 1 \"molto\" font 2\n"
                            "expression 2 \"Adagio\" font 2\n"
                            "expression 3 \"dolce\" font 2\n"
                            "measureexpression 1 1\n"
                            "measureexpression 2 3\n";
    const auto result = testsupport::RunHostsim(
        "load plugins\n"
        "new " +
            score.string() +
            "\n"
            "form TTextExprSorter click TxtSortGoBtn\n"
            "stop progress at 2\n"
            "menu \"Orvex/Miscellaneous/Text Expression Sorter\"\n"
            "dump records SODT\n"
            "dump records otDY\n",
        RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // The walk stopped at measure 2 after it had visited measure 1: the expressions keep their
    // numbers and both placements theirs.
    testsupport::ExpectLines(
        {
            "  'SODT' other (1, 0), 18 bytes: font 2 size 12, style 0x0000, words 0 0, flags 0x0000, text \"molto\"",
            "  'SODT' other (2, 0), 19 bytes: font 2 size 12, style 0x0000, words 0 0, flags 0x0000, text \"Adagio\"",
            "  'SODT' other (3, 0), 18 bytes: font 2 size 12, style 0x0000, words 0 0, flags 0x0000, text \"dolce\"",
        },
        testsupport::LinesStartingWith(result.out, "records of document 1 \"tempi\": 3 'SODT' of 11", "  "));
    testsupport::ExpectLines(
        {
            "  'otDY' other (1, 0), 12 bytes: expression 1 at 0, offset 0, every staff",
            "  'otDY' other (2, 0), 12 bytes: expression 3 at 0, offset 0, every staff",
        },
        testsupport::LinesStartingWith(result.out, "records of document 1 \"tempi\": 2 'otDY' of 11", "  "));
    EXPECT_NE(std::find(result.out.begin(), result.out.end(),
                        "  label Message \"The renumbering was stopped. Nothing in the document was changed.\""),
              result.out.end());
    // The host finds the document unchanged.
    EXPECT_NE(std::find(result.out.begin(), result.out.end(), "host: nothing changed"), result.out.end());
    EXPECT_TRUE(std::none_of(result.out.begin(), result.out.end(), [](const std::string& line) {
        return line.starts_with("host: Orvex188.fxt changed document");
    }));
}

// The sort with "Delete unused" is one command of one call: one step of the undo history, named
// after it, which one Undo takes back whole (the placements with the texts they named), and one
// Redo makes again.
TEST_F(SorterHostsimTest, OneUndoTakesTheSortAndItsDeletionBackWhole) {
    const auto score = TempFolder() / "tempi.txt";
    std::ofstream(score) << "font 2 \"Arial\"\n"
                            "staff \"Flute\"\n"
                            "measures 2\n"
                            "expression 1 \"molto\" font 2\n"
                            "expression 2 \"Adagio\" font 2\n"
                            "expression 3 \"dolce\" font 2\n"
                            "expression 4 \"unused\" font 2\n"
                            "measureexpression 1 1\n"
                            "measureexpression 2 3\n";
    const auto result = testsupport::RunHostsim("load plugins\nnew " + score.string() +
                                                    "\ndump records SODT\ndump records otDY\n"
                                                    "form TTextExprSorter set DeleteUnused 1\n"
                                                    "form TTextExprSorter click TxtSortGoBtn\n"
                                                    "answer yes\n"
                                                    "menu \"Orvex/Miscellaneous/Text Expression Sorter\"\n"
                                                    "dump records SODT\ndump records otDY\n"
                                                    "menu \"Edit/Undo\"\n"
                                                    "dump records SODT\ndump records otDY\n"
                                                    "menu \"Edit/Undo\"\n"
                                                    "menu \"Edit/Redo\"\n"
                                                    "dump records SODT\ndump records otDY\n",
                                                RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // The dumps in order: before, after the sort, after one Undo, after one Redo.
    std::vector<std::vector<std::string>> dumps;
    for (auto line = result.out.begin(); line != result.out.end(); ++line) {
        if (line->starts_with("records of document 1 \"tempi\": ")) {
            std::vector<std::string> dump{*line};
            for (++line; line != result.out.end() && line->starts_with("  "); ++line) {
                dump.push_back(*line);
            }
            dumps.push_back(dump);
            --line;
        }
    }
    ASSERT_EQ(dumps.size(), 8u);
    // "Adagio" and "unused" named no placement: "dolce" is expression 1 now, "molto" 2.
    testsupport::ExpectLines(
        {"records of document 1 \"tempi\": 2 'SODT' of 10",
         "  'SODT' other (1, 0), 18 bytes: font 2 size 12, style 0x0000, words 0 0, flags 0x0000, text \"dolce\"",
         "  'SODT' other (2, 0), 18 bytes: font 2 size 12, style 0x0000, words 0 0, flags 0x0000, text \"molto\""},
        dumps[2]);
    testsupport::ExpectLines({"records of document 1 \"tempi\": 2 'otDY' of 10",
                              "  'otDY' other (1, 0), 12 bytes: expression 2 at 0, offset 0, every staff",
                              "  'otDY' other (2, 0), 12 bytes: expression 1 at 0, offset 0, every staff"},
                             dumps[3]);
    EXPECT_EQ(dumps[4], dumps[0]) << "the texts are back";
    EXPECT_EQ(dumps[5], dumps[1]) << "the placements name them again";
    EXPECT_EQ(dumps[6], dumps[2]);
    EXPECT_EQ(dumps[7], dumps[3]);
    std::vector<std::string> steps;
    for (const std::string& line : result.out) {
        if (line.starts_with("host: undo") || line.starts_with("host: redo") || line.starts_with("host: nothing to")) {
            steps.push_back(line.substr(0, line.find(':', 12)));
        }
    }
    testsupport::ExpectLines({"host: undo \"Text Expression Sorter...\"", "host: nothing to undo",
                              "host: redo \"Text Expression Sorter...\""},
                             steps);
}

}  // namespace
