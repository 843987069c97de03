// Lumvar2000's two dialogs, which the host runs from Lumvar2000's own dialog resources (host
// service 15) with a dialog procedure of Lumvar2000 each: the control panel (resource 20128),
// where the user edits the preferences, and the debug panel (20129), which sends test
// notifications to the registered clients. The procedures read and set the controls through the
// host (services 16, 35, 36, 57-60) and fill the language list by the list's own messages.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win/dialog_resources.h"
#include "platform/win/handles.h"

namespace lumvar {

inline constexpr int32_t kControlPanelResource = 20128;
inline constexpr int32_t kDebugPanelResource = 20129;

// Controls of the control panel.
inline constexpr int32_t kPreferencesGroup = 101;
inline constexpr int32_t kSecondMonitorBox = 102;
inline constexpr int32_t kUpdateLayoutBox = 103;
inline constexpr int32_t kReturnFocusBox = 104;
inline constexpr int32_t kCollapseBox = 105;
inline constexpr int32_t kTransparentBox = 106;
inline constexpr int32_t kLanguageList = 108;
inline constexpr int32_t kVersionText = 109;
inline constexpr int32_t kWebPageButton = 110;
// Controls of the debug panel.
inline constexpr int32_t kEventGroup = 101;
inline constexpr int32_t kFirstEventRadio = 102;  ///< 102..105: events 1..4
inline constexpr int32_t kTextEventRadio = 106;
inline constexpr int32_t kEventTextEdit = 107;
inline constexpr int32_t kSendEventButton = 108;

/// Lumvar2000's dialog templates by resource number (its module's dialog resources); nullptr
/// for another number.
const win::DialogTemplate* DialogResource(int32_t resource);

/// The dialog procedures of the two panels.
int32_t ControlPanelProc(win::Hwnd dialog, uint32_t message, uintptr_t wParam, intptr_t lParam);
int32_t DebugPanelProc(win::Hwnd dialog, uint32_t message, uintptr_t wParam, intptr_t lParam);

/// pLUMVAR_DialogBox: with Ctrl+Shift held the debug panel (result 2), else the control panel
/// (1 after OK, 2 after Cancel). A host without service 15 runs neither: said in the debug
/// output, result 2.
int16_t DialogBox();

/// The control panel's last result (1 OK, 2 Cancel) and the debug panel's last event and text.
int16_t ControlPanelResult();
int32_t DebugPanelLastEvent();
const std::string& DebugPanelLastText();

}  // namespace lumvar
