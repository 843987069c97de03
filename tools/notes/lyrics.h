// The lyric commands of the entry-processing engine: moving long syllables on beat 1, moving or
// left-aligning melisma syllables (and New Spacing's marking of melismas), Shift Lyrics and
// Remove Adjustments. The engine hands each entry with lyrics to the command's worker; the
// workers read and rewrite the entry's lyric assignment records ('edve', 'edse', 'edch') and
// lyric extras ('edLE') straight in the document and leave the entry itself alone, except New
// Spacing's marking, which takes the lyrics flag off the entry.
//
// The workers themselves (MoveLongSyllables, AdjustMelismaSyllables, ShiftLyricsOfEntry and
// ApplyLyricOptions) are declared with the engine's other workers in notes_services.h.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/hostapi/bytes.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/lyric_records.h"
#include "platform/hostapi/types.h"

namespace orvex {

struct TFMisc;
struct TNSPchanges;

using hostapi::kTagLyricExtras;

/// Options of Move Syllables, by row.
enum MoveSyllablesRow : size_t {
    MOVE_SYLLABLES_MIN_WIDTH = 0,  ///< syllables at most this wide stay
    MOVE_SYLLABLES_FACTOR = 1,     ///< proportionality factor in percent
    MOVE_SYLLABLES_IGNORE_PREVIOUS = 2
};

/// Options of Left-Align Melisma, by row. Move Syllables' second command reads its own rows at
/// the same places; there row 1 is the proportionality factor the older hosts' shift uses.
enum MelismaRow : size_t {
    MELISMA_MIN_WIDTH = 0,
    MELISMA_SHIFT = 1,  ///< additional horizontal displacement
    MELISMA_IGNORE_PREVIOUS = 2
};

/// Options of Shift Lyrics, by row.
enum ShiftLyricsRow : size_t {
    SHIFT_LYRICS_SHORTEST = 0,  ///< horizontal shift on the shortest affected notes
    SHIFT_LYRICS_LONGEST = 1,   ///< horizontal shift on the longest affected notes
    SHIFT_LYRICS_VERTICAL = 2,
    SHIFT_LYRICS_MIN_LENGTH = 3,  ///< EDUs
    SHIFT_LYRICS_MAX_LENGTH = 4,  ///< EDUs
    SHIFT_LYRICS_DOTTED_AUTO = 5,
    SHIFT_LYRICS_DOTTED_SHIFT = 6,
    SHIFT_LYRICS_MODIFY_ADJUSTED = 7,
    SHIFT_LYRICS_IGNORE_PREVIOUS = 8
};

/// Options of Remove Adjustments, by row.
enum RemoveAdjustmentsRow : size_t {
    REMOVE_LYRICS_HORIZONTAL = 0,
    REMOVE_LYRICS_VERTICAL = 1,
    REMOVE_LYRICS_ALIGNMENT = 2,
    REMOVE_LYRICS_JUSTIFICATION = 3
};

/// 'edLE' entry detail (entry, inci of the assignment), 10 bytes: the syllable's alignment and
/// justification; bytes 0-7 are kept as they are.
struct LyricExtrasLayout {
    static constexpr size_t kSize = 10;
    static constexpr size_t kFlags = 8;                 ///< @8, u16
    static constexpr uint16_t kJustification = 0x0003;  ///< justification setting
    static constexpr uint16_t kAlignment = 0x0300;      ///< alignment setting
    static constexpr uint16_t kMelismaLeft = 0x0202;    ///< set for a left-aligned melisma syllable
};

/// A lyric assignment as the engine's workers read it: bytes 6-7 are the vertical offset,
/// bytes 8-9 go back unchanged.
struct LyricAssignment {
    static constexpr size_t kVertical = 6;  ///< @6, i16, vertical offset (EVPU)
    std::array<uint8_t, hostapi::LyricAssignmentLayout::kSize> bytes{};

    int16_t textNumber() const { return hostapi::ReadI16(bytes.data(), hostapi::LyricAssignmentLayout::kTextNumber); }
    int16_t syllable() const { return hostapi::ReadI16(bytes.data(), hostapi::LyricAssignmentLayout::kSyllable); }
    int16_t horizontal() const { return hostapi::ReadI16(bytes.data(), hostapi::LyricAssignmentLayout::kOffset); }
    int16_t vertical() const { return hostapi::ReadI16(bytes.data(), kVertical); }
    void setHorizontal(int32_t v);  ///< kept within 16 bits
    void setVertical(int32_t v);    ///< kept within 16 bits
};

/// The 1-based place of the first blank or hyphen of a text; 0 when it has none.
int32_t FindWordBreak(std::string_view text);

/// The word of the assignment's syllable in `text` (the whole lyric text of the kind): the
/// syllable as the host places it (service 42), without caret commands, up to its first blank
/// or hyphen; empty when the syllable is absent. `size` receives the font size there (12 when
/// the host reports none).
std::string LoadTextAndSplit(const LyricAssignment& assignment, hostapi::Tag textTag, const char* text, int32_t& size);
/// The same from the kind's lyric text record; empty (size 12) when the text cannot be loaded.
std::string LoadSyllableWord(const LyricAssignment& assignment, hostapi::Tag textTag, int32_t& size);
/// About two thirds of the font size per letter: ((letters x size x 16) / 12) / 2.
int32_t EstimateSyllableWidth(const LyricAssignment& assignment, hostapi::Tag textTag);

/// The melisma worker for one kind: every assignment of `entry` whose text does not go on on
/// `following` (a note entry) is a melisma syllable and is moved (items 5 and 13) or marked for
/// New Spacing (item 20).
void AdjustMelismaKind(TFMisc& context, hostapi::EntryView entry, hostapi::ConstEntryView following,
                       hostapi::Tag assignmentTag, hostapi::Tag textTag, int32_t item, TNSPchanges& change);

/// Remove Adjustments for one kind: the offsets, and with `withExtras` the alignment and
/// justification settings of the existing 'edLE' records, as RemoveAdjustmentsRow asks.
bool RemoveLyricAdjustments(TFMisc& context, hostapi::ConstEntryView entry, bool withExtras,
                            hostapi::Tag assignmentTag);

}  // namespace orvex
