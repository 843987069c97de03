// Tool items, command codes and option rows are named: the sources compare items with
// `ToolItem` values (core/tool_items.h), run commands by the named codes there and read a tool's
// option rows by the names its code gives them, never by their numbers. A new `item == 20`,
// `ITEM_... = 20`, `RunCommand(window, 117, ...)`, `context.Options[3]` or `Row(context, 4)`
// fails here with the file and the line named; so does a test that sets or checks a row by its
// number.
#include <gtest/gtest.h>

#include <cctype>
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

/// An option row read or written by its number: an element of an option array (`Options[3]`,
/// `MoreOptions[0]`, `ToolOptionsA[4]`, or a local array of rows such as `more[2].value`), or a
/// row helper called with a number (`Row(context, 4)`, `option(3)`).
const std::regex kRowNumber(R"((\b\w*Options[AB]?\[[0-9]+\])|)"
                            R"((\b(more|rows|parts|values|options)\[[0-9]+\]\.(value|text))|)"
                            R"((\b(Row|Option|On|OptionValue|MoreOption|More|row|option|value|box|Flag)\()"
                            R"(([\w.>*-]+,\s*)?[0-9]+\)))");

bool ReadsRowByNumber(const std::string& line) {
    const std::string code = CodeOf(line);
    // Only lines with a number closing a bracket or a call can match.
    bool candidate = false;
    for (size_t i = 0; i + 1 < code.size() && !candidate; ++i) {
        candidate =
            std::isdigit(static_cast<unsigned char>(code[i])) != 0 && (code[i + 1] == ']' || code[i + 1] == ')');
    }
    return candidate && std::regex_search(code, kRowNumber);
}

/// A test that sets or checks an option row by its number: besides what ReadsRowByNumber finds,
/// a tool's rows handed to a test helper as numbered pairs (`Tool(ToolItem::FitMeasures, {{3, 2}})`,
/// `Rows({{1, 0}})`) or as a list of numbers (`SetRows({0, 3})`).
const std::regex kTestRowNumber(R"((\bTool\(\s*(orvex::)?ToolItem::\w+,\s*\{\{[0-9]+,)|)"
                                R"((\b(Rows|SetRows)\(\{\{?[0-9]+[,}]))");

bool TestSetsRowByNumber(const std::string& line) {
    return ReadsRowByNumber(line) || std::regex_search(CodeOf(line), kTestRowNumber);
}

/// This file, whose matcher cases are numbered rows on purpose.
const char* const kThisFile = "tests/core/tool_item_numbers_test.cpp";

/// Every line of the sources of `folders` for which `matches` holds, as "file:line: text".
template <typename Matcher>
std::string SourceLinesMatching(Matcher matches, const std::vector<std::string>& folders = kFolders) {
    const fs::path root(ORVEX_SOURCE_DIR);
    std::string found;
    for (const std::string& folder : folders) {
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            const std::string extension = entry.path().extension().string();
            if (!entry.is_regular_file() || (extension != ".cpp" && extension != ".h") ||
                fs::relative(entry.path(), root).generic_string() == kThisFile) {
                continue;
            }
            std::ifstream in(entry.path());
            std::string line;
            for (int number = 1; std::getline(in, line); ++number) {
                if (matches(line)) {
                    found += fs::relative(entry.path(), root).generic_string() + ":" + std::to_string(number) + ": " +
                             line + "\n";
                }
            }
        }
    }
    return found;
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
    const std::string found = SourceLinesMatching(NamesItemByNumber);
    EXPECT_TRUE(found.empty()) << "name these items and codes (core/tool_items.h):\n" << found;
}

TEST(ToolItemNumbers, TheMatcherFindsRowsReadByNumber) {
    EXPECT_TRUE(ReadsRowByNumber("    const bool reverse = context.Options[2].value != 0;"));
    EXPECT_TRUE(ReadsRowByNumber("    if (context.MoreOptions[1].value != 0) {"));
    EXPECT_TRUE(ReadsRowByNumber("    TheModule.process.ToolOptionsA[4].value = amount;"));
    EXPECT_TRUE(ReadsRowByNumber("    options.preferredLayer = more[2].value;"));
    EXPECT_TRUE(ReadsRowByNumber("        if (Row(m_context, 3) != 0) {"));
    EXPECT_TRUE(ReadsRowByNumber("    keep = keep && On(align, 0);"));
    EXPECT_TRUE(ReadsRowByNumber("    options.glissandi = box(0);"));
    EXPECT_FALSE(ReadsRowByNumber("    const bool reverse = context.Options[CHARSET_REVERSE].value != 0;"));
    EXPECT_FALSE(ReadsRowByNumber("        if (Row(m_context, RESTS_ABSORB) != 0) {"));
    EXPECT_FALSE(ReadsRowByNumber("    values[static_cast<size_t>(item)] = value;"));
    EXPECT_FALSE(ReadsRowByNumber("    // context.Options[2] in a comment"));
}

TEST(ToolItemNumbers, NoSourceReadsAnOptionRowByItsNumber) {
    const std::string found = SourceLinesMatching(ReadsRowByNumber);
    EXPECT_TRUE(found.empty()) << "name these option rows (an enum next to the tool's code):\n" << found;
}

TEST(ToolItemNumbers, TheTestMatcherFindsRowsSetByNumber) {
    EXPECT_TRUE(TestSetsRowByNumber("    context->Options[3].value = 1;"));
    EXPECT_TRUE(TestSetsRowByNumber("    auto context = Tool(ToolItem::FitMeasures, {{3, 2}, {4, 0}}, 38);"));
    EXPECT_TRUE(TestSetsRowByNumber("    RunTool(kSlurs, Rows({{1, 1}}));"));
    EXPECT_TRUE(TestSetsRowByNumber("    SetRows({0, 3});"));
    EXPECT_FALSE(TestSetsRowByNumber("    auto context = Tool(ToolItem::FitMeasures, {{FIT_SYSTEM_COUNT, 2}}, 38);"));
    EXPECT_FALSE(TestSetsRowByNumber("    RunTool(kSlurs, Rows({{orvex::SLURS_RECALCULATE, 1}}));"));
    EXPECT_FALSE(TestSetsRowByNumber("    SetRows({orvex::TRANSFER_READ, orvex::TRANSFER_BEAT_CHARTS});"));
    EXPECT_FALSE(TestSetsRowByNumber("    Queue(Kind::Set, \"Row0\", \"99\");"));
}

TEST(ToolItemNumbers, NoTestSetsAnOptionRowByItsNumber) {
    const std::string found = SourceLinesMatching(TestSetsRowByNumber, {"tests"});
    EXPECT_TRUE(found.empty()) << "name these option rows by the tool's row enum:\n" << found;
}

}  // namespace
