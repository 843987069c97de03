// Writes to the document: the access layer counts each write that changes what the document
// holds, so that a command tells the host of a change only when it made one. A record saved
// with the bytes it held, an entry array saved with the entries its cell held, or a layout
// update that moves nothing is no change.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/types.h"

namespace orvex {

/// How many writes changed the document in front since the plug-in was loaded: records saved
/// with other bytes than they held, records created or deleted, entry arrays saved with other
/// entries than the cell held, and layout changes (by the host or Lumvar2000) that changed
/// pages, systems or measures.
uint32_t DocumentWriteCount();
/// Counts a write that changed the document.
void CountDocumentWrite();

/// Whether saving `size` bytes under the keys block (three words) changes the stored record:
/// true when the record is missing, has another size or other bytes.
bool RecordSaveChanges(hostapi::Tag tag, const int16_t* keys, const void* buffer, int32_t size,
                       hostapi::InterfaceVersion version);
/// Whether saving the array changes its cell: another number of entries or other bytes than the
/// cell holds in the document now.
bool EntryArraySaveChanges(const hostapi::EntryArray& array);

/// Makes a change the access layer does not see (a layout change by the host or by Lumvar2000),
/// counted as a write when it changed pages, staff systems or, when asked, measures.
void CountLayoutChange(const std::function<void()>& change, bool measures);
/// Asks the host to lay the document out anew (service 41), counted as a write when it changed
/// pages or staff systems. False when the host offers no layout service.
bool UpdateHostLayout();

}  // namespace orvex
