// The spacing commands of the spacing submenu, measure by measure through the beat chart, and
// the measure flags of "Reset...".
#include "tools/layout/beat_spacing.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <limits>
#include <type_traits>

#include "core/beat_chart.h"
#include "core/host/finxess.h"
#include "core/host/smart_shapes.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/tool_context.h"
#include "core/tool_items.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/expression_records.h"
#include "tools/layout/hairpins.h"

namespace orvex {
namespace {

// The vectors of the beat-chart state, by index.
constexpr size_t kDensities = 0;  ///< D: width per thousand EDU of each element
constexpr size_t kClasses = 1;    ///< L: integer part of log2 of each element's duration
constexpr size_t kExpected = 2;   ///< P: the density expected from like neighbours
constexpr size_t kAdded = 3;      ///< A: space added to an element in this measure
constexpr size_t kFactors = 4;    ///< F: how far an element was widened, per thousand

constexpr int32_t kMaxRepeatDepth = 10;
constexpr int32_t kUnwidened = 1000;
/// Elements shorter than this take their density from longer neighbours.
constexpr int32_t kShortDuration = 128;
/// Elements whose durations differ by at most this count as of like duration.
constexpr int32_t kLikeDuration = 4;
/// The least space that compressing leaves after the last element.
constexpr int32_t kLeastEndSpace = 40;
/// The space after the last minimum position when notes are set as tight as possible.
constexpr int32_t kTightEndSpace = 22;
/// Minimum widths up to this are counted for the reduction of minimum positions.
constexpr int32_t kMinWidthHistogram = 100;
constexpr int32_t kFirstReductionWidth = 10;

int32_t Clamp32(int64_t value) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

BeatChartState& Chart(TFMisc& context) {
    return BeatCharts(context);
}
int32_t Pos(const BeatChartState& chart, int32_t k) {
    return chart.positions[static_cast<size_t>(k)];
}
std::vector<int32_t>& List(BeatChartState& chart, size_t which) {
    return chart.lists[which];
}

int32_t MeasureWidth(const TFMisc& context) {
    return hostapi::ReadI16(context.Walk.measureSpec.data(), EDTMeasureSpec::kWidth);
}
void AddToMeasureWidth(TFMisc& context, int32_t delta) {
    hostapi::WriteI16(context.Walk.measureSpec.data(), EDTMeasureSpec::kWidth,
                      static_cast<int16_t>(MeasureWidth(context) + delta));
}

/// The end of the selection in its last measure; 0 and 2147483647 stand for the measure's end.
int32_t RegionEnd(const hostapi::SelectionRecord& region, int32_t total) {
    const int32_t end = region.endEdu();
    return end == 0 || end == std::numeric_limits<int32_t>::max() ? total : end;
}

void ShowHandlesOutOfOrder() {
    ShowMessage({.id = MSG_BEAT_CHART_OUT_OF_ORDER, .caption = Caption::OneMeasureNotProcessed, .skippable = true});
}

/// Every added space 0 and every factor unwidened; the vectors grow to N + 2 entries when
/// shorter and are never cut.
void ResetWidening(BeatChartState& chart) {
    const auto wanted = static_cast<size_t>(chart.elementCount + 2);
    for (size_t which : {kAdded, kFactors}) {
        std::vector<int32_t>& values = List(chart, which);
        if (values.size() < wanted) {
            values.resize(wanted);
        }
        std::fill(values.begin(), values.end(), which == kAdded ? 0 : kUnwidened);
    }
}

/// Tool 3: element positions from 2 on scaled by (100 - percent) per cent.
void CompressBeatChart(BeatChartState& chart, int32_t percent) {
    const int32_t n = chart.elementCount;
    for (int32_t i = 2; i <= n; ++i) {
        const int32_t position = (100 - percent) * BeatPosition(chart, i) / 100;
        SetBeatPosition(chart, i, position);
        SetBeatNext(chart, i - 1, position);
    }
    if (BeatNext(chart, n) < BeatPosition(chart, n) + kLeastEndSpace) {
        SetBeatNext(chart, n, BeatPosition(chart, n) + kLeastEndSpace);
        SetBeatPosition(chart, 0, BeatNext(chart, n));
    }
}

/// Tool 6, "Make notes as tight as possible": minimum positions no further than element 1's
/// space, and, when every element from 2 on has one, every element at its minimum position;
/// true when the chart changed.
bool SetNotesTight(TFMisc& context) {
    BeatChartState& chart = Chart(context);
    const int32_t n = chart.elementCount;
    const int32_t excess = BeatMinimum(chart, 1) - BeatNext(chart, 1);
    if (excess > 0) {
        for (int32_t i = 1; i <= n; ++i) {
            SetBeatMinimum(chart, i, BeatMinimum(chart, i) - excess);
        }
    }
    for (int32_t i = 2; i <= n; ++i) {
        if (BeatMinimum(chart, i) == 0) {
            return excess > 0;
        }
    }
    for (int32_t i = 1; i <= n; ++i) {
        SetBeatPosition(chart, i, BeatMinimum(chart, i));
        // The header's word at byte 6 is its minimum end, not a space: element 1 moves no "next".
        if (i > 1) {
            SetBeatNext(chart, i - 1, BeatPosition(chart, i));
        }
    }
    SetBeatPosition(chart, 0, BeatNext(chart, 0));
    SetBeatNext(chart, n, BeatPosition(chart, 0));
    hostapi::WriteI16(context.Walk.measureSpec.data(), EDTMeasureSpec::kWidth,
                      static_cast<int16_t>(BeatPosition(chart, 0) + kTightEndSpace));
    return true;
}

/// A ratio per thousand scaled by the class adjustment factor (in per cent). A factor below 0
/// (classes far apart, a large percentage per class) counts as 0: such an element is not widened.
int64_t ClassAdjusted(int64_t steps, int64_t percentPerClass, int64_t ratio) {
    const int64_t factor = std::max<int64_t>(0, steps * percentPerClass + 100);
    return factor * ratio / 100;
}

}  // namespace

bool RemoveExtraneousBeatElements(TFMisc& context, int32_t tolerance) {
    BeatChartState& chart = Chart(context);
    const int32_t n = chart.elementCount;
    // The quotients are unsigned 32-bit, over 32-bit differences and products: a negative
    // difference counts as a large number.
    const auto difference = [](int32_t to, int32_t from) {
        return static_cast<uint32_t>(to) - static_cast<uint32_t>(from);
    };
    const auto quotient = [](uint32_t before, uint32_t after, uint32_t whenZero) -> uint32_t {
        return after == 0 ? whenZero : before * 1000u / after;
    };
    const auto deviation = [](uint32_t a, uint32_t b) { return std::abs(int64_t{static_cast<int32_t>(a - b)}); };
    constexpr uint32_t kUnbounded = 2147483647u;

    bool marked = false;
    int32_t keep = 1;
    int32_t previousTime = BeatTime(chart, 1);
    int32_t previousPosition = BeatPosition(chart, 1);
    int32_t previousMinimum = BeatMinimum(chart, 1);
    for (int32_t i = 2; i <= n; ++i) {
        const int32_t time = BeatTime(chart, i);
        const int32_t position = BeatPosition(chart, i);
        const int32_t minimum = BeatMinimum(chart, i);
        // After the last element the header stands for the next one.
        const bool last = i == n;
        const int32_t nextTime = last ? BeatTime(chart, 0) : BeatTime(chart, i + 1);
        const int32_t nextPosition = last ? BeatPosition(chart, 0) : BeatPosition(chart, i + 1);
        const int32_t nextMinimum = last ? BeatNext(chart, 0) : BeatMinimum(chart, i + 1);

        const uint32_t rt = quotient(difference(time, previousTime), difference(nextTime, time), kUnbounded);
        const uint32_t rp =
            quotient(difference(position, previousPosition), difference(nextPosition, position), kUnbounded);
        const uint32_t rm = quotient(difference(minimum, previousMinimum), difference(nextMinimum, minimum), rt);
        if (deviation(rp, rt) <= tolerance && deviation(rm, rt) <= tolerance) {
            chart.removalMarks[static_cast<size_t>(i)] = 1;
            SetBeatNext(chart, keep, BeatNext(chart, i));
            marked = true;
        } else {
            keep = i;
        }
        previousTime = time;
        previousPosition = position;
        previousMinimum = minimum;
    }
    return marked;
}

bool ScaleBeatRange(TFMisc& context, int32_t amount) {
    BeatChartState& chart = Chart(context);
    const int32_t n = chart.elementCount;
    const int32_t total = BeatTime(chart, 0);
    int32_t startTime = 0;
    int32_t endTime = total;
    if (context.Environment.Region() != nullptr) {
        if (context.Environment.Region()->firstMeasure() == context.Walk.measure) {
            startTime = context.Environment.Region()->startEdu();
        }
        if (context.Environment.Region()->lastMeasure() == context.Walk.measure) {
            endTime = RegionEnd(*context.Environment.Region(), total);
        }
    }
    int32_t first = 0;
    while (first < n && BeatTime(chart, first + 1) <= startTime) {
        ++first;
    }
    // Index 0 counts with the measure's duration as its time.
    int32_t last = n + 1;
    for (int32_t j = first; j <= n; ++j) {
        if ((j == 0 ? total : BeatTime(chart, j)) >= endTime) {
            last = j;
            break;
        }
    }
    if (RowValue(context.Options, SCALE_SPACING_WITH_BARLINES) == 0) {
        if (first == 0 && last > 1) {
            first = 1;
        }
        if (last > n && first < n) {
            last = n;
        }
    }
    const int32_t span = Pos(chart, last) - Pos(chart, first);
    if (first == last || span < 1 || (amount < 0 && Pos(chart, last) + amount < 0)) {
        return false;
    }
    for (int32_t i = 1; i <= n; ++i) {
        int64_t position = Pos(chart, i);
        if (i >= last) {
            position += amount;
        } else if (i > first) {
            position += int64_t{Pos(chart, i) - Pos(chart, first)} * amount / span;
        }
        SetBeatPosition(chart, i, Clamp32(position));
        if (i > 1) {
            SetBeatNext(chart, i - 1, Clamp32(position));
        }
        SetBeatMinimum(chart, i, 0);
    }
    SetBeatNext(chart, 0, 1);
    SetBeatPosition(chart, 0, Pos(chart, n + 1) + amount);
    SetBeatNext(chart, n, BeatPosition(chart, 0));
    AddToMeasureWidth(context, amount);
    return true;
}

void AddRemoveBeatSpace(TFMisc& context, int32_t amount, int32_t place) {
    BeatChartState& chart = Chart(context);
    const int32_t n = chart.elementCount;
    if (place == 2) {
        SetBeatPosition(chart, 0, BeatPosition(chart, 0) + amount);
        SetBeatNext(chart, 0, BeatNext(chart, 0) + amount);
        SetBeatNext(chart, n, BeatPosition(chart, 0));
    } else {
        int32_t s = 1;
        if (place == 1 && context.Environment.Region() != nullptr &&
            context.Environment.Region()->lastMeasure() == context.Walk.measure) {
            const int32_t end = RegionEnd(*context.Environment.Region(), BeatTime(chart, 0));
            s = n + 1;
            for (int32_t k = 1; k <= n; ++k) {
                if (BeatTime(chart, k) >= end) {
                    s = k;
                    break;
                }
            }
        }
        // Space is never taken away beyond the element before the place.
        if (s == 1 && amount < 0) {
            amount = std::max(amount, -Pos(chart, 1));
        }
        if (s > 1 && amount < 0 && Pos(chart, s) + amount < Pos(chart, s - 1)) {
            amount = Pos(chart, s - 1) - Pos(chart, s);
        }
        for (int32_t i = 1; i <= n; ++i) {
            SetBeatPosition(chart, i, Pos(chart, i) + (i >= s ? amount : 0));
            SetBeatNext(chart, i, Pos(chart, i + 1) + (i + 1 >= s ? amount : 0));
            SetBeatMinimum(chart, i, 1);
        }
        SetBeatPosition(chart, 0, Pos(chart, n + 1) + amount);
        SetBeatNext(chart, 0, 1);
    }
    AddToMeasureWidth(context, amount);
    SetBeatMinimum(chart, 0, BeatMinimum(chart, 0) + amount);
    RecomputeBeatPositions(context);
}

bool LimitLeadingWhiteSpace(TFMisc& context) {
    BeatChartState& chart = Chart(context);
    const int32_t limit = RowValue(context.Options, LEADING_WHITE_LIMIT);
    const bool always = RowOn(context.Options, LEADING_WHITE_ALWAYS);
    const int32_t subtract = RowValue(context.Options, LEADING_WHITE_SUBTRACT);
    const int32_t maximumMinimum = RowValue(context.Options, LEADING_WHITE_MAXIMUM_MINIMUM);
    int32_t lead = BeatPosition(chart, 1);
    const int32_t minimum = BeatMinimum(chart, 1);
    bool changed = false;
    if (minimum > 0) {
        // The first note stands at least at its minimum position, within the allowed minimum.
        const int32_t cap = std::min(maximumMinimum, limit);
        if (lead < minimum) {
            lead = std::min(minimum, cap);
        }
        SetBeatMinimum(chart, 1, 0);
        changed = true;
    }
    if (always || lead > limit) {
        ShiftBeatChart(context, 1, limit - lead, false);
        lead = limit;
        changed = true;
    }
    if (subtract != 0) {
        const int32_t d = std::min(subtract, lead);
        if (d != 0) {
            ShiftBeatChart(context, 1, -d, false);
            changed = true;
        }
    }
    return changed;
}

void CapShortDensities(const BeatChartState& chart, std::vector<int32_t>& values) {
    const int32_t n = chart.elementCount;
    const auto at = [&](int32_t k) -> int32_t& { return values.at(static_cast<size_t>(k)); };
    for (int32_t i = 1; i <= n; ++i) {
        if (BeatElementDuration(chart, i) >= kShortDuration) {
            continue;
        }
        int32_t j = i + 1;
        while (j <= n && BeatElementDuration(chart, j) < kShortDuration) {
            ++j;
        }
        int32_t k = i - 1;
        while (k > 0 && BeatElementDuration(chart, k) < kShortDuration) {
            --k;
        }
        if (j == n + 1 || at(i) <= at(j)) {
            j = k;
        }
        if (k > 0 && at(i) > at(k)) {
            at(i) = j <= k ? at(k) : at(j);
        } else if (j <= n && at(i) > at(j)) {
            at(i) = at(j);
        }
    }
}

bool ComputeExpectedDensities(TFMisc& context) {
    BeatChartState& chart = Chart(context);
    const int32_t n = chart.elementCount;
    std::vector<int32_t>& expected = List(chart, kExpected);
    for (int32_t i = 1; i <= n; ++i) {
        const int32_t d = BeatElementDuration(chart, i);
        const int32_t w = BeatElementWidth(chart, i);
        if (w < 0) {
            ShowHandlesOutOfOrder();
            return false;
        }
        if (d <= 0) {
            return false;
        }
        std::vector<int32_t> histogram(static_cast<size_t>(w) + 1, 0);
        int64_t sum = 0;
        int32_t count = 0;
        const auto visit = [&](int32_t j) {
            const int32_t width = BeatElementWidth(chart, j);
            if (width >= 0 && width <= w) {
                ++histogram[static_cast<size_t>(width)];
            }
            sum += width;
            ++count;
        };
        const auto alike = [&](int32_t j) { return std::abs(BeatElementDuration(chart, j) - d) <= kLikeDuration; };
        for (int32_t j = i - 1; j >= 1 && alike(j); --j) {
            visit(j);
        }
        for (int32_t j = i; j <= n && alike(j); ++j) {
            visit(j);
        }
        int64_t average = count > 0 ? sum / count : w;
        int64_t m = w;
        for (int32_t t = 1; t < w; ++t) {
            if (histogram[static_cast<size_t>(t)] > 1) {
                m = t;
                break;
            }
        }
        if (m >= average && count != 2) {
            // Widths that occur once above the average are outliers: they leave the average.
            for (int64_t t = std::max<int64_t>(average + 1, 0); t <= w; ++t) {
                if (histogram[static_cast<size_t>(t)] == 1) {
                    --count;
                    sum -= t;
                }
            }
            if (count > 0) {
                average = sum / count;
            }
            m = average;
        }
        expected[static_cast<size_t>(i)] = Clamp32(m * 1000 / d);
    }
    CapShortDensities(chart, expected);
    return true;
}

bool ComputeBeatDensities(TFMisc& context) {
    BeatChartState& chart = Chart(context);
    const int32_t n = chart.elementCount;
    const auto size = static_cast<size_t>(n + 1);
    std::vector<int32_t>& densities = List(chart, kDensities);
    std::vector<int32_t>& classes = List(chart, kClasses);
    densities.resize(size);
    classes.resize(size);
    List(chart, kExpected).resize(size);
    for (int32_t i = 1; i <= n; ++i) {
        const int32_t w = BeatElementWidth(chart, i);
        if (w < 0) {
            ShowHandlesOutOfOrder();
            return false;
        }
        // An element without a duration has no density: the measure is not processed.
        const int32_t d = BeatElementDuration(chart, i);
        if (d <= 0) {
            return false;
        }
        densities[static_cast<size_t>(i)] = Clamp32(int64_t{w} * 1000 / d);
        classes[static_cast<size_t>(i)] = static_cast<int32_t>(std::bit_width(static_cast<uint32_t>(d))) - 1;
    }
    CapShortDensities(chart, densities);
    return ComputeExpectedDensities(context);
}

bool IsIrregularTriple(const BeatChartState& chart, int32_t i) {
    if (i < 1) {
        return true;
    }
    const int32_t d = BeatElementDuration(chart, i);
    if (std::abs(d - BeatElementDuration(chart, i + 1)) > kLikeDuration ||
        std::abs(d - BeatElementDuration(chart, i + 2)) > kLikeDuration) {
        return true;
    }
    const std::array<int32_t, 3> widths = {BeatElementActualWidth(chart, i), BeatElementActualWidth(chart, i + 1),
                                           BeatElementActualWidth(chart, i + 2)};
    const int32_t least = *std::min_element(widths.begin(), widths.end());
    return std::count_if(widths.begin(), widths.end(), [&](int32_t w) { return w != least; }) == 1;
}

bool WidenBeatElement(TFMisc& context, int32_t k, int32_t ratio) {
    if (ratio >= 0 && ratio <= 999) {
        return true;
    }
    BeatChartState& chart = Chart(context);
    std::vector<int32_t>& added = List(chart, kAdded);
    std::vector<int32_t>& factors = List(chart, kFactors);
    if (k < 1 || static_cast<size_t>(k) >= added.size() || static_cast<size_t>(k) >= factors.size()) {
        return true;
    }
    const auto at = static_cast<size_t>(k);
    const int64_t maximumAdd = RowValue(context.Options, PROPORTIONALITY_MAXIMUM_ADD);
    const int64_t maximumPercent = RowValue(context.Options, PROPORTIONALITY_MAXIMUM_PERCENT);
    int64_t r = ratio;
    if (factors[at] > 0 && maximumPercent * 1000 / factors[at] < r / 10) {
        r = maximumPercent * 10000 / factors[at];
    }
    factors[at] = Clamp32(int64_t{factors[at]} * r / 1000);
    const int64_t w = BeatElementActualWidth(chart, k - 1);
    int64_t add = r * w / 1000 - w;
    if (add == 0) {
        return true;
    }
    if (maximumAdd - added[at] < add) {
        add = maximumAdd - added[at];
    }
    added[at] = Clamp32(added[at] + add);
    ShiftBeatChart(context, k, Clamp32(add), RowValue(context.Options, PROPORTIONALITY_CLEAR_MINIMUM_POSITIONS) == 0);
    return ComputeBeatDensities(context);
}

bool ProportionalityPass(TFMisc& context) {
    if (!ComputeBeatDensities(context)) {
        return false;
    }
    BeatChartState& chart = Chart(context);
    const int64_t factor = RowValue(context.Options, PROPORTIONALITY_FACTOR);
    const int64_t lastFactor = RowValue(context.MoreOptions, MORE_PROPORTIONALITY_LAST_NOTE);
    const int64_t threshold = RowValue(context.MoreOptions, MORE_PROPORTIONALITY_THRESHOLD);
    const int64_t percentPerClass = RowValue(context.MoreOptions, MORE_PROPORTIONALITY_PERCENT_PER_STEP);
    const std::vector<int32_t>& densities = List(chart, kDensities);
    const std::vector<int32_t>& classes = List(chart, kClasses);
    const std::vector<int32_t>& expected = List(chart, kExpected);
    const auto at = [](const std::vector<int32_t>& values, int32_t k) {
        return int64_t{values[static_cast<size_t>(k)]};
    };
    bool widened = false;
    for (int32_t i = 1; i <= chart.elementCount; ++i) {
        const int32_t n = chart.elementCount;
        if (i < n && at(densities, i) > 0 && at(densities, i) < at(expected, i + 1) * factor / 100 - 1 &&
            IsIrregularTriple(chart, i - 1) && IsIrregularTriple(chart, i) && IsIrregularTriple(chart, i - 2)) {
            int64_t ratio = at(expected, i + 1) * factor * 10 / at(densities, i);
            const int64_t c = std::abs(at(classes, i + 1) - at(classes, i));
            if (c >= threshold) {
                ratio = ClassAdjusted(threshold - 1 - c, percentPerClass, ratio);
            }
            if (ratio >= 1010) {
                widened = true;
                // Densities that cannot be computed after widening end the pass.
                if (!WidenBeatElement(context, i + 1, Clamp32(ratio))) {
                    return widened;
                }
            }
        }
        if (i > 1 && at(densities, i) > 0 && at(densities, i) < at(expected, i - 1) * factor / 100 - 1 &&
            IsIrregularTriple(chart, i - 1) && IsIrregularTriple(chart, i - 2)) {
            const int64_t used = i == n ? lastFactor : factor;
            int64_t ratio = at(expected, i - 1) * used * 10 / at(densities, i);
            const int64_t c = std::abs(at(classes, i - 1) - at(classes, i));
            if (c > threshold) {
                ratio = ClassAdjusted(threshold - c, percentPerClass, ratio);
            }
            widened = true;
            if (!WidenBeatElement(context, i + 1, Clamp32(ratio))) {
                return widened;
            }
        }
    }
    return widened;
}

bool ReduceMinimumPositions(TFMisc& context) {
    BeatChartState& chart = Chart(context);
    const int32_t n = chart.elementCount;
    const int32_t threshold = RowValue(context.MoreOptions, MORE_PROPORTIONALITY_MINIMUM_STEPPING);
    std::array<int32_t, kMinWidthHistogram> histogram{};
    for (int32_t i = 1; i <= n; ++i) {
        const int32_t w = BeatElementMinWidth(chart, i);
        if (w >= 0 && w < kMinWidthHistogram) {
            ++histogram[static_cast<size_t>(w)];
        }
    }
    int32_t candidate = -1;
    for (int32_t w = kFirstReductionWidth; w < kMinWidthHistogram; ++w) {
        if (histogram[static_cast<size_t>(w)] > 1) {
            candidate = w;
            break;
        }
    }
    const int32_t remembered = chart.reductionWidth;
    if (candidate < 0 && remembered >= 0 && remembered < kMinWidthHistogram &&
        histogram[static_cast<size_t>(remembered)] > 0) {
        candidate = remembered;
    }
    if (candidate < 0 || candidate <= threshold) {
        return false;
    }
    chart.reductionWidth = std::max(remembered, candidate);
    candidate = chart.reductionWidth;
    const int32_t excess = candidate - threshold;
    int32_t shrunk = 0;
    for (int32_t i = 1; i <= n; ++i) {
        SetBeatMinimum(chart, i, BeatMinimum(chart, i) - shrunk);
        if (BeatElementMinWidth(chart, i - 1) >= candidate) {
            SetBeatMinimum(chart, i, BeatMinimum(chart, i) - excess);
            shrunk += excess;
        }
    }
    SetBeatNext(chart, 0, BeatNext(chart, 0) - shrunk);
    AddToMeasureWidth(context, -shrunk);
    return shrunk != 0;
}

bool ApplyProportionality(TFMisc& context, int32_t depth) {
    BeatChartState& chart = Chart(context);
    // The widening vectors cover every element the pass can widen (k up to N + 1).
    for (size_t which : {kAdded, kFactors}) {
        std::vector<int32_t>& values = List(chart, which);
        if (values.size() < static_cast<size_t>(chart.elementCount + 2)) {
            values.resize(static_cast<size_t>(chart.elementCount + 2), which == kAdded ? 0 : kUnwidened);
        }
    }
    // The chart and the measure width that these steps change are written back together, also
    // when no element is widened afterwards.
    bool changed = false;
    if (depth == 0 && RowOn(context.Options, PROPORTIONALITY_REDUCE_MINIMUM_POSITIONS)) {
        changed = ReduceMinimumPositions(context);
    }
    if (depth == 0 && RowOn(context.Options, PROPORTIONALITY_TIGHT)) {
        changed = SetNotesTight(context) || changed;
    }
    RecomputeBeatPositions(context);
    return ProportionalityPass(context) || changed;
}

bool ApplySpacingCommand(TFMisc& context, bool& handled, int32_t depth) {
    const int32_t measure = context.Walk.measure;
    if (IsItem(context.Item, ToolItem::Reset)) {
        uint8_t* measureRecord = context.Walk.measureSpec.data();
        if (RowOn(context.Options, RESET_SMART_SHAPE_BITS)) {
            hostapi::WriteU16(measureRecord, EDTMeasureSpec::kFlags,
                              hostapi::ReadU16(measureRecord, EDTMeasureSpec::kFlags) | kMeasureHasSmartShapes);
        }
        if (RowOn(context.Options, RESET_MEASURE_EXPRESSION_BITS)) {
            hostapi::WriteU16(
                measureRecord, EDTMeasureSpec::kMoreFlags,
                hostapi::ReadU16(measureRecord, EDTMeasureSpec::kMoreFlags) | hostapi::kMeasureHasExpressions);
        }
        SaveMeasureSpec(measure, context.Walk.measureSpec);
        return handled;
    }

    BeatChartState& chart = Chart(context);
    // A chart without elements or without a duration has nothing to space: the measure is left
    // alone like one without a chart.
    if (!LoadBeatChart(context, measure) || chart.elementCount < 1 || BeatTime(chart, 0) <= 0) {
        if (depth == 0) {
            SaveMeasureSpec(measure, context.Walk.measureSpec);
        }
        return handled;
    }
    const int32_t n = chart.elementCount;
    if (depth == 0) {
        for (size_t which : {kAdded, kFactors}) {
            List(chart, which).assign(static_cast<size_t>(n + 2), which == kAdded ? 0 : kUnwidened);
        }
    }
    RecomputeBeatPositions(context);

    bool changed = false;
    bool repeat = false;
    switch (static_cast<ToolItem>(context.Item)) {
        case ToolItem::RemoveBeatChartElements:
            if (RemoveExtraneousBeatElements(context, RowValue(context.Options, REMOVE_BEAT_ELEMENTS_TOLERANCE))) {
                handled = true;
                changed = repeat = true;
            }
            break;
        case ToolItem::Proportionality:
            if (n >= 2) {
                handled = true;
                if (ApplyProportionality(context, depth)) {
                    changed = repeat = true;
                }
            }
            break;
        case ToolItem::MakeSpace:
            handled = true;
            changed = n >= 2;
            CompressBeatChart(chart, RowValue(context.Options, MAKE_SPACE_PERCENT));
            break;
        case ToolItem::ExpandSpacing:
        case ToolItem::CompressSpacing:
            handled = true;
            changed = ScaleBeatRange(context, IsItem(context.Item, ToolItem::ExpandSpacing)
                                                  ? RowValue(context.Options, SCALE_SPACING_AMOUNT)
                                                  : -RowValue(context.Options, SCALE_SPACING_AMOUNT));
            break;
        case ToolItem::AddRemoveSpace:
            // The chart and the measure width change together: both are written back.
            handled = true;
            AddRemoveBeatSpace(context, RowValue(context.Options, ADD_SPACE_AMOUNT),
                               RowValue(context.Options, ADD_SPACE_PLACE));
            changed = true;
            break;
        case ToolItem::LeadingWhitespace:
            handled = true;
            changed = LimitLeadingWhiteSpace(context);
            break;
        default:
            break;
    }

    if (changed) {
        SaveBeatChart(context, measure, true);
        if (context.RemovedHandleCount > 0) {
            ResetWidening(chart);
        }
        if (repeat && depth < kMaxRepeatDepth) {
            ApplySpacingCommand(context, handled, depth + 1);
        }
        ++chart.changedMeasureCount;
        ++context.RerunFlag;
        chart.lastChangedMeasure = measure;
    }
    if (depth == 0) {
        SaveMeasureSpec(measure, context.Walk.measureSpec);
    }
    return handled;
}

}  // namespace orvex
