// Per-entry commands of the entry-processing engine: "Vx &Shift..." (glissando ends, whole notes
// and lone grace notes moved within the entry), "Vx &Special Modifications..." (entries and notes
// chosen by pitch, place in the chord, alteration or kind, then hidden, shown, resized, given
// another notehead, erased or kept alone) and "Vx &Replace Pitches..." (one spelled pitch
// exchanged for another, to the nearest octave). The workers are declared with the engine's
// workers in notes_services.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/free_texts.h"

namespace orvex {

struct TFMisc;

/// Options of Shift, by row.
enum ShiftRow : size_t {
    SHIFT_WHOLE_NOTES = 0,
    SHIFT_SLASHED_GRACE = 1,
    SHIFT_UNSLASHED_GRACE = 2,
    SHIFT_RELATIVE = 3,
    SHIFT_GLISSANDI = 4
};

/// Options of Special Modifications, by row.
enum SpecialRow : size_t {
    SPECIAL_PITCH = 0,  ///< the pitch (the dialog's number of the pitch text); 0 = none
    SPECIAL_NTH_FROM_TOP = 1,
    SPECIAL_ALL_RESTS = 2,
    SPECIAL_ALL_SINGLE_NOTES = 3,
    SPECIAL_ALL_CHORDS = 4,
    SPECIAL_ALTERATIONS = 5,  ///< text: the absolute alterations, such as "1,2"
    SPECIAL_HIDE = 6,
    SPECIAL_SHOW = 7,
    SPECIAL_HEAD_SIZE = 8,
    SPECIAL_NOTE_SIZE = 9,
    SPECIAL_NOTEHEAD = 10,
    SPECIAL_ERASE = 11,
    SPECIAL_KEEP_ONLY = 12
};

/// The letter of a note name as a diatonic step: C 0, D 1, ... B 6 ((upper-case letter - 60)
/// mod 7); 0 for an empty text.
int32_t NoteStepOfName(std::string_view text);
/// The alteration of a note name: +1 for every "#" and -1 for every "b" after the letter.
int32_t AlterationOfName(std::string_view text);
/// Whether a text of Replace Pitches names a note as the command reads it: a letter A-G (either
/// case) followed by nothing but "#" and "b" signs. Any other text ("H", "X", "1", "F#4") would
/// read as some other note: the command refuses it.
bool IsReplaceNoteName(std::string_view text);
/// Replace Pitches' pairs before the walk: every pair with both texts given names notes (an
/// empty text leaves its pair out). Otherwise the user is told which text is not a note name and
/// false: the command changes nothing.
bool CheckReplacePairs(const TFMisc& context);
/// Replace Pitches' rule for the texts of its name rows at Go, the rule of its start check: empty
/// or a note letter with # or b signs only (refused with NotReplaceNoteName). False for the rows
/// of other tools.
bool CheckReplacePitchesRow(int32_t item, int32_t row, std::string_view text, std::optional<FreeText>& refusal);

/// Options of Replace Pitches, by row: five pairs of a pitch and the pitch it becomes.
enum ReplacePitchesRow : size_t {
    REPLACE_FROM_1 = 0,
    REPLACE_INTO_1 = 1,
    REPLACE_FROM_2 = 2,
    REPLACE_INTO_2 = 3,
    REPLACE_FROM_3 = 4,
    REPLACE_INTO_3 = 5,
    REPLACE_FROM_4 = 6,
    REPLACE_INTO_4 = 7,
    REPLACE_FROM_5 = 8,
    REPLACE_INTO_5 = 9
};

}  // namespace orvex
