// The host's region commands on the document in front, as the user gives them by keys in the
// document window: Ctrl+C copies the selected region to the host's clipboard, Backspace clears
// it, Ctrl+V pastes the clipboard into the region that starts at the selection's first staff
// and measure, Ctrl+A selects the whole document. The region dialog of the Edit menu selects a
// region by typing: its staff lists and measure fields (main_window_keys.h drives it).
//
// The commands work on whole measures: every cell (staff, measure, all four layers) from the
// selection's first to its last measure on its staves, whatever positions the selection names
// inside them. A cell is copied with its entries (and their notes) and the entry detail records
// the host keeps under those entries' numbers; a pasted entry gets a new number, and its detail
// records are stored again under it. Pasting replaces the target cells whole: a clipboard cell
// without entries empties its target. Target staves or measures the document does not have are
// left out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/host/document.h"
#include "platform/hostapi/records.h"

namespace host {

/// One copied cell, placed relative to the copied region's first staff slot and measure.
struct ClipboardCell {
    int32_t staffOffset = 0;
    int32_t measureOffset = 0;
    hostapi::LayerIndex layer = 0;
    CellEntries entries;
    /// The entry detail records of each entry, by the entry's place in `entries`.
    std::vector<std::vector<std::pair<RecordKey, Bytes>>> details;
};

/// What the host's clipboard holds after a copy: the region's size and its cells.
struct RegionClipboard {
    int32_t staves = 0;
    int32_t measures = 0;
    std::vector<ClipboardCell> cells;
};

/// Copies the cells of the region's staves and measures (view 0 staff slots); nullopt for a
/// region without staves or measures.
std::optional<RegionClipboard> CopyRegion(const Document& document, const hostapi::SelectionRecord& region);
/// Removes the entries of the region's cells and their entry detail records.
void ClearRegion(Document& document, const hostapi::SelectionRecord& region);
/// Pastes the clipboard with its first cell at the region's first staff slot and measure; answers
/// the region pasted into (clipped to the document), nullopt when nothing of it lies in the
/// document.
std::optional<hostapi::SelectionRecord> PasteRegion(Document& document, const RegionClipboard& clipboard,
                                                    const hostapi::SelectionRecord& at);
/// "staves 1-2, measures 3-4" ("staff 1, measure 3" for one) of a region, as the transcript names it.
std::string RegionText(const hostapi::SelectionRecord& region);
/// The region of whole measures `firstMeasure`..`lastMeasure` on staff slots `firstSlot`..`lastSlot`
/// of view 0 (from position 0 to the end of the last measure).
hostapi::SelectionRecord WholeMeasureRegion(const Document& document, int32_t firstSlot, int32_t lastSlot,
                                            int32_t firstMeasure, int32_t lastMeasure);

}  // namespace host
