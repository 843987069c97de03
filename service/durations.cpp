#include "service/durations.h"

#include <climits>
#include <cstdint>
#include <cstring>

#include "platform/hostapi/bytes.h"
#include "service/lumvar_api.h"

namespace lumvar {

Duration SplitDuration(int32_t edu) {
    Duration parts;
    int32_t rest = edu;
    int16_t level = 1;
    for (int32_t base = kLongestValue; base >= kShortestValue; base /= 2, ++level) {
        if (base > rest) {
            continue;
        }
        parts.level = level;
        parts.base = base;
        rest -= base;
        for (int32_t dot = base / 2; dot > 0 && rest >= dot; dot /= 2) {
            ++parts.dots;
            rest -= dot;
        }
        break;
    }
    parts.remainder = rest;
    return parts;
}

int16_t SplitEDU(int32_t edu, uint8_t* parts, int16_t size) {
    if (edu < 0 || edu > kLongestSplit) {
        return ERR_OUT_OF_RANGE;
    }
    if (parts == nullptr) {
        return ERR_NULL_ARGUMENT;
    }
    if (size != static_cast<int16_t>(DurationParts::kSize)) {
        return ERR_BAD_SIZE;
    }
    const Duration split = SplitDuration(edu);
    std::memset(parts, 0, DurationParts::kSize);
    hostapi::WriteI32(parts, DurationParts::kBase, split.base);
    hostapi::WriteI16(parts, DurationParts::kLevel, split.level);
    hostapi::WriteI16(parts, DurationParts::kDots, split.dots);
    hostapi::WriteI32(parts, DurationParts::kRemainder, split.remainder);
    return ERR_OK;
}

int32_t MakeEDU(const uint8_t* parts, int16_t size, int16_t* err) {
    const auto fail = [err](int16_t code) {
        if (err != nullptr) {
            *err = code;
        }
        return 0;
    };
    if (parts == nullptr) {
        return fail(ERR_NULL_ARGUMENT);
    }
    if (size != static_cast<int16_t>(DurationParts::kSize)) {
        return fail(ERR_BAD_SIZE);
    }
    int32_t base = hostapi::ReadI32(parts, DurationParts::kBase);
    const int16_t level = hostapi::ReadI16(parts, DurationParts::kLevel);
    const int16_t dots = hostapi::ReadI16(parts, DurationParts::kDots);
    const int32_t remainder = hostapi::ReadI32(parts, DurationParts::kRemainder);
    if (base == 0) {
        if (level == 0) {
            return fail(ERR_OK);
        }
        if (level < 0 || level > kLevelCount) {
            return fail(ERR_INVALID_VALUE);
        }
        base = kLongestValue >> (level - 1);
    }
    bool known = false;
    for (int32_t value = kLongestValue; value >= kShortestValue; value /= 2) {
        known = known || value == base;
    }
    if (!known) {
        return fail(ERR_INVALID_VALUE);
    }
    // One term per dot, each half the one before (truncated); a dot count past the base's
    // halvings adds nothing more, which also bounds the loop.
    int32_t total = base;
    int32_t term = base / 2;
    for (int16_t dot = 0; dot < dots && term > 0; ++dot) {
        total += term;
        term /= 2;
    }
    // A remainder that takes the sum out of the 32-bit range is no duration.
    const int64_t sum = int64_t{total} + remainder;
    if (sum < INT32_MIN || sum > INT32_MAX) {
        return fail(ERR_INVALID_VALUE);
    }
    if (err != nullptr) {
        *err = ERR_OK;
    }
    return static_cast<int32_t>(sum);
}

}  // namespace lumvar
