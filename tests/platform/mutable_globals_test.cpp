// No mutable global outside the state objects: the writable data of the built libraries of the
// window system, the class library, Lumvar2000 and the simulated host holds only the one object
// that keeps each one's state (platform/win/system_state.h, platform/vcl/library_state.h,
// service/module_state.h, platform/host/host_state.h). A
// new namespace-scope or function-static variable fails here, named with its file; a constant
// that the compiler keeps in writable memory (one that needs start-up code or relocations) passes
// when its source declares it const, constexpr or a reference.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct StateLibrary {
    const char* name;
    const char* file;                    ///< the built library
    std::vector<const char*> folders;    ///< its sources, below the source folder
    std::set<std::string> stateObjects;  ///< the demangled names of the objects that own the state
};

// clang-format off
const StateLibrary kLibraries[] = {
    {"WindowSystem", ORVEX_WIN_LIBRARY, {"platform/win", "platform/hostapi"}, {"win::detail::System()::system"}},
    {"ClassLibrary", ORVEX_VCL_LIBRARY, {"platform/vcl", "platform/hostapi"}, {"vcl::detail::Library()::state"}},
    {"Lumvar2000", ORVEX_LUMVAR_LIBRARY, {"service", "platform/hostapi"}, {"lumvar::Module()::state"}},
    {"SimulatedHost", ORVEX_HOST_LIBRARY, {"platform/host", "platform/hostapi"}, {"host::detail::State()::state"}},
};
// clang-format on

struct DataSymbol {
    std::string file;  ///< the source file it comes from ("" when the symbol table does not say)
    std::string name;  ///< demangled
};

/// The object symbols in writable data (.data, .bss and their relocated and thread-local kinds;
/// not .data.rel.ro, which is read-only once loaded), without what the compiler and the
/// sanitizers add (guard variables, the personality routine's reference, the sanitizers' tables).
std::vector<DataSymbol> WritableDataSymbols(const std::string& library) {
    std::vector<DataSymbol> symbols;
    FILE* pipe = ::popen(("objdump -t -C '" + library + "' 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "objdump cannot be run";
        return symbols;
    }
    std::string output;
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) {
        output.append(chunk, n);
    }
    EXPECT_EQ(::pclose(pipe), 0) << output.substr(0, 500);
    // "ADDRESS FLAGS SECTION\tSIZE NAME": 7 flag characters after the address.
    static const std::regex kLine(R"(^[0-9a-f]+ (.{7}) (\S+)\t[0-9a-f]+ +(.*)$)");
    static const std::regex kMember(R"(^(\S+)\.o:\s+file format)");
    std::string file;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        std::smatch match;
        if (std::regex_search(line, match, kMember)) {
            file = fs::path(match[1].str()).filename().string();  // "desktop.cpp" of "desktop.cpp.o"
            continue;
        }
        if (!std::regex_match(line, match, kLine)) {
            continue;
        }
        const std::string flags = match[1];
        const std::string section = match[2];
        std::string name = match[3];
        if (name.starts_with(".hidden ")) {
            name.erase(0, 8);
        }
        if (flags.find('f') != std::string::npos) {
            file = name;  // the source file of the local symbols that follow (a shared library)
            continue;
        }
        if (flags.find('O') == std::string::npos) {
            continue;
        }
        const bool writable = section.starts_with(".data") || section.starts_with(".bss") ||
                              section.starts_with(".tdata") || section.starts_with(".tbss");
        if (!writable || section.starts_with(".data.rel.ro")) {
            continue;
        }
        if (name.starts_with("guard variable for ") || name.starts_with("DW.ref.") || name.starts_with("__asan") ||
            name.starts_with("__odr_asan") || name.starts_with("__ubsan") || name.starts_with("__sancov") ||
            name.starts_with(".L") || name.starts_with("__dso_handle") || name.starts_with("__TMC_END__") ||
            name == "completed.0") {
            continue;
        }
        symbols.push_back({file, name});
    }
    return symbols;
}

/// The variable's own name: "kTemplate" of "lumvar::(anonymous namespace)::Panel()::kTemplate".
std::string LastName(const std::string& name) {
    const size_t colon = name.rfind("::");
    return colon == std::string::npos ? name : name.substr(colon + 2);
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

/// Whether a source declares `variable` const, constexpr or as a reference: in `file` when the
/// symbol table named it, else in any source of the folders.
bool DeclaredConstant(const StateLibrary& library, const DataSymbol& symbol) {
    const std::string variable = LastName(symbol.name);
    if (!std::regex_match(variable, std::regex(R"([A-Za-z_]\w*)"))) {
        return false;
    }
    const std::regex declaration(R"((\b(const|constexpr)\b[^;{}()=]*[\s*&]|&\s*))" + variable + R"(\s*(=|\{|;|\[))");
    for (const char* folder : library.folders) {
        for (const auto& entry : fs::directory_iterator(fs::path(ORVEX_SOURCE_DIR) / folder)) {
            const std::string name = entry.path().filename().string();
            if (!symbol.file.empty() && name != symbol.file && entry.path().extension() == ".cpp") {
                continue;
            }
            if (std::regex_search(ReadText(entry.path()), declaration)) {
                return true;
            }
        }
    }
    return false;
}

void PrintTo(const StateLibrary& library, std::ostream* out) {
    *out << library.name;
}

class MutableGlobalsTest : public ::testing::TestWithParam<StateLibrary> {};

TEST_P(MutableGlobalsTest, OnlyTheStateObjectIsWritable) {
    const StateLibrary& library = GetParam();
    ASSERT_TRUE(fs::exists(library.file)) << library.file;
    std::set<std::string> found;
    for (const DataSymbol& symbol : WritableDataSymbols(library.file)) {
        if (library.stateObjects.contains(symbol.name)) {
            found.insert(symbol.name);
        } else if (!DeclaredConstant(library, symbol)) {
            ADD_FAILURE() << "a mutable global outside the state object: " << symbol.name << " ("
                          << (symbol.file.empty() ? "file not named" : symbol.file) << ")";
        }
    }
    // The check sees the symbols at all: the state object itself is among them.
    EXPECT_EQ(found, library.stateObjects);
}

INSTANTIATE_TEST_SUITE_P(Libraries, MutableGlobalsTest, ::testing::ValuesIn(kLibraries),
                         [](const ::testing::TestParamInfo<StateLibrary>& testCase) { return testCase.param.name; });

}  // namespace
