// The secondary beam breaker: breaks the secondary beams of beamed groups into parts, breaks
// primary beams on beats and unbeams rests, over the selected region.
#pragma once

#include <array>
#include <cstdint>

#include "core/host/finxess_records.h"

namespace orvex {

/// All settings of one run of the beam breaker. Flags are 0 off, non-zero on.
struct BeamBreakOptions {
    std::array<int32_t, 5> pattern1{2, 3, 0, 0, 0};  ///< custom division 1: notes of parts 1-5
    std::array<int32_t, 5> pattern2{4, 3, 0, 0, 0};  ///< custom division 2
    /// Parts of a tuplet of n notes (index n): > 0 parts, -1 pattern1, -2 pattern2, 0 no rule.
    std::array<int32_t, 33> tupletParts{};
    int16_t breakFourInTwo = 0;     ///< split groups of exactly four equal entries too
    int16_t restsInBeamGroups = 0;  ///< rests are part of beam groups (document option)
    int16_t breakAll = 0;           ///< break all secondary beams at a break point
    int16_t unbeamRests = 0;        ///< unbeam every rest
    int16_t removeOldBreaks = 0;    ///< remove existing secondary beam breaks
    int32_t quarterParts = 2;       ///< parts of groups lasting 1024 EDU
    int32_t eighthParts = 2;        ///< 512 EDU
    int32_t sixteenthParts = 2;     ///< 256 EDU
    int32_t thirtySecondParts = 2;  ///< 128 EDU
    int16_t breakSecondary = 1;     ///< master switch of secondary breaking
    int16_t simplifyRests = 1;
    int16_t breakAtHalfBeatRest = 1;
    int16_t unbeamRestBeats = 1;
    int16_t beamRestsToEighths = 1;
    int16_t primaryIfWrongDirection = 1;
    int16_t breakPrimary = 0;  ///< break primary beams on beats
    int16_t onlyShortNotes = 1;
    int16_t wholeMeasure = 1;
    int32_t beatLength = 1024;  ///< beat of the primary breaks, EDU
    int32_t shortLimit = 512;   ///< EDU limit of onlyShortNotes
    int32_t oddRests = 1;
    EDTMeasureSpec measure;    ///< working copy of the current measure's record
    uint8_t regularMeter = 0;  ///< the measure's flag byte has neither bit of 0xC0
};

/// Copies the default tuplet rules into the record; nothing else.
void InitBeamBreakerOptions(BeamBreakOptions& options);
/// Runs over the current selection.
void BreakSecondaryBeams(BeamBreakOptions& options);

}  // namespace orvex
