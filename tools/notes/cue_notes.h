// "Vx Add &Cue Notes..." (tool 24): copies the notes of one source staff, over the region selected
// with the mass mover, into an empty layer of one or more destination staves as cue notes. Entries
// outside the selected stretch of the first and last measure become hidden rests that keep the
// rhythm; the notes are reduced in size, optionally with stems forced up, carry a cue name on the
// first copied note and the attached details chosen (tuplets, articulations, expressions, lyrics,
// stem and beam details, smart shapes, clefs). The first layer of each destination staff is
// completed with rests. RunAddCueNotes is declared with the tools' entry functions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/records.h"
#include "platform/hostapi/types.h"
#include "tools/notes/notes_services.h"

namespace orvex {

/// Options of Cue Notes, by row.
enum CueNotesRow : size_t {
    CUE_NOTES_STAVES = 0,  ///< the destination staves' list
    CUE_NOTES_LAYER = 1,   ///< 1-4
    CUE_NOTES_STEMS_UP = 2,
    CUE_NOTES_SIZE = 3,  ///< percent
    CUE_NOTES_NAME = 4,
    CUE_NOTES_COPY_CLEFS = 5,  ///< the first of the rows of the request's option bytes (CueOption)
    CUE_NOTES_COPY_ARTICULATIONS = 6,
    CUE_NOTES_COPY_STAFF_EXPRESSIONS = 7,
    CUE_NOTES_COPY_NOTE_SHAPES = 8,
    CUE_NOTES_COPY_MEASURE_SHAPES = 9,
    CUE_NOTES_COPY_LYRICS = 10,
    CUE_NOTES_RESET_ACCIDENTALS = 11
};

/// The option bytes of the request, in the order of their rows from CUE_NOTES_COPY_CLEFS on.
enum CueOption : size_t {
    CUE_COPY_CLEFS = 0,
    CUE_COPY_ARTICULATIONS = 1,
    CUE_COPY_STAFF_EXPRESSIONS = 2,
    CUE_COPY_NOTE_SHAPES = 3,
    CUE_COPY_MEASURE_SHAPES = 4,
    CUE_COPY_LYRICS = 5,
    CUE_RESET_ACCIDENTALS = 6
};

/// The longest cue name the request holds (50 characters with the terminating zero).
inline constexpr size_t kMaxCueNameLength = 49;

/// The kept region pair: with `refresh`, the host's mass-mover selection (service 23: the source,
/// and the destination) is read first. Each out pointer may be null. False when the host has no
/// selection.
bool GetCueRegions(hostapi::SelectionRecord* destination, hostapi::SelectionRecord* source, bool refresh);

/// Completes the first layer of the destination staff (a slot of the destination region) with
/// rests in every measure the cue notes cover: a whole rest in an empty measure, else rests for the
/// time the entries leave. With `fixedHeight` the rests are placed by the clef of `clefStaff` (the
/// cell's own staff when below 0). A non-empty name is attached to the first entry of the first
/// measure.
void FillCueStaffRests(const RunEnvironment& environment, hostapi::StaffSlot staff, std::string_view name,
                       bool fixedHeight, int32_t clefStaff);

/// Attaches the cue name to the entry as a note expression (a new text expression in the cue font),
/// placed above the entry; sets the entry's expression flag (the caller saves the entry).
void AttachCueName(std::string_view name, hostapi::StaffSlot staff, const hostapi::SelectionRecord& region,
                   hostapi::MeasureNumber measure, hostapi::EntryView entry);

/// Creates a text expression ('SODT' with a new number) holding the name in the given font and
/// effects; its number, 0 when the host made none.
int32_t CreateCueNameText(std::string_view name, int16_t fontWord, int16_t effectsWord);

/// Copies every 10-byte entry detail record of the tag from one entry to another, incidence by
/// incidence, until one does not load.
void CopyEntryDetailRecords(hostapi::Tag tag, hostapi::EntryNumber from, hostapi::EntryNumber to);

}  // namespace orvex
