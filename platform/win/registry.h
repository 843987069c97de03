// The registry: a tree of keys holding named values, of which the HKEY_CURRENT_USER subtree
// exists. It is kept in a ".reg"-style text file (see docs/registry.md) whose path the host
// program gives; every change is written through at once, so the file always holds the
// current state.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win/handles.h"

namespace win {

inline constexpr Hkey HKEY_CURRENT_USER{0x80000001};

// Value types.
inline constexpr uint32_t REG_NONE = 0;
inline constexpr uint32_t REG_SZ = 1;
inline constexpr uint32_t REG_BINARY = 3;
inline constexpr uint32_t REG_DWORD = 4;

// Access rights (recorded; every open key may be read and written).
inline constexpr uint32_t KEY_READ = 0x20019;
inline constexpr uint32_t KEY_WRITE = 0x20006;
inline constexpr uint32_t KEY_ALL_ACCESS = 0xF003F;

/// Opens an existing key below `root`; ERROR_FILE_NOT_FOUND when it does not exist.
uint32_t RegOpenKeyEx(Hkey root, std::string_view subKey, uint32_t access, Hkey& result);
/// Opens a key, creating it and every missing parent; `created` tells whether it was new.
uint32_t RegCreateKeyEx(Hkey root, std::string_view subKey, uint32_t access, Hkey& result, bool* created = nullptr);
uint32_t RegCloseKey(Hkey key);
/// Reads a value: its type and bytes (a REG_SZ value's bytes are its UTF-8 text, no terminator).
uint32_t RegQueryValueEx(Hkey key, std::string_view name, uint32_t& type, std::vector<uint8_t>& data);
uint32_t RegSetValueEx(Hkey key, std::string_view name, uint32_t type, const std::vector<uint8_t>& data);
uint32_t RegDeleteValue(Hkey key, std::string_view name);
/// Deletes a key below `root` that has no subkeys.
uint32_t RegDeleteKey(Hkey root, std::string_view subKey);
/// The names of the key's values (sorted, case-insensitively) and of its direct subkeys.
uint32_t RegEnumValueNames(Hkey key, std::vector<std::string>& names);
uint32_t RegEnumKeyNames(Hkey key, std::vector<std::string>& names);

/// Keeps the registry in `path`: loads it when the file exists (replacing what is in memory),
/// and writes every later change there. A change the file cannot take is not made: the call
/// answers ERROR_REGISTRY_IO_FAILED and the transcript says why. An empty path keeps the registry in memory only.
/// Answers false, with `error` set, when the file exists but cannot be read or parsed; the
/// registry is then empty and not tied to the file.
bool UseRegistryFile(const std::string& path, std::string* error = nullptr);
/// Loads the registry from the text of a registry file in place of what is in memory, untied to
/// any file. Answers false, with `error` naming the line ("NAME:LINE: what"), when the text is
/// damaged; the registry is then as it was.
bool LoadRegistryText(std::string_view text, const std::string& name, std::string* error = nullptr);
const std::string& RegistryFilePath();
/// The whole registry in the file format (for transcripts and tests).
std::string RegistryText();

}  // namespace win
