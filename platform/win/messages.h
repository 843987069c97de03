// Window messages: a posted-message queue and window procedures, the keyboard state, debug
// output and the shell's "open" verb.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win/handles.h"

namespace win {

inline constexpr uint32_t WM_COMMAND = 0x0111;
inline constexpr uint32_t WM_KEYDOWN = 0x0100;
inline constexpr uint32_t WM_KEYUP = 0x0101;
inline constexpr uint32_t WM_MDIGETACTIVE = 0x0229;

/// A window procedure: answers the message's result.
using WindowProc = std::function<intptr_t(Hwnd window, uint32_t message, uintptr_t wParam, intptr_t lParam)>;

/// Gives a window its procedure (replacing the one it had; empty removes it).
bool SetWindowProc(Hwnd window, WindowProc procedure);
/// Calls the window's procedure at once; 0 for a window without one.
intptr_t SendMessage(Hwnd window, uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);
/// Queues a message for the window; it is delivered by PumpMessages.
bool PostMessage(Hwnd window, uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);
/// Delivers the queued messages in order (also those posted while delivering); answers how many.
int32_t PumpMessages();
size_t PendingMessages();

/// One turn of the message loop: the posted messages and the queued keys are delivered until
/// none is left; answers how many were delivered.
int32_t RunMessageLoop();
/// The user waits: the virtual clock advances in steps of 10 ms, and after each step the due
/// timers run and the message loop takes its turn.
void Idle(uint32_t milliseconds);

/// The key's state: the sign bit (0x8000) set while it is down, bit 0 toggled at each press.
int16_t GetKeyState(uint16_t virtualKey);
/// The simulated user holds (or releases) a key.
void SetKeyDown(uint16_t virtualKey, bool down);

/// Debug output of a program: it goes to the transcript as "[debug] TEXT".
void OutputDebugString(std::string_view text);

/// Opens a file with the shell's verb ("open"): the request is recorded and shown in the
/// transcript; nothing is started. Answers a value above 32 (success) when the file exists,
/// 2 (file not found) otherwise.
intptr_t ShellExecute(Hwnd owner, std::string_view verb, std::string_view file);
/// The files opened through the shell, as "VERB FILE".
const std::vector<std::string>& ShellRequests();
/// Tells the shell that a program has written a file (the shell's change notification): the
/// transcript shows "[file] wrote FULL-PATH (N bytes)", so the user sees which file and where.
void ShellNotifyFileWritten(std::string_view file);

}  // namespace win
