// The score builder's beat charts: the host's records of a measure spaced by note spacing.
#include <stdexcept>
#include <string>

#include "platform/host/record_layouts.h"
#include "platform/host/score_builder.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/layout_records.h"

namespace host {
namespace {

using hostapi::kTagBeatChart;
constexpr size_t kBeatChartSize = hostapi::BeatChartLayout::kSize;
constexpr size_t kMaxBeatChartRecords = hostapi::BeatChartLayout::kMaxRecords;
constexpr uint16_t kSpacingModeMask = hostapi::BeatChartLayout::kSpacingModeMask;

}  // namespace

ScoreBuilder& ScoreBuilder::BeatChart(hostapi::MeasureNumber measure, const std::vector<BeatChartRecord>& records,
                                      int16_t mode) {
    Document& document = Current();
    const RecordKey measureKey = RecordKey::Other(kTagMeasure, measure, 0);
    const Bytes* stored = document.Records().Find(measureKey);
    if (stored == nullptr) {
        throw std::invalid_argument("measure " + std::to_string(measure) + " does not exist");
    }
    if (document.Records().Find(RecordKey::Other(kTagBeatChart, measure, 0)) != nullptr) {
        throw std::invalid_argument("measure " + std::to_string(measure) + " has a beat chart already");
    }
    if (records.empty() || records.size() > kMaxBeatChartRecords) {
        throw std::invalid_argument("a beat chart has 1 to 1000 records (the header and up to 999 elements), not " +
                                    std::to_string(records.size()));
    }
    if (mode < 0 || mode > 7) {
        throw std::invalid_argument("the spacing mode is 0 to 7, not " + std::to_string(mode));
    }
    Bytes record = *stored;
    const uint16_t flags = hostapi::ReadU16(record.data(), MeasureLayout::kFlags);
    hostapi::WriteU16(record.data(), MeasureLayout::kFlags,
                      static_cast<uint16_t>((flags & ~kSpacingModeMask) | static_cast<uint16_t>(mode)));
    document.Records().Save(measureKey, std::move(record));
    for (size_t i = 0; i < records.size(); ++i) {
        Bytes bytes(kBeatChartSize, 0);
        hostapi::WriteI32(bytes.data(), 0, records[i].time);
        hostapi::WriteI16(bytes.data(), 4, records[i].position);
        hostapi::WriteI16(bytes.data(), 6, records[i].next);
        hostapi::WriteI16(bytes.data(), 8, records[i].minimum);
        document.Records().Save(RecordKey::Other(kTagBeatChart, measure, static_cast<hostapi::Inci>(i)),
                                std::move(bytes));
    }
    return *this;
}

}  // namespace host
