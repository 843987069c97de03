// Analyze: finds parallel motion between the voices of the selected staves (consecutive
// unisons, octaves, fifths or whichever intervals the user lists; with an option also hidden
// parallels reached by similar motion) and marks each finding: a line from the previous to the
// current note of both voices, and a special notehead on the four notes. The voices are the
// columns of each staff's part distribution table; pitches are compared as staff steps, so
// accidentals play no part.
#pragma once

#include <cstdint>

#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/types.h"

namespace orvex {

/// Rows of the options of tool 64.
namespace analyzerow {
enum AnalyzeRow : size_t {
    kIntervals = 0,
    kHidden = 1,
    kKeepVoices = 2,
    kKeepLayers = 3,
    kMidMeasureChanges = 4,
    kIgnoreHidden = 5,
    kNoteheads = 6
};
}  // namespace analyzerow

/// Most staves one run compares.
inline constexpr int32_t kAnalyzeMaxStaves = 40;
/// The notehead character a finding's notes get.
inline constexpr uint16_t kParallelNotehead = 0xE2;

/// The interval of two staff steps: 1 unison ... 7, 8 for an octave or more apart.
int32_t ParallelInterval(int32_t upper, int32_t lower);

/// A note-attached line (smart shape kind 26) from one note to another, with its measure links
/// ('otMx', the measures flagged) and the entry links ('edEx') of both ends.
void CreateNoteLine(int32_t staff, int32_t startMeasure, hostapi::EntryNumber startEntry, int32_t endMeasure,
                    hostapi::EntryNumber endEntry, int16_t startNote, int16_t endNote);

/// Writes the note's notehead record ('E\x02cn', found by the note's identifier) with the
/// character and marks the entry (in memory) as having note details.
void SetNoteheadCharacter(hostapi::EntryView entry, int32_t noteIndex, uint16_t character);

}  // namespace orvex
