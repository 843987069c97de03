// Private profile files ("INI" files): text files of [sections] with key=value lines, read and
// written as the system's profile functions do it. Section and key names compare without
// regard to case; blanks around keys and values are dropped, and a value in matching double
// or single quotes loses them when read. Lines beginning with ';' are comments. Each call
// reads the file anew, and each write replaces it at once through a temporary file, so that a
// failed write leaves the file as it was.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace win {

/// Copies the value of `key` in `section` of the file into `buffer` (at most size - 1 bytes
/// and a terminator) and answers the bytes copied without the terminator. A missing file,
/// section or key gives `defaultValue` (its trailing blanks removed). Without a section the
/// buffer receives the section names, without a key the key names of the section, each
/// zero-terminated and the list ending in a second zero; a list cut short answers size - 2.
/// A null buffer or size 0 answers 0 with ERROR_INVALID_PARAMETER.
uint32_t GetPrivateProfileString(std::optional<std::string_view> section, std::optional<std::string_view> key,
                                 std::string_view defaultValue, char* buffer, uint32_t size, std::string_view fileName);
/// The value as a text of any length (the same rules, one section and key).
std::string GetPrivateProfileString(std::string_view section, std::string_view key, std::string_view defaultValue,
                                    std::string_view fileName);
/// The value read as a decimal number (leading digits with an optional sign); `defaultValue`
/// when the key is missing or the number is beyond 32 bits, 0 when its value does not begin
/// with a number.
uint32_t GetPrivateProfileInt(std::string_view section, std::string_view key, int32_t defaultValue,
                              std::string_view fileName);
/// Sets `key` in `section` to `value`, adding the section and the key when they are missing
/// (and the file when it does not exist). No value deletes the key; no key deletes the section.
/// False, with a last error, when the file cannot be written.
bool WritePrivateProfileString(std::string_view section, std::optional<std::string_view> key,
                               std::optional<std::string_view> value, std::string_view fileName);

}  // namespace win
