// The size limits of the sources (docs/architecture.md): no source file over 1,000 lines and no
// function body of the project's own code (the tests aside) over 150 lines. A file or function
// that grows past its limit fails here, named with its line, so that it is split along its steps
// rather than left to grow.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kMaxFileLines = 1000;
constexpr int kMaxFunctionLines = 150;

/// The folders whose files are held to the file limit; the function limit leaves out tests/.
const std::vector<std::string> kFolders = {"core",    "forms", "expressions", "tools", "platform",
                                           "service", "apps",  "bench",       "tests"};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

/// Every .h and .cpp file under the folder, as a path from the source root, in order.
std::vector<std::string> SourceFiles(const std::string& folder) {
    const fs::path root(ORVEX_SOURCE_DIR);
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
        const std::string extension = entry.path().extension().string();
        if (entry.is_regular_file() && (extension == ".h" || extension == ".cpp")) {
            files.push_back(fs::relative(entry.path(), root).generic_string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

/// The text with every comment, string literal (raw ones too), character literal and
/// preprocessor line blanked out, line breaks kept: what is left has only the code's own braces.
std::string CodeOnly(std::string_view text) {
    std::string code(text);
    size_t i = 0;
    bool lineStart = true;
    auto blank = [&](size_t from, size_t to) {
        for (size_t k = from; k < to && k < code.size(); ++k) {
            if (code[k] != '\n') {
                code[k] = ' ';
            }
        }
    };
    while (i < code.size()) {
        const char c = code[i];
        if (c == '\n') {
            lineStart = true;
            ++i;
            continue;
        }
        if (lineStart && c == '#') {  // a preprocessor line, with its continuations
            size_t end = i;
            while (end < code.size() && !(code[end] == '\n' && code[end - 1] != '\\')) {
                ++end;
            }
            blank(i, end);
            i = end;
            continue;
        }
        if (!std::isspace(static_cast<unsigned char>(c))) {
            lineStart = false;
        }
        if (c == '/' && i + 1 < code.size() && code[i + 1] == '/') {
            const size_t end = code.find('\n', i);
            blank(i, end == std::string::npos ? code.size() : end);
            i = end == std::string::npos ? code.size() : end;
        } else if (c == '/' && i + 1 < code.size() && code[i + 1] == '*') {
            const size_t close = code.find("*/", i + 2);
            const size_t end = close == std::string::npos ? code.size() : close + 2;
            blank(i, end);
            i = end;
        } else if (c == '"' && i > 0 && code[i - 1] == 'R') {  // R"delimiter( ... )delimiter"
            const size_t open = code.find('(', i);
            const std::string close = ")" + code.substr(i + 1, open - i - 1) + "\"";
            const size_t found = code.find(close, open);
            const size_t end = found == std::string::npos ? code.size() : found + close.size();
            blank(i, end);
            i = end;
        } else if (c == '"' || (c == '\'' && !(i > 0 && std::isxdigit(static_cast<unsigned char>(code[i - 1]))))) {
            // A string or character literal (a ' between digits separates them: 1'000).
            size_t end = i + 1;
            while (end < code.size() && code[end] != c && code[end] != '\n') {
                end += code[end] == '\\' ? 2 : 1;
            }
            blank(i, end + 1);
            i = end + 1;
        } else {
            ++i;
        }
    }
    return code;
}

struct LongFunction {
    std::string name;  ///< as its head names it ("Class::Method"), or "(unnamed)"
    int line = 0;      ///< the line of its opening brace, from 1
    int lines = 0;     ///< the lines between its braces
};

/// The head without what may stand before a declaration: access labels, a template's
/// parameters, attributes and blanks.
std::string_view BareHead(std::string_view head) {
    static const std::regex kLabel(R"(^\s*(public|private|protected)\s*:(?!:))");
    while (true) {
        const size_t start = head.find_first_not_of(" \t\n");
        head = start == std::string_view::npos ? std::string_view() : head.substr(start);
        std::match_results<std::string_view::const_iterator> label;
        if (std::regex_search(head.begin(), head.end(), label, kLabel)) {
            head.remove_prefix(static_cast<size_t>(label.length(0)));
        } else if (head.starts_with("template") || head.starts_with("[[")) {
            // Up to the '>' or "]]" that closes the first '<' or "[[".
            const bool attribute = head.starts_with("[[");
            const char open = attribute ? '[' : '<';
            const char close = attribute ? ']' : '>';
            int depth = 0;
            size_t end = 0;
            for (size_t k = 0; k < head.size(); ++k) {
                depth += head[k] == open ? 1 : head[k] == close ? -1 : 0;
                if ((head[k] == open || head[k] == close) && depth == 0) {
                    end = k + 1;
                    break;
                }
            }
            if (end == 0) {
                return head;
            }
            head.remove_prefix(end);
        } else {
            return head;
        }
    }
}

/// The name a function head gives: the (qualified) name before its first parenthesis, or the
/// operator's name.
std::string FunctionName(std::string_view head) {
    const size_t paren = head.find('(');
    if (paren == std::string_view::npos) {
        return "(unnamed)";
    }
    auto isNameChar = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == ':' || c == '~';
    };
    size_t end = paren;
    const size_t op = head.substr(0, paren).rfind("operator");
    if (op != std::string_view::npos && head.substr(op, paren - op).find_first_of("(){};,") == std::string_view::npos) {
        end = paren + (op + 8 == paren && head.substr(paren, 2) == "()" ? 2 : 0);  // operator()
        size_t begin = op;
        while (begin > 0 && isNameChar(head[begin - 1])) {
            --begin;
        }
        return std::string(head.substr(begin, end - begin));
    }
    while (end > 0 && std::isspace(static_cast<unsigned char>(head[end - 1]))) {
        --end;
    }
    size_t begin = end;
    while (begin > 0 && isNameChar(head[begin - 1])) {
        --begin;
    }
    return begin == end ? "(unnamed)" : std::string(head.substr(begin, end - begin));
}

/// Whether '=' stands in the head outside parentheses and brackets and not as part of an
/// operator's name or a comparison: the head then starts a variable's initialiser.
bool HasInitialiser(std::string_view head) {
    int depth = 0;
    for (size_t i = 0; i < head.size(); ++i) {
        const char c = head[i];
        if (c == '(' || c == '[') {
            ++depth;
        } else if (c == ')' || c == ']') {
            --depth;
        } else if (c == '=' && depth == 0) {
            const bool comparison =
                (i + 1 < head.size() && head[i + 1] == '=') ||
                (i > 0 && std::string_view("=!<>+-*/%&|^").find(head[i - 1]) != std::string_view::npos);
            if (!comparison && head.substr(0, i).find("operator") == std::string_view::npos) {
                return true;
            }
        }
    }
    return false;
}

/// The function bodies of a source text that are longer than `limit` lines between their
/// braces. Braces are matched on the code alone (CodeOnly). At namespace and class scope, a brace
/// opens a scope (namespace, class, struct, union, enum, extern "C"), a variable's initialiser
/// (a head with "=" or without parentheses, a member's brace initialiser in a constructor's list)
/// or else a function body, which is measured whole with all that is nested in it.
std::vector<LongFunction> LongFunctions(std::string_view text, int limit) {
    const std::string code = CodeOnly(text);
    static const std::regex kScopeHead(R"(^(inline\s+)?(namespace|class|struct|union|enum|extern)\b)");
    static const std::regex kConstructorList(R"(\)\s*(noexcept\s*)?:[^:])");
    std::vector<LongFunction> found;
    size_t headStart = 0;
    int line = 1;
    size_t i = 0;
    // Skips to the brace that closes the one at `open`; answers its position (lines counted).
    auto skipBlock = [&](size_t open) {
        int depth = 0;
        for (size_t k = open; k < code.size(); ++k) {
            if (code[k] == '\n') {
                ++line;
            } else if (code[k] == '{') {
                ++depth;
            } else if (code[k] == '}' && --depth == 0) {
                return k;
            }
        }
        return code.size();
    };
    while (i < code.size()) {
        const char c = code[i];
        if (c == '\n') {
            ++line;
        } else if (c == ';' || c == '}') {
            headStart = i + 1;  // a declaration or a scope ended
        } else if (c == '{') {
            const std::string head(BareHead(std::string_view(code).substr(headStart, i - headStart)));
            if (std::regex_search(head, kScopeHead) && head.find('(') == std::string::npos) {
                headStart = i + 1;  // into the scope: its members are looked at one by one
            } else {
                const size_t lastAt = head.find_last_not_of(" \t\n");
                const char last = lastAt == std::string::npos ? ' ' : head[lastAt];
                const bool memberInitialiser =
                    std::regex_search(head, kConstructorList) &&
                    (std::isalnum(static_cast<unsigned char>(last)) || last == '_' || last == '>');
                const int openLine = line;
                const size_t close = skipBlock(i);
                if (memberInitialiser) {
                    i = close + 1;  // the constructor's list goes on: the head stays
                    continue;
                }
                if (head.find('(') != std::string::npos && !HasInitialiser(head) && line - openLine - 1 > limit) {
                    found.push_back({FunctionName(head), openLine, line - openLine - 1});
                }
                headStart = close + 1;
                i = close + 1;
                continue;
            }
        }
        ++i;
    }
    return found;
}

std::string Describe(const std::vector<LongFunction>& functions) {
    std::string text;
    for (const LongFunction& function : functions) {
        text += function.name + " at line " + std::to_string(function.line) + ": " + std::to_string(function.lines) +
                " lines; ";
    }
    return text;
}

/// A function of `lines` lines between its braces, with the lines of `body` first.
std::string FunctionOf(const std::string& head, const std::string& body, int lines) {
    std::string text = head + " {\n" + body;
    for (auto k = std::count(body.begin(), body.end(), '\n'); k < lines; ++k) {
        text += "    ++x;\n";
    }
    return text + "}\n";
}

// ---- The scan itself ----

/// What the scan finds, one text per function ("NAME at line N: M lines").
std::vector<std::string> Found(const std::string& text, int limit) {
    std::vector<std::string> found;
    for (const LongFunction& function : LongFunctions(text, limit)) {
        found.push_back(Describe({function}));
    }
    return found;
}

TEST(SourceLimitsScanTest, FindsAFunctionOverTheLimitWithItsNameAndLine) {
    const std::string text = "namespace a {\nint x;\n" + FunctionOf("void Short()", "", 3) +
                             FunctionOf("int Foo::Long(int y)", "", 5) + "}\n";
    EXPECT_EQ(Found(text, 4), std::vector<std::string>{"Foo::Long at line 8: 5 lines; "});
    EXPECT_EQ(Found(text, 5), std::vector<std::string>{});
}

TEST(SourceLimitsScanTest, IgnoresBracesInStringsCharactersAndComments) {
    const std::string body =
        "    const char* s = \"}}\";\n    char c = '}';\n    // }\n    /* } */\n"
        "    auto r = R\"x(})\")x\";\n";
    EXPECT_EQ(Found(FunctionOf("void F()", body, 8), 7), std::vector<std::string>{"F at line 1: 8 lines; "});
}

TEST(SourceLimitsScanTest, MeasuresMethodsInClassesAndConstructorsWithBraceInitialisers) {
    const std::string text = "class C {\npublic:\n" + FunctionOf("    C() : m_a{1}, m_b(2)", "", 6) +
                             FunctionOf("    bool operator==(const C& o) const", "", 6) + "    int m_a{0};\n};\n";
    EXPECT_EQ(Found(text, 5), (std::vector<std::string>{"C at line 3: 6 lines; ", "operator== at line 11: 6 lines; "}));
}

TEST(SourceLimitsScanTest, LeavesTablesAndScopesUnmeasured) {
    std::string table = "const std::vector<int> kTable = {\n";
    std::string braced = "const Row kRows[]{\n";
    for (int k = 0; k < 10; ++k) {
        table += "    1,\n";
        braced += "    {1, 2},\n";
    }
    const std::string text = "namespace n {\nenum class E : int {\n A,\n B,\n C,\n};\n" + table + "};\n" + braced +
                             "};\nextern \"C\" {\nint y;\n}\n}\n";
    EXPECT_EQ(Found(text, 2), std::vector<std::string>{});
}

// ---- The sources ----

TEST(SourceLimitsTest, NoSourceFileIsOverTheLineLimit) {
    int files = 0;
    for (const std::string& folder : kFolders) {
        for (const std::string& file : SourceFiles(folder)) {
            ++files;
            const std::string text = ReadFile(fs::path(ORVEX_SOURCE_DIR) / file);
            const auto lines = std::count(text.begin(), text.end(), '\n');
            EXPECT_LE(lines, kMaxFileLines) << file << " has " << lines << " lines: split it along its steps";
        }
    }
    EXPECT_GT(files, 400);
}

TEST(SourceLimitsTest, NoFunctionIsOverTheLineLimit) {
    int files = 0;
    for (const std::string& folder : kFolders) {
        if (folder == "tests") {
            continue;
        }
        for (const std::string& file : SourceFiles(folder)) {
            ++files;
            const auto found = LongFunctions(ReadFile(fs::path(ORVEX_SOURCE_DIR) / file), kMaxFunctionLines);
            EXPECT_TRUE(found.empty()) << file << ": " << Describe(found) << "over " << kMaxFunctionLines
                                       << " lines: split it along its steps";
        }
    }
    EXPECT_GT(files, 300);
}

}  // namespace
