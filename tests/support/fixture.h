// Shared test support: a fresh desktop and an empty registry for every test, transcript
// comparison, and running hostsim.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

/// Every test starts on a fresh desktop with an empty registry kept in a temporary file, in a
/// temporary folder that is its working folder, and fails when it leaves anything behind (see
/// ExpectNothingLeft).
class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    /// Ends the test as a user ends a session and fails it for what is left behind instead of
    /// cleaning up silently: the user closes the modeless forms still shown (through their close
    /// boxes), and then no form may stay open, no entry array stay lent, no explosion or other
    /// multi-step command, print run or command be running and no options dialog wait for its
    /// OK. A fixture that cleans up calls it first thing in its TearDown (DesktopTest::TearDown
    /// calls it too; the check runs once).
    void ExpectNothingLeft();

    /// The registry file of this test.
    const std::filesystem::path& RegistryFile() const { return m_registryFile; }
    /// A temporary folder of this test, removed afterwards.
    const std::filesystem::path& TempFolder() const { return m_tempFolder; }

private:
    std::filesystem::path m_tempFolder;
    std::filesystem::path m_registryFile;
    std::filesystem::path m_previousFolder;
    bool m_leftoversChecked = false;
};

/// While it lives, a file the process writes cannot grow beyond `bytes`: a write past the limit
/// fails as on a full disk (the signal the system sends for it is ignored meanwhile).
class FileSizeLimit {
public:
    explicit FileSizeLimit(size_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    uint64_t m_previous = 0;
    void (*m_previousHandler)(int) = nullptr;
};

/// The names of the files in a folder, sorted.
std::vector<std::string> FileNames(const std::filesystem::path& folder);

/// The whole contents of a file ("" when it cannot be read).
std::string FileText(const std::filesystem::path& path);

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
/// Runs the built hostsim with the built plug-ins (or those of `plugins`) on a script text written
/// to `folder`/test.script, with further command-line options (given as they are to the shell), in
/// `workingFolder` when one is given.
HostsimResult RunHostsimWith(const std::string& scriptText, const std::filesystem::path& folder,
                             const std::string& options, const std::filesystem::path& workingFolder = {},
                             const std::filesystem::path& plugins = {});
/// A folder in `folder` holding copies of the named built modules ("Orvex188.fxt", ...).
std::filesystem::path PluginFolder(const std::filesystem::path& folder, const std::vector<std::string>& modules);

}  // namespace testsupport
