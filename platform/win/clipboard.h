// The clipboard of the desktop. A program opens it, empties it (and so becomes its owner) and
// puts data on it, or reads what is there, then closes it. Only text (CF_TEXT) is kept. A fresh
// desktop has an empty clipboard.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/win/handles.h"

namespace win {

inline constexpr uint32_t CF_TEXT = 1;
inline constexpr uint32_t ERROR_CLIPBOARD_NOT_OPEN = 1418;

/// Opens the clipboard for a window (kNoWindow: for the program); false while it is open.
bool OpenClipboard(Hwnd owner);
bool CloseClipboard();
/// Empties the opened clipboard; the window that opened it becomes its owner.
bool EmptyClipboard();
/// Puts text on the opened clipboard, replacing the text there (false with
/// ERROR_CLIPBOARD_NOT_OPEN when it is not open, ERROR_INVALID_PARAMETER for another format).
bool SetClipboardData(uint32_t format, std::string_view text);
/// The text on the opened clipboard; nullopt when it holds none or is not open.
std::optional<std::string> GetClipboardData(uint32_t format);
bool IsClipboardFormatAvailable(uint32_t format);
Hwnd GetClipboardOwner();

/// What the clipboard holds as text, without opening it (what a user sees by pasting); nullopt
/// when it holds no text.
std::optional<std::string> ClipboardText();

}  // namespace win
