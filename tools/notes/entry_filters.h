// The Remove command's entry filters ("Vx &Remove...", item 1): for every entry in the region's
// position range of each shown layer the entry engine hands over, removes the kinds of manual
// adjustment the options select, turns notes into rests at a rate that runs from the first to
// the last measure of the selection, removes stems and deletes hidden rests.
#pragma once

#include <cstdint>

#include "platform/hostapi/entry_array.h"

namespace orvex {

struct TFMisc;

/// Options of the Remove command, by row.
enum RemoveRow : size_t {
    REMOVE_REST_DISPLACEMENTS = 0,
    REMOVE_HORIZONTAL_DISPLACEMENTS = 1,
    REMOVE_STEM_ALTERATIONS = 2,
    REMOVE_BEAM_ANGLES = 3,
    REMOVE_CONVERT_TO_RESTS = 4,
    REMOVE_LEFT_PERCENTAGE = 5,
    REMOVE_RIGHT_PERCENTAGE = 6,
    REMOVE_STEMS = 7,
    REMOVE_UNBEAM = 8,
    REMOVE_HIDDEN_RESTS = 9
};

/// A pseudo-random number from 0 to n - 1 of the plug-in's one generator; 0 for n of 0 or below.
int32_t RandomBelow(int32_t n);
/// Starts the generator again from a seed, so that a run can be repeated exactly.
void SeedRandom(uint32_t seed);

/// The percentage of notes turned into rests in `measure`: from the left percentage at the first
/// measure of the selection to the right one at its last (the left one when both are one).
int32_t ConversionRate(int32_t measure, int32_t firstMeasure, int32_t lastMeasure, int32_t left, int32_t right);

/// Applies the Remove options to one entry (`next` is the entry after it, or none). Answers
/// true when the entry changed; a hidden rest to be removed sets the context's delete-current-
/// entry flag instead (and answers true as well). Detail records deleted go to the document at
/// once and do not count as a change of the entry.
bool ApplyEntryFilters(TFMisc& context, hostapi::EntryView entry, const hostapi::EntryView* next);

}  // namespace orvex
