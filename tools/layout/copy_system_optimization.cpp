// "Copy System Optimization...": the staff list (with the staves' positions) and the staff groups
// of one system become those of a range of other systems.
#include <algorithm>

#include "core/free_texts.h"
#include "core/host/finxess_regions.h"
#include "core/host/host_imports.h"
#include "core/host/staff_lists.h"
#include "core/host/staff_systems.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/run_environment.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "tools/layout/layout_services.h"

namespace orvex {
namespace {

/// A copied staff list is saved as if it had this many stored entries, so that the target's
/// surplus entries are deleted.
constexpr int32_t kCopiedListCount = 1000;

/// Whether the target holds exactly the staves of the source list: as many, none missing.
bool SameStaves(const TInstruments& target, const TInstruments& source) {
    if (target.Count() != source.Count()) {
        return false;
    }
    for (int32_t i = 0; i < target.Count(); ++i) {
        if (!source.Contains(target.At(i).staff())) {
            return false;
        }
    }
    return true;
}

/// Makes system s's staff list and groups those of the source.
void CopyOptimization(TStaffSystems& systems, int32_t s, const TInstruments& source, const TGroups& sourceGroups) {
    TInstruments copy = source;
    copy.SetCountAtLoad(kCopiedListCount);
    copy.Save(s);

    // The target's groups become the source's: groups of its own that the source does not have
    // are deleted.
    TGroups groups = sourceGroups;
    const TGroups own(s, false, false, false);
    for (int32_t i = 0; i < own.Count(); ++i) {
        const TGroupRec& group = own.At(i);
        bool found = false;
        for (int32_t n = 0; n < sourceGroups.Count() && !found; ++n) {
            found = sourceGroups.At(n).number == group.number;
        }
        if (!found) {
            TGroupRec gone = group;
            gone.deleted = 1;
            groups.Append(gone);
        }
    }
    groups.SetChanged(true);
    // Every copied group gets name text blocks of its own: a later edit of one system's group
    // names must not rename the source's (or the score's) groups.
    GroupNamesSave(groups, s, nullptr, true);

    EDTStaffSystemSpec2001& system = systems.At(s - 1);
    bool changed = false;
    if ((system.flags() & hostapi::StaffSystemLayout::kOwnStaffList) == 0) {
        system.setFlags(system.flags() | hostapi::StaffSystemLayout::kOwnStaffList);
        changed = true;
    }
    if (DispatcherEnvironment().HostYear() >= 2001 && source.Count() > 0) {
        const auto top = static_cast<int16_t>(source.At(0).position());
        changed = changed || system.topStaffOffset() != top;
        system.setTopStaffOffset(top);
    }
    if (changed) {
        SaveSystem(systems, s);
    }
}

}  // namespace

bool RunCopySystemOptimization(TFMisc& context) {
    TStaffSystems systems;
    if (systems.Count() == 0) {
        return false;
    }
    const int32_t from = RowValue(context.Options, COPY_OPT_FROM_SYSTEM);
    const bool inRange = from >= 0 && from <= systems.Count();
    // FROM 0 is the score's own list (the staff list manager's Copy From). A system without a
    // staff list of its own has nothing to copy: its empty list would leave the targets marked
    // optimized but showing no staves.
    const TInstruments source = inRange ? TInstruments(from, &systems, false) : TInstruments(&systems);
    if (source.Count() == 0) {
        ShowMessage(FreeText::InvalidFromSystemSpecified);
        return false;
    }
    const int32_t first = RowValue(context.Options, COPY_OPT_FIRST_TARGET);
    const int32_t last = std::min(RowValue(context.Options, COPY_OPT_LAST_TARGET), systems.Count());
    const TGroups sourceGroups(from, false, false, false);
    if (last - first + 1 < 1) {
        return false;
    }

    // Without the host's progress display (or with one open already) nothing is copied.
    ScopedEditBracket walk(context.Environment.Region(), last - first + 1);
    if (walk.Handle() == 0) {
        return false;
    }
    bool changed = false;
    for (int32_t s = std::max(first, 1); s <= last; ++s) {
        if (!walk.Step()) {
            break;
        }
        const TInstruments target(s, &systems, false);
        if (target.Count() == 0) {
            if (RowValue(context.Options, COPY_OPT_UNOPTIMIZED_TOO) == 0) {
                continue;
            }
        } else if (RowOn(context.Options, COPY_OPT_SAME_STAVES_ONLY) && !SameStaves(target, source)) {
            continue;
        }
        CopyOptimization(systems, s, source, sourceGroups);
        changed = true;
    }
    return changed;
}

}  // namespace orvex
