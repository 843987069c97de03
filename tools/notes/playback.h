// The playback command's MIDI events: the stored 'dtME' records of a cell (staff, measure) that
// hold pitch-wheel glides, bender range settings and volume ramps, and the helpers that delete,
// sort and read them.
#pragma once

#include <array>
#include <cstdint>
#include <set>
#include <vector>

#include "platform/hostapi/bytes.h"
#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/types.h"

namespace orvex {

struct TFMisc;
struct SmartShapeRecord;

/// A cell layer the playback effect generator has filled in the run: its staff, measure and layer
/// (0-3). The generator keeps the cells it filled in a set of these, ordered by staff, measure and
/// layer.
struct PlaybackCell {
    hostapi::InstrumentKey staff = 0;
    hostapi::MeasureNumber measure = 0;
    hostapi::LayerIndex layer = 0;
    auto operator<=>(const PlaybackCell&) const = default;
};

/// What the playback command keeps over a run (the tool context's state slots).
struct PlaybackRunState {
    uint32_t cellLayerMask = 0;        ///< layers of the current cell filled with playback notes (bit n = layer n)
    uint8_t changed = 0;               ///< the playback run wrote something
    uint8_t layerAsked = 0;            ///< the layer question was answered in this run
    uint8_t layerOverwrite = 0;        ///< its answer: overwrite the preferred layer
    std::set<PlaybackCell> layerKeys;  ///< the cell layers this run filled
    uint32_t layerMask = 0;            ///< every layer this run used (bit n = layer n)
    uint8_t layerFlagsSet = 0;         ///< the layer settings carry the playback mark already
    uint8_t stopped = 0;               ///< a playback step stopped the run (declined or no layer free)
};

/// The context's playback run state.
PlaybackRunState& PlaybackRun(const TFMisc& context);

/// The modes of the playback command besides creating: the options dialog's "Remove these
/// effects from selection" runs the remove mode, its "Play" the redraw mode.
inline constexpr int32_t kPlaybackRemove = 2;
inline constexpr int32_t kPlaybackRedraw = 3;

using hostapi::kTagMidiEvent;
inline constexpr int16_t kMidiPitchWheel = hostapi::MidiEventLayout::kPitchWheel;
inline constexpr int16_t kMidiController = hostapi::MidiEventLayout::kController;
inline constexpr int16_t kMidiVolume = hostapi::MidiEventLayout::kVolume;

/// 'dtME' (detail: staff, measure, incidence): one stored MIDI event of a cell
/// (hostapi::MidiEventLayout).
struct MidiEvent {
    using Layout = hostapi::MidiEventLayout;
    static constexpr size_t kSize = Layout::kSize;
    std::array<uint8_t, kSize> bytes{};

    static MidiEvent Make(hostapi::Edu time, int16_t status, int16_t data1, int16_t data2);
    hostapi::Edu time() const { return hostapi::ReadI32(bytes.data(), Layout::kTime); }
    int16_t status() const { return hostapi::ReadI16(bytes.data(), Layout::kStatus); }
    int16_t data1() const { return hostapi::ReadI16(bytes.data(), Layout::kData1); }
    int16_t data2() const { return hostapi::ReadI16(bytes.data(), Layout::kData2); }
};

/// The events of a cell in incidence order; the walk ends at the first record that does not load.
std::vector<MidiEvent> LoadCellMidiEvents(hostapi::MeasureNumber measure, hostapi::InstrumentKey staff);
/// Appends an event to the cell's events.
bool StoreMidiEvent(hostapi::MeasureNumber measure, hostapi::InstrumentKey staff, const MidiEvent& event);

/// Deletes the cell's events with a time in [from, to] and the status (for 176 also the
/// controller); asking for the pitch wheel also takes the bender range settings (controllers
/// 101, 100 and 6). Answers whether any was deleted.
bool DeleteMidiDataInRange(hostapi::MeasureNumber measure, hostapi::InstrumentKey staff, hostapi::Edu from,
                           hostapi::Edu to, int16_t status, int16_t controller);
/// Rewrites the cell's events in ascending time (equal times keep their order), dropping an event
/// that repeats the time and status (for 176 also the controller) of the one written before it.
void SortCellMidiEvents(hostapi::MeasureNumber measure, hostapi::InstrumentKey staff);
/// The second data value of the last event with the status and first data (any when 0) at or
/// before `time` in the measure, else in the measures before it down to 1; else `fallback`.
int16_t LastMidiValueBefore(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure, hostapi::Edu time,
                            int16_t status, int16_t data1, int16_t fallback);

/// The volume ramp of a hairpin (kind 2 halves the volume in effect at its start, kind 3 doubles
/// it), from its start to its end or to the next entry with a dynamic, the volume set back to 64
/// after it and at the start of the piece as the options ask. Answers whether events were written.
bool WriteHairpinVolume(const SmartShapeRecord& hairpin, TFMisc& context);

}  // namespace orvex
