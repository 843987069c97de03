// The product menu: once the host has built its menus, the plug-in takes its own entries out of
// the host's plug-ins menu (remembering the host's command identifier of each) and puts them
// back as one menu with seven submenus and separators, on the menu bar or at the top of the
// plug-ins menu. Choosing an entry still sends the host's own identifier.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win/handles.h"

namespace orvex {

/// Builds the product menu, once (the first TNow tick or the first key, whichever comes first).
void BuildProductMenu();

/// Walks a menu for the plug-in's entries: each one found is taken out and its identifier kept;
/// with an extra menu, every other plain item is copied there, in columns of `perColumn`.
/// Answers how many items were taken out of `menu`.
int32_t CollectPluginMenuItems(win::Hmenu menu, win::Hmenu extraMenu, int32_t& counter, int32_t perColumn,
                               const std::string& path);

}  // namespace orvex
