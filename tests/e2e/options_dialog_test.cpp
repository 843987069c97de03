// hostsim end to end: a tool chosen from the host's menu shows its options dialog; the user's
// values and Go reach the tool, and the dialog remembers them for the next session. The forms
// are filled and confirmed by the keyboard alone, in English and German.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "tests/support/case_names.h"
#include "tests/support/fixture.h"
#include "tests/support/hostsim_run.h"

namespace {

std::string QuartetScore() {
    return (std::filesystem::path(ORVEX_SOURCE_DIR) / "examples" / "quartet.score").string();
}

class OptionsDialogHostsimTest : public testsupport::DesktopTest {
protected:
    static std::string Score() { return QuartetScore(); }
    static constexpr const char* kMenuLine = "> menu \"Orvex/Spacing/Remove extraneous beat chart elements\"";
    static constexpr const char* kFormLine = "[form] \"Remove extraneous beat chart elements 1.88d\" TDActOpt";

    /// The lines of the first form after `from`, up to the next line that is not the form's.
    static std::vector<std::string> FormBlock(const std::vector<std::string>& out, const std::string& from) {
        auto at = std::find(out.begin(), out.end(), from);
        at = std::find(at, out.end(), kFormLine);
        std::vector<std::string> block;
        for (auto line = at; line != out.end() && (line == at || line->starts_with("  ")); ++line) {
            block.push_back(*line);
        }
        return block;
    }
};

TEST_F(OptionsDialogHostsimTest, ChosenToolShowsItsOptionsAndGoReachesTheTool) {
    const auto result = testsupport::RunHostsim(
        "load plugins\n"
        "new " +
            Score() +
            "\n"
            "select 1-2 1-2\n"
            "form TDActOpt set \"Maximum deviation per thousand:\" 60\n"
            "form TDActOpt click Go\n"
            "menu \"Orvex/Spacing/Remove extraneous beat chart elements\"\n",
        RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    static const std::vector<std::string> kDialog = {
        kFormLine,
        "  button OKBtn \"&Go\"",
        "  button CancelBtn \"&Cancel\"",
        "  button DefaultBtn \"&Defaults\"",
        "  button UndoBtn \"&Undo\"",
        "  button RedoBtn \"&Redo\"",
        "  label Label1 \"After Go:\"",
        "  check box cbCollapse \"Collapse when inactive\": greyed",
        "  check box cbAutoClose \"Close\": unchecked",
        "  check box cbInactivate \"Inactivate\": greyed",
        "  row 0 \"Maximum deviation per thousand:\": edit \"50\"",
        "  row 1 \"Enforce beat chart refresh?\": check box checked",
        "  user: set \"Maximum deviation per thousand:\" \"60\"",
        "    (row 0)",
        "  user: click Go",
    };
    testsupport::ExpectLines(kDialog, FormBlock(result.out, kMenuLine));
    // Go ran the tool: the dispatcher opened the host's edit bracket over the selection.
    const auto go = std::find(result.out.begin(), result.out.end(), "  user: click Go");
    const auto ran = std::find(go, result.out.end(), "host: progress begins over staves 1-2, measures 1-2: 2 steps");
    EXPECT_NE(ran, result.out.end());
    // and the dialog had the host redraw the document after the run.
    EXPECT_NE(std::find(ran, result.out.end(), "host: redraw the document"), result.out.end());
    std::ifstream file(RegistryFile());
    const std::string registry((std::istreambuf_iterator<char>(file)), {});
    EXPECT_NE(registry.find("\"DActOptRemExBCEls\"=\"T.T.P200,120S439,157:9:2:10:0:11:2:18:60:19:1\""),
              std::string::npos)
        << registry;

    // The next session shows the remembered value.
    const auto next = testsupport::RunHostsim(
        "load plugins\n"
        "new " +
            Score() +
            "\n"
            "form TDActOpt close\n"
            "menu \"Orvex/Spacing/Remove extraneous beat chart elements\"\n",
        RegistryFile());
    ASSERT_EQ(next.exitCode, 0) << next.err;
    const std::vector<std::string> block = FormBlock(next.out, kMenuLine);
    EXPECT_NE(std::find(block.begin(), block.end(), "  row 0 \"Maximum deviation per thousand:\": edit \"60\""),
              block.end());
    EXPECT_EQ(block.back(), "  user: close");
}

// Each Go asks the host for one call that does nothing; two quick clicks are two such calls,
// and neither opens the explorer for text expressions (the first menu entry) unasked.
TEST_F(OptionsDialogHostsimTest, TwoQuickGoClicksOpenNothingElse) {
    const auto result = testsupport::RunHostsim(
        "load plugins\n"
        "new " +
            Score() +
            "\n"
            "select 1-2 1-2\n"
            "form TDActOpt click Go\n"
            "form TDActOpt click Go\n"
            "menu \"Orvex/Spacing/Remove extraneous beat chart elements\"\n"
            "wait 2000\n",
        RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), "  user: click Go"), 2);
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(),
                         "host: progress begins over staves 1-2, measures 1-2: 2 steps"),
              2);
    for (const std::string& line : result.out) {
        EXPECT_EQ(line.find("TTextExprForm"), std::string::npos) << line;
    }
}

/// A row of a tool as docs/commands.md lists it, set as the user copies its caption from there.
struct DocumentedRow {
    int32_t code;
    int32_t row;
    const char* value;
    bool withoutColon;  ///< the caption as older docs wrote it, without the colon the dialog shows
};

class DocumentedCaptionTest : public testsupport::DesktopTest, public ::testing::WithParamInterface<DocumentedRow> {};

TEST_P(DocumentedCaptionTest, NamesTheRowItsDocsGive) {
    // The command's section in the reference: its menu path in the heading, the row's caption in
    // the second cell of its table line.
    std::ifstream in(std::filesystem::path(ORVEX_SOURCE_DIR) / "docs" / "commands.md");
    const std::string anchor = "## <a id=\"code-" + std::to_string(GetParam().code) + "\"></a>";
    std::string line;
    std::string path;
    std::string caption;
    while (std::getline(in, line) && caption.empty()) {
        if (line.starts_with(anchor)) {
            path = line.substr(anchor.size());
        } else if (!path.empty() && line.starts_with("| " + std::to_string(GetParam().row) + " | ")) {
            const size_t start = line.find(" | ") + 3;
            caption = line.substr(start, line.find(" | ", start) - start);
        }
    }
    ASSERT_FALSE(caption.empty()) << anchor;
    if (GetParam().withoutColon && caption.ends_with(":")) {
        caption.pop_back();
    }
    const auto result = testsupport::RunHostsim(
        "load plugins\nnew " + QuartetScore() + "\nselect 1-4 1-2\nform TDActOpt set \"" + caption + "\" " +
            GetParam().value + "\nform TDActOpt click Go\nform TDActOpt click CancelBtn\nmenu \"" + path + "\"\n",
        RegistryFile());
    EXPECT_EQ(result.exitCode, 0) << caption << "\n" << result.err;
    const auto set =
        std::find(result.out.begin(), result.out.end(), "  user: set \"" + caption + "\" \"" + GetParam().value + "\"");
    ASSERT_NE(set, result.out.end()) << caption;
    EXPECT_EQ(set[1], "    (row " + std::to_string(GetParam().row) + ")");
}

INSTANTIATE_TEST_SUITE_P(Rows, DocumentedCaptionTest,
                         ::testing::Values(DocumentedRow{141, 1, "on", false}, DocumentedRow{141, 1, "on", true},
                                           DocumentedRow{118, 0, "40", false}, DocumentedRow{149, 4, "80", true},
                                           DocumentedRow{101, 4, "on", false}, DocumentedRow{144, 7, "24", true},
                                           DocumentedRow{146, 0, "2", false}),
                         [](const ::testing::TestParamInfo<DocumentedRow>& testCase) {
                             const DocumentedRow& row = testCase.param;
                             return "code_" + std::to_string(row.code) + "_row_" + std::to_string(row.row) +
                                    (row.withoutColon ? "_no_colon" : "");
                         });

TEST_F(OptionsDialogHostsimTest, AMisspeltCaptionIsAnsweredWithTheNearestRows) {
    const auto result = testsupport::RunHostsim("load plugins\nnew " + Score() +
                                                    "\nselect 1 1\nform TDActOpt set \"Check accidental\" on\n"
                                                    "form TDActOpt click Go\nmenu \"Orvex/Music/Accidentals...\"\n",
                                                RegistryFile());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(std::find(result.out.begin(), result.out.end(),
                          "    not done: no control \"Check accidental\" on this form (did you mean \"Check "
                          "accidentals:\" (#1)?)") != result.out.end())
        << result.err;
}
// The options form's list keeps the ticks the user changed across Add..., Edit... and Remove,
// and its OK stores them.
TEST_F(OptionsDialogHostsimTest, TheOptionsFormKeepsTheTicksOfItsListAcrossAddEditAndRemove) {
    const auto result = testsupport::RunHostsim(
        "load plugins\nnew " + Score() +
            "\nform TOptionsForm set AssignBox +0\nform TOptionsForm set AssignBox -2\nform TOptionsForm click AddBtn\n"
            "form TAddKeyAssForm set HotKey F9\nform TAddKeyAssForm set Action \"plug-in command\"\n"
            "form TAddKeyAssForm set PluginCommand SplitPoint\nform TAddKeyAssForm click OkBtn\n"
            "form TOptionsForm set AssignBox 1\nform TOptionsForm click EditBtn\nform TAddKeyAssForm click CancelBtn\n"
            "form TOptionsForm set AssignBox 3\nform TOptionsForm click RemoveBtn\nform TOptionsForm click OkButton\n"
            "menu \"Orvex/Options...\"\nmenu \"Orvex/Options...\"\n",
        RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // Each time the options form shows: at first, after Add..., after Edit..., and the next time.
    std::vector<std::vector<std::string>> lists;
    for (const std::string& line : result.out) {
        if (line.starts_with("[form] \"Orvex Options")) {
            lists.emplace_back();
        } else if (line.starts_with("      [") && !lists.empty()) {
            lists.back().push_back(line.substr(6));
        }
    }
    EXPECT_EQ(lists,
              (std::vector<std::vector<std::string>>{
                  {"[ ] DEL (ask)", "[ ] BACKSP (ask)", "[x] HOME (ask)", "[x] END (ask)"},
                  {"[x] DEL (ask)", "[ ] BACKSP (ask)", "[ ] HOME (ask)", "[x] END (ask)", "[x] F9 -> SplitPoint"},
                  {"[x] DEL (ask)", "[ ] BACKSP (ask)", "[ ] HOME (ask)", "[x] END (ask)", "[x] F9 -> SplitPoint"},
                  {"[x] DEL (ask)", "[ ] BACKSP (ask)", "[ ] HOME (ask)", "[x] F9 -> SplitPoint"}}));
}

// Go pressed by its key in a dialog left open runs outside the host's calls: the host's call
// that Go asks for tells it that the document changed, and the undo step is named after the
// dialog's tool, not after the text the last run left in its caption.
TEST_F(OptionsDialogHostsimTest, GoByItsKeyInAnOpenDialogIsToldToTheHost) {
    const auto source = TempFolder() / "source.score";
    std::ofstream(source) << "staff \"Flute\"\nmeasures 2 width 300\nnotes 1 1 c5/1\nnotes 1 2 d5/1\n";
    const auto target = TempFolder() / "target.score";
    std::ofstream(target) << "staff \"Flute\"\nmeasures 2 width 200\nnotes 1 1 e5/1\nnotes 1 2 f5/1\n";
    const auto result = testsupport::RunHostsim("load plugins\nnew " + source.string() + "\nnew " + target.string() +
                                                    "\nfront 1\nselect 1 1-2\nform TDActOpt set Row4 1\n"
                                                    "form TDActOpt click Go\nmenu \"Orvex/Modify/Transfer...\"\n"
                                                    "front 2\nselect 1 1-2\nactivate form TDActOpt\npress Enter\n"
                                                    "menu \"Edit/Undo\"\n",
                                                RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto& out = result.out;
    const auto press = std::find(out.begin(), out.end(), "> press Enter");
    const auto undo = std::find(press, out.end(), "> menu \"Edit/Undo\"");
    EXPECT_NE(std::find(press, undo, "host: Orvex188.fxt answered that it changed the document"), undo);
    EXPECT_NE(std::find(undo, out.end(), "host: undo \"Transfer 1.88d\": 0 cells, 2 records"), out.end());
}

struct KeyboardLanguage {
    const char* language;
    const char* optionsMenu;
    const char* beatChartMenu;
};

class KeyboardHostsimTest : public testsupport::DesktopTest, public ::testing::WithParamInterface<KeyboardLanguage> {
protected:
    static std::string Repeat(const std::string& line, int times) {
        std::string lines;
        for (int i = 0; i < times; ++i) {
            lines += line;
        }
        return lines;
    }
};

// The options form: Listen (Tab to it from the key, Space) hears F7 and Enter is OK, so F7 opens the explorer,
// where Down and Enter choose the second expression for the metatool key. Add (Tab to it, Space)
// opens the key assignment editor, filled by keys (F9 for the plug-in command chosen by the
// arrows), and OK is reached by Shift+Tab: F9 then runs the smart split point. A tool's options
// dialog takes a typed number, and Enter runs Go with it.
TEST_P(KeyboardHostsimTest, FormsAreFilledAndConfirmedByKeysAlone) {
    const KeyboardLanguage& c = GetParam();
    const auto marks = TempFolder() / "marks.txt";
    std::ofstream(marks) << "font 2 \"Arial\"\nstaff \"Flute\"\nmeasures 1\n"
                            "expression 1 \"dolce\" font 2 metatool 49\nexpression 2 \"pizz.\" font 2\n";
    const std::string examples = (std::filesystem::path(ORVEX_SOURCE_DIR) / "examples").string();
    // A keyboard part with the left hand's C3 put into the right hand.
    const auto keyboard = TempFolder() / "keyboard.score";
    std::ofstream(keyboard) << "staff \"Right hand\"\nstaff \"Left hand\"\nmeasures 1\nnotes 1 1 c3+e5/2 d5/2\n"
                               "notes 2 1 c2/2 g2/2\n";
    const std::string options = std::string("menu \"") + c.optionsMenu + "\"\n";
    const auto result = testsupport::RunHostsim(
        std::string("host language ") + c.language + "\nload plugins\nnew " + marks.string() + "\n" + options +
            "press Tab\npress Space\npress F7\npress Tab\npress Enter\n" +
            "form TTextExprInfo press Enter\nform TTextExprForm press Down\nform TTextExprForm press Enter\n"
            "press F7\ndump records ot&d\n"
            "new " +
            keyboard.string() + "\n" + options + "form TAddKeyAssForm type \"F9\"\n" +
            Repeat("form TAddKeyAssForm press Tab\n", 5) +
            "form TAddKeyAssForm press Down\nform TAddKeyAssForm press Down\nform TAddKeyAssForm press Tab\n"
            "form TAddKeyAssForm press Down\nform TAddKeyAssForm press Enter\n" +
            Repeat("press Tab\n", 13) + "press Space\n" + Repeat("press Shift+Tab\n", 5) +
            "press Enter\nselect 1-2 1\npress F9\ndump cells 1-2 1\n"
            "new " +
            examples +
            "/quartet.score\nselect 1-2 1-2\nform TDActOpt type \"60\"\n"
            "form TDActOpt press Enter\nmenu \"" +
            c.beatChartMenu + "\"\n",
        RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto& out = result.out;
    // F7 opened the explorer: expression 2 is the metatool key's.
    testsupport::ExpectLines(
        {"  'ot&d' other (49, 0), 12 bytes: 0200 0100 0000 0000 0000 0000"},
        testsupport::LinesStartingWith(out, "records of document 1 \"marks\": 1 'ot&d' of 8", "  "));
    EXPECT_NE(std::find(out.begin(), out.end(), "      [x] F9 -> SplitPoint"), out.end());
    // F9 ran the split point: the C3 the right hand held went back to the left hand.
    testsupport::ExpectLines(
        {"  staff 1, measure 1, layer 1: 2 entries", "    entry 1 at 0, 2048 EDU, beam start: E5",
         "    entry 2 at 2048, 2048 EDU, beam start: D5", "  staff 2, measure 1, layer 1: 2 entries",
         "    entry 3 at 0, 2048 EDU, beam start: C2 C3", "    entry 4 at 2048, 2048 EDU, beam start: G2"},
        testsupport::LinesStartingWith(out, "cells of document 2 \"keyboard\": staves 1-2, measure 1", "  "));
    // Enter ran Go with the typed number, which the dialog stored.
    const auto go = std::find(out.begin(), out.end(), "  user: press Enter");
    EXPECT_NE(std::find(go, out.end(), "host: progress begins over staves 1-2, measures 1-2: 2 steps"), out.end());
    EXPECT_NE(testsupport::FileText(RegistryFile()).find(":18:60:19:1\""), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Languages, KeyboardHostsimTest,
                         ::testing::Values(KeyboardLanguage{"en", "Orvex/Options...",
                                                            "Orvex/Spacing/Remove extraneous beat chart elements"},
                                           KeyboardLanguage{"de", "Orvex/Einstellungen...",
                                                            "Orvex/Ausrichtung/Taktschlag-Tabellen optimieren"}),
                         testsupport::NameBy(&KeyboardLanguage::language));

}  // namespace
