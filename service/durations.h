// Durations in EDUs (1024 per quarter note) split into a note value, dots and a remainder,
// and built back (the 12-byte DurationParts record of lumvar_api.h).
#pragma once

#include <cstdint>

namespace lumvar {

/// The note values by level: level 1 is 8192 EDUs (a double whole note), level 9 is 32.
inline constexpr int32_t kLevelCount = 9;
inline constexpr int32_t kLongestValue = 8192;
inline constexpr int32_t kShortestValue = 32;
/// The longest duration SplitEDU takes.
inline constexpr int32_t kLongestSplit = 0x3FFF;

struct Duration {
    int32_t base = 0;  ///< 8192 ... 32, 0 below 32
    int16_t level = 0;
    int16_t dots = 0;
    int32_t remainder = 0;
};

/// The split of a duration of 0..16383 EDUs.
Duration SplitDuration(int32_t edu);

/// pFTX_SplitEDU: 0 ok; 4 edu negative or above 16383; then 2 out null; then 13 size not 12.
int16_t SplitEDU(int32_t edu, uint8_t* parts, int16_t size);
/// pFTX_MakeEDU: the duration, 0 on failure; err 0 ok, 2 null record, 13 size not 12, 20 an
/// invalid value.
int32_t MakeEDU(const uint8_t* parts, int16_t size, int16_t* err);

}  // namespace lumvar
