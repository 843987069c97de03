// Small questions the core and the tools ask about the host: its window title, its menus,
// the document option, the user manual's place, and the rounding the options dialog uses.
#pragma once

#include <cstdint>
#include <string>

#include "core/host/host_window.h"
#include "platform/win/handles.h"

namespace orvex {

/// Looks for the user manual `fileName`: as given (relative to the current folder), then in the
/// folders "Plug-Ins", "User Manual" and "On-line Documentation" below `hostFolder`. Answers
/// whether it was found and records the path found in `foundPath`.
bool FindUserManual(const std::string& hostFolder, const std::string& fileName, std::string& foundPath);

/// The check mark of a host menu item (before host year 2000): the item at position 18 (17 when
/// the item at 16 opens a submenu) of the third menu (the fourth when the first menu-bar item
/// has no text); unchecked answers true, else whether item `position` of the submenu at 17 (16)
/// is checked.
bool GetHostMenuItemState(win::Hwnd window, int32_t position);
/// Whether the host shows layer `position`: the menu state before host year 2000, the host's
/// service 61 from 2000 on.
bool IsHostMenuCommandChecked(int32_t position);

/// Whether the document's option record ('ot12', key -2) has a non-zero first word; false when
/// it cannot be loaded.
bool IsDocumentOptionSet();

/// The active document window: what the host window's "MDIClient" child answers to
/// WM_MDIGETACTIVE; none without an MDI client.
win::Hwnd GetActiveDocumentWindow(win::Hwnd hostWindow);
/// Whether control 1016 inside child 203 of the active document window is visible (page view).
bool IsDocumentControlVisible(win::Hwnd hostWindow);
/// When that control is visible, the value of control 1005 of child 203 (kind 3, read through
/// the host's service 57): the page the document window shows; else -1.
int32_t ReadDocumentControlValue(win::Hwnd hostWindow);

/// 0 for magnitudes below 50; otherwise (value + 49) / 100, or (value - 49) / 100 for negative
/// values, truncating toward zero.
int32_t RoundToHundreds(int32_t value);
int32_t HundredsRemainder(int32_t value);

}  // namespace orvex
