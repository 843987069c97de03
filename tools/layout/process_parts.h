// "Vx &Process extracted parts...": the per-cell worker that reduces a staff extracted from a
// multi-part staff to one part, as the smart explosion calls it for every measure of a target
// staff, and the list of entry pairs whose text records are linked when the explosion ends.
#pragma once

#include <cstddef>
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

/// Options of Process Extracted Parts, by row; the explosion hands its cells rows of this shape.
enum ProcessPartsRow : size_t {
    PARTS_SINGLE_NOTES_UNISON = 0,  ///< single notes count as unisons
    PARTS_EXTRACT_FROM_TWO = 1,     ///< from chords of two notes, extract note no. (0 = none, 1 = top)
    PARTS_EXTRACT_FROM_THREE = 2,
    PARTS_EXTRACT_FROM_FOUR = 3,
    PARTS_EXTRACT_FROM_FIVE = 4,
    PARTS_EXTRACT_FROM_SIX = 5,
    PARTS_EXTRACT_FROM_SEVEN = 6,
    PARTS_INHERIT_ARTICULATIONS = 7,  ///< secondary layers inherit articulations, slurs, etc.
    PARTS_IGNORE_LAYERS = 8           ///< text: the layers to leave alone, such as "3,4"
};

/// The row that says which note to extract from a chord of `notes` notes (2-7).
constexpr size_t ExtractRowOfChord(int32_t notes) {
    return PARTS_EXTRACT_FROM_TWO + static_cast<size_t>(notes - 2);
}

/// Options of the parts' "More..." page, by row.
enum MorePartOptionsRow : size_t {
    MORE_PARTS_VOICE_ORDER = 0,
    MORE_PARTS_LAYER_ORDER = 1,
    MORE_PARTS_MID_MEASURE_CHANGES = 2,
    MORE_PARTS_CLEAR_DISPLACEMENTS = 3,
    MORE_PARTS_RESET_TIES = 4,
    MORE_PARTS_RESET_ACCIDENTALS = 5,
    MORE_PARTS_OPTIMIZE_RESTS = 6,
    MORE_PARTS_CLEAR_EMPTY = 7,
    MORE_PARTS_IGNORE_HIDDEN = 8,
    MORE_PARTS_UNFREEZE_SLURS = 9,
    MORE_PARTS_UNHIDE_TUPLETS = 10
};

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
