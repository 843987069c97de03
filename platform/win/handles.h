// Handle types and numbered codes of the window system. Handles are opaque 32-bit values,
// stable for the life of the object they name; 0 is never a valid handle.
#pragma once

#include <cstdint>

namespace win {

enum class Hwnd : uint32_t {};     ///< a window
enum class Hmenu : uint32_t {};    ///< a menu bar or popup menu
enum class Hmodule : uint32_t {};  ///< a loaded module (also its instance handle)
enum class Hkey : uint32_t {};     ///< an open registry key
enum class Handle : uint32_t {};   ///< a kernel object (mutex, file mapping)

inline constexpr Hwnd kNoWindow{};
inline constexpr Hmenu kNoMenu{};
inline constexpr Hmodule kNoModule{};
inline constexpr Handle kNoHandle{};

// Last-error codes.
inline constexpr uint32_t ERROR_SUCCESS = 0;
inline constexpr uint32_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr uint32_t ERROR_ACCESS_DENIED = 5;
inline constexpr uint32_t ERROR_INVALID_HANDLE = 6;
inline constexpr uint32_t ERROR_INVALID_PARAMETER = 87;
inline constexpr uint32_t ERROR_MOD_NOT_FOUND = 126;
inline constexpr uint32_t ERROR_PROC_NOT_FOUND = 127;
inline constexpr uint32_t ERROR_ALREADY_EXISTS = 183;
inline constexpr uint32_t ERROR_MORE_DATA = 234;
inline constexpr uint32_t ERROR_REGISTRY_IO_FAILED = 1016;
inline constexpr uint32_t ERROR_INVALID_WINDOW_HANDLE = 1400;
inline constexpr uint32_t ERROR_INVALID_MENU_HANDLE = 1401;

/// The calling thread's last error, set by every window-system call that fails.
uint32_t GetLastError();
void SetLastError(uint32_t code);

}  // namespace win
