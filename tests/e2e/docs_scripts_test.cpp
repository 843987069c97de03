// The examples of README.md and docs/ run as written: every block marked ```hostsim runs through
// hostsim from the project's folder without an error, and every block marked ```score is a score
// text the host makes a document of.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "tests/support/fixture.h"

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

TEST(DocsScripts, TheDemoRunsCleanAndTwoRunsPrintTheSame) {
    const auto folder = std::filesystem::temp_directory_path() / ("orvex-demo-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::ifstream in(std::filesystem::path(ORVEX_SOURCE_DIR) / "examples" / "demo.script");
    std::ostringstream script;
    script << in.rdbuf();
    const auto first = testsupport::RunHostsimWith(script.str(), folder, "", ORVEX_SOURCE_DIR);
    const auto second = testsupport::RunHostsimWith(script.str(), folder, "", ORVEX_SOURCE_DIR);
    std::filesystem::remove_all(folder);
    EXPECT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.err, "");
    EXPECT_GT(first.out.size(), 500u);
    EXPECT_EQ(first.out, second.out);
}

INSTANTIATE_TEST_SUITE_P(Docs, DocsScriptsTest, ::testing::ValuesIn(Examples()),
                         [](const ::testing::TestParamInfo<Example>& testCase) { return testCase.param.name; });

}  // namespace
