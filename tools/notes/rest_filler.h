// The rest filler: the one place where the tools create rests. It writes rest entries that fill
// a span of time into one cell's entry array, in memory only; saving the array is the caller's
// business. Fill with rests, the smart split point, the playback effect generator and the cue
// notes command call it.
#pragma once

#include <cstdint>

#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/types.h"

namespace orvex {

class RunEnvironment;

/// The most rests one call writes: callers fill spans within one measure.
inline constexpr int32_t kMaxFillPieces = 50;

/// Inserts rests that fill `span` EDU into the array from `index` on (callers pass the entry
/// count, so that the rests are appended), the shortest first in time and the longest last.
///
/// The span is cut into pieces of at most `largestPiece` EDU: each piece is the largest piece,
/// or, when that is too long for what is left, the power of two below it and its halvings.
/// With `joinDotted` a piece and the pieces of twice its length before it become one dotted or
/// double-dotted rest as long as that stays within the largest piece. With `wholeRest` one rest
/// of 4096 EDU is written whatever the span. Each rest is a created floating rest (hidden with
/// `hidden`) that starts where the entry before it ends. With `fixedHeight` the rests get a
/// stored height that follows the clef and key of `staff` (the array's own staff when `staff`
/// is below 0).
///
/// A span of 0 or less writes nothing; so does a largest piece below 1, which could never cut a
/// span. At most kMaxFillPieces rests are written. When the host refuses to insert an entry,
/// the filler stops: the rests written before stay.
void InsertFillRests(const RunEnvironment& environment, hostapi::EntryArray& array, hostapi::Edu span, int16_t index,
                     bool hidden, bool wholeRest, int16_t largestPiece, bool joinDotted, bool fixedHeight,
                     int32_t staff);

}  // namespace orvex
