// Combine rhythms and pitches ("Vx Combine rhythms and pitches..."): the pitches of one staff go
// onto the rhythm of another. Both staves' first layers are walked in step, and each note entry
// of the rhythm staff receives the notes of the next entry of the pitch staff; the result is
// written into the rhythm staff. RunCombineRhythmsAndPitches is declared with the other entry
// functions in notes_services.h.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/types.h"

namespace orvex {

struct TFMisc;

/// Option rows of the tool.
enum CombineRow : size_t {
    COMBINE_STAVES = 0,  ///< the staff list: the context's chosen-items flags
    COMBINE_PITCHES_ON_TOP = 1,
    COMBINE_REPLACE = 2,
    COMBINE_PER_MEASURE = 3,
    COMBINE_SKIP_RESTS = 4,
};

/// The staff slots the command works on: those flagged in `chosen` (index i is slot i + 1), or
/// with none flagged the slots of the selection, of which a selection of more than three slots
/// that spans every one of the document's `slotCount` gives its top two.
std::vector<hostapi::StaffSlot> CombineStaffChoice(const std::vector<int32_t>& chosen, hostapi::StaffSlot firstSlot,
                                                   hostapi::StaffSlot lastSlot, int32_t slotCount);

/// Puts the notes of pitch entry `pitch` onto rhythm entry `rhythm` (a note entry): with
/// `replace` in place of its notes, otherwise after them (at most 12 in all). A rest `pitch`
/// counts as a chord of no notes. Every note copied takes the tie bits of the rhythm entry's first
/// note, and keeps its letter, alteration and octave when the rhythm's measure has another key
/// (`pitchKey`, `rhythmKey`: the cells' concert keys). Answers the tie bits.
uint32_t CombineEntry(hostapi::EntryView rhythm, hostapi::EntryView pitch, bool replace, int16_t pitchKey = 0,
                      int16_t rhythmKey = 0);
/// Writes the note, spelled under key `from`, as the same letter, alteration and octave under key
/// `to`.
void RespellUnderKey(hostapi::NoteView note, int16_t from, int16_t to);

}  // namespace orvex
