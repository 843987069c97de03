// One owner per object: the writable data of Orvex188's libraries (core, forms, text expressions,
// tools and the parts' wiring) is the module object and nothing else. The test reads the symbol
// tables of the built libraries with nm and lists every object in a writable section (.data,
// .bss and the relocated writable data) that is not the module's; a new mutable global fails it
// with its name and the unit that defines it. State belongs in the unit's struct in the module
// (core/module.h): a core unit's in its named struct, any other unit's in the module's slots.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

/// The objects that are the module: the module object and the slots a reset keeps.
const std::set<std::string> kModuleObjects = {
    "orvex::TheModule",
    "orvex::Module::Lasting()::slots",
};

/// Constant tables that are made while the module loads (their initialisers call functions or
/// build containers), so that the linker places them in writable data although nothing writes
/// them afterwards.
const std::set<std::string> kConstantTables = {
    "orvex::kActionControlTableData",
    "orvex::(anonymous namespace)::kNoHeaders",
    "orvex::(anonymous namespace)::kFormCommands",
    "orvex::(anonymous namespace)::kFormToolRows",
    "orvex::(anonymous namespace)::kExpressionToolRows",
    "orvex::(anonymous namespace)::kExpressionFormCommands",
    "orvex::(anonymous namespace)::kToolFormCommands",
    "orvex::(anonymous namespace)::kToolRows",
    "orvex::(anonymous namespace)::kWorkOnItems",
    "orvex::(anonymous namespace)::kWorkOnItemsGerman",
    // The options dialogs still open when the process ends are freed before the class library's
    // application goes, so their list is made on first use, after the application.
    "orvex::(anonymous namespace)::ModelessDialogs()::dialogs",
    // The parts register themselves while the module loads (tools/parts.cpp).
    "orvex::(anonymous namespace)::s_installed",
};

/// The access layer's state (core/host/access_state.h), which lies below the module object: what
/// it knows of the host, its imports, the hooks the core registered, the text it reads, the
/// writes it counts and the records it reported, in one object.
const std::set<std::string> kAccessLayerState = {
    "orvex::TheAccessLayer",
};

struct DataSymbol {
    std::string name;
    std::string unit;
    std::string section;
};

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    const size_t last = text.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

/// .data, .bss, thread-local data and relocated writable data; not .data.rel.ro, which the
/// loader makes read-only after relocating it (references and constant tables of pointers).
bool WritableSection(const std::string& section) {
    if (section.starts_with(".data.rel.ro")) {
        return false;
    }
    return section.starts_with(".data") || section.starts_with(".bss") || section.starts_with(".tdata") ||
           section.starts_with(".tbss");
}

/// The objects in writable sections of the library or object files, from `nm -C -f sysv`.
std::vector<DataSymbol> WritableObjects(const std::string& file) {
    std::vector<DataSymbol> symbols;
    const std::string command = "nm -C -f sysv '" + file + "' 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe) {
        ADD_FAILURE() << "nm could not be started for " << file;
        return symbols;
    }
    std::string unit = file;
    std::string output;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe.get()) != nullptr) {
        output += buffer;
    }
    std::istringstream lines(output);
    std::string line;
    bool sawTable = false;
    while (std::getline(lines, line)) {
        if (line.starts_with("Symbols from ")) {
            unit = line.substr(13);
            sawTable = true;
            continue;
        }
        std::vector<std::string> fields;
        std::istringstream row(line);
        std::string field;
        while (std::getline(row, field, '|')) {
            fields.push_back(Trim(field));
        }
        if (fields.size() < 7 || fields[3] != "OBJECT" || !WritableSection(fields[6])) {
            continue;
        }
        const std::string& name = fields[0];
        // The sanitizers' own records, local labels, the compiler's references for exception
        // handling, and the guards of function statics (the static itself is listed).
        if (name.starts_with("__") || name.starts_with(".L") || name.starts_with("DW.ref.") ||
            name.starts_with("guard variable for ")) {
            continue;
        }
        symbols.push_back({name, unit, fields[6]});
    }
    EXPECT_TRUE(sawTable) << "nm did not read " << file << ":\n" << output;
    return symbols;
}

std::vector<std::string> Files(const std::string& list) {
    std::vector<std::string> files;
    std::istringstream in(list);
    std::string file;
    while (std::getline(in, file, '|')) {
        if (!file.empty()) {
            files.push_back(file);
        }
    }
    return files;
}

TEST(ModuleStateTest, NoMutableGlobalOutsideTheModule) {
    const std::vector<std::string> files = Files(ORVEX_STATE_LIBRARIES);
    ASSERT_FALSE(files.empty());
    std::set<std::string> seen;
    for (const std::string& file : files) {
        for (const DataSymbol& symbol : WritableObjects(file)) {
            seen.insert(symbol.name);
            if (kModuleObjects.contains(symbol.name) || kConstantTables.contains(symbol.name) ||
                kAccessLayerState.contains(symbol.name)) {
                continue;
            }
            ADD_FAILURE() << "a mutable global outside the module's state: " << symbol.name << " (" << symbol.section
                          << ", " << symbol.unit << ")";
        }
    }
    for (const auto* list : {&kModuleObjects, &kConstantTables, &kAccessLayerState}) {
        for (const std::string& name : *list) {
            EXPECT_TRUE(seen.contains(name)) << name << " is no longer writable data: take it off the list";
        }
    }
}

/// Each line of the project's C++ sources below `folders` that matches `pattern`, with its place
/// ("core/dispatch.h:12: ..."); `files` counts the sources read.
std::vector<std::string> SourceLinesMatching(std::initializer_list<const char*> folders, const std::regex& pattern,
                                             int32_t& files) {
    namespace fs = std::filesystem;
    const fs::path root(ORVEX_SOURCE_DIR);
    std::vector<std::string> found;
    for (const char* top : folders) {
        for (const auto& entry : fs::recursive_directory_iterator(root / top)) {
            const std::string extension = entry.path().extension().string();
            if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp") ||
                entry.path().filename() == "module_state_test.cpp") {
                continue;
            }
            ++files;
            std::ifstream in(entry.path());
            std::string line;
            for (int32_t number = 1; std::getline(in, line); ++number) {
                if (std::regex_search(line, pattern)) {
                    found.push_back(fs::relative(entry.path(), root).generic_string() + ":" + std::to_string(number) +
                                    ": " + line);
                }
            }
        }
    }
    return found;
}

TEST(ModuleStateTest, NoSourceDeclaresAReferenceToState) {
    // State is read through its owner (TheModule, TheAccessLayer, a unit's struct), not through a
    // global name bound to one of its fields: a reader sees where the value comes from.
    int32_t files = 0;
    const std::regex reference(R"(^\s*extern\s+(?!"C")[^;(]*&)");
    EXPECT_EQ(SourceLinesMatching({"core", "forms", "expressions", "tools", "service", "apps"}, reference, files),
              std::vector<std::string>{});
    EXPECT_GT(files, 250);
}

TEST(ModuleStateTest, TheToolContextHasOneOwnerType) {
    // Whoever keeps a tool context holds a share of it (std::shared_ptr, core/tool_context.h); no
    // source owns one another way.
    int32_t files = 0;
    const std::regex otherOwner(R"(unique_ptr<\s*(orvex::)?TFMisc\s*>|new\s+(orvex::)?TFMisc\b)");
    EXPECT_EQ(SourceLinesMatching({"core", "forms", "expressions", "tools", "apps", "tests"}, otherOwner, files),
              std::vector<std::string>{});
    EXPECT_GT(files, 400);
}

}  // namespace
