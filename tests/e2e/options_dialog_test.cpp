// hostsim end to end: a tool chosen from the host's menu shows its options dialog; the user's
// values and Go reach the tool, and the dialog remembers them for the next session.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "tests/support/fixture.h"

namespace {

class OptionsDialogHostsimTest : public testsupport::DesktopTest {
protected:
    static std::string Score() {
        return (std::filesystem::path(ORVEX_SOURCE_DIR) / "examples" / "quartet.score").string();
    }
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
    EXPECT_NE(std::find(go, result.out.end(), "host: progress begins over staves 1-2, measures 1-2: 2 steps"),
              result.out.end());
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

}  // namespace
