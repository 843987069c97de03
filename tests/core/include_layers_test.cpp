// The layers of the sources: every folder includes only from the folders below it
// (docs/architecture.md). A new include that goes up a layer, or that closes a cycle between
// folders, or that gives a tool, a form or a text expression the dispatcher's or the hooks'
// header, fails here with the file and the header named.
#include <gtest/gtest.h>

#include <algorithm>
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
