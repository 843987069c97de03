// Window rectangles, styles, layered windows, scroll positions, system metrics, beeps and the
// system module "user32.dll".
#include <gtest/gtest.h>

#include <memory>

#include "platform/host/host.h"
#include "platform/win/modules.h"
#include "platform/win/process.h"
#include "platform/win/screen.h"
#include "platform/win/system.h"
#include "platform/win/transcript.h"
#include "platform/win/user32.h"
#include "platform/win/windows.h"
#include "tests/support/fixture.h"

namespace {

class User32Test : public testsupport::DesktopTest {
protected:
    static win::Rect RectOf(win::Hwnd window) {
        win::Rect rect{-1, -1, -1, -1};
        EXPECT_TRUE(win::GetWindowRect(window, rect));
        return rect;
    }
};

TEST_F(User32Test, Rectangles) {
    const win::Hwnd window = win::CreateWindow({.className = "Tool"});
    EXPECT_EQ(RectOf(window), (win::Rect{0, 0, 0, 0}));
    ASSERT_TRUE(win::SetWindowPos(window, win::kNoWindow, 10, 20, 300, 200, win::SWP_NOZORDER));
    EXPECT_EQ(RectOf(window), (win::Rect{10, 20, 310, 220}));
    ASSERT_TRUE(win::SetWindowPos(window, win::kNoWindow, 50, 60, 1, 1, win::SWP_NOSIZE));
    EXPECT_EQ(RectOf(window), (win::Rect{50, 60, 350, 260}));
    ASSERT_TRUE(win::SetWindowPos(window, win::kNoWindow, 0, 0, 100, 24, win::SWP_NOMOVE));
    EXPECT_EQ(RectOf(window), (win::Rect{50, 60, 150, 84}));
    ASSERT_TRUE(win::MoveWindow(window, 1, 2, 3, 4, true));
    EXPECT_EQ(RectOf(window), (win::Rect{1, 2, 4, 6}));
    win::DestroyWindow(window);
    win::Rect rect;
    win::SetLastError(0);
    EXPECT_FALSE(win::GetWindowRect(window, rect));
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_WINDOW_HANDLE);
    win::SetLastError(0);
    EXPECT_FALSE(win::SetWindowPos(window, win::kNoWindow, 0, 0, 1, 1, 0));
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(User32Test, AFreshDesktopForgetsTheRectangles) {
    const win::Hwnd window = win::CreateWindow({.className = "Tool"});
    win::SetWindowPos(window, win::kNoWindow, 10, 20, 300, 200, win::SWP_NOZORDER);
    win::SetWindowLong(window, win::GWL_EXSTYLE, win::WS_EX_LAYERED);
    win::ResetSystem();
    const win::Hwnd again = win::CreateWindow({.className = "Tool"});
    ASSERT_EQ(again, window);  // the same handle on the fresh desktop
    EXPECT_EQ(RectOf(again), (win::Rect{0, 0, 0, 0}));
    EXPECT_EQ(win::GetWindowLong(again, win::GWL_EXSTYLE), 0);
}

TEST_F(User32Test, StylesAndLayeredWindows) {
    const win::Hwnd window = win::CreateWindow({.className = "Tool"});
    EXPECT_EQ(win::GetWindowLong(window, win::GWL_EXSTYLE), 0);
    win::SetLastError(0);
    EXPECT_FALSE(win::SetLayeredWindowAttributes(window, 0, 100, win::LWA_ALPHA));
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_PARAMETER);
    EXPECT_EQ(win::SetWindowLong(window, win::GWL_EXSTYLE, win::WS_EX_LAYERED | 8), 0);
    EXPECT_EQ(win::GetWindowLong(window, win::GWL_EXSTYLE), win::WS_EX_LAYERED | 8);
    ASSERT_TRUE(win::SetLayeredWindowAttributes(window, 0x00FF00, 100, win::LWA_ALPHA | win::LWA_COLORKEY));
    uint32_t key = 0;
    uint8_t alpha = 0;
    uint32_t flags = 0;
    ASSERT_TRUE(win::GetLayeredWindowAttributes(window, &key, &alpha, &flags));
    EXPECT_EQ(key, 0x00FF00u);
    EXPECT_EQ(alpha, 100);
    EXPECT_EQ(flags, win::LWA_ALPHA | win::LWA_COLORKEY);
    win::SetLastError(0);
    EXPECT_EQ(win::GetWindowLong(window, -4), 0);
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_PARAMETER);
    EXPECT_EQ(win::SetWindowLong(window, win::GWL_STYLE, 5), 0);
    EXPECT_EQ(win::SetWindowLong(window, win::GWL_STYLE, 6), 5);
}

TEST_F(User32Test, ScrollPositions) {
    const win::Hwnd bar = win::CreateWindow({.className = "ScrollBar"});
    EXPECT_EQ(win::GetScrollPos(bar, win::SB_CTL), 0);
    EXPECT_EQ(win::SetScrollPos(bar, win::SB_CTL, 12, true), 0);
    EXPECT_EQ(win::SetScrollPos(bar, win::SB_CTL, 13, true), 12);
    EXPECT_EQ(win::GetScrollPos(bar, win::SB_CTL), 13);
    EXPECT_EQ(win::GetScrollPos(bar, win::SB_VERT), 0);
    win::SetLastError(0);
    EXPECT_EQ(win::GetScrollPos(bar, 3), 0);
    EXPECT_EQ(win::GetLastError(), win::ERROR_INVALID_PARAMETER);
}

TEST_F(User32Test, SystemMetrics) {
    EXPECT_EQ(win::GetSystemMetrics(win::SM_CXSCREEN), 1024);
    EXPECT_EQ(win::GetSystemMetrics(win::SM_CYSCREEN), 768);
    EXPECT_EQ(win::GetSystemMetrics(win::SM_CYDLGFRAME), 3);
    EXPECT_EQ(win::GetSystemMetrics(win::SM_CYSIZE), 18);
    EXPECT_EQ(win::GetSystemMetrics(win::SM_CYCAPTION), 19);
    EXPECT_EQ(win::GetSystemMetrics(999), 0);
    win::MonitorInfo wide;
    wide.bounds = {0, 0, 1600, 1200};
    wide.workArea = {0, 0, 1600, 1170};
    wide.primary = true;
    ASSERT_TRUE(win::SetSimulatedMonitors({wide}));
    EXPECT_EQ(win::GetSystemMetrics(win::SM_CXSCREEN), 1600);
}

TEST_F(User32Test, Beeps) {
    EXPECT_TRUE(win::MessageBeep(win::MB_ICONEXCLAMATION));
    EXPECT_TRUE(win::MessageBeep(win::MB_SIMPLE_BEEP));
    EXPECT_FALSE(win::MessageBeep(0x77));
    EXPECT_TRUE(win::Beep(440, 100));
    EXPECT_FALSE(win::Beep(20, 100));
    testsupport::ExpectLines({"[beep] exclamation", "[beep] simple", "[beep] 440 Hz, 100 ms"}, win::TranscriptLines());
}

TEST_F(User32Test, TheSystemModuleExportsByName) {
    host::Host program;
    const win::Hmodule registered = win::RegisterUser32Module();
    ASSERT_NE(registered, win::kNoModule);
    EXPECT_EQ(win::RegisterUser32Module(), registered);  // once
    EXPECT_NE(win::GetModuleHandle(""), registered);     // the program stays the main module
    const win::Hmodule loaded = win::LoadLibrary("USER32.DLL");
    ASSERT_EQ(loaded, registered);
    const auto set =
        reinterpret_cast<win::SetLayeredWindowAttributesFn>(win::GetProcAddress(loaded, "SetLayeredWindowAttributes"));
    const auto get =
        reinterpret_cast<win::GetLayeredWindowAttributesFn>(win::GetProcAddress(loaded, "GetLayeredWindowAttributes"));
    ASSERT_NE(set, nullptr);
    ASSERT_NE(get, nullptr);
    EXPECT_NE(win::GetProcAddress(loaded, "MessageBeep"), nullptr);
    EXPECT_EQ(win::GetProcAddress(loaded, "UpdateLayeredWindow"), nullptr);
    const win::Hwnd window = win::CreateWindow({.className = "Tool"});
    EXPECT_EQ(set(window, 0, 10, win::LWA_ALPHA), 0);  // not layered
    win::SetWindowLong(window, win::GWL_EXSTYLE, win::WS_EX_LAYERED);
    EXPECT_EQ(set(window, 0, 10, win::LWA_ALPHA), 1);
    uint8_t alpha = 0;
    EXPECT_EQ(get(window, nullptr, &alpha, nullptr), 1);
    EXPECT_EQ(alpha, 10);
    EXPECT_TRUE(win::FreeLibrary(loaded));
    EXPECT_EQ(win::GetModuleHandle("user32.dll"), registered);
}

TEST_F(User32Test, TheCommandLine) {
    {
        host::Host program;
        EXPECT_EQ(win::GetCommandLine(), "\"" + win::GetModuleFileName(win::GetModuleHandle("")) + "\"");
        win::SetCommandLine("finale -iX.INI");
        EXPECT_EQ(win::GetCommandLine(), "finale -iX.INI");
    }
    // A fresh system has forgotten the command line that was set.
    win::ResetSystem();
    host::Host program;
    EXPECT_EQ(win::GetCommandLine(), "\"" + win::GetModuleFileName(win::GetModuleHandle("")) + "\"");
}

}  // namespace
