// The names of the bits of an entry's two flag words and of a note's flags, as the cell listing
// shows them and score texts write them (docs/score-format.md): one table each, so that what a
// listing shows can be written back. A name of several words is written with hyphens for the
// blanks in a score text ("beam start" is beam-start).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/hostapi/entry_array.h"

namespace host {

struct FlagName {
    uint32_t bit;
    std::string_view name;
};

/// Bits of the entry flag word (u32 at byte 8), in the order a listing names them. The note bit
/// is not among them: the notes show it.
inline constexpr std::array<FlagName, 20> kEntryFlagNames = {{
    {hostapi::kEntryCreated, "created"},
    {hostapi::kEntryVoice2Start, "voice 2 start"},
    {hostapi::kEntryVoice2, "voice 2"},
    {hostapi::kEntryChordSymbols, "chord symbols"},
    {hostapi::kEntryFloatingRest, "floating"},
    {hostapi::kEntryGrace, "grace"},
    {hostapi::kEntryNoteDetails, "note details"},
    {hostapi::kEntryArticulations, "articulations"},
    {hostapi::kEntryLyrics, "lyrics"},
    {hostapi::kEntryTuplet, "tuplet"},
    {hostapi::kEntryPlayback, "playback"},
    {hostapi::kEntryHidden, "hidden"},
    {hostapi::kEntryTremolo, "tremolo"},
    {hostapi::kEntryFlippedTie, "flipped tie"},
    {hostapi::kEntryTieDetails, "tie details"},
    {hostapi::kEntryBeamStart, "beam start"},
    {hostapi::kEntrySecondaryBreak, "secondary break"},
    {hostapi::kEntryVoiceFree, "voice free"},
    {hostapi::kEntryStemDetails, "stem details"},
    {hostapi::kEntryStemUp, "stem up"},
}};

/// Bits of the entry's second flag word (u16 at byte 12).
inline constexpr std::array<FlagName, 6> kEntryMoreFlagNames = {{
    {hostapi::kEntryMoreExpressions, "note expressions"},
    {hostapi::kEntryMoreNotesChanged, "notes changed"},
    {hostapi::kEntryMoreSmartShapes, "note shapes"},
    {hostapi::kEntryMoreSlashedGrace, "slashed"},
    {hostapi::kEntryMorePlayback, "playback adjusted"},
    {hostapi::kEntryMoreGenerated, "playback note"},
}};

/// Note flags (u32 at byte 6 of a note) other than the ties, which the notation writes as "~".
inline constexpr std::array<FlagName, 8> kNoteFlagNames = {{
    {hostapi::kNoteCreated, "created"},
    {hostapi::kNoteAccidentalShown, "shown"},
    {hostapi::kNoteAccidentalFrozen, "frozen"},
    {hostapi::kNoteAccidentalSecond, "second"},
    {hostapi::kNoteAccidentalParenthesised, "parenthesised"},
    {hostapi::kNotePlayback, "playback"},
    {hostapi::kNoteFlipUp, "flip-up"},
    {hostapi::kNoteFlipDown, "flip-down"},
}};

/// A name as a score text writes it: its blanks as hyphens.
inline std::string ScoreTextName(std::string_view name) {
    std::string word(name);
    for (char& c : word) {
        c = c == ' ' ? '-' : c;
    }
    return word;
}

/// The bit of a name as a score text writes it, from a table; nullopt for another word.
template <size_t N>
std::optional<uint32_t> FlagOfName(const std::array<FlagName, N>& names, std::string_view word) {
    for (const FlagName& name : names) {
        if (ScoreTextName(name.name) == word) {
            return name.bit;
        }
    }
    return std::nullopt;
}

}  // namespace host
