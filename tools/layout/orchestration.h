// Two small services of the part tools. The orchestration pre-fill takes the per-staff rows of
// "Vx &Orchestration..." (tool 40) from the music already in the document: the voices and ranges
// each staff plays before the selection, and whether it plays in the selection. The pasted-region
// check compares, after the smart explosion pasted a region through the host's mass mover, the
// entries of every target cell with its source cell, repairs the order of second-voice entries
// and reports a paste that went wrong.
#pragma once

#include <cstdint>
#include <span>

#include "core/option_element.h"
#include "core/tool_items.h"
#include "tools/layout/explosion/explosion.h"

namespace orvex {

struct TFMisc;

/// The tool whose rows the pre-fill writes, and the rows of each staff's block that it fills.
inline constexpr int32_t kOrchestrationVoices = 2;
inline constexpr int32_t kOrchestrationLowest = 3;
inline constexpr int32_t kOrchestrationHighest = 4;
inline constexpr int32_t kOrchestrationBandLow = 5;
inline constexpr int32_t kOrchestrationBandHigh = 6;
inline constexpr int32_t kOrchestrationSource = 7;
inline constexpr int32_t kOrchestrationDest = 8;

/// Fills rows 2 to 8 of each staff's block of `rows` (blocks of `rowsPerStaff` rows, staff slot
/// i + 1 in block i) from the measures before the selection and the selection itself; acts only
/// for tool 40 and a selection that does not start at measure 1. `context` may be none.
void PrefillOrchestrationOptions(TFMisc* context, int32_t tool, std::span<OptionElement> rows, int32_t rowsPerStaff,
                                 int32_t staffCount);

/// Whether every cell of the target staff from the source's measure to `lastMeasure` holds as
/// many entries as the source cell, after moving second-voice entries of the target back to the
/// source's order; false after telling the user in which measure the paste failed.
bool VerifyPastedRegion(const ExplosionRange& source, int32_t lastMeasure, const ExplosionRange& target);

}  // namespace orvex
