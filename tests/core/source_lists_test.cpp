// The build lists its sources by name: every source file of a library or program folder is in
// the list of its CMakeLists.txt, so that a file added without its line fails here rather than
// being left out of the build.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

/// True when `lists` names the file as a word of its own (after a blank, "(" or "/").
bool Lists(const std::string& lists, const std::string& file) {
    const std::string escaped = std::regex_replace(file, std::regex(R"([.])"), R"(\.)");
    return std::regex_search(lists, std::regex("(^|[\\s(/])" + escaped + "($|[\\s)])"));
}

struct SourceFolder {
    const char* folder;  ///< the folder of the CMakeLists.txt
    const char* name;    ///< for the case's name
};

class SourceListsTest : public ::testing::TestWithParam<SourceFolder> {};

TEST_P(SourceListsTest, EverySourceFileIsListed) {
    const fs::path root = fs::path(ORVEX_SOURCE_DIR) / GetParam().folder;
    const std::string lists = ReadFile(root / "CMakeLists.txt");
    ASSERT_FALSE(lists.empty());
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file() || entry.path().extension() != ".cpp") {
            continue;
        }
        ++files;
        const std::string name = fs::relative(entry.path(), root).generic_string();
        // Orvex188's export file is listed with the module, in tools/CMakeLists.txt.
        const bool listed =
            Lists(lists, name) || Lists(ReadFile(fs::path(ORVEX_SOURCE_DIR) / "tools" / "CMakeLists.txt"),
                                        std::string(GetParam().folder) + "/" + name);
        EXPECT_TRUE(listed) << GetParam().folder << "/" << name << " is not in its CMakeLists.txt";
    }
    EXPECT_GT(files, 0);
}

INSTANTIATE_TEST_SUITE_P(Folders, SourceListsTest,
                         ::testing::Values(SourceFolder{"platform/win", "PlatformWin"},
                                           SourceFolder{"platform/vcl", "PlatformVcl"},
                                           SourceFolder{"platform/host", "PlatformHost"}, SourceFolder{"core", "Core"},
                                           SourceFolder{"forms", "Forms"}, SourceFolder{"expressions", "Expressions"},
                                           SourceFolder{"tools", "Tools"}, SourceFolder{"service", "Service"},
                                           SourceFolder{"apps/hostsim", "Hostsim"},
                                           SourceFolder{"apps/commandref", "Commandref"}),
                         [](const ::testing::TestParamInfo<SourceFolder>& testCase) { return testCase.param.name; });

}  // namespace
