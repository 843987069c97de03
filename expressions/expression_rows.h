// The option rows of the commands whose work the region expression collector does: Align/Move
// with its "More..." page (in core/launch_rows.h), and Expressions.
#pragma once

#include <cstddef>

#include "core/launch_rows.h"

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

}  // namespace orvex
