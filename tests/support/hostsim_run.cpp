#include "tests/support/hostsim_run.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/support/fixture.h"

namespace testsupport {
namespace {

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

HostsimResult RunHostsim(const std::string& scriptText, const std::filesystem::path& registryFile) {
    return RunHostsimWith(scriptText, registryFile.parent_path(), "--registry " + registryFile.string());
}

HostsimResult RunHostsimWith(const std::string& scriptText, const std::filesystem::path& folder,
                             const std::string& options, const std::filesystem::path& workingFolder,
                             const std::filesystem::path& plugins) {
    const auto scriptPath = folder / "test.script";
    const auto outPath = folder / "hostsim.out";
    const auto errPath = folder / "hostsim.err";
    std::ofstream(scriptPath, std::ios::binary) << scriptText;
    std::string command = std::string(HOSTSIM_PATH) + " --plugins " +
                          (plugins.empty() ? std::string(ORVEX_PLUGIN_DIR) : plugins.string()) + " " + options + " " +
                          scriptPath.string() + " >" + outPath.string() + " 2>" + errPath.string();
    // hostsim runs in the test's folder unless another is given, so that files a command writes
    // beside the document (an export, a list) stay there.
    command = "cd " + (workingFolder.empty() ? folder : workingFolder).string() + " && " + command;
    HostsimResult result;
    const int status = std::system(command.c_str());
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = SplitLines(FileText(outPath));
    result.err = FileText(errPath);
    return result;
}

std::filesystem::path PluginFolder(const std::filesystem::path& folder, const std::vector<std::string>& modules) {
    const std::filesystem::path plugins = folder / "plugins";
    std::filesystem::create_directories(plugins);
    for (const std::string& module : modules) {
        std::filesystem::copy_file(std::filesystem::path(ORVEX_PLUGIN_DIR) / module, plugins / module);
    }
    return plugins;
}

}  // namespace testsupport
