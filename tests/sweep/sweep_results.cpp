#include "tests/sweep/sweep_results.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string_view>

namespace sweep {

std::string ResultDigest(const std::string& finalText, const std::vector<std::string>& transcript,
                         const std::filesystem::path& workFolder) {
    uint64_t hash = 14695981039346656037ull;  // 64-bit FNV-1a
    const auto add = [&hash](std::string_view text) {
        for (const char c : text) {
            hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        }
    };
    add(finalText);
    const std::string path = workFolder.string();
    const std::string name = workFolder.filename().string();
    for (std::string line : transcript) {
        for (const auto& [from, to] : {std::pair{path, std::string(".")}, std::pair{name, std::string("sweep")}}) {
            for (size_t at = 0; !from.empty() && (at = line.find(from, at)) != std::string::npos;) {
                line.replace(at, from.size(), to);
            }
        }
        add("\n");
        add(line);
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

void CompareResults(const std::vector<std::pair<std::string, std::string>>& runs, const std::string& results,
                    const std::string& recordFile, std::map<std::string, std::vector<std::string>>& findings) {
    if (!recordFile.empty()) {
        std::ofstream out(recordFile);
        out << "# The command sweep's results, a run a line: a digest of the document the run left (as\n"
               "# saved) and of every line the user saw, and the run. Written by the sweep's --record;\n"
               "# a run whose result changed is read with --transcript before it is recorded again.\n";
        for (const auto& [name, digest] : runs) {
            out << digest << " " << name << "\n";
        }
        return;
    }
    std::map<std::string, std::string> recorded;  ///< by run name
    std::ifstream in(results);
    for (std::string line; std::getline(in, line);) {
        if (line.size() > 17 && line[0] != '#') {
            recorded[line.substr(17)] = line.substr(0, 16);
        }
    }
    const std::string file = std::filesystem::path(results).filename().string();
    for (const auto& [name, digest] : runs) {
        const auto found = recorded.find(name);
        if (found == recorded.end()) {
            findings[file + " records no result of the run"].push_back(name);
        } else if (found->second != digest) {
            findings["the result is not the one " + file + " records"].push_back(name);
        }
    }
}

}  // namespace sweep
