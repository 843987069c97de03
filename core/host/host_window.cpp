#include "core/host/host_window.h"

#include <algorithm>
#include <cctype>

#include "core/host/access_state.h"
#include "core/host/host_info.h"
#include "platform/win/messages.h"
#include "platform/win/windows.h"

namespace orvex {

bool GetHostWindowTitle(std::string& title) {
    const std::string current = win::GetWindowText(TheAccessLayer.host.window).substr(0, 100);
    const bool changed = current != title;
    title = current;
    return changed;
}

win::Hwnd FrontDocumentWindow() {
    const win::Hwnd client = win::FindWindowEx(TheAccessLayer.host.window, win::kNoWindow, "MDIClient");
    if (client == win::kNoWindow) {
        return win::kNoWindow;
    }
    const auto active = static_cast<uint32_t>(win::SendMessage(client, win::WM_MDIGETACTIVE));
    return active != 0 ? win::Hwnd{active} : win::kNoWindow;
}

bool BringDocumentWindowToFront(win::Hwnd window) {
    const win::Hwnd client = win::FindWindowEx(TheAccessLayer.host.window, win::kNoWindow, "MDIClient");
    if (client == win::kNoWindow || window == win::kNoWindow || win::GetParent(window) != client) {
        return false;
    }
    if (FrontDocumentWindow() != window) {
        win::SendMessage(client, win::WM_MDIACTIVATE, static_cast<uintptr_t>(window));
    }
    return true;
}

bool DocumentWindowShows(std::string_view name) {
    const win::Hwnd client = win::FindWindowEx(TheAccessLayer.host.window, win::kNoWindow, "MDIClient");
    if (client == win::kNoWindow) {
        return false;
    }
    const auto same = [](std::string_view a, std::string_view b) {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                   return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
               });
    };
    for (const win::Hwnd window : win::GetChildWindows(client)) {
        if (same(win::GetWindowText(window), name)) {
            return true;
        }
    }
    return false;
}

}  // namespace orvex
