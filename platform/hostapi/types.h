// Basic vocabulary of the host's plug-in interface: key and unit aliases, record tags and
// the interface version every service call passes last.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace hostapi {

using Tag = uint32_t;           ///< four characters, the first in the high byte
using Cmper = int16_t;          ///< main key of an "other" record
using Inci = int16_t;           ///< sub-key (incidence) of a record
using EntryNumber = int32_t;    ///< number of an entry (note or rest) in the document
using Edu = int32_t;            ///< duration unit, 1024 per quarter note
using Evpu = int32_t;           ///< page unit
using InstrumentKey = int16_t;  ///< key of a staff (the host's "instrument")
using MeasureNumber = int16_t;  ///< 1-based measure number
using ViewKey = int16_t;        ///< staff order of a view; 0 = scroll view with all staves
using StaffSlot = int16_t;      ///< 1-based place of a staff in a view
using LayerIndex = int16_t;     ///< 0-3
using InterfaceVersion = int32_t;

/// The version a plug-in passes as the last argument of every service call.
inline constexpr InterfaceVersion kInterfaceVersion = 0x05000005;
/// The version for the 24-byte staff system record of host year 2001 on.
inline constexpr InterfaceVersion kInterfaceVersion2001 = 0x06000200;

inline constexpr Edu kEduPerQuarter = 1024;
inline constexpr Edu kEduWholeNote = 4096;

/// The host year of a raw host version: below 0x4000000 1997, below 0x5000000 1998, below
/// 0x6000000 2000, below 0x7000000 2001, else 2002.
constexpr int32_t HostYearOfRawVersion(int32_t rawVersion) {
    return rawVersion < 0x4000000   ? 1997
           : rawVersion < 0x5000000 ? 1998
           : rawVersion < 0x6000000 ? 2000
           : rawVersion < 0x7000000 ? 2001
                                    : 2002;
}

constexpr Tag MakeTag(char a, char b, char c, char d) {
    return (static_cast<Tag>(static_cast<uint8_t>(a)) << 24) | (static_cast<Tag>(static_cast<uint8_t>(b)) << 16) |
           (static_cast<Tag>(static_cast<uint8_t>(c)) << 8) | static_cast<Tag>(static_cast<uint8_t>(d));
}

/// MakeTag("SOTX") == 0x534F5458; tags with a number as a character are written "O\x02SS".
constexpr Tag MakeTag(const char (&text)[5]) {
    return MakeTag(text[0], text[1], text[2], text[3]);
}

/// Readable form of a tag: printable characters as they are, others as \xNN ("O\x02SS").
inline std::string TagName(Tag tag) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string name;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto c = static_cast<uint8_t>(tag >> shift);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            name += static_cast<char>(c);
        } else {
            name += "\\x";
            name += kHex[c >> 4];
            name += kHex[c & 0xF];
        }
    }
    return name;
}

}  // namespace hostapi
