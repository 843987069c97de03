// The smart explosion command and its context: "Vx &Smart Distribution of grouped parts ..."
// (tool 27, group by group) and "Vx Smart &Explosion of multi-part staves..." (tool 35, staff by
// staff). The command prepares the first group and hands the rest to the step machine, one step
// per host call; the context lives in the dispatcher's slot until the last step.
#include "tools/layout/explosion/explosion.h"

#include <algorithm>
#include <string>

#include "core/free_texts.h"
#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/staff_lists.h"
#include "core/host/staff_systems.h"
#include "core/messages.h"
#include "core/run_environment.h"
#include "core/run_services.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "core/tool_items.h"
#include "platform/hostapi/layout_records.h"
#include "tools/layout/process_parts.h"
#include "tools/notes/notes_services.h"

namespace orvex {

namespace {

constexpr int32_t kExplosionMessageStart = 13;
using hostapi::kTagStaff;

/// The region within the document: its first and last staff slot within the staves of the list,
/// its measures within the document's (a region past the document's end would have the host's
/// region dialog refuse the measures the run asks it to select).
void ClampToDocument(hostapi::SelectionRecord& region, int32_t staves) {
    const auto clamp = [staves](int32_t slot) {
        return static_cast<hostapi::StaffSlot>(std::clamp(slot, staves > 0 ? 1 : 0, std::max(staves, 0)));
    };
    region.setFirstStaff(clamp(region.firstStaff()));
    region.setLastStaff(clamp(region.lastStaff()));
    const int32_t measures = DispatcherEnvironment().WholeDocument().lastMeasure();
    if (measures > 0 && region.lastMeasure() > measures) {
        region.setLastMeasure(static_cast<hostapi::MeasureNumber>(measures));
        region.setEndEdu(kNoPosition);
    }
    if (measures > 0 && region.firstMeasure() > measures) {
        region.setFirstMeasure(static_cast<hostapi::MeasureNumber>(measures));
        region.setStartEdu(0);
    }
}

void EndExplosion(ExplosionContext* explosion) {
    TFMisc& context = explosion->Context();
    if (RunningStepObject() == explosion) {
        HandOverStepObject(nullptr);
    }
    ExplosionContextDestroy(explosion, 3);
    SetProgressCaption(context);
}

}  // namespace

ExplosionContext::ExplosionContext(TFMisc& context)
    : toolContext(&context), m_contextShare(ShareToolContext(context)) {}

ExplosionContext::~ExplosionContext() = default;

bool RequireHostVersion(const RunEnvironment& environment, int32_t year) {
    if (environment.HostYear() >= year) {
        return true;
    }
    ShowMessage(FreeText::FunctionNeedsHostYear, {std::to_string(year)});
    return false;
}

void InitExplosionContext(ExplosionContext& explosion, TFMisc& context) {
    explosion.toolContext = &context;
    explosion.groupMode = IsItem(context.Item, ToolItem::SmartDistribution) ? 1 : 0;
    explosion.dynamics = {};
    explosion.systems = std::make_unique<TStaffSystems>();
    explosion.staves = std::make_unique<TInstruments>(0, explosion.systems.get(), false);
    explosion.regions.clear();
    explosion.selection = context.ChosenItems;
    explosion.storedSelection = context.Environment.RegionOrWholeDocument();
    ClampToDocument(explosion.storedSelection, explosion.staves->Count());
    // The stored settings of Align/Move, without its dialog.
    std::vector<std::pair<int32_t, int32_t>> list;
    RunToolWithOptions(ItemNumber(ToolItem::AlignMove), 1, explosion.alignOptions, explosion.alignMoreOptions, list,
                       false, nullptr, false, true, nullptr);
    explosion.staffCount = 0;
    explosion.groupIndex = 0;
    explosion.pasted = 0;
    explosion.firstStep = 0;
    explosion.selectAllPending = 0;
    explosion.stop = 0;
    explosion.tables = {};
}

void ExplosionContextDestroy(ExplosionContext* explosion, int32_t flags) {
    if (explosion == nullptr) {
        return;
    }
    explosion->tables = {};
    if (explosion->toolContext != nullptr) {
        explosion->toolContext->ExplosionRunning = 0;
    }
    explosion->staves.reset();
    explosion->selection.clear();
    explosion->regions.clear();
    explosion->alignOptions = {};
    explosion->alignMoreOptions = {};
    explosion->systems.reset();
    explosion->dynamics = {};
    if ((flags & 1) != 0) {
        delete explosion;
    }
}

void SetUpInstrumentGroup(ExplosionContext& explosion, const hostapi::SelectionRecord& region) {
    explosion.processedRegion = region;
    int32_t count = region.lastStaff() - region.firstStaff() + 1;
    if (count > kExplosionStaves) {
        ShowMessage(FreeText::InstrumentalGroupFoundWithMore, {std::to_string(kExplosionStaves)});
        count = kExplosionStaves;
    }
    const int32_t previous = explosion.staffCount;
    explosion.staffCount = std::max(count, 0);
    explosion.firstStaffSlot = region.firstStaff();
    for (int32_t s = 0; s < explosion.staffCount; ++s) {
        auto& record = explosion.staffRecords[static_cast<size_t>(s)];
        record.fill(0);
        const int32_t staff = explosion.staves ? explosion.staves->ByNumber(explosion.firstStaffSlot + s) : 0;
        LoadWholeOtherRecord(kTagStaff, staff, 0, record.data(), static_cast<int32_t>(record.size()));
    }
    explosion.regionCopy = region;
    for (int32_t s = std::min(previous, explosion.staffCount); s < explosion.staffCount; ++s) {
        if (!explosion.tables[static_cast<size_t>(s)]) {
            explosion.tables[static_cast<size_t>(s)] = std::make_unique<NInfo>();
        }
    }
    for (int32_t s = 0; s < explosion.staffCount; ++s) {
        if (!explosion.tables[static_cast<size_t>(s)]) {
            explosion.tables[static_cast<size_t>(s)] = std::make_unique<NInfo>();
        }
    }
    explosion.pasted = 0;
    explosion.firstStep = 0;
    explosion.stepState = 0;
    explosion.currentRegion = 0;
}

bool ExplodeGroupRegion(ExplosionContext& explosion, const hostapi::SelectionRecord& region) {
    if (!RequireHostVersion(explosion.Context().Environment, 1998)) {
        return false;
    }
    SetUpInstrumentGroup(explosion, region);
    explosion.initialStaffCount = explosion.staffCount;
    explosion.targetOffset = 0;
    explosion.Context().ExplosionRunning = 1;
    return ExplodePartsMainPass(explosion) && AdvanceRegion(explosion);
}

bool StartNextRegion(ExplosionContext& explosion) {
    TFMisc& context = explosion.Context();
    SetProgressText(context, FreeText::ProgressStartingRegion);
    const auto count = static_cast<int32_t>(explosion.selection.size());
    while (explosion.groupIndex < count && explosion.selection[static_cast<size_t>(explosion.groupIndex)] == 0) {
        ++explosion.groupIndex;
    }
    if (explosion.groupIndex >= count) {
        for (const auto& [previous, next] : ExplosionEntryPairs()) {
            EntryLinkFollow(previous, next);
        }
        ExplosionEntryPairs().clear();
        return false;
    }
    hostapi::SelectionRecord region = explosion.storedSelection;
    if (explosion.groupMode != 0) {
        if (!context.Groups) {
            AllocToolLists(context);
        }
        if (explosion.groupIndex >= context.Groups->Count()) {
            return false;
        }
        const StaffGroupRecord& group = context.Groups->At(explosion.groupIndex).record;
        region.setFirstStaff(static_cast<hostapi::StaffSlot>(explosion.staves->IndexOf(group.firstStaff())));
        region.setLastStaff(static_cast<hostapi::StaffSlot>(explosion.staves->IndexOf(group.lastStaff())));
    } else {
        region.setFirstStaff(static_cast<hostapi::StaffSlot>(explosion.groupIndex + 1));
        region.setLastStaff(static_cast<hostapi::StaffSlot>(explosion.groupIndex + 1));
    }
    return ExplodeGroupRegion(explosion, region);
}

bool RunSmartExplosion(TFMisc& context) {
    if (ExplosionContext* running = RunningStepObject(); running != nullptr) {
        return StepPartExplosion(*running);
    }
    auto* explosion = new ExplosionContext(context);
    InitExplosionContext(*explosion, context);
    HandOverStepObject(explosion);
    bool result = StartNextRegion(*explosion);
    if (!result && explosion->stop == 0) {
        if (hostapi::SelectionRecord* selection = CheckSelection(false); selection != nullptr) {
            hostapi::SelectionRecord region = *selection;
            ClampToDocument(region, explosion->staves->Count());
            explosion->storedSelection = region;
            result = ExplodeGroupRegion(*explosion, region);
        }
    }
    if (result) {
        ShowMessage({.id = kExplosionMessageStart, .skippable = true});
        BeginSelectAll(*explosion);
        result = StepPartExplosion(*explosion);
    }
    if (!result) {
        EndExplosion(explosion);
    }
    return result;
}

}  // namespace orvex
