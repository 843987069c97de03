#include "platform/win/input.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

#include "platform/win/desktop_state.h"
#include "platform/win/keys.h"
#include "platform/win/messages.h"
#include "platform/win/system.h"
#include "platform/win/system_state.h"
#include "platform/win/windows.h"

namespace win {
namespace {

using Hook = detail::InputHook;
using detail::InputState;
using detail::KeyEvent;

bool IsExtendedKey(uint16_t key) {
    return (key >= VK_PRIOR && key <= VK_DOWN) || key == VK_INSERT || key == VK_DELETE || key == VK_NUMLOCK ||
           key == VK_DIVIDE;
}

InputState& State() {
    return detail::System().input;
}

// clang-format off
/// Scan codes of the keys of a US keyboard, by virtual key.
struct ScanEntry { uint16_t vk; uint8_t scan; const char* name; };
constexpr std::array kKeys = {
    ScanEntry{VK_CANCEL, 70, "Cancel"}, ScanEntry{VK_BACK, 14, "Backspace"}, ScanEntry{VK_TAB, 15, "Tab"},
    ScanEntry{VK_RETURN, 28, "Enter"}, ScanEntry{VK_SHIFT, 42, "Shift"}, ScanEntry{VK_CONTROL, 29, "Ctrl"},
    ScanEntry{VK_MENU, 56, "Alt"}, ScanEntry{VK_PAUSE, 69, "Pause"}, ScanEntry{VK_CAPITAL, 58, "Caps Lock"},
    ScanEntry{VK_ESCAPE, 1, "Escape"}, ScanEntry{VK_SPACE, 57, "Space"}, ScanEntry{VK_PRIOR, 73, "Page Up"},
    ScanEntry{VK_NEXT, 81, "Page Down"}, ScanEntry{VK_END, 79, "End"}, ScanEntry{VK_HOME, 71, "Home"},
    ScanEntry{VK_LEFT, 75, "Left"}, ScanEntry{VK_UP, 72, "Up"}, ScanEntry{VK_RIGHT, 77, "Right"},
    ScanEntry{VK_DOWN, 80, "Down"}, ScanEntry{VK_INSERT, 82, "Insert"}, ScanEntry{VK_DELETE, 83, "Delete"},
    ScanEntry{'0', 11, "0"}, ScanEntry{'1', 2, "1"}, ScanEntry{'2', 3, "2"}, ScanEntry{'3', 4, "3"},
    ScanEntry{'4', 5, "4"}, ScanEntry{'5', 6, "5"}, ScanEntry{'6', 7, "6"}, ScanEntry{'7', 8, "7"},
    ScanEntry{'8', 9, "8"}, ScanEntry{'9', 10, "9"},
    ScanEntry{'A', 30, "A"}, ScanEntry{'B', 48, "B"}, ScanEntry{'C', 46, "C"}, ScanEntry{'D', 32, "D"},
    ScanEntry{'E', 18, "E"}, ScanEntry{'F', 33, "F"}, ScanEntry{'G', 34, "G"}, ScanEntry{'H', 35, "H"},
    ScanEntry{'I', 23, "I"}, ScanEntry{'J', 36, "J"}, ScanEntry{'K', 37, "K"}, ScanEntry{'L', 38, "L"},
    ScanEntry{'M', 50, "M"}, ScanEntry{'N', 49, "N"}, ScanEntry{'O', 24, "O"}, ScanEntry{'P', 25, "P"},
    ScanEntry{'Q', 16, "Q"}, ScanEntry{'R', 19, "R"}, ScanEntry{'S', 31, "S"}, ScanEntry{'T', 20, "T"},
    ScanEntry{'U', 22, "U"}, ScanEntry{'V', 47, "V"}, ScanEntry{'W', 17, "W"}, ScanEntry{'X', 45, "X"},
    ScanEntry{'Y', 21, "Y"}, ScanEntry{'Z', 44, "Z"},
    ScanEntry{VK_NUMPAD0, 82, "Num 0"}, ScanEntry{VK_NUMPAD0 + 1, 79, "Num 1"}, ScanEntry{VK_NUMPAD0 + 2, 80, "Num 2"},
    ScanEntry{VK_NUMPAD0 + 3, 81, "Num 3"}, ScanEntry{VK_NUMPAD0 + 4, 75, "Num 4"}, ScanEntry{VK_NUMPAD0 + 5, 76, "Num 5"},
    ScanEntry{VK_NUMPAD0 + 6, 77, "Num 6"}, ScanEntry{VK_NUMPAD0 + 7, 71, "Num 7"}, ScanEntry{VK_NUMPAD0 + 8, 72, "Num 8"},
    ScanEntry{VK_NUMPAD0 + 9, 73, "Num 9"}, ScanEntry{VK_MULTIPLY, 55, "Num *"}, ScanEntry{VK_ADD, 78, "Num +"},
    ScanEntry{VK_SUBTRACT, 74, "Num -"}, ScanEntry{VK_DECIMAL, 83, "Num ."}, ScanEntry{VK_DIVIDE, 53, "Num /"},
    ScanEntry{VK_F1, 59, "F1"}, ScanEntry{VK_F1 + 1, 60, "F2"}, ScanEntry{VK_F1 + 2, 61, "F3"},
    ScanEntry{VK_F1 + 3, 62, "F4"}, ScanEntry{VK_F1 + 4, 63, "F5"}, ScanEntry{VK_F1 + 5, 64, "F6"},
    ScanEntry{VK_F1 + 6, 65, "F7"}, ScanEntry{VK_F1 + 7, 66, "F8"}, ScanEntry{VK_F1 + 8, 67, "F9"},
    ScanEntry{VK_F1 + 9, 68, "F10"}, ScanEntry{VK_F1 + 10, 87, "F11"}, ScanEntry{VK_F1 + 11, 88, "F12"},
    ScanEntry{VK_NUMLOCK, 69, "Num Lock"},
    ScanEntry{VK_OEM_1, 39, ";"}, ScanEntry{VK_OEM_PLUS, 13, "="}, ScanEntry{VK_OEM_COMMA, 51, ","},
    ScanEntry{VK_OEM_MINUS, 12, "-"}, ScanEntry{VK_OEM_PERIOD, 52, "."}, ScanEntry{VK_OEM_2, 53, "/"},
    ScanEntry{VK_OEM_3, 41, "`"}, ScanEntry{VK_OEM_4, 26, "["}, ScanEntry{VK_OEM_5, 43, "\\"},
    ScanEntry{VK_OEM_6, 27, "]"}, ScanEntry{VK_OEM_7, 40, "'"},
};

/// Characters typed with Shift on a US keyboard, and the key that gives them.
constexpr std::array<std::pair<char, uint16_t>, 21> kShifted = {{
    {'!', '1'}, {'@', '2'}, {'#', '3'}, {'$', '4'}, {'%', '5'}, {'^', '6'}, {'&', '7'}, {'*', '8'},
    {'(', '9'}, {')', '0'}, {':', VK_OEM_1}, {'+', VK_OEM_PLUS}, {'<', VK_OEM_COMMA}, {'_', VK_OEM_MINUS},
    {'>', VK_OEM_PERIOD}, {'?', VK_OEM_2}, {'~', VK_OEM_3}, {'{', VK_OEM_4}, {'|', VK_OEM_5}, {'}', VK_OEM_6},
    {'"', VK_OEM_7},
}};
// clang-format on

const ScanEntry* FindKey(uint16_t virtualKey) {
    for (const ScanEntry& entry : kKeys) {
        if (entry.vk == virtualKey) {
            return &entry;
        }
    }
    return nullptr;
}

/// Runs the hooks of a type from position `start` on; answers the first result.
intptr_t RunChain(int32_t type, size_t start, int32_t code, uintptr_t wParam, intptr_t lParam) {
    auto& hooks = State().hooks;
    for (size_t i = start; i < hooks.size(); ++i) {
        if (hooks[i].type == type) {
            return hooks[i].procedure(code, wParam, lParam);
        }
    }
    return 0;
}

/// The character a key gives with the Shift state (US layout), as TranslateMessage makes it for
/// WM_CHAR and WM_SYSCHAR; 0 for keys without one.
char KeyCharacter(uint16_t key, bool shift) {
    if (key >= 'A' && key <= 'Z') {
        return static_cast<char>(shift ? key : key - 'A' + 'a');
    }
    if (key >= '0' && key <= '9' && !shift) {
        return static_cast<char>(key);
    }
    for (char c = ' '; c < 0x7F; ++c) {
        const int16_t scan = VkKeyScan(c);
        if (scan != -1 && (scan & 0xFF) == key && ((scan & 0x100) != 0) == shift && (scan & 0x600) == 0) {
            return c;
        }
    }
    switch (key) {
        case VK_RETURN:
            return '\r';
        case VK_ESCAPE:
            return '\x1b';
        case VK_BACK:
            return '\b';
        default:
            return 0;
    }
}

/// Hands a message of the input to the window: the loop's filter first (when it takes the
/// message, nothing more happens), else the window's procedure. Answers whether it was dispatched.
bool Dispatch(const Msg& msg, const KeyMessageFilter& filter) {
    if (filter && filter(msg)) {
        return false;
    }
    if (IsWindow(msg.window)) {
        detail::CallWindowProcedure(msg.window, msg.message, msg.wParam, msg.lParam);
    }
    return true;
}

void Deliver(const KeyEvent& event, const KeyMessageFilter& filter) {
    State().messageExtraInfo = event.extraInfo;
    // The key's state changes as the key is taken from the queue.
    const bool wasDown = (GetKeyState(event.virtualKey) & 0x8000) != 0;
    SetKeyDown(event.virtualKey, !event.up);
    uint32_t keyData = 1u | (static_cast<uint32_t>(event.scanCode) << 16);
    if (event.extended) {
        keyData |= 1u << 24;
    }
    const bool alt = (GetKeyState(VK_MENU) & 0x8000) != 0;
    if (alt) {
        keyData |= 1u << 29;
    }
    if (wasDown || event.up) {
        keyData |= 1u << 30;
    }
    if (event.up) {
        keyData |= 1u << 31;
    }
    const intptr_t swallowed = RunChain(WH_KEYBOARD, 0, HC_ACTION, event.virtualKey, static_cast<int32_t>(keyData));
    if (swallowed != 0) {
        return;
    }
    const Hwnd target = GetFocus() != kNoWindow ? GetFocus() : GetActiveWindow();
    if (target == kNoWindow) {
        return;
    }
    // Keys pressed while Alt is held (and Alt itself, and F10) are system keys.
    const bool system = alt || event.virtualKey == VK_MENU || event.virtualKey == VK_F1 + 9;
    const uint32_t message = event.up ? (system ? WM_SYSKEYUP : WM_KEYUP) : (system ? WM_SYSKEYDOWN : WM_KEYDOWN);
    Msg msg{target, message, event.virtualKey, static_cast<int32_t>(keyData), GetTickCount()};
    detail::RunGetMessageHooks(msg);
    if (!IsWindow(msg.window) || !Dispatch(msg, filter)) {
        return;
    }
    // What TranslateMessage adds: the character of the key, for the same window.
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        const bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
        const char character = ctrl ? 0 : KeyCharacter(static_cast<uint16_t>(msg.wParam), shift);
        if (character != 0 && IsWindow(msg.window)) {
            Msg translated{msg.window, msg.message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR,
                           static_cast<uint8_t>(character), msg.lParam, msg.time};
            detail::RunGetMessageHooks(translated);
            Dispatch(translated, filter);
        }
    }
}

}  // namespace

namespace detail {
/// Lets the call-window hooks see a message sent to a window (not from inside one of them).
void RunCallWindowHooks(Hwnd window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    InputState& state = State();
    if (state.inCallWindowHook) {
        return;
    }
    state.inCallWindowHook = true;
    CallWindowInfo info{lParam, wParam, message, window};
    RunChain(WH_CALLWNDPROC, 0, HC_ACTION, 0, reinterpret_cast<intptr_t>(&info));
    state.inCallWindowHook = false;
}

void RunGetMessageHooks(Msg& message) {
    RunChain(WH_GETMESSAGE, 0, HC_ACTION, PM_REMOVE, reinterpret_cast<intptr_t>(&message));
}
}  // namespace detail

Hhook SetWindowsHookEx(int32_t hookType, HookProc procedure, Hmodule /*module*/, uint32_t /*threadId*/) {
    if (procedure == nullptr || (hookType != WH_KEYBOARD && hookType != WH_GETMESSAGE && hookType != WH_CALLWNDPROC &&
                                 hookType != WH_KEYBOARD_LL)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return kNoHook;
    }
    // A low-level keyboard hook sees the same keys as a keyboard hook here.
    const int32_t type = hookType == WH_KEYBOARD_LL ? WH_KEYBOARD : hookType;
    const Hhook handle{State().nextHook++};
    State().hooks.push_back({handle, type, procedure});
    return handle;
}

bool UnhookWindowsHookEx(Hhook hook) {
    auto& hooks = State().hooks;
    const auto it = std::find_if(hooks.begin(), hooks.end(), [hook](const Hook& h) { return h.handle == hook; });
    if (it == hooks.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    hooks.erase(it);
    return true;
}

intptr_t CallNextHookEx(Hhook hook, int32_t code, uintptr_t wParam, intptr_t lParam) {
    auto& hooks = State().hooks;
    const auto it = std::find_if(hooks.begin(), hooks.end(), [hook](const Hook& h) { return h.handle == hook; });
    if (it == hooks.end()) {
        return 0;
    }
    return RunChain(it->type, static_cast<size_t>(it - hooks.begin()) + 1, code, wParam, lParam);
}

size_t HookCount(int32_t hookType) {
    return static_cast<size_t>(std::count_if(State().hooks.begin(), State().hooks.end(),
                                             [hookType](const Hook& h) { return h.type == hookType; }));
}

void keybd_event(uint8_t virtualKey, uint8_t scanCode, uint32_t flags, uintptr_t extraInfo) {
    State().queue.push_back(
        {virtualKey, scanCode, (flags & KEYEVENTF_KEYUP) != 0, (flags & KEYEVENTF_EXTENDEDKEY) != 0, extraInfo});
}

uintptr_t GetMessageExtraInfo() {
    return State().messageExtraInfo;
}

void QueueUserKey(uint16_t virtualKey, bool shift, bool ctrl, bool alt) {
    auto& queue = State().queue;
    const auto press = [&queue](uint16_t key, bool up) {
        queue.push_back({key, MapVirtualKeyToScanCode(key), up, IsExtendedKey(key)});
    };
    if (shift)
        press(VK_SHIFT, false);
    if (ctrl)
        press(VK_CONTROL, false);
    if (alt)
        press(VK_MENU, false);
    press(virtualKey, false);
    press(virtualKey, true);
    if (alt)
        press(VK_MENU, true);
    if (ctrl)
        press(VK_CONTROL, true);
    if (shift)
        press(VK_SHIFT, true);
}

std::optional<KeyStroke> ParseKeyStroke(std::string_view text) {
    KeyStroke stroke;
    // A "+" that ends the text is the key ("Num +"), never a separator.
    for (;;) {
        const size_t plus = text.find('+');
        if (plus == std::string_view::npos || plus + 1 == text.size()) {
            break;
        }
        const std::string_view modifier = text.substr(0, plus);
        bool* held = modifier == "Shift"  ? &stroke.shift
                     : modifier == "Ctrl" ? &stroke.ctrl
                     : modifier == "Alt"  ? &stroke.alt
                                          : nullptr;
        if (held == nullptr) {
            break;
        }
        *held = true;
        text.remove_prefix(plus + 1);
    }
    stroke.key = KeyFromName(text);
    if (stroke.key == 0) {
        return std::nullopt;
    }
    return stroke;
}

bool QueueUserText(std::string_view text, std::string* untypable) {
    std::vector<std::pair<uint16_t, bool>> strokes;
    for (size_t i = 0; i < text.size(); ++i) {
        const int16_t scan = static_cast<unsigned char>(text[i]) < 0x80 ? VkKeyScan(text[i]) : int16_t{-1};
        if (scan == -1) {
            if (untypable != nullptr) {
                // The whole character: a UTF-8 sequence is one character.
                size_t end = i + 1;
                while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
                    ++end;
                }
                *untypable = std::string(text.substr(i, end - i));
            }
            return false;
        }
        strokes.emplace_back(static_cast<uint16_t>(scan & 0xFF), (scan & 0x100) != 0);
    }
    for (const auto& [key, shift] : strokes) {
        QueueUserKey(key, shift, false, false);
    }
    return true;
}

int32_t PumpInput(const KeyMessageFilter& filter) {
    int32_t delivered = 0;
    while (!State().queue.empty()) {
        const KeyEvent event = State().queue.front();
        State().queue.pop_front();
        Deliver(event, filter);
        ++delivered;
    }
    return delivered;
}

size_t PendingInput() {
    return State().queue.size();
}

uint8_t MapVirtualKeyToScanCode(uint16_t virtualKey) {
    const ScanEntry* entry = FindKey(virtualKey);
    return entry == nullptr ? 0 : entry->scan;
}

int16_t VkKeyScan(char character) {
    const auto c = static_cast<unsigned char>(character);
    if (std::isupper(c))
        return static_cast<int16_t>(0x100 | c);
    if (std::islower(c))
        return static_cast<int16_t>(std::toupper(c));
    if (std::isdigit(c))
        return static_cast<int16_t>(c);
    switch (character) {
        case ' ':
            return VK_SPACE;
        case '\t':
            return VK_TAB;
        case '\r':
        case '\n':
            return VK_RETURN;
        case ';':
            return VK_OEM_1;
        case '=':
            return VK_OEM_PLUS;
        case ',':
            return VK_OEM_COMMA;
        case '-':
            return VK_OEM_MINUS;
        case '.':
            return VK_OEM_PERIOD;
        case '/':
            return VK_OEM_2;
        case '`':
            return VK_OEM_3;
        case '[':
            return VK_OEM_4;
        case '\\':
            return VK_OEM_5;
        case ']':
            return VK_OEM_6;
        case '\'':
            return VK_OEM_7;
        default:
            break;
    }
    for (const auto& [shifted, key] : kShifted) {
        if (shifted == character) {
            return static_cast<int16_t>(0x100 | key);
        }
    }
    return -1;
}

std::string KeyName(uint16_t virtualKey) {
    const ScanEntry* entry = FindKey(virtualKey);
    return entry != nullptr ? entry->name : "key " + std::to_string(virtualKey);
}

uint16_t KeyFromName(std::string_view name) {
    for (const ScanEntry& entry : kKeys) {
        const std::string_view known = entry.name;
        if (known.size() == name.size() && std::equal(known.begin(), known.end(), name.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
            })) {
            return entry.vk;
        }
    }
    return 0;
}

uint32_t GetWindowThreadProcessId(Hwnd window, uint32_t* processId) {
    if (!IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (processId != nullptr) {
        *processId = 1;
    }
    return 1;
}

uint32_t GetCurrentThreadId() {
    return 1;
}

Handle OpenProcess(uint32_t /*access*/, bool /*inherit*/, uint32_t processId) {
    if (processId != 1) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return kNoHandle;
    }
    auto& desktop = detail::TheDesktop();
    const Handle handle{desktop.NewHandle()};
    desktop.kernelObjects[static_cast<uint32_t>(handle)] = "";
    return handle;
}

}  // namespace win
