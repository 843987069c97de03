// "Vx &Fill with rests..." (tool 49): a worker of the entry walk that fills the unfilled end of
// each selected cell with rests of the measure's beat (FillCellWithRests, declared with the
// walk's workers). The rests themselves come from the rest filler.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tools/notes/notes_services.h"

namespace orvex {

/// Options of Fill with rests, by row.
enum FillRestsRow : size_t {
    FILL_EMPTY_MEASURES = 0,
    FILL_NON_EMPTY_MEASURES = 1,
    FILL_OFFBEAT_DOTTED = 2,
    FILL_HIDE = 3,
    FILL_PERCENT = 4,
    FILL_RANDOM_DEVIATION = 5
};

/// Measures whose record has either of these bits in its flag byte (byte 8) are not filled.
inline constexpr uint8_t kFillSkipMeasureBits = 0xC0;

}  // namespace orvex
