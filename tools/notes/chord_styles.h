// "Vx &Custom Chord Styles..." (tool 15), a command of the entry walk: renames the roots of chord
// symbols. The root of a chord is hidden and its new name (a custom name per root, by default
// solfege, or the German H for B) and the root's accidental are written as text elements in
// front of the chord's suffix; chords changed this way can no longer be transposed.
//
// A chord symbol is the entry detail 'E', 2, 'C', 'h' (entry, 0, 1, ...); a suffix is the list of
// its elements 'SOIV' (suffix number, 0, 1, ...) with its information record 'oNIK' (suffix, 0),
// which the command copies between suffixes without reading it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/hostapi/bytes.h"
#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/types.h"

namespace orvex {

/// 'E', 2, 'C', 'h' entry detail (entry, inci), 20 bytes: one chord symbol of an entry.
using ChordLayout = hostapi::ChordSymbolLayout;
inline constexpr hostapi::Tag kTagChord = hostapi::kTagChordSymbol;
inline constexpr uint16_t kChordRootStep = ChordLayout::kRootStep;    ///< the root's step against the key
inline constexpr uint16_t kChordRootShown = ChordLayout::kRootShown;  ///< clear: the root is hidden
inline constexpr uint16_t kChordHasSuffix = ChordLayout::kHasSuffix;

/// 'SOIV' other record (suffix, element), 12 bytes: one element of a chord suffix.
struct SuffixElementLayout {
    static constexpr size_t kSize = 12;
    static constexpr size_t kCharacter = 0;  ///< @0, i16
    static constexpr size_t kX = 2;          ///< @2, i16, horizontal offset
    static constexpr size_t kY = 4;          ///< @4, i16, vertical offset
    static constexpr size_t kFont = 6;       ///< @6, u16, font number + 256 x size
    static constexpr size_t kWord8 = 8;      ///< @8, u16, 0
    static constexpr size_t kFlags = 10;     ///< @10, u16, kSuffixFlat / kSuffixSharp
};
using hostapi::kTagSuffixElement;
inline constexpr uint16_t kSuffixFlat = 0x0080;
inline constexpr uint16_t kSuffixSharp = 0x0040;
/// 'oNIK' other record (suffix, 0), 34 bytes: the suffix's information, copied as it is.
using hostapi::kTagSuffixInfo;
inline constexpr size_t kSuffixInfoSize = 34;
/// Suffix numbers searched for a matching suffix.
inline constexpr int32_t kLastSuffixSearched = 1999;

/// One suffix element: its six words.
struct SuffixElement {
    std::array<uint8_t, SuffixElementLayout::kSize> bytes{};

    int16_t word(size_t offset) const { return hostapi::ReadI16(bytes.data(), offset); }
    void setWord(size_t offset, int32_t value) { hostapi::WriteI16(bytes.data(), offset, static_cast<int16_t>(value)); }
    bool operator==(const SuffixElement&) const = default;
};

/// The elements of a suffix, 0, 1, ... up to the first missing one.
std::vector<SuffixElement> LoadSuffix(int32_t number);
/// Whether two elements match apart from their horizontal offsets.
bool SuffixElementsMatch(const SuffixElement& a, const SuffixElement& b);

/// Options of Custom Chord Styles, by row.
enum ChordStylesRow : size_t {
    CHORD_STYLES_GERMAN_B = 0,
    CHORD_STYLES_CUSTOM_NAMES = 1,
    CHORD_STYLES_FIRST_NAME = 2,  ///< rows 2-8: the names of C, D, E, F, G, A, B
    CHORD_STYLES_FONT = 9,
    CHORD_STYLES_SIZE = 10,
    CHORD_STYLES_SCALING = 11,  ///< percent
    CHORD_STYLES_BEFORE_ACCIDENTAL = 12,
    CHORD_STYLES_AFTER_ACCIDENTAL = 13
};

}  // namespace orvex
