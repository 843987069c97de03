// The control panel and the debug panel, acted on through the UI driver.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/hostapi/bytes.h"
#include "platform/win/messages.h"
#include "service/control_panel.h"
#include "service/preferences.h"
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
    static void Queue(const char* form, FormAction::Kind kind, const char* control, const char* value = "") {
        win::QueueFormAction(form, FormAction{kind, control, value});
    }
    static void Set(const char* control, const char* value) {
        Queue("TLumvarControlPanel", FormAction::Kind::Set, control, value);
    }
    static void Click(const char* control) { Queue("TLumvarControlPanel", FormAction::Kind::Click, control); }
};

TEST_F(ControlPanelTest, ShowsThePreferences) {
    Click("CancelButton");
    EXPECT_EQ(lumvar::DialogBox(), 2);
    const std::vector<std::string> expected = {
        "[form] \"Lumvar - Control Panel\" TLumvarControlPanel, modal",
        "  group box PreferencesGroup \"Plug-in preferences\"",
        "  check box SecondMonitor \"Allow windows on second monitor\": unchecked",
        "  check box UpdateLayout \"Update layout when needed\": checked",
        "  check box ReturnFocus \"Return focus to Finale\": unchecked",
        "  check box Collapse \"Collapse window when losing focus\": checked",
        "  check box Transparent \"Transparent in Windows 2000\": unchecked",
        "  label LanguageLabel \"Prefered languages for plug-ins:\"",
        "  combo box Languages: \"English [American]\"",
        "  label VersionLabel \"Lumvar version:\"",
        "  label Version \"2.08\"",
        "  button WebPage \"Lumvar WWW page...\"",
        "  button OkButton \"OK\"",
        "  button CancelButton \"Cancel\"",
        "  user: click CancelButton",
        "  -> Cancel",
    };
    testsupport::ExpectLines(expected, win::TranscriptLines());
    EXPECT_TRUE(Told().empty());
}

TEST_F(ControlPanelTest, OkTellsTheClientsEveryChangeInOrder) {
    lumvar::SetTransparencyPreference(1);
    Set("Transparent", "0");
    Set("SecondMonitor", "1");
    Set("Languages", "Deutsch");
    Click("UpdateLayout");
    Click("OkButton");
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
    Set("Collapse", "0");
    Set("Languages", "Norsk");
    Click("CancelButton");
    EXPECT_EQ(lumvar::DialogBox(), 2);
    EXPECT_EQ(lumvar::ControlPanelResult(), 2);
    EXPECT_TRUE(Told().empty());
    EXPECT_EQ(lumvar::NonFocusCollapse(), 1);
    EXPECT_EQ(lumvar::UserLanguage(), 0);
}

TEST_F(ControlPanelTest, TheWebPageButtonLeavesThePanelOpen) {
    Click("WebPage");
    Click("OkButton");
    EXPECT_EQ(lumvar::DialogBox(), 1);
    EXPECT_EQ(win::ShellRequests(), (std::vector<std::string>{"open https://lumvar.example.org/"}));
}

TEST_F(ControlPanelTest, TransparencyOnlyFromWindows2000) {
    win::SetSimulatedOsVersion({.majorVersion = 4, .minorVersion = 0, .buildNumber = 1381});
    Click("CancelButton");
    lumvar::DialogBox();
    const auto& lines = win::TranscriptLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "  check box Transparent \"Transparent in Windows 2000\": unchecked (disabled)"),
              lines.end());
}

TEST_F(ControlPanelTest, TheHostsMenuEntryOpensIt) {
    Click("CancelButton");
    EXPECT_EQ(m_host->InvokePlugin(0, 0), 1);
    EXPECT_EQ(win::TranscriptLines().front(), "[form] \"Lumvar - Control Panel\" TLumvarControlPanel, modal");
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
        Queue("TLumvarDebugPanel", FormAction::Kind::Set, control, value);
    }
    static void Click(const char* control) { Queue("TLumvarDebugPanel", FormAction::Kind::Click, control); }
};

TEST_F(DebugPanelTest, SendsTheChosenEvent) {
    Click("Event3");
    Click("SendEvent");
    Click("Event1");
    Click("SendEvent");
    Set("EventText", "hello");  // typing chooses the text event
    Click("SendEvent");
    Click("OkButton");
    EXPECT_EQ(lumvar::DialogBox(), 2);
    // The text goes with its terminator: 6 bytes.
    EXPECT_EQ(Told(), (std::vector<std::string>{"103", "101", std::string("151=\"hello\0\"", 12)}));
    EXPECT_EQ(lumvar::DebugPanelLastEvent(), 4);
    EXPECT_EQ(lumvar::DebugPanelLastText(), "hello");
}

TEST_F(DebugPanelTest, AnEmptyTextBeeps) {
    Click("TextEvent");
    Click("SendEvent");
    Click("CancelButton");
    lumvar::DialogBox();
    EXPECT_TRUE(Told().empty());
    const auto& lines = win::TranscriptLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "[beep] exclamation"), lines.end());
}

TEST_F(DebugPanelTest, OpensWithTheLastEventAndText) {
    Set("EventText", "again");
    Click("SendEvent");
    Click("OkButton");
    lumvar::DialogBox();
    win::ClearTranscript();
    Click("CancelButton");
    lumvar::DialogBox();
    const auto& lines = win::TranscriptLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "  edit EventText: \"again\""), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "  radio button TextEvent \"&Text Debug Event\": checked"),
              lines.end());
}

}  // namespace
