#include "core/product_menu.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "core/commands.h"
#include "core/key_assignments.h"
#include "core/module.h"
#include "core/startup.h"
#include "platform/win/menus.h"

namespace orvex {

namespace {

/// An item taken out of the host's menus, kept until the product menu stands so that a failed
/// build can put it back.
struct TakenItem {
    win::Hmenu menu;
    uint32_t position;
    win::MenuItemInfo info;
};
struct ProductMenuUnit {
    std::vector<TakenItem> taken;
};

std::vector<TakenItem>& TakenItems() {
    return UnitState<ProductMenuUnit>().taken;
}

void PutTakenItemsBack() {
    for (auto it = TakenItems().rbegin(); it != TakenItems().rend(); ++it) {
        const bool popup = (it->info.flags & win::MF_POPUP) != 0;
        win::InsertMenu(it->menu, it->position, win::MF_BYPOSITION | (popup ? win::MF_POPUP : win::MF_STRING),
                        popup ? static_cast<uint32_t>(it->info.submenu) : it->info.id, it->info.text);
    }
    TakenItems().clear();
    TheModule.commands.HostCommandIds.fill(0);
    TheModule.commands.HostCommandIdByItem.fill(0);
}

/// A menu text without its "&" marks, in upper case.
std::string UpperWithoutMarks(const std::string& text) {
    std::string upper;
    for (char c : text) {
        if (c != '&') {
            upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    return upper;
}

/// The position of the host's plug-ins menu on the menu bar.
int32_t PluginsMenuPosition(win::Hmenu menuBar) {
    for (int32_t position = 1; position <= 11; ++position) {
        const auto text = win::GetMenuString(menuBar, static_cast<uint32_t>(position), win::MF_BYPOSITION, 100);
        if (text && UpperWithoutMarks(*text).find("PLUG-INS") != std::string::npos) {
            return position;
        }
    }
    return Host().year == 1997 ? 5 : 6;
}

/// Appends an item and registers it in the menu-command catalogue of the key assignments
/// (separators and empty texts are not registered).
void AppendRegistered(win::Hmenu menu, uint32_t flags, uint32_t idOrSubmenu, std::string_view text) {
    const auto position = static_cast<uint32_t>(std::max(0, win::GetMenuItemCount(menu)));
    win::AppendMenu(menu, flags, idOrSubmenu, text);
    const uint32_t id = (flags & win::MF_POPUP) != 0 ? 0 : idOrSubmenu;
    MenuCache_Add(menu, position, id, static_cast<int32_t>(position), text.substr(0, 45));
}

/// Appends a table entry to a menu as a plain item with the host's identifier, without "Vx ".
void AppendEntry(win::Hmenu menu, int32_t tableIndex) {
    const std::string_view name = GetCommandName(tableIndex);
    AppendRegistered(menu, win::MF_STRING, TheModule.commands.HostCommandIds[static_cast<size_t>(tableIndex)],
                     name.size() > 3 ? name.substr(3) : name);
}

/// The first table entry not matched yet whose menu text is exactly `text`; -1 when none.
int32_t MatchingEntry(const std::string& text) {
    for (int32_t i = 0; i < TheModule.commands.CommandCount; ++i) {
        if (TheModule.commands.HostCommandIds[static_cast<size_t>(i)] == 0 && GetCommandName(i) == text) {
            return i;
        }
    }
    return -1;
}

}  // namespace

int32_t CollectPluginMenuItems(win::Hmenu menu, win::Hmenu extraMenu, int32_t& counter, int32_t perColumn,
                               const std::string& path) {
    int32_t removed = 0;
    int32_t position = 0;
    const int32_t count = win::GetMenuItemCount(menu);
    while (position < count - removed) {
        win::MenuItemInfo info;
        if (!win::GetMenuItemInfo(menu, static_cast<uint32_t>(position), true, info)) {
            // The item's information cannot be read: read it by position instead.
            info.text = win::GetMenuString(menu, static_cast<uint32_t>(position), win::MF_BYPOSITION, 100).value_or("");
            info.id = win::GetMenuItemID(menu, position);
            info.submenu = win::GetSubMenu(menu, position);
            info.flags = info.submenu != win::kNoMenu ? win::MF_POPUP : 0;
        }
        info.text = info.text.substr(0, 100);
        if ((info.flags & win::MF_POPUP) != 0) {
            int32_t innerCounter = 0;
            CollectPluginMenuItems(info.submenu, win::kNoMenu, innerCounter, perColumn, path + "\\" + info.text);
            if (win::GetMenuItemCount(info.submenu) == 0) {
                TakenItems().push_back({menu, static_cast<uint32_t>(position), info});
                win::RemoveMenu(menu, static_cast<uint32_t>(position), win::MF_BYPOSITION);
                ++removed;
                continue;
            }
            ++position;
            continue;
        }
        if ((info.flags & win::MF_SEPARATOR) == 0) {
            const int32_t entry = MatchingEntry(info.text);
            if (entry >= 0) {
                TheModule.commands.HostCommandIds[static_cast<size_t>(entry)] = info.id;
                const int32_t code = TheModule.commands.CommandTable[static_cast<size_t>(entry)].code;
                if (code >= 100) {
                    TheModule.commands.HostCommandIdByItem[static_cast<size_t>(code % 100)] = info.id;
                }
                TakenItems().push_back({menu, static_cast<uint32_t>(position), info});
                win::RemoveMenu(menu, static_cast<uint32_t>(position), win::MF_BYPOSITION);
                ++removed;
                continue;
            }
            if (extraMenu != win::kNoMenu) {
                const int32_t offset = TheModule.process.MenuOnMenuBar ? 0 : 1;
                uint32_t flags = win::MF_STRING;
                if (counter > 0 && perColumn > 0 && (counter + offset) % perColumn == 0) {
                    flags |= win::MF_MENUBARBREAK;
                }
                win::AppendMenu(extraMenu, flags, info.id, info.text);
                ++counter;
            }
        }
        ++position;
    }
    return removed;
}

void BuildProductMenu() {
    if (TheModule.productMenu.MenuBuildTried != 0 || TheModule.productMenu.MenuBuilt) {
        return;
    }
    TheModule.productMenu.MenuBuildTried = 1;
    const win::Hmenu menuBar = HostMenuBar();
    if (menuBar == win::kNoMenu) {
        return;
    }
    const int32_t pluginsPosition = PluginsMenuPosition(menuBar);
    const win::Hmenu pluginsMenu = win::GetSubMenu(menuBar, pluginsPosition);
    const int32_t itemCount = win::GetMenuItemCount(pluginsMenu);
    const win::Hmenu extraMenu = Host().year < 2000 ? win::CreatePopupMenu() : win::kNoMenu;
    const int32_t others = itemCount - TheModule.commands.CommandCount;
    const int32_t columns = std::max(1, (others + 18) / 19);
    const int32_t perColumn = (others + columns + (TheModule.process.MenuOnMenuBar ? 0 : 1) - 1) / columns;

    int32_t counter = 0;
    TakenItems().clear();
    CollectPluginMenuItems(pluginsMenu, extraMenu, counter, perColumn, "");
    if (TheModule.commands.HostCommandIds[0] == 0) {
        // Without the first entry there is no product menu: the host's own entries stay usable.
        PutTakenItemsBack();
        if (extraMenu != win::kNoMenu) {
            win::DestroyMenu(extraMenu);
        }
        return;
    }
    for (const TakenItem& taken : TakenItems()) {
        if ((taken.info.flags & win::MF_POPUP) != 0) {
            win::DestroyMenu(taken.info.submenu);  // a submenu emptied of our entries
        }
    }
    TakenItems().clear();
    if (extraMenu != win::kNoMenu) {
        win::InsertMenu(menuBar, static_cast<uint32_t>(pluginsPosition), win::MF_BYPOSITION | win::MF_POPUP,
                        static_cast<uint32_t>(extraMenu), "Plug-&ins");
    }

    TheModule.productMenu.ProductMenu = win::CreatePopupMenu();
    int32_t submenuNumber = 0;
    for (int32_t index = 0; index < TheModule.commands.CommandCount; ++index) {
        CommandEntry& entry = TheModule.commands.CommandTable[static_cast<size_t>(index)];
        const char* title = entry.SubmenuTitle(Host().language);
        if (title == nullptr || *title == '\0') {
            AppendEntry(TheModule.productMenu.ProductMenu, index);
            if (entry.separatorAfter != 0) {
                win::AppendMenu(TheModule.productMenu.ProductMenu, win::MF_SEPARATOR, 0);
            }
            continue;
        }
        ++submenuNumber;
        const win::Hmenu submenu = win::CreatePopupMenu();
        int32_t last = index;
        for (; last < TheModule.commands.CommandCount; ++last) {
            CommandEntry& member = TheModule.commands.CommandTable[static_cast<size_t>(last)];
            AppendEntry(submenu, last);
            member.submenuNumber = submenuNumber;
            if (member.submenuEnds != 0) {
                break;
            }
            if (member.separatorAfter != 0) {
                win::AppendMenu(submenu, win::MF_SEPARATOR, 0);
            }
        }
        AppendRegistered(TheModule.productMenu.ProductMenu, win::MF_POPUP, static_cast<uint32_t>(submenu), title);
        if (last < TheModule.commands.CommandCount &&
            TheModule.commands.CommandTable[static_cast<size_t>(last)].separatorAfter != 0) {
            win::AppendMenu(TheModule.productMenu.ProductMenu, win::MF_SEPARATOR, 0);
        }
        index = last;
    }

    if (!TheModule.process.MenuOnMenuBar) {
        const win::Hmenu target = extraMenu != win::kNoMenu ? extraMenu : pluginsMenu;
        win::InsertMenu(target, 0, win::MF_BYPOSITION | win::MF_POPUP,
                        static_cast<uint32_t>(TheModule.productMenu.ProductMenu), "&Orvex");
    } else {
        win::AppendMenu(menuBar, win::MF_POPUP, static_cast<uint32_t>(TheModule.productMenu.ProductMenu), "&Orvex");
    }
    win::DrawMenuBar(Host().window);
    TheModule.productMenu.MenuBuilt = true;
}

}  // namespace orvex
