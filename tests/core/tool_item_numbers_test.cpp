// Tool items and command codes are named: the sources compare items with `ToolItem` values
// (core/tool_items.h) and run commands by the named codes there, never by their numbers. A new
// `item == 20`, `ITEM_... = 20` or `RunCommand(window, 117, ...)` fails here with the file and
// the line named.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

/// The folders whose sources name tool items.
const std::vector<std::string> kFolders = {"core", "forms", "expressions", "tools"};

/// A comparison of an item with a number (`item == 5`, `context.Item != 20`, `m_item == 50`;
/// also `furtherItem == 3`, though 0 stays allowed there: it says "no item"), a private item
/// constant with its number, or a command code written as a number.
const std::regex kItemNumber(R"((\b(item|Item|m_item)\s*[!=]=\s*[0-9]+\b)|)"
                             R"((\b\w*Item(\(\))?\s*[!=]=\s*[1-9][0-9]*\b)|)"
                             R"((\bITEM_\w+\s*=\s*[0-9]+)|)"
                             R"((\bcode\s*[!=]=\s*[1-9][0-9]{2}\b)|)"
                             R"((\bRunCommand\([^,]+,\s*[0-9]+\s*,))");

/// The code part of a line: what stands before a line comment.
std::string CodeOf(const std::string& line) {
    const size_t comment = line.find("//");
    return comment == std::string::npos ? line : line.substr(0, comment);
}

bool NamesItemByNumber(const std::string& line) {
    const std::string code = CodeOf(line);
    // The expression is slow: only lines that can match are searched.
    const bool candidate = code.find("tem") != std::string::npos || code.find("ITEM_") != std::string::npos ||
                           code.find("code") != std::string::npos || code.find("RunCommand") != std::string::npos;
    return candidate && std::regex_search(code, kItemNumber);
}

TEST(ToolItemNumbers, TheMatcherFindsNumberedItemsAndCodes) {
    EXPECT_TRUE(NamesItemByNumber("    if (item == 69) {"));
    EXPECT_TRUE(NamesItemByNumber("    reached = context.Item == 20;"));
    EXPECT_TRUE(NamesItemByNumber("    if (m_item != 50) {"));
    EXPECT_TRUE(NamesItemByNumber("    if (dialog.Item() == 40) {"));
    EXPECT_TRUE(NamesItemByNumber("constexpr int32_t ITEM_FIND = 32;"));
    EXPECT_TRUE(NamesItemByNumber("    if ((code == 151 || code == 152) && HostYear >= 2001) {"));
    EXPECT_TRUE(NamesItemByNumber("    RunCommand(HostWindow, 117, 0, true, false, nullptr);"));
    EXPECT_FALSE(NamesItemByNumber("    if (IsItem(item, ToolItem::Find)) {"));
    EXPECT_FALSE(NamesItemByNumber("    if (furtherItem != 0) {"));
    EXPECT_FALSE(NamesItemByNumber("    if (code < 100) {"));
    EXPECT_FALSE(NamesItemByNumber("    RunCommand(HostWindow, kShiftLyricsCode, 0, true, false, nullptr);"));
    EXPECT_FALSE(NamesItemByNumber("    // item == 5 in a comment"));
}

TEST(ToolItemNumbers, NoSourceNamesAnItemOrACodeByItsNumber) {
    const fs::path root(ORVEX_SOURCE_DIR);
    std::vector<std::string> found;
    for (const std::string& folder : kFolders) {
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            const std::string extension = entry.path().extension().string();
            if (!entry.is_regular_file() || (extension != ".cpp" && extension != ".h")) {
                continue;
            }
            std::ifstream in(entry.path());
            std::string line;
            for (int number = 1; std::getline(in, line); ++number) {
                if (NamesItemByNumber(line)) {
                    found.push_back(fs::relative(entry.path(), root).generic_string() + ":" + std::to_string(number) +
                                    ": " + line);
                }
            }
        }
    }
    std::string report;
    for (const std::string& line : found) {
        report += line + "\n";
    }
    EXPECT_TRUE(found.empty()) << "name these items and codes (core/tool_items.h):\n" << report;
}

}  // namespace
