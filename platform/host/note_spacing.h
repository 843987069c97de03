// The host's note spacing ("Apply Note Spacing" in its Mass Edit menu): it respaces whole
// measures, every staff of them, by a deterministic rule of the simulated host, and keeps the
// result as each measure's beat chart, as the host's own spacing does.
//
// The rule, for each measure:
// - The time points are 0 and the position of every entry that takes time (actual duration
//   above 0; grace notes take none) in any layer of any staff, from 0 up to the measure's length
//   (service 50's length; 4096 when it is 0). Positions at or after the length are left out.
// - Each time point takes the space of the time to the next point (the last to the measure's
//   end), g EDU: round(1.5 x sqrt(g)) EVPU (a quarter 48, a half 68, a whole 96, an eighth 34),
//   at least kMinimumSpace; where an entry at the point carries a lyric syllable (entry flag
//   0x00100000 and its 'edve', 'edch' or 'edse' records), at least the widest syllable's width
//   (the lyric width rule of platform/hostapi/lyric_records.h) + kSyllableGap.
// - The first point stands kLeadingSpace after the measure's start, each next point where the
//   space of the one before ends; the chart ends where the last point's space ends.
// - The measure's beat chart becomes: the header (the length, the end, the end, the new width)
//   and one element per point (its time, its position, where its space ends, minimum 0), records
//   'otBC' (measure, 0..N) replacing every record the measure had; the measure's width ('SOMS'
//   byte 0) becomes the end + kBarlineSpace, and its spacing mode (low three bits of its word at
//   byte 8) 2, spaced by its chart. A measure of more than 998 points keeps its first 998.
#pragma once

#include <cstdint>

#include "platform/host/document.h"
#include "platform/hostapi/types.h"

namespace host {

inline constexpr hostapi::Evpu kLeadingSpace = 24;
inline constexpr hostapi::Evpu kMinimumSpace = 18;
inline constexpr hostapi::Evpu kSyllableGap = 12;
inline constexpr hostapi::Evpu kBarlineSpace = 24;

/// The space of a time point that lasts `duration` EDU, without lyrics.
hostapi::Evpu NoteSpace(hostapi::Edu duration);

/// Respaces the measures first..last of a document by the rule above; answers how many measures
/// it respaced (measures that do not exist are left out).
int32_t ApplyNoteSpacing(Document& document, hostapi::MeasureNumber first, hostapi::MeasureNumber last);

}  // namespace host
