// The project's sources stay readable in units: no source file over 1,000 lines and no function
// over 150 lines. A file or a function that grows past its limit fails here with its name and
// size, so that it is split along its steps before it lands.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr size_t kMaxFileLines = 1000;
constexpr size_t kMaxFunctionLines = 150;

/// The folders of the project's own C++ sources, below the source folder.
constexpr const char* kSourceFolders[] = {"apps",     "bench",   "core",  "expressions", "forms",
                                          "platform", "service", "tools", "tests"};

struct Function {
    std::string name;
    size_t firstLine = 0;  ///< the line of the function's name
    size_t lastLine = 0;   ///< the line of its closing brace
    size_t Lines() const { return lastLine - firstLine + 1; }
};

bool IsWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

/// The text with comments, string and character literals and preprocessor lines blanked out
/// (their characters become spaces, quotes stay), so that only code is left; line breaks stay
/// where they were.
std::string CodeOnly(const std::string& text) {
    std::string out = text;
    const size_t size = text.size();
    auto blank = [&](size_t from, size_t to) {
        for (size_t i = from; i < to && i < size; ++i) {
            if (out[i] != '\n') {
                out[i] = ' ';
            }
        }
    };
    bool lineStart = true;  // only spaces since the last line break
    bool numberToken = false;
    size_t i = 0;
    while (i < size) {
        const char c = text[i];
        if (lineStart && c == '#') {  // a preprocessor line, with its continuations
            size_t end = i;
            while (end < size && !(text[end] == '\n' && text[end - 1] != '\\')) {
                ++end;
            }
            blank(i, end);
            i = end;
            continue;
        }
        if (c == '/' && i + 1 < size && text[i + 1] == '/') {
            const size_t end = std::min(text.find('\n', i), size);
            blank(i, end);
            i = end;
            continue;
        }
        if (c == '/' && i + 1 < size && text[i + 1] == '*') {
            const size_t close = text.find("*/", i + 2);
            const size_t end = close == std::string::npos ? size : close + 2;
            blank(i, end);
            i = end;
            continue;
        }
        if (c == '"' && i > 0 && text[i - 1] == 'R' &&
            (i < 2 || !IsWordChar(text[i - 2]) || text[i - 2] == '8' || text[i - 2] == 'u' || text[i - 2] == 'U' ||
             text[i - 2] == 'L')) {
            const size_t open = text.find('(', i);
            const std::string close = ")" + text.substr(i + 1, open - i - 1) + "\"";
            const size_t found = text.find(close, open);
            const size_t end = found == std::string::npos ? size : found + close.size() - 1;
            blank(i + 1, end);
            i = end + 1;
            lineStart = false;
            continue;
        }
        if (c == '"' || (c == '\'' && !numberToken)) {
            size_t end = i + 1;
            while (end < size && text[end] != c && text[end] != '\n') {
                end += text[end] == '\\' ? 2 : 1;
            }
            blank(i + 1, end);
            i = end + 1;
            lineStart = false;
            numberToken = false;
            continue;
        }
        if (IsWordChar(c)) {
            if (i == 0 || (!IsWordChar(text[i - 1]) && text[i - 1] != '\'')) {
                numberToken = std::isdigit(static_cast<unsigned char>(c)) != 0;
            }
        } else if (c != '\'') {
            numberToken = false;
        }
        if (c == '\n') {
            lineStart = true;
        } else if (c != ' ' && c != '\t') {
            lineStart = false;
        }
        ++i;
    }
    return out;
}

/// What a brace at namespace or class scope opens, judged by the text before it.
enum class Block { Scope, Function, Data };

bool HasWord(const std::string& text, const std::string& word) {
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
        const bool before = at == 0 || !IsWordChar(text[at - 1]);
        const size_t after = at + word.size();
        if (before && (after >= text.size() || !IsWordChar(text[after]))) {
            return true;
        }
    }
    return false;
}

/// Whether the header has "): " outside parentheses: a constructor's member initialisers.
bool HasInitialisers(const std::string& header) {
    int depth = 0;
    bool closed = false;
    for (size_t i = 0; i < header.size(); ++i) {
        const char c = header[i];
        if (c == '(') {
            ++depth;
        } else if (c == ')') {
            --depth;
            closed = depth == 0;
        } else if (c == ':' && depth == 0 && closed) {
            const bool scope = (i + 1 < header.size() && header[i + 1] == ':') || (i > 0 && header[i - 1] == ':');
            if (!scope) {
                return true;
            }
        }
    }
    return false;
}

Block Classify(const std::string& header) {
    if (HasWord(header, "namespace") || (HasWord(header, "extern") && header.find('(') == std::string::npos)) {
        return Block::Scope;
    }
    int depth = 0;
    bool assigns = false;
    for (size_t i = 0; i < header.size(); ++i) {
        const char c = header[i];
        depth += c == '(' ? 1 : c == ')' ? -1 : 0;
        if (c == '=' && depth == 0) {
            const char before = i > 0 ? header[i - 1] : ' ';
            const char after = i + 1 < header.size() ? header[i + 1] : ' ';
            assigns = assigns || (before != '=' && before != '!' && before != '<' && before != '>' && after != '=');
        }
    }
    if (depth > 0) {
        return Block::Data;  // a brace inside a parenthesised expression
    }
    if (header.find(')') != std::string::npos && (!assigns || HasWord(header, "operator"))) {
        return Block::Function;
    }
    if (HasWord(header, "class") || HasWord(header, "struct") || HasWord(header, "union")) {
        return Block::Scope;
    }
    return Block::Data;
}

/// The name before the header's first parenthesis ("TStaffListManager::Build", "TEST_F").
std::string NameOf(const std::string& header, size_t& nameAt) {
    const size_t paren = header.find('(');
    size_t end = paren == std::string::npos ? header.size() : paren;
    while (end > 0 && std::isspace(static_cast<unsigned char>(header[end - 1]))) {
        --end;
    }
    size_t begin = end;
    while (begin > 0 && (IsWordChar(header[begin - 1]) || header[begin - 1] == ':' || header[begin - 1] == '~')) {
        --begin;
    }
    nameAt = begin;
    return header.substr(begin, end - begin);
}

/// Every function body at namespace or class scope of a C++ source text, with its lines.
std::vector<Function> Functions(const std::string& text) {
    const std::string code = CodeOnly(text);
    struct Frame {
        Block block;
        Function function;
        bool memberInitialiser = false;  ///< "m_x{0}" in a constructor's initialiser list
    };
    std::vector<Frame> frames;
    std::vector<Function> functions;
    std::string header;
    std::vector<size_t> headerLines;  // the line of each character of the header
    size_t line = 1;
    int innerDepth = 0;  // braces open inside a function or a data block
    for (const char c : code) {
        if (c == '\n') {
            ++line;
        }
        if (innerDepth > 0) {
            if (c == '{') {
                ++innerDepth;
            } else if (c == '}' && --innerDepth == 0) {
                Frame frame = frames.back();
                frames.pop_back();
                if (frame.block == Block::Function) {
                    frame.function.lastLine = line;
                    functions.push_back(frame.function);
                }
                if (frame.block == Block::Data) {
                    header += "{}";  // the statement goes on to its semicolon
                    headerLines.insert(headerLines.end(), 2, line);
                } else {
                    header.clear();
                    headerLines.clear();
                }
            }
            continue;
        }
        if (c == '{') {
            Frame frame{Classify(header), {}};
            size_t last = header.find_last_not_of(" \t\n");
            const bool endsInName = last != std::string::npos && (IsWordChar(header[last]) || header[last] == '>');
            const bool qualifier = HasWord(header.substr(header.find_last_of(" \t\n)") + 1), "const") ||
                                   header.ends_with("override") || header.ends_with("noexcept") ||
                                   header.ends_with("final") || header.ends_with("mutable");
            if (frame.block == Block::Function && HasInitialisers(header) && endsInName && !qualifier) {
                frame.block = Block::Data;
                frame.memberInitialiser = true;
            }
            if (frame.block == Block::Scope) {
                frames.push_back(frame);
                header.clear();
                headerLines.clear();
                continue;
            }
            if (frame.block == Block::Function) {
                size_t nameAt = 0;
                frame.function.name = NameOf(header, nameAt);
                frame.function.firstLine = nameAt < headerLines.size() ? headerLines[nameAt] : line;
            }
            frames.push_back(frame);
            innerDepth = 1;
            continue;
        }
        if (c == '}') {
            if (!frames.empty()) {
                frames.pop_back();
            }
            header.clear();
            headerLines.clear();
            continue;
        }
        if (c == ';') {
            header.clear();
            headerLines.clear();
            continue;
        }
        if (header.empty() && std::isspace(static_cast<unsigned char>(c))) {
            continue;
        }
        header += c;
        headerLines.push_back(line);
    }
    return functions;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

size_t LineCount(const std::string& text) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

/// The project's C++ sources, relative to the source folder, sorted.
std::vector<std::filesystem::path> Sources() {
    const std::filesystem::path root(ORVEX_SOURCE_DIR);
    std::vector<std::filesystem::path> files;
    for (const char* folder : kSourceFolders) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root / folder)) {
            const auto extension = entry.path().extension();
            if (entry.is_regular_file() && (extension == ".cpp" || extension == ".h")) {
                files.push_back(std::filesystem::relative(entry.path(), root));
            }
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(SourceSize, NoFileIsOverAThousandLines) {
    const auto files = Sources();
    ASSERT_GT(files.size(), 100u);
    std::string over;
    for (const auto& file : files) {
        const size_t lines = LineCount(ReadFile(std::filesystem::path(ORVEX_SOURCE_DIR) / file));
        if (lines > kMaxFileLines) {
            over += "\n  " + file.string() + ": " + std::to_string(lines) + " lines";
        }
    }
    EXPECT_EQ(over, "") << "split these files by topic (at most " << kMaxFileLines << " lines each)";
}

TEST(SourceSize, NoFunctionIsOverAHundredAndFiftyLines) {
    std::string over;
    size_t count = 0;
    for (const auto& file : Sources()) {
        for (const auto& function : Functions(ReadFile(std::filesystem::path(ORVEX_SOURCE_DIR) / file))) {
            ++count;
            if (function.Lines() > kMaxFunctionLines) {
                over += "\n  " + file.string() + ":" + std::to_string(function.firstLine) + " " + function.name + ": " +
                        std::to_string(function.Lines()) + " lines";
            }
        }
    }
    EXPECT_GT(count, 1000u);
    EXPECT_EQ(over, "") << "split these functions along their steps (at most " << kMaxFunctionLines << " lines each)";
}

/// A source text of a function NAME whose body has BODY lines of statements.
std::string FunctionText(const std::string& head, size_t body) {
    std::string text = head + " {\n";
    for (size_t i = 0; i < body; ++i) {
        text += "    Step();\n";
    }
    return text + "}\n";
}

struct MeasureCase {
    const char* name;
    std::string text;
    std::vector<std::string> expected;  ///< "NAME FIRST-LAST" of each function found
};

void PrintTo(const MeasureCase& measureCase, std::ostream* out) {
    *out << measureCase.name;
}

class SourceSizeMeasure : public ::testing::TestWithParam<MeasureCase> {};

TEST_P(SourceSizeMeasure, FindsFunctionsAndTheirLines) {
    std::vector<std::string> found;
    for (const auto& function : Functions(GetParam().text)) {
        found.push_back(function.name + " " + std::to_string(function.firstLine) + "-" +
                        std::to_string(function.lastLine));
    }
    EXPECT_EQ(found, GetParam().expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, SourceSizeMeasure, ::testing::Values(
    MeasureCase{"Plain", FunctionText("void Long()", 149), {"Long 1-151"}},
    MeasureCase{"InNamespaceAndClass", "namespace a {\nclass X {\n    int m_x{0};\n    void F() const {\n        G();\n    }\n};\n}\n", {"F 4-6"}},
    MeasureCase{"Constructor", "X::X() : m_a{1}, m_b(2) {\n    Step();\n}\n", {"X::X 1-3"}},
    MeasureCase{"DataTableIsNoFunction", "const int kRows[] = {\n    1,\n    2,\n};\nvoid F() {\n}\n", {"F 5-6"}},
    MeasureCase{"BracesInTextAndComments", "void F() {\n    // }\n    Say(\"}\", '}', R\"(})\");\n    /* } */\n}\n", {"F 1-5"}},
    MeasureCase{"DigitSeparator", "void F() {\n    Wait(3'600'000);\n}\nvoid G() {\n}\n", {"F 1-3", "G 4-5"}},
    MeasureCase{"TestMacro", "TEST_F(Fixture, Case) {\n    Step();\n}\n", {"TEST_F 1-3"}},
    MeasureCase{"Preprocessor", "#define OPEN {\nvoid F() {\n}\n", {"F 2-3"}}),
    [](const ::testing::TestParamInfo<MeasureCase>& testCase) { return std::string(testCase.param.name); });
// clang-format on

}  // namespace
