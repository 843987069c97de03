// Top-level and child windows of the desktop: titles, classes, identifiers, parents and owners,
// the Z order, the active (foreground) window and the keyboard focus.
//
// Activation works as on the real system for the windows of one program: one top-level
// window is active (it is also the foreground window); activating another one sends the window
// that loses the activation WM_NCACTIVATE (FALSE) and WM_ACTIVATE (WA_INACTIVE), then the one
// that gains it WM_NCACTIVATE (TRUE) and WM_ACTIVATE (WA_ACTIVE), brings it (with the windows
// it owns, which stay above their owner) to the top of the Z order, and gives it the focus
// unless its WM_ACTIVATE already put the focus into one of its children. Giving the focus to a
// window of a top-level window that is not active activates that top-level window first. When
// the active window is hidden or destroyed, its owner (when visible) or else the first visible
// top-level window in Z order is activated. When the program's activation comes from nothing
// (another program was in front, or this is its first window), every top-level window is told
// WM_ACTIVATEAPP (TRUE) first; when it goes to nothing, WM_ACTIVATEAPP (FALSE). Windows marked topmost (WS_EX_TOPMOST,
// through SetWindowPos with HWND_TOPMOST) stay above every other top-level window.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/win/handles.h"

namespace win {

struct WindowCreateInfo {
    std::string className;
    std::string title;
    Hwnd parent = kNoWindow;  ///< child windows have a parent; top-level windows none
    Hwnd owner = kNoWindow;   ///< owned top-level windows stay above their owner
    int32_t id = 0;           ///< control identifier of a child window
    bool visible = true;
};

/// Makes a window. A top-level window goes to the top of the Z order (below topmost windows); a
/// child window below its siblings. The first visible top-level window of the desktop becomes
/// the active window.
Hwnd CreateWindow(const WindowCreateInfo& info);
/// Sends the window WM_DESTROY, then destroys its children (each told WM_DESTROY) and its menu.
/// Windows it owns lose their owner.
bool DestroyWindow(Hwnd window);
bool IsWindow(Hwnd window);

std::string GetWindowText(Hwnd window);
bool SetWindowText(Hwnd window, std::string_view text);
std::string GetClassName(Hwnd window);
int32_t GetDlgCtrlID(Hwnd window);
/// The direct child with a control identifier; kNoWindow when there is none.
Hwnd GetDlgItem(Hwnd parent, int32_t id);
Hwnd GetParent(Hwnd window);
Hwnd GetOwner(Hwnd window);
/// Makes `owner` the owner of a top-level window (an owned window stays above its owner).
bool SetOwner(Hwnd window, Hwnd owner);
/// Whether `window` lies inside `parent` (a child, a child's child, ...).
bool IsChild(Hwnd parent, Hwnd window);

inline constexpr uint32_t GA_PARENT = 1;
inline constexpr uint32_t GA_ROOT = 2;       ///< the top-level window that holds the window
inline constexpr uint32_t GA_ROOTOWNER = 3;  ///< GA_ROOT, then its owners up to one without owner
Hwnd GetAncestor(Hwnd window, uint32_t flags);

/// Direct children in Z order, front first: a child made later lies below the ones before it
/// (so, until a child is moved, creation order).
std::vector<Hwnd> GetChildWindows(Hwnd window);
/// The top-level windows in Z order, front first.
std::vector<Hwnd> GetTopLevelWindows();
/// The first direct child of `parent` with the class name (and title, when given) after `after`
/// (FindWindow searches the top-level windows).
Hwnd FindWindowEx(Hwnd parent, Hwnd after, std::string_view className, std::string_view title = {});
/// The first top-level window in Z order with the class name (and title, when given).
Hwnd FindWindow(std::string_view className, std::string_view title = {});

inline constexpr uint32_t GW_HWNDFIRST = 0;
inline constexpr uint32_t GW_HWNDLAST = 1;
inline constexpr uint32_t GW_HWNDNEXT = 2;
inline constexpr uint32_t GW_HWNDPREV = 3;
inline constexpr uint32_t GW_OWNER = 4;
inline constexpr uint32_t GW_CHILD = 5;
/// A window related to `window` in the Z order of its siblings (or its owner, or its first child).
Hwnd GetWindow(Hwnd window, uint32_t relation);
/// The first child of `parent` in Z order (the first top-level window for kNoWindow).
Hwnd GetTopWindow(Hwnd parent);

bool IsWindowVisible(Hwnd window);
/// Enables or disables a window's mouse and keyboard input, as a program does with the owner of
/// its modal dialog while the dialog is open; answers whether it was disabled before.
bool EnableWindow(Hwnd window, bool enable);
bool IsWindowEnabled(Hwnd window);
/// Shows or hides a window without activating it; hiding the active window activates another
/// one (see the header comment). Answers whether it was visible before.
bool ShowWindow(Hwnd window, bool visible);

Hwnd GetForegroundWindow();
/// Activates the top-level window that holds `window`; false for no window.
bool SetForegroundWindow(Hwnd window);
Hwnd GetActiveWindow();
/// Activates a top-level window; answers the window that was active before.
Hwnd SetActiveWindow(Hwnd window);
/// The user brings another program to the front: the active window loses the activation and
/// the focus, and every top-level window is told WM_ACTIVATEAPP (FALSE). Activating a window
/// again tells them WM_ACTIVATEAPP (TRUE) first.
void SwitchToAnotherProgram();
/// Brings a window to the top of its siblings' Z order (a top-level window with the windows it
/// owns) and activates it when it is a top-level window.
bool BringWindowToTop(Hwnd window);
Hwnd GetFocus();
/// Gives the keyboard focus to a window (WM_KILLFOCUS to the one that had it, WM_SETFOCUS to it),
/// activating its top-level window first; kNoWindow takes the focus away. Answers the window
/// that had the focus.
Hwnd SetFocus(Hwnd window);

}  // namespace win
