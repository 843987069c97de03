// The beat chart of a measure and the spacing commands that work through it.
//
// A measure spaced by the host's note spacing keeps a beat chart: stored records 'otBC'
// (measure, index 0-999). Element 0 is the header (the measure's duration, the chart's end and
// minimum end); elements 1..N are the time points of the measure in rising time, each with its
// horizontal position, the position where its space ends ("next") and a minimum position. The
// tool context holds the chart of the current measure (BeatChartState): this unit reads and
// writes it, recomputes the positions of its elements from their widths and carries out the
// spacing commands measure by measure (ApplySpacingCommand, declared with the layout tools).
//
// Times are EDU (1024 = a quarter note), positions and widths EVPU.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/tool_records.h"
#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/types.h"

namespace orvex {

struct TFMisc;

/// The beat-chart state of the spacing tools: the chart of the current measure and what the run
/// counts, kept in the tool context's state slots.
struct BeatChartState {
    static constexpr size_t kMaxElements = 1000;
    uint8_t hasChart = 0;                                    ///< the current measure has a chart
    std::array<TBeatChartElement, kMaxElements> elements{};  ///< the current measure's chart
    int32_t elementCount = 0;
    std::array<int32_t, kMaxElements + 1> positions{};  ///< computed positions
    std::array<uint8_t, kMaxElements> removalMarks{};
    std::array<std::vector<int32_t>, 5> lists;
    int32_t changedMeasureCount = 0;  ///< measures changed by the run
    int32_t rerunCount = 0;
    int32_t lastChangedMeasure = 0;
    int32_t reductionWidth = 0;  ///< remembered reduction width
};

/// The context's beat-chart state.
BeatChartState& BeatCharts(const TFMisc& context);

using hostapi::kTagBeatChart;

/// 'otBC' (other record: measure, index 0-999), 10 bytes (hostapi::BeatChartLayout).
using BeatChartElementLayout = hostapi::BeatChartLayout;
static_assert(sizeof(TBeatChartElement) == BeatChartElementLayout::kSize);

/// The measure's spacing mode (low three bits of the flag word at byte 8) for a beat chart.
inline constexpr uint16_t kSpacingModeMask = 0x0007;
/// The space that a chart keeps free before the barline.
inline constexpr int32_t kBarlineReserve = 24;

// ---- Element fields (i = 0 is the header) ----
int32_t BeatTime(const BeatChartState& chart, int32_t i);
int32_t BeatPosition(const BeatChartState& chart, int32_t i);
int32_t BeatNext(const BeatChartState& chart, int32_t i);
int32_t BeatMinimum(const BeatChartState& chart, int32_t i);
/// The 16-bit fields keep the low 16 bits of the value.
void SetBeatPosition(BeatChartState& chart, int32_t i, int32_t value);
void SetBeatNext(BeatChartState& chart, int32_t i, int32_t value);
void SetBeatMinimum(BeatChartState& chart, int32_t i, int32_t value);

// ---- Accessors over element i ----
/// 0 for the header, the time to the next element (to the measure's end for element N), 1024
/// past the chart.
int32_t BeatElementDuration(const BeatChartState& chart, int32_t i);
/// The minimum space of element i: before element 1 for i = 0, up to the next element's (the
/// chart's) minimum position otherwise; 0 in a chart without elements.
int32_t BeatElementMinWidth(const BeatChartState& chart, int32_t i);
/// The stored space of element i: element 1's position for i = 0, next - position otherwise;
/// 0 past the chart, where no element is loaded (so also for i = 0 in a chart without elements).
int32_t BeatElementActualWidth(const BeatChartState& chart, int32_t i);
/// The space of element i after recomputation: pos[i+1] - pos[i] (pos[1] for i = 0).
int32_t BeatElementWidth(const BeatChartState& chart, int32_t i);

// ---- The chart of the current measure ----
/// Loads the chart of `measure` when the context's measure record says the measure is spaced
/// by its chart (mode 2 or 6): header and elements 1, 2, ... up to the first missing one, at
/// most 999. Answers (and keeps in the state) whether the measure has a chart.
bool LoadBeatChart(TFMisc& context, int32_t measure);
/// Recomputes, then writes elements 0..N back as indices 0, 1, ...; with `dropMarked` the
/// elements from 2 on that are marked for removal are left out (counted in the context's
/// removed-handles counter). Stored records after the written ones are deleted. False when a
/// save failed.
bool SaveBeatChart(TFMisc& context, int32_t measure, bool dropMarked);
/// Fills pos[0..N+1]: every element keeps at least its minimum width, the free space of the
/// measure (width - 24 - the chart's end) is shared by duration, and the last position stays
/// within the measure width - 24. Answers whether the chart fits; a zero time after element
/// 1 ends the chart there.
bool RecomputeBeatPositions(TFMisc& context);
/// Moves elements first..N by delta (with the next position of the element before each), the
/// chart's end, with `moveHeaderWord` the header's word at byte 8, and the measure width;
/// then recomputes.
void ShiftBeatChart(TFMisc& context, int32_t first, int32_t delta, bool moveHeaderWord);

// ---- The operations of the spacing commands on the loaded chart ----
/// Tool 2: marks the elements that lie where their neighbours put them, within the tolerance
/// (per thousand); true when any was marked.
bool RemoveExtraneousBeatElements(TFMisc& context, int32_t tolerance);
/// Tools 18 and 19: stretches (amount > 0) or shrinks the selected stretch of the measure;
/// true when the chart changed.
bool ScaleBeatRange(TFMisc& context, int32_t amount);
/// Tool 4: adds (removes) space at the beginning (place 0), after the selection (1) or at the
/// end (2).
void AddRemoveBeatSpace(TFMisc& context, int32_t amount, int32_t place);
/// Tool 7: limits, sets or reduces the space before the first note; true when the chart changed.
bool LimitLeadingWhiteSpace(TFMisc& context);
/// Tool 6: widens elements that are too narrow for their duration, after reducing minimum
/// positions or setting the notes tight when asked; true when the chart changed.
bool ApplyProportionality(TFMisc& context, int32_t depth);
/// The densities D (width per thousand EDU), duration classes L and expected densities P of
/// elements 1..N; false (after message 8) when a width is negative, or when an element has no
/// duration.
bool ComputeBeatDensities(TFMisc& context);
/// Caps the values of elements shorter than 128 EDU by those of their longer neighbours.
void CapShortDensities(const BeatChartState& chart, std::vector<int32_t>& values);
/// The expected density P of each element from the widths of its neighbours of like duration.
bool ComputeExpectedDensities(TFMisc& context);
/// Whether elements i, i+1, i+2 differ in duration, or exactly one of them differs in width.
bool IsIrregularTriple(const BeatChartState& chart, int32_t i);
/// One pass over the elements, widening those that are too narrow; true when any was widened.
bool ProportionalityPass(TFMisc& context);
/// Widens element k-1 by ratio per thousand, moving elements k..N, within the per-case caps.
/// False when the densities could not be computed afterwards.
bool WidenBeatElement(TFMisc& context, int32_t k, int32_t ratio);
/// Lowers the minimum positions where a minimum width occurs often and exceeds the stepping;
/// true when any was lowered.
bool ReduceMinimumPositions(TFMisc& context);

}  // namespace orvex
