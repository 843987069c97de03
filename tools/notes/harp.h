// "Harp Pedaling...": the seven harp pedal settings taken from the pitches of the selected
// region, a pedal diagram at the start and a pedal-change mark at each note that needs a pedal in
// another position; with "respell notes" a note is respelled enharmonically where that spares a
// change.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/hostapi/types.h"

namespace orvex {

/// One position per pedal, C D E F G A B: -1 flat, 0 natural, 1 sharp, kPedalUnset not known yet.
using HarpPedals = std::array<int32_t, 7>;
inline constexpr int32_t kPedalUnset = 2;

/// Writes the pedal diagram as a measure expression on the staff in the measure (every pedal
/// still unset is shown, and becomes, flat), in "EngraverTextT" or, with `harpFont`, in
/// "Harp Pedals 1.1" at the size; the measure is marked as holding measure expressions.
void BuildHarpPedalDiagram(HarpPedals& diagram, hostapi::InstrumentKey staff, int32_t measure, int32_t size,
                           bool harpFont);

/// Options of Harp Pedaling, by row.
enum HarpRow : size_t {
    HARP_RESPELL = 0,  ///< respell notes to save pedal changes
    HARP_ADD_CHANGES = 1,
    HARP_CHANGES_IN_HARP_FONT = 2,
    HARP_ADD_DIAGRAM = 3,
    HARP_DIAGRAM_IN_HARP_FONT = 4,
    HARP_FROM_MEASURE = 5,  ///< text
    HARP_TO_END = 6,
    HARP_DIAGRAM_SIZE = 7,
    HARP_CHANGE_SIZE = 8
};

}  // namespace orvex
