// What the core calls of the note and entry tools: the tools' entry functions and the records
// of theirs that the tool context carries; and the workers the entry-processing engine hands
// its measures, cells and entries to.
#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/tool_records.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/records.h"
#include "platform/hostapi/types.h"

namespace orvex {

class RunEnvironment;

struct TFMisc;
struct EntryEngineState;
struct EntryWalkState;
struct StaffRecord;
struct EDTMeasureSpec;
class TSmartShapes;

/// The settings of the cue-notes command, filled by the dispatcher from the options.
struct CueNotesRequest {
    int32_t sizePercent = 0;                 ///< the cue notes' size
    int32_t targetLayer = 0;                 ///< 0-3
    std::string cueName;                     ///< the host's 8-bit text; at most 49 characters are used
    std::array<bool, 7> flags{};             ///< options 5 to 11 (CueOption)
    std::vector<int32_t> destinationStaves;  ///< staff slots of the destination staves
    TFMisc* context = nullptr;
};

/// The per-layer stem settings (layers 1-4) that the entry tools keep and the entry queries read:
/// byte 3 of a layer's record holds 0x08 fixed stem direction, 0x01 only when other layers hold
/// entries, 0x04 fixed up (clear: down).
using LayerSettingsRecord = std::array<uint8_t, 4>;

// Entry functions. Each answers true on success; false makes the dispatcher report failure to
// the host's edit bracket and leave out the result message.
bool RunEntryProcessingTool(TFMisc& context);
bool RunEntryWalkTool(TFMisc& context);
/// The cue notes command (tools/notes/cue_notes.cpp): 1 when the copy ran, 0 when it was refused.
int32_t RunAddCueNotes(const CueNotesRequest& request);
/// The cue notes command: the request from the options and the selection (one staff, the
/// source); 0 when there is no such selection.
int32_t RunCueNotesCommand(TFMisc& context);
bool RunCombineRhythmsAndPitches(TFMisc& context);
bool RunExportToSpreadsheet(TFMisc& context);
bool RunHarpPedaling(TFMisc& context);
bool AnalyzeStaffGroup(TFMisc& context);
bool RunSlurTool(TFMisc& context);
bool RunPlaybackTool(TFMisc& context, int32_t setNumber);
bool RunMidiTool(TFMisc& context);
bool RunDistributeNotes(TFMisc& context);

/// The smart shapes the note tools share over a measure range (loaded or refreshed by a tool).
TSmartShapes& SharedSmartShapes();

// The workers of the entry-processing engine, by command. Entries are the cell's array
// entries, changed in place; the engine saves the cell when a worker reports a change.

// Replace Pitches, Special Modifications and Shift (tools/notes/entry_commands.cpp); the first two
// always answer true, so that the cell is saved.
bool ReplacePitches(TFMisc& context, hostapi::EntryView entry, int16_t key);
bool ApplySpecialModifications(TFMisc& context, hostapi::EntryView entry, int16_t key, hostapi::EntryArray& array,
                               int32_t index);
/// Shift: glissando ends, whole notes and lone grace notes move within the entry.
bool ShiftEntryOffsets(TFMisc& context, EntryEngineState& state, hostapi::EntryView entry, bool previousIsGrace,
                       bool nextIsGrace);

// Find and Compare Entries: they record a hit of the measure in the engine state.
void CompareTimeSignature(TFMisc& context, EntryEngineState& state);
void StoreEntry(TFMisc& context, EntryEngineState& state, hostapi::ConstEntryView entry);
void CompareEntry(TFMisc& context, EntryEngineState& state, hostapi::EntryView entry);
void FindMeasureExpressions(TFMisc& context, EntryEngineState& state);
void FindEntryTests(TFMisc& context, EntryEngineState& state, hostapi::ConstEntryView entry,
                    const hostapi::ConstEntryView* previous);

/// Options of Harmonica, by row.
enum HarmonicaRow : size_t {
    HARMONICA_CONVERT = 0,  ///< normal notation to Griffschrift
    /// A row after Harmonica's last: it has no caption in the table and reads as 0 unless a
    /// dialog stores a value there; either row turns the conversion on.
    kHarmonicaUncaptionedRow = 1
};

// Griffschrift translation and laisser vibrer noteheads.
/// Griffschrift has no key signature: every measure of the region loses its key (the key word of
/// its measure record becomes 0), and every note of those measures, on every staff and layer, is
/// written anew under key 0 with the pitch it had under the key, so that no note sounds another
/// pitch (an entry whose notes are written anew is marked for the host to recompute its
/// accidentals).
void DropKeysKeepingPitches(const hostapi::SelectionRecord& region);
bool TranslateNote(hostapi::MeasureNumber measure, hostapi::InstrumentKey staff, hostapi::EntryView entry, int16_t key);
bool SetLaisserVibrerNoteheads(const RunEnvironment& environment, hostapi::MeasureNumber measure,
                               hostapi::InstrumentKey staff, hostapi::EntryView entry, int16_t key, int16_t secondKey,
                               hostapi::ViewKey regionWord, hostapi::StaffSlot slot);

/// Playback of articulations; clearing `continueRun` ends the whole run.
bool WriteArticulationPlayback(TFMisc& context, hostapi::MeasureNumber measure, hostapi::InstrumentKey staff,
                               hostapi::LayerIndex layer, hostapi::EntryView entry, bool& continueRun);

// Rests (tools/notes/rests.cpp).
/// Rests: the note at `index` takes in the rests after it while the longer note is one plain or
/// dotted value that fits the measure's beats (FitsBeatRule); with `allowTies` a rest it cannot
/// take in becomes a tied copy of the note. May delete entries of the array; answers whether it
/// changed the array.
bool AbsorbFollowingRest(TFMisc& context, hostapi::EntryArray& array, int32_t index, bool allowTies);
/// Join rests of multiple layers, on one cell (it loads, saves and frees all four layers itself):
/// a rest of the lowest filled layer in [from, to], and the rests of the higher layers that start
/// with it, go onto the common place when a higher layer holds a rest of the same length there
/// or no higher layer holds anything there.
void JoinLayerRests(TFMisc& context, hostapi::ViewKey regionWord, hostapi::MeasureNumber measure,
                    hostapi::StaffSlot slot, hostapi::Edu from, hostapi::Edu to);

/// Tremolo between entries `a` and `b` (`c` the entry after `b`, or none) (tools/notes/tremolo.cpp):
/// answers whether it wrote one.
bool WriteTremolo(TFMisc& context, hostapi::EntryView a, hostapi::EntryView b, const hostapi::EntryView* c,
                  hostapi::ViewKey regionWord, hostapi::StaffSlot slot, hostapi::MeasureNumber measure,
                  hostapi::LayerIndex layer);

// Lyrics (tools/notes/lyrics.cpp): the changes go straight to the document; ApplyLyricOptions
// answers false, AdjustMelismaSyllables true only for New Spacing when it reached a following note.
void ShiftLyricsOfEntry(TFMisc& context, hostapi::EntryView entry, hostapi::Tag assignmentTag);
bool ApplyLyricOptions(TFMisc& context, hostapi::EntryView entry);
void MoveLongSyllables(TFMisc& context, hostapi::EntryView entry, hostapi::Tag assignmentTag, hostapi::Tag textTag);
bool AdjustMelismaSyllables(TFMisc& context, hostapi::StaffSlot slot, hostapi::LayerIndex layer,
                            hostapi::EntryArray& array, int32_t index, hostapi::EntryView entry, TNSPchanges& change);

// New Spacing.
bool SqueezeOverlongEntry(TFMisc& context, hostapi::EntryView entry, hostapi::EntryArray& array, int32_t index,
                          const EDTMeasureSpec& measureSpec, hostapi::Edu measureLength, TNSPchanges& change);
bool ApplyEntryChangeList(TFMisc& context, hostapi::EntryView entry);
/// Fills an empty layer-1 cell with the rhythm complementary to the measure's positions.
bool FillComplementaryRhythm(TFMisc& context, hostapi::EntryArray& array, std::vector<hostapi::Edu>& positions,
                             hostapi::Edu measureLength);

// ---- Workers of the entry walk ----

/// Fill with rests (tool 49), on one cell of the entry walk (tools/notes/fill_rests.cpp): appends
/// rests of at most the beat (the context's measure record) that fill the part of the measure's
/// duration (beats x beat duration) the cell's entries leave unfilled, in the amount the options
/// give. Skips measures whose record has bit 0x80 or 0x40 in its flag byte; empty cells are
/// filled only in the first layer. Answers whether the cell is to be saved.
bool FillCellWithRests(TFMisc& context, hostapi::EntryArray& array, hostapi::Edu measureDuration);
/// Custom chord styles (tool 15): respells the suffixes of the entry's chord symbols.
void RespellChordSuffixes(TFMisc& context, hostapi::EntryNumber entry, const StaffRecord& staff, int16_t keyA,
                          int16_t keyB);
/// Create slurs (tool 46) from note entry `index` of the walk's cell, not its last entry;
/// answers the index of the last entry the slur took, from which the walk goes on.
/// A slur the host refuses to create is counted in the walk and makes nothing else.
int32_t CreateSlursFromEntry(TFMisc& context, EntryWalkState& walk, int32_t index);

// ---- The note tools' own forms (their classes: harmonics_form.h, beam_breaker_form.h) ----

/// Opens the harmonics form (modeless), making it on first use. Answers 1.
int32_t ShowHarmonicsForm();
/// Frees the harmonics form (a reset of the module).
void DeleteHarmonicsForm();
/// Opens the beam breaker's form (modal), making it on first use. Answers 1.
int32_t ShowBeamBreakerForm();
/// Frees the beam breaker's form (a reset of the module).
void DeleteBeamBreakerForm();
/// The beam breaker as a tool command: breaks the secondary beams with the tool's options.
int32_t RunBeamBreakerTool(TFMisc& context);

}  // namespace orvex
