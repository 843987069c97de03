// Menus: menu bars and popup menus with items addressed by position or by command
// identifier, as a window system offers them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/win/handles.h"

namespace win {

// Item flags (combine with |).
inline constexpr uint32_t MF_BYCOMMAND = 0x0000;
inline constexpr uint32_t MF_STRING = 0x0000;
inline constexpr uint32_t MF_ENABLED = 0x0000;
inline constexpr uint32_t MF_UNCHECKED = 0x0000;
inline constexpr uint32_t MF_GRAYED = 0x0001;
inline constexpr uint32_t MF_DISABLED = 0x0002;
inline constexpr uint32_t MF_CHECKED = 0x0008;
inline constexpr uint32_t MF_POPUP = 0x0010;
inline constexpr uint32_t MF_MENUBARBREAK = 0x0020;
inline constexpr uint32_t MF_MENUBREAK = 0x0040;
inline constexpr uint32_t MF_BYPOSITION = 0x0400;
inline constexpr uint32_t MF_SEPARATOR = 0x0800;

/// GetMenuItemID's answer for an item that opens a submenu, and GetMenuState's for a missing item.
inline constexpr uint32_t kNoMenuItem = 0xFFFFFFFF;

struct MenuItemInfo {
    uint32_t flags = 0;  ///< MF_POPUP, MF_SEPARATOR, MF_CHECKED, MF_GRAYED, breaks
    uint32_t id = 0;     ///< command identifier (0 for separators and submenus)
    Hmenu submenu = kNoMenu;
    std::string text;
};

Hmenu CreateMenu();            ///< an empty menu bar
Hmenu CreatePopupMenu();       ///< an empty popup menu
bool DestroyMenu(Hmenu menu);  ///< destroys the submenus it holds too
bool IsMenu(Hmenu menu);

Hmenu GetMenu(Hwnd window);
bool SetMenu(Hwnd window, Hmenu menu);
bool DrawMenuBar(Hwnd window);
/// How many times the window's menu bar was drawn (tests read it).
int32_t GetMenuBarDrawCount(Hwnd window);

/// Appends an item: `idOrSubmenu` is the command identifier, or the submenu's handle value with
/// MF_POPUP. Texts beginning with nothing and MF_SEPARATOR make a separator.
bool AppendMenu(Hmenu menu, uint32_t flags, uint32_t idOrSubmenu, std::string_view text = {});
/// Inserts before the item at `item` (a position with MF_BYPOSITION, else a command identifier);
/// a position past the end appends.
bool InsertMenu(Hmenu menu, uint32_t item, uint32_t flags, uint32_t idOrSubmenu, std::string_view text = {});
/// Removes an item; a submenu it opened stays alive.
bool RemoveMenu(Hmenu menu, uint32_t item, uint32_t flags);
/// Removes an item and destroys the submenu it opened.
bool DeleteMenu(Hmenu menu, uint32_t item, uint32_t flags);
bool ModifyMenuText(Hmenu menu, uint32_t item, uint32_t flags, std::string_view text);

int32_t GetMenuItemCount(Hmenu menu);                  ///< -1 for an invalid menu
uint32_t GetMenuItemID(Hmenu menu, int32_t position);  ///< kNoMenuItem for submenus and missing items
Hmenu GetSubMenu(Hmenu menu, int32_t position);
/// The item's text, at most `maxChars` characters; nullopt (with a last error) when there is no such item.
std::optional<std::string> GetMenuString(Hmenu menu, uint32_t item, uint32_t flags, size_t maxChars = 255);
bool GetMenuItemInfo(Hmenu menu, uint32_t item, bool byPosition, MenuItemInfo& info);
uint32_t GetMenuState(Hmenu menu, uint32_t item, uint32_t flags);  ///< kNoMenuItem when missing
/// Sets or clears the check mark; answers the previous state (MF_CHECKED or 0), or kNoMenuItem.
uint32_t CheckMenuItem(Hmenu menu, uint32_t item, uint32_t flags);
uint32_t EnableMenuItem(Hmenu menu, uint32_t item, uint32_t flags);

/// Removes the accelerator marks of a menu text ("&Edit" -> "Edit", "&&" -> "&").
std::string StripAccelerators(std::string_view text);

}  // namespace win
