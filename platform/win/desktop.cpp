#include <algorithm>
#include <utility>

#include "platform/win/desktop_state.h"
#include "platform/win/handles.h"
#include "platform/win/menus.h"
#include "platform/win/messages.h"
#include "platform/win/system.h"
#include "platform/win/system_state.h"
#include "platform/win/transcript.h"
#include "platform/win/ui_driver.h"
#include "platform/win/windows.h"

namespace win {
namespace detail {

Window* Desktop::FindWindow(Hwnd handle) {
    auto it = windows.find(static_cast<uint32_t>(handle));
    return it == windows.end() ? nullptr : &it->second;
}

Menu* Desktop::FindMenu(Hmenu handle) {
    auto it = menus.find(static_cast<uint32_t>(handle));
    return it == menus.end() ? nullptr : &it->second;
}

SystemState& System() {
    static SystemState system;
    return system;
}

Desktop& TheDesktop() {
    return System().desktop;
}

}  // namespace detail

namespace {
detail::Window* WindowOrError(Hwnd window) {
    detail::Window* w = detail::TheDesktop().FindWindow(window);
    if (w == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    }
    return w;
}
}  // namespace

uint32_t GetLastError() {
    return detail::System().lastError;
}
void SetLastError(uint32_t code) {
    detail::System().lastError = code;
}

Hwnd CreateWindow(const WindowCreateInfo& info) {
    auto& desktop = detail::TheDesktop();
    if (info.parent != kNoWindow && desktop.FindWindow(info.parent) == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return kNoWindow;
    }
    const Hwnd handle{desktop.NewHandle()};
    detail::Window window;
    window.className = info.className;
    window.title = info.title;
    window.parent = info.parent;
    window.owner = info.parent == kNoWindow ? info.owner : kNoWindow;
    window.id = info.id;
    window.visible = info.visible;
    desktop.windows.emplace(static_cast<uint32_t>(handle), std::move(window));
    if (info.parent != kNoWindow) {
        desktop.FindWindow(info.parent)->children.push_back(handle);
    } else {
        detail::ZOrderAdd(handle);
        if (info.visible && desktop.active == kNoWindow) {
            detail::Activate(handle);
        }
    }
    return handle;
}

bool DestroyWindow(Hwnd window) {
    auto& desktop = detail::TheDesktop();
    detail::Window* w = WindowOrError(window);
    if (w == nullptr) {
        return false;
    }
    // The window is deactivated before it goes.
    if (w->parent == kNoWindow && desktop.active == window) {
        detail::ActivateNext(window);
    }
    if (desktop.FindWindow(window) == nullptr) {
        return true;
    }
    SendMessage(window, WM_DESTROY);
    w = desktop.FindWindow(window);
    if (w == nullptr) {
        return true;  // destroyed while it was told
    }
    const std::vector<Hwnd> children = w->children;
    for (Hwnd child : children) {
        if (desktop.FindWindow(child) != nullptr) {
            DestroyWindow(child);
        }
    }
    w = desktop.FindWindow(window);
    if (w == nullptr) {
        return true;
    }
    if (w->menu != kNoMenu) {
        DestroyMenu(w->menu);
    }
    if (detail::Window* parent = desktop.FindWindow(w->parent)) {
        std::erase(parent->children, window);
    }
    detail::ZOrderRemove(window);
    for (auto& [handle, other] : desktop.windows) {
        if (other.owner == window) {
            other.owner = kNoWindow;
        }
    }
    desktop.windows.erase(static_cast<uint32_t>(window));
    detail::ForgetWindowProcedure(window);
    std::erase_if(desktop.timers, [window](const detail::Timer& t) { return t.window == window; });
    for (Hwnd* slot : {&desktop.foreground, &desktop.active, &desktop.focus}) {
        if (*slot == window || (*slot != kNoWindow && desktop.FindWindow(*slot) == nullptr)) {
            *slot = kNoWindow;
        }
    }
    return true;
}

bool IsWindow(Hwnd window) {
    return detail::TheDesktop().FindWindow(window) != nullptr;
}

std::string GetWindowText(Hwnd window) {
    const detail::Window* w = WindowOrError(window);
    return w == nullptr ? std::string() : w->title;
}

bool SetWindowText(Hwnd window, std::string_view text) {
    detail::Window* w = WindowOrError(window);
    if (w == nullptr) {
        return false;
    }
    w->title = std::string(text);
    return true;
}

std::string GetClassName(Hwnd window) {
    const detail::Window* w = WindowOrError(window);
    return w == nullptr ? std::string() : w->className;
}

int32_t GetDlgCtrlID(Hwnd window) {
    const detail::Window* w = WindowOrError(window);
    return w == nullptr ? 0 : w->id;
}

Hwnd GetDlgItem(Hwnd parent, int32_t id) {
    const detail::Window* w = WindowOrError(parent);
    if (w == nullptr) {
        return kNoWindow;
    }
    for (Hwnd child : w->children) {
        if (detail::TheDesktop().FindWindow(child)->id == id) {
            return child;
        }
    }
    return kNoWindow;
}

Hwnd GetParent(Hwnd window) {
    const detail::Window* w = WindowOrError(window);
    return w == nullptr ? kNoWindow : w->parent;
}

Hwnd GetOwner(Hwnd window) {
    const detail::Window* w = WindowOrError(window);
    return w == nullptr ? kNoWindow : w->owner;
}

bool SetOwner(Hwnd window, Hwnd owner) {
    detail::Window* w = WindowOrError(window);
    if (w == nullptr || (owner != kNoWindow && WindowOrError(owner) == nullptr)) {
        return false;
    }
    if (w->parent != kNoWindow || owner == window) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    w->owner = owner;
    return true;
}

std::vector<Hwnd> GetChildWindows(Hwnd window) {
    const detail::Window* w = WindowOrError(window);
    return w == nullptr ? std::vector<Hwnd>() : w->children;
}

Hwnd FindWindowEx(Hwnd parent, Hwnd after, std::string_view className, std::string_view title) {
    const detail::Window* w = WindowOrError(parent);
    if (w == nullptr) {
        return kNoWindow;
    }
    const std::vector<Hwnd>& children = w->children;
    auto it = children.begin();
    if (after != kNoWindow) {
        it = std::find(children.begin(), children.end(), after);
        if (it != children.end()) {
            ++it;
        }
    }
    for (; it != children.end(); ++it) {
        const detail::Window* child = detail::TheDesktop().FindWindow(*it);
        if (child->className == className && (title.empty() || child->title == title)) {
            return *it;
        }
    }
    return kNoWindow;
}

bool IsWindowVisible(Hwnd window) {
    const detail::Window* w = detail::TheDesktop().FindWindow(window);
    return w != nullptr && w->visible;
}

bool EnableWindow(Hwnd window, bool enable) {
    detail::Window* w = WindowOrError(window);
    if (w == nullptr) {
        return false;
    }
    return !std::exchange(w->enabled, enable);
}

bool IsWindowEnabled(Hwnd window) {
    const detail::Window* w = detail::TheDesktop().FindWindow(window);
    return w != nullptr && w->enabled;
}

bool ShowWindow(Hwnd window, bool visible) {
    detail::Window* w = WindowOrError(window);
    if (w == nullptr) {
        return false;
    }
    const bool wasVisible = w->visible;
    w->visible = visible;
    auto& desktop = detail::TheDesktop();
    if (!visible && wasVisible && w->parent == kNoWindow && desktop.active == window) {
        detail::ActivateNext(window);
    } else if (!visible && wasVisible && desktop.focus != kNoWindow && IsChild(window, desktop.focus)) {
        // A hidden control gives the focus back to its top-level window.
        detail::MoveFocus(GetAncestor(window, GA_ROOT));
    }
    return wasVisible;
}

bool GetVersionEx(OsVersionInfo& info) {
    info = detail::TheDesktop().osVersion;
    return true;
}

void SetSimulatedOsVersion(const OsVersionInfo& info) {
    detail::TheDesktop().osVersion = info;
}

uint32_t GetTickCount() {
    return detail::TheDesktop().clock;
}
void AdvanceClock(uint32_t milliseconds) {
    detail::TheDesktop().clock += milliseconds;
}
void Sleep(uint32_t milliseconds) {
    AdvanceClock(milliseconds);
}

Handle CreateMutex(bool /*initialOwner*/, std::string_view name) {
    auto& desktop = detail::TheDesktop();
    const std::string key(name);
    const bool existed = !key.empty() && desktop.namedObjects[key] > 0;
    if (!key.empty()) {
        ++desktop.namedObjects[key];
    }
    const Handle handle{desktop.NewHandle()};
    desktop.kernelObjects[static_cast<uint32_t>(handle)] = key;
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

bool ReleaseMutex(Handle mutex) {
    if (!detail::TheDesktop().kernelObjects.contains(static_cast<uint32_t>(mutex))) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    return true;
}

bool CloseHandle(Handle handle) {
    auto& desktop = detail::TheDesktop();
    auto it = desktop.kernelObjects.find(static_cast<uint32_t>(handle));
    if (it == desktop.kernelObjects.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    detail::CloseFileMappingHandle(static_cast<uint32_t>(handle));
    if (!it->second.empty() && --desktop.namedObjects[it->second] == 0) {
        desktop.namedObjects.erase(it->second);
    }
    desktop.kernelObjects.erase(it);
    return true;
}

void ResetSystem() {
    detail::SystemState& system = detail::System();
    detail::ModuleLoader modules = std::move(system.modules);
    auto listener = std::move(system.transcript.listener);
    system = detail::SystemState();
    system.modules = std::move(modules);
    system.transcript.listener = std::move(listener);
}

}  // namespace win
