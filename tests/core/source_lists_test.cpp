// The build lists its sources by name: every source file of the tree (libraries, programs, tests,
// the benchmark) is named in a CMakeLists.txt of its folder or of a folder above it, so that a file
// added without its line fails here rather than being left out of the build.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
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

/// The CMakeLists.txt of every folder of the tree, by folder (from the root, "" for the root).
std::map<std::string, std::string> BuildLists() {
    const fs::path root(ORVEX_SOURCE_DIR);
    std::map<std::string, std::string> lists;
    lists[""] = ReadFile(root / "CMakeLists.txt");
    for (auto entry = fs::recursive_directory_iterator(root); entry != fs::recursive_directory_iterator(); ++entry) {
        const std::string name = entry->path().filename().string();
        if (entry->is_directory() && (name.starts_with(".") || name.starts_with("build"))) {
            entry.disable_recursion_pending();
        } else if (entry->is_regular_file() && name == "CMakeLists.txt" && entry->path().parent_path() != root) {
            lists[fs::relative(entry->path().parent_path(), root).generic_string()] = ReadFile(entry->path());
        }
    }
    return lists;
}

/// Whether a source file (its path from the root) is named by a build list: by its path from the
/// folder of a CMakeLists.txt above it, by its path from the root after ${CMAKE_SOURCE_DIR} in
/// any list (Orvex188's export file, listed with the module), or, for a fuzz target's source
/// NAME_fuzz.cpp, by its target's NAME in the fuzz targets' list.
bool IsListed(const std::map<std::string, std::string>& lists, const std::string& file) {
    for (const auto& [folder, text] : lists) {
        if (folder.empty() ? Lists(text, file)
                           : file.starts_with(folder + "/") && Lists(text, file.substr(folder.size() + 1))) {
            return true;
        }
        if (text.find("${CMAKE_SOURCE_DIR}/" + file) != std::string::npos) {
            return true;
        }
    }
    const std::string fuzzFolder = "tests/fuzz/";
    const std::string fuzzSuffix = "_fuzz.cpp";
    if (file.starts_with(fuzzFolder) && file.ends_with(fuzzSuffix) &&
        file.find('/', fuzzFolder.size()) == std::string::npos) {
        const std::string target = file.substr(fuzzFolder.size(), file.size() - fuzzFolder.size() - fuzzSuffix.size());
        return std::regex_search(lists.at("tests/fuzz"), std::regex("orvex_fuzz_target\\(" + target + "\\s"));
    }
    return false;
}

/// The top-level folders that hold sources, each a case.
const char* const kTopFolders[] = {"apps",     "bench",   "core",  "expressions", "forms",
                                   "platform", "service", "tests", "tools"};

class SourceListsTest : public ::testing::TestWithParam<const char*> {};

TEST_P(SourceListsTest, EverySourceFileIsListed) {
    const fs::path root(ORVEX_SOURCE_DIR);
    const auto lists = BuildLists();
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root / GetParam())) {
        if (!entry.is_regular_file() || entry.path().extension() != ".cpp") {
            continue;
        }
        ++files;
        const std::string file = fs::relative(entry.path(), root).generic_string();
        EXPECT_TRUE(IsListed(lists, file)) << file << " is in no CMakeLists.txt";
    }
    EXPECT_GT(files, 0);
}

INSTANTIATE_TEST_SUITE_P(Folders, SourceListsTest, ::testing::ValuesIn(kTopFolders),
                         [](const ::testing::TestParamInfo<const char*>& testCase) {
                             std::string name = testCase.param;
                             name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
                             return name;
                         });

// No source file stands outside the folders above, where the cases look.
TEST(SourceListsTest, EveryFolderWithSourcesIsLookedAt) {
    const fs::path root(ORVEX_SOURCE_DIR);
    const std::set<std::string> known(std::begin(kTopFolders), std::end(kTopFolders));
    for (auto entry = fs::recursive_directory_iterator(root); entry != fs::recursive_directory_iterator(); ++entry) {
        const std::string name = entry->path().filename().string();
        if (entry->is_directory() && (name.starts_with(".") || name.starts_with("build"))) {
            entry.disable_recursion_pending();
            continue;
        }
        if (entry->is_regular_file() && entry->path().extension() == ".cpp") {
            const std::string top = *fs::relative(entry->path(), root).begin();
            EXPECT_TRUE(known.contains(top)) << fs::relative(entry->path(), root).generic_string()
                                             << " is in a folder the source list check does not look at";
        }
    }
}

}  // namespace
