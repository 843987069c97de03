// The split point note mover: at one event position of two adjacent staves (the two hands of a
// keyboard part) it decides whether the outermost note of one staff's chords belongs to the other
// staff and moves it there: the lowest note of the upper staff down into the highest chord of the
// lower staff, or the highest note of the lower staff up into the lowest chord of the upper staff.
// It splits entries where the rhythms of the staves differ, keeps tied notes together across later
// positions through a tie list, and turns an emptied chord into a rest.
//
// Pitches compared here are the notes' pitch words (their first word); the key range is tested on
// the chromatic pitch the host gives (service 29 under the cell's key, service 33).
#pragma once

#include <cstdint>
#include <vector>

#include "core/host/finxess_entries.h"
#include "core/option_element.h"
#include "tools/layout/explosion/ninfo.h"

namespace orvex {

struct TFMisc;

inline constexpr int32_t kSplitUpward = 0;
inline constexpr int32_t kSplitDownward = 1;

/// A note that continues the tie of a moved note and has to follow it: the note of `pitch` (pitch
/// word) at `position` (EDU) on `staff`, moving in `direction`.
struct SplitPointTie {
    int32_t staff = 0;
    int32_t position = 0;
    int32_t pitch = 0;
    int32_t direction = kSplitUpward;
    bool operator==(const SplitPointTie&) const = default;
};
static_assert(sizeof(SplitPointTie) == 16);

/// The tie list of one run of the smart split point.
using SplitPointTies = std::vector<SplitPointTie>;

/// The option rows the smart split point runs on, by row: they have the shape of the options of
/// tool slot 76 (the distribution of notes between two staves); the command fills them itself.
/// Rows 4 and 6-9 switch the mover's behaviours.
enum SplitPointRow : size_t {
    SPLIT_MAX_UPPER_SPAN = 0,  ///< max. simultaneous interval in the upper staff
    SPLIT_MAX_LOWER_SPAN = 1,
    SPLIT_LEAP_DOWN = 2,  ///< max. leap in the upper staff
    SPLIT_LEAP_UP = 3,    ///< max. leap in the lower staff
    SPLIT_BALANCE_SPANS = 4,
    SPLIT_MIN_TARGET_NOTES = 5,
    SPLIT_EARLIER_TARGETS = 6,  ///< note durations may be shortened to make space for new ones
    SPLIT_JOIN_EMPTIED_RESTS = 7,
    SPLIT_KEEP_LONGER_TARGET_RESTS = 8,
    SPLIT_KEEP_LONGER_TARGET_NOTES = 9,
    SPLIT_LOWEST_KEY = 10,   ///< lowest note for the top staff
    SPLIT_HIGHEST_KEY = 11,  ///< highest note for the bottom staff
    SPLIT_SIMPLIFY_RHYTHM = 12
};

/// Orders the item's used slots by the pitch words of their notes, lowest first.
void SortSlotsByPitch(NInfoItem& item, const LayerArrays& layers);

/// The settings of one call of the note mover: the direction, the spans and the leap in pitch
/// words, the key range in MIDI keys, and the switches of rows 4 and 6-9.
struct SplitMoveSettings {
    int32_t direction = kSplitDownward;
    int32_t maxSourceSpan = 0;   ///< a source that spans more gives its note up without another reason
    int32_t maxTargetSpan = 0;   ///< the most the target may span with the note
    int32_t minTargetNotes = 0;  ///< a target with fewer note entries takes the note without another reason
    int32_t minLeap = 0;         ///< a leap away of at least this much is a reason to move
    int32_t lowestKey = 0;       ///< only a note of a key in this range moves
    int32_t highestKey = 127;
    bool balanceSpans = false;           ///< SPLIT_BALANCE_SPANS
    bool earlierTargets = false;         ///< SPLIT_EARLIER_TARGETS
    bool joinEmptiedRests = false;       ///< SPLIT_JOIN_EMPTIED_RESTS
    bool keepLongerTargetRests = false;  ///< SPLIT_KEEP_LONGER_TARGET_RESTS
    bool keepLongerTargetNotes = false;  ///< SPLIT_KEEP_LONGER_TARGET_NOTES
};

/// The smart split point's options, read once from its rows.
struct SplitPointOptions {
    explicit SplitPointOptions(const OptionArray& rows);
    /// The settings of a move from the upper staff down, and of one from the lower staff up.
    SplitMoveSettings Downward() const;
    SplitMoveSettings Upward() const;

    int32_t maxUpperSpan = 0;
    int32_t maxLowerSpan = 0;
    int32_t leapDown = 0;
    int32_t leapUp = 0;
    int32_t minTargetNotes = 0;
    int32_t lowestKey = 0;
    int32_t highestKey = 0;
    bool simplifyRhythm = false;
    SplitMoveSettings switches;  ///< the switches of rows 4 and 6-9, for both directions
};

/// Moves the outermost note of the source item into the target item when it belongs there
/// (direction kSplitDownward: the source's lowest note into the target's highest chord; upward:
/// the highest into the lowest chord). Changes are made in the loaded arrays; the caller saves
/// them and fills its tables again (the items' slots are stale after a move). Answers 1 when a
/// note moved.
int32_t MoveSplitPointNote(TFMisc& context, const LayerArrays& source, const LayerArrays& target, NInfoItem& sourceItem,
                           NInfoItem& targetItem, const SplitMoveSettings& settings, SplitPointTies& ties);

}  // namespace orvex
