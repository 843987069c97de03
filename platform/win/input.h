// Keyboard hooks and keyboard input. Keys the user presses and keys a program synthesises go
// into one input queue; they are delivered only when the message loop runs (after the current
// host call has returned): each key first passes the keyboard hooks, in the order they were
// installed, and unless a hook swallows it, it is taken as a message for the window that has
// the focus (the active window when no window has it): WM_KEYDOWN or WM_KEYUP, or WM_SYSKEYDOWN
// and WM_SYSKEYUP while Alt is held (and for Alt itself and F10). The get-message hooks see
// that message, then the window's procedure gets it, followed, for a key that gives a
// character, by WM_CHAR (WM_SYSCHAR with Alt). The call-window hooks see every message sent
// to a window; the get-message hooks every message taken from the queue.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/win/handles.h"
#include "platform/win/messages.h"

namespace win {

enum class Hhook : uint32_t {};
inline constexpr Hhook kNoHook{};

inline constexpr int32_t WH_KEYBOARD = 2;
inline constexpr int32_t WH_GETMESSAGE = 3;
inline constexpr int32_t WH_CALLWNDPROC = 4;
inline constexpr int32_t WH_KEYBOARD_LL = 13;

inline constexpr int32_t HC_ACTION = 0;

/// A hook procedure: code (HC_ACTION), then for keyboard hooks the virtual key and the key
/// data (repeat count in bits 0-15, scan code in bits 16-23, bit 29 Alt held, bit 30 previous
/// state, bit 31 set for a release); for call-window hooks the message and its arguments as
/// a CallWindowInfo; for get-message hooks PM_REMOVE and the message as a Msg (messages.h).
/// Non-zero swallows the key.
using HookProc = intptr_t (*)(int32_t code, uintptr_t wParam, intptr_t lParam);

/// What a call-window hook receives in lParam.
struct CallWindowInfo {
    intptr_t lParam;
    uintptr_t wParam;
    uint32_t message;
    Hwnd window;
};

Hhook SetWindowsHookEx(int32_t hookType, HookProc procedure, Hmodule module, uint32_t threadId);
bool UnhookWindowsHookEx(Hhook hook);
/// Passes the event on to the next hook of the chain; 0 after the last one.
intptr_t CallNextHookEx(Hhook hook, int32_t code, uintptr_t wParam, intptr_t lParam);
/// How many hooks of a type are installed.
size_t HookCount(int32_t hookType);

inline constexpr uint32_t KEYEVENTF_EXTENDEDKEY = 0x0001;  ///< key data bit 24
inline constexpr uint32_t KEYEVENTF_KEYUP = 0x0002;

/// Synthesises a key press or release (KEYEVENTF_KEYUP), queued for the message loop; the
/// message made of it carries `extraInfo` (GetMessageExtraInfo).
void keybd_event(uint8_t virtualKey, uint8_t scanCode, uint32_t flags, uintptr_t extraInfo);
/// The extra information of the message the thread took from its queue last: what the program
/// that synthesised a key gave keybd_event; 0 for a key the user pressed and for a posted message.
uintptr_t GetMessageExtraInfo();
/// The user presses and releases a key with modifiers (queued as the keys would come); the
/// keys of the extended block (arrows, Home, End, Insert, Delete, page keys, Num Lock, Num /)
/// carry the extended bit.
void QueueUserKey(uint16_t virtualKey, bool shift, bool ctrl, bool alt);
/// A key as a user names it: the key's name (KeyName's names) after the modifiers held with it
/// ("F7", "Shift+Tab", "Ctrl+Alt+Num +").
struct KeyStroke {
    uint16_t key = 0;
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};
/// The key stroke a text names; nothing when the key is unknown.
std::optional<KeyStroke> ParseKeyStroke(std::string_view text);
/// The user types a text: each character is pressed and released with Shift where the keyboard
/// layout (US) needs it. A character the layout lacks queues nothing at all: answers false with
/// that character in `untypable`.
bool QueueUserText(std::string_view text, std::string* untypable);

/// A message loop's own handling of each key message (and the character made of it) before it
/// goes to its window: the class library's modal loop turns dialog keys into moves between
/// controls and clicks of buttons. Answers true when it took the message, which then goes no
/// further (a key message that it takes is not translated into a character either).
using KeyMessageFilter = std::function<bool(const Msg& message)>;
/// Delivers the queued keys (and any a hook queues meanwhile), as the host's message loop does
/// or, with a filter, as a loop of the filter's own; answers how many.
int32_t PumpInput(const KeyMessageFilter& filter = {});
size_t PendingInput();

/// The OEM scan code of a virtual key (MAPVK_VK_TO_VSC); 0 for keys without one.
uint8_t MapVirtualKeyToScanCode(uint16_t virtualKey);
/// The virtual key of a character in the keyboard layout (US) in the low byte and the shift
/// state in the high byte (1 Shift, 2 Ctrl, 4 Alt); -1 for a character the layout lacks.
int16_t VkKeyScan(char character);
/// A key's name as the transcript writes it ("A", "F2", "Num +", "Tab").
std::string KeyName(uint16_t virtualKey);
/// The virtual key of a name (KeyName's names, case-insensitive); 0 when unknown.
uint16_t KeyFromName(std::string_view name);

/// The window's thread (every window of the desktop belongs to thread 1 of process 1).
uint32_t GetWindowThreadProcessId(Hwnd window, uint32_t* processId);
uint32_t GetCurrentThreadId();
/// Opens a process: a kernel handle, closed with CloseHandle.
Handle OpenProcess(uint32_t access, bool inherit, uint32_t processId);

}  // namespace win
