// The host's music model: what its services compute from a document's records and entries.
//
// Keys. A key value holds the sharps (+) or flats (-) in its signed low byte and 0x100 for
// minor; 0x4000 and above (as an unsigned word) is a non-linear key, read as C major. The
// tonic step of a key is t(k) = (low byte x 4, + 5 when minor) mod 7, non-negative: C major 0,
// D major 1, E-flat major 2, A minor 5.
//
// Pitch (service 29). A note's harmonic level counts diatonic steps from the tonic of the key,
// in the octave of middle C. With d = level + t(k): pitch = 60 + 12 floor(d / 7) +
// {0, 2, 4, 5, 7, 9, 11}[d mod 7] + the key signature's accidental on that letter + the note's
// raised or lowered steps. Sharps fall on F C G D A E B, flats on B E A D G C F, in that order;
// beyond seven they go round again (an eighth sharp makes F double sharp).
//
// Cell key (service 33): the key value of the measure record ('SOMS' byte 2). Mode 0 answers
// the concert key; another mode answers the key as written for the staff: when the staff's
// transposition word ('SOIS' byte 20) is not chromatic, its signed bits 0-5 are sharps added
// to the key (the mode of the key is kept). A non-linear key is answered as it is; a measure
// that does not exist answers 0.
//
// Staff slots (services 18 and 31): view key v orders the staves as the staff list 'SOIu' v
// does (view 0, the scroll view, is the score's list of all staves); slot n is the list's
// n-th record in incidence order.
//
// Staff records: 'SOSC' (staff, measure, position) is keyed by an EDU position of 0 to 65535
// (platform/hostapi/record_tags.h). The load of one that is not stored answers the staff's
// 'SOIS' record when the staff and the measure exist: a staff keeps one record unless a cell
// stores its own.
//
// Clefs: the host knows eight clefs. A document with music carries their definitions in the
// forms of every host year (platform/hostapi/music_records.h): the staff position of middle C
// in steps from the top line.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/host/document.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/types.h"

namespace host {

/// Whether a key value is non-linear (read as C major).
bool IsNonLinearKey(int16_t keyValue);
/// t(k) of the key (0 for a non-linear key).
int32_t TonicStep(int16_t keyValue);
/// The accidental (+1 sharp, -1 flat, ±2 double) of the key signature on a letter (0 = C .. 6 = B).
int32_t KeySignatureAccidental(int16_t keyValue, int32_t letter);
/// The pitch of a note under a key value (60 = middle C).
int32_t PitchOfNote(hostapi::ConstNoteView note, int16_t keyValue);

/// A written note: its absolute diatonic step (0 = middle C, 7 an octave) and its accidental.
struct SpelledNote {
    int32_t step = 0;
    int32_t accidental = 0;
};
SpelledNote SpellNote(hostapi::ConstNoteView note, int16_t keyValue);
/// The harmonic level and the raised/lowered steps of a written note under a key.
void WriteNote(const SpelledNote& spelled, int16_t keyValue, hostapi::NoteView note);
/// "C4", "F#4", "Bb3", "E##5", "Abb-1".
std::string PitchName(const SpelledNote& spelled);
/// Service 40, the inverse of the pitch names of service 39: the chromatic pitch (60 = middle C)
/// of a name, nullopt for a text that is no pitch name. A name is a letter A-G (either case),
/// then at most one run of sharps ("#") or of flats ("b"), which counts as one sharp or flat
/// (the host knows single accidentals only: "C##4" reads as C#4), then an octave number with an
/// optional minus sign (4 when there is none: "F#" is F#4); blanks around the name are skipped.
/// The pitch must lie in 0-127.
std::optional<int32_t> PitchOfName(std::string_view text);

/// Service 33 on a document.
int16_t CellKeyValue(const Document& document, hostapi::MeasureNumber measure, hostapi::InstrumentKey staff,
                     int16_t mode);
/// Service 50: beats x beat duration of the measure record; 0 when it is missing.
hostapi::Edu MeasureLength(const Document& document, hostapi::MeasureNumber measure);
/// Services 18 and 31 (0 = none).
hostapi::InstrumentKey InstrumentOfSlot(const Document& document, hostapi::StaffSlot slot, hostapi::ViewKey view);
hostapi::StaffSlot SlotOfInstrument(const Document& document, hostapi::InstrumentKey staff, hostapi::ViewKey view);
/// The number of staves of a view.
int32_t StaffCountOfView(const Document& document, hostapi::ViewKey view);

/// What the load service answers for a key: the stored record, or the record the host
/// computes for it (a staff record); nullptr when there is none.
const Bytes* RecordForLoad(const Document& document, const RecordKey& key);

/// The host's clefs: name and staff position of middle C.
struct ClefInfo {
    std::string_view name;
    int16_t middleC;
};
inline constexpr std::array<ClefInfo, 8> kClefs = {{
    {"treble", -10},
    {"alto", -4},
    {"tenor", -2},
    {"bass", 2},
    {"percussion", -4},
    {"treble8vb", -3},
    {"bass8vb", 9},
    {"baritone", 0},
}};
/// The clef of a name, nullopt for none.
std::optional<int16_t> ClefByName(std::string_view name);
/// The name of a clef ("clef 12" for one the host does not know).
std::string ClefName(int32_t clef);
/// The clef in effect on a staff at a position of a measure: the staff's latest cell clef
/// ('SDGF') at or before the measure (in its measure the last change of its 'otCE' list at or
/// before the position), else the low four bits of the staff's clef word ('SOIS' byte 12).
int32_t ClefInEffect(const Document& document, hostapi::InstrumentKey staff, hostapi::MeasureNumber measure,
                     hostapi::Edu position);
/// The staff position of middle C (steps from the top line) under a clef; the treble clef's for
/// a clef the host does not know.
int32_t MiddleCOfClef(int32_t clef);
/// The staff's top line in the score: its position in the score's staff list ('SOIu' list 0,
/// EVPU, lower staves more negative); 0 when the staff is not in the list.
hostapi::Evpu StaffReferenceLine(const Document& document, hostapi::InstrumentKey staff);
/// Writes the clef definitions of every host year into a document (existing ones are kept).
void AddClefDefinitions(Document& document);

}  // namespace host
