// hostsim: the simulated host program. It loads the plug-ins from a plug-in folder, runs a
// script of what the user does and prints what the user would see.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "apps/hostsim/script.h"
#include "platform/host/host.h"
#include "platform/win/registry.h"
#include "platform/win/transcript.h"

namespace {

constexpr const char* kUsage =
    "usage: hostsim [--plugins FOLDER] [--registry FILE] SCRIPT\n"
    "  --plugins FOLDER  the plug-in folder (default: plugins/ beside the bin/ folder of hostsim)\n"
    "  --registry FILE   the registry file (default: $XDG_CONFIG_HOME/hostsim/registry.reg)\n"
    "  SCRIPT            the script to run; - reads standard input\n";

std::filesystem::path ExecutableFolder(const char* argv0) {
    std::error_code error;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        exe = std::filesystem::absolute(argv0);
    }
    return exe.parent_path();
}

std::string DefaultRegistryFile() {
    std::filesystem::path base;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config != '\0') {
        base = config;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        base = std::filesystem::path(home) / ".config";
    } else {
        base = std::filesystem::temp_directory_path();
    }
    return (base / "hostsim" / "registry.reg").string();
}

}  // namespace

int main(int argc, char** argv) {
    std::string pluginFolder = (ExecutableFolder(argv[0]).parent_path() / "plugins").string();
    std::string registryFile = DefaultRegistryFile();
    std::string scriptPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--plugins" || arg == "--registry") && i + 1 < argc) {
            (arg == "--plugins" ? pluginFolder : registryFile) = argv[++i];
        } else if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (scriptPath.empty() && (arg == "-" || arg[0] != '-')) {
            scriptPath = arg;
        } else {
            std::cerr << kUsage;
            return 2;
        }
    }
    if (scriptPath.empty()) {
        std::cerr << kUsage;
        return 2;
    }

    std::ifstream file;
    if (scriptPath != "-") {
        file.open(scriptPath);
        if (!file) {
            std::cerr << "hostsim: cannot read the script " << scriptPath << "\n";
            return 2;
        }
    }
    std::istream& script = scriptPath == "-" ? std::cin : file;

    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(registryFile).parent_path(), ignored);
    std::string registryError;
    if (!win::UseRegistryFile(registryFile, &registryError)) {
        std::cerr << "hostsim: the registry file is damaged: " << registryError << "\n";
        return 2;
    }

    win::SetTranscriptListener([](const std::string& line) { std::cout << line << "\n"; });
    bool ok = true;
    {
        host::Host host;
        hostsim::ScriptRunner runner(host, {pluginFolder});
        ok = runner.Run(script, scriptPath == "-" ? "<stdin>" : scriptPath, std::cerr);
    }
    win::SetTranscriptListener({});
    std::cout.flush();
    return ok ? 0 : 1;
}
