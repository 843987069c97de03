// Private state of the simulated desktop, shared by the window-system sources.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/win/handles.h"
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
    Hmenu menu = kNoMenu;
    int32_t menuBarDrawCount = 0;
    std::vector<Hwnd> children;
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

struct Desktop {
    uint32_t nextHandle = 0x100;
    std::map<uint32_t, Window> windows;
    std::map<uint32_t, Menu> menus;
    std::map<uint32_t, std::string> kernelObjects;  ///< handle -> object name ("" unnamed)
    std::map<std::string, int32_t> namedObjects;    ///< name -> open handles
    Hwnd foreground = kNoWindow;
    Hwnd active = kNoWindow;
    Hwnd focus = kNoWindow;
    uint32_t clock = 0;
    OsVersionInfo osVersion;
    std::vector<MonitorInfo> monitors = DefaultMonitors();
    int32_t pixelsPerInch = kDefaultPixelsPerInch;
    std::vector<Timer> timers;
    uint32_t nextTimerId = 1;
    uint64_t nextTimerOrder = 1;

    uint32_t NewHandle() { return nextHandle++; }
    Window* FindWindow(Hwnd handle);
    Menu* FindMenu(Hmenu handle);
};

Desktop& TheDesktop();

// The other parts of the window system, each reset with the desktop.
void ResetMessages();
void ResetInput();
void ResetFileMappings();
/// A kernel handle closes: a file mapping whose last handle closes is gone.
void CloseFileMappingHandle(uint32_t handle);
/// The call-window hooks see a message sent to a window.
void RunCallWindowHooks(Hwnd window, uint32_t message, uintptr_t wParam, intptr_t lParam);

}  // namespace win::detail
