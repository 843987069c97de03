// Top-level and child windows of the desktop: titles, classes, identifiers, parents, the
// foreground window and the keyboard focus.
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

Hwnd CreateWindow(const WindowCreateInfo& info);
bool DestroyWindow(Hwnd window);  ///< destroys its children too; a destroyed window's menu is destroyed
bool IsWindow(Hwnd window);

std::string GetWindowText(Hwnd window);
bool SetWindowText(Hwnd window, std::string_view text);
std::string GetClassName(Hwnd window);
int32_t GetDlgCtrlID(Hwnd window);
Hwnd GetParent(Hwnd window);
Hwnd GetOwner(Hwnd window);
/// Makes `owner` the owner of a top-level window (an owned window stays above its owner).
bool SetOwner(Hwnd window, Hwnd owner);
std::vector<Hwnd> GetChildWindows(Hwnd window);  ///< direct children, in creation order
/// The first direct child of `parent` with the class name (and title, when given) after `after`.
Hwnd FindWindowEx(Hwnd parent, Hwnd after, std::string_view className, std::string_view title = {});
bool IsWindowVisible(Hwnd window);
bool ShowWindow(Hwnd window, bool visible);

Hwnd GetForegroundWindow();
bool SetForegroundWindow(Hwnd window);
Hwnd GetActiveWindow();
Hwnd GetFocus();
Hwnd SetFocus(Hwnd window);  ///< answers the window that had the focus

}  // namespace win
