// The option rows of the commands whose work the region expression collector does: Align/Move
// with its "More..." page (in core/launch_rows.h), and Expressions.
#pragma once

#include <cstddef>

#include "core/launch_rows.h"

namespace orvex {

/// Rows of the options of tool 72.
namespace expressionsrow {
enum ExpressionsRow : size_t {
    kConvert = 0,
    kOneStaff = 1,
    kNoteAttached = 2,
    kAlignWithNote = 3,
    kHorizontalOffset = 4,
    kAbove = 5,
    kBelow = 6,
    kIgnoreEnclosed = 7,
    kFactor = 8
};
}  // namespace expressionsrow

}  // namespace orvex
