// Timers on the virtual clock. A timer is due when its interval has passed on the clock; it
// runs only when the message pump takes its turn (DispatchTimers), at most once per turn, as
// timer messages are never queued twice.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

#include "platform/win/handles.h"

namespace win {

/// Called with the timer's window and identifier.
using TimerProc = std::function<void(Hwnd window, uint32_t id)>;

/// The shortest interval; shorter ones (and 0) are raised to it.
inline constexpr uint32_t USER_TIMER_MINIMUM = 10;

/// Starts a timer, or restarts the window's timer of that identifier with the new interval.
/// Without a window the identifier is chosen by the system and answered. Answers 0 (with
/// ERROR_INVALID_WINDOW_HANDLE) for a window that does not exist.
uint32_t SetTimer(Hwnd window, uint32_t id, uint32_t elapse, TimerProc proc);
bool KillTimer(Hwnd window, uint32_t id);
/// The message pump's turn for timers: every timer that is due runs once, in the order of the
/// times they fell due, and then waits a full interval again from now. Answers how many ran.
size_t DispatchTimers();
size_t ActiveTimerCount();
/// The clock time at which the earliest timer falls due; nullopt without timers.
std::optional<uint32_t> NextTimerDue();

}  // namespace win
