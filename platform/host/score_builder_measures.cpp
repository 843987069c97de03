// The score builder's measure items: measure-number regions, barline kinds and backward repeats.
#include <algorithm>
#include <climits>
#include <stdexcept>
#include <string>

#include "platform/host/record_layouts.h"
#include "platform/host/score_builder.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/measure_region_records.h"

namespace host {
namespace {

using hostapi::MeasureNumberRegionLayout;

const Bytes& MeasureRecord(const Document& document, hostapi::MeasureNumber measure) {
    const Bytes* record = document.Records().Find(RecordKey::Other(kTagMeasure, measure, 0));
    if (record == nullptr) {
        throw std::invalid_argument("there is no measure " + std::to_string(measure));
    }
    return *record;
}

}  // namespace

ScoreBuilder& ScoreBuilder::NumberRegion(hostapi::MeasureNumber first, hostapi::MeasureNumber last, int16_t start) {
    MeasureRecord(Current(), first);
    MeasureRecord(Current(), last);
    if (last < first) {
        throw std::invalid_argument("a measure-number region holds measures first to last");
    }
    // A region is numbered on from the highest of either year's tag (the host keeps them under
    // its year's tag: a document it takes in has them moved there).
    int32_t highest = 0;
    for (const hostapi::Tag tag : {hostapi::kTagMeasureNumberRegion, hostapi::kTagMeasureNumberRegion2000}) {
        if (const std::optional<RecordKey> lastRegion = Current().Records().Last(tag)) {
            highest = std::max(highest, lastRegion->first);
        }
    }
    if (highest >= INT16_MAX) {
        throw std::length_error("the document has no free measure-number region left");
    }
    Bytes region(MeasureNumberRegionLayout::kSize, 0);
    hostapi::WriteI16(region.data(), MeasureNumberRegionLayout::kFirstMeasure, first);
    if (last >= INT16_MAX || start <= INT16_MIN) {
        throw std::invalid_argument("a measure-number region ends before measure 32767 and starts above -32768");
    }
    // The record holds one past the last measure and the number shown at the first measure less one.
    hostapi::WriteI16(region.data(), MeasureNumberRegionLayout::kEndMeasure, static_cast<int16_t>(last + 1));
    hostapi::WriteI16(region.data(), MeasureNumberRegionLayout::kNumberOffset, static_cast<int16_t>(start - 1));
    hostapi::WriteU16(region.data(), MeasureNumberRegionLayout::kFlags, MeasureNumberRegionLayout::kFlag1000);
    Current().Records().Save(
        RecordKey::Other(hostapi::kTagMeasureNumberRegion, static_cast<hostapi::Cmper>(highest + 1), 0), region);
    return *this;
}

ScoreBuilder& ScoreBuilder::Barline(hostapi::MeasureNumber measure, int16_t kind) {
    if (kind < 0 || kind > 15) {
        throw std::invalid_argument("a barline kind is 0 to 15");
    }
    Bytes record = MeasureRecord(Current(), measure);
    const auto word = hostapi::ReadU16(record.data(), hostapi::kMeasureBarlineWord);
    hostapi::WriteU16(record.data(), hostapi::kMeasureBarlineWord,
                      static_cast<uint16_t>((word & ~hostapi::kBarlineMask) | (kind << hostapi::kBarlineShift)));
    Current().Records().Save(RecordKey::Other(kTagMeasure, measure, 0), record);
    return *this;
}

ScoreBuilder& ScoreBuilder::BackwardRepeat(hostapi::MeasureNumber measure) {
    MeasureRecord(Current(), measure);
    Current().Records().Save(RecordKey::Other(hostapi::kTagBackwardRepeat, measure, 0),
                             Bytes(hostapi::BackwardRepeatLayout::kSize, 0));
    return *this;
}

}  // namespace host
