// Little-endian readers and writers for the host's raw records. Records cross the plug-in
// boundary as bytes; code reads and writes their fields only through these helpers, never
// by casting a struct over host memory.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace hostapi {

inline uint16_t ReadU16(const uint8_t* bytes, size_t offset) {
    return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}
inline int16_t ReadI16(const uint8_t* bytes, size_t offset) {
    return static_cast<int16_t>(ReadU16(bytes, offset));
}
inline uint32_t ReadU32(const uint8_t* bytes, size_t offset) {
    return static_cast<uint32_t>(bytes[offset]) | (static_cast<uint32_t>(bytes[offset + 1]) << 8) |
           (static_cast<uint32_t>(bytes[offset + 2]) << 16) | (static_cast<uint32_t>(bytes[offset + 3]) << 24);
}
inline int32_t ReadI32(const uint8_t* bytes, size_t offset) {
    return static_cast<int32_t>(ReadU32(bytes, offset));
}

inline void WriteU16(uint8_t* bytes, size_t offset, uint16_t value) {
    bytes[offset] = static_cast<uint8_t>(value);
    bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}
inline void WriteI16(uint8_t* bytes, size_t offset, int16_t value) {
    WriteU16(bytes, offset, static_cast<uint16_t>(value));
}
inline void WriteU32(uint8_t* bytes, size_t offset, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}
inline void WriteI32(uint8_t* bytes, size_t offset, int32_t value) {
    WriteU32(bytes, offset, static_cast<uint32_t>(value));
}

/// The value of a hexadecimal digit (either case); -1 for any other character.
constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

/// Copies a text into a fixed field of `width` bytes: at most width - 1 characters, then a
/// terminating zero; the rest of the field is zero-filled.
inline void WriteFixedText(uint8_t* bytes, size_t offset, size_t width, std::string_view text) {
    std::memset(bytes + offset, 0, width);
    const size_t n = std::min(text.size(), width - 1);
    std::memcpy(bytes + offset, text.data(), n);
}

/// Reads a zero-terminated text from a fixed field; a field without terminator gives all of it.
inline std::string ReadFixedText(const uint8_t* bytes, size_t offset, size_t width) {
    const auto* begin = reinterpret_cast<const char*>(bytes + offset);
    return std::string(begin, strnlen(begin, width));
}

}  // namespace hostapi
