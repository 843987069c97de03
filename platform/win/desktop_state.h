// Private state of the simulated desktop, shared by the window-system sources.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/win/handles.h"
#include "platform/win/messages.h"
#include "platform/win/screen.h"
#include "platform/win/system.h"
#include "platform/win/timers.h"

namespace win::detail {

struct Window {
    std::string className;
    std::string title;
    Hwnd parent = kNoWindow;
    Hwnd owner = kNoWindow;
    int32_t id = 0;
    bool visible = true;
    bool enabled = true;  ///< takes mouse and keyboard input (a modal dialog's owner does not)
    Hmenu menu = kNoMenu;
    int32_t menuBarDrawCount = 0;
    bool topmost = false;        ///< a top-level window that stays above the others (WS_EX_TOPMOST)
    std::vector<Hwnd> children;  ///< in Z order, front first
};

struct MenuItem {
    uint32_t flags = 0;
    uint32_t id = 0;
    Hmenu submenu = kNoMenu;
    std::string text;
};

struct Menu {
    bool isMenuBar = false;
    std::vector<MenuItem> items;
};

struct Timer {
    Hwnd window = kNoWindow;
    uint32_t id = 0;
    uint32_t interval = 0;
    uint32_t due = 0;    ///< clock time at which it next runs
    uint64_t order = 0;  ///< creation order, to run timers due at the same time in a stable order
    TimerProc proc;
};

std::vector<MonitorInfo> DefaultMonitors();

struct Clipboard {
    bool open = false;
    Hwnd opener = kNoWindow;  ///< the window that opened it
    Hwnd owner = kNoWindow;   ///< the window that emptied it last
    std::optional<std::string> text;
};

struct Desktop {
    uint32_t nextHandle = 0x100;
    std::map<uint32_t, Window> windows;
    std::map<uint32_t, Menu> menus;
    std::map<uint32_t, std::string> kernelObjects;  ///< handle -> object name ("" unnamed)
    std::map<std::string, int32_t> namedObjects;    ///< name -> open handles
    std::vector<Hwnd> zOrder;                       ///< the top-level windows, front first (topmost windows first)
    Hwnd foreground = kNoWindow;
    Hwnd active = kNoWindow;
    Hwnd focus = kNoWindow;
    uint32_t clock = 0;
    OsVersionInfo osVersion;
    std::vector<MonitorInfo> monitors = DefaultMonitors();
    int32_t pixelsPerInch = kDefaultPixelsPerInch;
    std::vector<Timer> timers;
    Clipboard clipboard;
    uint32_t nextTimerId = 1;
    uint64_t nextTimerOrder = 1;

    uint32_t NewHandle() { return nextHandle++; }
    Window* FindWindow(Hwnd handle);
    Menu* FindMenu(Hmenu handle);
};

Desktop& TheDesktop();

/// A kernel handle closes: a file mapping whose last handle closes is gone.
void CloseFileMappingHandle(uint32_t handle);
/// The call-window hooks see a message sent to a window.
void RunCallWindowHooks(Hwnd window, uint32_t message, uintptr_t wParam, intptr_t lParam);
/// The get-message hooks see a message taken from the queue (and may change it).
void RunGetMessageHooks(Msg& message);
// Z order and activation (activation.cpp).
/// Puts a new top-level window at the top of its band.
void ZOrderAdd(Hwnd window);
void ZOrderRemove(Hwnd window);
/// Places a window after `insertAfter` among its siblings (HWND_TOP, HWND_BOTTOM, HWND_TOPMOST
/// and HWND_NOTOPMOST as SetWindowPos takes them); a top-level window takes the windows it owns
/// along, above it.
void ZOrderPlace(Hwnd window, Hwnd insertAfter);
/// Activates a top-level window (kNoWindow: none) with the messages of the header comment of
/// windows.h; answers the window active before.
Hwnd Activate(Hwnd window);
/// The active window is going away (hidden or destroyed): its owner or the first visible
/// top-level window in Z order other than it becomes active.
void ActivateNext(Hwnd leaving);
/// Moves the focus (WM_KILLFOCUS, WM_SETFOCUS) without activating anything.
void MoveFocus(Hwnd window);

/// The window's procedure (the default one for a window without one), without hooks.
intptr_t CallWindowProcedure(Hwnd window, uint32_t message, uintptr_t wParam, intptr_t lParam);
/// A window leaves the desktop: its procedure goes too.
void ForgetWindowProcedure(Hwnd window);

}  // namespace win::detail
