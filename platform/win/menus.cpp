#include "platform/win/menus.h"

#include <algorithm>
#include <vector>

#include "platform/win/desktop_state.h"

namespace win {
namespace {

detail::Menu* MenuOrError(Hmenu menu) {
    detail::Menu* m = detail::TheDesktop().FindMenu(menu);
    if (m == nullptr) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
    }
    return m;
}

/// The index of an item addressed by position or by command identifier (searched through
/// submenus, as the system does; `owner` receives the menu that holds it).
std::optional<size_t> FindItem(Hmenu menu, uint32_t item, uint32_t flags, detail::Menu*& owner) {
    detail::Menu* m = detail::TheDesktop().FindMenu(menu);
    if (m == nullptr) {
        return std::nullopt;
    }
    if ((flags & MF_BYPOSITION) != 0) {
        if (item >= m->items.size()) {
            return std::nullopt;
        }
        owner = m;
        return item;
    }
    for (size_t i = 0; i < m->items.size(); ++i) {
        const detail::MenuItem& it = m->items[i];
        if ((it.flags & MF_POPUP) == 0 && (it.flags & MF_SEPARATOR) == 0 && it.id == item) {
            owner = m;
            return i;
        }
    }
    for (const detail::MenuItem& it : m->items) {
        if ((it.flags & MF_POPUP) != 0) {
            if (auto found = FindItem(it.submenu, item, flags, owner)) {
                return found;
            }
        }
    }
    return std::nullopt;
}

/// Where an item stands: the menu that holds it and its index there.
struct ItemPlace {
    detail::Menu* owner = nullptr;
    size_t index = 0;
    detail::MenuItem& Item() const { return owner->items[index]; }
    std::vector<detail::MenuItem>::iterator Position() const {
        return owner->items.begin() + static_cast<std::ptrdiff_t>(index);
    }
};

/// The place of an item addressed as FindItem takes it, or nothing.
std::optional<ItemPlace> Place(Hmenu menu, uint32_t item, uint32_t flags) {
    detail::Menu* owner = nullptr;
    const auto index = FindItem(menu, item, flags, owner);
    return index ? std::optional<ItemPlace>(ItemPlace{owner, *index}) : std::nullopt;
}

/// The place of an item, or nothing with the error the system sets: an invalid menu handle, or
/// an invalid parameter for an item the menu does not hold.
std::optional<ItemPlace> PlaceOrError(Hmenu menu, uint32_t item, uint32_t flags) {
    if (MenuOrError(menu) == nullptr) {
        return std::nullopt;
    }
    auto place = Place(menu, item, flags);
    if (!place) {
        SetLastError(ERROR_INVALID_PARAMETER);
    }
    return place;
}

detail::MenuItem MakeItem(uint32_t flags, uint32_t idOrSubmenu, std::string_view text) {
    detail::MenuItem item;
    item.flags = flags & ~MF_BYPOSITION;
    item.text = std::string(text);
    if ((flags & MF_POPUP) != 0) {
        item.submenu = Hmenu{idOrSubmenu};
    } else if ((flags & MF_SEPARATOR) == 0) {
        item.id = idOrSubmenu;
    }
    if ((flags & MF_SEPARATOR) != 0) {
        item.text.clear();
    }
    return item;
}

bool ValidNewItem(uint32_t flags, uint32_t idOrSubmenu) {
    if ((flags & MF_POPUP) != 0 && detail::TheDesktop().FindMenu(Hmenu{idOrSubmenu}) == nullptr) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return false;
    }
    return true;
}

Hmenu NewMenu(bool isMenuBar) {
    auto& desktop = detail::TheDesktop();
    const Hmenu handle{desktop.NewHandle()};
    detail::Menu menu;
    menu.isMenuBar = isMenuBar;
    desktop.menus.emplace(static_cast<uint32_t>(handle), std::move(menu));
    return handle;
}

}  // namespace

Hmenu CreateMenu() {
    return NewMenu(true);
}
Hmenu CreatePopupMenu() {
    return NewMenu(false);
}

bool DestroyMenu(Hmenu menu) {
    auto& desktop = detail::TheDesktop();
    detail::Menu* m = MenuOrError(menu);
    if (m == nullptr) {
        return false;
    }
    const std::vector<detail::MenuItem> items = m->items;
    desktop.menus.erase(static_cast<uint32_t>(menu));
    for (const detail::MenuItem& item : items) {
        if ((item.flags & MF_POPUP) != 0 && desktop.FindMenu(item.submenu) != nullptr) {
            DestroyMenu(item.submenu);
        }
    }
    for (auto& [handle, window] : desktop.windows) {
        if (window.menu == menu) {
            window.menu = kNoMenu;
        }
    }
    return true;
}

bool IsMenu(Hmenu menu) {
    return detail::TheDesktop().FindMenu(menu) != nullptr;
}

Hmenu GetMenu(Hwnd window) {
    const detail::Window* w = detail::TheDesktop().FindWindow(window);
    return w == nullptr ? kNoMenu : w->menu;
}

bool SetMenu(Hwnd window, Hmenu menu) {
    auto& desktop = detail::TheDesktop();
    detail::Window* w = desktop.FindWindow(window);
    if (w == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    if (menu != kNoMenu && MenuOrError(menu) == nullptr) {
        return false;
    }
    w->menu = menu;
    return true;
}

bool DrawMenuBar(Hwnd window) {
    detail::Window* w = detail::TheDesktop().FindWindow(window);
    if (w == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    ++w->menuBarDrawCount;
    return true;
}

int32_t GetMenuBarDrawCount(Hwnd window) {
    const detail::Window* w = detail::TheDesktop().FindWindow(window);
    return w == nullptr ? 0 : w->menuBarDrawCount;
}

bool AppendMenu(Hmenu menu, uint32_t flags, uint32_t idOrSubmenu, std::string_view text) {
    detail::Menu* m = MenuOrError(menu);
    if (m == nullptr || !ValidNewItem(flags, idOrSubmenu)) {
        return false;
    }
    m->items.push_back(MakeItem(flags, idOrSubmenu, text));
    return true;
}

bool InsertMenu(Hmenu menu, uint32_t item, uint32_t flags, uint32_t idOrSubmenu, std::string_view text) {
    detail::Menu* m = MenuOrError(menu);
    if (m == nullptr || !ValidNewItem(flags, idOrSubmenu)) {
        return false;
    }
    if ((flags & MF_BYPOSITION) != 0) {
        const size_t position = std::min<size_t>(item, m->items.size());
        m->items.insert(m->items.begin() + static_cast<std::ptrdiff_t>(position), MakeItem(flags, idOrSubmenu, text));
        return true;
    }
    const auto place = PlaceOrError(menu, item, MF_BYCOMMAND);
    if (!place) {
        return false;
    }
    place->owner->items.insert(place->Position(), MakeItem(flags, idOrSubmenu, text));
    return true;
}

bool RemoveMenu(Hmenu menu, uint32_t item, uint32_t flags) {
    const auto place = PlaceOrError(menu, item, flags);
    if (!place) {
        return false;
    }
    place->owner->items.erase(place->Position());
    return true;
}

bool DeleteMenu(Hmenu menu, uint32_t item, uint32_t flags) {
    const auto place = PlaceOrError(menu, item, flags);
    if (!place) {
        return false;
    }
    const detail::MenuItem removed = place->Item();
    place->owner->items.erase(place->Position());
    if ((removed.flags & MF_POPUP) != 0 && IsMenu(removed.submenu)) {
        DestroyMenu(removed.submenu);
    }
    return true;
}

bool ModifyMenuText(Hmenu menu, uint32_t item, uint32_t flags, std::string_view text) {
    const auto place = PlaceOrError(menu, item, flags);
    if (!place) {
        return false;
    }
    place->Item().text = std::string(text);
    return true;
}

int32_t GetMenuItemCount(Hmenu menu) {
    const detail::Menu* m = MenuOrError(menu);
    return m == nullptr ? -1 : static_cast<int32_t>(m->items.size());
}

uint32_t GetMenuItemID(Hmenu menu, int32_t position) {
    const detail::Menu* m = MenuOrError(menu);
    if (m == nullptr || position < 0 || static_cast<size_t>(position) >= m->items.size()) {
        return kNoMenuItem;
    }
    const detail::MenuItem& item = m->items[static_cast<size_t>(position)];
    return (item.flags & MF_POPUP) != 0 ? kNoMenuItem : item.id;
}

Hmenu GetSubMenu(Hmenu menu, int32_t position) {
    const detail::Menu* m = MenuOrError(menu);
    if (m == nullptr || position < 0 || static_cast<size_t>(position) >= m->items.size()) {
        return kNoMenu;
    }
    const detail::MenuItem& item = m->items[static_cast<size_t>(position)];
    return (item.flags & MF_POPUP) != 0 ? item.submenu : kNoMenu;
}

std::optional<std::string> GetMenuString(Hmenu menu, uint32_t item, uint32_t flags, size_t maxChars) {
    const auto place = PlaceOrError(menu, item, flags);
    if (!place) {
        return std::nullopt;
    }
    return place->Item().text.substr(0, maxChars);
}

bool GetMenuItemInfo(Hmenu menu, uint32_t item, bool byPosition, MenuItemInfo& info) {
    const auto place = PlaceOrError(menu, item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND);
    if (!place) {
        return false;
    }
    const detail::MenuItem& it = place->Item();
    info.flags = it.flags;
    info.id = it.id;
    info.submenu = it.submenu;
    info.text = it.text;
    return true;
}

uint32_t GetMenuState(Hmenu menu, uint32_t item, uint32_t flags) {
    const auto place = Place(menu, item, flags);
    if (!place) {
        return kNoMenuItem;
    }
    return place->Item().flags &
           (MF_CHECKED | MF_GRAYED | MF_DISABLED | MF_POPUP | MF_SEPARATOR | MF_MENUBARBREAK | MF_MENUBREAK);
}

uint32_t CheckMenuItem(Hmenu menu, uint32_t item, uint32_t flags) {
    const auto place = Place(menu, item, flags);
    if (!place) {
        return kNoMenuItem;
    }
    uint32_t& itemFlags = place->Item().flags;
    const uint32_t previous = itemFlags & MF_CHECKED;
    itemFlags = (itemFlags & ~MF_CHECKED) | (flags & MF_CHECKED);
    return previous;
}

uint32_t EnableMenuItem(Hmenu menu, uint32_t item, uint32_t flags) {
    const auto place = Place(menu, item, flags);
    if (!place) {
        return kNoMenuItem;
    }
    uint32_t& itemFlags = place->Item().flags;
    const uint32_t previous = itemFlags & (MF_GRAYED | MF_DISABLED);
    itemFlags = (itemFlags & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
    return previous;
}

std::string StripAccelerators(std::string_view text) {
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&') {
                result += '&';
                ++i;
            }
            continue;
        }
        result += text[i];
    }
    return result;
}

}  // namespace win
