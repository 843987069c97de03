// Start-up of Orvex188: versions and years, the host language, enumeration of the menu
// entries and the remembered answers kept in the registry across load and unload.
#include <gtest/gtest.h>

#include "core/commands.h"
#include "core/general_options.h"
#include "core/host/access_state.h"
#include "core/module.h"
#include "core/startup.h"
#include "platform/hostapi/records.h"
#include "platform/vcl/registry.h"
#include "platform/win/win.h"
#include "tests/support/case_names.h"
#include "tests/support/fixture.h"

namespace {

using namespace orvex;

class StartupTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        ResetModule();
    }

    /// A host window whose menu bar has these item texts, from position 0.
    win::Hwnd MakeHostWindow(std::initializer_list<const char*> menuBarTexts) {
        const win::Hwnd window = win::CreateWindow({.className = "Finale", .title = "Finale"});
        const win::Hmenu bar = win::CreateMenu();
        for (const char* text : menuBarTexts) {
            win::AppendMenu(bar, win::MF_POPUP, static_cast<uint32_t>(win::CreatePopupMenu()), text);
        }
        win::SetMenu(window, bar);
        return window;
    }

    void Start(int32_t rawVersion, std::initializer_list<const char*> menuBarTexts = {"&File", "&Edit", "&View"}) {
        FinaleExtensionVersion(rawVersion);
        int32_t result = -1;
        ASSERT_EQ(FinaleExtensionInit(MakeHostWindow(menuBarTexts), &result), 1);
        EXPECT_EQ(result, 0);
    }

    /// Enumerates as the host does; answers the records filled.
    std::vector<hostapi::MenuRecord> EnumerateAll() {
        std::vector<hostapi::MenuRecord> records;
        for (int16_t index = 0; index < 200; ++index) {
            hostapi::MenuRecord record;
            if (FinaleExtensionEnumerate(nullptr, index, record.bytes.data()) == 0) {
                break;
            }
            records.push_back(record);
        }
        return records;
    }

    std::string RegistryString(const char* name) {
        vcl::TRegistry registry;
        EXPECT_TRUE(registry.OpenKey(kSettingsKey, false));
        EXPECT_TRUE(registry.ValueExists(name)) << name;
        return registry.ReadString(name);
    }
};

struct YearCase {
    int32_t rawVersion;
    int32_t year;
};

class HostYearTest : public StartupTest, public ::testing::WithParamInterface<YearCase> {};

TEST_P(HostYearTest, YearFollowsTheRawVersionAndTheAnswerIsFixed) {
    EXPECT_EQ(FinaleExtensionVersion(GetParam().rawVersion), 0x5000005);
    EXPECT_EQ(Host().rawVersion, GetParam().rawVersion);
    EXPECT_EQ(Host().year, GetParam().year);
}

INSTANTIATE_TEST_SUITE_P(Boundaries, HostYearTest,
                         ::testing::Values(YearCase{0x3FFFFFF, 1997}, YearCase{0x4000000, 1998},
                                           YearCase{0x5FFFFFF, 2000}, YearCase{0x6000000, 2001},
                                           YearCase{0x6FFFFFF, 2001}, YearCase{0x7000000, 2002}),
                         testsupport::NameBy("raw", &YearCase::rawVersion, "year", &YearCase::year));

struct LanguageCase {
    const char* itemAtPosition2;
    int32_t languageIndex;
    bool italian;
};

class HostLanguageTest : public StartupTest, public ::testing::WithParamInterface<LanguageCase> {};

TEST_P(HostLanguageTest, ThirdMenuBarItemChoosesTheLanguage) {
    Start(0x05000005, {"&Datei", "&Edit", GetParam().itemAtPosition2, "&Optionen"});
    EXPECT_EQ(Host().language, GetParam().languageIndex);
    EXPECT_EQ(TheModule.process.ItalianHost, GetParam().italian);
}

INSTANTIATE_TEST_SUITE_P(MenuTexts, HostLanguageTest,
                         ::testing::Values(LanguageCase{"Bear&beiten", 1, false}, LanguageCase{"bearbeiten", 1, false},
                                           LanguageCase{"&Ansicht", 1, false}, LanguageCase{"&Modifica", 0, true},
                                           LanguageCase{"&Visualizzazione", 0, true}, LanguageCase{"&Edit", 0, false},
                                           LanguageCase{"&View", 0, false}),
                         testsupport::NameBy(&LanguageCase::itemAtPosition2));

TEST_F(StartupTest, WindowWithoutMenuKeepsEnglish) {
    FinaleExtensionVersion(0x05000005);
    int32_t result = -1;
    EXPECT_EQ(FinaleExtensionInit(win::CreateWindow({.className = "Finale"}), &result), 1);
    EXPECT_EQ(Host().language, 0);
    EXPECT_FALSE(TheModule.process.ItalianHost);
}

TEST_F(StartupTest, InitKeepsTheWindowAndSetsUpTheProcessState) {
    TheModule.process.VersionText = "1.88d";
    win::OsVersionInfo windows98;
    windows98.platformId = win::VER_PLATFORM_WIN32_WINDOWS;
    win::SetSimulatedOsVersion(windows98);
    Start(0x05000005);
    EXPECT_NE(Host().window, win::kNoWindow);
    EXPECT_EQ(TheModule.process.VersionText, " 1.88d");
    EXPECT_FALSE(TheModule.process.IsNT);
    // The general options hold their initial values; the menu goes on the menu bar.
    const std::array<int32_t, 9> initial = {1, 15, 20, 0, 0, 1, 205, 0, 1};
    for (size_t row = 0; row < initial.size(); ++row) {
        EXPECT_EQ(TheModule.process.GeneralOptions[row].value, initial[row]) << "row " << row;
    }
    EXPECT_TRUE(TheModule.process.MenuOnMenuBar);
}

TEST_F(StartupTest, InitOnNtReportsTheNtFamily) {
    Start(0x05000005);
    EXPECT_TRUE(TheModule.process.IsNT);
    EXPECT_EQ(TheModule.process.VersionText, " 1.88d");
}

TEST_F(StartupTest, EnumerationYields72RecordsThenStops) {
    Start(0x05000005);
    const auto records = EnumerateAll();
    ASSERT_EQ(records.size(), 72u);
    EXPECT_EQ(TheModule.commands.CommandCount, 72);
    for (int16_t later : std::initializer_list<int16_t>{72, 73, 79, 80, 1000}) {
        hostapi::MenuRecord record;
        EXPECT_EQ(FinaleExtensionEnumerate(nullptr, later, record.bytes.data()), 0) << later;
    }
    EXPECT_EQ(FinaleExtensionEnumerate(nullptr, -1, hostapi::MenuRecord().bytes.data()), 0);
    EXPECT_EQ(records[0].menuText(), "Vx &Browser...");
    EXPECT_EQ(records[11].menuText(), "Vx &Make parenthesized trill notes...");
    EXPECT_EQ(records[45].menuText(), "Vx &New Spacing...");
    EXPECT_EQ(records[71].menuText(), "Vx A&bout...");
    for (int16_t index = 0; index < 72; ++index) {
        EXPECT_EQ(TheModule.commands.MenuIndexMap[static_cast<size_t>(index)], index);
    }
}

TEST_F(StartupTest, MenuRecordLayout) {
    Start(0x05000005);
    hostapi::MenuRecord record;
    record.bytes.fill(0xAB);
    ASSERT_EQ(FinaleExtensionEnumerate(nullptr, 13, record.bytes.data()), 1);
    const std::string text = "Vx &Make/Remove space at end of measure (compress/expand)...";
    EXPECT_EQ(record.menuText(), text);
    EXPECT_EQ(record.thirdText(), text);
    for (size_t i = text.size(); i < 64; ++i) {
        EXPECT_EQ(record.bytes[i], 0) << "byte " << i;
        EXPECT_EQ(record.bytes[128 + i], 0) << "byte " << 128 + i;
    }
    for (size_t i = 64; i < 128; ++i) {
        EXPECT_EQ(record.bytes[i], 0) << "byte " << i;
    }
    EXPECT_EQ(hostapi::ReadI16(record.bytes.data(), 192), 0);
    EXPECT_EQ(hostapi::ReadI16(record.bytes.data(), 194), 0);
    EXPECT_EQ(record.bytes[196], 0xAB);
    EXPECT_EQ(record.bytes[197], 0xAB);
    EXPECT_EQ(hostapi::ReadI16(record.bytes.data(), 198), 0);
    EXPECT_EQ(hostapi::ReadI16(record.bytes.data(), 200), 0);
}

TEST_F(StartupTest, GermanRecordsCarryTheHostCharacterSet) {
    Start(0x05000005, {"&Datei", "&Bearbeiten", "&Ansicht"});
    const auto records = EnumerateAll();
    ASSERT_EQ(records.size(), 72u);
    // "Vx &Über Orvex..." with the U umlaut as the single byte 0xDC.
    EXPECT_EQ(records[71].menuText(),
              "Vx &\xDC"
              "ber Orvex...");
    EXPECT_EQ(records[35].menuText(), "Vx &Entfernen... ");
    EXPECT_EQ(records[1].menuText(), "Vx &Flageolette...");
}

struct NameCase {
    int32_t rawVersion;
    int32_t languageIndex;
    int32_t tableIndex;
    const char* name;
};

class CommandNameTest : public StartupTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(CommandNameTest, NameDependsOnVersionAndLanguage) {
    FinaleExtensionVersion(GetParam().rawVersion);
    TheAccessLayer.host.language = GetParam().languageIndex;
    EXPECT_EQ(GetCommandName(GetParam().tableIndex), GetParam().name);
    // The second lookup takes the text remembered in the entry.
    EXPECT_EQ(GetCommandName(GetParam().tableIndex), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Entries, CommandNameTest,
                         ::testing::Values(NameCase{0x3FFFFFF, 0, 47, "Vx &Move melisma syllables to the right..."},
                                           NameCase{0x4000000, 0, 47, "Vx &Left-align melisma syllables..."},
                                           NameCase{0x4000000, 1, 47, "Vx &Melisma-Silben links ausrichten..."},
                                           NameCase{0x3FFFFFF, 1, 47, "Vx &Melisma-Silben nach rechts..."},
                                           NameCase{0x05000005, 0, 46,
                                                    "Vx &Move long syllables on beat 1 to the right..."},
                                           NameCase{0x05000005, 1, 71, "Vx &Über Orvex..."},
                                           NameCase{0x05000005, 1, 35, "Vx &Entfernen... "},
                                           NameCase{0x05000005, 0, 12, "Vx &Repair trill notes (after Spacing)"},
                                           NameCase{0x05000005, 1, 51, "Vx &Proportionalität..."},
                                           NameCase{0x05000005, 0, 72, ""}, NameCase{0x05000005, 0, 79, ""}),
                         testsupport::NameBy("raw", &NameCase::rawVersion, "language", &NameCase::languageIndex,
                                             "entry", &NameCase::tableIndex));

TEST_F(StartupTest, GetMenuStatusEnablesEveryEntry) {
    for (int16_t index : std::initializer_list<int16_t>{-5, 0, 71, 72, 500}) {
        EXPECT_EQ(FinaleExtensionGetMenuStatus(index), 1);
    }
}

TEST_F(StartupTest, LoadReadsTheRememberedAnswers) {
    {
        vcl::TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(kSettingsKey, true));
        registry.WriteString("ShowMessages", "0101");
        registry.WriteString("LastAnswers", "6,7");
    }
    EXPECT_EQ(DllEntryPoint(win::Hmodule{0x1234}, win::DLL_PROCESS_ATTACH, nullptr), 1);
    EXPECT_EQ(TheModule.process.ModuleInstance, win::Hmodule{0x1234});
    EXPECT_EQ(TheModule.process.ShowMessagesText, "0101");
    EXPECT_EQ(TheModule.process.LastAnswersText, "6,7");
}

TEST_F(StartupTest, UnloadBeforeInitStillWritesBothValues) {
    EXPECT_EQ(DllEntryPoint(win::Hmodule{0x1234}, win::DLL_PROCESS_ATTACH, nullptr), 1);
    EXPECT_EQ(TheModule.process.ShowMessagesText, "");
    TheModule.process.ShowMessagesText = "1";
    EXPECT_EQ(DllEntryPoint(win::Hmodule{0x1234}, win::DLL_PROCESS_DETACH, nullptr), 1);
    EXPECT_EQ(RegistryString("ShowMessages"), "1");
    EXPECT_EQ(RegistryString("LastAnswers"), "");
    // The values reached the registry file, not only memory.
    ASSERT_TRUE(win::UseRegistryFile(RegistryFile().string()));
    EXPECT_EQ(RegistryString("ShowMessages"), "1");
}

TEST_F(StartupTest, ValueOfAnotherTypeStartsTheAnswersEmpty) {
    {
        vcl::TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(kSettingsKey, true));
        registry.WriteInteger("ShowMessages", 5);
    }
    EXPECT_EQ(DllEntryPoint(win::Hmodule{0x1234}, win::DLL_PROCESS_ATTACH, nullptr), 1);
    EXPECT_EQ(TheModule.process.ShowMessagesText, "");
}

TEST_F(StartupTest, TerminateClosesTheQueryServiceAndForgetsTheBinding) {
    Start(0x05000005);
    TheModule.process.ServicePluginBound = true;
    EXPECT_EQ(FinaleExtensionTerminate(nullptr), 1);
    EXPECT_FALSE(TheModule.process.ServicePluginBound);
}

}  // namespace
