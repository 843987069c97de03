// The entry walk's run: the staff systems and the progress display of the run, the staves of
// the selection with their instrument records and note caches, the shown layers and measures of
// each staff, and the entries of each cell handed to the command of the tool.
#include "tools/notes/engine/entry_walk.h"

#include <algorithm>
#include <climits>

#include "core/free_texts.h"
#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/finxess_regions.h"
#include "core/host/host_imports.h"
#include "core/host/smart_shapes.h"
#include "core/host/staff_systems.h"
#include "core/host_probes.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "core/tool_items.h"
#include "tools/notes/accidentals.h"
#include "tools/notes/engine/entry_engine.h"
#include "tools/notes/notes_services.h"
#include "tools/notes/slurs.h"

namespace orvex {
namespace {

using hostapi::EntryView;
using hostapi::MeasureNumber;

/// The entry carries chord symbols.
using hostapi::kEntryChordSymbols;
/// Fill with rests leaves measures with either of these bits in the record's flag byte alone.
constexpr uint8_t kMeasureKeepsCells = 0xC0;

/// How the walk of a staff or a cell ended.
enum class WalkOutcome {
    Done,
    Stopped  ///< the user stopped the progress display
};

int16_t HostKey(MeasureNumber measure, hostapi::InstrumentKey staff, int16_t mode) {
    return CellKeyValue(measure, staff, mode);
}

void Remember(EntryWalkState& walk, hostapi::ConstEntryView entry) {
    std::copy_n(entry.data(), hostapi::EntryLayout::kSize, walk.previousInMeasure.data());
    std::copy_n(entry.data(), hostapi::EntryLayout::kSize, walk.previousOfStaff.data());
}

/// The command of the tool on the entries of the cell inside the selected positions.
void WalkEntries(TFMisc& context, EntryWalkState& walk) {
    hostapi::EntryArray& array = *walk.array;
    const auto item = static_cast<ToolItem>(context.Item);
    for (int32_t i = 0; i < array.count; ++i) {
        const EntryView entry = array.entry(i);
        if (entry.position() < walk.from || entry.position() > walk.to) {
            continue;
        }
        switch (item) {
            case ToolItem::CustomChordStyles:
                if (entry.has(kEntryChordSymbols)) {
                    RespellChordSuffixes(context, entry.number(), walk.staffRecord, walk.keyA, walk.keyB);
                }
                break;
            case ToolItem::Accidentals:
                if (entry.isNote()) {
                    ApplyAccidentalSteps(context, walk, entry);
                }
                break;
            case ToolItem::RespellNotes:
                if (entry.isNote()) {
                    RespellNotesOfEntry(walk, i);
                }
                break;
            case ToolItem::CreateSlurs:
                if (entry.isNote() && i < array.count - 1) {
                    // The walk goes on after the slur's last entry; an answer outside the cell's
                    // later entries leaves the walk where it is.
                    i = std::clamp(CreateSlursFromEntry(context, walk, i), i, array.count - 1);
                }
                break;
            default:
                break;
        }
        Remember(walk, array.entry(i));
    }
}

/// One cell: its positions, measure record and keys, its entries handed to the command, and the
/// cell written back when the command changed it.
void WalkCell(TFMisc& context, EntryWalkState& walk) {
    const hostapi::SelectionRecord& region = walk.region;
    ScaleDurationPair(region, walk.measure, MeasureLengthOrDefault(walk.staff, walk.measure),
                      MeasureLengthOrDefault(0, walk.measure), walk.from, walk.to);
    context.Walk.measureSpec = EDTMeasureSpec{};
    walk.measureDuration = 0;
    if (LoadMeasureSpec(walk.measure, context.Walk.measureSpec)) {
        walk.measureDuration = context.Walk.measureSpec.beats() * context.Walk.measureSpec.beatDuration();
    }
    walk.keyA = HostKey(walk.measure, walk.staff, 0);
    walk.keyB = HostKey(walk.measure, walk.staff, context.Environment.DocumentOptionFlag());
    const ScopedEntryArray cell(region.viewKey(), walk.slot, walk.measure, walk.layer);
    if (!cell) {
        return;
    }
    walk.array = cell.Get();
    walk.previousInMeasure = hostapi::EntryRecord{};
    walk.changed = false;
    if (IsItem(context.Item, ToolItem::FillWithRests) &&
        (context.Walk.measureSpec.bytes[EDTMeasureSpec::kFlags] & kMeasureKeepsCells) == 0) {
        walk.changed = FillCellWithRests(context, *walk.array, walk.measureDuration);
    } else {
        WalkEntries(context, walk);
    }
    if (walk.changed) {
        SaveEntryArray(walk.array);
    }
    walk.array = nullptr;
}

/// One staff: its shown layers measure by measure, each cell a step of the progress display.
WalkOutcome WalkStaff(TFMisc& context, EntryWalkState& walk) {
    const hostapi::SelectionRecord& region = walk.region;
    walk.staff = StaffOfSlot(walk.slot, region.viewKey());
    walk.staffRecord = StaffRecord{};
    LoadRecordSOIS(walk.staff, walk.staffRecord);
    for (hostapi::LayerIndex layer = 0; layer < 4; ++layer) {
        walk.noteContexts[static_cast<size_t>(layer)] =
            std::make_unique<TNoteContext>(context.Environment, walk.staff, region.viewKey(), walk.slot, layer);
    }
    WalkOutcome outcome = WalkOutcome::Done;
    for (hostapi::LayerIndex layer = 0; layer < 4 && outcome == WalkOutcome::Done; ++layer) {
        if (!IsHostMenuCommandChecked(layer)) {
            continue;
        }
        walk.layer = layer;
        // The layers are walked one after the other: the entry before a layer's first one is
        // none, never the last entry of the layer walked before.
        walk.previousOfStaff = hostapi::EntryRecord{};
        for (int32_t measure = region.firstMeasure(); measure <= region.lastMeasure(); ++measure) {
            walk.measure = static_cast<MeasureNumber>(measure);
            context.Walk.measure = walk.measure;
            if (!walk.progress->Step(walk.slot, walk.measure)) {
                outcome = WalkOutcome::Stopped;
                break;
            }
            WalkCell(context, walk);
        }
    }
    // The caches give their measures back when the walk leaves the staff, also after a stop.
    for (auto& caches : walk.noteContexts) {
        caches.reset();
    }
    return outcome;
}

}  // namespace

bool RunEntryWalkTool(TFMisc& context) {
    if (context.Environment.Region() == nullptr) {
        return false;
    }
    EntryWalkState walk(context.Environment);
    walk.region = *context.Environment.Region();
    const hostapi::SelectionRecord& region = walk.region;
    walk.documentLastMeasure =
        std::max<int32_t>(context.Environment.WholeDocument().lastMeasure(), region.lastMeasure());
    const TStaffSystems systems;
    walk.systems = &systems;

    // Every layer of each cell when the host shows layers 1 and 2 alike (all or none of the
    // others, as a rule), else the one layer it shows. Kept within the host's step count.
    const int64_t layers = IsHostMenuCommandChecked(1) == IsHostMenuCommandChecked(2) ? 4 : 1;
    const int64_t staves = std::max(region.lastStaff() - region.firstStaff() + 1, 0);
    const int64_t measures = std::max(region.lastMeasure() - region.firstMeasure() + 1, 0);
    ScopedEditBracket progress(&region, static_cast<int32_t>(std::min<int64_t>(layers * staves * measures, INT32_MAX)));
    walk.progress = &progress;
    const LentEditBracket lent(context, progress);

    if (IsItem(context.Item, ToolItem::CreateSlurs)) {
        LoadSlurContourDefaults(context);
        LoadLayerSettingsTable();
    }

    WalkOutcome outcome = WalkOutcome::Done;
    for (int32_t slot = region.firstStaff(); slot <= region.lastStaff() && outcome == WalkOutcome::Done; ++slot) {
        walk.slot = static_cast<hostapi::StaffSlot>(slot);
        outcome = WalkStaff(context, walk);
    }
    const bool failed = outcome != WalkOutcome::Done;
    progress.End(failed);
    if (walk.shapesRefused > 0) {
        ShowMessage(FreeText::DocumentHasNoRoomFor, {std::to_string(walk.shapesRefused)});
        // Without a slur made the document did not change.
        if (walk.shapesMade == 0) {
            return false;
        }
    }
    return !failed;
}

}  // namespace orvex
