// The examples of README.md and docs/ run as written: every block marked ```hostsim runs through
// hostsim from the project's folder without an error, and every block marked ```score is a score
// text the host makes a document of. The project's scripts answer --help and refuse a wrong
// argument at once, and run-tests ends with one line of its verdict.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/case_names.h"
#include "tests/support/fixture.h"
#include "tests/support/hostsim_run.h"

namespace {

struct Example {
    std::string name;  ///< "README_md_line_26": file and line of the block, for the test's name
    std::string file;
    size_t line = 0;
    std::string kind;  ///< "hostsim" or "score"
    std::string text;
};

std::vector<Example> Examples() {
    const std::filesystem::path root(ORVEX_SOURCE_DIR);
    std::vector<std::filesystem::path> files = {root / "README.md"};
    for (const auto& entry : std::filesystem::directory_iterator(root / "docs")) {
        if (entry.path().extension() == ".md") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin() + 1, files.end());
    std::vector<Example> examples;
    for (const auto& path : files) {
        std::ifstream in(path);
        std::string line;
        size_t number = 0;
        Example* open = nullptr;
        while (std::getline(in, line)) {
            ++number;
            if (open != nullptr) {
                if (line == "```") {
                    open = nullptr;
                } else {
                    open->text += line + "\n";
                }
                continue;
            }
            if (line == "```hostsim" || line == "```score") {
                const std::string relative = std::filesystem::relative(path, root).string();
                std::string name = relative + "_line_" + std::to_string(number);
                std::replace_if(
                    name.begin(), name.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)) == 0; },
                    '_');
                examples.push_back({name, relative, number, line.substr(3), ""});
                open = &examples.back();
            }
        }
    }
    return examples;
}

class DocsScriptsTest : public testsupport::DesktopTest, public ::testing::WithParamInterface<Example> {};

TEST_P(DocsScriptsTest, RunsAsWritten) {
    const Example& example = GetParam();
    std::string script = example.text;
    if (example.kind == "score") {
        std::ofstream(TempFolder() / "example.score") << example.text;
        script = "new " + (TempFolder() / "example.score").string() + "\n";
    }
    const auto result = testsupport::RunHostsimWith(script, TempFolder(), "", ORVEX_SOURCE_DIR);
    EXPECT_EQ(result.exitCode, 0) << example.file << ":" << example.line << "\n" << result.err;
    EXPECT_EQ(result.err, "") << example.file << ":" << example.line;
}

TEST(DocsScripts, TheReadmeHasARunnableExample) {
    const auto examples = Examples();
    EXPECT_TRUE(std::any_of(examples.begin(), examples.end(),
                            [](const Example& e) { return e.file == "README.md" && e.kind == "hostsim"; }));
    EXPECT_TRUE(std::any_of(examples.begin(), examples.end(), [](const Example& e) { return e.kind == "score"; }));
}

// The demo prints, line by line, the transcript examples/demo.transcript holds: every document
// dump, message and form in it was read against the music, so a command whose result changes
// shows here with the line that changed.
TEST(DocsScripts, TheDemoPrintsItsTranscript) {
    const std::filesystem::path root(ORVEX_SOURCE_DIR);
    const auto folder = std::filesystem::temp_directory_path() / ("orvex-demo-" + std::to_string(::getpid()));
    // Run from a folder of its own that looks like the project's to the demo: its score texts,
    // and a build/ for the file it exports.
    std::filesystem::create_directories(folder / "build");
    std::filesystem::create_directory_symlink(root / "examples", folder / "examples");
    const auto result =
        testsupport::RunHostsimWith(testsupport::FileText(root / "examples" / "demo.script"), folder, "", folder);
    std::filesystem::remove_all(folder);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    std::ifstream expected(root / "examples" / "demo.transcript");
    size_t number = 0;
    for (std::string line; std::getline(expected, line); ++number) {
        ASSERT_LT(number, result.out.size()) << "the demo ends before line " << number + 1 << ": " << line;
        ASSERT_EQ(result.out[number], line) << "examples/demo.transcript:" << number + 1;
    }
    EXPECT_EQ(number, result.out.size()) << "the demo prints more than examples/demo.transcript holds";
}

/// A call of one of the project's scripts that answers at once, before building anything.
struct ScriptCall {
    const char* command;  ///< relative to the project's folder
    int status;
    const char* first;  ///< the first line of standard output (status 0) or of standard error
};

/// Runs a shell command in a folder holding a copy of the project's scripts and nothing else to
/// build, so that a script that does not answer at once fails at its first step instead of
/// building: its exit status and its two outputs.
testsupport::HostsimResult Shell(const std::string& command, const std::filesystem::path& folder) {
    const auto out = folder / "out.txt";
    const auto err = folder / "err.txt";
    if (!std::filesystem::exists(folder / "scripts")) {
        std::filesystem::copy(std::filesystem::path(ORVEX_SOURCE_DIR) / "scripts", folder / "scripts");
    }
    const int status = std::system(
        ("cd '" + folder.string() + "' && " + command + " >'" + out.string() + "' 2>'" + err.string() + "'").c_str());
    testsupport::HostsimResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(out);
    for (std::string line; std::getline(in, line);) {
        result.out.push_back(line);
    }
    result.err = testsupport::FileText(err);
    return result;
}

class ProjectScriptTest : public testsupport::DesktopTest, public ::testing::WithParamInterface<ScriptCall> {};

TEST_P(ProjectScriptTest, AnswersAtOnce) {
    const auto result = Shell(GetParam().command, TempFolder());
    EXPECT_EQ(result.exitCode, GetParam().status) << result.err;
    const std::string first = GetParam().status == 0 ? (result.out.empty() ? "" : result.out.front())
                                                     : result.err.substr(0, result.err.find('\n'));
    EXPECT_EQ(first, GetParam().first);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Calls, ProjectScriptTest, ::testing::Values(
    ScriptCall{"scripts/run-demo --help", 0, "usage: scripts/run-demo"},
    ScriptCall{"scripts/run-tests -h", 0, "usage: scripts/run-tests"},
    ScriptCall{"scripts/run-sweep --help", 0, "usage: scripts/run-sweep [OPTION]..."},
    ScriptCall{"scripts/run-bench --help", 0, "usage: scripts/run-bench [OPTION]..."},
    ScriptCall{"scripts/run-fuzz --help", 0, "usage: scripts/run-fuzz [SECONDS] [TARGET]..."},
    ScriptCall{"scripts/run-fuzz 10 nope", 2, "scripts/run-fuzz: not a number of seconds nor a fuzz target: nope"},
    ScriptCall{"scripts/run-fuzz 0", 2, "scripts/run-fuzz: SECONDS is a whole number from 1, not 0"},
    ScriptCall{"scripts/run-sweep --sample x", 2, "scripts/run-sweep: --sample takes a whole number, not \"x\""},
    ScriptCall{"scripts/run-bench --sizes 40", 2, "scripts/run-bench: --sizes takes sizes STAVESxMEASURES separated by "
               "commas (40x50,40x100), not \"40\""},
    ScriptCall{"scripts/run-tests now", 2, "scripts/run-tests: no arguments are taken: now"},
    ScriptCall{"JOBS=many scripts/run-demo", 2, "scripts/run-demo: JOBS is the number of files compiled at once, not "
               "\"many\""}),
    [](const ::testing::TestParamInfo<ScriptCall>& testCase) { return testsupport::CaseName(testCase.param.command); });
// clang-format on

class RunTestsVerdictTest : public testsupport::DesktopTest {};

TEST_F(RunTestsVerdictTest, IsOneLineOfTheTestsAndTheFuzzTargets) {
    const auto log = TempFolder() / "ctest.log";
    const auto verdict = [&](const std::string& count, int tests, int fuzz) {
        std::ofstream(log) << "...\n" << count << "\n\nTotal Test time (real) = 1.00 sec\n";
        const auto result = Shell("bash -c 'source scripts/common.sh && run_tests_verdict " + std::to_string(tests) +
                                      " " + log.string() + " " + std::to_string(fuzz) + "'",
                                  TempFolder());
        return result.out.empty() ? result.err : result.out.front();
    };
    EXPECT_EQ(verdict("100% tests passed, 0 tests failed out of 2370", 0, 0),
              "run-tests: tests passed (2370 of 2370); fuzz targets clean");
    EXPECT_EQ(
        verdict("99% tests passed, 3 tests failed out of 2370", 1, 0),
        "run-tests: tests FAILED (3 of 2370: their output is above and in " + log.string() + "); fuzz targets clean");
    EXPECT_EQ(verdict("", 1, 1), "run-tests: tests FAILED (ctest did not finish: see " + log.string() +
                                     "); fuzz targets NOT clean (see build-fuzz/artifacts/)");
}

INSTANTIATE_TEST_SUITE_P(Docs, DocsScriptsTest, ::testing::ValuesIn(Examples()),
                         [](const ::testing::TestParamInfo<Example>& testCase) { return testCase.param.name; });

}  // namespace
