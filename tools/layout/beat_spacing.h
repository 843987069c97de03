// The option rows of the spacing commands that work on the measures' beat charts
// (ApplySpacingCommand, declared with the layout tools); those of Add/Remove Space and of Expand
// and Compress Spacing are in core/launch_rows.h.
#pragma once

#include <cstddef>

#include "core/launch_rows.h"

namespace orvex {

/// Options of Remove Beat Chart Elements, by row.
enum RemoveBeatChartElementsRow : size_t {
    REMOVE_BEAT_ELEMENTS_TOLERANCE = 0,  ///< maximum deviation per thousand
    REMOVE_BEAT_ELEMENTS_REFRESH = 1
};

/// Options of Make Space, by row.
enum MakeSpaceRow : size_t {
    MAKE_SPACE_PERCENT = 0,  ///< compress the measure by this percentage
    MAKE_SPACE_REFRESH = 1
};

/// Options of Proportionality, by row.
enum ProportionalityRow : size_t {
    PROPORTIONALITY_FACTOR = 0,  ///< minimum proportionality factor in percent
    PROPORTIONALITY_CLEAR_MINIMUM_POSITIONS = 1,
    PROPORTIONALITY_TIGHT = 2,
    PROPORTIONALITY_REDUCE_MINIMUM_POSITIONS = 3,
    PROPORTIONALITY_MAXIMUM_ADD = 4,      ///< EVPU per case
    PROPORTIONALITY_MAXIMUM_PERCENT = 5,  ///< per case
};

/// Options of Proportionality's "More..." page, by row.
enum MoreProportionalityRow : size_t {
    MORE_PROPORTIONALITY_LAST_NOTE = 0,  ///< factor for a measure's last note
    MORE_PROPORTIONALITY_REPEATED_EVENLY = 1,
    MORE_PROPORTIONALITY_THRESHOLD = 2,  ///< logarithmic duration difference
    MORE_PROPORTIONALITY_PERCENT_PER_STEP = 3,
    MORE_PROPORTIONALITY_MINIMUM_STEPPING = 4
};

/// Options of Leading Whitespace, by row.
enum LeadingWhitespaceRow : size_t {
    LEADING_WHITE_LIMIT = 0,
    LEADING_WHITE_ALWAYS = 1,
    LEADING_WHITE_SUBTRACT = 2,
    LEADING_WHITE_MAXIMUM_MINIMUM = 3,
    LEADING_WHITE_REFRESH = 4
};

}  // namespace orvex
