// hostsim end to end: results a user checks by eye. The Rests dialog shows all its rows; the
// spreadsheet export writes beside the plug-in and says where; every progress display of every
// command ends after at most the steps it announced.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

#include "tests/support/fixture.h"
#include "tests/support/hostsim_run.h"

namespace {

namespace fs = std::filesystem;

class ResultsHostsimTest : public testsupport::DesktopTest {
protected:
    static std::string Score() { return (fs::path(ORVEX_SOURCE_DIR) / "examples" / "quartet.score").string(); }
    /// Runs hostsim in `folder` with the plug-ins of `plugins`.
    testsupport::HostsimResult Run(const std::string& script, const fs::path& plugins, const fs::path& folder) {
        return testsupport::RunHostsimWith(script, TempFolder(), "--registry '" + RegistryFile().string() + "'", folder,
                                           plugins);
    }
    /// A plug-in folder holding copies of the built modules.
    fs::path PluginFolder() { return testsupport::PluginFolder(TempFolder(), {"Orvex188.fxt", "Lumvar2000.fxt"}); }
    static bool Has(const testsupport::HostsimResult& result, const std::string& line) {
        return std::find(result.out.begin(), result.out.end(), line) != result.out.end();
    }
};

// "Allow ties" and "Simplify rhythm" show beside the row they refine, whether it is checked or not.
TEST_F(ResultsHostsimTest, TheRestsDialogShowsItsSixRows) {
    const auto result = testsupport::RunHostsim(
        "load plugins\nnew " + Score() + "\nselect 1-1 1-1\nmenu \"Orvex/Modify/Rests\"\n", RegistryFile());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    for (const char* line :
         {"  row 3 \"Minimize number of rests by expanding the preceding note values:\": check box unchecked",
          "  row 4 \"Allow ties:\": check box unchecked", "  row 5 \"Simplify rhythm:\": check box unchecked"}) {
        EXPECT_TRUE(Has(result, line)) << line;
    }
    EXPECT_EQ(std::count_if(result.out.begin(), result.out.end(),
                            [](const std::string& line) {
                                return line.starts_with("  row ") && line.ends_with(": check box unchecked");
                            }),
              6);
}

// A file name without a folder lies beside the plug-in module, not in the folder hostsim runs
// in; the transcript names it (from the script's folder, which holds the plug-in folder here). The display counts one step a staff.
TEST_F(ResultsHostsimTest, TheExportIsWrittenBesideThePlugIn) {
    const fs::path plugins = PluginFolder();
    const fs::path elsewhere = TempFolder() / "elsewhere";
    fs::create_directories(elsewhere);
    const auto result = Run("load plugins\nnew " + Score() +
                                "\nselect 1-4 1-2\nform TDActOpt click Go\n"
                                "menu \"Orvex/Miscellaneous/Export to spreadsheet\"\n",
                            plugins, elsewhere);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(fs::exists(plugins / "export.txt"));
    EXPECT_FALSE(fs::exists(elsewhere / "export.txt"));
    // The plug-in folder lies in the script's folder: the transcript names the file from there.
    EXPECT_TRUE(Has(result, "[debug] Orvex188: the table is written to plugins/export.txt"));
    EXPECT_TRUE(std::any_of(result.out.begin(), result.out.end(), [](const std::string& line) {
        return line.starts_with("[file] wrote plugins/export.txt (");
    }));
    EXPECT_TRUE(Has(result, "host: progress begins over staves 1-4, measures 1-2: 4 steps"));
    EXPECT_TRUE(Has(result, "host: progress ends after 4 of 4 steps"));
}

// Every command of the product menu, run with Shift on its stored options over selections of
// several shapes: no progress display ends after more steps than it announced.
TEST_F(ResultsHostsimTest, EveryProgressDisplayEndsWithinTheStepsItAnnounced) {
    const fs::path plugins = PluginFolder();
    const auto menus = Run("load plugins\nprint menus\n", plugins, TempFolder());
    ASSERT_EQ(menus.exitCode, 0) << menus.err;
    // The product menu's commands by path; forms of their own (below code 100) are left out.
    std::vector<std::string> commands;
    std::vector<std::string> path;
    bool inProduct = false;
    const std::regex item(R"(^( *)(.*?)(?:  \[(\d+)\])?$)");
    for (const std::string& line : menus.out) {
        std::smatch m;
        if (!std::regex_match(line, m, item) || line.find("-----") != std::string::npos) {
            continue;
        }
        const auto level = static_cast<size_t>(m[1].length()) / 2;
        std::string text = m[2];
        text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
        if (level == 1) {
            inProduct = text == "Orvex";
        }
        if (!inProduct || level < 2) {
            path.assign(1, text);
            continue;
        }
        path.resize(level - 1);
        path.push_back(text);
        if (m[3].matched) {
            std::string joined = "Orvex";
            for (size_t i = 1; i < path.size(); ++i) {
                joined += "/" + path[i];
            }
            commands.push_back(joined);
        }
    }
    ASSERT_GE(commands.size(), 60u);
    const std::vector<std::string> forms = {"Browser", "Harmonics", "Beam Breaker", "Print", "Staff List",
                                            "Sort",    "Options",   "About",        "Manual"};
    for (const char* selection : {"1-4 1-1", "1-3 2-3", "2-2 1-1"}) {
        SCOPED_TRACE(std::string("selection ") + selection);
        std::string script = "load plugins\nnew " + Score() + "\n";
        for (std::string command : commands) {
            if (std::any_of(forms.begin(), forms.end(),
                            [&](const std::string& f) { return command.find(f) != std::string::npos; })) {
                continue;
            }
            while (command.ends_with(".")) {
                command.pop_back();
            }
            script += std::string("select ") + selection + "\nhold shift\nmenu \"" + command +
                      "\"\nrelease shift\nwait 3000\n";
        }
        const auto result = Run(script, plugins, TempFolder());
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const std::regex ends(R"(^host: progress ends after (\d+) of (\d+) steps?.*$)");
        std::string lastMenu;
        int32_t displays = 0;
        for (const std::string& line : result.out) {
            if (line.starts_with("> menu ")) {
                lastMenu = line;
            }
            std::smatch m;
            if (std::regex_match(line, m, ends)) {
                ++displays;
                EXPECT_LE(std::stoi(m[1]), std::stoi(m[2])) << lastMenu << ": " << line;
            }
        }
        EXPECT_GE(displays, 30);
    }
}

}  // namespace
