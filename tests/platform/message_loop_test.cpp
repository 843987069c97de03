// The message loop as programs meet it: the get-message hooks see what is taken from the queue,
// keys come as key and character messages (system keys with Alt), and the default window
// procedure turns Alt+letter into the menu character of a window without a menu bar.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win/input.h"
#include "platform/win/keys.h"
#include "platform/win/menus.h"
#include "platform/win/messages.h"
#include "platform/win/transcript.h"
#include "platform/win/windows.h"
#include "tests/support/fixture.h"

namespace {

std::vector<std::string> s_taken;
win::Hhook s_getMessageHook = win::kNoHook;

intptr_t GetMessageHook(int32_t code, uintptr_t wParam, intptr_t lParam) {
    auto* msg = reinterpret_cast<win::Msg*>(lParam);
    s_taken.push_back(std::to_string(msg->message) + ":" + std::to_string(msg->wParam) +
                      (wParam == win::PM_REMOVE ? " removed" : ""));
    if (msg->message == win::WM_COMMAND && msg->wParam == 7) {
        msg->wParam = 8;  // a hook may change the message before it is delivered
    }
    return win::CallNextHookEx(s_getMessageHook, code, wParam, lParam);
}

class MessageLoopTest : public testsupport::DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        s_taken.clear();
        m_frame = win::CreateWindow({.className = "Frame", .title = "Frame"});
        m_control = win::CreateWindow({.className = "Control", .parent = m_frame});
        for (const win::Hwnd window : {m_frame, m_control}) {
            win::SetWindowProc(
                window, [this, window](win::Hwnd w, uint32_t message, uintptr_t wParam, intptr_t lParam) {
                    const std::string who = window == m_frame ? "frame " : "control ";
                    switch (message) {
                        case win::WM_KEYDOWN:
                        case win::WM_SYSKEYDOWN:
                            m_told.push_back(who + (message == win::WM_KEYDOWN ? "key " : "syskey ") +
                                             win::KeyName(static_cast<uint16_t>(wParam)));
                            return intptr_t{0};
                        case win::WM_CHAR:
                        case win::WM_SYSCHAR:
                            m_told.push_back(who + (message == win::WM_CHAR ? "char " : "syschar ") +
                                             std::string(1, static_cast<char>(wParam)));
                            break;
                        case win::WM_SYSCOMMAND:
                            m_told.push_back(who + "syscommand " + std::to_string(wParam) + " " +
                                             std::string(1, static_cast<char>(lParam)));
                            break;
                        case win::WM_MENUCHAR:
                            m_told.push_back(who + "menuchar " + std::string(1, static_cast<char>(wParam & 0xFF)) +
                                             ((wParam >> 16) == win::MF_SYSMENU ? " system menu" : ""));
                            return (wParam & 0xFF) == 'd' ? win::MNC_CLOSE << 16 : intptr_t{0};
                        case win::WM_COMMAND:
                            m_told.push_back(who + "command " + std::to_string(wParam));
                            return intptr_t{0};
                        default:
                            break;
                    }
                    return win::DefWindowProc(w, message, wParam, lParam);
                });
        }
        win::SetFocus(m_control);
    }
    void TearDown() override {
        if (s_getMessageHook != win::kNoHook) {
            win::UnhookWindowsHookEx(s_getMessageHook);
            s_getMessageHook = win::kNoHook;
        }
        DesktopTest::TearDown();
    }

    win::Hwnd m_frame = win::kNoWindow;
    win::Hwnd m_control = win::kNoWindow;
    std::vector<std::string> m_told;
};

TEST_F(MessageLoopTest, KeysComeWithTheirCharacters) {
    win::QueueUserKey('A', true, false, false);
    win::QueueUserKey('7', false, false, false);
    win::QueueUserKey(win::VK_F1 + 1, false, false, false);
    win::RunMessageLoop();
    testsupport::ExpectLines(
        {"control key Shift", "control key A", "control char A", "control key 7", "control char 7", "control key F2"},
        m_told);
}

TEST_F(MessageLoopTest, AltAndALetterGoToTheMenuCharacterOfTheWindow) {
    win::QueueUserKey('D', false, false, true);
    win::RunMessageLoop();
    testsupport::ExpectLines({"control syskey Alt", "control syskey D", "control syschar d", "frame syscommand 61696 d",
                              "frame menuchar d system menu"},
                             m_told);
    EXPECT_TRUE(win::TranscriptLines().empty());  // taken: no beep
    m_told.clear();
    win::QueueUserKey('X', false, false, true);
    win::RunMessageLoop();
    EXPECT_EQ(m_told.back(), "frame menuchar x system menu");
    EXPECT_EQ(win::TranscriptLines(), std::vector<std::string>{"[beep] default"});  // no control has the letter
}

TEST_F(MessageLoopTest, AWindowWithAMenuBarKeepsItsMenuCharacters) {
    win::SetMenu(m_frame, win::CreateMenu());
    win::QueueUserKey('D', false, false, true);
    win::RunMessageLoop();
    EXPECT_EQ(m_told.back(), "frame syscommand 61696 d");
    EXPECT_TRUE(win::TranscriptLines().empty());
}

TEST_F(MessageLoopTest, GetMessageHooksSeeWhatIsTakenFromTheQueue) {
    s_getMessageHook = win::SetWindowsHookEx(win::WH_GETMESSAGE, GetMessageHook, win::kNoModule, 1);
    win::PostMessage(m_frame, win::WM_COMMAND, 7);
    win::SendMessage(m_frame, win::WM_COMMAND, 9);  // sent: never in the queue
    EXPECT_EQ(s_taken, std::vector<std::string>{});
    win::QueueUserKey('B', false, false, false);
    win::RunMessageLoop();
    testsupport::ExpectLines({"273:7 removed", "256:66 removed", "258:98 removed", "257:66 removed"}, s_taken);
    testsupport::ExpectLines({"frame command 9", "frame command 8", "control key B", "control char b"}, m_told);
}

}  // namespace
