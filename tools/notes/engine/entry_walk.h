// The entry walk: the second engine of the note tools, behind "Vx &Custom Chord Styles...",
// "Vx &Accidentals...", "Vx &Respell Notes", "Vx Create S&lurs..." and "Vx &Fill with rests...".
// It walks every cell of the selection staff by staff, shown layer by shown layer and measure by
// measure under a progress display of its own, hands the entries inside the selected positions
// to the command (or, for Fill with rests, the whole cell), and writes a cell back only when the
// command changed it. Commands that look at notes outside the cell find them through the
// measure entry cache, one pair of caches per layer of the staff.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "core/host/finxess_records.h"
#include "core/run_environment.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/records.h"
#include "platform/hostapi/types.h"
#include "tools/notes/engine/measure_cache.h"

namespace orvex {

class ScopedEditBracket;
class TStaffSystems;

/// What the walk knows while it runs, handed to the commands.
struct EntryWalkState {
    explicit EntryWalkState(const RunEnvironment& runEnvironment) : environment(runEnvironment) {}

    RunEnvironment environment;              ///< what the run may read (the document option)
    hostapi::SelectionRecord region;         ///< the selection walked
    const TStaffSystems* systems = nullptr;  ///< the document's staff systems, for the run
    int32_t documentLastMeasure = 0;         ///< the last measure a next-note search may reach
    ScopedEditBracket* progress = nullptr;   ///< the walk's progress display (its run holds it)

    // The staff.
    hostapi::StaffSlot slot = 0;
    hostapi::InstrumentKey staff = 0;
    StaffRecord staffRecord;                                    ///< 'SOIS' of the staff (zero when it cannot be loaded)
    std::array<std::unique_ptr<TNoteContext>, 4> noteContexts;  ///< by layer
    hostapi::EntryRecord previousOfStaff;                       ///< the last entry remembered in the layer

    // The cell.
    hostapi::MeasureNumber measure = 0;
    hostapi::LayerIndex layer = 0;
    hostapi::Edu measureDuration = 0;  ///< beats x beat duration of the measure record, 0 without it
    int16_t keyA = 0;                  ///< the cell's concert key
    int16_t keyB = 0;                  ///< the cell's key by the document option
    hostapi::Edu from = 0;             ///< the selected positions of the cell
    hostapi::Edu to = 0;
    hostapi::EntryArray* array = nullptr;
    hostapi::EntryRecord previousInMeasure;  ///< the last entry remembered in this cell
    bool changed = false;                    ///< a command changed the cell: it is saved

    // Create slurs.
    int32_t shapesMade = 0;     ///< slurs the host created
    int32_t shapesRefused = 0;  ///< slurs the host refused to create (no smart shape number left)

    /// The caches of the current layer.
    TNoteContext& NoteContext() const { return *noteContexts[static_cast<size_t>(layer)]; }
};

}  // namespace orvex
