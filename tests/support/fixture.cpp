#include "tests/support/fixture.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/host/entry_arrays.h"
#include "platform/win/registry.h"
#include "platform/win/system.h"

namespace testsupport {
namespace {

std::filesystem::path MakeTempFolder() {
    std::random_device random;
    const auto folder = std::filesystem::temp_directory_path() /
                        ("orvex-test-" + std::to_string(::getpid()) + "-" + std::to_string(random()));
    std::filesystem::create_directories(folder);
    return folder;
}

std::vector<LeftoverCheck>& LeftoverChecks() {
    static std::vector<LeftoverCheck> checks;
    return checks;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

bool AddLeftoverCheck(LeftoverCheck check) {
    LeftoverChecks().push_back(check);
    return true;
}

void DesktopTest::SetUp() {
    m_tempFolder = MakeTempFolder();
    m_registryFile = m_tempFolder / "registry.reg";
    // The test runs in its folder: a file a command writes beside it (an export, a list) goes
    // away with the folder.
    m_previousFolder = std::filesystem::current_path();
    std::filesystem::current_path(m_tempFolder);
    win::ResetSystem();
    ASSERT_TRUE(win::UseRegistryFile(m_registryFile.string()));
}

void DesktopTest::ExpectNothingLeft() {
    if (m_leftoversChecked) {
        return;
    }
    m_leftoversChecked = true;
    // The user closes what is still shown; then nothing may run, stay open or stay lent.
    for (const LeftoverCheck& check : LeftoverChecks()) {
        check.closeShown();
    }
    // Every entry array the host lent must have gone back to it.
    for (const std::string& cell : host::ReclaimLentEntryArrays()) {
        ADD_FAILURE() << "the entry array of " << cell << " was not released";
    }
    for (const LeftoverCheck& check : LeftoverChecks()) {
        for (const std::string& left : check.left()) {
            ADD_FAILURE() << "the test left " << left;
        }
    }
}

void DesktopTest::TearDown() {
    ExpectNothingLeft();
    win::ResetSystem();
    std::error_code ignored;
    std::filesystem::current_path(m_previousFolder, ignored);
    std::filesystem::remove_all(m_tempFolder, ignored);
}

FileSizeLimit::FileSizeLimit(size_t bytes) {
    m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    m_previous = limit.rlim_cur;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = m_previous;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, m_previousHandler);
}

std::vector<std::string> FileNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string FileText(const std::filesystem::path& path) {
    return ReadFile(path);
}

void ExpectLines(const std::vector<std::string>& expected, const std::vector<std::string>& actual) {
    const size_t common = std::min(expected.size(), actual.size());
    for (size_t i = 0; i < common; ++i) {
        if (expected[i] != actual[i]) {
            ADD_FAILURE() << "first difference at line " << i + 1 << ":\n  expected: " << expected[i]
                          << "\n  actual:   " << actual[i];
            return;
        }
    }
    if (expected.size() != actual.size()) {
        ADD_FAILURE() << "expected " << expected.size() << " lines, got " << actual.size() << "; first extra line: "
                      << (expected.size() > actual.size() ? "(missing) " + expected[common] : actual[common]);
    }
}

std::vector<std::string> LinesStartingWith(const std::vector<std::string>& lines, const std::string& first,
                                           const std::string& prefix) {
    std::vector<std::string> result;
    auto it = std::find(lines.begin(), lines.end(), first);
    if (it == lines.end()) {
        return result;
    }
    for (++it; it != lines.end() && it->starts_with(prefix); ++it) {
        result.push_back(*it);
    }
    return result;
}

}  // namespace testsupport
