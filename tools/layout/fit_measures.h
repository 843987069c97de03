// "Measure Widths..." and "Fit Measures...". The width pass sets the stored widths of
// multimeasure rests, empty measures and measures with only one note horizontally, scaled by the
// measure's length; Fit Measures distributes a measure range into a number of staff systems:
// it splits systems where more are needed, moves the system boundaries to the range's ends,
// removes surplus systems and balances the widths, optionally locking the result.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/option_element.h"
#include "platform/hostapi/records.h"

namespace orvex {

struct TFMisc;

/// The width pass over the region with the values of its four option rows (widths for
/// multimeasure rests, empty measures and one-note measures, 19 or less = don't set; the time
/// signature dependent scaling factor in percent). False when the user stopped it.
bool RunMeasureWidths(TFMisc& context, const hostapi::SelectionRecord& region, std::span<const OptionElement> values);

/// Options of Measure Widths, by row.
enum MeasureWidthsRow : size_t {
    MEASURE_WIDTHS_REST = 0,  ///< width for multimeasure rests (0 = not set)
    MEASURE_WIDTHS_EMPTY = 1,
    MEASURE_WIDTHS_ONE_NOTE = 2,
    MEASURE_WIDTHS_SCALING = 3,  ///< percent, by the time signature
    MEASURE_WIDTHS_ROW_COUNT = 4
};

/// Options of Fit Measures, by row.
enum FitMeasuresRow : size_t {
    FIT_USE_SELECTION = 0,
    FIT_FROM_MEASURE = 1,
    FIT_TO_MEASURE = 2,
    FIT_SYSTEM_COUNT = 3,
    FIT_LOCK_SYSTEMS = 4
};

}  // namespace orvex
