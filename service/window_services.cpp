#include "service/window_services.h"

#include <array>

#include "platform/hostapi/bytes.h"
#include "platform/win/keys.h"
#include "platform/win/messages.h"
#include "platform/win/modules.h"
#include "platform/win/system.h"
#include "platform/win/user32.h"
#include "platform/win/windows.h"
#include "service/host_imports.h"
#include "service/layout_services.h"
#include "service/lumvar.h"
#include "service/module_state.h"
#include "service/preferences.h"

namespace lumvar {
namespace {

/// The direct child of a window with a control identifier.
win::Hwnd ChildWithId(win::Hwnd parent, int32_t id) {
    if (parent == win::kNoWindow) {
        return win::kNoWindow;
    }
    for (const win::Hwnd child : win::GetChildWindows(parent)) {
        if (win::GetDlgCtrlID(child) == id) {
            return child;
        }
    }
    return win::kNoWindow;
}

bool Down(uint16_t key) {
    return (win::GetKeyState(key) & 0x8000) != 0;
}

bool LayeredWindowsAvailable() {
    win::OsVersionInfo version;
    return win::GetVersionEx(version) && version.platformId == win::VER_PLATFORM_WIN32_NT && version.majorVersion > 4;
}

/// Makes a collapsed window translucent: the layered style, and its alpha through the
/// system's call looked up by name (it is missing on older systems).
void MakeTranslucent(win::Hwnd window) {
    win::SetWindowLong(window, win::GWL_EXSTYLE, win::GetWindowLong(window, win::GWL_EXSTYLE) | win::WS_EX_LAYERED);
    const win::Hmodule user32 = win::LoadLibrary(win::kUser32ModuleName);
    if (user32 == win::kNoModule) {
        return;
    }
    const auto setAttributes =
        reinterpret_cast<win::SetLayeredWindowAttributesFn>(win::GetProcAddress(user32, "SetLayeredWindowAttributes"));
    if (setAttributes != nullptr) {
        setAttributes(window, 0, static_cast<uint8_t>(TransparencyPercent() * 255 / 100), win::LWA_ALPHA);
    }
    win::FreeLibrary(user32);
}

}  // namespace

bool IsHostMdiClient(win::Hwnd window) {
    return window != win::kNoWindow && win::GetClassName(window) == kMdiClientClass &&
           win::GetClassName(win::GetParent(window)) == kHostWindowClass;
}

win::Hwnd HostMdiClient() {
    if (!win::IsWindow(Module().hostWindow)) {
        return win::kNoWindow;
    }
    return win::FindWindowEx(Module().hostWindow, win::kNoWindow, kMdiClientClass);
}

win::Hwnd GetDocumentWindow() {
    const win::Hwnd client = HostMdiClient();
    if (client == win::kNoWindow) {
        return win::kNoWindow;
    }
    return static_cast<win::Hwnd>(win::SendMessage(client, win::WM_MDIGETACTIVE));
}

int16_t IsPageView() {
    const win::Hwnd control = ChildWithId(ChildWithId(GetDocumentWindow(), kViewPane), kPageViewControl);
    return control != win::kNoWindow && win::IsWindowVisible(control) ? 1 : 0;
}

int16_t GetCurrentPage() {
    if (IsPageView() == 0) {
        return 0;
    }
    const auto getValue = Imports().GetControlValue;
    if (getValue == nullptr) {
        NoteMissingHostService("reading dialog controls (service 57)");
        return -1;
    }
    const win::Hwnd pane = ChildWithId(GetDocumentWindow(), kViewPane);
    const int32_t page = getValue(pane, kPageNumberControl, 3, hostapi::kInterfaceVersion);
    return page > 0 ? static_cast<int16_t>(page) : static_cast<int16_t>(-1);
}

int16_t GetScrollViewMeasure() {
    if (IsPageView() != 0) {
        return 0;
    }
    const win::Hwnd bar = ChildWithId(ChildWithId(GetDocumentWindow(), kScrollPane), kMeasureScrollBar);
    return bar == win::kNoWindow ? static_cast<int16_t>(0) : static_cast<int16_t>(win::GetScrollPos(bar, win::SB_CTL));
}

int16_t LeftmostMeasure() {
    if (IsPageView() == 0) {
        return GetScrollViewMeasure();
    }
    const int16_t page = GetCurrentPage();
    if (page <= 0) {
        return 0;
    }
    int16_t first = 0;
    int16_t last = 0;
    if (SystemRangeOnPage(page, &first, &last) != ERR_OK || first <= 0) {
        return 0;
    }
    std::array<uint8_t, LayoutInfo::kSize> info{};
    hostapi::WriteI16(info.data(), LayoutInfo::kSizeWord, static_cast<int16_t>(LayoutInfo::kSize));
    if (GetLayoutInfo(first, info.data(), 0) != ERR_OK) {
        return 0;
    }
    return hostapi::ReadI16(info.data(), LayoutInfo::kFirstMeasure);
}

win::Hwnd GetControl(win::Hwnd dialog, int16_t id) {
    return ChildWithId(dialog, id);
}

void ShowControl(win::Hwnd dialog, int16_t id, int16_t show) {
    const win::Hwnd control = ChildWithId(dialog, id);
    if (control != win::kNoWindow) {
        win::ShowWindow(control, show != 0);
    }
}

void GetDlgPos(win::Hwnd window, int16_t* x, int16_t* y) {
    win::Rect rect;
    if (!win::GetWindowRect(window, rect)) {
        return;
    }
    if (x != nullptr) {
        *x = static_cast<int16_t>(rect.left);
    }
    if (y != nullptr) {
        *y = static_cast<int16_t>(rect.top);
    }
}

void SetDlgPos(win::Hwnd window, int16_t* x, int16_t* y) {
    if (x == nullptr || y == nullptr) {
        return;
    }
    constexpr int16_t kNoPosition = -32768;
    if (*x == kNoPosition || *y == kNoPosition || *x < 0 || *y < 0 || *x > win::GetSystemMetrics(win::SM_CXSCREEN) ||
        *y > win::GetSystemMetrics(win::SM_CYSCREEN)) {
        return;
    }
    win::SetWindowPos(window, win::kNoWindow, *x, *y, 0, 0, win::SWP_NOSIZE | win::SWP_NOZORDER);
}

int16_t KeyPressed() {
    const bool shift = Down(win::VK_SHIFT);
    const bool ctrl = Down(win::VK_CONTROL);
    const bool alt = Down(win::VK_MENU);
    int16_t flags = 0;
    if (shift && !ctrl && !alt) {
        flags = 0x12;
    } else if (ctrl && !shift && !alt) {
        flags = 0x01;
    } else if (alt && !shift && !ctrl) {
        flags = 0x04;
    } else if (ctrl && shift && !alt) {
        flags = 0x08;
    }
    if (Down(win::VK_ESCAPE)) {
        flags = static_cast<int16_t>(flags + 0x20);
    }
    return flags;
}

void ToggleCheckbox(win::Hwnd dialog, int16_t id) {
    const auto getValue = Imports().GetControlValue;
    const auto setValue = Imports().SetControlValue;
    if (getValue == nullptr || setValue == nullptr) {
        NoteMissingHostService("the controls of host-run dialogs (services 57 and 58)");
        return;
    }
    const int32_t checked = getValue(dialog, id, 1, hostapi::kInterfaceVersion);
    setValue(dialog, id, checked == 0 ? 1 : 0, hostapi::kInterfaceVersion);
}

void ErrorBeep() {
    if (!win::MessageBeep(win::MB_ICONEXCLAMATION)) {
        win::MessageBeep(win::MB_SIMPLE_BEEP);
    }
}

void SetFinaleInFocus(int16_t force) {
    if ((force != 0 || ReturnFocusToFinale() != 0) && win::IsWindow(Module().hostWindow)) {
        win::SetForegroundWindow(Module().hostWindow);
        win::SetFocus(Module().hostWindow);
    }
}

int16_t ToggleWindowSize(win::Hwnd window, int16_t restore, uint8_t* state, int16_t force) {
    using S = WindowCollapseState;
    if (window == win::kNoWindow || state == nullptr) {
        return ERR_NULL_ARGUMENT;
    }
    if (force == 0 && NonFocusCollapse() == 0) {
        return ERR_OK;
    }
    const auto stateWindow = static_cast<win::Hwnd>(hostapi::ReadU32(state, S::kWindow));
    const bool collapsed = hostapi::ReadI16(state, S::kCollapsed) != 0;
    if (restore != 0) {
        if (window != stateWindow || !win::IsWindow(window)) {
            return ERR_INVALID_VALUE;
        }
        if (collapsed) {
            win::SetWindowLong(window, win::GWL_EXSTYLE,
                               win::GetWindowLong(window, win::GWL_EXSTYLE) & ~win::WS_EX_LAYERED);
            win::SetWindowPos(window, win::kNoWindow, 0, 0, hostapi::ReadI32(state, S::kSavedWidth),
                              hostapi::ReadI32(state, S::kSavedHeight),
                              win::SWP_NOMOVE | win::SWP_NOZORDER | win::SWP_NOCOPYBITS | win::SWP_NOOWNERZORDER);
            hostapi::WriteI16(state, S::kCollapsed, 0);
        }
        return ERR_OK;
    }
    if (!win::IsWindow(window)) {
        hostapi::WriteU32(state, S::kWindow, 0);
        return ERR_INVALID_VALUE;
    }
    if (window == stateWindow && collapsed) {
        return ERR_OK;
    }
    win::Rect rect;
    win::GetWindowRect(window, rect);
    hostapi::WriteU32(state, S::kWindow, static_cast<uint32_t>(window));
    hostapi::WriteI32(state, S::kSavedWidth, rect.Width());
    hostapi::WriteI32(state, S::kSavedHeight, rect.Height());
    hostapi::WriteI16(state, S::kCollapsed, 1);
    const int32_t captionHeight = 2 * win::GetSystemMetrics(win::SM_CYDLGFRAME) + win::GetSystemMetrics(win::SM_CYSIZE);
    win::SetWindowPos(window, win::kNoWindow, 0, 0, rect.Width(), captionHeight,
                      win::SWP_NOMOVE | win::SWP_NOZORDER | win::SWP_NOACTIVATE);
    win::SendMessage(window, win::WM_NCACTIVATE, 0, 0);
    if (LayeredWindowsAvailable() && TransparencyFlag() != 0) {
        MakeTranslucent(window);
    }
    return ERR_OK;
}

}  // namespace lumvar
