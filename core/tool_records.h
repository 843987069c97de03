// The records of the tools that the tool context carries: the core keeps them in TFMisc, the
// tools fill them (beat charts of the layout tools, the entries Find/Compare stores, New
// Spacing's changes, a region's words).
#pragma once

#include <array>
#include <compare>
#include <cstdint>

#include "platform/hostapi/bytes.h"
#include "platform/hostapi/types.h"

namespace orvex {

/// One beat-chart element as stored in the record 'otBC' of a measure (10 bytes).
struct TBeatChartElement {
    std::array<uint8_t, 10> bytes{};
};

/// The five words of a region as 32-bit values, as the align/move tool takes them.
struct RegionWords {
    int32_t viewKey = 0;
    int32_t firstStaff = 0;
    int32_t firstMeasure = 0;
    int32_t lastStaff = 0;
    int32_t lastMeasure = 0;
};

/// One element of the entry working list of the tool context; its contents belong to the
/// entry tools.
struct TEntryRecord {
    std::array<uint8_t, 172> bytes{};
};

/// One change kept between the two passes of New Spacing: what the first pass did to an entry
/// for the host's spacing, so that the second pass can undo it.
struct TNSPchanges {
    static constexpr size_t kEntry = 0;        ///< @0, i32, 0 = an empty record
    static constexpr size_t kLyricMarker = 4;  ///< @4, u8, 1: the lyrics flag was taken away
    static constexpr size_t kTupletIndex = 5;  ///< @5, i32, index + 1 of a tuplet made (0 = none)
    static constexpr size_t kTieMarker = 9;    ///< @9, u8, 1: the first note's tie-start flag was set
    // Byte 10 is spare.
    std::array<uint8_t, 11> bytes{};

    hostapi::EntryNumber entry() const { return hostapi::ReadI32(bytes.data(), kEntry); }
    void setEntry(hostapi::EntryNumber entry) { hostapi::WriteI32(bytes.data(), kEntry, entry); }
    uint8_t tieMarker() const { return bytes[kTieMarker]; }
    void setTieMarker(uint8_t marker) { bytes[kTieMarker] = marker; }
};

}  // namespace orvex
