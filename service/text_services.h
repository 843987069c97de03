// Measure numbers as the host displays them and back, the host's text commands, raw texts and
// text blocks.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/measure_region_records.h"
#include "platform/hostapi/types.h"

namespace lumvar {

using hostapi::kTagTextBlock;
/// The characters of a text block.
inline constexpr hostapi::Tag kTagRawText = hostapi::kTagTextBlockText;
inline constexpr uint32_t kTextBlockSize = 48;
/// The text buffer of text blocks and of staff and group names, terminator included.
inline constexpr size_t kTextBufferSize = 1000;

/// A result buffer of the text and name services and the whole length of the text it answered
/// last: a text longer than the buffer holds is answered cut, and pFTX_TextLength tells the
/// client its whole length, so that no client takes the cut text for the whole.
struct AnsweredText {
    std::array<char, kTextBufferSize> chars{};
    size_t wholeLength = 0;

    /// Keeps as much of the text as the buffer holds, with its zero, and the text's whole length.
    const char* Keep(std::string_view text) {
        const size_t n = std::min(text.size(), chars.size() - 1);
        std::copy_n(text.data(), n, chars.data());
        chars[n] = '\0';
        wholeLength = text.size();
        return chars.data();
    }
};

/// Measure-number region record (88 bytes): 'otMN' under host year 2000, 'SOMN' otherwise; the
/// host's layout with the style flags Lumvar2000 reads.
struct MeasureNumberRegion : hostapi::MeasureNumberRegionLayout {
    static constexpr uint32_t kSize = hostapi::MeasureNumberRegionLayout::kSize;
    static constexpr int16_t kRepeatedCharacter = 0x20;
    static constexpr int16_t kDigitsFromOne = 0x40;
    static constexpr int16_t kNoCorrection = 0x80;
};
hostapi::Tag MeasureNumberRegionTag();

int16_t MeasureToString(int16_t measure, char* out);
int16_t StringToMeasure(const char* text);
/// Removes the text commands in place; copies the arguments of leading "font", "size" and
/// "efx" commands (at most 31 bytes each) into the given buffers; answers the new length.
int32_t StripCarets(char* text, char* fontOut, char* sizeOut, char* efxOut);
/// The text without its commands.
std::string StripCaretsOf(std::string text);
int16_t GetRawText(int16_t key, void* buffer, uint32_t size, uint32_t tag);
int16_t SetRawText(int16_t* key, const char* text, uint32_t tag);
const char* GetTextBlock(int16_t key, int16_t strip, void* record48);
int16_t SetTextBlock(int16_t* blockKey, void* record48, const char* text);
/// The text of a text block, whole, its commands removed; empty when it cannot be loaded.
std::string TextBlockText(int16_t key);
/// The whole length in bytes (without its zero) of a text that a text or name service answered
/// last in its buffer (pFTX_GetTextBlock, pFTX_GetInstName, pFTX_GetInstNameInIUList,
/// pFTX_GetGroupName): more than the buffer's 999 characters when the answer was cut. Any
/// other text: its own length; none: 0.
uint32_t TextLength(const char* text);

}  // namespace lumvar
