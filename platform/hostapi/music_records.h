// Stored records of the music model that both the host and the plug-ins read: the staff
// records (the staff 'SOIS' and the staff record of a cell 'SOSC' share one layout), the clef of
// a cell, mid-measure clef changes, the clef definitions and the layer settings. Offsets are
// byte offsets into the little-endian record.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/hostapi/types.h"

namespace hostapi {

inline constexpr Tag kTagStaffSpec = MakeTag("SOSC");
inline constexpr Tag kTagCellClef = MakeTag("SDGF");
inline constexpr Tag kTagCellClef1997 = MakeTag("dtGF");
inline constexpr Tag kTagClefChange = MakeTag("otCE");
inline constexpr Tag kTagClefDefinitions2001 = MakeTag("ot95");
inline constexpr Tag kTagClefDefinition2000 = MakeTag("gbcf");
inline constexpr Tag kTagLayerSettings = MakeTag("pfLA");

/// 'SOIS' other (staff, 0) and 'SOSC' detail (staff, measure, position): a staff and the staff
/// record in effect for a cell. 66 bytes.
struct StaffSpecLayout {
    static constexpr size_t kSize = 66;
    static constexpr size_t kClef = 12;             ///< @12, i16, low 4 bits the clef; high byte the alternative clef
    static constexpr size_t kRestFlags = 14;        ///< @14, u16, bit 0: rests take the offset of kRestOffsetBits
    static constexpr size_t kRestOffsetBits = 16;   ///< @16, u16, a rest sits minus its trailing zero bits steps lower
    static constexpr size_t kTransposition = 20;    ///< @20, i16, transposition word (below)
    static constexpr size_t kOptions = 21;          ///< @21, u8, bit 0x80: the alternative clef is in use
    static constexpr size_t kFullName = 30;         ///< @30, i16, text block of the full name (0 = none)
    static constexpr size_t kAbbreviatedName = 32;  ///< @32, i16, text block of the abbreviated name (0 = none)

    /// Bits of the transposition word: 0x2000 chromatic (the low byte the diatonic steps,
    /// bits 8-11 the alteration); clear: bits 6-11 the signed diatonic steps and bits 0-5 the
    /// signed number of sharps added to the key.
    static constexpr uint16_t kChromaticTransposition = 0x2000;
    static constexpr uint8_t kAlternativeClefInUse = 0x80;
};

/// 'SDGF' detail (staff, measure, 0), 12 bytes: the clef of a cell from that measure on.
struct CellClefLayout {
    static constexpr size_t kSize = 12;
    static constexpr size_t kClef = 0;   ///< @0, i16, the clef, or the key of an 'otCE' list when kHasChanges
    static constexpr size_t kFlags = 2;  ///< @2, u16
    static constexpr uint16_t kHasChanges = 0x400;
};

/// 'dtGF' detail (staff, measure, 0), 10 bytes: the clef of a cell before host year 1998.
struct CellClef1997Layout {
    static constexpr size_t kSize = 10;
    static constexpr size_t kFlags = 0;  ///< @0, u16, kHasChanges as in 'SDGF'
    static constexpr size_t kClef = 2;   ///< @2, i16
};

/// 'otCE' other (list key, change), 12 bytes: one mid-measure clef change.
struct ClefChangeLayout {
    static constexpr size_t kSize = 12;
    static constexpr size_t kClef = 0;      ///< @0, i16
    static constexpr size_t kPosition = 2;  ///< @2, i16, EDU from the start of the measure
};

/// The clef definitions, 8 bytes each, in the host year's form. The value read is the staff
/// position of middle C in steps from the top staff line (treble clef: -10).
///   2001 on:     'ot95' other (-2, clef x 24 / 16); an even clef at byte 0, an odd one at byte 6
///   2000:        'gbcf' global (clef); at byte 0
///   before 2000: 'ot28'..'ot35' other (-2, 0), the tag of clef c is "ot" and the digits of c + 28
struct ClefDefinitionLayout {
    static constexpr size_t kSize = 8;
    static constexpr size_t kEvenClef = 0;  ///< @0, i16
    static constexpr size_t kOddClef = 6;   ///< @6, i16, odd clefs in the 2001 form
    static constexpr Cmper kKey = -2;
    /// The last clef of the forms before 2001.
    static constexpr int16_t kLastClefBefore2001 = 7;
};

/// The tag of clef c's definition before host year 2000 ('ot28' for clef 0); c in 0..7.
constexpr Tag ClefDefinitionTagBefore2000(int32_t clef) {
    const int32_t n = clef + 28;
    return MakeTag('o', 't', static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10));
}

/// 'pfLA' global (layer 0-3), 4 bytes: the settings of a layer, read as two u16 halves; the
/// high byte of the second half is the layer's stem rule.
struct LayerSettingsLayout {
    static constexpr size_t kSize = 4;
    static constexpr size_t kFirstHalf = 0;   ///< @0, u16
    static constexpr size_t kSecondHalf = 2;  ///< @2, u16
    /// Set in the second half by the playback generator (host year 2002 on) in every layer.
    static constexpr uint16_t kPlaybackNotesMark = 0x4000;
    static constexpr size_t kStemByte = 3;       ///< @3, u8, the stem rule of the layer
    static constexpr uint8_t kStemFixed = 0x08;  ///< the layer fixes its stems
    static constexpr uint8_t kStemOnlyWithOtherLayers = 0x01;
    static constexpr uint8_t kStemUp = 0x04;  ///< fixed up; clear: fixed down
};

}  // namespace hostapi
