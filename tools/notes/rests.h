// Rests of the entry-processing engine: "Vx &Rests..." lets a note take in the rests that follow
// it (AbsorbFollowingRest, declared with the engine's workers) where the longer note still fits
// the beats of the measure, and "Vx &Join rests of multiple layers" (JoinLayerRests) puts rests
// that several layers hold at the same time onto one place. The splitting of long rests in
// triple time is the engine's own step.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/hostapi/types.h"
#include "tools/notes/notes_services.h"

namespace orvex {

struct TFMisc;

/// Options of Rests, by row.
enum RestsRow : size_t {
    RESTS_SPLIT_WHOLE_IN_3_2 = 0,    ///< in 3/2 time, a whole rest becomes two half rests
    RESTS_SPLIT_HALF_IN_3_4 = 1,     ///< in 3/4 time, a half rest becomes two quarter rests
    RESTS_SPLIT_QUARTER_IN_3_8 = 2,  ///< in 3/8 time, a quarter rest becomes two eighth rests
    RESTS_ABSORB = 3,                ///< a note takes in the rests after it
    RESTS_ALLOW_TIES = 4,
    RESTS_SIMPLIFY_RHYTHM = 5
};

/// Whether a note of `length` EDU may start at `position` under the time signature of the
/// context's measure record: every beat boundary strictly inside the note must be crossed by a
/// note of at most one beat (two beats at the even boundaries of 2, 4, 6 and 8 beats) that starts
/// on a multiple of half that unit.
bool FitsBeatRule(const TFMisc& context, hostapi::Edu length, hostapi::Edu position);

}  // namespace orvex
