// The message tables and the filling of their places: every row of the free-text table and of
// the access layer's table is in its enum's place, every call that fills a row's places passes
// as many arguments as the row has places, no progress text is written at its call, and the
// formatter keeps a missing place, an argument's own "%1" and non-ASCII names as they are.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "core/free_texts.h"
#include "core/host/host_texts.h"
#include "core/host/text_format.h"

namespace {

using namespace orvex;
namespace fs = std::filesystem;

// ---- The formatter ----

TEST(FormatTextTest, FillsNumberedPlacesInAnyOrder) {
    EXPECT_EQ(FormatText("Measure %1 of %2", {"3", "8"}), "Measure 3 of 8");
    EXPECT_EQ(FormatText("%2 before %1, %1 again", {"a", "b"}), "b before a, a again");
    EXPECT_EQ(FormatText("no places", {"x"}), "no places");
    EXPECT_EQ(FormatText("", {"x"}), "");
    EXPECT_EQ(FormatText("%9", {"1", "2", "3", "4", "5", "6", "7", "8", "nine"}), "nine");
}

TEST(FormatTextTest, APlaceWithoutItsArgumentStaysAsWritten) {
    EXPECT_EQ(FormatText("%1 and %2 and %3", {"one"}), "one and %2 and %3");
    EXPECT_EQ(FormatText("%1", {}), "%1");
}

TEST(FormatTextTest, OnlyPercentFollowedByOneToNineIsAPlace) {
    EXPECT_EQ(FormatText("100% sure, %0 and %a, ends in %", {"x"}), "100% sure, %0 and %a, ends in %");
    EXPECT_EQ(FormatText("%%1", {"x"}), "%x");
    EXPECT_EQ(FormatText("%10", {"x"}), "x0");
}

TEST(FormatTextTest, AnArgumentGoesInAsItIs) {
    // An argument holding place syntax is not filled again.
    EXPECT_EQ(FormatText("File %1 and %2", {"50%2.MUS", "%1"}), "File 50%2.MUS and %1");
    EXPECT_EQ(FormatText("[%1]", {""}), "[]");
}

TEST(FormatTextTest, NonAsciiTextsAndArgumentsKeepTheirBytes) {
    EXPECT_EQ(FormatText("Instrument %1", {"Fagött – Größe"}), "Instrument Fagött – Größe");
    EXPECT_EQ(FormatText("Takt %1 für %2", {"4", "Bäß"}), "Takt 4 für Bäß");
}

TEST(FormatTextTest, FillsBothLanguagesWithTheSameArguments) {
    const FilledText filled = FormatTexts(HostTextOf(HostText::RecordDamaged), {"'otDY' (3, 0)", "6", "12"});
    EXPECT_EQ(filled.english,
              "The record 'otDY' (3, 0) of the document is damaged: it holds 6 bytes where 12 are expected.");
    EXPECT_EQ(filled.german, "Der Datensatz 'otDY' (3, 0) des Dokuments ist beschädigt: er enthält 6 Bytes statt 12.");
}

// ---- The tables ----

std::string ReadSource(const std::string& relative) {
    std::ifstream in(fs::path(ORVEX_SOURCE_DIR) / relative);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

/// The enumerators of `enum class name` in a header, in their order, without the closing Count.
std::vector<std::string> Enumerators(const std::string& header, const std::string& name) {
    const std::string text = ReadSource(header);
    const size_t start = text.find("enum class " + name);
    const size_t open = text.find('{', start);
    const size_t close = text.find("};", open);
    std::vector<std::string> names;
    const std::string body = text.substr(open + 1, close - open - 1);
    const std::regex enumerator(R"(^\s*(\w+),)", std::regex::multiline);
    for (auto it = std::sregex_iterator(body.begin(), body.end(), enumerator); it != std::sregex_iterator(); ++it) {
        names.push_back((*it)[1]);
    }
    return names;
}

/// The names written before the rows of a table source ("/* Name */ {...}"), in their order.
std::vector<std::string> RowNames(const std::string& table) {
    const std::string text = ReadSource(table);
    std::vector<std::string> names;
    const std::regex row(R"(/\* (\w+) \*/ \{)");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), row); it != std::sregex_iterator(); ++it) {
        names.push_back((*it)[1]);
    }
    return names;
}

/// The highest place ("%1" to "%9") of a text; 0 for none.
int HighestPlace(std::string_view text) {
    int highest = 0;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '%' && text[i + 1] >= '1' && text[i + 1] <= '9') {
            highest = std::max(highest, text[i + 1] - '0');
        }
    }
    return highest;
}

template <size_t N>
void ExpectRowsInEnumOrder(const std::array<BilingualText, N>& table, const std::string& header,
                           const std::string& source, const std::string& name) {
    const std::vector<std::string> enumerators = Enumerators(header, name);
    ASSERT_EQ(enumerators.size(), N);
    EXPECT_EQ(RowNames(source), enumerators);
    for (size_t i = 0; i < N; ++i) {
        EXPECT_FALSE(table[i].english.empty()) << enumerators[i];
        // A German text names what the English one names.
        EXPECT_LE(HighestPlace(table[i].german), HighestPlace(table[i].english)) << enumerators[i];
    }
}

TEST(MessageTablesTest, EveryRowIsInItsEnumeratorsPlaceWithAnEnglishText) {
    ExpectRowsInEnumOrder(kFreeTextTable, "core/free_texts.h", "core/free_texts_table.cpp", "FreeText");
    ExpectRowsInEnumOrder(kHostTextTable, "core/host/host_texts.h", "core/host/host_texts_table.cpp", "HostText");
}

/// The number of arguments in the braces that start at `open` (top-level commas + 1; 0 for {}).
int ArgumentCount(const std::string& text, size_t open) {
    int depth = 0;
    int commas = 0;
    bool any = false;
    bool quoted = false;
    for (size_t i = open; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                quoted = false;
            }
            continue;
        }
        if (c == '"') {
            quoted = true;
        } else if (c == '(' || c == '{' || c == '[') {
            ++depth;
        } else if (c == ')' || c == '}' || c == ']') {
            if (--depth == 0) {
                return any ? commas + 1 : 0;
            }
        } else if (c == ',' && depth == 1) {
            ++commas;
        }
        if (depth >= 1 && i > open && c != ' ' && c != '\n') {
            any = true;
        }
    }
    return -1;
}

struct FilledCall {
    std::string file;
    std::string row;
    int arguments;
};

/// Every call in the sources that fills a row's places: "Enum::Row, {...}" or
/// "Enum::Row).english, {...}".
std::vector<FilledCall> FilledCalls(const std::string& enumName) {
    std::vector<FilledCall> calls;
    const std::regex call(enumName + R"(::(\w+)(\)\.english)?,\s*\{)");
    for (const char* top : {"core", "forms", "expressions", "tools"}) {
        for (const auto& entry : fs::recursive_directory_iterator(fs::path(ORVEX_SOURCE_DIR) / top)) {
            if (!entry.is_regular_file() || entry.path().extension() != ".cpp") {
                continue;
            }
            const std::string file = fs::relative(entry.path(), ORVEX_SOURCE_DIR).generic_string();
            const std::string text = ReadSource(file);
            for (auto it = std::sregex_iterator(text.begin(), text.end(), call); it != std::sregex_iterator(); ++it) {
                const size_t open = static_cast<size_t>(it->position(0) + it->length(0) - 1);
                calls.push_back({file, (*it)[1], ArgumentCount(text, open)});
            }
        }
    }
    return calls;
}

template <size_t N>
void ExpectCallsFillEveryPlace(const std::array<BilingualText, N>& table, const std::string& header,
                               const std::string& enumName, size_t least) {
    const std::vector<std::string> enumerators = Enumerators(header, enumName);
    std::map<std::string, size_t> index;
    for (size_t i = 0; i < enumerators.size(); ++i) {
        index[enumerators[i]] = i;
    }
    const std::vector<FilledCall> calls = FilledCalls(enumName);
    EXPECT_GE(calls.size(), least);
    for (const FilledCall& filled : calls) {
        ASSERT_TRUE(index.contains(filled.row)) << filled.file << ": " << filled.row;
        const BilingualText& texts = table[index[filled.row]];
        EXPECT_EQ(filled.arguments, HighestPlace(texts.english)) << filled.file << ": " << filled.row;
        // Filled with as many arguments as the row has places, no place is left in either language.
        ASSERT_LE(filled.arguments, 4) << filled.row;
        const auto fill = [&](std::string_view text) {
            switch (filled.arguments) {
                case 0:
                    return FormatText(text, {});
                case 1:
                    return FormatText(text, {"<1>"});
                case 2:
                    return FormatText(text, {"<1>", "<2>"});
                case 3:
                    return FormatText(text, {"<1>", "<2>", "<3>"});
                default:
                    return FormatText(text, {"<1>", "<2>", "<3>", "<4>"});
            }
        };
        EXPECT_EQ(HighestPlace(fill(texts.english)), 0) << filled.row;
        EXPECT_EQ(HighestPlace(fill(texts.german)), 0) << filled.row;
    }
}

TEST(MessageTablesTest, EveryCallFillsTheRowsPlacesWithItsArguments) {
    ExpectCallsFillEveryPlace(kFreeTextTable, "core/free_texts.h", "FreeText", 20);
    ExpectCallsFillEveryPlace(kHostTextTable, "core/host/host_texts.h", "HostText", 2);
}

TEST(MessageTablesTest, NoProgressTextIsWrittenAtItsCall) {
    const std::regex written(R"(SetProgressText\([^;]*?,\s*")");
    for (const char* top : {"core", "forms", "expressions", "tools"}) {
        for (const auto& entry : fs::recursive_directory_iterator(fs::path(ORVEX_SOURCE_DIR) / top)) {
            if (entry.is_regular_file() && entry.path().extension() == ".cpp") {
                const std::string file = fs::relative(entry.path(), ORVEX_SOURCE_DIR).generic_string();
                EXPECT_FALSE(std::regex_search(ReadSource(file), written)) << file;
            }
        }
    }
}

}  // namespace
