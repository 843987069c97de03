// The fields of the host's 146-byte entry that the note tools read and write beyond those the
// entry view names: the horizontal offset and the bits of the second flag word.
#pragma once

#include <cstdint>

#include "platform/hostapi/bytes.h"
#include "platform/hostapi/entry_array.h"

namespace orvex {

// Bits of the entry's second flag word (the u16 at byte 12).
using hostapi::kEntryMoreExpressions;
using hostapi::kEntryMoreGenerated;
using hostapi::kEntryMoreNotesChanged;
using hostapi::kEntryMorePlayback;
using hostapi::kEntryMoreSlashedGrace;
using hostapi::kEntryMoreSmartShapes;

/// The entry's horizontal offset (EVPU).
inline int16_t HorizontalOffset(hostapi::ConstEntryView entry) {
    return hostapi::ReadI16(entry.data(), hostapi::EntryLayout::kHorizontalOffset);
}
inline void SetHorizontalOffset(hostapi::EntryView entry, int16_t offset) {
    hostapi::WriteI16(entry.data(), hostapi::EntryLayout::kHorizontalOffset, offset);
}

inline bool HasMoreFlag(hostapi::ConstEntryView entry, uint16_t flag) {
    return (entry.moreFlags() & flag) != 0;
}
inline void SetMoreFlag(hostapi::EntryView entry, uint16_t flag) {
    entry.setMoreFlags(static_cast<uint16_t>(entry.moreFlags() | flag));
}

}  // namespace orvex
