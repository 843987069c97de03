// The records of text expressions: the expression itself ('SODT'), its playback data ('otDe'),
// the metatool key that names it ('ot&d') and its placements in measures ('otDY'); placements
// on entries are 'edED' (entry_records.h). Offsets are byte offsets into the little-endian record.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/hostapi/types.h"

namespace hostapi {

inline constexpr Tag kTagExpression = MakeTag("SODT");
inline constexpr Tag kTagExpressionPlayback = MakeTag("otDe");
inline constexpr Tag kTagExpressionMetatool = MakeTag("ot&d");
inline constexpr Tag kTagMeasureExpression = MakeTag("otDY");
/// Where a measure expression stands on each staff.
inline constexpr Tag kTagExpressionPlace = MakeTag("otDI");
/// The metatool key that names an articulation.
inline constexpr Tag kTagArticulationMetatool = MakeTag("ot&a");
/// An expression record of a measure (counted with the document's records).
inline constexpr Tag kTagExpressionRecord = MakeTag("otDO");

/// 'SODT' other (expression number, 0), 12 bytes and the text with its zero: a text expression.
struct ExpressionLayout {
    static constexpr size_t kFontWord = 0;            ///< @0, u16, font number (low byte) and size (high byte)
    static constexpr size_t kStyle = 2;               ///< @2, u16
    static constexpr size_t kWord4 = 4;               ///< @4, i16
    static constexpr size_t kWord6 = 6;               ///< @6, i16
    static constexpr size_t kFlags = 10;              ///< @10, u16
    static constexpr size_t kText = 12;               ///< @12, the text and its zero
    static constexpr uint16_t kHasPlayback = 0x0800;  ///< an 'otDe' record exists
};

/// 'otDe' other (expression number, 0), 12 bytes: the expression's playback data.
struct ExpressionPlaybackLayout {
    static constexpr size_t kSize = 12;
    /// @0, @4, @8, i32 each: the enclosure values of the expression.
    static constexpr size_t kEnclosure0 = 0;
    static constexpr size_t kEnclosure1 = 4;
    static constexpr size_t kEnclosure2 = 8;
};

/// 'ot&d' other (metatool key 1-255, 0), 12 bytes: the expression a metatool key names.
struct ExpressionMetatoolLayout {
    static constexpr size_t kSize = 12;
    static constexpr size_t kNumber = 0;  ///< @0, i16, the expression
    static constexpr size_t kKind = 2;    ///< @2, i16, 1 = a text expression
};

/// 'ot&a' other (articulation metatool key, 0), 12 bytes: the articulation a metatool key names.
struct ArticulationMetatoolLayout {
    static constexpr size_t kSize = 12;
    static constexpr size_t kNumber = 0;  ///< @0, i16, the articulation; 0 when the key names none
};

/// 'otDY' other (measure, inci), 12 bytes: an expression placed in a measure. The measure
/// record 'SOMS' carries bit 0x4000 in its word at byte 10.
struct MeasureExpressionLayout {
    static constexpr size_t kSize = 12;
    static constexpr size_t kNumber = 0;    ///< @0, i16, the expression
    static constexpr size_t kPosition = 2;  ///< @2, i16, EDU
    static constexpr size_t kOffset = 4;    ///< @4, i16, vertical offset
    static constexpr size_t kStaff = 10;    ///< @10, u16, kOneStaff + staff, 0 = every staff; kShape more
    static constexpr uint16_t kOneStaff = 0x1000;
    static constexpr uint16_t kShape = 0x2000;
    static constexpr uint16_t kStaffMask = 0x0FFF;
};

/// The bit of the 'SOMS' word at byte 10 that says the measure has measure expressions.
inline constexpr uint16_t kMeasureHasExpressions = 0x4000;

}  // namespace hostapi
