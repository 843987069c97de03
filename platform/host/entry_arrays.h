// The entry arrays the host lends its plug-ins (services 2 to 6, 51 and 52). Each load hands
// out an independent copy of a cell's entries; the host keeps count of every array it has lent
// until the plug-in releases it, and checks every array a plug-in hands back: a pointer the
// host did not lend, a count beyond the entries it holds or a moved entry address is refused
// (result 0) and changes nothing.
//
//   load (2)     an existing cell gives an array; with flag 0 a cell without entries gives none.
//   save (3)     writes the first `count` entries into the cell (the last save wins). Entries with
//                number 0 get new numbers, notes with identifier 0 new identifiers (one above
//                the highest of their entry); both are written into the array as well.
//   release (4)  takes the array back.
//   insert (5)   `count` blank (zeroed) entries before `index` (0..count);
//   delete (6)   `count` entries from `index` on. Both always move the entries to a new address.
//   filled time (51)  the end of the last entry (position + actual duration), 0 for none.
//   simplify (52)     joins runs of plain rests into one rest where the joined rest has a plain or
//                dotted value that starts on a multiple of its plain value (kept rests: visible
//                rests outside voice 2, not grace notes, notated = actual duration, each starting
//                where the one before ends; the first rest of a run takes the others in, longest
//                first); the entries move to a new address when a rest is taken in.
// Arrays live in the process, not in a host: a host that goes away detaches them from its
// documents, and they stay lent until released or reclaimed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/host/document.h"
#include "platform/hostapi/entry_array.h"

namespace host {

/// Lends the entry array of a cell of `document` (which must exist); nullptr with `evenEmpty`
/// false for a cell without entries.
hostapi::EntryArray* LendEntryArray(Document& document, const CellKey& cell, bool evenEmpty);
/// Services 3 to 6 on an array; 1 on success, 0 when refused. Save also fails for an array
/// whose document is gone.
int16_t SaveLentEntryArray(hostapi::EntryArray* array);
int16_t ReleaseLentEntryArray(hostapi::EntryArray* array);
int16_t InsertLentEntries(hostapi::EntryArray* array, int32_t index, int32_t count);
int16_t DeleteLentEntries(hostapi::EntryArray* array, int32_t index, int32_t count);
/// Services 51 and 52; -1 / 0 for an array the host did not lend.
hostapi::Edu LentFilledTime(const hostapi::EntryArray* array);
int16_t SimplifyLentRhythm(hostapi::EntryArray* array);

/// The number of arrays lent and not released.
size_t LentEntryArrayCount();
/// A mark of the lending so far: ReclaimLentEntryArrays(mark) takes back only what was lent after.
uint64_t EntryArrayLendingMark();
/// Takes back every array still lent (lent at or after `since`), oldest first; answers the cell
/// of each ("staff 1, measure 2, layer 1").
std::vector<std::string> ReclaimLentEntryArrays(uint64_t since = 0);
/// A document goes away: its lent arrays stay lent but can no longer be saved.
void DetachLentEntryArrays(const Document& document);

/// The entry simplification of service 52 on a list of entries; answers whether it changed.
bool SimplifyRests(CellEntries& entries);

}  // namespace host
