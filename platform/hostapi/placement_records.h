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
//
// Vertically, in EVPU upward (a lower place is more negative), the host's rule:
// - The staff's reference line is its top staff line, at the staff's position in the score's
//   staff list ('SOIu' list 0, the i32 at byte 8; 0 when the staff is not in it). The metrics
//   give it unscaled.
// - A note's centre lies kStaffStep EVPU per staff step from the top line: 12 x (the position of
//   middle C under the clef in effect at the entry + the note's diatonic step from middle C as
//   written under the cell's key). The clef in effect is that of the staff's latest cell clef
//   record ('SDGF') at or before the measure, searching back to measure 1 (in its measure, the
//   last change of its mid-measure list 'otCE' at or before the entry's position), else the
//   low four bits of the staff's word at byte 12 ('SOIS'); platform/host/music_model.h gives
//   the clefs' middle C.
// - A notehead reaches kHalfNotehead above and below its centre. A note entry whose notated
//   duration is below a whole note has a stem of kStemLength from its outermost note: up from
//   the highest note when its stem is up (entry flag 0x1), else down from the lowest.
// - A rest reaches kHalfNotehead x 2 above and below the middle staff line (-48).
// - The entry's top and bottom are the highest and the lowest of these; the box holds them
//   scaled (and relative to the system like the reference: reference + the place, x the
//   percentage / 100, rounded toward zero). A caller takes an entry's place from the staff's
//   reference line as edge / s1 x 10000 - reference.
// The host places no articulations: the articulation definitions ('O\x04IX') give a plug-in
// their offsets from the entry's top and bottom.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/hostapi/bytes.h"
#include "platform/hostapi/types.h"

namespace hostapi {

inline constexpr Evpu kEntryLead = 12;
inline constexpr Evpu kNoteheadWidth = 24;
inline constexpr Evpu kStaffStep = 12;
inline constexpr Evpu kHalfNotehead = 12;
inline constexpr Evpu kStemLength = 84;
inline constexpr Evpu kMiddleStaffLine = -48;

/// Where an entry and its noteheads stand (68 bytes).
class EntryBox {
public:
    static constexpr size_t kSize = 68;
    static constexpr size_t kFlags = 0;      ///< @0, u16, kStemUp
    static constexpr size_t kHeadCount = 2;  ///< @2, i16, noteheads listed (0 for a rest, at most 12)
    static constexpr size_t kX = 4;          ///< @4, i32, the entry's x
    static constexpr size_t kRight = 8;      ///< @8, i32, the entry's right edge
    static constexpr size_t kHeads = 12;     ///< @12, per notehead i16 left and i16 right, bottom note first
    static constexpr size_t kMaxHeads = 12;
    static constexpr size_t kTop = 60;        ///< @60, i32, the entry's top (scaled, upward)
    static constexpr size_t kBottom = 64;     ///< @64, i32, the entry's bottom (scaled, upward)
    static constexpr uint16_t kStemUp = 0x1;  ///< the stem is up: the reference notehead is the leftmost

    std::array<uint8_t, kSize> bytes{};

    uint16_t flags() const { return ReadU16(bytes.data(), kFlags); }
    int16_t headCount() const { return ReadI16(bytes.data(), kHeadCount); }
    int32_t x() const { return ReadI32(bytes.data(), kX); }
    int32_t right() const { return ReadI32(bytes.data(), kRight); }
    int16_t headLeft(size_t i) const { return ReadI16(bytes.data(), kHeads + 4 * i); }
    int16_t headRight(size_t i) const { return ReadI16(bytes.data(), kHeads + 4 * i + 2); }
    int32_t top() const { return ReadI32(bytes.data(), kTop); }
    int32_t bottom() const { return ReadI32(bytes.data(), kBottom); }
    void setTop(int32_t v) { WriteI32(bytes.data(), kTop, v); }
    void setBottom(int32_t v) { WriteI32(bytes.data(), kBottom, v); }
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
static_assert(EntryBox::kHeads + 4 * EntryBox::kMaxHeads == EntryBox::kTop);
static_assert(EntryBox::kBottom + 4 == EntryBox::kSize);

/// Where the entry's measure and staff stand and how the system is scaled (24 bytes).
class EntryMetrics {
public:
    static constexpr size_t kSize = 24;
    static constexpr size_t kMeasureX = 0;      ///< @0, i32, the measure's start (unscaled)
    static constexpr size_t kMeasureWidth = 4;  ///< @4, i32, its width (unscaled)
    static constexpr size_t kScale1 = 8;        ///< @8, i32, s1, ten-thousandths
    static constexpr size_t kScale2 = 12;       ///< @12, i32, s2
    static constexpr size_t kScale3 = 16;       ///< @16, i32, s3
    static constexpr size_t kReference = 20;    ///< @20, i32, the staff's top line (unscaled, upward)
    static constexpr int32_t kUnscaled = 10000;

    std::array<uint8_t, kSize> bytes{};

    int32_t measureX() const { return ReadI32(bytes.data(), kMeasureX); }
    int32_t measureWidth() const { return ReadI32(bytes.data(), kMeasureWidth); }
    int32_t scale(size_t n) const { return ReadI32(bytes.data(), kScale1 + 4 * (n - 1)); }  ///< n = 1, 2, 3
    int32_t reference() const { return ReadI32(bytes.data(), kReference); }
    void setReference(int32_t v) { WriteI32(bytes.data(), kReference, v); }
    void setMeasureX(int32_t v) { WriteI32(bytes.data(), kMeasureX, v); }
    void setMeasureWidth(int32_t v) { WriteI32(bytes.data(), kMeasureWidth, v); }
    void setScale(size_t n, int32_t v) { WriteI32(bytes.data(), kScale1 + 4 * (n - 1), v); }
};
static_assert(sizeof(EntryMetrics) == EntryMetrics::kSize);

}  // namespace hostapi
