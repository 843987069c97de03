// The process's console: a program may open one (at most one at a time), give it a title,
// claim its control events and write to it. Nothing is drawn: every text written goes to the
// transcript, one line "[console] TEXT" per line of the text. The console belongs to the
// desktop: a fresh system (ResetSystem) has none.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/win/handles.h"

namespace win {

inline constexpr uint32_t STD_INPUT_HANDLE = static_cast<uint32_t>(-10);
inline constexpr uint32_t STD_OUTPUT_HANDLE = static_cast<uint32_t>(-11);
inline constexpr uint32_t STD_ERROR_HANDLE = static_cast<uint32_t>(-12);

// Console control events.
inline constexpr uint32_t CTRL_C_EVENT = 0;
inline constexpr uint32_t CTRL_BREAK_EVENT = 1;
inline constexpr uint32_t CTRL_CLOSE_EVENT = 2;

/// A console control handler: non-zero claims the event.
using ConsoleCtrlHandler = int32_t (*)(uint32_t controlType);

/// Opens a console for the process; false with ERROR_ACCESS_DENIED when it has one already.
bool AllocConsole();
/// Closes the process's console; false with ERROR_INVALID_PARAMETER when it has none.
bool FreeConsole();
bool HasConsole();
bool SetConsoleTitle(std::string_view title);
/// The console's title; empty without a console.
std::string GetConsoleTitle();
/// Adds (or removes) a handler; the handlers added last are asked first.
bool SetConsoleCtrlHandler(ConsoleCtrlHandler handler, bool add);
/// The user closes the console window (or presses Ctrl+C): answers whether a handler claimed
/// the event. An event nobody claims ends the process's console.
bool RaiseConsoleEvent(uint32_t controlType);
/// The console's output handle (also for STD_ERROR_HANDLE); kNoHandle without a console.
Handle GetStdHandle(uint32_t which);
/// Writes a text to the console's output; false with ERROR_INVALID_HANDLE for another handle.
bool WriteConsole(Handle output, std::string_view text);

}  // namespace win
