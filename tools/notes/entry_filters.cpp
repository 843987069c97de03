#include "tools/notes/entry_filters.h"

#include <random>

#include "core/host/finxess.h"
#include "core/module.h"
#include "core/tool_context.h"
#include "platform/hostapi/entry_records.h"
#include "tools/notes/entry_details.h"
#include "tools/notes/entry_fields.h"

namespace orvex {
namespace {

constexpr hostapi::Tag kTagStemAlteration = hostapi::kTagStemAdjustment;
constexpr hostapi::Tag kTagBeamAngleHigh = hostapi::kTagBeamHigh;
constexpr hostapi::Tag kTagBeamAngleLow = hostapi::kTagBeamLow;

}  // namespace

namespace {

struct RandomUnit {
    std::mt19937 generator{1};
};

/// The plug-in's one pseudo-random generator; it starts as the C runtime's does, with seed 1.
std::mt19937& RandomGenerator() {
    return UnitState<RandomUnit>().generator;
}

}  // namespace

void SeedRandom(uint32_t seed) {
    RandomGenerator().seed(seed);
}

int32_t RandomBelow(int32_t n) {
    return n <= 0 ? 0 : static_cast<int32_t>(RandomGenerator()() % static_cast<uint32_t>(n));
}

int32_t ConversionRate(int32_t measure, int32_t firstMeasure, int32_t lastMeasure, int32_t left, int32_t right) {
    // A selection within one measure has no span to spread the rate over: it takes the rate of
    // its first measure.
    if (lastMeasure == firstMeasure) {
        return left;
    }
    return (measure - firstMeasure) * (right - left) / (lastMeasure - firstMeasure) + left;
}

bool ApplyEntryFilters(TFMisc& context, hostapi::EntryView entry, const hostapi::EntryView* next) {
    const bool note = entry.isNote();
    if (RowValue(context.Options, REMOVE_HIDDEN_RESTS) == 1 && !note && entry.has(hostapi::kEntryHidden)) {
        context.Walk.removeEntry = 1;
        return true;
    }
    bool changed = false;
    if (RowValue(context.Options, REMOVE_CONVERT_TO_RESTS) == 1 && entry.isNote()) {
        const int32_t first = context.Environment.Region() != nullptr ? context.Environment.Region()->firstMeasure()
                                                                      : context.Walk.measure;
        const int32_t last = context.Environment.Region() != nullptr ? context.Environment.Region()->lastMeasure()
                                                                     : context.Walk.measure;
        const int32_t threshold =
            ConversionRate(context.Walk.measure, first, last, RowValue(context.Options, REMOVE_LEFT_PERCENTAGE),
                           RowValue(context.Options, REMOVE_RIGHT_PERCENTAGE));
        // A draw of 0 to 99 below the rate: 0 % converts no note, 100 % every one.
        if (RandomBelow(100) < threshold) {
            entry.setNoteCount(0);
            entry.setFlags(entry.flags() ^ hostapi::kEntryNote);
            changed = true;
        }
    }
    if (RowValue(context.Options, REMOVE_STEMS) == 1 && entry.isNote()) {
        SetStemRecords(entry, 0, true, true);
        changed = true;
        if (RowValue(context.Options, REMOVE_UNBEAM) == 1) {
            entry.setFlag(hostapi::kEntryBeamStart, true);
            if (next != nullptr) {
                next->setFlag(hostapi::kEntryBeamStart, true);
            }
        }
    }
    if (RowValue(context.Options, REMOVE_REST_DISPLACEMENTS) == 1 && !entry.isNote() &&
        !entry.has(hostapi::kEntryFloatingRest) && entry.noteCount() == 1) {
        entry.setNoteCount(0);
        entry.setFlag(hostapi::kEntryFloatingRest, true);
        changed = true;
    }
    if (RowOn(context.Options, REMOVE_HORIZONTAL_DISPLACEMENTS)) {
        SetHorizontalOffset(entry, 0);
        changed = true;
    }
    if (entry.has(hostapi::kEntryStemDetails)) {
        if (RowOn(context.Options, REMOVE_STEM_ALTERATIONS)) {
            DeleteEntryDetailRecord(kTagStemAlteration, entry.number(), 0);
        }
        if (RowOn(context.Options, REMOVE_BEAM_ANGLES)) {
            DeleteEntryDetailRecord(kTagBeamAngleHigh, entry.number(), 0);
            DeleteEntryDetailRecord(kTagBeamAngleLow, entry.number(), 0);
        }
    }
    return changed;
}

}  // namespace orvex
