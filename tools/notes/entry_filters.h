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

/// A note entry that became a rest takes its ties with it, as a rest cannot be tied: the notes of
/// the entry before it and of the entry after it (in its cell; over a barline the last entry of
/// the measure before and the first of the measure after, on its staff and layer) that were tied
/// to or from one of its notes, by pitch, lose that tie and its tie record, and the rest loses
/// its own tie records. `before` is the entry at `index` of `array` as it was before it became a
/// rest. The entries of `array` change in place (the caller saves it); a cell over a barline is
/// saved here.
void ReleaseTiesOfRest(hostapi::EntryArray& array, int32_t index, hostapi::ConstEntryView before);

}  // namespace orvex
