// The readable listing of a document's music ("dump cells"): for each staff and measure of a
// range, the entries of each layer that holds any, one line an entry, and a second line for an
// entry with more to show:
//   staff 1, measure 1, layer 1: 4 entries
//     entry 1 at 0, 512 EDU (actual 341), tuplet, beam start: D4 F#4[shown,frozen] A4
//       tuplet 3:2 (3 x 512 in the time of 2 x 512) of entries 1-3; articulation 2
//     entry 2 at 341, 512 EDU (actual 341): E5
//       in the tuplet of entry 1
//     entry 4 at 1024, 3072 EDU, floating, beam start: rest at B4
// Notes are named under the cell's key, bottom up, with their note flags in brackets; "~" after a
// note ties it to the next entry, "~" before it ties it from the entry before. The flags of both
// flag words are named (entry_names.h); other bits are shown in hexadecimal. The second line holds
// the horizontal offset, the tuplets the entry starts or lies in, and the records attached to the
// entry by kind and number.
#pragma once

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/host/document.h"

namespace host {

/// A range of staff or measure numbers, both ends included.
struct NumberRange {
    int32_t first = 1;
    int32_t last = INT16_MAX;
};

/// A tuplet of a cell: its record and the entries it holds (first to last, indexes in the cell).
struct CellTuplet {
    const Bytes* record;
    size_t first;
    size_t last;
};
/// The tuplets of a cell, outer first where several start at one entry. A tuplet holds the
/// entries from its first whose written durations fill its notes x unit; a tuplet that starts
/// inside it counts with its reference time.
std::vector<CellTuplet> CellTuplets(const Document& document, const CellEntries& entries);

/// The lines of the listing, without a heading. A staff and measure without entries gives one
/// line "staff S, measure M: no entries"; staves and measures that do not exist are left out.
std::vector<std::string> CellListing(const Document& document, NumberRange staves, NumberRange measures);

/// One entry of a cell as the listing shows it ("entry 1 at 0, 1024 EDU: D4"), its notes named
/// under the cell's key in `document`, and its horizontal offset when it has one ("...: D4; offset
/// -12").
std::string CellEntryLine(const Document& document, const CellKey& cell, const EntryBytes& entry);

}  // namespace host
