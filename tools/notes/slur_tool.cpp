// "Vx S&lurs..." (tool 75): works over the slurs of the selected measures. It turns
// measure-attached slurs into note-attached ones (attached to the entries nearest their ends),
// resets the placement of note-attached slurs, raises them or recalculates their contours from
// the distance of their end notes, and moves slur ends clear of the articulations on their side
// (slur_collisions.cpp).
#include <algorithm>
#include <cstdlib>
#include <set>

#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/finxess_regions.h"
#include "core/host/host_imports.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/tool_context.h"
#include "platform/hostapi/layout_records.h"
#include "tools/notes/notes_services.h"
#include "tools/notes/slurs.h"

namespace orvex {
namespace {

using Slur = SlurLayout;

/// Flags a converted slur takes: word 4 (attached to entries) and word 2.
constexpr uint16_t kConvertedFlags4 = 0x6000;
constexpr uint16_t kConvertedFlags2 = 0x0001;

hostapi::StaffSlot SlotOf(int32_t staff, hostapi::ViewKey view) {
    return SlotOfStaff(staff, view);
}

uint16_t U16(const SmartShapeRecord& record, size_t offset) {
    return hostapi::ReadU16(record.data(), offset);
}
void SetU16(SmartShapeRecord& record, size_t offset, uint32_t value) {
    hostapi::WriteU16(record.data(), offset, static_cast<uint16_t>(value));
}

bool EntryAttached(const SmartShapeRecord& record) {
    return (U16(record, Slur::kFlags4) & kSlurEntryAttached) != 0;
}

/// The slur's ends attached to the entries nearest their positions; false (the record as it
/// was) when either end finds no entry.
bool ConvertToEntries(TFMisc& context, const hostapi::SelectionRecord& region, SmartShapeRecord& record) {
    const SmartShapeRecord before = record;
    const int16_t type = hostapi::ReadI16(record.data(), Slur::kType);
    const bool lowerLayerFirst = type == 0 || type == 8;
    const int16_t leftMeasure = hostapi::ReadI16(record.data(), Slur::kLeftMeasure);
    const int16_t rightMeasure = hostapi::ReadI16(record.data(), Slur::kRightMeasure);
    const int16_t leftStaff = hostapi::ReadI16(record.data(), Slur::kLeftStaff);
    const int16_t rightStaff = hostapi::ReadI16(record.data(), Slur::kRightStaff);
    hostapi::EntryNumber leftEntry = 0;
    hostapi::EntryNumber rightEntry = 0;
    int32_t leftIndex = -1;
    int32_t rightIndex = -1;
    const bool leftFound = FindEntryNearPosition(context, region, SlotOf(leftStaff, region.viewKey()), leftMeasure,
                                                 hostapi::ReadI32(record.data(), Slur::kLeftEntry), leftEntry, 0, true,
                                                 false, leftIndex, lowerLayerFirst);
    const bool oneCell = leftFound && leftMeasure == rightMeasure && leftStaff == rightStaff;
    const bool rightFound =
        leftFound && FindEntryNearPosition(context, region, SlotOf(rightStaff, region.viewKey()), rightMeasure,
                                           hostapi::ReadI32(record.data(), Slur::kRightEntry), rightEntry,
                                           oneCell ? leftIndex + 1 : 0, false, true, rightIndex, lowerLayerFirst);
    if (!rightFound) {
        record = before;
        return false;
    }
    for (const size_t offset : {Slur::kLeftOffset, Slur::kRightOffset, Slur::kLeftPlacement, Slur::kRightPlacement,
                                Slur::kWord34, Slur::kWord64}) {
        SetU16(record, offset, 0);
    }
    SetU16(record, Slur::kFlags4, U16(record, Slur::kFlags4) | kConvertedFlags4);
    SetU16(record, Slur::kFlags2, U16(record, Slur::kFlags2) | kConvertedFlags2);
    hostapi::WriteI32(record.data(), Slur::kLeftEntry, leftEntry);
    hostapi::WriteI32(record.data(), Slur::kRightEntry, rightEntry);
    return true;
}

/// Creates the 'edEx' link of an entry to a shape.
void LinkEntry(int32_t shape, hostapi::EntryNumber entry) {
    Record12 link;
    hostapi::WriteI16(link.data(), hostapi::ShapeLinkLayout::kShape, static_cast<int16_t>(shape));
    int32_t inci = -1;
    CreateEntryDetailRecord(hostapi::kTagShapeEntryLink, entry, inci, link.data(), Record12::kSize);
}

/// One slur of a selected measure; false when the command is to end (the host gave no
/// placement for resolving collisions).
bool ProcessSlur(TFMisc& context, const hostapi::SelectionRecord& region, int32_t shape, SmartShapeRecord& record) {
    const int16_t leftStaff = hostapi::ReadI16(record.data(), Slur::kLeftStaff);
    const int16_t rightStaff = hostapi::ReadI16(record.data(), Slur::kRightStaff);
    const hostapi::StaffSlot selectedSlot = SlotOf(leftStaff, region.viewKey());
    if (selectedSlot == 0 || selectedSlot < region.firstStaff() || selectedSlot > region.lastStaff()) {
        return true;
    }
    bool changed = false;
    if (!EntryAttached(record)) {
        if (RowValue(context.Options, SLURS_CONVERT) == 0 || !ConvertToEntries(context, region, record)) {
            return true;
        }
        SaveSmartShapeRecord(shape, record);
        LinkEntry(shape, hostapi::ReadI32(record.data(), Slur::kLeftEntry));
        LinkEntry(shape, hostapi::ReadI32(record.data(), Slur::kRightEntry));
    }
    if (RowOn(context.Options, SLURS_RESET_PLACEMENT)) {
        SetU16(record, Slur::kLeftPlacement, 0);
        SetU16(record, Slur::kRightPlacement, 0);
        changed = true;
    }
    if (RowValue(context.Options, SLURS_RECALCULATE) == 0 && RowOn(context.Options, SLURS_RAISE)) {
        for (const size_t offset :
             {Slur::kLeftContour + 2, Slur::kLeftContour + 6, Slur::kMainContour + 2, Slur::kMainContour + 6}) {
            hostapi::WriteI16(
                record.data(), offset,
                static_cast<int16_t>(hostapi::ReadI16(record.data(), offset) + RowValue(context.Options, SLURS_RAISE)));
        }
        changed = true;
    }
    if (RowOn(context.Options, SLURS_RECALCULATE)) {
        changed = RecalculateSlurContour(context, record, 0, SlotOf(leftStaff, 0), SlotOf(rightStaff, 0),
                                         RowOn(context.Options, SLURS_ONLY_UNADJUSTED)) ||
                  changed;
    }
    bool go = true;
    if (RowOn(context.Options, SLURS_RESOLVE_COLLISIONS)) {
        go = ResolveSlurCollisions(context, region, record, changed);
    }
    if (changed) {
        SaveSmartShapeRecord(shape, record);
    }
    return go;
}

}  // namespace

bool FindEntryNearPosition(TFMisc&, const hostapi::SelectionRecord& region, hostapi::StaffSlot slot, int32_t measure,
                           hostapi::Edu position, hostapi::EntryNumber& entry, int32_t firstIndex, bool preferEarlier,
                           bool preferLater, int32_t& index, bool lowerLayerFirst) {
    static constexpr hostapi::LayerIndex kOrder[4] = {0, 1, 2, 3};
    static constexpr hostapi::LayerIndex kLowerFirst[4] = {1, 0, 2, 3};
    for (const hostapi::LayerIndex layer : lowerLayerFirst ? kLowerFirst : kOrder) {
        const ScopedEntryArray array(region.viewKey(), slot, static_cast<hostapi::MeasureNumber>(measure), layer, 1);
        if (!array || array->count <= 0) {
            continue;
        }
        // Distances are doubled, so that one on the preferred side can count half exactly.
        int64_t best = INT64_MAX;
        int32_t found = -1;
        for (int32_t i = std::max(firstIndex, 0); i < array->count; ++i) {
            const hostapi::ConstEntryView candidate = array->entry(i);
            if (candidate.actualDuration() <= 0) {
                continue;
            }
            const int64_t offset = int64_t{candidate.position()} - position;
            const bool preferred = (preferEarlier && offset <= 0) || (preferLater && offset >= 0);
            const int64_t distance = std::abs(offset) * (preferred ? 1 : 2);
            if (distance < best) {
                best = distance;
                found = i;
            }
        }
        if (found >= 0) {
            const hostapi::EntryView winner = array->entry(found);
            // The entry is to carry a note-attached slur: its second flag word says so.
            winner.setMoreFlags(winner.moreFlags() | hostapi::kEntryMoreSmartShapes);
            SaveEntryArray(array.Get());
            entry = winner.number();
            index = found;
        }
        return found >= 0;
    }
    return false;
}

bool RunSlurTool(TFMisc& context) {
    if (context.Environment.Region() == nullptr) {
        return false;
    }
    const hostapi::SelectionRecord region = *context.Environment.Region();
    if (RowOn(context.Options, SLURS_RECALCULATE)) {
        LoadSlurContourDefaults(context);
    }
    LoadLayerSettingsTable();
    // A slur over several measures is linked from each of them; it is worked on once.
    std::set<int32_t> done;
    for (int32_t measure = region.firstMeasure(); measure <= region.lastMeasure(); ++measure) {
        if (!EditBracketStep(context.EditBracket, 0, static_cast<hostapi::MeasureNumber>(measure))) {
            return false;
        }
        Record12 link;
        for (int32_t inci = 0;
             LoadWholeOtherRecord(hostapi::kTagShapeMeasureLink, measure, inci, link.data(), Record12::kSize); ++inci) {
            const int32_t shape = hostapi::ReadI16(link.data(), hostapi::ShapeLinkLayout::kShape);
            SmartShapeRecord record;
            if (!done.insert(shape).second || !LoadSmartShapeRecord(shape, record) ||
                !IsSlurType(hostapi::ReadI16(record.data(), Slur::kType))) {
                continue;
            }
            if (!ProcessSlur(context, region, shape, record)) {
                // The host gave no placement: the user was told; what was saved stays.
                return true;
            }
        }
    }
    return true;
}

}  // namespace orvex
