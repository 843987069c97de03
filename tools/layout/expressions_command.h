// The Expressions command: reworks the measure-attached expressions of the selected region.
// Expressions assigned to staff lists become one single-staff assignment per staff, which can
// be made note-attached to the nearest note of each staff; the horizontal positions can be
// scaled by a factor. The region expression collector does the work.
#pragma once

#include <optional>
#include <string_view>

namespace orvex {

/// Rows of the options of tool 72.
namespace expressionsrow {
inline constexpr size_t kConvert = 0;
inline constexpr size_t kOneStaff = 1;
inline constexpr size_t kNoteAttached = 2;
inline constexpr size_t kAlignWithNote = 3;
inline constexpr size_t kHorizontalOffset = 4;
inline constexpr size_t kAbove = 5;
inline constexpr size_t kBelow = 6;
inline constexpr size_t kIgnoreEnclosed = 7;
inline constexpr size_t kFactor = 8;
}  // namespace expressionsrow

/// The factor of the option text: 0.0 for an empty text, nullopt for a text that is no number.
std::optional<double> ExpressionFactor(std::string_view text);

}  // namespace orvex
