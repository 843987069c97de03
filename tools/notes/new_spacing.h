// New Spacing's entry passes: the squeezing of an entry that runs past the end of its measure
// (first pass), the rhythm complementary to the measure's positions on the added staff (first
// pass) and the undoing of the first pass's changes (second pass). The functions are declared
// with the engine's other workers in tools/notes/notes_services.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/tool_records.h"
#include "platform/hostapi/records.h"

namespace orvex {

struct TFMisc;

/// What New Spacing keeps from its first pass for its second (the tool context's state slots).
struct NewSpacingState {
    std::vector<TNSPchanges> changes;      ///< the first pass's changes, reverted by the second
    std::string documentTitle;             ///< host window title at the first pass
    int32_t document = 0;                  ///< the identity of the document of the first pass (0: none)
    hostapi::SelectionRecord savedRegion;  ///< the region of the first pass

    /// The first pass starts: no change is kept.
    void ClearChanges();
    /// The first pass keeps a change.
    void AddChange(const TNSPchanges& change);
    /// The places in `changes` of an entry's changes, in the order they were kept. The second
    /// pass asks at every entry of the region, so the places are looked up, not searched: the
    /// first question after the changes changed sorts them by entry.
    std::span<const size_t> ChangesOf(hostapi::EntryNumber entry);

private:
    std::vector<size_t> m_byEntry;  ///< places in `changes`, by entry and then by place
    bool m_sorted = false;          ///< m_byEntry holds every place of the changes as they are
};

/// The context's New Spacing state.
NewSpacingState& NewSpacingRun(const TFMisc& context);

/// Options of New Spacing, by row.
enum NewSpacingRow : std::size_t {
    NSP_IGNORE_MELISMAS = 0,
    NSP_MOVE_BEAT_ONE_SYLLABLES = 1,
    NSP_CORRECT_CENTERED_SYLLABLES = 2,
    NSP_LEFT_ALIGN_MELISMAS = 3,
    NSP_COMPLEMENTARY_RHYTHMS = 4,  ///< the rhythm goes to a staff added below the selection
    NSP_GLISSANDO_SPACE = 5,        ///< leave space for note-attached glissandi
};

/// Rows of New Spacing's "More..." page (tool 22) that the passes read.
enum NewSpacingMoreRow : std::size_t {
    NSP_SQUEEZE_OVERLONG = 0,
    NSP_RUN_PROPORTIONALITY = 1,
    NSP_REMOVE_TUPLETS = 2,
    NSP_MIN_DISTANCE = 3,       ///< 1-1024 EDU
    NSP_PLAIN_VALUES_ONLY = 4,  ///< complementary gaps only of plain or dotted values
};

/// The smallest and largest distance the complementary rhythm takes between two positions.
inline constexpr int32_t kNewSpacingMinDistanceLow = 1;
inline constexpr int32_t kNewSpacingMinDistanceHigh = 1024;

}  // namespace orvex
