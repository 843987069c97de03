// hostsim: the simulated host program. It loads the plug-ins from a plug-in folder, runs a
// script of what the user does and prints what the user would see.
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "apps/hostsim/script.h"
#include "platform/host/file_reasons.h"
#include "platform/host/host.h"
#include "platform/win/registry.h"
#include "platform/win/transcript.h"

#ifndef HOSTSIM_VERSION
#define HOSTSIM_VERSION "unknown"
#endif

namespace {

constexpr const char* kRegistryVariable = "HOSTSIM_REGISTRY";

constexpr const char* kUsage =
    "usage: hostsim [OPTION]... SCRIPT\n"
    "Runs SCRIPT (a file; - reads standard input) in the simulated host and prints what the user\n"
    "would see. The script language is described in docs/script-language.md.\n"
    "\n"
    "  --plugins FOLDER  the folder \"load plugins\" reads (default: plugins/ beside the bin/\n"
    "                    folder of hostsim)\n"
    "  --registry FILE   keep the registry in FILE, read at the start and written through (default:\n"
    "                    a fresh, empty registry for each run, removed at its end; the environment\n"
    "                    variable HOSTSIM_REGISTRY names a file too)\n"
    "  -k, --keep-going  after an error go on with the next line (the exit status stays 1)\n"
    "  -q, --quiet       print only what the dump and print commands show\n"
    "  -v, --verbose     print also every change in full after each command (of -q and -v the\n"
    "                    later one counts)\n"
    "  --version         print the version and exit\n"
    "  -h, --help        print this help and exit\n"
    "\n"
    "Short options may be written together (-qk is -q -k).\n"
    "Errors and warnings go to standard error as FILE:LINE:COLUMN: error: MESSAGE.\n"
    "Exit status: 0 when every line ran, 1 when a line failed, 2 for a wrong command line, a script\n"
    "that cannot be read or a registry file that cannot be used.\n";

std::filesystem::path ExecutableFolder(const char* argv0) {
    std::error_code error;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        exe = std::filesystem::absolute(argv0);
    }
    return exe.parent_path();
}

/// A new file name in the temporary folder for this run's registry.
std::filesystem::path FreshRegistryFile() {
    std::random_device random;
    return std::filesystem::temp_directory_path() /
           ("hostsim-registry-" + std::to_string(::getpid()) + "-" + std::to_string(random()) + ".reg");
}

/// Whether the registry file can be written: its folder is made when missing; an existing file is
/// opened for appending (which leaves it as it is), else a trial file beside it is made and removed.
bool RegistryWritable(const std::filesystem::path& file, std::string& why) {
    std::error_code error;
    const std::filesystem::path folder = file.parent_path();
    if (!folder.empty()) {
        std::filesystem::create_directories(folder, error);
        if (error) {
            why = "its folder cannot be made: " + error.message();
            return false;
        }
    }
    if (std::filesystem::is_directory(file, error)) {
        why = "it is a folder";
        return false;
    }
    if (std::filesystem::exists(file, error)) {
        if (!std::ofstream(file, std::ios::app)) {
            why = "it cannot be written";
            return false;
        }
        return true;
    }
    std::filesystem::path trial = file;
    trial += ".trial";
    const bool made = static_cast<bool>(std::ofstream(trial));
    std::filesystem::remove(trial, error);
    if (!made) {
        why = "its folder cannot be written";
    }
    return made;
}

int Usage(const std::string& problem) {
    std::cerr << "hostsim: " << problem << "\n" << kUsage;
    return 2;
}

/// The command line with short options written together ("-qk") taken apart ("-q", "-k").
std::vector<std::string> Arguments(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool bundle = arg.size() > 2 && arg[0] == '-' && arg[1] != '-';
        if (!bundle || (i > 1 && (arguments.back() == "--plugins" || arguments.back() == "--registry"))) {
            arguments.push_back(arg);
            continue;
        }
        for (size_t letter = 1; letter < arg.size(); ++letter) {
            arguments.push_back(std::string("-") + arg[letter]);
        }
    }
    return arguments;
}

}  // namespace

int main(int argc, char** argv) {
    std::string pluginFolder = (ExecutableFolder(argv[0]).parent_path() / "plugins").string();
    std::string registryFile;
    if (const char* variable = std::getenv(kRegistryVariable); variable != nullptr && *variable != '\0') {
        registryFile = variable;
    }
    std::string scriptPath;
    hostsim::ScriptRunner::Settings settings;
    const std::vector<std::string> arguments = Arguments(argc, argv);
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (arg == "--plugins" || arg == "--registry") {
            if (i + 1 >= arguments.size()) {
                return Usage(arg + " needs a value");
            }
            (arg == "--plugins" ? pluginFolder : registryFile) = arguments[++i];
        } else if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (arg == "--version") {
            std::cout << "hostsim " << HOSTSIM_VERSION << " (simulated host, plug-in interface 0x05000005)\n";
            return 0;
        } else if (arg == "-k" || arg == "--keep-going") {
            settings.keepGoing = true;
        } else if (arg == "-q" || arg == "--quiet") {
            settings.verbosity = hostsim::Verbosity::Quiet;
        } else if (arg == "-v" || arg == "--verbose") {
            settings.verbosity = hostsim::Verbosity::Verbose;
        } else if (scriptPath.empty() && (arg == "-" || arg[0] != '-')) {
            scriptPath = arg;
        } else {
            return Usage(arg[0] == '-' ? "unknown option " + arg : "one script at a time: " + arg);
        }
    }
    if (scriptPath.empty()) {
        return Usage("no script given");
    }
    settings.pluginFolder = pluginFolder;

    std::ifstream file;
    if (scriptPath != "-") {
        // A folder opens as a stream that reads nothing: it is refused before it is read.
        std::error_code error;
        if (!std::filesystem::is_directory(scriptPath, error)) {
            errno = 0;
            file.open(scriptPath);
        }
        if (!file.is_open()) {
            std::cerr << scriptPath
                      << ": error: the script cannot be read: " << host::WhyFileCannotBeRead(scriptPath, "a script")
                      << "\n";
            return 2;
        }
    }
    std::istream& script = scriptPath == "-" ? std::cin : file;
    // Files are named in the transcript from the folder hostsim runs in, else from the script's.
    {
        std::error_code error;
        std::vector<std::string> folders{std::filesystem::current_path(error).string()};
        if (scriptPath != "-") {
            folders.push_back(std::filesystem::absolute(scriptPath, error).parent_path().string());
        }
        win::SetTranscriptFolders(folders);
    }

    const bool fresh = registryFile.empty();
    if (fresh) {
        registryFile = FreshRegistryFile().string();
    }
    std::string why;
    if (!fresh && !RegistryWritable(registryFile, why)) {
        std::cerr << registryFile << ": error: the registry file cannot be used: " << why << "\n";
        return 2;
    }
    std::string registryError;
    if (!win::UseRegistryFile(registryFile, &registryError)) {
        std::cerr << "hostsim: the registry file is damaged: " << registryError << "\n";
        return 2;
    }

    bool ok = true;
    const hostsim::ScriptRunner* active = nullptr;
    win::SetTranscriptListener(
        [&active, quiet = settings.verbosity == hostsim::Verbosity::Quiet](const std::string& line) {
            if (active != nullptr ? active->Printing() : !quiet) {
                std::cout << line << "\n";
            }
        });
    {
        host::Host host;
        hostsim::ScriptRunner runner(host, settings);
        active = &runner;
        ok = runner.Run(script, scriptPath == "-" ? "<stdin>" : scriptPath, std::cerr);
        ok = runner.Finish(std::cerr) && ok;
        if (settings.keepGoing && runner.ErrorCount() + runner.WarningCount() > 0) {
            std::cerr << "hostsim: " << runner.ErrorCount() << (runner.ErrorCount() == 1 ? " error, " : " errors, ")
                      << runner.WarningCount() << (runner.WarningCount() == 1 ? " warning\n" : " warnings\n");
        }
        active = nullptr;
    }
    // The host's end unloads the plug-ins, which still write to the transcript.
    win::SetTranscriptListener({});
    std::cout.flush();
    if (fresh) {
        win::UseRegistryFile("");
        std::error_code ignored;
        std::filesystem::remove(registryFile, ignored);
    }
    return ok ? 0 : 1;
}
