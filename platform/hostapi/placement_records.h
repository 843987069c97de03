// The placement of an entry on its staff system, as service 44 (instrument key, measure, entry
// number, entry box out, measure metrics out, 0) answers it: non-zero when the measure lies in a
// laid-out staff system and the entry is in one of the four layers of the cell.
//
// The host's rule, in EVPU from the left edge of the system:
// - The system is the staff system record ('SOSS') whose measures hold the measure; the system's
//   scale is its percentage (byte 16 of 'SOSS'; 0 counts as 100).
// - A measure starts at the system's left margin plus the widths ('SOMS' byte 0, at least 1) of
//   the system's measures before it. An entry stands kEntryLead EVPU after the start of its
//   measure plus its share of the rest of the measure: position x (width - 2 x kEntryLead) / the
//   measure's duration (the width part at least 0; a duration of 0 counts as 4096).
// - Each note has a notehead kNoteheadWidth wide from the entry's x, bottom note first. The upper
//   note of a second (harmonic levels one apart) whose lower note stands in the column is set
//   beside the column: to the right when the entry's stem is up (entry flag 0x1), else to the left.
// - The entry's right edge is the right edge of its rightmost notehead (x + kNoteheadWidth for a
//   rest).
// The entry box holds scaled values (x the system's percentage / 100, rounded toward zero); the
// measure's start and width are unscaled, and the metrics give the scale factors that relate the
// two, in ten-thousandths: s1 and s2 the system's, s3 10000 (the host scales lyrics no further).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/hostapi/bytes.h"
#include "platform/hostapi/types.h"

namespace hostapi {

inline constexpr Evpu kEntryLead = 12;
inline constexpr Evpu kNoteheadWidth = 24;

/// Where an entry and its noteheads stand (60 bytes).
class EntryBox {
public:
    static constexpr size_t kSize = 60;
    static constexpr size_t kFlags = 0;      ///< @0, u16, kStemUp
    static constexpr size_t kHeadCount = 2;  ///< @2, i16, noteheads listed (0 for a rest, at most 12)
    static constexpr size_t kX = 4;          ///< @4, i32, the entry's x
    static constexpr size_t kRight = 8;      ///< @8, i32, the entry's right edge
    static constexpr size_t kHeads = 12;     ///< @12, per notehead i16 left and i16 right, bottom note first
    static constexpr size_t kMaxHeads = 12;
    static constexpr uint16_t kStemUp = 0x1;  ///< the stem is up: the reference notehead is the leftmost

    std::array<uint8_t, kSize> bytes{};

    uint16_t flags() const { return ReadU16(bytes.data(), kFlags); }
    int16_t headCount() const { return ReadI16(bytes.data(), kHeadCount); }
    int32_t x() const { return ReadI32(bytes.data(), kX); }
    int32_t right() const { return ReadI32(bytes.data(), kRight); }
    int16_t headLeft(size_t i) const { return ReadI16(bytes.data(), kHeads + 4 * i); }
    int16_t headRight(size_t i) const { return ReadI16(bytes.data(), kHeads + 4 * i + 2); }
    void setFlags(uint16_t v) { WriteU16(bytes.data(), kFlags, v); }
    void setHeadCount(int16_t v) { WriteI16(bytes.data(), kHeadCount, v); }
    void setX(int32_t v) { WriteI32(bytes.data(), kX, v); }
    void setRight(int32_t v) { WriteI32(bytes.data(), kRight, v); }
    void setHead(size_t i, int16_t left, int16_t right) {
        WriteI16(bytes.data(), kHeads + 4 * i, left);
        WriteI16(bytes.data(), kHeads + 4 * i + 2, right);
    }
};
static_assert(sizeof(EntryBox) == EntryBox::kSize);
static_assert(EntryBox::kHeads + 4 * EntryBox::kMaxHeads == EntryBox::kSize);

/// Where the entry's measure stands and how the system is scaled (20 bytes).
class EntryMetrics {
public:
    static constexpr size_t kSize = 20;
    static constexpr size_t kMeasureX = 0;      ///< @0, i32, the measure's start (unscaled)
    static constexpr size_t kMeasureWidth = 4;  ///< @4, i32, its width (unscaled)
    static constexpr size_t kScale1 = 8;        ///< @8, i32, s1, ten-thousandths
    static constexpr size_t kScale2 = 12;       ///< @12, i32, s2
    static constexpr size_t kScale3 = 16;       ///< @16, i32, s3
    static constexpr int32_t kUnscaled = 10000;

    std::array<uint8_t, kSize> bytes{};

    int32_t measureX() const { return ReadI32(bytes.data(), kMeasureX); }
    int32_t measureWidth() const { return ReadI32(bytes.data(), kMeasureWidth); }
    int32_t scale(size_t n) const { return ReadI32(bytes.data(), kScale1 + 4 * (n - 1)); }  ///< n = 1, 2, 3
    void setMeasureX(int32_t v) { WriteI32(bytes.data(), kMeasureX, v); }
    void setMeasureWidth(int32_t v) { WriteI32(bytes.data(), kMeasureWidth, v); }
    void setScale(size_t n, int32_t v) { WriteI32(bytes.data(), kScale1 + 4 * (n - 1), v); }
};
static_assert(sizeof(EntryMetrics) == EntryMetrics::kSize);

}  // namespace hostapi
