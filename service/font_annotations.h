// Font annotation files ("*.FAN", from host year 2001 on): per character slot of a music font,
// six measurements. Every file of the folder the host's settings file names ("Directories",
// "FontAnnotationDir") is read once at start-up into a table of at most 999 fonts; clients
// look slots up by host font number. The file format is in docs/fan-format.md.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "service/lumvar_api.h"

namespace lumvar {

inline constexpr int16_t FAN_LOADED = 0;
inline constexpr int16_t FAN_OLD_HOST = 1;
inline constexpr int16_t FAN_NO_FOLDER = 2;
inline constexpr size_t kMaxAnnotatedFonts = 999;
inline constexpr size_t kFanFontNameSize = 32;
inline constexpr size_t kFanFileNameSize = 80;

struct AnnotatedFont {
    int32_t slotCount = 0;
    std::string fontName;                                    ///< at most 31 bytes
    std::string fileName;                                    ///< without the folder, at most 79 bytes
    std::vector<std::array<uint8_t, FanSlot::kSize>> slots;  ///< in file order, values in the machine's order
};

/// Reads every annotation file (or notes why none is read).
void LoadFontAnnotations();
void FreeFontAnnotations();
/// Reads one file into the table; fonts read before a fault in the file stay.
void ReadFontAnnotationFile(const std::string& path, const std::string& fileName);
int16_t FontAnnotationState();
const std::vector<AnnotatedFont>& AnnotatedFonts();

int16_t GetFANSlotInfo(int16_t font, int16_t slot, uint8_t* out, int16_t size);
int32_t GetFANInfo(int16_t kind, int16_t value, int16_t* err);
int16_t GetFANExtendedInfo(int16_t kind, char* dst, int16_t dstSize, int16_t index);

}  // namespace lumvar
