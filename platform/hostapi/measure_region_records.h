// The measure-number regions of a document and the backward repeats of its measures, as both the
// host and the plug-ins read them. Offsets are byte offsets into the little-endian record;
// fields that are not named travel unchanged.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/hostapi/types.h"

namespace hostapi {

inline constexpr Tag kTagMeasureNumberRegion = MakeTag("SOMN");
/// The measure number regions as host year 2000 keeps them.
inline constexpr Tag kTagMeasureNumberRegion2000 = MakeTag("otMN");
/// The tag of the measure-number regions on a host of that year: 'otMN' on host year 2000,
/// 'SOMN' on every other. The host, its score texts, Special Measure Regions and Lumvar2000 use it.
constexpr Tag MeasureNumberRegionTag(int32_t hostYear) {
    return hostYear == 2000 ? kTagMeasureNumberRegion2000 : kTagMeasureNumberRegion;
}
inline constexpr Tag kTagBackwardRepeat = MakeTag(
    "O\x02"
    "BR");

/// 'SOMN' other (region number, 0), 88 bytes ('otMN' on host year 2000): a run of
/// measures numbered on from a number offset. Lumvar2000's measure texts, Special Measure Regions
/// and the host's score texts read and write this one layout.
struct MeasureNumberRegionLayout {
    static constexpr size_t kSize = 88;
    static constexpr size_t kFirstMeasure = 6;     ///< @6, i16
    static constexpr size_t kEndMeasure = 8;       ///< @8, i16, one past the region's last measure
    static constexpr size_t kFirstDigit = 12;      ///< @12, i16, the character of the first digit
    static constexpr size_t kBase = 14;            ///< @14, i16, the number base (10 = decimal)
    static constexpr size_t kNumberOffset = 16;    ///< @16, i16, the first measure shows this + 1
    static constexpr size_t kPrefix = 22;          ///< @22, zero-terminated text
    static constexpr size_t kSuffix = 46;          ///< @46, zero-terminated text
    static constexpr size_t kFlags = 82;           ///< @82, u16
    static constexpr uint16_t kFlag1000 = 0x1000;  ///< cleared on every region that a section starts
};

/// 'O\x02BR' other (measure, 0), 24 bytes: the measure ends with a backward repeat.
struct BackwardRepeatLayout {
    static constexpr size_t kSize = 24;
};

/// The barline kind of a measure: bits 4-7 of the 'SOMS' word at byte 10.
inline constexpr size_t kMeasureBarlineWord = 10;
inline constexpr uint16_t kBarlineMask = 0x00F0;
inline constexpr int kBarlineShift = 4;
inline constexpr uint16_t kBarlineDouble = 2;

}  // namespace hostapi
