// Small window services for clients: the host's document window and its view, dialog control
// helpers, the modifier keys, beeps, the focus, and collapsing a tool window to its caption.
#pragma once

#include <cstdint>

#include "platform/win/handles.h"

namespace lumvar {

// Windows and controls of the host's document window.
inline constexpr const char* kMdiClientClass = "MDIClient";
inline constexpr const char* kHostWindowClass = "Finale";
inline constexpr int32_t kViewPane = 203;          ///< child of the document window: the view's controls
inline constexpr int32_t kPageViewControl = 1016;  ///< visible in page view
inline constexpr int32_t kPageNumberControl = 1005;
inline constexpr int32_t kScrollPane = 201;         ///< child of the document window with the scroll bar
inline constexpr int32_t kMeasureScrollBar = 1006;  ///< its position is the first measure shown

win::Hwnd GetDocumentWindow();
int16_t IsPageView();
int16_t GetCurrentPage();
int16_t GetScrollViewMeasure();
int16_t LeftmostMeasure();
win::Hwnd GetControl(win::Hwnd dialog, int16_t id);
void ShowControl(win::Hwnd dialog, int16_t id, int16_t show);
void GetDlgPos(win::Hwnd window, int16_t* x, int16_t* y);
void SetDlgPos(win::Hwnd window, int16_t* x, int16_t* y);
/// 0x12 Shift alone, 0x01 Ctrl alone, 0x04 Alt alone, 0x08 Ctrl+Shift without Alt, else 0;
/// 0x20 more while Escape is down.
int16_t KeyPressed();
void ToggleCheckbox(win::Hwnd dialog, int16_t id);
void ErrorBeep();
void SetFinaleInFocus(int16_t force);
/// 0 done or nothing to do, 2 window or state missing, 20 a wrong or destroyed window.
int16_t ToggleWindowSize(win::Hwnd window, int16_t restore, uint8_t* state, int16_t force);

/// The host's MDI client window (class "MDIClient" whose parent's class is "Finale").
win::Hwnd HostMdiClient();
/// Whether a window is the host's MDI client.
bool IsHostMdiClient(win::Hwnd window);

}  // namespace lumvar
