// Virtual-key codes.
#pragma once

#include <cstdint>

namespace win {

inline constexpr uint16_t VK_CANCEL = 0x03;
inline constexpr uint16_t VK_BACK = 0x08;
inline constexpr uint16_t VK_TAB = 0x09;
inline constexpr uint16_t VK_RETURN = 0x0D;
inline constexpr uint16_t VK_SHIFT = 0x10;
inline constexpr uint16_t VK_CONTROL = 0x11;
inline constexpr uint16_t VK_MENU = 0x12;  ///< Alt
inline constexpr uint16_t VK_PAUSE = 0x13;
inline constexpr uint16_t VK_CAPITAL = 0x14;
inline constexpr uint16_t VK_ESCAPE = 0x1B;
inline constexpr uint16_t VK_SPACE = 0x20;
inline constexpr uint16_t VK_PRIOR = 0x21;
inline constexpr uint16_t VK_NEXT = 0x22;
inline constexpr uint16_t VK_END = 0x23;
inline constexpr uint16_t VK_HOME = 0x24;
inline constexpr uint16_t VK_LEFT = 0x25;
inline constexpr uint16_t VK_UP = 0x26;
inline constexpr uint16_t VK_RIGHT = 0x27;
inline constexpr uint16_t VK_DOWN = 0x28;
inline constexpr uint16_t VK_INSERT = 0x2D;
inline constexpr uint16_t VK_DELETE = 0x2E;
// '0'-'9' are 0x30-0x39 and 'A'-'Z' 0x41-0x5A.
inline constexpr uint16_t VK_NUMPAD0 = 0x60;
inline constexpr uint16_t VK_MULTIPLY = 0x6A;
inline constexpr uint16_t VK_ADD = 0x6B;
inline constexpr uint16_t VK_SUBTRACT = 0x6D;
inline constexpr uint16_t VK_DECIMAL = 0x6E;
inline constexpr uint16_t VK_DIVIDE = 0x6F;
inline constexpr uint16_t VK_F1 = 0x70;
inline constexpr uint16_t VK_F2 = 0x71;
inline constexpr uint16_t VK_F12 = 0x7B;
inline constexpr uint16_t VK_NUMLOCK = 0x90;
inline constexpr uint16_t VK_OEM_1 = 0xBA;       ///< ;
inline constexpr uint16_t VK_OEM_PLUS = 0xBB;    ///< =
inline constexpr uint16_t VK_OEM_COMMA = 0xBC;   ///< ,
inline constexpr uint16_t VK_OEM_MINUS = 0xBD;   ///< -
inline constexpr uint16_t VK_OEM_PERIOD = 0xBE;  ///< .
inline constexpr uint16_t VK_OEM_2 = 0xBF;       ///< /
inline constexpr uint16_t VK_OEM_3 = 0xC0;       ///< `
inline constexpr uint16_t VK_OEM_4 = 0xDB;       ///< [
inline constexpr uint16_t VK_OEM_5 = 0xDC;       ///< backslash
inline constexpr uint16_t VK_OEM_6 = 0xDD;       ///< ]
inline constexpr uint16_t VK_OEM_7 = 0xDE;       ///< '

}  // namespace win
