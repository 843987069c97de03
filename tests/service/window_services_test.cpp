// Window services for clients and the window hooks that tell clients about host events.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/host/document_windows.h"
#include "platform/hostapi/bytes.h"
#include "platform/win/input.h"
#include "platform/win/messages.h"
#include "platform/win/user32.h"
#include "platform/win/windows.h"
#include "service/host_imports.h"
#include "service/layout_services.h"
#include "service/preferences.h"
#include "service/window_hooks.h"
#include "service/window_services.h"
#include "tests/service/lumvar_fixture.h"
#include "tests/support/case_names.h"

namespace {

using lumvar::WindowCollapseState;
using lumvartest::Words;

// ---- Modifier keys ----

struct KeysCase {
    std::vector<uint16_t> down;
    int16_t flags;
};

class KeyPressedTest : public testsupport::DesktopTest, public ::testing::WithParamInterface<KeysCase> {};

TEST_P(KeyPressedTest, FlagsOfTheHeldKeys) {
    for (const uint16_t key : GetParam().down) {
        win::SetKeyDown(key, true);
    }
    EXPECT_EQ(lumvar::KeyPressed(), GetParam().flags);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Keys, KeyPressedTest, ::testing::Values(
    KeysCase{{}, 0x00}, KeysCase{{win::VK_SHIFT}, 0x12}, KeysCase{{win::VK_CONTROL}, 0x01},
    KeysCase{{win::VK_MENU}, 0x04}, KeysCase{{win::VK_CONTROL, win::VK_SHIFT}, 0x08},
    KeysCase{{win::VK_CONTROL, win::VK_SHIFT, win::VK_MENU}, 0x00}, KeysCase{{win::VK_SHIFT, win::VK_MENU}, 0x00},
    KeysCase{{win::VK_SHIFT, win::VK_ESCAPE}, 0x32}, KeysCase{{win::VK_ESCAPE}, 0x20},
    KeysCase{{win::VK_CONTROL, win::VK_SHIFT, win::VK_ESCAPE}, 0x28}, KeysCase{{win::VK_CONTROL, win::VK_MENU}, 0x00},
    KeysCase{{win::VK_MENU, win::VK_ESCAPE}, 0x24}, KeysCase{{win::VK_CONTROL, win::VK_ESCAPE}, 0x21}),
    testsupport::NameBy("flags", &KeysCase::flags));
// clang-format on

// ---- Dialog helpers ----

class WindowServicesTest : public lumvartest::LumvarHostTest {
protected:
    win::Hwnd Window(int32_t left, int32_t top, int32_t width, int32_t height) {
        const win::Hwnd window = win::CreateWindow({.className = "TForm", .title = "Tool"});
        win::SetWindowPos(window, win::kNoWindow, left, top, width, height, win::SWP_NOZORDER);
        return window;
    }
    static win::Rect RectOf(win::Hwnd window) {
        win::Rect rect;
        win::GetWindowRect(window, rect);
        return rect;
    }
};

TEST_F(WindowServicesTest, DialogPositions) {
    const win::Hwnd window = Window(100, 50, 300, 200);
    int16_t x = 0;
    int16_t y = 0;
    lumvar::GetDlgPos(window, &x, &y);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 50);
    struct Case {
        int16_t x;
        int16_t y;
        win::Rect rect;
    };
    // clang-format off
    for (const Case& c : {Case{-32768, 10, {100, 50, 400, 250}}, Case{10, -32768, {100, 50, 400, 250}},
                          Case{-1, 10, {100, 50, 400, 250}}, Case{10, -1, {100, 50, 400, 250}},
                          Case{1025, 10, {100, 50, 400, 250}},
                          Case{10, 769, {100, 50, 400, 250}}, Case{1024, 768, {1024, 768, 1324, 968}},
                          Case{20, 30, {20, 30, 320, 230}}}) {
        // clang-format on
        int16_t cx = c.x;
        int16_t cy = c.y;
        lumvar::SetDlgPos(window, &cx, &cy);
        EXPECT_EQ(RectOf(window), c.rect) << c.x << ", " << c.y;
    }
}

TEST_F(WindowServicesTest, DialogControls) {
    const win::Hwnd dialog = win::CreateWindow({.className = "Dialog"});
    const win::Hwnd control = win::CreateWindow({.className = "Button", .parent = dialog, .id = 104});
    EXPECT_EQ(lumvar::GetControl(dialog, 104), control);
    EXPECT_EQ(lumvar::GetControl(dialog, 105), win::kNoWindow);
    lumvar::ShowControl(dialog, 104, 0);
    EXPECT_FALSE(win::IsWindowVisible(control));
    lumvar::ShowControl(dialog, 104, 7);
    EXPECT_TRUE(win::IsWindowVisible(control));
}

TEST_F(WindowServicesTest, ErrorBeep) {
    lumvar::ErrorBeep();
    EXPECT_EQ(win::TranscriptLines().back(), "[beep] exclamation");
}

TEST_F(WindowServicesTest, FocusGoesBackToTheHostWhenAsked) {
    StartLumvar();
    const win::Hwnd tool = Window(0, 0, 100, 100);
    win::SetForegroundWindow(tool);
    lumvar::SetReturnFocusPreference(0);
    lumvar::SetFinaleInFocus(0);
    EXPECT_EQ(win::GetForegroundWindow(), tool);
    lumvar::SetFinaleInFocus(1);
    EXPECT_EQ(win::GetForegroundWindow(), m_host->MainWindow());
    win::SetForegroundWindow(tool);
    lumvar::SetReturnFocusPreference(1);
    lumvar::SetFinaleInFocus(0);
    EXPECT_EQ(win::GetForegroundWindow(), m_host->MainWindow());
}

std::map<int32_t, int32_t>& ControlValues() {
    static std::map<int32_t, int32_t> values;
    return values;
}
int32_t FakeGetValue(win::Hwnd, int32_t control, int32_t, hostapi::InterfaceVersion) {
    return ControlValues()[control];
}
int16_t FakeSetValue(win::Hwnd, int32_t control, int32_t value, hostapi::InterfaceVersion) {
    ControlValues()[control] = value;
    return 1;
}

TEST_F(WindowServicesTest, ToggleCheckboxThroughTheHostsDialogControls) {
    StartLumvar();
    const win::Hwnd dialog = win::CreateWindow({.className = "Dialog"});
    lumvar::HostImports without = lumvar::Imports();
    without.GetControlValue = nullptr;
    without.SetControlValue = nullptr;
    lumvar::UseHostImports(without);
    lumvar::ToggleCheckbox(dialog, 102);  // a host without the services: said once, nothing done
    const auto& lines = win::TranscriptLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "[debug] Lumvar2000: the host does not offer the controls of host-run dialogs (services 57 "
                        "and 58); it is not available in this build"),
              lines.end());
    lumvar::HostImports imports = lumvar::Imports();
    imports.GetControlValue = FakeGetValue;
    imports.SetControlValue = FakeSetValue;
    lumvar::UseHostImports(imports);
    ControlValues() = {{102, 0}, {103, 1}};
    lumvar::ToggleCheckbox(dialog, 102);
    lumvar::ToggleCheckbox(dialog, 103);
    EXPECT_EQ(ControlValues()[102], 1);
    EXPECT_EQ(ControlValues()[103], 0);
}

// ---- Collapsing a tool window ----

class CollapseTest : public WindowServicesTest {
protected:
    void SetUp() override {
        WindowServicesTest::SetUp();
        StartLumvar();
        win::RegisterUser32Module();
        m_window = Window(10, 20, 300, 200);
        win::SetWindowProc(m_window, [this](win::Hwnd, uint32_t message, uintptr_t wParam, intptr_t) -> intptr_t {
            m_messages.push_back(std::to_string(message) + ":" + std::to_string(wParam));
            return 0;
        });
    }
    int16_t Toggle(bool restore, bool force, win::Hwnd window = win::kNoWindow) {
        return lumvar::ToggleWindowSize(window == win::kNoWindow ? m_window : window, restore ? 1 : 0, m_state.data(),
                                        force ? 1 : 0);
    }
    int16_t Collapsed() const { return hostapi::ReadI16(m_state.data(), WindowCollapseState::kCollapsed); }

    win::Hwnd m_window = win::kNoWindow;
    std::array<uint8_t, WindowCollapseState::kSize> m_state{};
    std::vector<std::string> m_messages;
};

TEST_F(CollapseTest, CollapsesToTheCaptionAndBack) {
    lumvar::SetCollapsePreference(1);
    ASSERT_EQ(Toggle(false, false), 0);
    EXPECT_EQ(RectOf(m_window), (win::Rect{10, 20, 310, 44}));  // 2 frames of 3 and a caption button of 18
    EXPECT_EQ(Collapsed(), 1);
    EXPECT_EQ(hostapi::ReadU32(m_state.data(), WindowCollapseState::kWindow), static_cast<uint32_t>(m_window));
    EXPECT_EQ(hostapi::ReadI32(m_state.data(), WindowCollapseState::kSavedWidth), 300);
    EXPECT_EQ(hostapi::ReadI32(m_state.data(), WindowCollapseState::kSavedHeight), 200);
    // WM_WINDOWPOSCHANGED of the new size, then WM_NCACTIVATE, inactive.
    EXPECT_EQ(m_messages, (std::vector<std::string>{"71:0", "134:0"}));
    EXPECT_EQ(win::GetWindowLong(m_window, win::GWL_EXSTYLE) & win::WS_EX_LAYERED, 0);  // not without the preference
    // Collapsing a collapsed window again changes nothing.
    ASSERT_EQ(Toggle(false, false), 0);
    EXPECT_EQ(hostapi::ReadI32(m_state.data(), WindowCollapseState::kSavedHeight), 200);
    EXPECT_EQ(m_messages.size(), 2u);
    ASSERT_EQ(Toggle(true, false), 0);
    EXPECT_EQ(RectOf(m_window), (win::Rect{10, 20, 310, 220}));
    EXPECT_EQ(Collapsed(), 0);
}

TEST_F(CollapseTest, WithTheCollapsePreferenceOffOnlyForceCollapses) {
    lumvar::SetCollapsePreference(0);
    EXPECT_EQ(Toggle(false, false), 0);
    EXPECT_EQ(Collapsed(), 0);
    EXPECT_EQ(RectOf(m_window).Height(), 200);
    EXPECT_EQ(Toggle(false, true), 0);
    EXPECT_EQ(Collapsed(), 1);
    EXPECT_EQ(Toggle(true, false), 0);  // restoring too needs the preference or force
    EXPECT_EQ(Collapsed(), 1);
    EXPECT_EQ(Toggle(true, true), 0);
    EXPECT_EQ(Collapsed(), 0);
}

TEST_F(CollapseTest, WrongWindows) {
    lumvar::SetCollapsePreference(1);
    EXPECT_EQ(lumvar::ToggleWindowSize(m_window, 0, nullptr, 0), 2);
    EXPECT_EQ(lumvar::ToggleWindowSize(win::kNoWindow, 0, m_state.data(), 0), 2);
    ASSERT_EQ(Toggle(false, false), 0);
    const win::Hwnd other = Window(0, 0, 50, 50);
    EXPECT_EQ(Toggle(true, false, other), 20);  // not the window of the state
    EXPECT_EQ(Collapsed(), 1);
    win::DestroyWindow(other);
    EXPECT_EQ(Toggle(false, false, other), 20);  // destroyed
    EXPECT_EQ(hostapi::ReadU32(m_state.data(), WindowCollapseState::kWindow), 0u);
}

TEST_F(CollapseTest, TransparencyOnSystemsThatHaveIt) {
    lumvar::SetCollapsePreference(1);
    lumvar::SetTransparencyPreference(1);
    ASSERT_EQ(Toggle(false, false), 0);
    EXPECT_NE(win::GetWindowLong(m_window, win::GWL_EXSTYLE) & win::WS_EX_LAYERED, 0);
    uint8_t alpha = 0;
    uint32_t flags = 0;
    ASSERT_TRUE(win::GetLayeredWindowAttributes(m_window, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 153);  // 60 percent of 255
    EXPECT_EQ(flags, win::LWA_ALPHA);
    ASSERT_EQ(Toggle(true, false), 0);
    EXPECT_EQ(win::GetWindowLong(m_window, win::GWL_EXSTYLE) & win::WS_EX_LAYERED, 0);
}

TEST_F(CollapseTest, NoTransparencyBeforeWindows2000) {
    win::SetSimulatedOsVersion({.majorVersion = 4, .minorVersion = 0, .buildNumber = 1381});
    lumvar::SetCollapsePreference(1);
    lumvar::SetTransparencyPreference(1);
    ASSERT_EQ(Toggle(false, false), 0);
    EXPECT_EQ(win::GetWindowLong(m_window, win::GWL_EXSTYLE) & win::WS_EX_LAYERED, 0);
}

// ---- The host's document window ----

class DocumentWindowTest : public WindowServicesTest {
protected:
    void SetUp() override {
        WindowServicesTest::SetUp();
        StartLumvar();
        NewDocument();
        m_client = m_host->Windows().MdiClient();
        m_document = m_host->Windows().WindowOf(1);
    }
    win::Hwnd m_client = win::kNoWindow;
    win::Hwnd m_document = win::kNoWindow;
};

TEST_F(DocumentWindowTest, ScrollView) {
    EXPECT_EQ(lumvar::HostMdiClient(), m_client);
    EXPECT_EQ(lumvar::GetDocumentWindow(), m_document);
    EXPECT_EQ(lumvar::IsPageView(), 0);
    EXPECT_EQ(lumvar::GetCurrentPage(), 0);
    EXPECT_EQ(lumvar::GetScrollViewMeasure(), 1);  // a new document shows measure 1
    ASSERT_TRUE(m_host->Windows().ScrollToMeasure(17));
    EXPECT_EQ(lumvar::GetScrollViewMeasure(), 17);
    EXPECT_EQ(lumvar::LeftmostMeasure(), 17);
}

TEST_F(DocumentWindowTest, PageView) {
    // Page 2 begins with system 2, whose first measure is 9.
    SaveOther("SOPS", 1, 0, Words(22, {{8, 1}}));
    SaveOther("SOPS", 2, 0, Words(22, {{8, 2}}));
    SaveOther("SOSS", 1, 0, Words(20, {{8, 1}, {10, 9}}));
    SaveOther("SOSS", 2, 0, Words(20, {{8, 9}, {10, 12}}));
    Staff(1);
    ListEntry(0, 0, 1, 0);
    ASSERT_TRUE(m_host->Windows().SetPageView(true));
    EXPECT_EQ(lumvar::IsPageView(), 1);
    EXPECT_EQ(lumvar::GetScrollViewMeasure(), 0);
    EXPECT_EQ(lumvar::GetCurrentPage(), 1);
    EXPECT_EQ(lumvar::LeftmostMeasure(), 1);
    ASSERT_TRUE(m_host->Windows().ShowPage(2));
    EXPECT_EQ(lumvar::GetCurrentPage(), 2);
    EXPECT_EQ(lumvar::LeftmostMeasure(), 9);
    EXPECT_FALSE(m_host->Windows().ShowPage(3));  // no such page: the view stays
    EXPECT_EQ(lumvar::GetCurrentPage(), 2);
    // A page field that shows no page number reads -1 (the user typed over it).
    win::SetWindowText(win::GetDlgItem(win::GetDlgItem(m_document, 203), 1005), "x");
    EXPECT_EQ(lumvar::GetCurrentPage(), -1);
    EXPECT_EQ(lumvar::LeftmostMeasure(), 0);
    // Back to scroll view: the measure shown before.
    ASSERT_TRUE(m_host->Windows().SetPageView(false));
    EXPECT_EQ(lumvar::IsPageView(), 0);
    EXPECT_EQ(lumvar::GetScrollViewMeasure(), 1);
}

TEST_F(DocumentWindowTest, TheViewMenuSwitchesTheView) {
    m_host->RunCommandId(host::kCommandPageView);
    EXPECT_EQ(lumvar::IsPageView(), 1);
    m_host->RunCommandId(host::kCommandScrollView);
    EXPECT_EQ(lumvar::IsPageView(), 0);
}

TEST_F(DocumentWindowTest, TheDocumentInFrontIsTheActiveDocumentWindow) {
    NewDocument();
    const win::Hwnd second = m_host->Windows().WindowOf(2);
    EXPECT_EQ(lumvar::GetDocumentWindow(), second);
    ASSERT_TRUE(m_host->BringToFront(1));
    EXPECT_EQ(lumvar::GetDocumentWindow(), m_document);
    EXPECT_EQ(win::GetChildWindows(m_client), (std::vector<win::Hwnd>{m_document, second}));
    ASSERT_TRUE(m_host->CloseFront());
    EXPECT_FALSE(win::IsWindow(m_document));
    EXPECT_EQ(lumvar::GetDocumentWindow(), second);
    ASSERT_TRUE(m_host->CloseFront());
    EXPECT_EQ(lumvar::GetDocumentWindow(), win::kNoWindow);
    EXPECT_EQ(lumvar::IsPageView(), 0);
    EXPECT_EQ(lumvar::GetScrollViewMeasure(), 0);
}

// ---- Hooks ----

std::vector<std::string>& Told() {
    static std::vector<std::string> told;
    return told;
}
void Listen(uint8_t code, int32_t size, const void* data) {
    std::string entry = std::to_string(code);
    if (size == 2) {
        entry += "=" + std::to_string(hostapi::ReadI16(static_cast<const uint8_t*>(data), 0));
    }
    Told().push_back(entry);
}

class HooksTest : public DocumentWindowTest {
protected:
    void SetUp() override {
        DocumentWindowTest::SetUp();
        Told().clear();
        lumvar::SetNotifyHook(Listen, 1);
    }
};

TEST_F(HooksTest, HostEventsAreTold) {
    win::SwitchToAnotherProgram();  // the user goes to another program and comes back
    win::SetForegroundWindow(m_host->MainWindow());
    win::SendMessage(m_client, win::WM_MDIREFRESHMENU);
    NewDocument();  // its window comes to the top
    ASSERT_TRUE(m_host->BringToFront(1));
    ASSERT_TRUE(m_host->Windows().ScrollToMeasure(5));  // still scroll view: nothing to tell
    m_host->RunCommandId(host::kCommandPageView);
    ASSERT_TRUE(m_host->Windows().ShowPage(1));  // still page view
    m_host->RunCommandId(host::kCommandScrollView);
    ASSERT_TRUE(m_host->CloseFront());  // another document window is left
    ASSERT_TRUE(m_host->CloseFront());
    EXPECT_EQ(Told(), (std::vector<std::string>{"55=0", "55=1", "53", "53", "53", "54=1", "54=0", "53", "52"}));
}

TEST_F(HooksTest, AWindowMovedWithoutChangingTheZOrderIsNotTold) {
    win::SetWindowPos(m_document, win::HWND_TOP, 5, 5, 100, 100, win::SWP_NOZORDER);
    win::SetWindowPos(m_document, win::HWND_BOTTOM, 0, 0, 0, 0, win::SWP_NOMOVE | win::SWP_NOSIZE);
    EXPECT_TRUE(Told().empty());
    win::SetWindowPos(m_document, win::HWND_TOP, 0, 0, 0, 0, win::SWP_NOMOVE | win::SWP_NOSIZE);
    EXPECT_EQ(Told(), (std::vector<std::string>{"53"}));
}

TEST_F(HooksTest, NothingIsToldWithoutClientsOrAfterTermination) {
    lumvar::SetNotifyHook(Listen, 0);
    win::SendMessage(m_host->MainWindow(), win::WM_ACTIVATEAPP, 1);
    EXPECT_TRUE(Told().empty());
    lumvar::SetNotifyHook(Listen, 1);
    m_host->UnloadPlugins();
    win::SendMessage(m_host->MainWindow(), win::WM_ACTIVATEAPP, 1);
    m_host->CloseFront();
    EXPECT_TRUE(Told().empty());
}

TEST_F(HooksTest, HostCommandsTakenFromTheQueue) {
    const win::Hwnd host = m_host->MainWindow();
    for (const uint32_t id : {11703u, 11728u, 11706u}) {
        win::PostMessage(host, win::WM_COMMAND, id);
    }
    win::PostMessage(m_document, win::WM_COMMAND, 11701);  // not the host window
    win::SendMessage(host, win::WM_COMMAND, 11702);        // sent, never in the queue
    EXPECT_TRUE(Told().empty());
    win::PumpMessages();
    EXPECT_EQ(Told(), (std::vector<std::string>{"51=3", "51=6"}));
    // A key taken from the queue is no command.
    lumvar::WatchTakenMessage(host, win::WM_KEYDOWN, 11701);
    EXPECT_EQ(Told(), (std::vector<std::string>{"51=3", "51=6"}));
}

}  // namespace
