// "Special Measure Regions...": divides the selected measures into sections, each of which starts
// a measure-number region of its own, numbered one higher than the one before, so that measure
// numbers count sections (exercises, for example) rather than measures. The region that holds the
// selection's first measure is the model: every region written is a copy of it.
#include <algorithm>
#include <cstdint>

#include "core/free_texts.h"
#include "core/host/finxess.h"
#include "core/host/finxess_records.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/tool_context.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/measure_region_records.h"
#include "tools/layout/layout_services.h"

namespace orvex {
namespace {

using hostapi::MeasureNumberRegionLayout;
using RegionRecord = RawRecord<MeasureNumberRegionLayout::kSize>;

/// The region numbers a model is looked for under.
constexpr int32_t kRegionNumbers = 1000;

int32_t First(const RegionRecord& region) {
    return hostapi::ReadI16(region.data(), MeasureNumberRegionLayout::kFirstMeasure);
}
/// One past the region's last measure.
int32_t End(const RegionRecord& region) {
    return hostapi::ReadI16(region.data(), MeasureNumberRegionLayout::kEndMeasure);
}

/// The first region of the tag (0-999) that holds the measure (from its first measure to before its end), and
/// its number.
bool FindModelRegion(hostapi::Tag tag, int32_t measure, RegionRecord& region, int32_t& number) {
    for (number = 0; number < kRegionNumbers; ++number) {
        if (LoadWholeOtherRecord(tag, number, 0, region.data(), MeasureNumberRegionLayout::kSize) &&
            First(region) <= measure && measure < End(region)) {
            return true;
        }
    }
    return false;
}

int32_t BarlineKind(const EDTMeasureSpec& measure) {
    return (hostapi::ReadU16(measure.data(), hostapi::kMeasureBarlineWord) & hostapi::kBarlineMask) >>
           hostapi::kBarlineShift;
}

void SetDoubleBarline(int32_t measureNumber, EDTMeasureSpec& measure) {
    const uint16_t word = hostapi::ReadU16(measure.data(), hostapi::kMeasureBarlineWord);
    hostapi::WriteU16(
        measure.data(), hostapi::kMeasureBarlineWord,
        static_cast<uint16_t>((word & ~hostapi::kBarlineMask) | (hostapi::kBarlineDouble << hostapi::kBarlineShift)));
    SaveMeasureSpec(measureNumber, measure);
}

bool HasBackwardRepeat(int32_t measure) {
    RawRecord<hostapi::BackwardRepeatLayout::kSize> repeat;
    return LoadOtherRecord(hostapi::kTagBackwardRepeat, measure, 0, repeat.data(),
                           hostapi::BackwardRepeatLayout::kSize);
}

}  // namespace

bool RunSpecialMeasureRegions(TFMisc& context) {
    const hostapi::SelectionRecord selection = context.Environment.RegionOrWholeDocument();
    const int32_t firstMeasure = selection.firstMeasure();
    const int32_t lastMeasure = selection.lastMeasure();
    // The regions are kept under the tag of the host's year.
    const hostapi::Tag tag = hostapi::MeasureNumberRegionTag(context.Environment.HostYear());
    RegionRecord region;
    int32_t number = 0;
    if (!FindModelRegion(tag, firstMeasure, region, number)) {
        ShowMessage(FreeText::NoMeasureRegionFoundCould);
        return false;
    }
    const int32_t every = RowValue(context.Options, SPECIAL_REGIONS_EVERY);
    for (int32_t m = firstMeasure; m <= lastMeasure; ++m) {
        EDTMeasureSpec measure;
        if (!LoadMeasureSpec(m, measure)) {
            break;
        }
        const int32_t barline = BarlineKind(measure);
        const bool everyEnds = every != 0 && First(region) + every - 1 == m;
        const bool ends = (RowOn(context.Options, SPECIAL_REGIONS_AT_DOUBLE_BARLINES) &&
                           (barline == 2 || barline == 4 || barline == 5)) ||
                          (RowOn(context.Options, SPECIAL_REGIONS_AT_BACKWARD_REPEATS) && HasBackwardRepeat(m)) ||
                          (RowOn(context.Options, SPECIAL_REGIONS_AT_SELECTION_END) && m == lastMeasure) || everyEnds;
        if (!ends) {
            continue;
        }
        // The region ends here; the next one starts after this measure, one number higher.
        const int32_t end = End(region);
        hostapi::WriteI16(region.data(), MeasureNumberRegionLayout::kEndMeasure,
                          static_cast<int16_t>(First(region) + 1));
        const uint16_t flags = hostapi::ReadU16(region.data(), MeasureNumberRegionLayout::kFlags);
        hostapi::WriteU16(region.data(), MeasureNumberRegionLayout::kFlags,
                          static_cast<uint16_t>(flags & ~MeasureNumberRegionLayout::kFlag1000));
        SaveOtherRecord(tag, number, 0, region.data(), MeasureNumberRegionLayout::kSize);
        if (RowOn(context.Options, SPECIAL_REGIONS_ADD_DOUBLE_BARLINES) && everyEnds) {
            SetDoubleBarline(m, measure);
        }
        const int32_t next = m + 1;
        // After the document's last measure no section starts: a region there would name a
        // measure the document does not hold.
        EDTMeasureSpec following;
        if (!LoadMeasureSpec(next, following)) {
            break;
        }
        hostapi::WriteI16(region.data(), MeasureNumberRegionLayout::kFirstMeasure, static_cast<int16_t>(next));
        // A section that runs past the model's last measure leaves the new region at least its
        // first measure, never an end before its start.
        hostapi::WriteI16(region.data(), MeasureNumberRegionLayout::kEndMeasure,
                          static_cast<int16_t>(std::max(end, next + 1)));
        // One number higher: the number offset rises by one.
        const int16_t offset = hostapi::ReadI16(region.data(), MeasureNumberRegionLayout::kNumberOffset);
        hostapi::WriteI16(region.data(), MeasureNumberRegionLayout::kNumberOffset, static_cast<int16_t>(offset + 1));
        int32_t inci = 0;
        number = -1;
        if (!CreateOtherRecord(tag, number, inci, region.data(), MeasureNumberRegionLayout::kSize)) {
            return false;
        }
    }
    return true;
}

}  // namespace orvex
