// Lumvar2000's preferences, the notify list, registry settings for clients, the name of the
// host's settings file and the debug console.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/hostapi/bytes.h"
#include "platform/win/console.h"
#include "platform/win/process.h"
#include "platform/win/registry.h"
#include "service/preferences.h"
#include "tests/service/lumvar_fixture.h"
#include "tests/support/case_names.h"

namespace {

using lumvar::LumvarPrefs;

class PreferencesTest : public lumvartest::LumvarHostTest {
protected:
    void TearDown() override {
        ExpectNothingLeft();
        LumvarHostTest::TearDown();
    }
    void Store(const std::vector<uint8_t>& bytes) {
        ASSERT_EQ(
            lumvar::WriteSettings(bytes.data(), static_cast<uint32_t>(bytes.size()), "Software\\Lumvar", "Preferences"),
            1);
    }
    static std::array<int16_t, 8> Globals(int16_t size) {
        std::array<uint8_t, 16> record;
        record.fill(0xEE);
        hostapi::WriteI16(record.data(), 0, size);
        EXPECT_EQ(lumvar::GetGlobals(record.data()), 0);
        std::array<int16_t, 8> words{};
        for (size_t i = 0; i < 8; ++i) {
            words[i] = hostapi::ReadI16(record.data(), 2 * i);
        }
        return words;
    }
};

TEST_F(PreferencesTest, DefaultsWhenNothingIsStored) {
    lumvar::ReadPreferences();
    const std::array<int16_t, 8> expected = {16, 0, 1, 0, 0, 1, 0, 60};
    EXPECT_EQ(Globals(16), expected);
}

TEST_F(PreferencesTest, TheSizeWordChoosesTheWordsCopied) {
    Store({0, 0, 1, 0, 1, 0, 7, 0, 1, 0, 0, 0, 1, 0, 50, 0});
    lumvar::ReadPreferences();
    const int16_t untouched = static_cast<int16_t>(0xEEEE);
    EXPECT_EQ(Globals(8), (std::array<int16_t, 8>{8, 1, 1, 7, untouched, untouched, untouched, untouched}));
    EXPECT_EQ(Globals(12), (std::array<int16_t, 8>{12, 1, 1, 7, 1, 0, untouched, untouched}));
    EXPECT_EQ(Globals(16), (std::array<int16_t, 8>{16, 1, 1, 7, 1, 0, 1, 50}));
    std::array<uint8_t, 16> record{};
    hostapi::WriteI16(record.data(), 0, 10);
    record[2] = 0x33;
    EXPECT_EQ(lumvar::GetGlobals(record.data()), 13);
    EXPECT_EQ(record[2], 0x33);
    EXPECT_EQ(lumvar::GetGlobals(nullptr), 2);
}

TEST_F(PreferencesTest, AShortStoredValueReadsAsZeroes) {
    Store({0, 0, 0, 0, 1, 0, 3, 0, 0, 0, 1, 0});  // 12 bytes
    lumvar::ReadPreferences();
    EXPECT_EQ(Globals(16), (std::array<int16_t, 8>{16, 0, 1, 3, 0, 1, 0, 0}));
    EXPECT_EQ(lumvar::TransparencyFlag(), 0);
    EXPECT_EQ(lumvar::TransparencyPercent(), 60);
}

TEST_F(PreferencesTest, AnOverlongStoredValueGivesTheDefaults) {
    Store(std::vector<uint8_t>(18, 9));
    lumvar::ReadPreferences();
    EXPECT_EQ(Globals(16), (std::array<int16_t, 8>{16, 0, 1, 0, 0, 1, 0, 60}));
}

TEST_F(PreferencesTest, ReadersAndSetters) {
    lumvar::ReadPreferences();
    lumvar::SetSecondMonitorPreference(1);
    lumvar::SetUpdateLayoutPreference(0);
    lumvar::SetReturnFocusPreference(5);
    lumvar::SetCollapsePreference(0);
    lumvar::SetTransparencyPreference(1);
    EXPECT_EQ(lumvar::Allow2ndMonitor(), 1);
    EXPECT_EQ(lumvar::ULWhenNeeded(), 0);
    EXPECT_EQ(lumvar::ReturnFocusToFinale(), 5);
    EXPECT_EQ(lumvar::NonFocusCollapse(), 0);
    EXPECT_EQ(lumvar::TransparencyFlag(), 1);
    lumvar::SetLanguagePreference(-3);
    EXPECT_EQ(lumvar::UserLanguage(), 0);
    lumvar::SetLanguagePreference(20);
    EXPECT_EQ(lumvar::UserLanguage(), 12);
    // A stored language out of range reads clamped.
    Store({0, 0, 0, 0, 1, 0, 30, 0});
    lumvar::ReadPreferences();
    EXPECT_EQ(lumvar::UserLanguage(), 12);
    EXPECT_EQ(Globals(8)[3], 30);
}

TEST_F(PreferencesTest, TransparencyPercentOutsideOneTo99ReadsAs60) {
    for (const auto& [stored, read] :
         std::vector<std::pair<int16_t, int16_t>>{{1, 1}, {99, 99}, {0, 60}, {100, 60}, {-5, 60}}) {
        std::vector<uint8_t> bytes(16, 0);
        hostapi::WriteI16(bytes.data(), 14, stored);
        Store(bytes);
        lumvar::ReadPreferences();
        EXPECT_EQ(lumvar::TransparencyPercent(), read) << "stored " << stored;
    }
}

// ---- Notify list ----

std::vector<std::string>& Calls() {
    static std::vector<std::string> calls;
    return calls;
}

void First(uint8_t code, int32_t size, const void* data) {
    Calls().push_back("first " + std::to_string(code) + "/" + std::to_string(size) + "/" +
                      std::to_string(data == nullptr ? -1 : hostapi::ReadI16(static_cast<const uint8_t*>(data), 0)));
}
void Second(uint8_t code, int32_t, const void*) {
    Calls().push_back("second " + std::to_string(code));
}
void RemovesItself(uint8_t, int32_t, const void*) {
    Calls().push_back("removes itself");
    lumvar::SetNotifyHook(RemovesItself, 0);
}

TEST_F(PreferencesTest, NotifyListInRegistrationOrder) {
    Calls().clear();
    EXPECT_EQ(lumvar::SetNotifyHook(nullptr, 1), 0);
    EXPECT_EQ(lumvar::SetNotifyHook(First, 1), 1);
    EXPECT_EQ(lumvar::SetNotifyHook(Second, 1), 1);
    EXPECT_EQ(lumvar::SetNotifyHook(First, 1), 1);  // already there: no change
    EXPECT_EQ(lumvar::NotifyCount(), 2u);
    lumvar::NotifyValue(55, 1);
    lumvar::NotifyBroadcast(53, 0, nullptr);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"first 55/2/1", "second 55", "first 53/0/-1", "second 53"}));
    EXPECT_EQ(lumvar::SetNotifyHook(First, 0), 1);
    EXPECT_EQ(lumvar::NotifyCount(), 1u);
    EXPECT_EQ(lumvar::SetNotifyHook(Second, 0), 1);
    EXPECT_EQ(lumvar::NotifyCount(), 0u);
    EXPECT_EQ(lumvar::SetNotifyHook(Second, 0), 0);  // removing it again fails
    EXPECT_FALSE(lumvar::AnyClientRegistered());
}

TEST_F(PreferencesTest, ACallbackMayLeaveTheListWhileItIsTold) {
    Calls().clear();
    lumvar::SetNotifyHook(RemovesItself, 1);
    lumvar::SetNotifyHook(Second, 1);
    lumvar::NotifyBroadcast(101, 0, nullptr);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"removes itself", "second 101"}));
    EXPECT_EQ(lumvar::NotifyCount(), 1u);
}

// ---- Registry settings ----

TEST_F(PreferencesTest, ClientSettings) {
    const std::vector<uint8_t> value = {1, 2, 3};
    EXPECT_EQ(lumvar::WriteSettings(value.data(), 3, "Software\\Client\\Deep", "Data"), 1);
    std::array<uint8_t, 6> read;
    read.fill(0xFF);
    EXPECT_EQ(lumvar::ReadSettings(read.data(), 6, "Software\\Client\\Deep", "Data"), 1);
    EXPECT_EQ(read, (std::array<uint8_t, 6>{1, 2, 3, 0, 0, 0}));
    EXPECT_EQ(lumvar::ReadSettings(read.data(), 2, "Software\\Client\\Deep", "Data"), 0);  // larger than the room
    EXPECT_EQ(lumvar::ReadSettings(read.data(), 6, "Software\\Client\\Deep", "Other"), 0);
    EXPECT_EQ(lumvar::ReadSettings(read.data(), 6, "Software\\Nothing", "Data"), 0);
    EXPECT_EQ(lumvar::ReadSettings(nullptr, 6, "Software\\Client\\Deep", "Data"), 0);
    win::Hkey key{};
    ASSERT_EQ(win::RegOpenKeyEx(win::HKEY_CURRENT_USER, "Software\\Client\\Deep", win::KEY_READ, key), 0u);
    uint32_t type = 0;
    std::vector<uint8_t> data;
    ASSERT_EQ(win::RegQueryValueEx(key, "Data", type, data), 0u);
    win::RegCloseKey(key);
    EXPECT_EQ(type, win::REG_BINARY);
    EXPECT_EQ(data, value);
}

// ---- The host's settings file ----

struct IniCase {
    const char* commandLine;
    const char* name;      ///< in the host program's folder
    const char* absolute;  ///< used as it is
};

class IniNameTest : public PreferencesTest, public ::testing::WithParamInterface<IniCase> {};

TEST_P(IniNameTest, FollowsTheHostsCommandLine) {
    win::SetCommandLine(GetParam().commandLine);
    const std::string program = win::GetModuleFileName(win::GetModuleHandle(""));
    const std::string folder = program.substr(0, program.find_last_of('/') + 1);
    const std::string expected = GetParam().absolute != nullptr ? GetParam().absolute : folder + GetParam().name;
    EXPECT_EQ(lumvar::IniFileName(), expected);
    std::array<char, lumvar::kMaxPath> out{};
    EXPECT_EQ(lumvar::GetINIFileName(out.data()), 0);
    EXPECT_EQ(std::string(out.data()), expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(CommandLines, IniNameTest, ::testing::Values(
    IniCase{"\"C:\\Finale\\Finale.exe\"", "FINALE.INI", nullptr},
    IniCase{"finale -imy.ini", "my.ini", nullptr},
    IniCase{"  finale.exe other -iSettings.ini -x", "Settings.ini", nullptr},
    IniCase{"\"C:\\Program Files\\Finale.exe\" -I\"C:\\cfg dir\\a.ini\" x", nullptr, "C:\\cfg dir\\a.ini"},
    IniCase{"finale -I\\\\server\\f.ini", nullptr, "\\\\server\\f.ini"},
    IniCase{"finale -iD:x.ini", nullptr, "D:x.ini"},
    IniCase{"finale -i/etc/finale.ini", nullptr, "/etc/finale.ini"},
    IniCase{"finale -i other.ini", "FINALE.INI", nullptr},           // a blank after -i: no name
    IniCase{"finale -i\"unterminated", "FINALE.INI", nullptr},        // no closing quote: no name
    IniCase{"\"C:\\x -iquoted.ini\\Finale.exe\"", "FINALE.INI", nullptr}),
    testsupport::NameBy(&IniCase::commandLine));  // inside the program's path
// clang-format on

TEST_F(PreferencesTest, INIFileNameNeedsRoom) {
    EXPECT_EQ(lumvar::GetINIFileName(nullptr), 2);
    win::SetCommandLine("finale -i/" + std::string(300, 'x'));
    std::array<char, lumvar::kMaxPath> out;
    out.fill('z');
    EXPECT_EQ(lumvar::GetINIFileName(out.data()), 4);
    EXPECT_EQ(out[0], '\0');
}

// ---- Debug console ----

TEST_F(PreferencesTest, TheDebugConsoleOpensOnFirstUse) {
    EXPECT_FALSE(win::HasConsole());
    EXPECT_EQ(lumvar::PrintfOutput("first line\n"), 1);
    EXPECT_TRUE(win::HasConsole());
    EXPECT_TRUE(lumvar::DebugConsoleOpen());
    EXPECT_EQ(win::GetConsoleTitle(), "Lumvar Debug Console");
    EXPECT_EQ(lumvar::PrintfOutput("caf\xE9"), 1);  // the client's 8-bit text
    const auto& lines = win::TranscriptLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "[console] first line"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "[console] café"), lines.end());
    // Closing the console window is claimed; other events are not.
    EXPECT_TRUE(win::RaiseConsoleEvent(win::CTRL_CLOSE_EVENT));
    EXPECT_TRUE(win::HasConsole());
    EXPECT_FALSE(win::RaiseConsoleEvent(win::CTRL_C_EVENT));
}

TEST_F(PreferencesTest, AConsoleThatCannotOpenIsTriedAgain) {
    ASSERT_TRUE(win::AllocConsole());  // someone else's console
    EXPECT_EQ(lumvar::PrintfOutput("x"), 1);
    EXPECT_FALSE(lumvar::DebugConsoleOpen());
    ASSERT_TRUE(win::FreeConsole());
    EXPECT_EQ(lumvar::PrintfOutput("y"), 1);
    EXPECT_TRUE(lumvar::DebugConsoleOpen());
}

}  // namespace
