// The compact notation of entries in score texts (docs/score-format.md), one word an entry:
//
//   ENTRY  := (NOTES | REST) "/" VALUE DOT* FLAG*
//   NOTES  := NOTE ("+" NOTE)*                    a chord, in any order
//   NOTE   := ["~"] LETTER ACCIDENTAL OCTAVE ["[" NAME ("," NAME)* "]"] ["~"]
//             "~" after: tied to the same pitch in the next entry; before: marked tied from the
//             one before; NAME: a note flag (shown, frozen, second, parenthesised, ...), "-NAME"
//             keeps it clear (-tie-end: no mark from a tie before)
//   REST   := "r" ["@" LETTER OCTAVE]             "@": placed on the staff position of the pitch
//   LETTER := a-g or A-G;  ACCIDENTAL := "" | "#"... | "b"... | "n";  OCTAVE := -1 to 9 (4: middle C's)
//   VALUE  := 1 2 4 8 16 32 64 128 (whole, half, quarter ...);  DOT := "."
//   FLAG   := "g" (grace note: takes no time) | "h" (hidden) | "f" (floating rest)
//
// Examples: c4/4 (middle C, a quarter), f#4+a4+d5/2. (a dotted half chord), bb3~/8 (B flat,
// tied on), r/1 (a whole rest), d5/8g (a grace note), r/4h (a hidden rest), f#5[shown,frozen]/4
// (an accidental shown and frozen), r@b4/4 (a quarter rest placed on B4's line).
//
// A tuplet opens with a word "{N:M", "{N/U:M" or "{N/U:M/V" (N notes of the value U in the time
// of M of the value V) and closes with "}" after its last entry; tuplets may lie inside others.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/host/score_builder.h"

namespace host {

/// A word that is not an entry of the notation; the message says why.
class NotationError : public std::runtime_error {
public:
    explicit NotationError(const std::string& what, size_t offset = 0) : std::runtime_error(what), m_offset(offset) {}
    /// Where in the word the mistake is (0: the word as a whole).
    size_t Offset() const { return m_offset; }

private:
    size_t m_offset = 0;
};

/// The entry a word writes; throws NotationError.
WrittenEntry ParseWrittenEntry(std::string_view word);

/// The ratio of a tuplet: `notes` of `noteUnit` EDU in the time of `reference` of
/// `referenceUnit` EDU; a unit not written is nullopt (the tuplet's entries decide it).
struct TupletRatio {
    int16_t notes = 0;
    std::optional<int16_t> noteUnit;
    int16_t reference = 0;
    std::optional<int16_t> referenceUnit;
};

/// The ratio after the "{" of a tuplet: "3:2", "3/8:2", "3/8:1/4"; throws NotationError.
TupletRatio ParseTupletRatio(std::string_view text);

}  // namespace host
