// The slur geometry the two slur commands share, and "Vx Create S&lurs..." (tool 46): for a note
// entry of the walk's cell, the run of consecutive notes from it gets one note-attached slur of
// automatic side, with its contour from the options or from the host's defaults.
#include "tools/notes/slurs.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "core/beat_chart.h"
#include "core/host/access_state.h"
#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/host_imports.h"
#include "core/host/smart_shapes.h"
#include "core/module.h"
#include "core/tool_context.h"
#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/music_records.h"
#include "tools/notes/engine/entry_walk.h"
#include "tools/notes/notes_services.h"

namespace orvex {
namespace {

/// The host's default slur contours, loaded at the start of a run (the tool context's state slots).
struct SlurContourState {
    std::array<uint8_t, 24> defaults{};
};

SlurContourState& SlurContours(const TFMisc& context) {
    return context.States.Get<SlurContourState>();
}

using hostapi::ConstEntryView;
using hostapi::Edu;
using Slur = SlurLayout;

/// A run of notes longer than any measure holds: the count that stands for "any".
constexpr int32_t kAnyRun = 100;
/// The inset of a slur in percent, in contour units.
constexpr double kInsetPerPercent = 20.482;
/// New slurs: flags words at bytes 2 and 4.
constexpr uint16_t kNewSlurFlags2 = 0x8201;
constexpr uint16_t kNewSlurFlags4 = 0x6000;
/// A slur that starts at a position before the first element of a beat chart.
constexpr int32_t kBeforeFirstBeat = 100;

int16_t I16(const SmartShapeRecord& record, size_t offset) {
    return hostapi::ReadI16(record.data(), offset);
}
void SetI16(SmartShapeRecord& record, size_t offset, int32_t value) {
    hostapi::WriteI16(record.data(), offset, static_cast<int16_t>(value));
}

int16_t HostKey(int32_t measure, hostapi::InstrumentKey staff, int16_t mode) {
    return CellKeyValue(measure, staff, mode);
}

int32_t MeasureWidthOf(const TFMisc& context) {
    return hostapi::ReadI16(context.Walk.measureSpec.data(), EDTMeasureSpec::kWidth);
}

/// Loads a measure's record and its beat chart (with its positions computed) into the context.
void LoadMeasureAndChart(TFMisc& context, int32_t measure) {
    context.Walk.measureSpec = EDTMeasureSpec{};
    LoadMeasureSpec(measure, context.Walk.measureSpec);
    if (LoadBeatChart(context, measure)) {
        RecomputeBeatPositions(context);
    }
}

/// The three contour blocks (inset, height, -inset, height), each with its flag word.
void WriteContour(SmartShapeRecord& record, int32_t inset, int32_t height) {
    for (const size_t block : {Slur::kLeftContour, Slur::kRightContour, Slur::kMainContour}) {
        SetI16(record, block, inset);
        SetI16(record, block + 2, height);
        SetI16(record, block + 4, -inset);
        SetI16(record, block + 6, height);
        hostapi::WriteU16(record.data(), block + 8, kSlurContourFlags);
    }
}

/// Whether the contour is still the plain one the commands write: every inset and every height
/// of the three blocks as large as the left block's first ones.
bool PlainContour(const SmartShapeRecord& record) {
    const int32_t inset = std::abs(I16(record, Slur::kLeftContour));
    const int32_t height = std::abs(I16(record, Slur::kLeftContour + 2));
    for (const size_t block : {Slur::kLeftContour, Slur::kRightContour, Slur::kMainContour}) {
        if (std::abs(I16(record, block)) != inset || std::abs(I16(record, block + 4)) != inset ||
            std::abs(I16(record, block + 2)) != height || std::abs(I16(record, block + 6)) != height) {
            return false;
        }
    }
    return true;
}

/// One end of a slur as its cell holds it.

/// The height of an end's note that the slur touches: its top note above, its bottom note below.
int32_t EndHeight(const RunEnvironment& environment, const SlurEnd& end, hostapi::InstrumentKey staff, int32_t measure,
                  bool above) {
    const auto m = static_cast<hostapi::MeasureNumber>(measure);
    return EntryVerticalPosition(staff, m, end.entry.data(), HostKey(measure, staff, 0),
                                 environment.DocumentOptionFlag() != 0,
                                 HostKey(measure, staff, environment.DocumentOptionFlag()), above);
}

}  // namespace

bool FindSlurEnd(hostapi::ViewKey view, hostapi::StaffSlot slot, int32_t measure, hostapi::EntryNumber number,
                 hostapi::InstrumentKey staff, int16_t key, SlurEnd& end) {
    return EntryReplace(view, slot, static_cast<hostapi::MeasureNumber>(measure), number, end.entry.data(), &end.layer,
                        &end.otherLayers, false, &end.stemUp, staff, key, &end.isShort, kReplaceByNumber);
}

bool IsSlurType(int16_t type) {
    return type == 0 || type == 1 || type == 8 || type == 9 || type == 15 || type == 16;
}

void LoadSlurContourDefaults(TFMisc& context) {
    SlurContours(context).defaults.fill(0);
    LoadWholeOtherRecord(kTagSlurContours, -2, 0, SlurContours(context).defaults.data(),
                         static_cast<int32_t>(SlurContours(context).defaults.size()));
}

int32_t MeasureXPosition(TFMisc& context, Edu position, int32_t measure) {
    const int64_t duration = MeasureLengthOrDefault(0, static_cast<hostapi::MeasureNumber>(measure));
    const int32_t width = MeasureWidthOf(context);
    const BeatChartState& chart = BeatCharts(context);
    if (chart.hasChart == 0) {
        return static_cast<int32_t>(int64_t{width} * position / duration);
    }
    for (int32_t k = 1; k <= chart.elementCount; ++k) {
        const int32_t time = BeatTime(chart, k);
        if (time < position) {
            continue;
        }
        const auto at = [&](int32_t i) { return int64_t{chart.positions[static_cast<size_t>(i)]}; };
        if (time == position) {
            return static_cast<int32_t>(at(k));
        }
        if (k == 1) {
            return kBeforeFirstBeat;
        }
        const int64_t before = BeatTime(chart, k - 1);
        // Elements of one time would divide by zero: the later one's position holds.
        if (time == before) {
            return static_cast<int32_t>(at(k));
        }
        return static_cast<int32_t>(at(k - 1) + (position - before) * (at(k) - at(k - 1)) / (time - before));
    }
    return width;
}

int32_t HorizontalDistance(TFMisc& context, int32_t measure1, Edu position1, int32_t measure2, Edu position2) {
    LoadMeasureAndChart(context, measure1);
    const int32_t x1 = MeasureXPosition(context, position1, measure1);
    if (measure1 == measure2) {
        return MeasureXPosition(context, position2, measure1) - x1;
    }
    int64_t distance = MeasureWidthOf(context) - x1;
    for (int32_t measure = measure1 + 1; measure < measure2; ++measure) {
        EDTMeasureSpec between;
        if (LoadMeasureSpec(measure, between)) {
            distance += hostapi::ReadI16(between.data(), EDTMeasureSpec::kWidth);
        }
    }
    LoadMeasureAndChart(context, measure2);
    distance += MeasureXPosition(context, position2, measure2);
    return static_cast<int32_t>(std::clamp<int64_t>(distance, INT32_MIN, INT32_MAX));
}

int32_t ContourFromDefaults(const TFMisc& context, int32_t length, int32_t& inset) {
    const auto value = [&](int point, int field) {
        return int64_t{
            hostapi::ReadI16(SlurContours(context).defaults.data(), static_cast<size_t>(6 * point + 2 * field))};
    };
    enum { SPAN = 0, INSET = 1, HEIGHT = 2 };
    if (length <= value(0, SPAN)) {
        inset = static_cast<int32_t>(value(0, INSET));
        return static_cast<int32_t>(value(0, HEIGHT));
    }
    if (length >= value(2, SPAN)) {
        inset = static_cast<int32_t>(value(2, INSET));
        return static_cast<int32_t>(value(2, HEIGHT));
    }
    // Here s0 < length < s2; the point pair that brackets the length has distinct spans.
    const int first = length <= value(1, SPAN) ? 0 : 1;
    const auto between = [&](int field) {
        const int64_t v0 = value(first, field);
        const int64_t v1 = value(first + 1, field);
        const int64_t s0 = value(first, SPAN);
        return static_cast<int32_t>(v0 + (v1 - v0) * (length - s0) / (value(first + 1, SPAN) - s0));
    };
    inset = between(INSET);
    return between(HEIGHT);
}

bool SlurAbove(const TFMisc&, const SmartShapeRecord& record, bool stemUpLeft, bool stemUpRight,
               hostapi::LayerIndex layer, bool otherLayers) {
    const int16_t type = I16(record, Slur::kType);
    if (type == kSlurBelow) {
        return false;
    }
    if (type == kSlurAbove) {
        return true;
    }
    using Pref = hostapi::LayerSettingsLayout;
    const uint8_t rule = TheAccessLayer.layerSettings[static_cast<size_t>(layer & 3)][Pref::kStemByte];
    if ((rule & Pref::kStemFixed) != 0 && ((rule & Pref::kStemOnlyWithOtherLayers) == 0 || otherLayers)) {
        return (rule & Pref::kStemUp) != 0;
    }
    return !(stemUpLeft && stemUpRight);
}

bool RecalculateSlurContour(TFMisc& context, SmartShapeRecord& record, hostapi::ViewKey view,
                            hostapi::StaffSlot leftSlot, hostapi::StaffSlot rightSlot, bool onlyWhenUnadjusted) {
    if ((hostapi::ReadU16(record.data(), Slur::kFlags4) & kSlurEntryAttached) == 0) {
        return false;
    }
    const int16_t leftStaff = I16(record, Slur::kLeftStaff);
    const int16_t rightStaff = I16(record, Slur::kRightStaff);
    const int16_t leftMeasure = I16(record, Slur::kLeftMeasure);
    const int16_t rightMeasure = I16(record, Slur::kRightMeasure);
    const int16_t key = HostKey(leftMeasure, leftStaff, 0);
    SlurEnd left;
    SlurEnd right;
    if (!FindSlurEnd(view, leftSlot, leftMeasure, hostapi::ReadI32(record.data(), Slur::kLeftEntry), leftStaff, key,
                     left) ||
        !FindSlurEnd(view, rightSlot, rightMeasure, hostapi::ReadI32(record.data(), Slur::kRightEntry), rightStaff, key,
                     right)) {
        return false;
    }
    const bool above = SlurAbove(context, record, left.stemUp, right.stemUp, left.layer, left.otherLayers);
    const ConstEntryView l = left.entry.view();
    const ConstEntryView r = right.entry.view();
    const int64_t dx = int64_t{HorizontalDistance(context, leftMeasure, l.position(), rightMeasure, r.position())} +
                       hostapi::ReadI16(r.data(), hostapi::EntryLayout::kHorizontalOffset) -
                       hostapi::ReadI16(l.data(), hostapi::EntryLayout::kHorizontalOffset);
    int64_t length = dx;
    const bool stemSide = above == left.stemUp && above == right.stemUp;
    if (!(stemSide && left.isShort && right.isShort)) {
        // Measured on the slant between the notes the slur touches.
        const int64_t dy = int64_t{EndHeight(context.Environment, left, leftStaff, leftMeasure, above)} -
                           EndHeight(context.Environment, right, rightStaff, rightMeasure, above);
        length = static_cast<int64_t>(std::sqrt(static_cast<double>(dx * dx + dy * dy)));
        if (left.stemUp != right.stemUp) {
            length = (2 * dx + length) / 3;
        }
    }
    if (onlyWhenUnadjusted && (hostapi::ReadU16(record.data(), Slur::kLeftPlacement) != 0 ||
                               hostapi::ReadU16(record.data(), Slur::kRightPlacement) != 0 || !PlainContour(record))) {
        return false;
    }
    int32_t inset = 0;
    const int32_t height =
        ContourFromDefaults(context, static_cast<int32_t>(std::clamp<int64_t>(length, INT32_MIN, INT32_MAX)), inset);
    WriteContour(record, inset, height);
    return true;
}

void LinkNewSlur(int32_t shape, int32_t measure, hostapi::EntryNumber first, hostapi::EntryNumber last) {
    LinkShapeToMeasures(shape, measure, measure);
    LinkShapeToEntries(shape, first, last);
}

int32_t CreateSlursFromEntry(TFMisc& context, EntryWalkState& walk, int32_t index) {
    const hostapi::EntryArray& array = *walk.array;
    const int32_t wanted =
        RowValue(context.Options, CREATE_SLURS_NOTES) == 0 ? kAnyRun : RowValue(context.Options, CREATE_SLURS_NOTES);
    const auto hasNotes = [&](int32_t i) { return i < array.count && array.entry(i).isNote(); };
    int32_t last = index + 1;
    while (hasNotes(last) && last - index + 1 < wanted) {
        ++last;
    }
    if (!hasNotes(last)) {
        --last;
    }
    const int32_t notes = last - index + 1;
    if (notes < 2 || (RowOn(context.Options, CREATE_SLURS_NOTES) && notes != wanted)) {
        return index;
    }
    const ConstEntryView first = array.entry(index);
    const ConstEntryView end = array.entry(last);
    const int32_t length = HorizontalDistance(context, walk.measure, first.position(), walk.measure, end.position());
    int32_t inset = 0;
    int32_t height = 0;
    if (RowOn(context.Options, CREATE_SLURS_DEFAULT_CONTOUR)) {
        height = ContourFromDefaults(context, length, inset);
    } else {
        height = RowValue(context.Options, CREATE_SLURS_HEIGHT);
        inset = static_cast<int32_t>(RowValue(context.Options, CREATE_SLURS_INSET) * kInsetPerPercent);
    }

    SmartShapeRecord record;
    SetI16(record, Slur::kType, kSlurAutomatic);
    hostapi::WriteU16(record.data(), Slur::kFlags2, kNewSlurFlags2);
    hostapi::WriteU16(record.data(), Slur::kFlags4, kNewSlurFlags4);
    const bool automatic = RowOn(context.Options, CREATE_SLURS_DEFAULT_PLACEMENT);
    for (const size_t side : {size_t{0}, Slur::kRightEnd}) {
        SetI16(record, Slur::kLeftStaff + side, walk.staff);
        SetI16(record, Slur::kLeftMeasure + side, walk.measure);
        hostapi::WriteI32(record.data(), Slur::kLeftEntry + side, side == 0 ? first.number() : end.number());
        SetI16(record, Slur::kLeftManual + side, automatic ? 0 : 1);
        SetI16(record, Slur::kLeftOffset + side,
               automatic
                   ? 0
                   : RowValue(context.Options, side == 0 ? CREATE_SLURS_LEFT_DISTANCE : CREATE_SLURS_RIGHT_DISTANCE));
        hostapi::WriteU16(record.data(), Slur::kLeftPlacement + side, automatic ? 0 : kSlurManualPlacement);
    }
    WriteContour(record, inset, height);
    if (RowOn(context.Options, CREATE_SLURS_DEFAULT_CONTOUR)) {
        RecalculateSlurContour(context, record, walk.region.viewKey(), walk.slot, walk.slot, false);
    }
    int32_t shape = 0;
    if (CreateSmartShapeRecord(shape, record)) {
        LinkNewSlur(shape, walk.measure, first.number(), end.number());
        // Both entries now carry a note-attached slur: their second flag words say so.
        for (const int32_t linked : {index, last}) {
            const hostapi::EntryView entry = walk.array->entry(linked);
            entry.setMoreFlags(entry.moreFlags() | hostapi::kEntryMoreSmartShapes);
        }
        walk.changed = true;
        ++walk.shapesMade;
    } else {
        ++walk.shapesRefused;
    }
    return last;
}

}  // namespace orvex
