// The entry-processing engine: the one walk behind some twenty commands that change or inspect
// the notes and rests of the selected region. It walks the selection measure by measure, staff
// by staff, shown layer by shown layer and entry by entry under the host's progress display
// (which the dispatcher opened), and at each level runs the branch of the context's tool item:
// the spacing step per measure, the cell workers per cell, and the entry workers in one fixed
// order per entry. A cell's entry array is loaded once, changed in place, saved only when a
// branch reported a change, and always given back to the host.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/records.h"
#include "platform/hostapi/types.h"
#include "tools/notes/notes_services.h"

namespace orvex {

/// What the engine knows while it walks, shared with the workers that need it.
struct EntryEngineState {
    hostapi::SelectionRecord region;  ///< the selection walked
    hostapi::MeasureNumber measure = 0;
    hostapi::Edu measureLength = 0;  ///< the host's length of the measure as answered (0 = unknown)
    hostapi::StaffSlot slot = 0;
    hostapi::InstrumentKey staff = 0;  ///< the staff of the slot
    hostapi::LayerIndex layer = 0;
    int16_t key = 0;        ///< the cell's concert key (for the items that ask)
    int16_t secondKey = 0;  ///< the cell's key by the document option
    hostapi::Edu from = 0;  ///< the position range of the cell
    hostapi::Edu to = 0;

    bool measureHit = false;                        ///< a search command found something in the measure
    hostapi::MeasureNumber compareStopMeasure = 0;  ///< where a run of compare differences ended (0 = none)
    int32_t runStart = 0;                           ///< the first measure of the open run of hits (0 = none)
    size_t storedCursor = 0;                        ///< Compare Entries' place in the stored entries
    std::vector<hostapi::Edu> positions;            ///< New Spacing: the positions of the measure
    TNSPchanges change;                             ///< New Spacing: the change of the current entry
    /// New Spacing: the start entries of the shapes of kind 25 or 26 (the walk does not change
    /// the shapes), gathered when the first entry asks.
    std::optional<std::vector<int32_t>> kind25or26Starts;
    bool simplifyRhythm = false;  ///< Rests: the cell's rhythm is to be simplified
};

/// A position that stands for none, or for the end of the measure.
inline constexpr hostapi::Edu kNoPosition = 2147483647;

/// The scaled position range of a cell: [0, kNoPosition] except in the first measure (from the
/// start position) and the last (to the end position unless it stands for the measure's end),
/// each scaled by the cell's length over the measure's.
void ScaleDurationPair(const hostapi::SelectionRecord& region, hostapi::MeasureNumber measure, hostapi::Edu cellLength,
                       hostapi::Edu measureLength, hostapi::Edu& from, hostapi::Edu& to);

/// The result line of Find and Compare Entries after a measure: a run of measures with hits
/// becomes one line, "meas 4" or "meas 3-5". `runStart` is the first measure of the open run (0
/// when none is open); `stopMeasure` is where a run of compare differences ended (0 = none).
/// Empty when no line is due.
std::string ResultLineAfterMeasure(int32_t current, bool found, bool lastMeasure, int32_t stopMeasure,
                                   int32_t& runStart);

/// Respells a note in place (RespellEnharmonic) as long as that lowers the size of its absolute
/// alteration under the key.
void RespellToFewestAccidentals(hostapi::NoteView note, int16_t key);

// ---- The engine's parts (engine/entry_branches.cpp) ----

/// How the entry loop of a cell ended.
enum class CellOutcome {
    Done,   ///< every entry was handed over
    EndRun  ///< a worker ended the run: the engine answers true at once
};

/// Runs the entry loop over one loaded cell; `changed` is set when a branch changed the cell.
CellOutcome RunEntryLoop(TFMisc& context, EntryEngineState& state, hostapi::EntryArray& array, bool& changed);

}  // namespace orvex
