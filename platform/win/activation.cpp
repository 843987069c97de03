// The Z order of windows, the active window and the keyboard focus (windows.h).
#include <algorithm>

#include "platform/win/desktop_state.h"
#include "platform/win/messages.h"
#include "platform/win/system.h"
#include "platform/win/user32.h"
#include "platform/win/windows.h"

namespace win {
namespace detail {
namespace {

Window* Find(Hwnd window) {
    return TheDesktop().FindWindow(window);
}

bool IsTopLevel(Hwnd window) {
    const Window* w = Find(window);
    return w != nullptr && w->parent == kNoWindow;
}

/// The first place of a band in the top-level order: topmost windows lie before the others.
size_t BandStart(bool topmost) {
    if (topmost) {
        return 0;
    }
    const auto& order = TheDesktop().zOrder;
    return static_cast<size_t>(std::find_if(order.begin(), order.end(), [](Hwnd w) { return !Find(w)->topmost; }) -
                               order.begin());
}

/// Moves a top-level window to the top of its band, then the windows it owns above it (in
/// their order).
void BringGroupToTop(Hwnd window, int32_t depth = 0) {
    auto& order = TheDesktop().zOrder;
    std::erase(order, window);
    order.insert(order.begin() + static_cast<std::ptrdiff_t>(BandStart(Find(window)->topmost)), window);
    if (depth > 32) {
        return;  // owner chains are short; a cycle is not followed
    }
    std::vector<Hwnd> owned;
    for (Hwnd other : order) {
        if (Find(other)->owner == window) {
            owned.push_back(other);
        }
    }
    for (auto it = owned.rbegin(); it != owned.rend(); ++it) {
        BringGroupToTop(*it, depth + 1);
    }
}

bool IsOwnedBy(Hwnd window, Hwnd owner) {
    for (int32_t depth = 0; depth < 32; ++depth) {
        const Window* w = Find(window);
        if (w == nullptr || w->owner == kNoWindow) {
            return false;
        }
        if (w->owner == owner) {
            return true;
        }
        window = w->owner;
    }
    return false;
}

/// WM_ACTIVATEAPP to every top-level window of the program (all of them are its windows).
void TellActivateApp(bool active) {
    const std::vector<Hwnd> windows = TheDesktop().zOrder;
    for (Hwnd window : windows) {
        if (Find(window) != nullptr) {
            SendMessage(window, WM_ACTIVATEAPP, active ? 1 : 0, 0);
        }
    }
}

}  // namespace

void ZOrderAdd(Hwnd window) {
    auto& order = TheDesktop().zOrder;
    order.insert(order.begin() + static_cast<std::ptrdiff_t>(BandStart(Find(window)->topmost)), window);
}

void ZOrderRemove(Hwnd window) {
    std::erase(TheDesktop().zOrder, window);
}

void ZOrderPlace(Hwnd window, Hwnd insertAfter) {
    Window* w = Find(window);
    if (w == nullptr) {
        return;
    }
    if (w->parent != kNoWindow) {
        auto& siblings = Find(w->parent)->children;
        std::erase(siblings, window);
        auto at = siblings.begin();
        if (insertAfter == HWND_BOTTOM) {
            at = siblings.end();
        } else if (insertAfter != HWND_TOP && insertAfter != HWND_TOPMOST && insertAfter != HWND_NOTOPMOST) {
            at = std::find(siblings.begin(), siblings.end(), insertAfter);
            at = at == siblings.end() ? siblings.begin() : at + 1;
        }
        siblings.insert(at, window);
        return;
    }
    if (insertAfter == HWND_TOPMOST) {
        w->topmost = true;
    } else if (insertAfter == HWND_NOTOPMOST) {
        w->topmost = false;
    }
    auto& order = TheDesktop().zOrder;
    if (insertAfter == HWND_BOTTOM) {
        std::erase(order, window);
        w->topmost = false;
        order.push_back(window);
        return;
    }
    if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) {
        BringGroupToTop(window);
        return;
    }
    const Window* after = Find(insertAfter);
    if (after == nullptr || after->parent != kNoWindow) {
        return;
    }
    std::erase(order, window);
    auto at = std::find(order.begin(), order.end(), insertAfter);
    at = at == order.end() ? order.end() : at + 1;
    // A window stays in its band.
    const auto bandStart = order.begin() + static_cast<std::ptrdiff_t>(BandStart(w->topmost));
    if (!w->topmost && at < bandStart) {
        at = bandStart;
    }
    order.insert(at, window);
}

void MoveFocus(Hwnd window) {
    Desktop& desktop = TheDesktop();
    const Hwnd old = desktop.focus;
    if (old == window) {
        return;
    }
    desktop.focus = window;
    if (old != kNoWindow && Find(old) != nullptr) {
        SendMessage(old, WM_KILLFOCUS, static_cast<uintptr_t>(window), 0);
    }
    if (window != kNoWindow && desktop.focus == window && Find(window) != nullptr) {
        SendMessage(window, WM_SETFOCUS, static_cast<uintptr_t>(old), 0);
    }
}

Hwnd Activate(Hwnd window) {
    Desktop& desktop = TheDesktop();
    const Hwnd old = desktop.active;
    if (window == old) {
        return old;
    }
    desktop.active = window;
    desktop.foreground = window;
    if (window != kNoWindow) {
        BringGroupToTop(window);
    }
    if (old == kNoWindow && window != kNoWindow) {
        // The program comes to the front (from another program, or with its first window).
        TellActivateApp(true);
    }
    if (old != kNoWindow && Find(old) != nullptr) {
        SendMessage(old, WM_NCACTIVATE, 0, 0);
        SendMessage(old, WM_ACTIVATE, WA_INACTIVE, static_cast<intptr_t>(window));
    }
    if (old != kNoWindow && window == kNoWindow) {
        TellActivateApp(false);
    }
    if (window != kNoWindow && desktop.active == window) {
        SendMessage(window, WM_NCACTIVATE, 1, 0);
        SendMessage(window, WM_ACTIVATE, WA_ACTIVE, static_cast<intptr_t>(old));
        // What the default procedure does on activation: the window takes the focus, unless
        // its own handling put it into one of its children.
        if (desktop.active == window && desktop.focus != window && !IsChild(window, desktop.focus)) {
            MoveFocus(window);
        }
    } else if (window == kNoWindow) {
        MoveFocus(kNoWindow);
    }
    return old;
}

void ActivateNext(Hwnd leaving) {
    Desktop& desktop = TheDesktop();
    const Window* w = Find(leaving);
    Hwnd next = kNoWindow;
    if (w != nullptr && w->owner != kNoWindow && IsWindowVisible(w->owner)) {
        next = w->owner;
    }
    if (next == kNoWindow) {
        for (Hwnd candidate : desktop.zOrder) {
            if (candidate != leaving && IsWindowVisible(candidate) && !IsOwnedBy(candidate, leaving)) {
                next = candidate;
                break;
            }
        }
    }
    Activate(next);
}

}  // namespace detail

bool IsChild(Hwnd parent, Hwnd window) {
    if (parent == kNoWindow) {
        return false;
    }
    for (int32_t depth = 0; depth < 256 && window != kNoWindow; ++depth) {
        const detail::Window* w = detail::TheDesktop().FindWindow(window);
        if (w == nullptr) {
            return false;
        }
        if (w->parent == parent) {
            return true;
        }
        window = w->parent;
    }
    return false;
}

Hwnd GetAncestor(Hwnd window, uint32_t flags) {
    const detail::Window* w = detail::TheDesktop().FindWindow(window);
    if (w == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return kNoWindow;
    }
    if (flags == GA_PARENT) {
        return w->parent;
    }
    Hwnd root = window;
    while (const detail::Window* r = detail::TheDesktop().FindWindow(root)) {
        if (r->parent == kNoWindow) {
            break;
        }
        root = r->parent;
    }
    if (flags == GA_ROOTOWNER) {
        for (int32_t depth = 0; depth < 32; ++depth) {
            const detail::Window* r = detail::TheDesktop().FindWindow(root);
            if (r == nullptr || r->owner == kNoWindow) {
                break;
            }
            root = r->owner;
        }
    }
    return root;
}

std::vector<Hwnd> GetTopLevelWindows() {
    return detail::TheDesktop().zOrder;
}

Hwnd FindWindow(std::string_view className, std::string_view title) {
    for (Hwnd window : detail::TheDesktop().zOrder) {
        const detail::Window* w = detail::TheDesktop().FindWindow(window);
        if (w->className == className && (title.empty() || w->title == title)) {
            return window;
        }
    }
    return kNoWindow;
}

Hwnd GetWindow(Hwnd window, uint32_t relation) {
    const detail::Window* w = detail::TheDesktop().FindWindow(window);
    if (w == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return kNoWindow;
    }
    if (relation == GW_OWNER) {
        return w->owner;
    }
    if (relation == GW_CHILD) {
        return w->children.empty() ? kNoWindow : w->children.front();
    }
    const std::vector<Hwnd>& siblings =
        w->parent == kNoWindow ? detail::TheDesktop().zOrder : detail::TheDesktop().FindWindow(w->parent)->children;
    if (siblings.empty()) {
        return kNoWindow;
    }
    const auto at = std::find(siblings.begin(), siblings.end(), window);
    switch (relation) {
        case GW_HWNDFIRST:
            return siblings.front();
        case GW_HWNDLAST:
            return siblings.back();
        case GW_HWNDNEXT:
            return at == siblings.end() || at + 1 == siblings.end() ? kNoWindow : *(at + 1);
        case GW_HWNDPREV:
            return at == siblings.end() || at == siblings.begin() ? kNoWindow : *(at - 1);
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return kNoWindow;
    }
}

Hwnd GetTopWindow(Hwnd parent) {
    if (parent == kNoWindow) {
        const auto& order = detail::TheDesktop().zOrder;
        return order.empty() ? kNoWindow : order.front();
    }
    return GetWindow(parent, GW_CHILD);
}

Hwnd GetForegroundWindow() {
    return detail::TheDesktop().foreground;
}

Hwnd GetActiveWindow() {
    return detail::TheDesktop().active;
}

Hwnd GetFocus() {
    return detail::TheDesktop().focus;
}

void SwitchToAnotherProgram() {
    detail::Activate(kNoWindow);
}

Hwnd SetActiveWindow(Hwnd window) {
    if (window != kNoWindow && detail::TheDesktop().FindWindow(window) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return kNoWindow;
    }
    return detail::Activate(window == kNoWindow ? kNoWindow : GetAncestor(window, GA_ROOT));
}

bool SetForegroundWindow(Hwnd window) {
    if (detail::TheDesktop().FindWindow(window) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    detail::Activate(GetAncestor(window, GA_ROOT));
    return true;
}

bool BringWindowToTop(Hwnd window) {
    if (detail::TheDesktop().FindWindow(window) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    detail::ZOrderPlace(window, HWND_TOP);
    if (detail::IsTopLevel(window) && IsWindowVisible(window)) {
        detail::Activate(window);
    }
    return true;
}

Hwnd SetFocus(Hwnd window) {
    detail::Desktop& desktop = detail::TheDesktop();
    const Hwnd previous = desktop.focus;
    if (window == kNoWindow) {
        detail::MoveFocus(kNoWindow);
        return previous;
    }
    if (desktop.FindWindow(window) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return kNoWindow;
    }
    const Hwnd root = GetAncestor(window, GA_ROOT);
    if (root != desktop.active) {
        detail::Activate(root);
    }
    if (IsWindow(window)) {
        detail::MoveFocus(window);
    }
    return previous;
}

}  // namespace win
