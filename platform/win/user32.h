// More of the window system's user functions: window rectangles in screen coordinates,
// window styles and layered (translucent) windows, the positions of scroll-bar controls,
// system metrics and beeps; and the system module "user32.dll", which exports some of them by
// name for programs that look them up at run time.
//
// A window's rectangle is empty (all 0) until it is given one. The rectangles, styles and
// scroll positions belong to the desktop: a fresh system (ResetSystem) has forgotten them.
#pragma once

#include <cstdint>

#include "platform/win/handles.h"
#include "platform/win/screen.h"

namespace win {

// SetWindowPos flags.
inline constexpr uint32_t SWP_NOSIZE = 0x0001;
inline constexpr uint32_t SWP_NOMOVE = 0x0002;
inline constexpr uint32_t SWP_NOZORDER = 0x0004;
inline constexpr uint32_t SWP_NOREDRAW = 0x0008;
inline constexpr uint32_t SWP_NOACTIVATE = 0x0010;
inline constexpr uint32_t SWP_SHOWWINDOW = 0x0040;
inline constexpr uint32_t SWP_HIDEWINDOW = 0x0080;
inline constexpr uint32_t SWP_NOCOPYBITS = 0x0100;
inline constexpr uint32_t SWP_NOOWNERZORDER = 0x0200;

// SetWindowPos's places in the Z order.
inline constexpr Hwnd HWND_TOP{0};
inline constexpr Hwnd HWND_BOTTOM{1};
inline constexpr Hwnd HWND_TOPMOST{0xFFFFFFFFu};    ///< above every window that is not topmost
inline constexpr Hwnd HWND_NOTOPMOST{0xFFFFFFFEu};  ///< the top of the windows that are not topmost

// Window styles (GetWindowLong / SetWindowLong).
inline constexpr int32_t GWL_STYLE = -16;
inline constexpr int32_t GWL_EXSTYLE = -20;
inline constexpr int32_t WS_EX_TOPMOST = 0x00000008;  ///< read only: set through SetWindowPos
inline constexpr int32_t WS_EX_LAYERED = 0x00080000;

// Layered windows.
inline constexpr uint32_t LWA_COLORKEY = 0x1;
inline constexpr uint32_t LWA_ALPHA = 0x2;

// Scroll bars.
inline constexpr int32_t SB_HORZ = 0;
inline constexpr int32_t SB_VERT = 1;
inline constexpr int32_t SB_CTL = 2;

// System metrics.
inline constexpr int32_t SM_CXSCREEN = 0;
inline constexpr int32_t SM_CYSCREEN = 1;
inline constexpr int32_t SM_CYCAPTION = 4;
inline constexpr int32_t SM_CXDLGFRAME = 7;
inline constexpr int32_t SM_CYDLGFRAME = 8;
inline constexpr int32_t SM_CXSIZE = 30;
inline constexpr int32_t SM_CYSIZE = 31;

// Beeps (MessageBeep).
inline constexpr uint32_t MB_SIMPLE_BEEP = 0xFFFFFFFF;
inline constexpr uint32_t MB_ICONEXCLAMATION = 0x0030;

/// WM_WINDOWPOSCHANGED: lParam points to the window's new place.
inline constexpr uint32_t WM_WINDOWPOSCHANGED = 0x0047;
struct WindowPos {
    Hwnd window;
    Hwnd insertAfter;  ///< the window it was placed after in the Z order (kNoWindow: the top)
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
    uint32_t flags;  ///< SWP_ flags: what did not change
};

/// The window's rectangle in screen coordinates; false with ERROR_INVALID_WINDOW_HANDLE.
bool GetWindowRect(Hwnd window, Rect& rect);
/// Moves and sizes a window (SWP_NOMOVE and SWP_NOSIZE keep the position or the size), places
/// it in the Z order after `insertAfter` (unless SWP_NOZORDER; HWND_TOPMOST makes a top-level
/// window topmost, HWND_NOTOPMOST ends that), shows or hides it (SWP_SHOWWINDOW,
/// SWP_HIDEWINDOW) and activates a visible top-level window unless SWP_NOACTIVATE; then sends
/// the window WM_WINDOWPOSCHANGED with its new place (insertAfter kNoWindow for the top).
/// Nothing is drawn.
bool SetWindowPos(Hwnd window, Hwnd insertAfter, int32_t x, int32_t y, int32_t width, int32_t height, uint32_t flags);
bool MoveWindow(Hwnd window, int32_t x, int32_t y, int32_t width, int32_t height, bool repaint);

/// GWL_STYLE or GWL_EXSTYLE of a window (0 for a new window); 0 with a last error otherwise.
int32_t GetWindowLong(Hwnd window, int32_t index);
/// Sets a style and answers the previous value.
int32_t SetWindowLong(Hwnd window, int32_t index, int32_t value);

/// Gives a layered window (WS_EX_LAYERED) its colour key and alpha; false with
/// ERROR_INVALID_PARAMETER for a window that is not layered.
bool SetLayeredWindowAttributes(Hwnd window, uint32_t colorKey, uint8_t alpha, uint32_t flags);
bool GetLayeredWindowAttributes(Hwnd window, uint32_t* colorKey, uint8_t* alpha, uint32_t* flags);

/// The position of a scroll bar (SB_CTL: the control itself); 0 for one never set.
int32_t GetScrollPos(Hwnd window, int32_t bar);
/// Sets it and answers the previous position.
int32_t SetScrollPos(Hwnd window, int32_t bar, int32_t position, bool redraw);

/// Screen width and height (the primary monitor), caption height 19, dialog frame 3, caption
/// buttons 18 x 18; 0 for any other index.
int32_t GetSystemMetrics(int32_t index);

/// A beep of a kind (MB_ICONEXCLAMATION, ...; MB_SIMPLE_BEEP the simple one), in the transcript
/// as "[beep] exclamation" or "[beep] simple".
bool MessageBeep(uint32_t type);
/// A tone on the speaker, "[beep] FREQUENCY Hz, DURATION ms".
bool Beep(uint32_t frequency, uint32_t duration);

/// The module "user32.dll" of the system, registered in the process (once; later calls answer
/// the registered module). Its exports by name: "SetLayeredWindowAttributes",
/// "GetLayeredWindowAttributes", "MessageBeep". The program's own module must be registered
/// first (it is the main module); without it the call answers kNoModule with
/// ERROR_MOD_NOT_FOUND.
Hmodule RegisterUser32Module();
inline constexpr const char* kUser32ModuleName = "user32.dll";

extern "C" {
using SetLayeredWindowAttributesFn = int32_t (*)(Hwnd window, uint32_t colorKey, uint8_t alpha, uint32_t flags);
using GetLayeredWindowAttributesFn = int32_t (*)(Hwnd window, uint32_t* colorKey, uint8_t* alpha, uint32_t* flags);
using MessageBeepFn = int32_t (*)(uint32_t type);
}

}  // namespace win
