// The part distribution table of one measure of a multi-part staff: which note of which entry
// belongs to which part at every moment at which something starts. Parts are columns (voice
// slots), event positions are rows (items). Beside it, the queries over the entries of a staff
// group that find event positions and clean split points, and the routine that reduces one item
// to the note of one part.
//
// Positions are EDU from the start of the measure. The layer arrays are the four entry arrays of
// a cell, any of them null for an empty layer.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/host/finxess_entries.h"
#include "core/option_element.h"

namespace orvex {

inline constexpr int32_t kNInfoItems = 200;     ///< items of a table, the end mark included
inline constexpr int32_t kNInfoSlots = 12;      ///< voice slots of an item
inline constexpr uint8_t kNInfoEndMark = 255;   ///< used-slots byte of the item after the last
inline constexpr Edu kNoPosition = 2147483647;  ///< none, or the end of the measure

/// One part's share of an item.
struct VoiceSlot {
    int32_t entryIndex = 0;    ///< the entry's index in its layer's array
    uint8_t secondVoice = 0;   ///< 1 when the entry is of the second voice
    uint8_t layer = 0;         ///< 0-3
    uint8_t noteIndex = 0;     ///< the note inside the entry (0 for a rest)
    uint8_t part = 0;          ///< the part assigned to the slot (0 = none)
    uint8_t partKind = 0;      ///< the kind of the designation that assigned it
    int16_t detailNumber = 0;  ///< the attached expression record that carried the designation
};

/// One event position.
struct NInfoItem {
    int32_t position = 0;
    uint8_t usedSlots = 0;    ///< kNInfoEndMark: the item after the last one
    uint8_t noteEntries = 0;  ///< slots that come from notes
    uint8_t restsOnly = 0;    ///< 1 until a slot from a note is placed
    uint8_t mark = 0;         ///< free for the callers
    std::array<VoiceSlot, kNInfoSlots> slots{};
};

/// A stretch of items in which one layer and voice filled a block of slot columns.
struct SlotRun {
    int32_t layer = 0;
    int32_t voice = 0;  ///< 0 first voice, 1 second voice
    int32_t width = 0;  ///< columns the run occupies
    int32_t noteEntries = 0;
    int32_t firstItem = 0;
    int32_t lastItem = 0;
    int32_t firstSlot = 0;
    int32_t lastSlot = 0;
    uint8_t allFlagged = 1;  ///< 0 when a note of the run comes from an entry with flag bit 0 clear
};

/// The distribution table of one staff, reused measure after measure.
struct NInfo {
    int32_t itemCount = 0;
    int32_t slotCount = 0;  ///< the most slots any item holds
    std::array<uint8_t, 4> layerSlotCounts{};
    std::array<NInfoItem, kNInfoItems> items{};
    std::vector<SlotRun> runs;
};

/// Fills the table with the items whose positions lie in [from, to). Layers whose number occurs
/// in `ignoredLayers` ("3,4") place no slots. The four flags are the options "Maintain voice
/// order", "Maintain layer order", "Allow mid-measure voice changes" and "Ignore hidden
/// entries". False, after telling the user, when a later pass meets more event positions than
/// an earlier one or the measure holds more than 199 of them. The staff is not used.
bool FillNInfo(NInfo& info, int32_t measure, int32_t staff, Edu from, Edu to, const LayerArrays& layers,
               std::string_view ignoredLayers, bool keepVoicesApart, bool keepLayersApart, bool mergeDuplicateColumns,
               bool skipHidden);

/// The positions of the entries of a cell's four layers, layer by layer in entry order.
using LayerPositions = std::array<std::vector<Edu>, 4>;
/// The entries' positions now: taken before FillNInfo, whose position repair moves every entry
/// that shares a grace note's position 1 EDU behind it in memory, so that the cell can be saved
/// with the positions its music has (RestoreEntryPositions).
LayerPositions EntryPositions(const LayerArrays& layers);
/// Gives the entries the positions taken; a layer whose entry count changed since is left alone.
void RestoreEntryPositions(const LayerArrays& layers, const LayerPositions& positions);

/// The smallest entry position over the four layers greater than `position` (kNoPosition when
/// none); `boundary` is set when an entry there begins a new second-voice stretch.
Edu NextLayerEventPosition(const LayerArrays& layers, Edu position, bool& boundary);
/// The smallest entry position greater than `position` over the staves; kNoPosition when none.
Edu NextEventPosition(std::span<const LayerArrays> staves, Edu position);
/// The greatest entry position below `position` and above 0 of one staff; 0 when none.
Edu PreviousEventPosition(const LayerArrays& layers, Edu position);
/// PreviousEventPosition over several staves; 0 when none.
Edu EventPositionQuery3(std::span<const LayerArrays> staves, Edu position);
/// Whether `position` is a clean split point: no entry starts before it and ends after it.
bool EventPositionQuery4(std::span<const LayerArrays> staves, Edu position);
/// Whether no note entry sounds at `position` (rests do not count).
bool EventPositionQuery5(std::span<const LayerArrays> staves, Edu position);

/// Whether run b is the higher part and belongs before run a.
bool ShouldSwapRuns(const SlotRun& a, const SlotRun& b, const NInfo& info, const LayerArrays& layers);

/// Rewrites the entries of `item` in place so that only the note of `part` (a 1-based slot
/// number; 0 = none) remains sounding, and answers that note (nullptr when none); `entry`
/// receives its entry. Row 7 of `options` and `mergeUnisons` let the part move to an earlier
/// slot that plays the same thing.
uint8_t* IsolatePartInItem(const LayerArrays& layers, NInfoItem item, int32_t part, const OptionArray& options,
                           uint8_t** entry, bool mergeUnisons);

}  // namespace orvex
