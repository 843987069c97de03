// The readable listing of a document's music ("dump cells"): for each staff and measure of a
// range, the entries of each layer that holds any, one line an entry:
//   staff 1, measure 1, layer 1: 3 entries
//     entry 1 at 0, 1024 EDU, beam start: D4 F#4 A4
//     entry 2 at 1024, 512 EDU (actual 0), grace, beam start: E5
//     entry 3 at 1024, 3072 EDU, beam start: rest
// Notes are named under the cell's key, bottom up; "~" after a note ties it to the next entry,
// "~" before it ties it from the entry before. Entry flags are named (created, voice 2 start,
// voice 2, floating, grace, note details, articulations, lyrics, tuplet, playback, hidden,
// tremolo, beam start, stem details, stem up); other bits are shown in hexadecimal.
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

/// The lines of the listing, without a heading. A staff and measure without entries gives one
/// line "staff S, measure M: no entries"; staves and measures that do not exist are left out.
std::vector<std::string> CellListing(const Document& document, NumberRange staves, NumberRange measures);

/// One entry of a cell as the listing shows it ("entry 1 at 0, 1024 EDU: D4"), its notes named
/// under the cell's key in `document`.
std::string CellEntryLine(const Document& document, const CellKey& cell, const EntryBytes& entry);

}  // namespace host
