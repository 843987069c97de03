// Measure numbers as the host displays them and back, the host's text commands, raw texts and
// text blocks.
#pragma once

#include <cstdint>
#include <string>

#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/measure_region_records.h"
#include "platform/hostapi/types.h"

namespace lumvar {

using hostapi::kTagTextBlock;
/// The characters of a text block.
inline constexpr hostapi::Tag kTagRawText = hostapi::kTagTextBlockText;
inline constexpr uint32_t kTextBlockSize = 48;
/// The text buffer of text blocks and group names, terminator included.
inline constexpr size_t kTextBufferSize = 1000;

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
/// The text of a text block, its commands removed; empty when it cannot be loaded.
std::string TextBlockText(int16_t key);

}  // namespace lumvar
