// "Vx &Tremolo..." (tool 23): pairs of equal notes become a two-note (fingered) tremolo. Both
// notes are written shorter with tremolo beams between them, a tuplet keeps the time they filled
// before, and noteheads, beam extensions, beam and stem adjustments go to the entries' detail
// records. The entry-processing engine finds the pairs and hands each to WriteTremolo (declared
// with the engine's workers).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/hostapi/types.h"
#include "tools/notes/notes_services.h"

namespace orvex {

/// Options of the tool's own page, by row.
enum TremoloRow : size_t {
    TREM_HALF_NOTE_OUTER_BEAM = 0,  ///< for half notes: connect the outer beam to the stem
    TREM_BEAMS = 1,                 ///< total number of beams, 1-7
    TREM_VARIABLE_BEAMS = 2,        ///< the beams come from the "More..." rows by the note value
    TREM_AVOID_ACCIDENTALS_STEM = 3,
    TREM_AVOID_ACCIDENTALS_NO_STEM = 4,
    TREM_CREATE_NEW = 5,
    TREM_MODIFY_EXISTING = 6,
    TREM_SHORTEN_STEMS = 7,
    TREM_PLAYBACK_NOTES = 8
};

/// Options of the tool's "More..." page, by row.
enum TremoloMoreRow : size_t {
    TREM_BEAMS_WHITE = 0,  ///< beams for white noteheads (a half note and longer)
    TREM_BEAMS_QUARTER = 1,
    TREM_BEAMS_EIGHTH = 2,
    TREM_BEAMS_SIXTEENTH = 3,
    TREM_BEAMS_SHORTER = 4,  ///< beams for 32nd notes and shorter
    TREM_KEEP_SLASHES = 5,   ///< for shorter notes keep the number of slashes
    TREM_WHOLE_VERTICAL = 6,
    TREM_LEFT_WITH_STEM = 7,
    TREM_LEFT_NO_STEM = 8,
    TREM_RIGHT_WITH_STEM = 9,
    TREM_RIGHT_NO_STEM = 10,
    TREM_STEM_PER_BEAM = 11,
    TREM_STEM_PER_BEAM_PLUS = 12,
    TREM_PLAYBACK_SPEED = 13,
    TREM_PLAYBACK_MIN_BEAMS = 14
};

/// The value with `dots` augmentation dots: each dot adds half of what the last added (1024 with
/// one dot 1536, with two 1792).
hostapi::Edu DottedDuration(hostapi::Edu value, int32_t dots);

/// The notated value a tremolo note of starting value `d` gets from the options: halved while it
/// reaches the value the beam count leaves, or, with variable beams, the value of the beam count
/// the "More..." rows give for the base value (and its dots). 0 when no value can be made.
hostapi::Edu TremoloNoteValue(const TFMisc& context, hostapi::Edu d);

/// The beam extension mask of a tremolo: 2048 plus one bit per tremolo beam (512 >> k) from the
/// first beam the original value 2d did not already have up to the beams of the new value n.
int32_t TremoloBeamMask(hostapi::Edu d, hostapi::Edu n);

}  // namespace orvex
