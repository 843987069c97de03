// System services: the OS version, the virtual clock, named mutexes and the ANSI code page.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/win/handles.h"

namespace win {

inline constexpr uint32_t VER_PLATFORM_WIN32_WINDOWS = 1;
inline constexpr uint32_t VER_PLATFORM_WIN32_NT = 2;

struct OsVersionInfo {
    uint32_t majorVersion = 5;
    uint32_t minorVersion = 1;
    uint32_t buildNumber = 2600;
    uint32_t platformId = VER_PLATFORM_WIN32_NT;
};

bool GetVersionEx(OsVersionInfo& info);
/// Makes the system report another version (tests of the non-NT paths).
void SetSimulatedOsVersion(const OsVersionInfo& info);

/// Milliseconds on the virtual clock; it moves only when the simulation advances it.
uint32_t GetTickCount();
void AdvanceClock(uint32_t milliseconds);
void Sleep(uint32_t milliseconds);  ///< advances the virtual clock

/// Creates a named mutex (or opens the existing one, with ERROR_ALREADY_EXISTS as last error).
Handle CreateMutex(bool initialOwner, std::string_view name);
bool ReleaseMutex(Handle mutex);
bool CloseHandle(Handle handle);

/// Windows-1252, the code page of the texts stored in documents, to and from UTF-8. Bytes
/// without a character (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control points of the same
/// number; characters outside the code page become '?'.
std::string AnsiToUtf8(std::string_view ansi);
std::string Utf8ToAnsi(std::string_view utf8);
/// A Windows-1252 character in upper or lower case (what CharUpperA and CharLowerA give for a
/// single character); characters without another case stay.
uint8_t CharUpper(uint8_t c);
uint8_t CharLower(uint8_t c);

/// Puts the whole window system back to a fresh start (tests start here): no windows, menus or
/// timers, an empty transcript and UI driver, the clock at 0, the default OS version, one
/// default monitor at 96 pixels per inch, no mutexes, file mappings, hooks or queued input, an
/// empty registry tied to no file, no command line set, no last error. The loaded modules and
/// the transcript's listener are kept.
void ResetSystem();

}  // namespace win
