// The control panel and the debug panel, run by the host from Lumvar2000's dialog resources and
// acted on through the UI driver.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/host/host_dialogs.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/services.h"
#include "platform/win/dialog_resources.h"
#include "platform/win/messages.h"
#include "service/control_panel.h"
#include "service/host_imports.h"
#include "service/preferences.h"
#include "service/window_services.h"
#include "tests/service/lumvar_fixture.h"

namespace {

using win::FormAction;

std::vector<std::string>& Told() {
    static std::vector<std::string> told;
    return told;
}
void Listen(uint8_t code, int32_t size, const void* data) {
    std::string entry = std::to_string(code);
    if (size == 2) {
        entry += "=" + std::to_string(hostapi::ReadI16(static_cast<const uint8_t*>(data), 0));
    } else if (size > 0) {
        entry += "=\"" + std::string(static_cast<const char*>(data), static_cast<size_t>(size)) + "\"";
    }
    Told().push_back(entry);
}

class ControlPanelTest : public lumvartest::LumvarHostTest {
protected:
    void SetUp() override {
        LumvarHostTest::SetUp();
        StartLumvar();
        Told().clear();
        lumvar::SetNotifyHook(Listen, 1);
        win::ClearTranscript();
    }
    // The user acts on the host-run dialog of a resource number, naming a control by its id or
    // its text.
    static void Queue(int32_t resource, FormAction::Kind kind, const char* control, const char* value = "") {
        win::QueueFormAction("#" + std::to_string(resource), FormAction{kind, control, value});
    }
    static void Set(const char* control, const char* value) {
        Queue(lumvar::kControlPanelResource, FormAction::Kind::Set, control, value);
    }
    static void Click(const char* control) { Queue(lumvar::kControlPanelResource, FormAction::Kind::Click, control); }
};

TEST_F(ControlPanelTest, ShowsThePreferences) {
    Click("Cancel");
    EXPECT_EQ(lumvar::DialogBox(), 2);
    const std::vector<std::string> expected = {
        "[dialog] \"Lumvar - Control Panel\" 20128 of Lumvar2000.fxt, modal",
        "  group box 101 \"Plug-in preferences\"",
        "  check box 102 \"Allow windows on second monitor\": unchecked",
        "  check box 103 \"Update layout when needed\": checked",
        "  check box 104 \"Return focus to Finale\": unchecked",
        "  check box 105 \"Collapse window when losing focus\": checked",
        "  check box 106 \"Transparent in Windows 2000\": unchecked",
        "  label - \"Prefered languages for plug-ins:\"",
        "  drop-down list 108: \"English [American]\"",
        "  label - \"Lumvar version:\"",
        "  label 109 \"2.08\"",
        "  button 110 \"Lumvar WWW page...\"",
        "  button 1 \"OK\" (default)",
        "  button 2 \"Cancel\"",
        "  user: click Cancel",
        "  -> 2",
    };
    testsupport::ExpectLines(expected, win::TranscriptLines());
    EXPECT_TRUE(Told().empty());
    EXPECT_EQ(host::OpenHostDialogs(), 0);
}

TEST_F(ControlPanelTest, OkTellsTheClientsEveryChangeInOrder) {
    lumvar::SetTransparencyPreference(1);
    Set("106", "0");
    Set("Allow windows on second monitor", "1");
    Set("108", "Deutsch");
    Click("103");
    Click("OK");
    EXPECT_EQ(lumvar::DialogBox(), 1);
    EXPECT_EQ(lumvar::ControlPanelResult(), 1);
    EXPECT_EQ(Told(), (std::vector<std::string>{"1=2", "2=0", "3=1", "6=0"}));
    EXPECT_EQ(lumvar::UserLanguage(), 2);
    EXPECT_EQ(lumvar::ULWhenNeeded(), 0);
    EXPECT_EQ(lumvar::Allow2ndMonitor(), 1);
    EXPECT_EQ(lumvar::TransparencyFlag(), 0);
    EXPECT_EQ(lumvar::NonFocusCollapse(), 1);
}

TEST_F(ControlPanelTest, CancelChangesNothing) {
    Set("105", "0");
    Set("108", "Norsk");
    Click("2");
    EXPECT_EQ(lumvar::DialogBox(), 2);
    EXPECT_EQ(lumvar::ControlPanelResult(), 2);
    EXPECT_TRUE(Told().empty());
    EXPECT_EQ(lumvar::NonFocusCollapse(), 1);
    EXPECT_EQ(lumvar::UserLanguage(), 0);
}

TEST_F(ControlPanelTest, EscapeCancels) {
    Set("105", "0");
    EXPECT_EQ(lumvar::DialogBox(), 2);
    EXPECT_EQ(lumvar::NonFocusCollapse(), 1);
    EXPECT_EQ(win::TranscriptLines().back(), "  -> 2 (no action was queued: Escape)");
}

TEST_F(ControlPanelTest, TheWebPageButtonLeavesThePanelOpen) {
    Click("Lumvar WWW page...");
    Click("OK");
    EXPECT_EQ(lumvar::DialogBox(), 1);
    EXPECT_EQ(win::ShellRequests(), (std::vector<std::string>{"open https://lumvar.example.org/"}));
}

TEST_F(ControlPanelTest, TransparencyOnlyFromWindows2000) {
    win::SetSimulatedOsVersion({.majorVersion = 4, .minorVersion = 0, .buildNumber = 1381});
    Set("106", "1");
    Click("Cancel");
    lumvar::DialogBox();
    const auto& lines = win::TranscriptLines();
    EXPECT_NE(
        std::find(lines.begin(), lines.end(), "  check box 106 \"Transparent in Windows 2000\": unchecked (disabled)"),
        lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "    not done: the control is disabled"), lines.end());
}

TEST_F(ControlPanelTest, TheHostsMenuEntryOpensIt) {
    Click("Cancel");
    EXPECT_EQ(m_host->InvokePlugin(0, 0), 1);
    EXPECT_EQ(win::TranscriptLines().front(), "[dialog] \"Lumvar - Control Panel\" 20128 of Lumvar2000.fxt, modal");
}

std::vector<int32_t>& Seen() {
    static std::vector<int32_t> seen;
    return seen;
}
/// Toggles boxes 104 and 102 through Lumvar2000 when button 110 is clicked; OK reads them back.
int32_t ToggleProcedure(win::Hwnd dialog, uint32_t message, uintptr_t wParam, intptr_t) {
    if (message == win::WM_COMMAND && (wParam & 0xFFFF) == 110) {
        lumvar::ToggleCheckbox(dialog, 104);
        lumvar::ToggleCheckbox(dialog, 102);
    } else if (message == win::WM_COMMAND && (wParam & 0xFFFF) == 1) {
        const auto value = lumvar::Imports().GetControlValue;
        Seen().push_back(value(dialog, 104, 1, hostapi::kInterfaceVersion));
        Seen().push_back(value(dialog, 102, 1, hostapi::kInterfaceVersion));
        lumvar::Imports().EndDialog(dialog, 7, hostapi::kInterfaceVersion);
    }
    return 0;
}

TEST_F(ControlPanelTest, ToggleCheckboxActsOnAHostRunDialog) {
    Seen().clear();
    Click("110");
    Click("110");
    Click("110");
    Click("OK");
    EXPECT_EQ(
        lumvar::Imports().RunDialog(20128, ToggleProcedure, m_host->MainWindow(), 1, 0, hostapi::kInterfaceVersion), 7);
    EXPECT_EQ(Seen(), (std::vector<int32_t>{1, 1}));
}

// ---- Debug panel ----

class DebugPanelTest : public ControlPanelTest {
protected:
    void SetUp() override {
        ControlPanelTest::SetUp();
        win::SetKeyDown(win::VK_CONTROL, true);
        win::SetKeyDown(win::VK_SHIFT, true);
    }
    static void Set(const char* control, const char* value) {
        Queue(lumvar::kDebugPanelResource, FormAction::Kind::Set, control, value);
    }
    static void Click(const char* control) { Queue(lumvar::kDebugPanelResource, FormAction::Kind::Click, control); }
};

TEST_F(DebugPanelTest, SendsTheChosenEvent) {
    Click("Debug Event 4");
    Click("Send Event");
    Click("102");
    Click("108");
    Set("107", "hello");  // typing chooses the text event
    Click("108");
    Click("OK");
    EXPECT_EQ(lumvar::DialogBox(), 2);
    // The text goes with its terminator: 6 bytes.
    EXPECT_EQ(Told(), (std::vector<std::string>{"104", "101", std::string("151=\"hello\0\"", 12)}));
    EXPECT_EQ(lumvar::DebugPanelLastEvent(), 4);
    EXPECT_EQ(lumvar::DebugPanelLastText(), "hello");
}

TEST_F(DebugPanelTest, AnEmptyTextBeeps) {
    Click("106");
    Click("108");
    Click("Cancel");
    lumvar::DialogBox();
    EXPECT_TRUE(Told().empty());
    const auto& lines = win::TranscriptLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "[beep] exclamation"), lines.end());
}

TEST_F(DebugPanelTest, OpensWithTheLastEventAndText) {
    Set("107", "again");
    Click("108");
    Click("OK");
    lumvar::DialogBox();
    win::ClearTranscript();
    Click("Cancel");
    lumvar::DialogBox();
    const auto& lines = win::TranscriptLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "  edit 107: \"again\""), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "  radio button 106 \"&Text Debug Event\": checked"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "  radio button 102 \"Debug Event &1\": unchecked"), lines.end());
}

TEST_F(DebugPanelTest, SendsAtMost200BytesOfText) {
    Set("107", std::string(250, 'x').c_str());
    Click("108");
    lumvar::DialogBox();
    EXPECT_EQ(Told(), (std::vector<std::string>{"151=\"" + std::string(200, 'x') + std::string(1, '\0') + "\""}));
}

TEST_F(DebugPanelTest, AHostWithoutDialogsRunsNoPanel) {
    lumvar::HostImports imports = lumvar::Imports();
    imports.RunDialog = nullptr;
    lumvar::UseHostImports(imports);
    EXPECT_EQ(lumvar::DialogBox(), 2);
    EXPECT_EQ(win::TranscriptLines(),
              (std::vector<std::string>{"[debug] Lumvar2000: the host does not offer host-run dialogs (service 15); it "
                                        "is not available in this build"}));
}

}  // namespace
