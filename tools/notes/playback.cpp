// The stored MIDI events of the playback command.
#include "tools/notes/playback.h"

#include <algorithm>

#include "core/host/finxess.h"
#include "core/tool_context.h"

namespace orvex {

namespace {

bool LoadMidiEvent(hostapi::MeasureNumber measure, hostapi::InstrumentKey staff, int32_t inci, MidiEvent& event) {
    return LoadWholeDetailRecord(kTagMidiEvent, staff, measure, event.bytes.data(), MidiEvent::kSize, inci);
}

/// The bender range is set by the controllers 101 and 100 (parameter number) and 6 (data).
bool IsBenderRangeSetting(const MidiEvent& event) {
    const int16_t controller = event.data1();
    return event.status() == kMidiController &&
           (controller == MidiEvent::Layout::kRangeSelectHigh || controller == MidiEvent::Layout::kRangeSelectLow ||
            controller == MidiEvent::Layout::kRangeData);
}

/// Whether two events are the same kind of event: same status and, for controllers, same controller.
bool SameKind(const MidiEvent& a, int16_t status, int16_t data1) {
    return a.status() == status && (status != kMidiController || a.data1() == data1);
}

}  // namespace

PlaybackRunState& PlaybackRun(const TFMisc& context) {
    return context.States.Get<PlaybackRunState>();
}

MidiEvent MidiEvent::Make(hostapi::Edu time, int16_t status, int16_t data1, int16_t data2) {
    MidiEvent event;
    hostapi::WriteI32(event.bytes.data(), Layout::kTime, time);
    hostapi::WriteI16(event.bytes.data(), Layout::kStatus, status);
    hostapi::WriteI16(event.bytes.data(), Layout::kData1, data1);
    hostapi::WriteI16(event.bytes.data(), Layout::kData2, data2);
    return event;
}

std::vector<MidiEvent> LoadCellMidiEvents(hostapi::MeasureNumber measure, hostapi::InstrumentKey staff) {
    std::vector<MidiEvent> events;
    MidiEvent event;
    // Incidences are dense (a deletion moves the later ones down); a cell cannot hold more.
    for (int32_t inci = 0; inci < INT16_MAX && LoadMidiEvent(measure, staff, inci, event); ++inci) {
        events.push_back(event);
    }
    return events;
}

bool StoreMidiEvent(hostapi::MeasureNumber measure, hostapi::InstrumentKey staff, const MidiEvent& event) {
    int32_t inci = -1;
    return CreateDetailRecord(kTagMidiEvent, staff, measure, event.bytes.data(), MidiEvent::kSize, inci);
}

bool DeleteMidiDataInRange(hostapi::MeasureNumber measure, hostapi::InstrumentKey staff, hostapi::Edu from,
                           hostapi::Edu to, int16_t status, int16_t controller) {
    bool deleted = false;
    MidiEvent event;
    int32_t inci = 0;
    while (inci < INT16_MAX && LoadMidiEvent(measure, staff, inci, event)) {
        const bool inRange = event.time() >= from && event.time() <= to;
        const bool matches =
            SameKind(event, status, controller) || (status == kMidiPitchWheel && IsBenderRangeSetting(event));
        if (inRange && matches) {
            if (!DeleteDetailRecord(kTagMidiEvent, staff, measure, inci)) {
                break;  // a record that stays would be read again for ever
            }
            deleted = true;
            continue;  // the next event has moved into this incidence
        }
        ++inci;
    }
    return deleted;
}

void SortCellMidiEvents(hostapi::MeasureNumber measure, hostapi::InstrumentKey staff) {
    std::vector<MidiEvent> events = LoadCellMidiEvents(measure, staff);
    const auto count = static_cast<int32_t>(events.size());
    std::stable_sort(events.begin(), events.end(),
                     [](const MidiEvent& a, const MidiEvent& b) { return a.time() < b.time(); });
    int32_t written = 0;
    const MidiEvent* last = nullptr;
    for (const MidiEvent& event : events) {
        if (last != nullptr && last->time() == event.time() && SameKind(*last, event.status(), event.data1())) {
            continue;
        }
        SaveDetailRecord(kTagMidiEvent, staff, measure, event.bytes.data(), MidiEvent::kSize, written);
        ++written;
        last = &event;
    }
    for (int32_t left = count; left > written; --left) {
        DeleteDetailRecord(kTagMidiEvent, staff, measure, written);
    }
}

int16_t LastMidiValueBefore(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure, hostapi::Edu time,
                            int16_t status, int16_t data1, int16_t fallback) {
    for (int32_t m = measure; m >= 1; --m) {
        const std::vector<MidiEvent> events = LoadCellMidiEvents(static_cast<hostapi::MeasureNumber>(m), staff);
        for (auto it = events.rbegin(); it != events.rend(); ++it) {
            if (it->status() == status && (m != measure || it->time() <= time) &&
                (data1 == 0 || it->data1() == data1)) {
                return it->data2();
            }
        }
    }
    return fallback;
}

}  // namespace orvex
