// The layouts of the stored records that the host itself reads or writes: in its own rules
// (a created staff joins the score's staff list), in the score builder and in the readable
// record listing. Offsets are byte offsets into the little-endian record.
#pragma once

#include <cstddef>

#include "platform/hostapi/types.h"

namespace host {

inline constexpr hostapi::Tag kTagTextBlock = hostapi::MakeTag("SOTX");
inline constexpr hostapi::Tag kTagTextBlockText = hostapi::MakeTag("txbl");
inline constexpr hostapi::Tag kTagStaff = hostapi::MakeTag("SOIS");
inline constexpr hostapi::Tag kTagStaffListEntry = hostapi::MakeTag("SOIu");
inline constexpr hostapi::Tag kTagMeasure = hostapi::MakeTag("SOMS");

/// 'SOTX', other record (text block number, 0): the header of a text block.
struct TextBlockLayout {
    static constexpr size_t kSize = 48;
    static constexpr size_t kTextKey = 0;  ///< @0, i16, cmper of the 'txbl' record with the characters
};

/// 'SOIS', other record (staff number, 0): a staff.
struct StaffLayout {
    static constexpr size_t kSize = 66;
    static constexpr size_t kFullName = 30;         ///< @30, i16, text block of the full name (0 = none)
    static constexpr size_t kAbbreviatedName = 32;  ///< @32, i16, text block of the abbreviated name (0 = none)
};

/// 'SOIu', other record (list key, place from 0): one staff of a staff list; list 0 is the
/// score's list.
struct StaffListEntryLayout {
    static constexpr size_t kSize = 24;
    static constexpr size_t kStaff = 0;     ///< @0, i16, staff number
    static constexpr size_t kPosition = 8;  ///< @8, i32, vertical position (more negative = lower)
};

/// 'SOMS', other record (measure number, 0): a measure.
struct MeasureLayout {
    static constexpr size_t kSize = 24;
    static constexpr size_t kWidth = 0;         ///< @0, i16, width in EVPU
    static constexpr size_t kKey = 2;           ///< @2, i16, key value: signed low byte sharps/flats, 0x100 minor
    static constexpr size_t kBeats = 4;         ///< @4, i16
    static constexpr size_t kBeatDuration = 6;  ///< @6, i16, EDU; the measure lasts beats x beat duration
    static constexpr size_t kFlags = 8;         ///< @8, u16, spacing mode and flags
    static constexpr size_t kMoreFlags = 10;    ///< @10, u16, barline kind (bits 4-7) and flags
};

/// The distance between two staves of the score's staff list when the host places a staff.
inline constexpr hostapi::Evpu kStaffDistance = -200;

}  // namespace host
