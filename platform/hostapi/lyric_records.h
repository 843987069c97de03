// Lyrics as the host stores them and as its lyric services (42 and 49) describe them.
//
// A lyric text is an other record ('txve' verse, 'txch' chorus, 'txse' section; key: text
// number, inci 0) holding the host's 8-bit characters and a terminating zero. An entry that sings
// a syllable carries entry flag 0x00100000 and one assignment record per syllable ('edve',
// 'edch', 'edse': entry detail, entry number and inci; 10 bytes).
//
// Syllables. The host reads a lyric text from its start in the font state kDefaultLyricFont:
// - A caret command "^word(arguments)" is no character; it changes the font state: "^font(NAME)"
//   the font to the number of NAME in the document's font table (a name the table does not hold
//   leaves the font as it is), "^size(N)" the size, "^efx(WORDS)" the style: "plain" clears it,
//   each of the words kLyricStyleWords sets its bit (several words separated by commas or
//   blanks). "^^" is the character '^'. A '^' whose command has no ')' ends the text.
// - Blanks, tabs, CR and LF end a word; a hyphen ends a syllable inside a word. Runs of these
//   separators count as one separator. Every other byte (0xA0, the invisible blank, too) is a
//   character of a syllable; caret commands inside a syllable do not split it.
// - A syllable followed by a hyphen carries the hyphen mark; one followed by anything else (or
//   by the end of the text) ends its word and is of kind 1 (kind 0 with the hyphen mark).
// - A syllable is as wide as its characters: kLyricCharacterWidth EVPU per point of the size at
//   its first character and per character (a size of 0 counts as 12 points).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/hostapi/bytes.h"
#include "platform/hostapi/types.h"

namespace hostapi {

inline constexpr Tag kTagVerseText = MakeTag("txve");
inline constexpr Tag kTagChorusText = MakeTag("txch");
inline constexpr Tag kTagSectionText = MakeTag("txse");
inline constexpr Tag kTagVerseAssignment = MakeTag("edve");
inline constexpr Tag kTagChorusAssignment = MakeTag("edch");
inline constexpr Tag kTagSectionAssignment = MakeTag("edse");
/// The extra settings of an entry's lyrics.
inline constexpr Tag kTagLyricExtras = MakeTag("edLE");

/// The three lyric kinds in the host's order: verse, chorus, section.
inline constexpr std::array<Tag, 3> kLyricTextTags = {kTagVerseText, kTagChorusText, kTagSectionText};
inline constexpr std::array<Tag, 3> kLyricAssignmentTags = {kTagVerseAssignment, kTagChorusAssignment,
                                                            kTagSectionAssignment};

/// 'edve' / 'edch' / 'edse' entry detail (entry, inci), 10 bytes: one syllable on an entry.
struct LyricAssignmentLayout {
    static constexpr size_t kSize = 10;
    static constexpr size_t kTextNumber = 0;  ///< @0, i16, the lyric text (its record's key)
    static constexpr size_t kSyllable = 2;    ///< @2, i16, the syllable, counted from 1
    static constexpr size_t kOffset = 4;      ///< @4, i16, horizontal offset (EVPU)
    static constexpr size_t kZero = 6;        ///< @6, i16, 0
    static constexpr size_t kExtension = 8;   ///< @8, i16, length of the word extension (EVPU), 0 = none
};

/// The style words of caret command "^efx", by style bit (0x01 first).
inline constexpr std::array<const char*, 7> kLyricStyleWords = {"bold",   "italic",    "underline", "outline",
                                                                "shadow", "strikeout", "absolute"};
inline constexpr int32_t kLyricCharacterWidth = 2;
inline constexpr int16_t kDefaultLyricSize = 12;

/// The font state at a place of a lyric text (22 bytes); services 42 and 49 fill it. Service 42
/// also leaves the length of the syllable it found (0 for none) at kSyllableLength.
class SyllableInfo {
public:
    static constexpr size_t kSize = 22;
    static constexpr size_t kFont = 0;            ///< @0, i16, font number
    static constexpr size_t kFontSize = 2;        ///< @2, i16, points
    static constexpr size_t kStyle = 4;           ///< @4, u16, style bits (kLyricStyleWords)
    static constexpr size_t kSyllableLength = 6;  ///< @6, i16, bytes of the syllable found by 42
    // Bytes 8-21 are 0.

    std::array<uint8_t, kSize> bytes{};

    int16_t font() const { return ReadI16(bytes.data(), kFont); }
    int16_t size() const { return ReadI16(bytes.data(), kFontSize); }
    uint16_t style() const { return ReadU16(bytes.data(), kStyle); }
    int16_t syllableLength() const { return ReadI16(bytes.data(), kSyllableLength); }
    void setFont(int16_t v) { WriteI16(bytes.data(), kFont, v); }
    void setSize(int16_t v) { WriteI16(bytes.data(), kFontSize, v); }
    void setStyle(uint16_t v) { WriteU16(bytes.data(), kStyle, v); }
    void setSyllableLength(int16_t v) { WriteI16(bytes.data(), kSyllableLength, v); }
};
static_assert(sizeof(SyllableInfo) == SyllableInfo::kSize);

/// The font state at the start of every lyric text: font 0, 12 points, plain.
inline SyllableInfo DefaultLyricFont() {
    SyllableInfo info;
    info.setSize(kDefaultLyricSize);
    return info;
}

}  // namespace hostapi
