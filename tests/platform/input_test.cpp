// Keyboard input through hooks, the message loop and idle time, and named file mappings.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/win/file_mapping.h"
#include "platform/win/input.h"
#include "platform/win/keys.h"
#include "platform/win/messages.h"
#include "platform/win/timers.h"
#include "platform/win/win.h"
#include "tests/support/fixture.h"

namespace {

std::vector<std::string> s_events;
win::Hhook s_first = win::kNoHook;
win::Hhook s_second = win::kNoHook;

intptr_t FirstHook(int32_t code, uintptr_t key, intptr_t data) {
    s_events.push_back("first " + win::KeyName(static_cast<uint16_t>(key)) + ((data & 0x80000000) ? " up" : " down"));
    if (key == 'X') {
        return 1;  // swallowed: the second hook and the window never see it
    }
    return win::CallNextHookEx(s_first, code, key, data);
}

intptr_t SecondHook(int32_t code, uintptr_t key, intptr_t data) {
    s_events.push_back("second " + win::KeyName(static_cast<uint16_t>(key)));
    return win::CallNextHookEx(s_second, code, key, data);
}

class InputTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        s_events.clear();
        m_window = win::CreateWindow({.className = "Finale", .title = "Finale"});
        win::SetWindowProc(m_window, [](win::Hwnd, uint32_t message, uintptr_t key, intptr_t data) {
            if (message == win::WM_KEYDOWN) {
                const uint32_t scan = (static_cast<uint32_t>(data) >> 16) & 0xFF;
                s_events.push_back("window " + win::KeyName(static_cast<uint16_t>(key)) + " scan " +
                                   std::to_string(scan) + ((data & (1 << 24)) ? " extended" : ""));
            }
            return intptr_t{0};
        });
    }
    win::Hwnd m_window = win::kNoWindow;
};

TEST_F(InputTest, HooksRunInInstallOrderAndMaySwallow) {
    s_first = win::SetWindowsHookEx(win::WH_KEYBOARD, FirstHook, win::kNoModule, 1);
    s_second = win::SetWindowsHookEx(win::WH_KEYBOARD, SecondHook, win::kNoModule, 1);
    win::QueueUserKey('A', false, false, false);
    win::keybd_event('X', 45, 0, 0);
    EXPECT_EQ(win::PendingInput(), 3u);
    EXPECT_TRUE(s_events.empty());  // nothing is delivered before the loop runs
    EXPECT_EQ(win::RunMessageLoop(), 3);
    testsupport::ExpectLines({"first A down", "second A", "window A scan 30", "first A up", "second A", "first X down"},
                             s_events);
    EXPECT_TRUE(win::UnhookWindowsHookEx(s_first));
    EXPECT_FALSE(win::UnhookWindowsHookEx(s_first));
    EXPECT_EQ(win::HookCount(win::WH_KEYBOARD), 1u);
}

TEST_F(InputTest, KeyStateAndExtendedKeys) {
    win::QueueUserKey(win::VK_NUMLOCK, true, false, false);
    win::RunMessageLoop();
    testsupport::ExpectLines({"window Shift scan 42", "window Num Lock scan 69 extended"}, s_events);
    EXPECT_EQ(win::GetKeyState(win::VK_SHIFT) & 0x8000, 0);
    EXPECT_EQ(win::GetKeyState(win::VK_NUMLOCK) & 1, 1);  // toggled by the press
}

// The message made of a synthesised key carries the extra information the program gave
// keybd_event; a key the user pressed and a posted message carry none.
TEST_F(InputTest, AKeysMessageCarriesItsExtraInformation) {
    std::vector<uintptr_t> seen;
    win::SetWindowProc(m_window, [&seen](win::Hwnd, uint32_t message, uintptr_t, intptr_t) {
        if (message == win::WM_KEYDOWN || message == win::WM_COMMAND) {
            seen.push_back(win::GetMessageExtraInfo());
        }
        return intptr_t{0};
    });
    win::keybd_event('C', 46, 0, 40017);
    win::keybd_event('C', 46, win::KEYEVENTF_KEYUP, 40017);
    win::RunMessageLoop();
    win::PostMessage(m_window, win::WM_COMMAND, 7);
    win::RunMessageLoop();
    win::QueueUserKey('C', false, false, false);
    win::RunMessageLoop();
    EXPECT_EQ(seen, (std::vector<uintptr_t>{40017, 0, 0}));
}

TEST_F(InputTest, KeyboardLayout) {
    EXPECT_EQ(win::VkKeyScan('a'), 'A');
    EXPECT_EQ(win::VkKeyScan('A'), 0x100 | 'A');
    EXPECT_EQ(win::VkKeyScan('?'), 0x100 | win::VK_OEM_2);
    EXPECT_EQ(win::VkKeyScan('7'), '7');
    EXPECT_EQ(win::VkKeyScan('\x01'), -1);
    EXPECT_EQ(win::MapVirtualKeyToScanCode(win::VK_ADD), 78);
    EXPECT_EQ(win::KeyFromName("num +"), win::VK_ADD);
    EXPECT_EQ(win::KeyFromName("Nothing"), 0);
}

TEST_F(InputTest, IdleRunsDueTimersThenTheLoop) {
    int ticks = 0;
    win::SetTimer(m_window, 1, 500, [&ticks](win::Hwnd, uint32_t) {
        ++ticks;
        win::PostMessage(win::GetForegroundWindow(), win::WM_COMMAND, 7);
    });
    win::Idle(499);
    EXPECT_EQ(ticks, 0);
    win::Idle(1);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(win::PendingMessages(), 0u);
    win::Idle(1000);
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(win::GetTickCount(), 1500u);
}

TEST_F(InputTest, NamedMappingsLiveWhileAHandleIsOpen) {
    const win::Handle created = win::CreateFileMapping(win::PAGE_READWRITE, 8, "orvex83886085");
    ASSERT_NE(created, win::kNoHandle);
    EXPECT_EQ(win::GetLastError(), win::ERROR_SUCCESS);
    std::memcpy(win::MapViewOfFile(created, win::FILE_MAP_WRITE), "abcdefg", 8);
    const win::Handle opened = win::OpenFileMapping(win::FILE_MAP_READ, "orvex83886085");
    ASSERT_NE(opened, win::kNoHandle);
    EXPECT_STREQ(static_cast<const char*>(win::MapViewOfFile(opened, win::FILE_MAP_READ)), "abcdefg");
    win::CreateFileMapping(win::PAGE_READWRITE, 8, "orvex83886085");
    EXPECT_EQ(win::GetLastError(), win::ERROR_ALREADY_EXISTS);
    EXPECT_TRUE(win::CloseHandle(created));
    EXPECT_TRUE(win::CloseHandle(opened));
    EXPECT_NE(win::OpenFileMapping(win::FILE_MAP_READ, "orvex83886085"), win::kNoHandle);  // the third handle
}

}  // namespace
