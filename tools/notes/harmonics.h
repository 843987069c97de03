// Harmonics: turns into diamonds the upper notes of string harmonics written as an interval.
// Every two-note entry of the selection whose interval is a harmonic of the chosen kind gets a
// diamond notehead on its upper note, optionally playback data so that the sounding pitch is
// heard, and optionally a third, smaller note at the sounding pitch, in parentheses.
#pragma once

#include <cstdint>
#include <optional>

#include "core/option_element.h"

namespace orvex {

/// What the harmonics form's Go passes to the run.
struct HarmonicsSettings {
    int32_t interval = 4;  ///< the interval of "the following interval only" (fourth = 4)
    int32_t workOn = 0;    ///< 0 all theoretical, 1 violin, 2 fourths-sixths, 3 fourths-fifths, 4 the interval, 5 all
    bool overwrite = false;
    int32_t diamond = 79;  ///< notehead character of white notes
    bool playback = true;
    bool addSound = false;
    bool parenthesize = true;
    int32_t percentage = 60;
    int32_t blackDiamond = 79;  ///< notehead character of notes shorter than a half
    OptionArray parentheses{};  ///< the stored options of tool 10 ("Parentheses...")
};

/// The sounding interval of a harmonic by its semitone distance: diatonic steps and semitones
/// above the lower note; none for a distance that gives no known harmonic.
struct SoundingInterval {
    int32_t steps = 0;
    int32_t semitones = 0;
};
std::optional<SoundingInterval> HarmonicSounding(int32_t semitones);

/// Whether an interval (d: 4 = fourth; s: semitones) is a harmonic of the "work on" choice.
bool IsHarmonic(int32_t workOn, int32_t interval, int32_t d, int32_t s);

/// Works on the selection; tells the user when no harmonic was found.
void RunHarmonics(const HarmonicsSettings& settings);

}  // namespace orvex
