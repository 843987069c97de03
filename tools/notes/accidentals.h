// "Vx &Accidentals..." (tool 41) and "Vx &Respell Notes" (tool 42): two commands of the entry
// walk that work note by note on the note entries inside the selection. Accidentals shows,
// hides, freezes and unfreezes accidentals by its option steps; Respell Notes gives black-key
// notes the spelling that fits the melodic line and the chord, and drops needless accidentals
// from white-key notes. Both change the walk's current cell (Respell Notes at most one later
// note besides) and set the walk's changed flag when they do.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/hostapi/entry_array.h"

namespace orvex {

struct TFMisc;
struct EntryWalkState;

/// Options of Accidentals, by row; the steps run in this order on each note.
enum AccidentalsRow : size_t {
    ACCIDENTALS_UNFREEZE = 0,
    ACCIDENTALS_CHECK = 1,
    ACCIDENTALS_PUT_ON_ALL = 2,
    ACCIDENTALS_REMOVE_REPEATED = 3,
    ACCIDENTALS_WHOLE_CHORD = 4,
    ACCIDENTALS_REMOVE_TIED = 5,
    ACCIDENTALS_SYSTEM_START = 6
};

using hostapi::kNoteAccidentalSecond;

/// Accidentals: the option steps on each note of a note entry of the walk's cell, compared
/// with the entries the walk remembered before it; then every note that shows no accidental
/// loses its frozen mark (which alone does not count as a change).
void ApplyAccidentalSteps(const TFMisc& context, EntryWalkState& walk, hostapi::EntryView entry);

/// Respell Notes: each note of note entry `index` of the walk's cell, in order, measured against
/// the notes before and after it on the staff and layer and the other notes of its chord. After
/// the notes, an entry of a changed cell is marked for the host to recompute its accidentals.
void RespellNotesOfEntry(EntryWalkState& walk, int32_t index);

/// The half steps from b up to a, folded into one octave (0-11).
int32_t SemitoneInterval(int32_t a, int32_t b);
/// The diatonic steps from b up to a, folded into one octave (0-6).
int32_t StepInterval(int32_t a, int32_t b);
/// How well two notes spelled from C (displacement counted from middle C) spell the interval
/// their pitches make: -1 when their letters move against their pitches, 1 for a unison,
/// second, third or fourth (or its inversion) of a fitting size, 0 otherwise.
int32_t IntervalSpellingScore(hostapi::ConstNoteView a, int32_t pitchA, hostapi::ConstNoteView b, int32_t pitchB);

}  // namespace orvex
