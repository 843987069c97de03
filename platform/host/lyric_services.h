// The host's lyric services, 42 (syllable place) and 49 (syllable text), and its placement
// service 44, by the rules that platform/hostapi/lyric_records.h and placement_records.h give.
// Each works on the host running now and its document in front; a call without a document or
// with an interface version the host does not know fails (0).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/host/document.h"
#include "platform/hostapi/lyric_records.h"

namespace host {

/// One syllable of a lyric text.
struct LyricSyllable {
    size_t start = 0;            ///< byte offset of its first character
    size_t end = 0;              ///< one past its last character (and the commands inside it)
    std::string characters;      ///< without caret commands
    hostapi::SyllableInfo font;  ///< the font state at its first character
    bool hyphen = false;         ///< a hyphen follows it
};

/// Reads the syllables of a lyric text one after the other.
class LyricReader {
public:
    /// `fonts` (may be null) names the fonts of "^font(NAME)".
    LyricReader(std::string_view text, const hostapi::SyllableInfo& start, const FontTable* fonts);
    /// The next syllable; false at the end of the text.
    bool Next(LyricSyllable& syllable);
    /// The font state where reading stands.
    const hostapi::SyllableInfo& State() const { return m_state; }

private:
    /// At a '^': applies the command and steps over it; answers the character it stands for
    /// ('^' for "^^"), or -1 for a command.
    int32_t Command();
    void Apply(std::string_view word, std::string_view arguments);

    std::string_view m_text;
    size_t m_at = 0;
    hostapi::SyllableInfo m_state;
    const FontTable* m_fonts;
};

/// The width of a syllable's characters in its font state (EVPU).
int32_t SyllableWidth(std::string_view characters, const hostapi::SyllableInfo& font);

/// The address of service 42, 44 or 49; nullptr for another ordinal.
void* LyricServiceByOrdinal(int32_t ordinal);

}  // namespace host
