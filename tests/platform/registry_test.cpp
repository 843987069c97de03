// The registry and its file: values of every kind survive a write and a fresh load, the file
// reads back as written, and a damaged file is refused with the line that is wrong.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/vcl/registry.h"
#include "platform/win/registry.h"
#include "platform/win/transcript.h"
#include "tests/support/fixture.h"

namespace {

class RegistryTest : public testsupport::DesktopTest {
protected:
    std::string FileText() {
        std::ifstream in(RegistryFile(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void WriteFile(const std::string& text) { std::ofstream(RegistryFile(), std::ios::binary) << text; }
};

TEST_F(RegistryTest, ValuesRoundTripThroughTheFile) {
    {
        vcl::TRegistry registry;
        ASSERT_TRUE(registry.OpenKey("Software\\HALVORAN", true));
        registry.WriteString("Plain", "Vx 1.88d");
        registry.WriteString("Tricky", "a \"quoted\" \\path\\\nsecond line\ttab \x01 Ümlaut");
        registry.WriteString("Empty", "");
        registry.WriteInteger("Number", -2);
        registry.WriteBinaryData("Bytes", {0x00, 0xFF, 0x10});
        ASSERT_TRUE(registry.OpenKey("Software\\Lumvar", true));
        registry.WriteString("Preferences", "x");
    }
    const std::string written = FileText();
    ASSERT_TRUE(win::UseRegistryFile(RegistryFile().string()));
    vcl::TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("software\\halvoran", false));  // keys are found in any case
    EXPECT_EQ(registry.ReadString("Plain"), "Vx 1.88d");
    EXPECT_EQ(registry.ReadString("tricky"), "a \"quoted\" \\path\\\nsecond line\ttab \x01 Ümlaut");
    EXPECT_TRUE(registry.ValueExists("Empty"));
    EXPECT_EQ(registry.ReadString("Empty"), "");
    EXPECT_EQ(registry.ReadInteger("Number"), -2);
    EXPECT_EQ(registry.ReadBinaryData("Bytes"), (std::vector<uint8_t>{0x00, 0xFF, 0x10}));
    EXPECT_FALSE(registry.ValueExists("Missing"));
    EXPECT_EQ(registry.ReadString("Missing"), "");
    EXPECT_THROW(registry.ReadString("Number"), vcl::ERegistryException);
    // Loading and writing again gives the same file.
    registry.WriteString("Plain", "Vx 1.88d");
    EXPECT_EQ(FileText(), written);
}

TEST_F(RegistryTest, FileFormatIsSortedAndReadable) {
    vcl::TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("Software\\HALVORAN", true));
    registry.WriteString("b", "2");
    registry.WriteString("A", "1");
    registry.WriteInteger("n", 10);
    registry.WriteBinaryData("h", {0xAB, 0x01});
    const std::vector<std::string> expected = {"Windows Registry Editor Version 5.00",
                                               "",
                                               "[HKEY_CURRENT_USER]",
                                               "",
                                               "[HKEY_CURRENT_USER\\Software]",
                                               "",
                                               "[HKEY_CURRENT_USER\\Software\\HALVORAN]",
                                               "\"A\"=\"1\"",
                                               "\"b\"=\"2\"",
                                               "\"h\"=hex:ab,01",
                                               "\"n\"=dword:0000000a"};
    std::vector<std::string> lines;
    std::istringstream in(FileText());
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    testsupport::ExpectLines(expected, lines);
}

TEST_F(RegistryTest, DamagedFileIsRefusedNamingTheLine) {
    WriteFile("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\X]\n\"a\"=\"1\"\n\"b\"=\"open\n");
    std::string error;
    EXPECT_FALSE(win::UseRegistryFile(RegistryFile().string(), &error));
    EXPECT_NE(error.find(":5: unterminated string"), std::string::npos) << error;
    // Nothing of the damaged file is kept.
    win::Hkey key{};
    EXPECT_EQ(win::RegOpenKeyEx(win::HKEY_CURRENT_USER, "Software\\X", win::KEY_READ, key), win::ERROR_FILE_NOT_FOUND);

    WriteFile("REGEDIT4\n");
    EXPECT_FALSE(win::UseRegistryFile(RegistryFile().string(), &error));
    EXPECT_NE(error.find(":1: the file does not begin with"), std::string::npos) << error;

    WriteFile("");
    EXPECT_FALSE(win::UseRegistryFile(RegistryFile().string(), &error));
    EXPECT_EQ(error, RegistryFile().string() +
                         ":1: the file is empty: it does not begin with \"Windows Registry Editor Version 5.00\"");
    WriteFile("\n; only a comment\n\n");
    EXPECT_FALSE(win::UseRegistryFile(RegistryFile().string(), &error));
    EXPECT_EQ(error, RegistryFile().string() +
                         ":1: the file is empty: it does not begin with \"Windows Registry Editor Version 5.00\"");

    WriteFile("Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\Software]\n");
    EXPECT_FALSE(win::UseRegistryFile(RegistryFile().string(), &error));
    EXPECT_NE(error.find(":2: only keys below HKEY_CURRENT_USER"), std::string::npos) << error;
}

struct DamagedValue {
    const char* name;
    const char* line;
    const char* message;
};

class RegistryDamageTest : public RegistryTest, public ::testing::WithParamInterface<DamagedValue> {};

// A damaged value line is refused with its line number whatever its numbers hold: the reader
// neither stops the program nor wraps a number into another type.
TEST_P(RegistryDamageTest, AValueLineIsRefusedNamingTheLine) {
    const std::string text =
        std::string("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software]\n") + GetParam().line + "\n";
    WriteFile(text);
    std::string error;
    EXPECT_FALSE(win::UseRegistryFile(RegistryFile().string(), &error));
    EXPECT_EQ(error, RegistryFile().string() + ":4: " + GetParam().message);
    EXPECT_EQ(FileText(), text);
    EXPECT_TRUE(win::RegistryFilePath().empty());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Lines, RegistryDamageTest, ::testing::Values(
    DamagedValue{"NoType", "\"\"=hex():", "the type of a hex(N) value is a decimal number, not \"\""},
    DamagedValue{"NegativeType", "\"a\"=hex(-1):00", "the type of a hex(N) value is a decimal number, not \"-1\""},
    DamagedValue{"HexType", "\"a\"=hex(b):00", "the type of a hex(N) value is a decimal number, not \"b\""},
    DamagedValue{"TypeTooLarge", "\"a\"=hex(99999999999999999999):",
                 "the type of a hex(N) value is at most 4294967295, not 99999999999999999999"},
    DamagedValue{"TypeJustTooLarge", "\"a\"=hex(4294967296):",
                 "the type of a hex(N) value is at most 4294967295, not 4294967296"},
    DamagedValue{"ShortDword", "\"a\"=dword:1234567", "a dword needs 8 hex digits"},
    DamagedValue{"SignedDword", "\"a\"=dword:-1234567", "a dword needs 8 hex digits"},
    DamagedValue{"OddHexDigits", "\"a\"=hex:0", "bad hex byte"},
    DamagedValue{"NoEquals", "\"a\"", "expected '=' after the value name"}),
    [](const ::testing::TestParamInfo<DamagedValue>& testCase) { return std::string(testCase.param.name); });
// clang-format on

TEST_F(RegistryTest, TheLargestTypeIsKept) {
    WriteFile("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software]\n\"a\"=hex(4294967295):01\n");
    ASSERT_TRUE(win::UseRegistryFile(RegistryFile().string()));
    win::Hkey key{};
    ASSERT_EQ(win::RegOpenKeyEx(win::HKEY_CURRENT_USER, "Software", win::KEY_READ, key), win::ERROR_SUCCESS);
    uint32_t type = 0;
    std::vector<uint8_t> data;
    ASSERT_EQ(win::RegQueryValueEx(key, "a", type, data), win::ERROR_SUCCESS);
    EXPECT_EQ(type, 0xFFFFFFFFu);
    EXPECT_EQ(data, std::vector<uint8_t>{1});
}

// A change the file cannot take (the disk is full) is not made: the call says so, the file keeps
// what it held, no temporary file is left and the transcript tells the user.
TEST_F(RegistryTest, AChangeTheFileCannotTakeIsNotMade) {
    win::Hkey key{};
    ASSERT_EQ(win::RegCreateKeyEx(win::HKEY_CURRENT_USER, "Software\\HALVORAN", win::KEY_ALL_ACCESS, key),
              win::ERROR_SUCCESS);
    ASSERT_EQ(win::RegSetValueEx(key, "Kept", win::REG_SZ, {'o', 'l', 'd'}), win::ERROR_SUCCESS);
    const std::string before = FileText();
    const std::vector<std::string> files = testsupport::FileNames(TempFolder());
    win::ClearTranscript();
    {
        testsupport::FileSizeLimit full(before.size());
        EXPECT_EQ(win::RegSetValueEx(key, "New", win::REG_SZ, {'n', 'e', 'w'}), win::ERROR_REGISTRY_IO_FAILED);
        EXPECT_EQ(win::RegSetValueEx(key, "Kept", win::REG_SZ, std::vector<uint8_t>(100, 'x')),
                  win::ERROR_REGISTRY_IO_FAILED);
        win::Hkey sub{};
        bool created = true;
        EXPECT_EQ(
            win::RegCreateKeyEx(win::HKEY_CURRENT_USER, "Software\\Other\\Deep", win::KEY_ALL_ACCESS, sub, &created),
            win::ERROR_REGISTRY_IO_FAILED);
    }
    EXPECT_EQ(FileText(), before);
    EXPECT_EQ(testsupport::FileNames(TempFolder()), files);
    uint32_t type = 0;
    std::vector<uint8_t> data;
    EXPECT_EQ(win::RegQueryValueEx(key, "New", type, data), win::ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(win::RegQueryValueEx(key, "Kept", type, data), win::ERROR_SUCCESS);
    EXPECT_EQ(data, (std::vector<uint8_t>{'o', 'l', 'd'}));
    win::Hkey other{};
    EXPECT_EQ(win::RegOpenKeyEx(win::HKEY_CURRENT_USER, "Software\\Other", win::KEY_READ, other),
              win::ERROR_FILE_NOT_FOUND);
    const std::string said =
        "registry: the file " + RegistryFile().string() + " cannot be written (File too large); the change is not kept";
    EXPECT_EQ(win::TranscriptLines(), (std::vector<std::string>{said, said, said}));
    // With room again, deleting works and reaches the file.
    EXPECT_EQ(win::RegDeleteValue(key, "Kept"), win::ERROR_SUCCESS);
    EXPECT_EQ(FileText().find("Kept"), std::string::npos);
}

TEST_F(RegistryTest, KeysAndValuesThroughTheWindowSystem) {
    win::Hkey key{};
    bool created = false;
    ASSERT_EQ(win::RegCreateKeyEx(win::HKEY_CURRENT_USER, "Software\\A\\B", win::KEY_ALL_ACCESS, key, &created),
              win::ERROR_SUCCESS);
    EXPECT_TRUE(created);
    win::Hkey again{};
    ASSERT_EQ(win::RegCreateKeyEx(win::HKEY_CURRENT_USER, "Software\\A\\B", win::KEY_ALL_ACCESS, again, &created),
              win::ERROR_SUCCESS);
    EXPECT_FALSE(created);
    uint32_t type = 0;
    std::vector<uint8_t> data;
    EXPECT_EQ(win::RegQueryValueEx(key, "none", type, data), win::ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(win::RegSetValueEx(key, "v", win::REG_SZ, {'x'}), win::ERROR_SUCCESS);
    EXPECT_EQ(win::RegDeleteValue(key, "v"), win::ERROR_SUCCESS);
    EXPECT_EQ(win::RegDeleteValue(key, "v"), win::ERROR_FILE_NOT_FOUND);
    // A key with subkeys cannot be deleted; a leaf can.
    EXPECT_EQ(win::RegDeleteKey(win::HKEY_CURRENT_USER, "Software\\A"), win::ERROR_ACCESS_DENIED);
    std::vector<std::string> names;
    win::Hkey parent{};
    ASSERT_EQ(win::RegOpenKeyEx(win::HKEY_CURRENT_USER, "Software\\A", win::KEY_READ, parent), win::ERROR_SUCCESS);
    EXPECT_EQ(win::RegEnumKeyNames(parent, names), win::ERROR_SUCCESS);
    EXPECT_EQ(names, std::vector<std::string>{"B"});
    EXPECT_EQ(win::RegDeleteKey(win::HKEY_CURRENT_USER, "Software\\A\\B"), win::ERROR_SUCCESS);
    // The handle of a deleted key no longer works.
    EXPECT_EQ(win::RegSetValueEx(key, "v", win::REG_SZ, {'x'}), win::ERROR_INVALID_HANDLE);
    EXPECT_EQ(win::RegCloseKey(key), win::ERROR_SUCCESS);
    EXPECT_EQ(win::RegCloseKey(key), win::ERROR_INVALID_HANDLE);
}

}  // namespace
