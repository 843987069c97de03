// Virtual-key codes of the keys the class library and the forms react to.
#pragma once

#include <cstdint>

namespace win {

inline constexpr uint16_t VK_BACK = 0x08;
inline constexpr uint16_t VK_TAB = 0x09;
inline constexpr uint16_t VK_RETURN = 0x0D;
inline constexpr uint16_t VK_SHIFT = 0x10;
inline constexpr uint16_t VK_CONTROL = 0x11;
inline constexpr uint16_t VK_MENU = 0x12;
inline constexpr uint16_t VK_ESCAPE = 0x1B;
inline constexpr uint16_t VK_SPACE = 0x20;
inline constexpr uint16_t VK_UP = 0x26;
inline constexpr uint16_t VK_DOWN = 0x28;
inline constexpr uint16_t VK_F2 = 0x71;

}  // namespace win
