// Private profile files: reading values, section and key lists, numbers, and writing.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/win/handles.h"
#include "platform/win/profile.h"
#include "tests/support/case_names.h"
#include "tests/support/fixture.h"

namespace {

class ProfileTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        m_file = (TempFolder() / "FINALE.INI").string();
        std::ofstream(m_file) << "; the host's settings\r\n"
                                 "[Directories]\r\n"
                                 "  FontAnnotationDir = C:\\Finale\\Fonts  \r\n"
                                 "Quoted=\"  spaced value  \"\r\n"
                                 "Single='x'\r\n"
                                 "\r\n"
                                 "[Numbers]\n"
                                 "Answer=42abc\n"
                                 "Negative=-7\n"
                                 "Word=abc\n"
                                 "Empty=\n"
                                 "\n";
    }
    std::string Read(std::optional<std::string_view> section, std::optional<std::string_view> key,
                     std::string_view fallback = "", uint32_t size = 256) {
        std::array<char, 256> buffer;
        buffer.fill('#');
        m_copied = win::GetPrivateProfileString(section, key, fallback, buffer.data(), size, m_file);
        return std::string(buffer.data(), m_copied);
    }
    std::string Contents() {
        std::ifstream in(m_file, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::string m_file;
    uint32_t m_copied = 0;
};

struct ReadCase {
    const char* section;
    const char* key;
    const char* fallback;
    const char* value;
};

class ProfileReadTest : public ProfileTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ProfileReadTest, ReadsAValue) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(Read(c.section, c.key, c.fallback), c.value);
    EXPECT_EQ(win::GetPrivateProfileString(c.section, c.key, c.fallback, m_file), c.value);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Values, ProfileReadTest, ::testing::Values(
    ReadCase{"Directories", "FontAnnotationDir", "", "C:\\Finale\\Fonts"},
    ReadCase{"DIRECTORIES", "fontannotationdir", "", "C:\\Finale\\Fonts"},  // names in any case
    ReadCase{"Directories", "Quoted", "", "  spaced value  "},
    ReadCase{"Directories", "Single", "", "x"},
    ReadCase{"Numbers", "Empty", "fallback", ""},
    ReadCase{"Numbers", "Missing", "fall back  ", "fall back"},  // trailing blanks of the default go
    ReadCase{"Nowhere", "Answer", "d", "d"},
    ReadCase{"Directories", "Answer", "d", "d"}),
    testsupport::NameBy(&ReadCase::section, &ReadCase::key, &ReadCase::fallback));  // a key of another section
// clang-format on

TEST_F(ProfileTest, AMissingFileGivesTheDefault) {
    m_file = (TempFolder() / "none.ini").string();
    win::SetLastError(0);
    EXPECT_EQ(Read("Directories", "FontAnnotationDir", "none"), "none");
    EXPECT_EQ(win::GetLastError(), win::ERROR_FILE_NOT_FOUND);
}

TEST_F(ProfileTest, TheBufferCutsTheValue) {
    EXPECT_EQ(Read("Directories", "Single", "", 1), "");
    EXPECT_EQ(Read("Directories", "FontAnnotationDir", "", 5), "C:\\F");
    EXPECT_EQ(m_copied, 4u);
    win::SetLastError(0);
    EXPECT_EQ(win::GetPrivateProfileString("Directories", "Single", "", nullptr, 10, m_file), 0u);
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_PARAMETER);
}

TEST_F(ProfileTest, SectionAndKeyLists) {
    EXPECT_EQ(Read(std::nullopt, std::nullopt), std::string("Directories\0Numbers\0", 20));
    EXPECT_EQ(Read("numbers", std::nullopt), std::string("Answer\0Negative\0Word\0Empty\0", 27));
    // A list cut short answers size - 2 and ends in two zeros.
    std::array<char, 8> buffer;
    buffer.fill('#');
    EXPECT_EQ(win::GetPrivateProfileString(std::nullopt, std::nullopt, "", buffer.data(), 8, m_file), 6u);
    EXPECT_EQ(std::string(buffer.data(), 8), std::string("Directo\0", 8).replace(6, 2, std::string("\0\0", 2)));
}

TEST_F(ProfileTest, Numbers) {
    EXPECT_EQ(win::GetPrivateProfileInt("Numbers", "Answer", 5, m_file), 42u);
    EXPECT_EQ(static_cast<int32_t>(win::GetPrivateProfileInt("Numbers", "Negative", 5, m_file)), -7);
    EXPECT_EQ(win::GetPrivateProfileInt("Numbers", "Word", 5, m_file), 0u);
    EXPECT_EQ(win::GetPrivateProfileInt("Numbers", "Missing", 5, m_file), 5u);
    // Numbers beyond 32 bits give the default, never a wrapped value.
    m_file = (TempFolder() / "large.ini").string();
    std::ofstream(m_file) << "[Numbers]\nHuge=99999999999999999999\nLarge=4294967295\nBeyond=4294967296\n"
                             "Lowest=-2147483648\nBelow=-2147483649\n";
    EXPECT_EQ(win::GetPrivateProfileInt("Numbers", "Huge", 5, m_file), 5u);
    EXPECT_EQ(win::GetPrivateProfileInt("Numbers", "Large", 5, m_file), 4294967295u);
    EXPECT_EQ(win::GetPrivateProfileInt("Numbers", "Beyond", 5, m_file), 5u);
    EXPECT_EQ(static_cast<int32_t>(win::GetPrivateProfileInt("Numbers", "Lowest", 5, m_file)), INT32_MIN);
    EXPECT_EQ(win::GetPrivateProfileInt("Numbers", "Below", 5, m_file), 5u);
}

TEST_F(ProfileTest, Writing) {
    ASSERT_TRUE(win::WritePrivateProfileString("Numbers", "Answer", "43", m_file));
    ASSERT_TRUE(win::WritePrivateProfileString("numbers", "Added", "1", m_file));
    ASSERT_TRUE(win::WritePrivateProfileString("Directories", "Single", std::nullopt, m_file));
    ASSERT_TRUE(win::WritePrivateProfileString("New", "Key", "v", m_file));
    EXPECT_EQ(Contents(),
              "; the host's settings\r\n"
              "[Directories]\r\n"
              "  FontAnnotationDir = C:\\Finale\\Fonts  \r\n"
              "Quoted=\"  spaced value  \"\r\n"
              "\r\n"
              "[Numbers]\r\n"
              "Answer=43\r\n"
              "Negative=-7\r\n"
              "Word=abc\r\n"
              "Empty=\r\n"
              "Added=1\r\n"
              "\r\n"
              "[New]\r\n"
              "Key=v\r\n");
    ASSERT_TRUE(win::WritePrivateProfileString("Numbers", std::nullopt, std::nullopt, m_file));
    EXPECT_EQ(Read("Numbers", "Answer", "gone"), "gone");
    EXPECT_EQ(Read("New", "Key"), "v");
}

TEST_F(ProfileTest, AFailedWriteLeavesTheFileAsItWas) {
    const std::string before = Contents();
    const std::vector<std::string> files = testsupport::FileNames(TempFolder());
    {
        testsupport::FileSizeLimit full(before.size());
        win::SetLastError(0);
        EXPECT_FALSE(win::WritePrivateProfileString("Numbers", "Added", "1", m_file));
        EXPECT_EQ(win::GetLastError(), win::ERROR_ACCESS_DENIED);
    }
    EXPECT_EQ(Contents(), before);
    EXPECT_EQ(testsupport::FileNames(TempFolder()), files);
}

TEST_F(ProfileTest, WritingMakesTheFile) {
    m_file = (TempFolder() / "new.ini").string();
    ASSERT_TRUE(win::WritePrivateProfileString("Directories", "FontAnnotationDir", "/fonts", m_file));
    EXPECT_EQ(Contents(), "[Directories]\r\nFontAnnotationDir=/fonts\r\n");
    win::SetLastError(0);
    EXPECT_FALSE(win::WritePrivateProfileString("A", "B", "C", (TempFolder() / "no/such/folder/x.ini").string()));
    EXPECT_EQ(win::GetLastError(), win::ERROR_ACCESS_DENIED);
}

}  // namespace
