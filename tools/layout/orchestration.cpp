#include "tools/layout/orchestration.h"

#include <cstring>

#include "core/free_texts.h"
#include "core/host/finxess_entries.h"
#include "core/host/finxess_regions.h"
#include "core/host/host_imports.h"
#include "core/host/smart_shapes.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/run_environment.h"
#include "core/run_services.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "core/tool_items.h"

namespace orvex {

namespace {

using hostapi::EntryLayout;

/// A region of one staff slot (view key 0) from one measure and position to another.
hostapi::SelectionRecord StaffRegion(StaffSlot slot, int32_t firstMeasure, Edu start, int32_t lastMeasure, Edu end) {
    hostapi::SelectionRecord region;
    region.setViewKey(0);
    region.setFirstStaff(slot);
    region.setFirstMeasure(static_cast<MeasureNumber>(firstMeasure));
    region.setStartEdu(start);
    region.setLastStaff(slot);
    region.setLastMeasure(static_cast<MeasureNumber>(lastMeasure));
    region.setEndEdu(end);
    return region;
}

constexpr uint32_t kSecondVoice = hostapi::kEntryVoice2;
constexpr uint32_t kSecondVoiceFollows = hostapi::kEntryVoice2Start;

/// The source's second-voice entry `i` stands later in the target: it moves back to place i,
/// and the entry before it takes the source's flags (it launches the second voice again).
void RepairSecondVoice(const EntryArray& source, EntryArray& target, int32_t i, int32_t& j) {
    const hostapi::ConstEntryView wanted = source.entry(i);
    while (j < target.count &&
           (target.entry(j).flags() != wanted.flags() || target.entry(j).noteCount() != wanted.noteCount())) {
        ++j;
    }
    if (!(i < j && j < target.count)) {
        return;
    }
    const hostapi::ConstEntryView sourceBefore = source.entry(i - 1);
    const hostapi::ConstEntryView targetBefore = target.entry(i - 1);
    if (((sourceBefore.flags() ^ targetBefore.flags()) & ~kSecondVoiceFollows) != 0 ||
        (sourceBefore.flags() & (kSecondVoice | kSecondVoiceFollows)) == 0 ||
        sourceBefore.noteCount() != targetBefore.noteCount()) {
        return;
    }
    if (!InsertEntries(&target, i, 1)) {
        return;
    }
    std::memcpy(target.entry(i).data(), target.entry(j + 1).data(), EntryLayout::kSize);
    // The copy moved to place i: the entry at j + 1 goes, without its number and flags.
    target.entry(j + 1).setNumber(0);
    target.entry(j + 1).setFlags(0);
    target.entry(j + 1).setMoreFlags(0);
    FrameEntriesRemove(&target, j + 1, 1);
    target.entry(i - 1).setFlags(source.entry(i - 1).flags());
    if (j + 1 >= target.count || !target.entry(j + 1).has(kSecondVoice)) {
        target.entry(j).setFlag(kSecondVoiceFollows, false);
    }
}

}  // namespace

void PrefillOrchestrationOptions(TFMisc* /*context*/, int32_t tool, std::span<OptionElement> rows, int32_t rowsPerStaff,
                                 int32_t staffCount) {
    if (tool != ItemNumber(ToolItem::Orchestration) || rowsPerStaff <= kOrchestrationDest) {
        return;
    }
    const hostapi::SelectionRecord* selection = CheckSelection(true);
    if (selection == nullptr) {
        return;
    }
    if (selection->firstMeasure() <= 1) {
        ShowMessage(FreeText::SelectMeasureRegionNotStarting);
        return;
    }
    const hostapi::SelectionRecord chosen = *selection;
    const hostapi::SelectionRecord& document = DispatcherEnvironment().WholeDocument();
    ScopedEditBracket progress(&document, staffCount);
    for (int32_t i = 0; i < staffCount; ++i) {
        const auto slot = static_cast<StaffSlot>(i + 1);
        if (!progress.Step(slot, 0)) {
            break;
        }
        const size_t base = static_cast<size_t>(i) * static_cast<size_t>(rowsPerStaff);
        if (base + kOrchestrationDest >= rows.size()) {
            break;  // the rows end before this staff's block
        }
        const auto row = [&](int32_t r) -> OptionElement& { return rows[base + static_cast<size_t>(r)]; };
        PitchStats before;
        RegionPitchStats(StaffRegion(slot, document.firstMeasure(), 0, chosen.firstMeasure() - 1, kNoPosition), before);
        row(kOrchestrationVoices).value = before.largestChordSum;
        row(kOrchestrationLowest).text = LoadHostText(before.lowest);
        row(kOrchestrationHighest).text = LoadHostText(before.highest);
        row(kOrchestrationBandLow).text = LoadHostText(before.bandLow);
        row(kOrchestrationBandHigh).text = LoadHostText(before.bandHigh);
        PitchStats inside;
        RegionPitchStats(
            StaffRegion(slot, chosen.firstMeasure(), chosen.startEdu(), chosen.lastMeasure(), chosen.endEdu()), inside);
        row(kOrchestrationSource).value = inside.largestChordSum > 0 ? 1 : 0;
        row(kOrchestrationDest).value = inside.largestChordSum == 0 ? 1 : 0;
    }
}

bool VerifyPastedRegion(const ExplosionRange& source, int32_t lastMeasure, const ExplosionRange& target) {
    for (int32_t m = source.measure; m <= lastMeasure; ++m) {
        for (LayerIndex layer = 0; layer < 4; ++layer) {
            ScopedEntryArray from(source.regionWord, source.staffSlot, static_cast<MeasureNumber>(m), layer, 1);
            if (!from) {
                continue;
            }
            ScopedEntryArray to;
            int32_t j = 0;
            bool failed = false;
            for (int32_t i = 1; i < from->count && !failed; ++i) {
                if (!to) {
                    to.Load(target.regionWord, target.staffSlot, static_cast<MeasureNumber>(m), layer, 1);
                    failed = !to || to->count != from->count;
                    if (failed) {
                        break;
                    }
                }
                if (from->entry(i).has(kSecondVoice)) {
                    RepairSecondVoice(*from, *to, i, j);
                }
            }
            from.Release();
            if (failed) {
                // Nothing of the target was changed yet: it goes back unsaved.
                to.Release();
                ShowMessage(FreeText::ErrorUsingMassMoverTool, {std::to_string(m)});
                return false;
            }
            if (to) {
                SaveEntryArray(to.Get());
            }
        }
    }
    return true;
}

}  // namespace orvex
