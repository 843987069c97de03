// Rests of the entry-processing engine: "Vx &Rests..." lets a note take in the rests that follow
// it (AbsorbFollowingRest, declared with the engine's workers) where the longer note still fits
// the beats of the measure, and "Vx &Join rests of multiple layers" (JoinLayerRests) puts rests
// that several layers hold at the same time onto one place. The splitting of long rests in
// triple time is the engine's own step.
#pragma once

#include <cstdint>

#include "platform/hostapi/types.h"
#include "tools/notes/notes_services.h"

namespace orvex {

struct TFMisc;

/// Whether a note of `length` EDU may start at `position` under the time signature of the
/// context's measure record: every beat boundary strictly inside the note must be crossed by a
/// note of at most one beat (two beats at the even boundaries of 2, 4, 6 and 8 beats) that starts
/// on a multiple of half that unit.
bool FitsBeatRule(const TFMisc& context, hostapi::Edu length, hostapi::Edu position);

}  // namespace orvex
