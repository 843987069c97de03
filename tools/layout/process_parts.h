// "Vx &Process extracted parts...": the per-cell worker that reduces a staff extracted from a
// multi-part staff to one part, as the smart explosion calls it for every measure of a target
// staff, and the list of entry pairs whose text records are linked when the explosion ends.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "core/host/finxess_records.h"
#include "core/option_element.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/types.h"

namespace orvex {

class RunEnvironment;

struct DynamicsRow;
struct NInfo;

/// Reduces one cell (region word, measure, staff slot) within [from, to) to the part that the
/// part settings choose; with a dynamics row it keeps the lowest and highest placements and
/// appends one mark. Answers 0 when nothing was loaded.
int32_t ProcessExtractedParts(const RunEnvironment& environment, int16_t cellKey, int32_t measure, int32_t staff,
                              hostapi::Edu from, hostapi::Edu to, const OptionArray& partSettings,
                              const ExtendedOptionArray& moreSettings, bool refreshShapes, DynamicsRow* dynamics,
                              int32_t staffValue);

/// Joins adjacent rests of one layer at the items that the worker marked.
void MergeCellHelper(int32_t measure, hostapi::EntryArray* array, const NInfo& info);
/// Joins entries i and i + 1 when both are rests of one voice, their sum is a plain or dotted
/// value and they keep the beats apart; answers whether it joined them.
bool JoinAdjacentRests(hostapi::EntryArray* array, int32_t i, const EDTMeasureSpec& measureRecord, int32_t firstMark,
                       int32_t secondMark);
/// Shows the hidden tuplets of an entry: its tuplet records that start and end alike.
void MarkMatchingEntries(hostapi::EntryNumber entry);

/// The pairs (second-last entry, last entry) of the cells the worker saved; the explosion links
/// their text records at its end and empties the list.
std::vector<std::pair<hostapi::EntryNumber, hostapi::EntryNumber>>& ExplosionEntryPairs();

}  // namespace orvex
