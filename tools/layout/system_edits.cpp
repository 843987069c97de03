// "Join Two Staff Systems", "Shift System Optimization...", "Before Deleting Measures" and
// "After Inserting Measures...": they keep the staff systems and their optimizations, which are
// stored by system number, consistent when systems are merged or measures deleted or inserted.
#include <algorithm>

#include "core/free_texts.h"
#include "core/host/finxess_regions.h"
#include "core/host/staff_systems.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/layout_records.h"
#include "tools/layout/layout_services.h"
#include "tools/layout/split_system.h"

namespace orvex {
namespace {

using hostapi::StaffSystemLayout;

/// The system properties that a shift with properties carries along besides the flag word.
constexpr size_t kPropertyWords[] = {StaffSystemLayout::kTopStaffOffset, StaffSystemLayout::kDistance,
                                     StaffSystemLayout::kLeftMargin,     StaffSystemLayout::kRightMargin,
                                     StaffSystemLayout::kWord16,         StaffSystemLayout::kPercent};

hostapi::SelectionRecord CurrentSelection(const RunEnvironment& environment) {
    return environment.Region() != nullptr ? *environment.Region() : hostapi::SelectionRecord{};
}

/// System k takes system j's optimized state (with `properties` its layout words and whole flag
/// word) and optimization; the list's anchor goes along with it.
void TakeSystem(SystemLayout& layout, int32_t k, int32_t j, bool properties) {
    EDTStaffSystemSpec2001& target = layout.System(k);
    const EDTStaffSystemSpec2001& source = layout.System(j);
    const SystemOptimization optimization(j, source.topStaffOffset());
    if (properties) {
        for (const size_t offset : kPropertyWords) {
            hostapi::WriteI16(target.data(), offset, hostapi::ReadI16(source.data(), offset));
        }
        target.setFlags(source.flags());
    } else {
        target.setFlags(static_cast<uint16_t>((target.flags() & ~StaffSystemLayout::kOwnStaffList) |
                                              (source.flags() & StaffSystemLayout::kOwnStaffList)));
        optimization.Anchor(target);
    }
    layout.Save(k);
    optimization.SaveAs(k);
}

}  // namespace

bool RunJoinTwoSystems(TFMisc& context) {
    UpdateHostLayout();
    const TStaffSystems systems;
    if (systems.Count() == 0) {
        return false;
    }
    SystemLayout layout(systems);
    const hostapi::SelectionRecord selection = CurrentSelection(context.Environment);
    const int32_t a = layout.SystemOf(selection.firstMeasure());
    const int32_t b = layout.SystemOf(selection.lastMeasure());
    if (a == 0 || b == 0 || b != a + 1) {
        ShowMessage(FreeText::SelectMeasuresFromExactlyTwo);
        return false;
    }
    const int32_t storedCount = layout.Count();
    layout.SetEnd(a, layout.End(b));
    layout.Lock(a, true);
    layout.Remove(b);
    layout.SaveFrom(a);
    // Every later system moves down by one, the last one included.
    for (int32_t k = a + 1; k <= layout.Count(); ++k) {
        CopyOptimization(k + 1, k);
    }
    layout.DeleteStored(storedCount);
    layout.DeleteStoredOptimizations(storedCount);
    UpdateHostLayout();
    return true;
}

bool RunShiftSystemOptimization(TFMisc& context) {
    const int32_t distance = RowValue(context.Options, SHIFT_SYSTEM_DISTANCE);
    const bool properties = RowOn(context.Options, SHIFT_SYSTEM_PROPERTIES);
    if (distance == 0) {
        return false;
    }
    UpdateHostLayout();
    const TStaffSystems systems;
    if (systems.Count() == 0) {
        return false;
    }
    SystemLayout layout(systems);
    const int32_t s = layout.SystemOf(CurrentSelection(context.Environment).firstMeasure());
    if (s == 0) {
        return false;
    }
    if (distance < 0) {
        if (s + distance < 1) {
            ShowMessage(FreeText::WouldBeyondBeginningFile);
            return false;
        }
        for (int32_t k = s + distance; k <= layout.Count() + distance; ++k) {
            TakeSystem(layout, k, k - distance, properties);
        }
    } else {
        if (s + distance > layout.Count()) {
            ShowMessage(FreeText::WouldBeyondEndFile);
            return false;
        }
        for (int32_t k = layout.Count(); k >= s + distance; --k) {
            TakeSystem(layout, k, k - distance, properties);
        }
    }
    UpdateHostLayout();
    return true;
}

bool RunMeasureEditAdjust(TFMisc& context, int32_t measureDelta, int32_t newSystems) {
    const TStaffSystems systems;
    if (systems.Count() == 0) {
        return false;
    }
    SystemLayout layout(systems);
    hostapi::SelectionRecord selection = CurrentSelection(context.Environment);
    const int32_t s = layout.SystemOf(selection.firstMeasure());
    if (s == 0) {
        return false;
    }
    // The systems end with the document's last measure: measures the document does not hold were
    // not inserted, and no system is moved or locked beyond them.
    if (measureDelta > 0) {
        const int32_t documentEnd = context.Environment.WholeDocument().lastMeasure() + 1;
        measureDelta = std::min(measureDelta, std::max(0, documentEnd - layout.End(layout.Count())));
    }

    if (measureDelta < 0) {
        SetProgressText(context, FreeText::ProgressShiftingSystems);
        const int32_t storedCount = layout.Count();
        int32_t removed = 0;
        // Systems that lie wholly inside the deleted measures go.
        while (s < layout.Count() && layout.End(s) + measureDelta <= layout.First(s)) {
            ++removed;
            layout.SetFirst(s + 1, layout.First(s));
            layout.Remove(s);
            layout.Lock(s, true);
        }
        if (removed > 0) {
            layout.DeleteStored(storedCount);
            SetProgressText(context, FreeText::ProgressShiftingSystemOptimizations);
            ScopedEditBracket progress(&selection, layout.Count() - s + 1);
            bool moved = true;
            for (int32_t k = s; k <= layout.Count(); ++k) {
                if (!progress.Step()) {
                    SetProgressText(context, FreeText::ProgressCanceled);
                    moved = false;
                    break;
                }
                CopyOptimization(k + removed, k);
            }
            // A stopped run leaves the optimizations it has not moved up where they were.
            if (moved) {
                layout.DeleteStoredOptimizations(storedCount);
            }
            progress.End();
        }
    }

    SetProgressText(context, FreeText::ProgressAdjustingMeasureGroups);
    {
        ScopedEditBracket progress(&selection, layout.Count() - s + 1);
        for (int32_t k = s; k <= layout.Count(); ++k) {
            if (!progress.Step()) {
                progress.End();
                SetProgressText(context, FreeText::ProgressCanceled);
                return false;
            }
            if (k > 1) {
                layout.SetFirst(k, layout.End(k - 1));
            }
            layout.SetEnd(k, layout.End(k) + measureDelta);
            if (layout.End(k) <= layout.First(k)) {
                layout.SetEnd(k, layout.First(k) + 1);
            }
            layout.Save(k);
            layout.Lock(k, true);
        }
    }

    if (measureDelta >= 1 && newSystems > 0) {
        selection.setLastMeasure(static_cast<hostapi::MeasureNumber>(
            std::max<int32_t>(selection.firstMeasure(), (layout.First(s) + layout.NextFirst(s)) / 2)));
        return SplitStaffSystem(context, newSystems + 1, layout, selection, true);
    }
    UpdateHostLayout();
    return true;
}

bool RunBeforeDeletingMeasures(TFMisc& context, int32_t /*setNumber*/, const hostapi::SelectionRecord* region) {
    const int32_t delta = region != nullptr ? region->firstMeasure() - region->lastMeasure() - 1 : 0;
    const bool done = RunMeasureEditAdjust(context, delta, 0);
    if (done) {
        ShowMessage({.id = MSG_DELETE_MEASURES_NOW});
    }
    return done;
}

bool RunAfterInsertingMeasures(TFMisc& context) {
    return RunMeasureEditAdjust(context, RowValue(context.Options, AFTER_INSERTING_MEASURES),
                                RowValue(context.Options, AFTER_INSERTING_SYSTEMS));
}

}  // namespace orvex
