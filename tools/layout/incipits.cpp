// "Incipits...": gives each selected staff system in page view the width that its measures have
// in scroll view, so that a score of short incipits keeps its measure widths; a system whose
// measures need less than the page offers ends before the right margin. The system's page layout
// is read and changed through the layout services of the host service plug-in.
#include <array>
#include <cstdint>

#include "core/free_texts.h"
#include "core/host/finxess_entries.h"
#include "core/host/host_imports.h"
#include "core/host/staff_systems.h"
#include "core/lumvar_binding.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/tool_context.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/placement_records.h"
#include "tools/layout/layout_services.h"
#include "tools/layout/split_system.h"

namespace orvex {
namespace {

using lumvar::LayoutInfo;
using LayoutRecord = std::array<uint8_t, LayoutInfo::kSize>;

/// The layout item of the system record by which a system's width changes.
constexpr uint8_t kSystemWidthItem = 11;
constexpr uint8_t kAddToValue = 1;
/// Without a placed first entry, the music is taken to begin this far after the left margin.
constexpr int32_t kMusicStartWithoutEntry = 20;

bool ReadLayout(int32_t system, LayoutRecord& info) {
    hostapi::WriteI16(info.data(), LayoutInfo::kSizeWord, static_cast<int16_t>(LayoutInfo::kSize));
    return CallGetLayoutInfo(static_cast<int16_t>(system), info.data(), true) == 0;
}

/// The sum of the stored widths of the system's measures (a multimeasure rest counts once).
int64_t ScrollViewWidth(int32_t first, int32_t end) {
    WidthList widths;
    BuildMeasureGroupList(widths, first, end - 1);
    int64_t total = 0;
    for (int32_t m = first; m < end; ++m) {
        total += widths.At(m);
    }
    return total;
}

/// Where the host places the start of the system's first measure (host service 44 for the first
/// entry of staff 1, layer 1), when it places it.
bool FirstMeasureStart(int32_t system, const EDTStaffSystemSpec2001& record, int32_t& start) {
    const auto view =
        static_cast<hostapi::ViewKey>((record.flags() & hostapi::StaffSystemLayout::kOwnStaffList) != 0 ? system : 0);
    const ScopedEntryArray lent(view, 1, record.firstMeasure(), 0);
    hostapi::EntryArray* array = lent.Get();
    if (array == nullptr) {
        return false;
    }
    int16_t placed = 0;
    hostapi::EntryBox box;
    hostapi::EntryMetrics metrics;
    if (HostOffers(&HostImports::EntryPlacement)) {
        const hostapi::EntryNumber entry = array->count > 0 ? array->entry(0).number() : 0;
        placed = EntryPlacementOf(array->staff, array->measure, entry, &box, &metrics);
    }
    start = metrics.measureX();
    return placed != 0;
}

}  // namespace

bool RunIncipits(TFMisc& context) {
    const hostapi::SelectionRecord selection = context.Environment.RegionOrWholeDocument();
    const auto selected = [&](int32_t m) { return selection.firstMeasure() <= m && m <= selection.lastMeasure(); };
    const TStaffSystems systems;
    for (int32_t c = 1; c <= systems.Count(); ++c) {
        const EDTStaffSystemSpec2001& record = systems.At(c - 1);
        const int32_t first = record.firstMeasure();
        const int32_t end = record.endMeasure();
        if (!selected(first) && !selected(end - 1)) {
            continue;
        }
        const int64_t total = ScrollViewWidth(first, end);
        LayoutRecord info{};
        if (!ReadLayout(c, info)) {
            ShowMessage(FreeText::FailedGetPageLayoutInfo);
            return false;
        }
        int64_t musicStart = hostapi::ReadI32(info.data(), LayoutInfo::kMargin2);
        int64_t leftMargin = hostapi::ReadI32(info.data(), LayoutInfo::kPageWord14);
        int32_t placedStart = 0;
        if (FirstMeasureStart(c, record, placedStart)) {
            musicStart = placedStart;
            leftMargin = 0;
        } else {
            musicStart += kMusicStartWithoutEntry;
        }
        const int64_t pageWidth = hostapi::ReadI32(info.data(), LayoutInfo::kPageI32At4);
        const int64_t rightMargin = hostapi::ReadI32(info.data(), LayoutInfo::kPageWord18);
        const int64_t systemRight = hostapi::ReadI32(info.data(), LayoutInfo::kMargin4);
        const int64_t pagePercent = hostapi::ReadI16(info.data(), LayoutInfo::kPagePercent);
        const int64_t scaling = hostapi::ReadI16(info.data(), LayoutInfo::kScaling);
        const int64_t available =
            (pageWidth - leftMargin + rightMargin) - (musicStart - systemRight) * pagePercent / 100;
        const int64_t needed = (scaling * total / 100) * pagePercent / 100;
        // A page of scale 0 has no width to give.
        if (available - needed > 0 && pagePercent != 0) {
            CallChangeLayoutInfo(kSystemWidthItem, static_cast<int32_t>(-(available - needed) * 100 / pagePercent),
                                 static_cast<int16_t>(c), kAddToValue, 0);
            ReadLayout(c, info);
        }
        UpdateHostLayout();
    }
    return true;
}

}  // namespace orvex
