#include "platform/win/user32.h"

#include <map>
#include <string>

#include "platform/win/desktop_state.h"
#include "platform/win/messages.h"
#include "platform/win/modules.h"
#include "platform/win/system_state.h"
#include "platform/win/transcript.h"
#include "platform/win/windows.h"

namespace win {
namespace {

using Placement = detail::WindowPlacement;
using detail::PlacementTable;

/// The table lives as long as a kernel object of the desktop under this name; a fresh desktop
/// has dropped the object, and the table is then empty again.
constexpr const char* kTableName = "window placements";

PlacementTable& Table() {
    PlacementTable& table = detail::System().placements;
    auto& desktop = detail::TheDesktop();
    const auto it = desktop.kernelObjects.find(static_cast<uint32_t>(table.marker));
    if (table.marker == kNoHandle || it == desktop.kernelObjects.end() || it->second != kTableName) {
        table.windows.clear();
        table.marker = Handle{desktop.NewHandle()};
        desktop.kernelObjects[static_cast<uint32_t>(table.marker)] = kTableName;
        ++desktop.namedObjects[kTableName];
    }
    return table;
}

/// The placement of a window that exists; nullptr (with ERROR_INVALID_WINDOW_HANDLE) otherwise.
/// Windows are never given the handle of a destroyed window on the same desktop, so an entry
/// of a destroyed window is simply dropped.
Placement* PlacementOf(Hwnd window) {
    PlacementTable& table = Table();
    const auto key = static_cast<uint32_t>(window);
    if (!IsWindow(window)) {
        table.windows.erase(key);
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return &table.windows[key];
}

int32_t* StyleSlot(Placement& placement, int32_t index) {
    if (index == GWL_STYLE) {
        return &placement.style;
    }
    if (index == GWL_EXSTYLE) {
        return &placement.exStyle;
    }
    return nullptr;
}

int32_t ExportSetLayeredWindowAttributes(Hwnd window, uint32_t colorKey, uint8_t alpha, uint32_t flags) {
    return SetLayeredWindowAttributes(window, colorKey, alpha, flags) ? 1 : 0;
}

int32_t ExportGetLayeredWindowAttributes(Hwnd window, uint32_t* colorKey, uint8_t* alpha, uint32_t* flags) {
    return GetLayeredWindowAttributes(window, colorKey, alpha, flags) ? 1 : 0;
}

int32_t ExportMessageBeep(uint32_t type) {
    return MessageBeep(type) ? 1 : 0;
}

void* User32Export(std::string_view name) {
    if (name == "SetLayeredWindowAttributes") {
        return reinterpret_cast<void*>(static_cast<SetLayeredWindowAttributesFn>(ExportSetLayeredWindowAttributes));
    }
    if (name == "GetLayeredWindowAttributes") {
        return reinterpret_cast<void*>(static_cast<GetLayeredWindowAttributesFn>(ExportGetLayeredWindowAttributes));
    }
    if (name == "MessageBeep") {
        return reinterpret_cast<void*>(static_cast<MessageBeepFn>(ExportMessageBeep));
    }
    return nullptr;
}

}  // namespace

bool GetWindowRect(Hwnd window, Rect& rect) {
    const Placement* placement = PlacementOf(window);
    if (placement == nullptr) {
        return false;
    }
    rect = placement->rect;
    return true;
}

bool SetWindowPos(Hwnd window, Hwnd insertAfter, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t flags) {
    Placement* placement = PlacementOf(window);
    if (placement == nullptr) {
        return false;
    }
    Rect& rect = placement->rect;
    const int32_t oldWidth = rect.Width();
    const int32_t oldHeight = rect.Height();
    if ((flags & SWP_NOMOVE) == 0) {
        rect.left = x;
        rect.top = y;
    }
    if ((flags & SWP_NOSIZE) == 0) {
        rect.right = rect.left + width;
        rect.bottom = rect.top + height;
    } else {
        rect.right = rect.left + oldWidth;
        rect.bottom = rect.top + oldHeight;
    }
    const Rect placed = rect;
    if ((flags & SWP_NOZORDER) == 0) {
        detail::ZOrderPlace(window, insertAfter);
    }
    if ((flags & SWP_SHOWWINDOW) != 0) {
        ShowWindow(window, true);
    } else if ((flags & SWP_HIDEWINDOW) != 0) {
        ShowWindow(window, false);
    }
    if ((flags & SWP_NOACTIVATE) == 0 && GetParent(window) == kNoWindow && IsWindowVisible(window)) {
        detail::Activate(window);
    }
    WindowPos place{window,         insertAfter == HWND_TOP ? kNoWindow : insertAfter,
                    placed.left,    placed.top,
                    placed.Width(), placed.Height(),
                    flags};
    SendMessage(window, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<intptr_t>(&place));
    return true;
}

bool MoveWindow(Hwnd window, int32_t x, int32_t y, int32_t width, int32_t height, bool /*repaint*/) {
    return SetWindowPos(window, kNoWindow, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

int32_t GetWindowLong(Hwnd window, int32_t index) {
    Placement* placement = PlacementOf(window);
    if (placement == nullptr) {
        return 0;
    }
    const int32_t* slot = StyleSlot(*placement, index);
    if (slot == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (index == GWL_EXSTYLE && detail::TheDesktop().FindWindow(window)->topmost) {
        return *slot | WS_EX_TOPMOST;
    }
    return *slot;
}

int32_t SetWindowLong(Hwnd window, int32_t index, int32_t value) {
    Placement* placement = PlacementOf(window);
    if (placement == nullptr) {
        return 0;
    }
    int32_t* slot = StyleSlot(*placement, index);
    if (slot == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const int32_t previous = *slot;
    *slot = value;
    return previous;
}

bool SetLayeredWindowAttributes(Hwnd window, uint32_t colorKey, uint8_t alpha, uint32_t flags) {
    Placement* placement = PlacementOf(window);
    if (placement == nullptr) {
        return false;
    }
    if ((placement->exStyle & WS_EX_LAYERED) == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    placement->colorKey = colorKey;
    placement->alpha = alpha;
    placement->layeredFlags = flags;
    return true;
}

bool GetLayeredWindowAttributes(Hwnd window, uint32_t* colorKey, uint8_t* alpha, uint32_t* flags) {
    const Placement* placement = PlacementOf(window);
    if (placement == nullptr) {
        return false;
    }
    if ((placement->exStyle & WS_EX_LAYERED) == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    if (colorKey != nullptr)
        *colorKey = placement->colorKey;
    if (alpha != nullptr)
        *alpha = placement->alpha;
    if (flags != nullptr)
        *flags = placement->layeredFlags;
    return true;
}

int32_t GetScrollPos(Hwnd window, int32_t bar) {
    const Placement* placement = PlacementOf(window);
    if (placement == nullptr) {
        return 0;
    }
    if (bar < SB_HORZ || bar > SB_CTL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return placement->scroll[bar];
}

int32_t SetScrollPos(Hwnd window, int32_t bar, int32_t position, bool /*redraw*/) {
    Placement* placement = PlacementOf(window);
    if (placement == nullptr) {
        return 0;
    }
    if (bar < SB_HORZ || bar > SB_CTL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const int32_t previous = placement->scroll[bar];
    placement->scroll[bar] = position;
    return previous;
}

int32_t GetSystemMetrics(int32_t index) {
    switch (index) {
        case SM_CXSCREEN:
            return GetMonitors().front().bounds.Width();
        case SM_CYSCREEN:
            return GetMonitors().front().bounds.Height();
        case SM_CYCAPTION:
            return 19;
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME:
            return 3;
        case SM_CXSIZE:
        case SM_CYSIZE:
            return 18;
        default:
            return 0;
    }
}

bool MessageBeep(uint32_t type) {
    std::string kind;
    switch (type) {
        case MB_SIMPLE_BEEP:
            kind = "simple";
            break;
        case 0x0000:
            kind = "default";
            break;
        case 0x0010:
            kind = "error";
            break;
        case 0x0020:
            kind = "question";
            break;
        case MB_ICONEXCLAMATION:
            kind = "exclamation";
            break;
        case 0x0040:
            kind = "information";
            break;
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return false;
    }
    TranscriptWrite("[beep] " + kind);
    return true;
}

bool Beep(uint32_t frequency, uint32_t duration) {
    if (frequency < 37 || frequency > 32767) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    TranscriptWrite("[beep] " + std::to_string(frequency) + " Hz, " + std::to_string(duration) + " ms");
    return true;
}

Hmodule RegisterUser32Module() {
    if (const Hmodule loaded = GetModuleHandle(kUser32ModuleName); loaded != kNoModule) {
        return loaded;
    }
    if (GetModuleHandle("") == kNoModule) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return kNoModule;
    }
    return RegisterProcessModule(kUser32ModuleName, ModuleExports{User32Export, {}});
}

}  // namespace win
