// Lumvar2000 end to end: the built host program loads the built modules; the first command of
// Orvex188 binds Lumvar2000 and shakes hands; the binding's messages when Lumvar2000 is missing
// or was not started by the host; the control panel from the host's menu. Orvex188's command
// is its about box, menu entry 71.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/fixture.h"
#include "tests/support/hostsim_run.h"

namespace {

namespace fs = std::filesystem;

class LumvarEndToEndTest : public testsupport::DesktopTest {
protected:
    /// Runs hostsim in `folder` (the folder where a module is looked for by its bare name after
    /// the program's own) with the plug-ins of `plugins`.
    testsupport::HostsimResult Run(const std::string& script, const fs::path& plugins, const fs::path& folder) {
        return testsupport::RunHostsimWith(script, TempFolder(), "--registry '" + RegistryFile().string() + "'", folder,
                                           plugins);
    }
    /// A plug-in folder holding copies of the named built modules.
    fs::path PluginFolder(const std::vector<std::string>& modules) {
        return testsupport::PluginFolder(TempFolder(), modules);
    }
    static std::vector<std::string> From(const std::vector<std::string>& lines, const std::string& first) {
        const auto it = std::find(lines.begin(), lines.end(), first);
        return it == lines.end() ? std::vector<std::string>{} : std::vector<std::string>(it, lines.end());
    }
};

std::string QuartetScore() {
    return (fs::path(ORVEX_SOURCE_DIR) / "examples" / "quartet.score").string();
}

const std::vector<std::string> kNotFoundBox = {
    "[message box] \"Lumvar Load Error\" (error) buttons OK",
    "  | The Lumvar Plug-in (Lumvar2000.fxt) could not be found.",
    "  | ",
    "  | If you don't have this file, you should be able to",
    "  | download it from the same location as where you got",
    "  | this plug-in.",
    "  -> OK (default: no answer was queued)",
};

TEST_F(LumvarEndToEndTest, TheFirstCommandBindsLumvarAndShakesHands) {
    // A host newer than Lumvar2000 knows: the handshake says so, which shows that it ran.
    const auto result = testsupport::RunHostsim(
        "host version 0x08000000\nload plugins\ninvoke 71\ninvoke 71\ninvoke 71\n", RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::string> lines = From(result.out, "> invoke 71");
    ASSERT_FALSE(lines.empty());
    const std::vector<std::string> expected = {
        "> invoke 71",
        "[message box] \"New Finale Version Information\" (information) buttons OK",
        "  | This version of Lumvar hasn't proven to be compatible",
        "  | with this Finale version.",
        "  | Please download a later version of Lumvar.",
        "  -> OK (default: no answer was queued)",
        "[form] \"About Orvex 1.88d\" TAboutBox, modal",
    };
    testsupport::ExpectLines(expected, std::vector<std::string>(lines.begin(), lines.begin() + 7));
    // Every command shakes hands again; the notice shows twice at most.
    int notices = 0;
    for (const std::string& line : result.out) {
        notices += line == expected[1] ? 1 : 0;
    }
    EXPECT_EQ(notices, 2);
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), "[form] \"About Orvex 1.88d\" TAboutBox, modal"), 3);
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), kNotFoundBox[0]), 0);
}

TEST_F(LumvarEndToEndTest, WithoutLumvarNoCommandRuns) {
    const fs::path plugins = PluginFolder({"Orvex188.fxt"});
    const auto result = Run("load plugins\ninvoke 71\ninvoke 71\n", plugins, TempFolder());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // The command does not run (no about box); the next one tries again.
    std::vector<std::string> expected = {"> invoke 71"};
    expected.insert(expected.end(), kNotFoundBox.begin(), kNotFoundBox.end());
    expected.push_back("host: nothing changed");
    expected.push_back("host: Orvex188.fxt answered 0");
    expected.push_back("> invoke 71");
    expected.insert(expected.end(), kNotFoundBox.begin(), kNotFoundBox.end());
    expected.push_back("host: nothing changed");
    expected.push_back("host: Orvex188.fxt answered 0");
    expected.push_back("host: unloaded Orvex188.fxt");
    std::vector<std::string> lines = From(result.out, expected.front());
    lines.resize(std::min(lines.size(), expected.size()));
    testsupport::ExpectLines(expected, lines);
}

TEST_F(LumvarEndToEndTest, ACopyTheHostDidNotStartIsRefused) {
    // Lumvar2000 lies in the folder the host runs in, but not in its plug-in folder.
    const fs::path plugins = PluginFolder({"Orvex188.fxt"});
    fs::copy_file(fs::path(ORVEX_PLUGIN_DIR) / "Lumvar2000.fxt", TempFolder() / "Lumvar2000.fxt");
    const auto result = Run("load plugins\ninvoke 71\n", plugins, TempFolder());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::string> expected = {
        "> invoke 71",
        "[message box] \"Lumvar Load Error\" (error) buttons OK",
        "  | The Lumvar plug-in is not placed in your Plug-in",
        "  | folder for this version of Finale, which means that",
        "  | it cannot be called correctly.",
        "  | ",
        "  | Please exit Finale, correct the problem and restart.",
        "  -> OK (default: no answer was queued)",
        "host: nothing changed",
        "host: Orvex188.fxt answered 0",
        "host: unloaded Orvex188.fxt",
    };
    std::vector<std::string> lines = From(result.out, expected.front());
    lines.resize(std::min(lines.size(), expected.size()));
    testsupport::ExpectLines(expected, lines);
}

TEST_F(LumvarEndToEndTest, TheControlPanelFromTheHostsMenu) {
    // The host's plug-in entries act while a document is open.
    const auto result = testsupport::RunHostsim(
        "load plugins\n"
        "new " +
            QuartetScore() +
            "\n"
            "dialog 20128 set 108 Deutsch\n"
            "dialog 20128 click \"Collapse window when losing focus\"\n"
            "dialog 20128 click OK\n"
            "menu \"Plug-ins/Lumvar...\"\n"
            "quit\n",
        RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::string> expected = {
        "> menu \"Plug-ins/Lumvar...\"",
        "[dialog] \"Lumvar - Control Panel\" 20128 of Lumvar2000.fxt, modal",
        "  group box 101 \"Plug-in preferences\"",
        "  check box 102 \"Allow windows on second monitor\": unchecked",
        "  check box 103 \"Update layout when needed\": checked",
        "  check box 104 \"Return focus to Finale\": unchecked",
        "  check box 105 \"Collapse window when losing focus\": checked",
        "  check box 106 \"Transparent in Windows 2000\": unchecked",
        "  label - \"Prefered languages for plug-ins:\"",
        "  drop-down list 108: \"English [American]\"",
        "  label - \"Lumvar version:\"",
        "  label 109 \"2.08\"",
        "  button 110 \"Lumvar WWW page...\"",
        "  button 1 \"OK\" (default)",
        "  button 2 \"Cancel\"",
        "  user: set 108 \"Deutsch\"",
        "  user: click Collapse window when losing focus",
        "  user: click OK",
        "  -> 1",
        "host: nothing changed",
        "host: Lumvar2000.fxt answered that it changed the document",
        "> quit",
    };
    std::vector<std::string> lines = From(result.out, expected.front());
    lines.resize(std::min(lines.size(), expected.size()));
    testsupport::ExpectLines(expected, lines);
    // The preferences are written back when the host unloads Lumvar2000: language 2, collapse 0.
    std::ifstream registry(RegistryFile());
    std::stringstream text;
    text << registry.rdbuf();
    EXPECT_NE(text.str().find("[HKEY_CURRENT_USER\\Software\\Lumvar]\n"
                              "\"Preferences\"=hex:00,00,00,00,01,00,02,00,00,00,00,00,00,00,3c,00\n"),
              std::string::npos)
        << text.str();
}

TEST_F(LumvarEndToEndTest, TheDebugPanelWithCtrlAndShift) {
    const auto result = testsupport::RunHostsim("load plugins\nnew " + QuartetScore() +
                                                    "\nhold ctrl\nhold shift\ndialog 20129 click Cancel\nmenu "
                                                    "\"Plug-ins/Lumvar...\"\n",
                                                RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::string> expected = {
        "[dialog] \"Lumvar Debug Panel\" 20129 of Lumvar2000.fxt, modal",
        "  group box 101 \"Event type\"",
        "  radio button 102 \"Debug Event &1\": checked",
        "  radio button 103 \"Debug Event &2\": unchecked",
        "  radio button 104 \"Debug Event &3\": unchecked",
        "  radio button 105 \"Debug Event &4\": unchecked",
        "  radio button 106 \"&Text Debug Event\": unchecked",
        "  edit 107: \"\"",
        "  button 108 \"&Send Event\"",
        "  button 1 \"OK\" (default)",
        "  button 2 \"Cancel\"",
        "  user: click Cancel",
        "  -> 2",
    };
    std::vector<std::string> lines = From(result.out, expected.front());
    lines.resize(std::min(lines.size(), expected.size()));
    testsupport::ExpectLines(expected, lines);
}

}  // namespace

namespace {

// The options dialog's captions go through Lumvar's translation into the user's language: in
// English they read as written ("all", not "All"); a word in Svenska keeps its capital, Å too.
TEST_F(LumvarEndToEndTest, TranslatedCaptionsKeepTheCaseOfTheirFirstLetter) {
    const fs::path score = fs::path(ORVEX_SOURCE_DIR) / "examples" / "quartet.score";
    const auto result = testsupport::RunHostsim(
        "load plugins\n"
        "new " +
            score.string() +
            "\n"
            "select 1-1 1-1\n"
            "menu \"Orvex/Modify/Remove\"\n"
            "lumvar translate Natural Svenska\n"
            "lumvar translate natural 7\n"
            "lumvar translate Natural Deutsch\n",
        RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto has = [&](const std::string& line) {
        return std::find(result.out.begin(), result.out.end(), line) != result.out.end();
    };
    EXPECT_TRUE(has("  row 5 \"Left percentage (100=all):\": edit \"100\""));
    EXPECT_TRUE(has("  row 6 \"Right percentage (100=all):\": edit \"100\""));
    EXPECT_TRUE(has("lumvar: \"Natural\" in Svenska: \"Återställningstecken\""));
    EXPECT_TRUE(has("lumvar: \"natural\" in Svenska: \"återställningstecken\""));
    EXPECT_TRUE(has("lumvar: \"Natural\" in Deutsch: \"Auflösungszeichen\""));
}

TEST_F(LumvarEndToEndTest, TranslatingWithoutLumvarOrInAnUnknownLanguageIsAnError) {
    const auto result = testsupport::RunHostsim(
        "load plugins\n"
        "lumvar translate Natural Klingon\n",
        RegistryFile());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("not a language of Lumvar2000: Klingon"), std::string::npos) << result.err;
}

TEST_F(LumvarEndToEndTest, AScriptSeesTheNotificationsAndServicesAPlugInSees) {
    const auto result = testsupport::RunHostsim(
        "load plugins\nlumvar notifications on\nnew " +
            (fs::path(ORVEX_SOURCE_DIR) / "examples" / "walk.score").string() +
            "\nview page\nview scroll\nactivate other program\nactivate host\nlumvar measure text 3\n"
            "lumvar measure text 99\nlumvar measure number 3\nlumvar measure number x\nlumvar split 1536\n"
            "lumvar split 1500\nlumvar split -1\nlumvar join 1024 4 1 0\nlumvar duration 1 1536\n"
            "lumvar duration 2 512 2\nlumvar notifications off\nview page\nlumvar notifications off\n",
        RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::vector<std::string> lumvar;
    for (const std::string& line : result.out) {
        if (line.starts_with("lumvar: ")) {
            lumvar.push_back(line);
        }
    }
    testsupport::ExpectLines(
        {"lumvar: notifications on", "lumvar: notification 53: a document window came to the top",
         "lumvar: notification 54: the document window shows page view",
         "lumvar: notification 54: the document window shows scroll view",
         "lumvar: notification 55: the host program is deactivated",
         "lumvar: notification 55: the host program is activated", "lumvar: measure 3 reads \"3\"",
         "lumvar: measure 99 has no text (error 4)", "lumvar: \"3\" is measure 3", "lumvar: \"x\" is no measure",
         "lumvar: 1536 EDU is 1024 (level 4) with 1 dot and 0 EDU left over",
         "lumvar: 1500 EDU is 1024 (level 4) with 0 dots and 476 EDU left over", "lumvar: -1 EDU: error 4",
         "lumvar: 1024 level 4 with 1 dot and 0 left over is 1536 EDU", "lumvar: 1536 EDU as kind 1: \"1 dotted qrt.\"",
         "lumvar: 512 EDU as kind 2: \"2 eighths\"", "lumvar: notifications off",
         "lumvar: notifications were not registered (answer 0)"},
        lumvar);
}

// The measure-number regions are kept under the tag of the host's year ('otMN' on host 2000,
// 'SOMN' on later hosts) by the host, its score texts, Special Measure Regions and Lumvar2000
// alike: Lumvar2000's clients see the region of a score text and the sections the command makes.
TEST_F(LumvarEndToEndTest, MeasureNumberRegionsUseTheTagOfTheHostYear) {
    const fs::path score = TempFolder() / "sections.txt";
    std::ofstream(score) << "staff \"A\"\nmeasures 8\nnumberregion 1 8 start 10\n";
    for (const auto& [version, tag, other] :
         {std::tuple{"0x05000005", "otMN", "SOMN"}, std::tuple{"0x06000200", "SOMN", "otMN"}}) {
        SCOPED_TRACE(version);
        const auto result =
            testsupport::RunHostsim(std::string("host version ") + version + "\nload plugins\nnew " + score.string() +
                                        "\nlumvar measure text 5\nselect 1 2-4\nhold shift\n"
                                        "menu \"Orvex/Layout/Special Measure Regions\"\n"
                                        "release shift\nlumvar measure text 5\ndump records " +
                                        tag + "\ndump records " + other + "\ndump score\n",
                                    RegistryFile());
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const auto has = [&](const std::string& line) {
            return std::find(result.out.begin(), result.out.end(), line) != result.out.end();
        };
        // Measure 5 shows 14 in the score text's region, 11 in the second section.
        EXPECT_TRUE(has("lumvar: measure 5 reads \"1:14\""));
        EXPECT_TRUE(has("lumvar: measure 5 reads \"2:11\""));
        testsupport::ExpectLines(
            {"  '" + std::string(tag) +
                 "' other (1, 0), 88 bytes: measures 1 to before 2, first "
                 "number 10, flags 0x0000",
             "  '" + std::string(tag) +
                 "' other (2, 0), 88 bytes: measures 5 to before 9, first "
                 "number 11, flags 0x0000"},
            testsupport::LinesStartingWith(
                result.out, "records of document 1 \"sections\": 2 '" + std::string(tag) + "' of 14", "  "));
        EXPECT_TRUE(has("records of document 1 \"sections\": 0 '" + std::string(other) + "' of 14"));
        EXPECT_EQ(std::count_if(result.out.begin(), result.out.end(),
                                [&](const std::string& line) {
                                    return line.starts_with("  record " + std::string(tag) + " other ");
                                }),
                  2);
    }
}

}  // namespace
