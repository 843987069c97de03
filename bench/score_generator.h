// The generator of large orchestral scores for the benchmark: a score text (docs/score-format.md)
// of `staves` staves and `measures` measures, made from a seed, the same text for the same seed
// and size on every machine. It gives every command work: varied rhythms, chords, rests, tied
// notes, accidentals and grace notes; a second layer on the wind staves; clef changes (also
// within a measure); changes of key and time; text expressions on measures and on notes;
// lyrics on the voices; slurs and hairpins; chord symbols; groups, beat charts, a measure
// number region, pages and staff systems.
#pragma once

#include <cstdint>
#include <string>

namespace bench {

struct ScoreSize {
    int32_t staves = 40;
    int32_t measures = 50;
};

/// The score text of a generated score.
std::string GenerateScoreText(const ScoreSize& size, uint64_t seed);

}  // namespace bench
