// The compact notation of entries in score texts (docs/score-format.md), one word an entry:
//
//   ENTRY  := (NOTES | "r") "/" VALUE DOT* FLAG*
//   NOTES  := NOTE ("+" NOTE)*                    a chord, in any order
//   NOTE   := LETTER ACCIDENTAL OCTAVE ["~"]      "~": tied to the same pitch in the next entry
//   LETTER := a-g or A-G;  ACCIDENTAL := "" | "#"... | "b"... | "n";  OCTAVE := -1 to 9 (4: middle C's)
//   VALUE  := 1 2 4 8 16 32 64 128 (whole, half, quarter ...);  DOT := "."
//   FLAG   := "g" (grace note: takes no time) | "h" (hidden)
//
// Examples: c4/4 (middle C, a quarter), f#4+a4+d5/2. (a dotted half chord), bb3~/8 (B flat,
// tied on), r/1 (a whole rest), d5/8g (a grace note), r/4h (a hidden rest).
#pragma once

#include <stdexcept>
#include <string_view>

#include "platform/host/score_builder.h"

namespace host {

/// A word that is not an entry of the notation; the message says why.
class NotationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// The entry a word writes; throws NotationError.
WrittenEntry ParseWrittenEntry(std::string_view word);

}  // namespace host
