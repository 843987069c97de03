// The beat chart in the tool context: its fields, its records and the computed positions.
#include "core/beat_chart.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "core/host/finxess.h"
#include "core/tool_context.h"
#include "platform/hostapi/bytes.h"

namespace orvex {
namespace {

using Layout = BeatChartElementLayout;

/// A host keeps at most 32768 incidences under one key: the cleanup after a save ends there at
/// the latest, whatever the host answers.
constexpr int32_t kMaxStoredIndex = 32768;

const uint8_t* ElementBytes(const BeatChartState& chart, int32_t i) {
    if (i < 0 || static_cast<size_t>(i) >= BeatChartState::kMaxElements) {
        throw std::logic_error("beat chart element " + std::to_string(i) + " is outside the chart");
    }
    return chart.elements[static_cast<size_t>(i)].bytes.data();
}

uint8_t* ElementBytes(BeatChartState& chart, int32_t i) {
    return const_cast<uint8_t*>(ElementBytes(static_cast<const BeatChartState&>(chart), i));
}

int32_t MeasureWidth(const TFMisc& context) {
    return hostapi::ReadI16(context.Walk.measureSpec.data(), EDTMeasureSpec::kWidth);
}

}  // namespace

BeatChartState& BeatCharts(const TFMisc& context) {
    return context.States.Get<BeatChartState>();
}

int32_t BeatTime(const BeatChartState& chart, int32_t i) {
    return hostapi::ReadI32(ElementBytes(chart, i), Layout::kTime);
}
int32_t BeatPosition(const BeatChartState& chart, int32_t i) {
    return hostapi::ReadI16(ElementBytes(chart, i), Layout::kPosition);
}
int32_t BeatNext(const BeatChartState& chart, int32_t i) {
    return hostapi::ReadI16(ElementBytes(chart, i), Layout::kNext);
}
int32_t BeatMinimum(const BeatChartState& chart, int32_t i) {
    return hostapi::ReadI16(ElementBytes(chart, i), Layout::kMinimum);
}
void SetBeatPosition(BeatChartState& chart, int32_t i, int32_t value) {
    hostapi::WriteI16(ElementBytes(chart, i), Layout::kPosition, static_cast<int16_t>(value));
}
void SetBeatNext(BeatChartState& chart, int32_t i, int32_t value) {
    hostapi::WriteI16(ElementBytes(chart, i), Layout::kNext, static_cast<int16_t>(value));
}
void SetBeatMinimum(BeatChartState& chart, int32_t i, int32_t value) {
    hostapi::WriteI16(ElementBytes(chart, i), Layout::kMinimum, static_cast<int16_t>(value));
}

int32_t BeatElementDuration(const BeatChartState& chart, int32_t i) {
    const int32_t n = chart.elementCount;
    if (i == 0) {
        return 0;
    }
    if (i < n) {
        return BeatTime(chart, i + 1) - BeatTime(chart, i);
    }
    if (i == n) {
        return BeatTime(chart, 0) - BeatTime(chart, n);
    }
    return hostapi::kEduPerQuarter;
}

int32_t BeatElementMinWidth(const BeatChartState& chart, int32_t i) {
    const int32_t n = chart.elementCount;
    // A chart of the header alone has no element whose minimum counts.
    if (n < 1) {
        return 0;
    }
    if (i == 0) {
        return BeatMinimum(chart, 1);
    }
    // An element without a minimum position (0) starts no minimum width: counted from 0 it would
    // ask for the whole chart up to the next minimum (the host's note spacing leaves the elements'
    // minimums at 0 and the header's minimum end at the chart's end).
    if (BeatMinimum(chart, std::min(i, n)) == 0) {
        return 0;
    }
    if (i < n) {
        return BeatMinimum(chart, i + 1) - BeatMinimum(chart, i);
    }
    // The header's minimum end stands where element N + 1 would be.
    return BeatNext(chart, 0) - BeatMinimum(chart, n);
}

int32_t BeatElementActualWidth(const BeatChartState& chart, int32_t i) {
    // Past the chart no element is loaded: what the array holds there belongs to no measure.
    if (i > chart.elementCount || (i == 0 && chart.elementCount < 1)) {
        return 0;
    }
    if (i == 0) {
        return BeatPosition(chart, 1);
    }
    return BeatNext(chart, i) - BeatPosition(chart, i);
}

int32_t BeatElementWidth(const BeatChartState& chart, int32_t i) {
    const auto at = [&](int32_t k) { return chart.positions[static_cast<size_t>(k)]; };
    return i == 0 ? at(1) : at(i + 1) - at(i);
}

bool LoadBeatChart(TFMisc& context, int32_t measure) {
    BeatChartState& chart = BeatCharts(context);
    const uint16_t flags = hostapi::ReadU16(context.Walk.measureSpec.data(), EDTMeasureSpec::kFlags);
    const uint16_t mode = flags & kSpacingModeMask;
    // A measure not spaced by its chart has none, whatever the measure before had.
    chart.hasChart = 0;
    if (mode != 2 && mode != 6) {
        return false;
    }
    chart.removalMarks[0] = 0;
    chart.hasChart = LoadWholeOtherRecord(kTagBeatChart, measure, 0, ElementBytes(chart, 0), Layout::kSize) ? 1 : 0;
    chart.elementCount = 0;
    while (static_cast<size_t>(chart.elementCount + 1) < BeatChartState::kMaxElements) {
        const int32_t next = chart.elementCount + 1;
        if (!LoadWholeOtherRecord(kTagBeatChart, measure, next, ElementBytes(chart, next), Layout::kSize)) {
            break;
        }
        chart.removalMarks[static_cast<size_t>(next)] = 0;
        chart.elementCount = next;
    }
    return chart.hasChart != 0;
}

bool SaveBeatChart(TFMisc& context, int32_t measure, bool dropMarked) {
    RecomputeBeatPositions(context);
    BeatChartState& chart = BeatCharts(context);
    bool saved = true;
    int32_t removed = 0;
    for (int32_t i = 0; i <= chart.elementCount; ++i) {
        if (dropMarked && i >= 2 && chart.removalMarks[static_cast<size_t>(i)] != 0) {
            // The stored chart loses its last record; the elements after i move down onto it.
            DeleteOtherRecord(kTagBeatChart, measure, chart.elementCount - removed);
            ++removed;
            ++context.RemovedHandleCount;
        } else {
            saved =
                SaveOtherRecord(kTagBeatChart, measure, i - removed, ElementBytes(chart, i), Layout::kSize) && saved;
        }
    }
    // Records after the chart are stale: each delete moves the next one down onto this index.
    const int32_t written = chart.elementCount + 1 - removed;
    for (int32_t n = 0; n < kMaxStoredIndex && DeleteOtherRecord(kTagBeatChart, measure, written); ++n) {
    }
    return saved;
}

bool RecomputeBeatPositions(TFMisc& context) {
    BeatChartState& chart = BeatCharts(context);
    auto& pos = chart.positions;
    const int32_t available = MeasureWidth(context) - kBarlineReserve;
    const int64_t total = BeatTime(chart, 0);
    int32_t free = available - BeatPosition(chart, 0);
    bool fits = false;
    do {
        int64_t sum = 0;
        pos[0] = 0;
        for (int32_t k = 1; k <= chart.elementCount + 1; ++k) {
            const int32_t e = k - 1;
            if (k > 1 && k <= chart.elementCount && BeatTime(chart, k) == 0) {
                chart.elementCount = k - 1;
            }
            // A chart without a duration has no free space to share.
            int64_t extra = total > 0 ? int64_t{free} * BeatElementDuration(chart, e) / total : 0;
            if (sum + extra > available) {
                extra = available - sum;
            }
            const int32_t actual = BeatElementActualWidth(chart, e);
            const int32_t minimum = BeatElementMinWidth(chart, e);
            if (actual + extra < minimum) {
                extra = minimum - actual;
            }
            sum += extra;
            pos[static_cast<size_t>(k)] = static_cast<int32_t>(pos[static_cast<size_t>(k - 1)] + actual + extra);
        }
        fits = pos[static_cast<size_t>(chart.elementCount + 1)] <= available;
    } while (!fits && --free >= 0);
    return fits;
}

void ShiftBeatChart(TFMisc& context, int32_t first, int32_t delta, bool moveHeaderWord) {
    BeatChartState& chart = BeatCharts(context);
    const int32_t n = chart.elementCount;
    for (int32_t i = std::max(first, 1); i <= n; ++i) {
        SetBeatPosition(chart, i, BeatPosition(chart, i) + delta);
        SetBeatNext(chart, i - 1, BeatNext(chart, i - 1) + delta);
    }
    SetBeatPosition(chart, 0, BeatPosition(chart, 0) + delta);
    if (moveHeaderWord) {
        SetBeatMinimum(chart, 0, BeatMinimum(chart, 0) + delta);
    }
    SetBeatNext(chart, n, BeatPosition(chart, 0));
    hostapi::WriteI16(context.Walk.measureSpec.data(), EDTMeasureSpec::kWidth,
                      static_cast<int16_t>(MeasureWidth(context) + delta));
    RecomputeBeatPositions(context);
}

}  // namespace orvex
