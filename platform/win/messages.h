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

inline constexpr uint32_t WM_DESTROY = 0x0002;
inline constexpr uint32_t WM_ACTIVATE =
    0x0006;  ///< wParam: WA_INACTIVE, WA_ACTIVE or WA_CLICKACTIVE; lParam: the other window
inline constexpr uint32_t WM_SETFOCUS = 0x0007;   ///< wParam: the window that lost the focus
inline constexpr uint32_t WM_KILLFOCUS = 0x0008;  ///< wParam: the window that gets the focus
inline constexpr uint32_t WM_CLOSE = 0x0010;
inline constexpr uint32_t WM_ACTIVATEAPP = 0x001C;
inline constexpr uint32_t WM_NCACTIVATE = 0x0086;  ///< wParam: TRUE when the caption is drawn active
inline constexpr uint32_t WM_KEYDOWN = 0x0100;
inline constexpr uint32_t WM_KEYUP = 0x0101;
inline constexpr uint32_t WM_CHAR = 0x0102;
inline constexpr uint32_t WM_SYSKEYDOWN = 0x0104;  ///< a key pressed while Alt is held (and F10)
inline constexpr uint32_t WM_SYSKEYUP = 0x0105;
inline constexpr uint32_t WM_SYSCHAR = 0x0106;  ///< the character of a WM_SYSKEYDOWN
inline constexpr uint32_t WM_COMMAND = 0x0111;
inline constexpr uint32_t WM_SYSCOMMAND = 0x0112;
inline constexpr uint32_t WM_MENUCHAR = 0x0120;  ///< wParam: character | menu flags << 16
inline constexpr uint32_t SBM_GETPOS = 0x00E1;   ///< a scroll bar control's position
inline constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr uint32_t WM_ENTERMENULOOP = 0x0211;  ///< sent to a menu's owner as its modal loop begins
inline constexpr uint32_t WM_EXITMENULOOP = 0x0212;   ///< ... and as it ends
inline constexpr uint32_t WM_MDIACTIVATE = 0x0222;    ///< wParam: the MDI child to activate
inline constexpr uint32_t WM_MDIGETACTIVE = 0x0229;
inline constexpr uint32_t WM_MDIREFRESHMENU = 0x0234;

inline constexpr uint32_t WA_INACTIVE = 0;
inline constexpr uint32_t WA_ACTIVE = 1;
inline constexpr uint32_t WA_CLICKACTIVE = 2;

inline constexpr uintptr_t SC_KEYMENU = 0xF100;  ///< WM_SYSCOMMAND: a menu chosen by Alt and a key
inline constexpr uint32_t MF_SYSMENU = 0x2000;   ///< WM_MENUCHAR: the character came to the system menu
// The high word of WM_MENUCHAR's answer.
inline constexpr intptr_t MNC_IGNORE = 0;
inline constexpr intptr_t MNC_CLOSE = 1;
inline constexpr intptr_t MNC_EXECUTE = 2;
inline constexpr intptr_t MNC_SELECT = 3;

inline constexpr uintptr_t PM_REMOVE = 1;

/// What a get-message hook (WH_GETMESSAGE) receives in lParam: the message taken from the
/// queue. A hook may change it before it is delivered.
struct Msg {
    Hwnd window;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
    uint32_t time;
};

/// A window procedure: answers the message's result.
using WindowProc = std::function<intptr_t(Hwnd window, uint32_t message, uintptr_t wParam, intptr_t lParam)>;

/// Gives a window its procedure (replacing the one it had; empty removes it).
bool SetWindowProc(Hwnd window, WindowProc procedure);
/// Calls the window's procedure at once (the call-window hooks see the message first); a window
/// without a procedure of its own gets the default procedure.
intptr_t SendMessage(Hwnd window, uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);
/// The default window procedure, which window procedures call for what they do not handle:
/// - WM_SYSCHAR: the top-level window that holds the window gets WM_SYSCOMMAND (SC_KEYMENU, the
///   character);
/// - WM_SYSCOMMAND SC_KEYMENU with a character, in a window without a menu bar: the window gets
///   WM_MENUCHAR (the character, MF_SYSMENU); unless its answer's high word is MNC_CLOSE or
///   MNC_EXECUTE the system beeps (MessageBeep 0) as no menu item has that letter;
/// - WM_CLOSE destroys the window;
/// everything else answers 0.
intptr_t DefWindowProc(Hwnd window, uint32_t message, uintptr_t wParam, intptr_t lParam);
/// Queues a message for the window; it is delivered by PumpMessages.
bool PostMessage(Hwnd window, uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);
/// Delivers the queued messages in order (also those posted while delivering): each message
/// taken from the queue passes the get-message hooks (which may change it), then goes to its
/// window's procedure (without the call-window hooks, which see only sent messages). Answers
/// how many were delivered.
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
