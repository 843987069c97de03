#include "service/window_hooks.h"

#include "platform/win/input.h"
#include "platform/win/messages.h"
#include "platform/win/system.h"
#include "platform/win/user32.h"
#include "platform/win/windows.h"
#include "service/lumvar.h"
#include "service/module_state.h"
#include "service/preferences.h"
#include "service/window_services.h"

namespace lumvar {
namespace {

constexpr uint32_t kProcessAllAccess = 0x1F0FFF;

HookState& State() {
    return Module().windowHooks;
}

intptr_t CallWindowHook(int32_t code, uintptr_t wParam, intptr_t lParam) {
    if (code >= 0 && AnyClientRegistered() && lParam != 0) {
        const auto* info = reinterpret_cast<const win::CallWindowInfo*>(lParam);
        WatchSentMessage(info->window, info->message, info->wParam, info->lParam);
    }
    return win::CallNextHookEx(State().callWindowHook, code, wParam, lParam);
}

intptr_t GetMessageHook(int32_t code, uintptr_t wParam, intptr_t lParam) {
    if (code >= 0 && AnyClientRegistered() && lParam != 0 && wParam == win::PM_REMOVE) {
        const auto* taken = reinterpret_cast<const win::Msg*>(lParam);
        WatchTakenMessage(taken->window, taken->message, taken->wParam);
    }
    return win::CallNextHookEx(State().getMessageHook, code, wParam, lParam);
}

}  // namespace

void InstallWindowHooks() {
    HookState& state = State();
    uint32_t processId = 0;
    const uint32_t thread = win::GetWindowThreadProcessId(Module().hostWindow, &processId);
    state.hostProcess = win::OpenProcess(kProcessAllAccess, false, processId);
    if (state.hostProcess == win::kNoHandle) {
        return;
    }
    state.callWindowHook = win::SetWindowsHookEx(win::WH_CALLWNDPROC, CallWindowHook, Module().moduleInstance, thread);
    state.getMessageHook = win::SetWindowsHookEx(win::WH_GETMESSAGE, GetMessageHook, Module().moduleInstance, thread);
}

void RemoveWindowHooks() {
    HookState& state = State();
    if (state.getMessageHook != win::kNoHook) {
        win::UnhookWindowsHookEx(state.getMessageHook);
    }
    if (state.callWindowHook != win::kNoHook) {
        win::UnhookWindowsHookEx(state.callWindowHook);
    }
    if (state.hostProcess != win::kNoHandle) {
        win::CloseHandle(state.hostProcess);
    }
    state = HookState();
}

bool WindowHooksInstalled() {
    return State().callWindowHook != win::kNoHook;
}

void WatchSentMessage(win::Hwnd window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    switch (message) {
        case win::WM_WINDOWPOSCHANGED: {
            const auto* place = reinterpret_cast<const win::WindowPos*>(lParam);
            if (place != nullptr && IsHostMdiClient(win::GetParent(window)) && place->insertAfter == win::kNoWindow &&
                (place->flags & win::SWP_NOZORDER) == 0) {
                NotifyBroadcast(NOTIFY_DOCUMENT_TOP, 0, nullptr);
            }
            break;
        }
        case win::WM_MDIREFRESHMENU:
            if (IsHostMdiClient(window)) {
                NotifyBroadcast(NOTIFY_DOCUMENT_TOP, 0, nullptr);
            }
            break;
        // The host asks the scroll bar its position whenever the view may have changed.
        case win::SBM_GETPOS:
            if (win::GetDlgCtrlID(window) == kMeasureScrollBar) {
                const int16_t pageView = IsPageView();
                if (pageView != State().pageView) {
                    State().pageView = pageView;
                    NotifyValue(NOTIFY_PAGE_VIEW, pageView);
                }
            }
            break;
        case win::WM_ACTIVATEAPP:
            if (window == Module().hostWindow) {
                NotifyValue(NOTIFY_ACTIVATE_APP, wParam != 0 ? 1 : 0);
            }
            break;
        case win::WM_DESTROY:
            // The last document window: the host's MDI client has no other child.
            if (const win::Hwnd client = win::GetParent(window); IsHostMdiClient(client)) {
                if (win::GetChildWindows(client).size() <= 1) {
                    NotifyBroadcast(NOTIFY_LAST_DOCUMENT, 0, nullptr);
                }
            }
            break;
        default:
            break;
    }
}

void WatchTakenMessage(win::Hwnd window, uint32_t message, uintptr_t wParam) {
    if (message != win::WM_COMMAND || window != Module().hostWindow || !AnyClientRegistered()) {
        return;
    }
    const auto id = static_cast<uint32_t>(wParam & 0xFFFF);
    for (int16_t i = 0; i < static_cast<int16_t>(std::size(kNotifiedHostCommands)); ++i) {
        if (kNotifiedHostCommands[i] == id) {
            NotifyValue(NOTIFY_HOST_COMMAND, static_cast<int16_t>(i + 1));
            return;
        }
    }
}

}  // namespace lumvar
