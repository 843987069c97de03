// Shared test support: a fresh desktop and an empty registry for every test, transcript
// comparison, and running hostsim.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

/// Every test starts on a fresh desktop with an empty registry kept in a temporary file, and
/// fails when it leaves an entry array lent by the host unreleased.
class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    /// The registry file of this test.
    const std::filesystem::path& RegistryFile() const { return m_registryFile; }
    /// A temporary folder of this test, removed afterwards.
    const std::filesystem::path& TempFolder() const { return m_tempFolder; }

private:
    std::filesystem::path m_tempFolder;
    std::filesystem::path m_registryFile;
};

/// Compares two sequences of lines and fails at the first difference, naming it.
void ExpectLines(const std::vector<std::string>& expected, const std::vector<std::string>& actual);

/// The lines of `lines` from the first one equal to `first` (inclusive) up to the first line that
/// does not start with `prefix` after it.
std::vector<std::string> LinesStartingWith(const std::vector<std::string>& lines, const std::string& first,
                                           const std::string& prefix);

struct HostsimResult {
    int exitCode = -1;
    std::vector<std::string> out;  ///< standard output, by line
    std::string err;               ///< standard error
};

/// Runs the built hostsim on a script text with the built plug-ins and a registry file.
HostsimResult RunHostsim(const std::string& scriptText, const std::filesystem::path& registryFile);
/// Runs the built hostsim with the built plug-ins on a script text written to `folder`/test.script,
/// with further command-line options (given as they are to the shell), in `workingFolder` when
/// one is given.
HostsimResult RunHostsimWith(const std::string& scriptText, const std::filesystem::path& folder,
                             const std::string& options, const std::filesystem::path& workingFolder = {});

}  // namespace testsupport
