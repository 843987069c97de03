// The playback effect generator's pieces that this build has: the pitch-wheel glide of a
// glissando, the step of a trill, and turning a playback entry into a rest.
#pragma once

#include <cstdint>

#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/types.h"

namespace orvex {

/// The options of the playback command that shape a glide.
struct GlideOptions {
    int32_t delayPercent = 20;       ///< "Start after what percentage of duration:"
    int32_t benderRange = 12;        ///< "For what bender range:" (semitones of a full swing)
    bool setBenderRange = true;      ///< "Set bender range?"
    int32_t changesPerQuarter = 20;  ///< "Pitch changes per quarter note:"
};

/// Where a glide runs: it starts at `startTime` of `startMeasure` and ends at `endTime` of
/// `endMeasure`, `span` EDU later, bending by `semitones`.
struct GlideSpan {
    hostapi::InstrumentKey staff = 1;
    hostapi::MeasureNumber startMeasure = 1;
    hostapi::Edu startTime = 0;
    hostapi::MeasureNumber endMeasure = 1;
    hostapi::Edu endTime = 0;
    hostapi::Edu span = 0;
    int32_t semitones = 0;
};

/// Writes the pitch-wheel events of a glide into the start staff's cells: after the delay, one
/// event per step from the centre towards the bend (clamped to the wheel's range), the bender
/// range setting with the first event when asked, and the centre again at the end; each cell it
/// leaves and the end cell are sorted. Answers false, writing nothing, when no step fits.
bool WriteGlideEvents(const GlideSpan& glide, const GlideOptions& options);

/// The step of a trill in EDU: a quarter divided by `perQuarter`, shortened while the number of
/// steps that fit into `span - delay` has the parity `upperStart` (so that a trill that starts on
/// the upper note ends on the main note). Never below 1.
hostapi::Edu TrillStep(hostapi::Edu span, hostapi::Edu delay, int32_t perQuarter, bool upperStart);

/// Turns an entry into a rest: no note flag, no notes.
void MakeEntryRest(hostapi::EntryView entry);

}  // namespace orvex
