// The two window hooks on the host's user-interface thread: they turn host window events into
// notifications for the registered clients (the notify list).
#pragma once

#include <cstdint>

#include "platform/win/handles.h"

namespace lumvar {

/// The host menu commands a client is told of (notification 51 with 1..6, in this order).
inline constexpr uint32_t kNotifiedHostCommands[] = {11701, 11702, 11703, 11704, 11705, 11728};

/// Installs the call-window and the get-message hook for the host window's thread; without
/// access to the host's process none is installed.
void InstallWindowHooks();
/// Removes the get-message hook, then the call-window hook.
void RemoveWindowHooks();
bool WindowHooksInstalled();

/// What the call-window hook does with a message sent to a window (while a client is
/// registered).
void WatchSentMessage(win::Hwnd window, uint32_t message, uintptr_t wParam, intptr_t lParam);
/// What the get-message hook does with a message taken from the host window's queue: a host
/// command of the table is told as notification 51.
void WatchTakenMessage(win::Hwnd window, uint32_t message, uintptr_t wParam);

}  // namespace lumvar
