// The fixed-size stored records that the access layer's wrappers read and write, as bytes with
// named offsets. Fields beyond the named ones are the host's; they travel unchanged.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/hostapi/bytes.h"
#include "platform/hostapi/types.h"

namespace orvex {

/// A record of N bytes read word by word.
template <size_t N>
struct RawRecord {
    static constexpr size_t kSize = N;
    std::array<uint8_t, N> bytes{};

    uint8_t* data() { return bytes.data(); }
    const uint8_t* data() const { return bytes.data(); }
    /// The i16 at byte 2 * i.
    int16_t word(size_t i) const { return hostapi::ReadI16(bytes.data(), 2 * i); }
    void setWord(size_t i, int16_t value) { hostapi::WriteI16(bytes.data(), 2 * i, value); }
};

/// The 10-byte entry records ('edED', 'edsB', 'edCN' and its 2001 form): found by their first word.
using Record10 = RawRecord<10>;
/// The 12-byte records: of a caller's tag, 'otDe', 'otDY'.
using Record12 = RawRecord<12>;
/// The 30-byte records: 'E\x03TP' and the detail records searched by value.
using Record30 = RawRecord<30>;

/// 'SOTX': the header of a text block (other record: text block number, 0).
struct TextBlockHeader : RawRecord<48> {
    static constexpr size_t kTextKey = 0;  ///< @0, i16, cmper of the 'txbl' record; -1 asks for a new one
    int16_t textKey() const { return hostapi::ReadI16(bytes.data(), kTextKey); }
    void setTextKey(int16_t key) { hostapi::WriteI16(bytes.data(), kTextKey, key); }
};
static_assert(sizeof(TextBlockHeader) == 48);

/// 'SOIS': a staff (other record: staff number, 0).
struct StaffRecord : RawRecord<66> {
    static constexpr size_t kFullName = 30;         ///< @30, i16, text block of the full name
    static constexpr size_t kAbbreviatedName = 32;  ///< @32, i16, text block of the abbreviated name
    int16_t fullName() const { return hostapi::ReadI16(bytes.data(), kFullName); }
    int16_t abbreviatedName() const { return hostapi::ReadI16(bytes.data(), kAbbreviatedName); }
    void setFullName(int16_t block) { hostapi::WriteI16(bytes.data(), kFullName, block); }
    void setAbbreviatedName(int16_t block) { hostapi::WriteI16(bytes.data(), kAbbreviatedName, block); }
};
static_assert(sizeof(StaffRecord) == 66);

/// 'SOIu': one staff of an instrument usage (staff) list (other record: list key, inci).
struct InstrumentUsageRecord : RawRecord<24> {
    static constexpr size_t kStaff = 0;     ///< @0, i16, staff number
    static constexpr size_t kWord2 = 2;     ///< @2, i16, cleared for entry 0 of a system's list from 2001
    static constexpr size_t kListKey = 4;   ///< @4, i16, the list key in entry 0 of a system's list from 2001
    static constexpr size_t kPosition = 8;  ///< @8, i32, vertical position (more negative = lower)
    int16_t staff() const { return hostapi::ReadI16(bytes.data(), kStaff); }
    int32_t position() const { return hostapi::ReadI32(bytes.data(), kPosition); }
    void setStaff(int16_t staff) { hostapi::WriteI16(bytes.data(), kStaff, staff); }
    void setPosition(int32_t position) { hostapi::WriteI32(bytes.data(), kPosition, position); }
};
static_assert(sizeof(InstrumentUsageRecord) == 24);

/// 'SDNG': a staff group (detail record: list key, group number, 0).
struct StaffGroupRecord : RawRecord<30> {
    static constexpr size_t kFirstStaff = 0;        ///< @0, i16
    static constexpr size_t kLastStaff = 2;         ///< @2, i16
    static constexpr size_t kFullName = 4;          ///< @4, i16, text block of the full group name
    static constexpr size_t kAbbreviatedName = 22;  ///< @22, i16, text block of the abbreviated name
    static constexpr size_t kBracket = 10;          ///< @10, i16, compared when groups are adopted
    int16_t firstStaff() const { return hostapi::ReadI16(bytes.data(), kFirstStaff); }
    int16_t lastStaff() const { return hostapi::ReadI16(bytes.data(), kLastStaff); }
    int16_t fullName() const { return hostapi::ReadI16(bytes.data(), kFullName); }
    int16_t abbreviatedName() const { return hostapi::ReadI16(bytes.data(), kAbbreviatedName); }
    int16_t bracket() const { return hostapi::ReadI16(bytes.data(), kBracket); }
    void setFirstStaff(int16_t staff) { hostapi::WriteI16(bytes.data(), kFirstStaff, staff); }
    void setLastStaff(int16_t staff) { hostapi::WriteI16(bytes.data(), kLastStaff, staff); }
    void setFullName(int16_t block) { hostapi::WriteI16(bytes.data(), kFullName, block); }
    void setAbbreviatedName(int16_t block) { hostapi::WriteI16(bytes.data(), kAbbreviatedName, block); }
};
static_assert(sizeof(StaffGroupRecord) == 30);

/// 'SOMS': the measure record (other record: measure number, 0).
struct EDTMeasureSpec : RawRecord<24> {
    static constexpr size_t kWidth = 0;         ///< @0, i16, EVPU
    static constexpr size_t kKey = 2;           ///< @2, i16, key signature word
    static constexpr size_t kBeats = 4;         ///< @4, i16
    static constexpr size_t kBeatDuration = 6;  ///< @6, i16, EDU
    static constexpr size_t kFlags = 8;         ///< @8, u16, low three bits the spacing mode; 0x2000 smart shapes
    static constexpr size_t kMoreFlags = 10;    ///< @10, u16, bits 4-7 barline kind; 0x4000 measure expressions
    int16_t beats() const { return hostapi::ReadI16(bytes.data(), kBeats); }
    int16_t beatDuration() const { return hostapi::ReadI16(bytes.data(), kBeatDuration); }
};
static_assert(sizeof(EDTMeasureSpec) == 24);

}  // namespace orvex
