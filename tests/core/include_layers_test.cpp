// The layers of the sources: every folder includes only from the folders below it
// (docs/architecture.md). A new include that goes up a layer, or that closes a cycle between
// folders, or that gives a tool, a form or a text expression the dispatcher's or the hooks'
// header, fails here with the file and the header named.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// clang-format off
/// Each folder and the folders it may include from (besides itself), lowest layer first.
const std::map<std::string, std::set<std::string>> kAllowed = {
    {"platform/win", {}},
    {"platform/hostapi", {"platform/win"}},
    {"platform/vcl", {"platform/win"}},
    {"platform/host", {"platform/win", "platform/hostapi"}},
    {"core/host", {"platform/win", "platform/hostapi", "platform/vcl"}},
    {"core", {"platform/win", "platform/hostapi", "platform/vcl", "core/host"}},
    {"forms", {"platform/win", "platform/hostapi", "platform/vcl", "core/host", "core"}},
    {"expressions", {"platform/win", "platform/hostapi", "platform/vcl", "core/host", "core", "forms"}},
    {"tools", {"platform/win", "platform/hostapi", "platform/vcl", "core/host", "core", "forms", "expressions"}},
    {"service", {"platform/win", "platform/hostapi", "platform/vcl"}},
    {"apps/hostsim", {"platform/win", "platform/hostapi", "platform/vcl", "platform/host"}},
    {"apps/commandref", {"platform/win", "platform/hostapi", "platform/vcl", "platform/host", "core/host", "core", "forms", "expressions", "tools"}},
};

/// Headers that publish a module's interface to its clients: any folder may include them.
const std::set<std::string> kInterfaceHeaders = {"service/lumvar_api.h"};

/// Headers of the core that the tools, the forms and the text expressions may not include: what
/// a run reads comes through its context (core/run_environment.h), what it calls of the
/// dispatcher and the hooks through core/run_services.h.
const std::set<std::string> kCoreOnlyHeaders = {"core/dispatch.h", "core/hooks.h"};

// clang-format on

/// The folder of the table a source path belongs to (the longest that starts it), or "".
std::string FolderOf(const std::string& path) {
    std::string best;
    for (const auto& [folder, allowed] : kAllowed) {
        if (path.starts_with(folder + "/") && folder.size() > best.size()) {
            best = folder;
        }
    }
    return best;
}

/// Every project include of the sources ("file -> header"), with the folders of both.
struct Include {
    std::string file;
    std::string header;
};

std::vector<Include> ProjectIncludes() {
    const fs::path root(ORVEX_SOURCE_DIR);
    std::vector<Include> includes;
    for (const char* top : {"platform", "core", "forms", "expressions", "tools", "service", "apps"}) {
        for (const auto& entry : fs::recursive_directory_iterator(root / top)) {
            const std::string extension = entry.path().extension().string();
            if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp")) {
                continue;
            }
            const std::string file = fs::relative(entry.path(), root).generic_string();
            std::ifstream in(entry.path());
            std::string line;
            while (std::getline(in, line)) {
                const std::string prefix = "#include \"";
                if (!line.starts_with(prefix)) {
                    continue;
                }
                const size_t end = line.find('"', prefix.size());
                includes.push_back({file, line.substr(prefix.size(), end - prefix.size())});
            }
        }
    }
    return includes;
}

TEST(IncludeLayersTest, EveryFolderIncludesOnlyFromTheLayersBelowIt) {
    const std::vector<Include> includes = ProjectIncludes();
    ASSERT_GT(includes.size(), 1000u);
    for (const Include& include : includes) {
        const std::string from = FolderOf(include.file);
        const std::string to = FolderOf(include.header);
        if (from.empty() || to.empty() || from == to || kInterfaceHeaders.contains(include.header)) {
            continue;
        }
        const std::string edge = include.file + " -> " + include.header;
        EXPECT_TRUE(kAllowed.at(from).contains(to)) << edge << ": " << from << " may not include from " << to;
    }
}

TEST(IncludeLayersTest, ToolsFormsAndExpressionsLeaveTheDispatcherAndTheHooksToTheCore) {
    for (const Include& include : ProjectIncludes()) {
        const std::string from = FolderOf(include.file);
        if (from == "tools" || from == "forms" || from == "expressions") {
            EXPECT_FALSE(kCoreOnlyHeaders.contains(include.header)) << include.file << " -> " << include.header;
        }
    }
}

/// The lines of the sources in `folders` (the access layer aside) that use one of `uses` (a text
/// that starts a word, such as "LoadEntryArray("), as "file:line: text", comments left out.
std::vector<std::string> UsesAboveTheAccessLayer(const std::vector<std::string>& folders,
                                                 const std::vector<std::string>& uses) {
    const fs::path root(ORVEX_SOURCE_DIR);
    std::vector<std::string> found;
    for (const std::string& top : folders) {
        for (const auto& entry : fs::recursive_directory_iterator(root / top)) {
            const std::string extension = entry.path().extension().string();
            const std::string file = fs::relative(entry.path(), root).generic_string();
            if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp") ||
                FolderOf(file) == "core/host") {
                continue;
            }
            std::ifstream in(entry.path());
            std::string line;
            for (int number = 1; std::getline(in, line); ++number) {
                const std::string code = line.substr(0, line.find("//"));
                for (const std::string& use : uses) {
                    const size_t at = code.find(use);
                    const bool wordStart = at != std::string::npos &&
                                           (at == 0 || (std::isalnum(code[at - 1]) == 0 && code[at - 1] != '_'));
                    if (wordStart) {
                        found.push_back(file + ":" + std::to_string(number) + ": " + line);
                    }
                }
            }
        }
    }
    return found;
}

TEST(IncludeLayersTest, HostLoansAreHeldByTheirGuardsAboveTheAccessLayer) {
    // A progress display, an entry array or a cell's layers borrowed from the host are held by
    // the access layer's guards (ScopedEditBracket, ScopedEntryArray, ScopedCellLayers), which
    // give them back in order when their scope ends, by an early return or an exception too.
    for (const std::string& line :
         UsesAboveTheAccessLayer({"core", "forms", "expressions", "tools"},
                                 {"EditBracketBegin(", "EditBracketEnd(", "BeginProgress(", "EndProgress(",
                                  "LoadEntryArray(", "ReleaseEntryArray(", "LoadCellLayers(", "ReleaseCellLayers("})) {
        ADD_FAILURE() << line << ": a loan opened or given back by hand";
    }
}

TEST(IncludeLayersTest, ToolsReadTheDocumentAndTheHostThroughTheirRunEnvironment) {
    // The whole document's region and the host's year, language and window come from the run
    // environment (core/run_environment.h), not from the dispatcher's records or Host(); what a
    // multi-step run or a modeless form hands to the dispatcher goes through core/run_services.h,
    // so no tool, form or text expression reads or writes the dispatcher's state itself.
    for (const std::string& line : UsesAboveTheAccessLayer({"expressions", "forms", "tools"},
                                                           {"SelectionRecords[", "Host().", "TheModule.dispatch."})) {
        ADD_FAILURE() << line << ": read from the dispatcher or the host by hand";
    }
}

TEST(IncludeLayersTest, TheHostsServicesAreCalledThroughTheAccessLayer) {
    // The core, the tools, the forms and the text expressions call the host's services through
    // the access layer's wrappers (core/host/host_imports.h), which say what a service the host
    // does not offer gives; only the access layer reads the resolved imports.
    for (const std::string& line :
         UsesAboveTheAccessLayer({"core", "forms", "expressions", "tools", "apps"}, {"Imports()"})) {
        ADD_FAILURE() << line << ": a host service called past the access layer";
    }
}

TEST(IncludeLayersTest, TheLayersFormNoCycle) {
    // A folder never reaches itself through the folders it may include from.
    for (const auto& [start, allowed] : kAllowed) {
        std::set<std::string> seen;
        std::vector<std::string> pending(allowed.begin(), allowed.end());
        while (!pending.empty()) {
            const std::string folder = pending.back();
            pending.pop_back();
            ASSERT_NE(folder, start) << start << " reaches itself";
            if (seen.insert(folder).second) {
                const auto& next = kAllowed.at(folder);
                pending.insert(pending.end(), next.begin(), next.end());
            }
        }
    }
}

}  // namespace
