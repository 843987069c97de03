// Enharmonic respelling of a note: the other spelling that sounds the same (C sharp and D flat,
// E sharp and F, C and B sharp). Several note tools use it: the search for the spelling with the
// fewest accidentals, the comparison that ignores enharmonics, the respelling command and harp
// pedaling. It reads and writes only a note's displacement and alteration.
#pragma once

#include <cstdint>

#include "platform/hostapi/entry_array.h"

namespace orvex {

/// The note's sounding accidental on its letter under the key (the key signature's and the
/// note's own together): its chromatic pitch less that of the plain letter. 0 without the pitch
/// service.
int32_t AbsoluteAlteration(hostapi::ConstNoteView note, int16_t key);

/// Writes the other spelling of `note` under the key into `result` and answers `result`. A note
/// that has no other spelling without double accidentals (D, G and A as plain letters) comes
/// back unchanged; the note is taken by value, so `result` may be the caller's own note. The
/// direction follows the note's sounding accidental (sharps move up a letter, flats down), so
/// that a note spelled by the key signature (F sharp in D major) is respelled as well.
hostapi::NoteView RespellEnharmonic(hostapi::NoteView result, hostapi::NoteRecord note, int16_t key);

}  // namespace orvex
