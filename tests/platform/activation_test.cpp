// Activation, the keyboard focus and the Z order of the window system: the messages a window is
// told, the window that takes over when the active one goes, owned and topmost windows.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/win/messages.h"
#include "platform/win/user32.h"
#include "platform/win/windows.h"
#include "tests/support/fixture.h"

namespace {

class ActivationTest : public testsupport::DesktopTest {
protected:
    /// A window whose procedure writes what it is told: "NAME activate 1 <- OTHER" and so on.
    win::Hwnd Make(const std::string& name, win::Hwnd owner = win::kNoWindow, win::Hwnd parent = win::kNoWindow,
                   bool visible = true) {
        const win::Hwnd window =
            win::CreateWindow({.className = name, .title = name, .parent = parent, .owner = owner, .visible = visible});
        m_names[static_cast<uint32_t>(window)] = name;
        win::SetWindowProc(window, [this, name](win::Hwnd w, uint32_t message, uintptr_t wParam, intptr_t lParam) {
            const auto other = [this](uintptr_t handle) {
                const auto it = m_names.find(static_cast<uint32_t>(handle));
                return it == m_names.end() ? std::string("-") : it->second;
            };
            switch (message) {
                case win::WM_ACTIVATE:
                    m_told.push_back(name + " activate " + std::to_string(wParam) + " <- " +
                                     other(static_cast<uintptr_t>(lParam)));
                    break;
                case win::WM_NCACTIVATE:
                    m_told.push_back(name + " caption " + std::to_string(wParam));
                    break;
                case win::WM_SETFOCUS:
                    m_told.push_back(name + " focus <- " + other(wParam));
                    break;
                case win::WM_KILLFOCUS:
                    m_told.push_back(name + " loses focus -> " + other(wParam));
                    break;
                case win::WM_DESTROY:
                    m_told.push_back(name + " destroy");
                    break;
                case win::WM_ACTIVATEAPP:
                    m_told.push_back(name + " program " + std::to_string(wParam));
                    break;
                case win::WM_WINDOWPOSCHANGED: {
                    const auto* place = reinterpret_cast<const win::WindowPos*>(lParam);
                    m_told.push_back(name + " placed after " + other(static_cast<uintptr_t>(place->insertAfter)) + " " +
                                     std::to_string(place->width) + "x" + std::to_string(place->height));
                    break;
                }
                default:
                    return win::DefWindowProc(w, message, wParam, lParam);
            }
            return intptr_t{0};
        });
        return window;
    }
    std::vector<std::string> Order() const {
        std::vector<std::string> order;
        for (const win::Hwnd window : win::GetTopLevelWindows()) {
            order.push_back(m_names.at(static_cast<uint32_t>(window)));
        }
        return order;
    }

    std::map<uint32_t, std::string> m_names;
    std::vector<std::string> m_told;
};

TEST_F(ActivationTest, ActivatingAWindowTellsBothAndMovesTheFocus) {
    const win::Hwnd host = Make("host");  // the first visible window is active at once
    const win::Hwnd form = Make("form");
    EXPECT_EQ(win::GetActiveWindow(), host);
    EXPECT_EQ(win::GetFocus(), host);
    m_told.clear();
    ASSERT_TRUE(win::SetForegroundWindow(form));
    testsupport::ExpectLines({"host caption 0", "host activate 0 <- form", "form caption 1", "form activate 1 <- host",
                              "host loses focus -> form", "form focus <- host"},
                             m_told);
    EXPECT_EQ(win::GetForegroundWindow(), form);
    EXPECT_EQ(win::GetActiveWindow(), form);
    EXPECT_EQ(Order(), (std::vector<std::string>{"form", "host"}));
    m_told.clear();
    EXPECT_TRUE(win::SetForegroundWindow(form));  // already active: nothing is told
    EXPECT_TRUE(m_told.empty());
}

TEST_F(ActivationTest, AnotherProgramInFrontTellsEveryWindow) {
    const win::Hwnd host = Make("host");
    Make("form", host);
    m_told.clear();
    win::SwitchToAnotherProgram();
    testsupport::ExpectLines(
        {"host caption 0", "host activate 0 <- -", "form program 0", "host program 0", "host loses focus -> -"},
        m_told);
    EXPECT_EQ(win::GetForegroundWindow(), win::kNoWindow);
    EXPECT_EQ(win::GetFocus(), win::kNoWindow);
    m_told.clear();
    win::SetForegroundWindow(host);  // the user clicks the host again
    testsupport::ExpectLines(
        {"form program 1", "host program 1", "host caption 1", "host activate 1 <- -", "host focus <- -"}, m_told);
}

TEST_F(ActivationTest, FocusingAControlActivatesItsWindowFirst) {
    const win::Hwnd host = Make("host");
    const win::Hwnd form = Make("form");
    const win::Hwnd button = Make("button", win::kNoWindow, form);
    win::SetForegroundWindow(host);
    m_told.clear();
    EXPECT_EQ(win::SetFocus(button), host);  // answers the window that had the focus
    testsupport::ExpectLines(
        {"host caption 0", "host activate 0 <- form", "form caption 1", "form activate 1 <- host",
         "host loses focus -> form", "form focus <- host", "form loses focus -> button", "button focus <- form"},
        m_told);
    EXPECT_EQ(win::GetActiveWindow(), form);
    EXPECT_EQ(win::GetFocus(), button);
    // Giving the host the focus brings it to the front.
    EXPECT_EQ(win::SetFocus(host), button);
    EXPECT_EQ(win::GetForegroundWindow(), host);
    EXPECT_EQ(win::SetFocus(win::kNoWindow), host);
    EXPECT_EQ(win::GetFocus(), win::kNoWindow);
    EXPECT_EQ(win::GetActiveWindow(), host);
}

TEST_F(ActivationTest, AWindowThatFocusesItsControlOnActivationKeepsIt) {
    const win::Hwnd host = Make("host");
    const win::Hwnd form = win::CreateWindow({.className = "form"});
    const win::Hwnd edit = win::CreateWindow({.className = "edit", .parent = form});
    win::SetWindowProc(form, [edit](win::Hwnd, uint32_t message, uintptr_t wParam, intptr_t) {
        if (message == win::WM_ACTIVATE && wParam != win::WA_INACTIVE) {
            win::SetFocus(edit);
        }
        return intptr_t{0};
    });
    win::SetForegroundWindow(form);
    EXPECT_EQ(win::GetFocus(), edit);
    win::SetForegroundWindow(host);
    EXPECT_EQ(win::GetFocus(), host);
}

TEST_F(ActivationTest, OwnedWindowsStayAboveTheirOwner) {
    const win::Hwnd host = Make("host");
    const win::Hwnd form = Make("form", host);
    const win::Hwnd other = Make("other");
    win::SetForegroundWindow(other);
    EXPECT_EQ(Order(), (std::vector<std::string>{"other", "form", "host"}));
    win::SetForegroundWindow(host);  // the host is active, its form stays in front of it
    EXPECT_EQ(Order(), (std::vector<std::string>{"form", "host", "other"}));
    EXPECT_EQ(win::GetForegroundWindow(), host);
    EXPECT_EQ(win::GetWindow(host, win::GW_HWNDPREV), form);
    EXPECT_EQ(win::GetWindow(form, win::GW_OWNER), host);
}

TEST_F(ActivationTest, WhenTheActiveWindowGoesItsOwnerOrTheNextWindowTakesOver) {
    const win::Hwnd host = Make("host");
    const win::Hwnd other = Make("other");
    const win::Hwnd form = Make("form", host);
    const win::Hwnd hidden = Make("hidden", win::kNoWindow, win::kNoWindow, false);
    win::SetForegroundWindow(other);
    win::SetForegroundWindow(form);
    EXPECT_TRUE(win::ShowWindow(form, false));
    EXPECT_EQ(win::GetActiveWindow(), host);  // the owner, although "other" lies between them
    win::ShowWindow(form, true);              // showing activates nothing
    EXPECT_EQ(win::GetActiveWindow(), host);
    win::SetForegroundWindow(other);
    m_told.clear();
    ASSERT_TRUE(win::DestroyWindow(other));
    EXPECT_EQ(m_told.front(), "other caption 0");
    EXPECT_EQ(m_told.back(), "other destroy");  // deactivated before it goes
    EXPECT_EQ(win::GetActiveWindow(), form);    // the first visible window in Z order
    EXPECT_EQ(win::GetFocus(), form);
    ASSERT_TRUE(win::DestroyWindow(host));
    EXPECT_EQ(win::GetOwner(form), win::kNoWindow);  // the owned window stays, without owner
    EXPECT_EQ(win::GetActiveWindow(), form);
    win::DestroyWindow(form);
    EXPECT_EQ(win::GetActiveWindow(), win::kNoWindow);  // the hidden window is not activated
    EXPECT_EQ(win::GetFocus(), win::kNoWindow);
    EXPECT_TRUE(win::IsWindow(hidden));
}

TEST_F(ActivationTest, TopmostWindowsStayAboveTheOthers) {
    const win::Hwnd host = Make("host");
    const win::Hwnd info = Make("info");
    ASSERT_TRUE(win::SetWindowPos(info, win::HWND_TOPMOST, 0, 0, 0, 0,
                                  win::SWP_NOMOVE | win::SWP_NOSIZE | win::SWP_NOACTIVATE));
    EXPECT_NE(win::GetWindowLong(info, win::GWL_EXSTYLE) & win::WS_EX_TOPMOST, 0);
    const win::Hwnd later = Make("later");  // a new window goes below the topmost one
    win::SetForegroundWindow(later);
    win::SetForegroundWindow(host);
    EXPECT_EQ(Order(), (std::vector<std::string>{"info", "host", "later"}));
    EXPECT_EQ(win::GetActiveWindow(), host);
    win::SetWindowPos(info, win::HWND_NOTOPMOST, 0, 0, 0, 0, win::SWP_NOMOVE | win::SWP_NOSIZE);
    EXPECT_EQ(win::GetWindowLong(info, win::GWL_EXSTYLE) & win::WS_EX_TOPMOST, 0);
    EXPECT_EQ(win::GetActiveWindow(), info);  // without SWP_NOACTIVATE the window is activated
    win::SetForegroundWindow(later);
    EXPECT_EQ(Order(), (std::vector<std::string>{"later", "info", "host"}));
}

TEST_F(ActivationTest, PlacingAWindowTellsItItsNewPlace) {
    const win::Hwnd frame = Make("frame");
    const win::Hwnd first = Make("first", win::kNoWindow, frame);
    const win::Hwnd second = Make("second", win::kNoWindow, frame);
    EXPECT_EQ(win::GetChildWindows(frame), (std::vector<win::Hwnd>{first, second}));  // creation order
    m_told.clear();
    ASSERT_TRUE(win::SetWindowPos(second, win::HWND_TOP, 0, 0, 0, 0, win::SWP_NOMOVE | win::SWP_NOSIZE));
    ASSERT_TRUE(win::SetWindowPos(first, win::kNoWindow, 10, 20, 300, 200, win::SWP_NOZORDER));
    ASSERT_TRUE(win::SetWindowPos(first, second, 0, 0, 0, 0, win::SWP_NOMOVE | win::SWP_NOSIZE));
    testsupport::ExpectLines(
        {"second placed after - 0x0", "first placed after - 300x200", "first placed after second 300x200"}, m_told);
    EXPECT_EQ(win::GetChildWindows(frame), (std::vector<win::Hwnd>{second, first}));
    EXPECT_EQ(win::GetTopWindow(frame), second);
    EXPECT_EQ(win::GetWindow(second, win::GW_HWNDNEXT), first);
    EXPECT_EQ(win::GetWindow(frame, win::GW_CHILD), second);
    EXPECT_EQ(win::GetActiveWindow(), frame);  // child windows are never activated
    win::SetWindowPos(second, win::HWND_BOTTOM, 0, 0, 0, 0, win::SWP_NOMOVE | win::SWP_NOSIZE);
    EXPECT_EQ(win::GetWindow(frame, win::GW_CHILD), first);
}

TEST_F(ActivationTest, DestroyingTellsTheWindowBeforeItsChildren) {
    const win::Hwnd frame = Make("frame");
    const win::Hwnd pane = Make("pane", win::kNoWindow, frame);
    Make("control", win::kNoWindow, pane);
    win::SetFocus(pane);
    m_told.clear();
    ASSERT_TRUE(win::DestroyWindow(frame));
    // The last window of the program goes: the program is no longer in front.
    testsupport::ExpectLines({"frame caption 0", "frame activate 0 <- -", "frame program 0", "pane loses focus -> -",
                              "frame destroy", "pane destroy", "control destroy"},
                             m_told);
    EXPECT_EQ(win::GetFocus(), win::kNoWindow);
    EXPECT_FALSE(win::IsWindow(pane));
}

TEST_F(ActivationTest, AncestorsAndDialogItems) {
    const win::Hwnd host = Make("host");
    const win::Hwnd form = Make("form", host);
    const win::Hwnd pane = win::CreateWindow({.className = "pane", .parent = form, .id = 203});
    const win::Hwnd field = win::CreateWindow({.className = "Edit", .parent = pane, .id = 1005});
    EXPECT_EQ(win::GetAncestor(field, win::GA_PARENT), pane);
    EXPECT_EQ(win::GetAncestor(field, win::GA_ROOT), form);
    EXPECT_EQ(win::GetAncestor(field, win::GA_ROOTOWNER), host);
    EXPECT_TRUE(win::IsChild(form, field));
    EXPECT_FALSE(win::IsChild(pane, form));
    EXPECT_EQ(win::GetDlgItem(win::GetDlgItem(form, 203), 1005), field);
    EXPECT_EQ(win::GetDlgItem(form, 1005), win::kNoWindow);  // direct children only
    EXPECT_EQ(win::FindWindow("form"), form);
    EXPECT_EQ(win::FindWindow("form", "other title"), win::kNoWindow);
    win::SetLastError(0);
    EXPECT_FALSE(win::SetOwner(field, host));  // a child window has no owner
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_PARAMETER);
}

}  // namespace
