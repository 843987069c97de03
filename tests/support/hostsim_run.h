// Running the built hostsim with the built plug-ins: the end-to-end tests' way to a whole session.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

struct HostsimResult {
    int exitCode = -1;
    std::vector<std::string> out;  ///< standard output, by line
    std::string err;               ///< standard error
};

/// Runs the built hostsim on a script text with the built plug-ins and a registry file.
HostsimResult RunHostsim(const std::string& scriptText, const std::filesystem::path& registryFile);
/// Runs the built hostsim with the built plug-ins (or those of `plugins`) on a script text written
/// to `folder`/test.script, with further command-line options (given as they are to the shell), in
/// `workingFolder` when one is given.
HostsimResult RunHostsimWith(const std::string& scriptText, const std::filesystem::path& folder,
                             const std::string& options, const std::filesystem::path& workingFolder = {},
                             const std::filesystem::path& plugins = {});
/// A folder in `folder` holding copies of the named built modules ("Orvex188.fxt", ...).
std::filesystem::path PluginFolder(const std::filesystem::path& folder, const std::vector<std::string>& modules);

}  // namespace testsupport
