// "Measure Widths..." and "Fit Measures...".
#include "tools/layout/fit_measures.h"

#include <algorithm>
#include <array>
#include <limits>

#include "core/free_texts.h"
#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/finxess_regions.h"
#include "core/host/host_imports.h"
#include "core/host/smart_shapes.h"
#include "core/host/staff_systems.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/tool_context.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/entry_array.h"
#include "tools/layout/layout_services.h"
#include "tools/layout/split_system.h"

namespace orvex {
namespace {

/// Widths below this are "don't set".
constexpr int32_t kSmallestWidth = 20;
/// A 4/4 measure, whose width is not scaled.
constexpr int64_t kWholeMeasure = 4096;

bool WidthSet(int32_t width) {
    return width >= kSmallestWidth;
}

/// The width for a measure of that length: a 4/4 measure gets the value itself, other lengths
/// more or less by the factor (percent); kept within a measure record's width field.
int32_t ScaledWidth(int32_t value, int32_t factor, int64_t length) {
    const int64_t scale = length * factor / kWholeMeasure + (100 - factor);
    return static_cast<int32_t>(std::clamp<int64_t>(scale * value / 100, 0, std::numeric_limits<int16_t>::max()));
}

enum class MeasureContent { Other, Empty, OneNote };

/// What the cells of the region's staves hold in the measure, layer by layer.
MeasureContent ContentOf(const hostapi::SelectionRecord& region, int32_t measure) {
    int32_t most = 0;
    for (int32_t slot = region.firstStaff(); slot <= region.lastStaff(); ++slot) {
        for (hostapi::LayerIndex layer = 0; layer < 4; ++layer) {
            const ScopedEntryArray array(region.viewKey(), static_cast<hostapi::StaffSlot>(slot),
                                         static_cast<hostapi::MeasureNumber>(measure), layer);
            if (array) {
                most = std::max<int32_t>(most, array->count);
            }
        }
    }
    return most == 0 ? MeasureContent::Empty : most == 1 ? MeasureContent::OneNote : MeasureContent::Other;
}

/// Sets the width of an empty measure or of one with only one note horizontally; any other
/// measure keeps its width.
void SetMeasureWidth(const hostapi::SelectionRecord& region, int32_t measure, int32_t emptyWidth, int32_t oneNoteWidth,
                     int32_t factor) {
    EDTMeasureSpec record;
    if (!LoadMeasureSpec(measure, record)) {
        return;
    }
    const MeasureContent content = ContentOf(region, measure);
    int32_t value = 0;
    if (content == MeasureContent::Empty && WidthSet(emptyWidth)) {
        value = emptyWidth;
    } else if (content == MeasureContent::OneNote && WidthSet(oneNoteWidth)) {
        value = oneNoteWidth;
    } else {
        return;
    }
    const int64_t length = MeasureLengthOrDefault(0, static_cast<hostapi::MeasureNumber>(measure));
    hostapi::WriteI16(record.data(), EDTMeasureSpec::kWidth, static_cast<int16_t>(ScaledWidth(value, factor, length)));
    SaveMeasureSpec(measure, record);
}

/// Adds measures at the ends of the target systems until the last one ends after the range:
/// each time the target that is narrowest with one more measure takes it, with the rest of a
/// multimeasure rest that the measure begins, and the later targets move on.
void AbsorbRangeEnd(SystemLayout& layout, int32_t firstTarget, int32_t lastTarget, int32_t rangeEnd,
                    const WidthList& widths) {
    while (layout.End(lastTarget) < rangeEnd) {
        int32_t pick = firstTarget;
        int32_t narrowest = SystemWidth(layout, firstTarget, 0, 1, widths);
        for (int32_t t = firstTarget + 1; t <= lastTarget; ++t) {
            const int32_t width = SystemWidth(layout, t, 0, 1, widths);
            if (width < narrowest) {
                narrowest = width;
                pick = t;
            }
        }
        int32_t take = 1;
        const int64_t listEnd = static_cast<int64_t>(widths.base) + static_cast<int64_t>(widths.widths.size());
        while (layout.End(pick) + take < listEnd && widths.At(layout.End(pick) + take) == 0) {
            ++take;
        }
        // A rest reaching beyond the range does not carry the targets past its end.
        take = std::min(take, rangeEnd - layout.End(lastTarget));
        for (int32_t t = pick; t <= lastTarget; ++t) {
            layout.SetEnd(t, layout.End(t) + take);
            if (t > pick) {
                layout.SetFirst(t, layout.First(t) + take);
            }
        }
    }
}

}  // namespace

bool RunMeasureWidths(TFMisc& context, const hostapi::SelectionRecord& region, std::span<const OptionElement> values) {
    const auto value = [&](size_t row) { return row < values.size() ? values[row].value : 0; };
    const int32_t first = region.firstMeasure();
    const int32_t last = region.lastMeasure();
    ScopedEditBracket progress(
        &region, context.ProgressStepCount != 0 ? context.ProgressStepCount : std::max(last - first + 1, 0));
    for (int32_t m = first; m <= last; ++m) {
        if (!progress.Step(0, static_cast<hostapi::MeasureNumber>(m))) {
            break;
        }
        RawRecord<MultimeasureRestLayout::kSize> rest;
        if (WidthSet(value(MEASURE_WIDTHS_REST)) &&
            LoadWholeOtherRecord(kTagMultimeasureRest, m, 0, rest.data(), MultimeasureRestLayout::kSize)) {
            hostapi::WriteI16(rest.data(), MultimeasureRestLayout::kWidth,
                              static_cast<int16_t>(value(MEASURE_WIDTHS_REST)));
            SaveOtherRecord(kTagMultimeasureRest, m, 0, rest.data(), MultimeasureRestLayout::kSize);
        }
        if (WidthSet(value(MEASURE_WIDTHS_EMPTY)) || WidthSet(value(MEASURE_WIDTHS_ONE_NOTE))) {
            SetMeasureWidth(region, m, value(MEASURE_WIDTHS_EMPTY), value(MEASURE_WIDTHS_ONE_NOTE),
                            value(MEASURE_WIDTHS_SCALING));
        }
    }
    progress.End();
    return !progress.Stopped();
}

bool RunMeasureWidths(TFMisc& context, const hostapi::SelectionRecord& region) {
    return RunMeasureWidths(context, region,
                            std::span<const OptionElement>(context.Options.data(), MEASURE_WIDTHS_ROW_COUNT));
}

namespace {

/// Fit Measures' steps; false when one fails (records written before stay).
bool FitMeasures(TFMisc& context) {
    const TStaffSystems systems;
    if (systems.Count() == 0) {
        return false;
    }
    SystemLayout layout(systems);
    hostapi::SelectionRecord selection = context.Environment.RegionOrWholeDocument();
    const int32_t first = RowOn(context.Options, FIT_USE_SELECTION) ? selection.firstMeasure()
                                                                    : RowValue(context.Options, FIT_FROM_MEASURE);
    const int32_t last =
        RowOn(context.Options, FIT_USE_SELECTION) ? selection.lastMeasure() : RowValue(context.Options, FIT_TO_MEASURE);
    const int32_t targets = RowValue(context.Options, FIT_SYSTEM_COUNT);
    const bool lock = RowOn(context.Options, FIT_LOCK_SYSTEMS);
    if (first < 1 || last < first || targets < 1) {
        return false;
    }

    hostapi::SelectionRecord range = context.Environment.WholeDocument();
    range.setFirstMeasure(static_cast<hostapi::MeasureNumber>(first));
    range.setLastMeasure(static_cast<hostapi::MeasureNumber>(last));
    // The width pass runs with values that set no width (rows 0-3 of the second option array are
    // 0): fitting never rewrites the widths of measures the user did not ask for.
    const std::array<OptionElement, MEASURE_WIDTHS_ROW_COUNT> noWidths{};
    if (!RunMeasureWidths(context, range, noWidths)) {
        return false;
    }
    WidthList widths;
    if (!BuildMeasureGroupList(widths, first, last)) {
        return false;
    }

    const int32_t a = layout.SystemOf(first);
    int32_t b = layout.SystemOf(last);
    if (a == 0 || b == 0) {
        return false;
    }
    const bool startsInside = first >= 2 && layout.SystemOf(first - 1) == a;
    const bool endsInside = last < DocumentLastMeasure() && layout.SystemOf(last + 1) == b;
    const int32_t firstTarget = startsInside ? a + 1 : a;
    int32_t rangeLast = endsInside ? b - 1 : b;

    // More systems: split the last ones that can be split. A split makes at most one system a
    // measure, so a run that asks for more than the measures can give fails before it splits any.
    int32_t need = targets - (rangeLast - firstTarget + 1);
    int32_t splittable = 0;
    for (int32_t k = firstTarget; k <= b; ++k) {
        splittable += std::max(0, layout.MeasureCount(k) - 1);
    }
    if (need > splittable) {
        return false;
    }
    while (need > 0) {
        int32_t s = b;
        while (s >= firstTarget && layout.MeasureCount(s) < 2) {
            --s;
        }
        if (s < firstTarget) {
            return false;
        }
        const int32_t parts = std::min(layout.MeasureCount(s), need + 1);
        selection.setFirstMeasure(static_cast<hostapi::MeasureNumber>(layout.First(s)));
        selection.setLastMeasure(static_cast<hostapi::MeasureNumber>(
            std::max(layout.First(s), (layout.First(s) + layout.NextFirst(s)) / 2)));
        if (!SplitStaffSystem(context, parts, layout, selection, false)) {
            return false;
        }
        b += parts - 1;
        rangeLast += parts - 1;
        need -= parts - 1;
    }

    // The range's ends become system boundaries.
    if (startsInside) {
        layout.SetEnd(a, first);
        layout.SetFirst(a + 1, first);
        for (const int32_t k : {a, a + 1}) {
            layout.Save(k);
            layout.Lock(k, lock);
        }
    }
    if (endsInside && b > 1) {
        layout.SetEnd(b - 1, last + 1);
        layout.SetFirst(b, last + 1);
        for (const int32_t k : {b - 1, b}) {
            layout.Save(k);
            layout.Lock(k, lock);
        }
    }

    // The targets take the whole range; surplus systems go, and the later optimizations move up.
    const int32_t lastTarget = firstTarget + targets - 1;
    if (last + 1 != layout.End(lastTarget)) {
        AbsorbRangeEnd(layout, firstTarget, lastTarget, last + 1, widths);
        if (rangeLast > lastTarget) {
            const int32_t removed = rangeLast - lastTarget;
            const int32_t storedCount = layout.Count();
            for (int32_t k = rangeLast; k > lastTarget; --k) {
                layout.Remove(k);
            }
            for (int32_t j = lastTarget + 1; j <= layout.Count(); ++j) {
                CopyOptimization(j + removed, j);
            }
            layout.SaveFrom(firstTarget);
            layout.DeleteStored(storedCount);
            layout.DeleteStoredOptimizations(storedCount);
        } else {
            for (int32_t k = firstTarget; k <= lastTarget; ++k) {
                layout.Save(k);
            }
        }
        for (int32_t k = firstTarget; k <= lastTarget; ++k) {
            layout.Lock(k, lock);
        }
    }

    SetProgressText(context, FreeText::ProgressRedistributingMeasuresLower);
    BalanceSystems(firstTarget, lastTarget, layout, widths, lock, &selection);
    if (!lock) {
        ShowMessage({.id = MSG_UNLOCKED_MEASURE_LAYOUT, .skippable = true});
    }
    UpdateHostLayout();
    SetProgressText(context, FreeText::ProgressDone);
    return true;
}

}  // namespace

bool RunFitMeasures(TFMisc& context) {
    // The form says "Done." only after a run that is done: a run starts under the command's name,
    // and one that fails ends under it (a split it made says "Done." of its own part).
    SetProgressCaption(context);
    if (FitMeasures(context)) {
        return true;
    }
    SetProgressCaption(context);
    return false;
}

bool RunMeasureWidthsTool(TFMisc& context, int32_t /*setNumber*/, const hostapi::SelectionRecord* region) {
    UpdateHostLayout();
    const bool done = RunMeasureWidths(context, region != nullptr ? *region : hostapi::SelectionRecord{});
    UpdateHostLayout();
    return done;
}

}  // namespace orvex
