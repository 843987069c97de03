#include "platform/win/messages.h"

#include <algorithm>
#include <deque>
#include <filesystem>
#include <map>

#include "platform/win/desktop_state.h"
#include "platform/win/input.h"
#include "platform/win/menus.h"
#include "platform/win/system.h"
#include "platform/win/system_state.h"
#include "platform/win/timers.h"
#include "platform/win/transcript.h"
#include "platform/win/user32.h"
#include "platform/win/windows.h"

namespace win {
namespace {

using detail::MessageState;
using detail::PostedMessage;

MessageState& State() {
    return detail::System().messages;
}

}  // namespace

bool SetWindowProc(Hwnd window, WindowProc procedure) {
    if (detail::TheDesktop().FindWindow(window) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    if (procedure) {
        State().procedures[static_cast<uint32_t>(window)] = std::move(procedure);
    } else {
        State().procedures.erase(static_cast<uint32_t>(window));
    }
    return true;
}

intptr_t SendMessage(Hwnd window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (detail::TheDesktop().FindWindow(window) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    detail::RunCallWindowHooks(window, message, wParam, lParam);
    return detail::CallWindowProcedure(window, message, wParam, lParam);
}

namespace detail {
intptr_t CallWindowProcedure(Hwnd window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    auto it = State().procedures.find(static_cast<uint32_t>(window));
    if (it == State().procedures.end()) {
        return DefWindowProc(window, message, wParam, lParam);
    }
    // The procedure may replace itself while it runs: call a copy.
    const WindowProc procedure = it->second;
    return procedure(window, message, wParam, lParam);
}
void ForgetWindowProcedure(Hwnd window) {
    State().procedures.erase(static_cast<uint32_t>(window));
}
}  // namespace detail

intptr_t DefWindowProc(Hwnd window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    switch (message) {
        case WM_SYSCHAR: {
            const Hwnd root = GetAncestor(window, GA_ROOT);
            return root == kNoWindow ? 0 : SendMessage(root, WM_SYSCOMMAND, SC_KEYMENU, static_cast<intptr_t>(wParam));
        }
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_KEYMENU && lParam != 0 && GetMenu(window) == kNoMenu) {
                const auto character = static_cast<uintptr_t>(lParam & 0xFF);
                const intptr_t answer =
                    SendMessage(window, WM_MENUCHAR, character | (static_cast<uintptr_t>(MF_SYSMENU) << 16), 0);
                const intptr_t command = (answer >> 16) & 0xFFFF;
                if (command != MNC_CLOSE && command != MNC_EXECUTE) {
                    MessageBeep(0);
                }
            }
            return 0;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        default:
            return 0;
    }
}

bool PostMessage(Hwnd window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (detail::TheDesktop().FindWindow(window) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    State().queue.push_back({window, message, wParam, lParam});
    return true;
}

int32_t PumpMessages() {
    int32_t delivered = 0;
    while (!State().queue.empty()) {
        const PostedMessage posted = State().queue.front();
        State().queue.pop_front();
        detail::System().input.messageExtraInfo = 0;
        Msg msg{posted.window, posted.message, posted.wParam, posted.lParam, GetTickCount()};
        detail::RunGetMessageHooks(msg);
        if (detail::TheDesktop().FindWindow(msg.window) != nullptr) {
            detail::CallWindowProcedure(msg.window, msg.message, msg.wParam, msg.lParam);
        }
        ++delivered;
    }
    return delivered;
}

size_t PendingMessages() {
    return State().queue.size();
}

int32_t RunMessageLoop() {
    int32_t delivered = 0;
    for (;;) {
        const int32_t turn = PumpMessages() + PumpInput();
        if (turn == 0) {
            return delivered;
        }
        delivered += turn;
    }
}

void Idle(uint32_t milliseconds) {
    RunMessageLoop();
    // The clock moves in steps of the shortest timer interval; a step in which no timer falls
    // due does nothing (the message loop is empty after every turn), so the clock jumps over
    // such steps to the first one at or after the next timer's due time.
    const uint32_t start = GetTickCount();
    for (uint32_t waited = 0; waited < milliseconds;) {
        uint32_t target = std::min<uint32_t>(waited + USER_TIMER_MINIMUM, milliseconds);
        const std::optional<uint32_t> due = NextTimerDue();
        const uint32_t now = start + waited;
        if (!due || *due > now + USER_TIMER_MINIMUM) {
            const uint64_t untilDue = due ? static_cast<uint64_t>(*due - start + USER_TIMER_MINIMUM - 1) /
                                                USER_TIMER_MINIMUM * USER_TIMER_MINIMUM
                                          : milliseconds;
            target = static_cast<uint32_t>(std::min<uint64_t>(std::max<uint64_t>(untilDue, target), milliseconds));
        }
        AdvanceClock(target - waited);
        waited = target;
        DispatchTimers();
        RunMessageLoop();
    }
}

int16_t GetKeyState(uint16_t virtualKey) {
    auto it = State().keys.find(virtualKey);
    return it == State().keys.end() ? 0 : it->second;
}

void SetKeyDown(uint16_t virtualKey, bool down) {
    int16_t& state = State().keys[virtualKey];
    if (down && (state & 0x8000) == 0) {
        state = static_cast<int16_t>((state ^ 1) | 0x8000);
    } else if (!down) {
        state = static_cast<int16_t>(state & 1);
    }
}

void OutputDebugString(std::string_view text) {
    TranscriptWrite("[debug] " + TranscriptText(text));
}

intptr_t ShellExecute(Hwnd /*owner*/, std::string_view verb, std::string_view file) {
    const std::string request = std::string(verb) + " " + std::string(file);
    State().shellRequests.push_back(request);
    TranscriptWrite("[shell] " + std::string(verb) + " " + TranscriptPath(file));
    std::error_code error;
    return std::filesystem::exists(std::string(file), error) ? 42 : 2;
}

const std::vector<std::string>& ShellRequests() {
    return State().shellRequests;
}

void ShellNotifyFileWritten(std::string_view file) {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(std::filesystem::path(std::string(file)), error);
    const std::string shown = error ? std::string(file) : path.lexically_normal().string();
    const uintmax_t size = std::filesystem::file_size(shown, error);
    TranscriptWrite("[file] wrote " + TranscriptPath(shown) +
                    (error ? std::string(" (it cannot be found)")
                           : " (" + std::to_string(size) + (size == 1 ? " byte)" : " bytes)")));
}

}  // namespace win
