// "Vx &Update Groups..." (tool 43): the score's own groups (group set 0, which non-optimized
// systems and scroll view show) pass their properties on to the matching groups of the optimized
// systems of the selected measures: staves, names, name positions, brackets and other options as
// the option rows choose, and, when asked, groups a system lacks are added to it.
#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "core/free_texts.h"
#include "core/host/document_writes.h"
#include "core/host/finxess.h"
#include "core/host/finxess_regions.h"
#include "core/host/host_imports.h"
#include "core/host/staff_lists.h"
#include "core/host/staff_systems.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "tools/layout/layout_services.h"

namespace orvex {

namespace {

/// A stretch of the 30-byte group record: offset and length.
struct Field {
    size_t offset;
    size_t length;
};
constexpr Field kStaves[] = {{0, 2}, {2, 2}};
constexpr Field kNamePositions[] = {{6, 2}, {8, 2}, {24, 2}, {26, 2}};
constexpr Field kBrackets[] = {{10, 4}, {14, 4}, {18, 2}};
constexpr Field kOtherOptions[] = {{20, 2}, {28, 2}};
constexpr int16_t kMaxGroupNumber = 100;

template <size_t N>
void CopyFields(StaffGroupRecord& to, const StaffGroupRecord& from, const Field (&fields)[N]) {
    for (const Field& field : fields) {
        std::memcpy(to.bytes.data() + field.offset, from.bytes.data() + field.offset, field.length);
    }
}

/// The text of a text block, "" for none.
std::string BlockText(int16_t block) {
    return block == 0 ? std::string() : std::string(StringOrEmpty(LoadTextBlock(block, false)));
}

/// Writes `text` into the text block `block` (a new block when it is 0); answers the block.
int16_t WriteBlock(int16_t block, const std::string& text) {
    TextBlockHeader header;
    int32_t number = block;
    if (block == 0) {
        number = -1;
        header.setTextKey(-1);
    } else {
        LoadTextBlock(block, false, &header);
    }
    return SaveTextBlock(number, header, text) ? static_cast<int16_t>(number) : block;
}

/// Whether a group of the list names itself by the text block.
bool UsesBlock(const TGroups& groups, int16_t block) {
    for (int32_t n = 0; n < groups.Count(); ++n) {
        if (groups.At(n).record.fullName() == block || groups.At(n).record.abbreviatedName() == block) {
            return true;
        }
    }
    return false;
}

/// The target takes the full and the abbreviated name of the source where they differ. A text
/// block that a score group names itself by is not written: the target gets a block of its own.
void CopyNames(StaffGroupRecord& target, const StaffGroupRecord& source, const TGroups& scoreGroups) {
    const auto own = [&](int16_t block) { return UsesBlock(scoreGroups, block) ? int16_t{0} : block; };
    const std::string full = BlockText(source.fullName());
    if (BlockText(target.fullName()) != full) {
        target.setFullName(WriteBlock(own(target.fullName()), full));
    }
    const std::string abbreviated = BlockText(source.abbreviatedName());
    if (BlockText(target.abbreviatedName()) != abbreviated) {
        target.setAbbreviatedName(WriteBlock(own(target.abbreviatedName()), abbreviated));
    }
}

/// The smallest group number that no group of the list has; 0 when all are taken.
int16_t FreeGroupNumber(const TGroups& groups) {
    for (int16_t number = 1; number <= kMaxGroupNumber; ++number) {
        bool used = false;
        for (int32_t n = 0; n < groups.Count() && !used; ++n) {
            used = groups.At(n).number == number;
        }
        if (!used) {
            return number;
        }
    }
    return 0;
}

/// The systems of the selected measures, first and last counted from 1; without a selection
/// that names systems, all of them when the user agrees. False when the user declines.
bool SystemsToUpdate(const TStaffSystems& systems, const hostapi::SelectionRecord* region, int32_t& first,
                     int32_t& last) {
    first = region != nullptr ? SystemIndexOfMeasure(systems, region->firstMeasure()) : 0;
    last = region != nullptr ? SystemIndexOfMeasure(systems, region->lastMeasure()) : 0;
    if (last < first || first == 0) {
        if (Ask(FreeText::MeasureSelectionNotRecognizedWould) != Answer::Yes) {
            return false;
        }
        first = 1;
        last = systems.Count();
    }
    return true;
}

/// The score's groups chosen in the options' list; all of them when none is chosen.
std::vector<bool> ChosenGroups(const TFMisc& context, const TGroups& scoreGroups) {
    std::vector<bool> chosen(static_cast<size_t>(scoreGroups.Count()), false);
    bool anyChosen = false;
    for (size_t n = 0; n < chosen.size() && n < context.ChosenItems.size(); ++n) {
        chosen[n] = context.ChosenItems[n] != 0;
        anyChosen = anyChosen || chosen[n];
    }
    if (!anyChosen) {
        chosen.assign(chosen.size(), true);
    }
    return chosen;
}

/// The system's group that matches a score group best: by name, and by its staves unless the
/// options identify groups by name only.
struct GroupMatch {
    int32_t best = 0;      ///< the best score; 0: no group matches
    int32_t reaching = 0;  ///< how many groups reach it
    int32_t match = -1;    ///< the first of them
};

GroupMatch MatchGroup(TFMisc& context, const TGroups& groups, const TGroupRec& source) {
    GroupMatch found;
    for (int32_t t = 0; t < groups.Count(); ++t) {
        const TGroupRec& candidate = groups.At(t);
        int32_t score = candidate.name == source.name ? 1 : 0;
        if (!RowOn(context.Options, UPDATE_GROUPS_BY_FULL_NAME) &&
            candidate.record.firstStaff() == source.record.firstStaff() &&
            candidate.record.lastStaff() == source.record.lastStaff()) {
            ++score;
        }
        if (score > found.best) {
            found.best = score;
            found.reaching = 1;
            found.match = t;
        } else if (score == found.best && score > 0) {
            ++found.reaching;
        }
    }
    return found;
}

/// Copies the fields the options choose from the score's group to the system's.
void CopyChosenFields(TFMisc& context, StaffGroupRecord& target, const TGroupRec& source, const TGroups& scoreGroups) {
    if (RowOn(context.Options, UPDATE_GROUPS_STAVES)) {
        CopyFields(target, source.record, kStaves);
    }
    if (RowOn(context.Options, UPDATE_GROUPS_NAMES)) {
        CopyNames(target, source.record, scoreGroups);
    }
    if (RowOn(context.Options, UPDATE_GROUPS_NAME_POSITIONS)) {
        CopyFields(target, source.record, kNamePositions);
    }
    if (RowOn(context.Options, UPDATE_GROUPS_BRACKETS)) {
        CopyFields(target, source.record, kBrackets);
    }
    if (RowOn(context.Options, UPDATE_GROUPS_OTHER_OPTIONS)) {
        CopyFields(target, source.record, kOtherOptions);
    }
}

/// Updates the groups of system s from the chosen score groups: a matching group takes the
/// chosen fields, a group without a match is added when the options say so, an ambiguous one is
/// left (said once a run).
void UpdateSystemGroups(TFMisc& context, int32_t s, TStaffSystems& systems, const TGroups& scoreGroups,
                        const TInstruments& scoreList, const std::vector<bool>& chosen, bool& ambiguityShown) {
    TGroups groups(s, false, false, false);
    const TInstruments staves(s, &systems, false);
    for (int32_t g = 0; g < scoreGroups.Count(); ++g) {
        if (!chosen[static_cast<size_t>(g)]) {
            continue;
        }
        TGroupRec source = scoreGroups.At(g);
        if (!staves.ClipRange(source.record, scoreList)) {
            continue;  // the system holds none of the group's staves
        }
        const GroupMatch found = MatchGroup(context, groups, source);
        if (found.best == 0) {
            if (RowOn(context.Options, UPDATE_GROUPS_ADD_NEW)) {
                // The group gets a number of its own in the system, so that no group is overwritten.
                source.number = FreeGroupNumber(groups);
                if (source.number != 0) {
                    groups.Append(source);
                    GroupNamesSave(groups, s, &scoreGroups, false);
                    context.ListsChanged = 1;
                }
            }
            continue;
        }
        if (found.reaching > 1) {
            if (!ambiguityShown) {
                ShowMessage(FreeText::CannotPositivelyIdentifyAtLeast);
                ambiguityShown = true;
            }
            continue;
        }
        CopyChosenFields(context, groups.At(found.match).record, source, scoreGroups);
        groups.SetChanged(true);
        GroupNamesSave(groups, s, &scoreGroups, false);
    }
}

}  // namespace

bool RunUpdateGroups(TFMisc& context) {
    // A run without the options dialog (Shift held) has not made the lists yet.
    if (context.StaffSystems == nullptr) {
        AllocToolLists(context);
    }
    if (context.StaffSystems == nullptr) {
        return false;
    }
    UpdateHostLayout();
    // The layout update may have moved measures between systems.
    TStaffSystems& systems = *context.StaffSystems;
    systems.Load();

    const hostapi::SelectionRecord* region = context.Environment.Region();
    int32_t first = 0;
    int32_t last = 0;
    if (!SystemsToUpdate(systems, region, first, last)) {
        return false;
    }
    const TGroups scoreGroups(0, false, false, false);
    const TInstruments scoreList(0, &systems, false);
    const std::vector<bool> chosen = ChosenGroups(context, scoreGroups);

    // The host shows one progress display at a time: the one the dispatcher opened for the run
    // serves the walk over the systems, else the command opens its own. Without a display (the
    // host offers none, or one is open already) nothing is updated.
    std::optional<ScopedEditBracket> ownWalk;
    if (context.EditBracket == 0) {
        ownWalk.emplace(region != nullptr ? region : &context.Environment.WholeDocument(), last - first + 1);
    }
    const int32_t walk = ownWalk ? ownWalk->Handle() : context.EditBracket;
    if (walk == 0) {
        return false;
    }
    bool stopped = false;
    bool ambiguityShown = false;
    for (int32_t s = first; s <= last; ++s) {
        if (!EditBracketStep(walk, 0, 0)) {
            stopped = true;
            break;
        }
        UpdateSystemGroups(context, s, systems, scoreGroups, scoreList, chosen, ambiguityShown);
    }
    if (ownWalk) {
        ownWalk->End(stopped);
    }
    return !stopped;
}

}  // namespace orvex
