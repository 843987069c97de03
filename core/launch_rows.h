// The option rows of the commands that the key hooks launch with values of their own: Align/Move
// with its "More..." page, Add/Remove Space, and Expand and Compress Spacing.
#pragma once

#include <cstddef>

namespace orvex {

/// Rows of the Align/Move options (tool 29).
namespace alignrow {
inline constexpr size_t kTextExpressions = 0;
inline constexpr size_t kHairpins = 1;
inline constexpr size_t kCustomShapes = 2;
inline constexpr size_t kShapeExpressions = 3;
inline constexpr size_t kMoveVertically = 4;
inline constexpr size_t kMode = 5;
}  // namespace alignrow

/// Rows of its "More..." options (tool 31).
namespace morerow {
inline constexpr size_t kBelow = 0;
inline constexpr size_t kAbove = 1;
inline constexpr size_t kSeparately = 2;
inline constexpr size_t kConsiderHairpins = 3;
inline constexpr size_t kConsiderNoteAttached = 4;
inline constexpr size_t kConsiderMeasureAttached = 5;
inline constexpr size_t kMeasureAttachedIfNoNote = 6;
inline constexpr size_t kAdjustOthers = 7;
inline constexpr size_t kAvoidCollisions = 8;
inline constexpr size_t kEachSystem = 9;
inline constexpr size_t kRestartAfter = 10;
inline constexpr size_t kMusicFonts = 11;
inline constexpr size_t kOnlyDynamics = 12;
inline constexpr size_t kHairpinAdjustment = 13;
inline constexpr size_t kConvertArticulations = 14;
inline constexpr size_t kStraightenOnly = 15;
inline constexpr size_t kShortMarkings = 16;
inline constexpr size_t kShortOffset = 17;
}  // namespace morerow

/// Options of Add/Remove Space, by row.
enum AddRemoveSpaceRow : size_t {
    ADD_SPACE_AMOUNT = 0,  ///< EVPU; negative removes
    ADD_SPACE_REFRESH = 1,
    ADD_SPACE_PLACE = 2  ///< radio group: beginning, selection, end
};

/// Options of Expand Spacing and Compress Spacing (the same rows), by row.
enum ScaleSpacingRow : size_t {
    SCALE_SPACING_AMOUNT = 0,
    SCALE_SPACING_REFRESH = 1,
    SCALE_SPACING_WITH_BARLINES = 2  ///< include the space between notes and barlines
};

}  // namespace orvex
