// The playback effect generator's glide, trill step and rest.
#include "tools/notes/playback_effects.h"

#include <algorithm>

#include "core/host/smart_shapes.h"
#include "tools/notes/playback.h"

namespace orvex {

namespace {

constexpr int32_t kWheelCentre = hostapi::MidiEventLayout::kPitchWheelCentre;
using hostapi::kEntryNote;

bool StoreWheel(hostapi::MeasureNumber measure, hostapi::InstrumentKey staff, hostapi::Edu time, int32_t value) {
    return StoreMidiEvent(
        measure, staff,
        MidiEvent::Make(time, kMidiPitchWheel, static_cast<int16_t>(value % 128), static_cast<int16_t>(value / 128)));
}

}  // namespace

bool WriteGlideEvents(const GlideSpan& glide, const GlideOptions& options) {
    const int32_t perQuarter = std::max(options.changesPerQuarter, 1);
    const int32_t range = std::max(options.benderRange, 1);
    const hostapi::Edu delay = glide.span * options.delayPercent / 100;
    const hostapi::Edu step = std::max(1024 / perQuarter, 1);
    const int32_t count = (glide.span - delay) / step;
    if (count < 1) {
        return false;
    }
    const int32_t offset = std::clamp(glide.semitones * kWheelCentre / range, -kWheelCentre, kWheelCentre - 1);
    hostapi::MeasureNumber measure = glide.startMeasure;
    hostapi::Edu time = glide.startTime;
    for (int32_t a = 0; a <= count && (measure < glide.endMeasure || time < glide.endTime); ++a) {
        StoreWheel(measure, glide.staff, time, kWheelCentre + offset * a / count);
        if (a == 0 && options.setBenderRange) {
            StoreMidiEvent(measure, glide.staff,
                           MidiEvent::Make(time + 3, kMidiController, MidiEvent::Layout::kRangeSelectHigh, 0));
            StoreMidiEvent(measure, glide.staff,
                           MidiEvent::Make(time + 5, kMidiController, MidiEvent::Layout::kRangeSelectLow, 0));
            StoreMidiEvent(
                measure, glide.staff,
                MidiEvent::Make(time + 7, kMidiController, MidiEvent::Layout::kRangeData, static_cast<int16_t>(range)));
        }
        time += step + (a == 0 ? delay : 0);
        // A long delay may pass more than one barline; each measure is at least one EDU long.
        for (hostapi::Edu length = MeasureLengthOrDefault(glide.staff, measure);
             time >= length && measure < glide.endMeasure; length = MeasureLengthOrDefault(glide.staff, measure)) {
            time -= length;
            SortCellMidiEvents(measure, glide.staff);
            ++measure;
        }
    }
    StoreWheel(glide.endMeasure, glide.staff, glide.endTime, kWheelCentre);
    SortCellMidiEvents(glide.endMeasure, glide.staff);
    return true;
}

hostapi::Edu TrillStep(hostapi::Edu span, hostapi::Edu delay, int32_t perQuarter, bool upperStart) {
    hostapi::Edu step = std::max(1024 / std::max(perQuarter, 1), 1);
    const int32_t parity = upperStart ? 1 : 0;
    while (step > 1 && ((span - delay) / step) % 2 == parity) {
        --step;
    }
    return step;
}

void MakeEntryRest(hostapi::EntryView entry) {
    entry.setFlags(entry.flags() & ~kEntryNote);
    entry.setNoteCount(0);
}

}  // namespace orvex
