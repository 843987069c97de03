// Lumvar2000's life in the host: its menu entry, the host year it reports, the guard against a
// second copy, the start and stop of its parts and the version handshake.
#include <gtest/gtest.h>

#include "platform/hostapi/records.h"
#include "platform/win/console.h"
#include "platform/win/input.h"
#include "platform/win/win.h"
#include "service/font_annotations.h"
#include "service/lumvar.h"
#include "service/module_state.h"
#include "service/preferences.h"
#include "service/window_hooks.h"
#include "tests/service/lumvar_fixture.h"
#include "tests/support/case_names.h"
#include "tests/support/fixture.h"

namespace {

using lumvartest::BoxText;
using lumvartest::CountBoxes;

class LumvarTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        lumvar::ResetModuleState();
    }
    void TearDown() override {
        ExpectNothingLeft();
        lumvar::ResetModuleState();
        DesktopTest::TearDown();
    }
};

struct YearCase {
    uint32_t raw;
    int32_t year;
};

class LumvarYearTest : public LumvarTest, public ::testing::WithParamInterface<YearCase> {};

TEST_P(LumvarYearTest, HostYearFromTheRawVersion) {
    EXPECT_EQ(lumvar::FinaleExtensionVersion(static_cast<int32_t>(GetParam().raw)),
              static_cast<int32_t>(GetParam().raw));
    EXPECT_EQ(lumvar::RawFXTVersion(), GetParam().raw);
    EXPECT_EQ(lumvar::FinaleVersion(), GetParam().year);
}

INSTANTIATE_TEST_SUITE_P(Versions, LumvarYearTest,
                         ::testing::Values(YearCase{0x04000105, 1998}, YearCase{0x05000005, 2000},
                                           YearCase{0x06000200, 2001}, YearCase{0x07010000, 9999},
                                           YearCase{0x03800001, 1997}, YearCase{0x07000010, 2002},
                                           YearCase{0x04010000, 9999}, YearCase{0x0380FFFF, 1997},
                                           YearCase{0x03810000, 9999}, YearCase{0x0700FFFF, 2002},
                                           YearCase{0x03FFFFFF, 9999}, YearCase{0x04000000, 1998},
                                           YearCase{0x0400FFFF, 1998}, YearCase{0x06FFFFFF, 9999},
                                           YearCase{0x07000000, 2002}, YearCase{0x06000000, 2001}),
                         testsupport::NameBy("year", &YearCase::year, "raw", &YearCase::raw));

TEST_F(LumvarTest, OneMenuEntry) {
    hostapi::MenuRecord record;
    ASSERT_EQ(lumvar::FinaleExtensionEnumerate(nullptr, 0, record.bytes.data()), 1);
    EXPECT_EQ(record.menuText(), "Lumvar...");
    EXPECT_EQ(record.secondText(), "Lumvar");
    EXPECT_EQ(record.thirdText(), "Lumvar");
    EXPECT_EQ(record.flag(), 0);
    EXPECT_EQ(lumvar::FinaleExtensionEnumerate(nullptr, -1, record.bytes.data()), 1);
    hostapi::MenuRecord untouched;
    untouched.bytes.fill(0x55);
    EXPECT_EQ(lumvar::FinaleExtensionEnumerate(nullptr, 1, untouched.bytes.data()), 0);
    EXPECT_EQ(untouched.bytes[0], 0x55);
    EXPECT_EQ(lumvar::FinaleExtensionGetMenuStatus(7), 1);
}

TEST_F(LumvarTest, InitOncePerHostYear) {
    lumvar::FinaleExtensionVersion(0x05000005);
    const win::Hwnd window = win::CreateWindow({.className = "Finale"});
    EXPECT_EQ(lumvar::InitByFinale(), 0);
    EXPECT_EQ(lumvar::FinaleWindow(), win::kNoWindow);
    EXPECT_EQ(lumvar::FinaleExtensionInit(window, nullptr), 1);
    EXPECT_EQ(lumvar::InitByFinale(), 1);
    EXPECT_EQ(lumvar::FinaleWindow(), window);
    int32_t minor = 0;
    EXPECT_EQ(lumvar::Version(&minor), 2);
    EXPECT_EQ(minor, 8);
    EXPECT_EQ(lumvar::Version(nullptr), 2);

    // The mutex "FinLumvar2000" is taken: another copy would be refused.
    const win::Handle other = win::CreateMutex(true, "FinLumvar2000");
    EXPECT_EQ(win::GetLastError(), win::ERROR_ALREADY_EXISTS);
    win::CloseHandle(other);

    EXPECT_EQ(lumvar::FinaleExtensionTerminate(nullptr), 1);
    win::CreateMutex(true, "FinLumvar2000");
    EXPECT_EQ(win::GetLastError(), win::ERROR_SUCCESS);
}

// Every kernel object Lumvar opens while it runs (the host process handle of its window hooks,
// its mutex) is closed again when it ends: no handle numbered after a probe stays open.
TEST_F(LumvarTest, TerminateLeavesNoHandleOpen) {
    lumvar::FinaleExtensionVersion(0x05000005);
    const win::Hwnd window = win::CreateWindow({.className = "Finale"});
    const win::Handle probe = win::CreateMutex(false, "");
    ASSERT_TRUE(win::CloseHandle(probe));
    ASSERT_EQ(lumvar::FinaleExtensionInit(window, nullptr), 1);
    ASSERT_TRUE(lumvar::WindowHooksInstalled());
    ASSERT_EQ(lumvar::FinaleExtensionTerminate(nullptr), 1);
    const win::Handle last = win::CreateMutex(false, "");
    for (uint32_t number = static_cast<uint32_t>(probe) + 1; number < static_cast<uint32_t>(last); ++number) {
        EXPECT_FALSE(win::CloseHandle(win::Handle{number})) << "handle " << number << " is still open";
    }
    win::CloseHandle(last);
}

TEST_F(LumvarTest, SecondCopyIsRefusedWithItsMessage) {
    lumvar::FinaleExtensionVersion(0x06000200);
    win::CreateMutex(true, "FinLumvar2001");
    const win::Hwnd window = win::CreateWindow({.className = "Finale"});
    EXPECT_EQ(lumvar::FinaleExtensionInit(window, nullptr), 0);
    EXPECT_EQ(lumvar::InitByFinale(), 0);
    EXPECT_FALSE(lumvar::WindowHooksInstalled());
    EXPECT_EQ(BoxText("Lumvar Plug-in Error"),
              "Different versions/copies of the Lumvar plug-in\nhave been found.\nThis copy will not be loaded.\n\n"
              "To cure this error, please remove all but one copy\nof the Lumvar plug-in.");
    EXPECT_NE(std::find(win::TranscriptLines().begin(), win::TranscriptLines().end(),
                        "[message box] \"Lumvar Plug-in Error\" (error) buttons OK"),
              win::TranscriptLines().end());
}

TEST_F(LumvarTest, ARefusedCopyTearsNothingDown) {
    // The running copy's stored preferences: second monitor 1, language 2 (Deutsch).
    const std::vector<uint8_t> stored = {16, 0, 1, 0, 0, 0, 2, 0, 1, 0, 0, 0, 1, 0, 40, 0};
    ASSERT_EQ(lumvar::WriteSettings(stored.data(), 16, "Software\\Lumvar", "Preferences"), 1);
    lumvar::FinaleExtensionVersion(0x05000005);
    const win::Handle first = win::CreateMutex(true, "FinLumvar2000");
    const win::Hwnd window = win::CreateWindow({.className = "Finale"});
    ASSERT_EQ(lumvar::FinaleExtensionInit(window, nullptr), 0);
    EXPECT_EQ(lumvar::FinaleExtensionTerminate(nullptr), 1);
    std::vector<uint8_t> after(16, 0);
    ASSERT_EQ(lumvar::ReadSettings(after.data(), 16, "Software\\Lumvar", "Preferences"), 1);
    EXPECT_EQ(after, stored);
    // The first copy's mutex is still held.
    win::CreateMutex(true, "FinLumvar2000");
    EXPECT_EQ(win::GetLastError(), win::ERROR_ALREADY_EXISTS);
    win::CloseHandle(first);
}

TEST_F(LumvarTest, InitReadsThePreferencesInstallsTheHooksAndTerminateWritesThemBack) {
    // A stored record: second monitor 1, update layout 0, language 2 (Deutsch).
    const std::vector<uint8_t> stored = {16, 0, 1, 0, 0, 0, 2, 0, 1, 0, 0, 0, 1, 0, 40, 0};
    ASSERT_EQ(lumvar::WriteSettings(stored.data(), 16, "Software\\Lumvar", "Preferences"), 1);
    lumvar::FinaleExtensionVersion(0x05000005);
    const win::Hwnd window = win::CreateWindow({.className = "Finale"});
    ASSERT_EQ(lumvar::FinaleExtensionInit(window, nullptr), 1);
    EXPECT_EQ(lumvar::Allow2ndMonitor(), 1);
    EXPECT_EQ(lumvar::ULWhenNeeded(), 0);
    EXPECT_EQ(lumvar::UserLanguage(), 2);
    EXPECT_EQ(lumvar::TransparencyPercent(), 40);
    EXPECT_TRUE(lumvar::WindowHooksInstalled());
    EXPECT_EQ(win::HookCount(win::WH_CALLWNDPROC), 1u);
    EXPECT_EQ(win::HookCount(win::WH_GETMESSAGE), 1u);
    // Host 2000: no font annotations.
    EXPECT_EQ(lumvar::FontAnnotationState(), lumvar::FAN_OLD_HOST);

    lumvar::SetUpdateLayoutPreference(1);
    ASSERT_EQ(lumvar::FinaleExtensionTerminate(nullptr), 1);
    EXPECT_EQ(win::HookCount(win::WH_CALLWNDPROC), 0u);
    EXPECT_EQ(win::HookCount(win::WH_GETMESSAGE), 0u);
    std::vector<uint8_t> written(16, 0);
    ASSERT_EQ(lumvar::ReadSettings(written.data(), 16, "Software\\Lumvar", "Preferences"), 1);
    std::vector<uint8_t> expected = stored;
    expected[4] = 1;  // word 2, update layout
    EXPECT_EQ(written, expected);
}

TEST_F(LumvarTest, TerminateFreesTheConsoleItOpened) {
    lumvar::FinaleExtensionVersion(0x05000005);
    ASSERT_EQ(lumvar::FinaleExtensionInit(win::CreateWindow({.className = "Finale"}), nullptr), 1);
    lumvar::PrintfOutput("hello");
    EXPECT_TRUE(win::HasConsole());
    EXPECT_EQ(lumvar::FinaleExtensionTerminate(nullptr), 1);
    EXPECT_FALSE(win::HasConsole());
}

// ---- The handshake ----

struct HandShakeCase {
    int32_t major;
    int32_t minor;
    int16_t result;
    const char* requiredLine;  ///< the line of the refusal that names the version asked for
};

class HandShakeTest : public LumvarTest, public ::testing::WithParamInterface<HandShakeCase> {};

TEST_P(HandShakeTest, AcceptsUpToItsOwnVersion) {
    const HandShakeCase& c = GetParam();
    lumvar::FinaleExtensionVersion(0x05000005);
    EXPECT_EQ(lumvar::HandShake(c.major, c.minor), c.result);
    if (c.result == 1) {
        EXPECT_EQ(CountBoxes("Lumvar Version Mismatch"), 0);
        return;
    }
    EXPECT_EQ(BoxText("Lumvar Version Mismatch"),
              std::string("This version of Lumvar is too old to support the\nfeatures you need for the required "
                          "feature.\nPlease download a newer version of the Lumvar plug-in.\nDirections on how to "
                          "download a newer version should be\navailable at the same location where you downloaded "
                          "this\nplug-in.\n\n") +
                  c.requiredLine + "\nThe running Lumvar version is: 2.08");
    EXPECT_NE(std::find(win::TranscriptLines().begin(), win::TranscriptLines().end(),
                        "[message box] \"Lumvar Version Mismatch\" (error) buttons OK"),
              win::TranscriptLines().end());
}

INSTANTIATE_TEST_SUITE_P(
    Versions, HandShakeTest,
    ::testing::Values(HandShakeCase{2, 8, 1, nullptr}, HandShakeCase{2, 0, 1, nullptr},
                      HandShakeCase{1, 50, 1, nullptr}, HandShakeCase{0, 3, 1, nullptr},
                      HandShakeCase{2, 9, 0, "The Lumvar version required is: 2.09"},
                      HandShakeCase{2, 15, 0, "The Lumvar version required is: 2.15"},
                      HandShakeCase{2, -1, 0, "The Lumvar version required is: 2 (Development Rev.)"},
                      HandShakeCase{1, -1, 0, "The Lumvar version required is: 1 (Development Rev.)"},
                      HandShakeCase{3, 0, 0, "The Lumvar version required is: 3.00"}),
    testsupport::NameBy("version", &HandShakeCase::major, &HandShakeCase::minor));

class HandShakeHostTest : public lumvartest::LumvarHostTest {};

TEST_F(HandShakeHostTest, HostsOtherThan2001NeedNoCheck) {
    StartLumvar(0x05000005);
    NewDocument();
    EXPECT_EQ(lumvar::Module().legacyStaffSystem, 0);
    EXPECT_EQ(lumvar::HandShake(2, 1), 1);
    EXPECT_EQ(lumvar::Module().legacyStaffSystem, 1);
    EXPECT_EQ(CountBoxes("Finale Version Warning!!!"), 0);
}

TEST_F(HandShakeHostTest, The2001WarningShowsAtMostTwice) {
    StartLumvar(0x06000200);
    NewDocument();
    // The first release's damaged record: words 0, 1, 2, 3, 4 and 9 all 0 (word 5 is not looked at).
    SaveOther("SOSS", 1, 0, lumvartest::Words(20, {{10, 7}, {12, 3}}));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(lumvar::HandShake(2, 1), 1);
    }
    EXPECT_EQ(CountBoxes("Finale Version Warning!!!"), 2);
    EXPECT_EQ(lumvar::Module().host2001WarningCount, 3);
    EXPECT_EQ(lumvar::Module().legacyStaffSystem, 0);
    const std::string text = BoxText("Finale Version Warning!!!");
    EXPECT_TRUE(
        text.starts_with("IMPORTANT NOTE!\nYou're using the initial release of Finale 2001 for Windows.\n"
                         "This version has a major bug that may corrupt your documents.\n\n"))
        << text;
    EXPECT_TRUE(text.ends_with("It is STRONGLY recommended that you install this fix.")) << text;
}

class HandShakeSoundRecordTest : public HandShakeHostTest, public ::testing::WithParamInterface<size_t> {};

// Each byte of the words looked at: a word with only its high byte set counts too.
TEST_P(HandShakeSoundRecordTest, AnyCheckedByteSetMarksTheRecordUsable) {
    StartLumvar(0x06000200);
    NewDocument();
    lumvartest::Bytes record(20, 0);
    record[GetParam()] = 1;
    SaveOther("SOSS", 1, 0, record);
    EXPECT_EQ(lumvar::HandShake(2, 1), 1);
    EXPECT_EQ(lumvar::Module().legacyStaffSystem, 1);
    EXPECT_EQ(CountBoxes("Finale Version Warning!!!"), 0);
}

INSTANTIATE_TEST_SUITE_P(Bytes, HandShakeSoundRecordTest, ::testing::Values(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 18, 19),
                         testsupport::NameByValue("byte"));

TEST_F(HandShakeHostTest, WithoutTheRecordTheCheckWaitsForTheNextHandshake) {
    StartLumvar(0x06000200);
    NewDocument();
    EXPECT_EQ(lumvar::HandShake(2, 1), 1);
    EXPECT_EQ(lumvar::Module().legacyStaffSystem, 0);
    EXPECT_EQ(lumvar::Module().host2001WarningCount, 0);
    SaveOther("SOSS", 1, 0, lumvartest::Words(20, {{8, 1}}));
    EXPECT_EQ(lumvar::HandShake(2, 1), 1);
    EXPECT_EQ(lumvar::Module().legacyStaffSystem, 1);
}

TEST_F(LumvarTest, ANewerHostIsToldAtMostTwice) {
    lumvar::FinaleExtensionVersion(0x08000000);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(lumvar::HandShake(2, 1), 1);
    }
    EXPECT_EQ(CountBoxes("New Finale Version Information"), 2);
    EXPECT_EQ(BoxText("New Finale Version Information"),
              "This version of Lumvar hasn't proven to be compatible\nwith this Finale version.\nPlease download a "
              "later version of Lumvar.");
    EXPECT_NE(std::find(win::TranscriptLines().begin(), win::TranscriptLines().end(),
                        "[message box] \"New Finale Version Information\" (information) buttons OK"),
              win::TranscriptLines().end());
}

TEST_F(LumvarTest, TheNewestKnownHostIsNotTold) {
    lumvar::FinaleExtensionVersion(0x07FFFFFF);
    EXPECT_EQ(lumvar::HandShake(2, 1), 1);
    EXPECT_EQ(CountBoxes("New Finale Version Information"), 0);
}

}  // namespace
