// Shared test support: a fresh desktop and an empty registry for every test, and transcript
// and file comparison (the platform only: every test program links it).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

/// What a test can leave behind in a library above the platform: `closeShown` closes what the
/// user still sees, as at the end of a session; `left` then names what is still running or open
/// ("a print run"). Empty when nothing.
struct LeftoverCheck {
    void (*closeShown)() = nullptr;
    std::vector<std::string> (*left)() = nullptr;
};

/// Adds a check that every DesktopTest runs after its case (a program that links Orvex188's core
/// adds the core's at start-up, tests/support/core_leftovers.cpp). Returns true.
bool AddLeftoverCheck(LeftoverCheck check);

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

}  // namespace testsupport
