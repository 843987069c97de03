// The playback effect generator: glides, playback notes in a free layer, the lines and
// articulations that ask for them.
#include "tools/notes/playback_effects.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/free_texts.h"
#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/host_imports.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/run_environment.h"
#include "core/run_services.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "core/tool_items.h"
#include "forms/action_control_table.h"
#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/music_records.h"
#include "platform/win/message_box.h"
#include "tools/notes/engine/entry_engine.h"
#include "tools/notes/playback.h"
#include "tools/notes/rest_filler.h"

namespace orvex {

namespace {

using hostapi::Edu;
using hostapi::EntryArray;
using hostapi::EntryRecord;
using hostapi::EntryView;
using hostapi::InstrumentKey;
using hostapi::kEntryNote;
using hostapi::kInterfaceVersion;
using hostapi::LayerIndex;
using hostapi::MeasureNumber;
using hostapi::NoteRecord;
using hostapi::StaffSlot;

constexpr int32_t kWheelCentre = hostapi::MidiEventLayout::kPitchWheelCentre;
constexpr int32_t kMaxForcedInterval = 24;

/// Smart shape kinds that the generator tells apart.
constexpr int16_t kTrillLine = 14;

/// The note flags that tie a note.
constexpr uint32_t kTieBits = hostapi::kNoteTieStart | hostapi::kNoteTieEnd;

/// A silenced note's performance record: words at bytes 4, 6 and 8.
using PerformanceLayout = hostapi::NotePerformanceLayout;

// ---- Host queries ----

int16_t CellKeyOf(MeasureNumber measure, InstrumentKey staff, int16_t mode) {
    return CellKeyValue(measure, staff, mode);
}

int32_t PitchOf(hostapi::ConstNoteView note, int16_t key) {
    return NotePitchValue(note.data(), key);
}

int32_t Sign(int32_t value) {
    return (value > 0) - (value < 0);
}

// ---- Options ----

/// A row's value kept within the row's limits in the options table, as the dialog keeps it.
int32_t Clamped(int32_t item, size_t row, int32_t value) {
    const ActionControlRow& def = kActionControlTableData[static_cast<size_t>(item)][row];
    return std::clamp(value, def.minimum, std::max(def.minimum, def.maximum));
}

void ReadMoreRows(PlaybackOptions& options, const ExtendedOptionArray& more) {
    options.hideBefore2002 = more[PLAYBACK_MORE_HIDE_BEFORE_2002].value != 0;
    options.hideFrom2002 = more[PLAYBACK_MORE_HIDE_FROM_2002].value != 0;
    const int32_t layer = more[PLAYBACK_MORE_PREFERRED_LAYER].value;
    options.preferredLayer = layer >= 1 && layer <= 4 ? layer : 4;
}

// ---- The four layers of a cell ----

/// The four layer arrays of one cell, loaded together and given back when it goes; a layer that
/// was changed is saved first.
class CellLayers {
public:
    CellLayers(const RunEnvironment& environment, StaffSlot slot, MeasureNumber measure) {
        for (LayerIndex layer = 0; layer < 4; ++layer) {
            m_arrays[Slot(layer)].Load(RegionView(environment), slot, measure, layer);
        }
    }
    ~CellLayers() {
        for (LayerIndex layer = 0; layer < 4; ++layer) {
            Release(layer);
        }
    }
    CellLayers(const CellLayers&) = delete;
    CellLayers& operator=(const CellLayers&) = delete;

    EntryArray* At(LayerIndex layer) const { return m_arrays[Slot(layer)].Get(); }
    void MarkChanged(LayerIndex layer) { m_changed[Slot(layer)] = true; }
    /// Saves the layer when it changed and gives it back.
    void Release(LayerIndex layer) {
        if (!m_arrays[Slot(layer)]) {
            return;
        }
        if (m_changed[Slot(layer)]) {
            SaveEntryArray(m_arrays[Slot(layer)].Get());
        }
        m_arrays[Slot(layer)].Release();
        m_changed[Slot(layer)] = false;
    }
    /// Gives the layer back without saving what was done to it.
    void Discard(LayerIndex layer) {
        m_changed[Slot(layer)] = false;
        Release(layer);
    }
    /// Deletes every entry of the layer.
    void Empty(LayerIndex layer) {
        EntryArray* array = m_arrays[Slot(layer)].Get();
        if (array != nullptr && array->count > 0) {
            FrameEntriesRemove(array, 0, array->count);
            m_changed[Slot(layer)] = true;
        }
    }

private:
    /// A layer's place in the arrays (layers are 0-3).
    static size_t Slot(LayerIndex layer) { return static_cast<size_t>(layer); }

    std::array<ScopedEntryArray, 4> m_arrays;
    std::array<bool, 4> m_changed{};
};

/// Where the layer's last entry ends (its last note entry with `notesOnly`); 0 when it has none.
Edu LastEnd(const EntryArray* array, bool notesOnly) {
    if (array == nullptr) {
        return 0;
    }
    for (int32_t i = array->count - 1; i >= 0; --i) {
        if (!notesOnly || array->entry(i).isNote()) {
            return array->entry(i).end();
        }
    }
    return 0;
}

/// A layer that holds entries, each marked as written by the generator (0x0800 in the word after
/// the flags): what earlier runs leave behind. Hidden entries without the mark are the user's.
bool HoldsOnlyPlaybackNotes(const EntryArray* array) {
    if (array == nullptr || array->count == 0) {
        return false;
    }
    for (int32_t i = 0; i < array->count; ++i) {
        if ((array->entry(i).moreFlags() & hostapi::kEntryMoreGenerated) == 0) {
            return false;
        }
    }
    return true;
}

/// Hidden rests of `length` appended to the layer, marked as the generator's like its notes.
void AppendGeneratedRests(const RunEnvironment& environment, EntryArray& array, Edu length) {
    const int32_t before = array.count;
    InsertFillRests(environment, array, length, array.count, true, false, 8192, true, false, -1);
    for (int32_t i = before; i < array.count; ++i) {
        const EntryView rest = array.entry(i);
        rest.setMoreFlags(static_cast<uint16_t>(rest.moreFlags() | hostapi::kEntryMoreGenerated));
    }
}

/// Asks one of the two layer questions (with Cancel): "%1" names the preferred layer, "%2" the other.
Answer AskLayerQuestion(int32_t id, LayerIndex preferred, LayerIndex other) {
    return Ask({.id = id, .first = preferred + 1, .second = other + 1, .cancel = true});
}

void ShowNoFreeLayer() {
    ShowMessage(FreeText::NoMoreEmptyLayersOperation);
}

// ---- Performance records of notes ----

/// The incidence of the note's performance record ('edac'), found by its identifier; -1 when it
/// has none.
int32_t FindPerformanceRecord(hostapi::EntryNumber entry, int16_t noteId, std::array<uint8_t, 10>& record) {
    for (int32_t inci = 0; inci < 4 * static_cast<int32_t>(hostapi::EntryLayout::kMaxNotes); ++inci) {
        if (!LoadWholeEntryDetailRecord(hostapi::kTagNotePerformance, entry, inci, record.data(),
                                        PerformanceLayout::kSize)) {
            return -1;
        }
        if (hostapi::ReadI16(record.data(), PerformanceLayout::kNoteId) == noteId) {
            return inci;
        }
    }
    return -1;
}

/// Silences a note for playback: its performance record holds -7, -126 and -127 at bytes 4, 6
/// and 8. A note without a record gets one, so that the notated note never sounds together with
/// the playback notes that replace it.
void SilenceNote(EntryView entry, int32_t noteIndex) {
    if (entry.number() == 0 || noteIndex < 0 || noteIndex >= entry.notesHeld()) {
        return;
    }
    const int16_t noteId = entry.note(noteIndex).noteId();
    std::array<uint8_t, 10> record{};
    int32_t inci = FindPerformanceRecord(entry.number(), noteId, record);
    if (inci < 0) {
        record.fill(0);
        hostapi::WriteI16(record.data(), PerformanceLayout::kNoteId, noteId);
    }
    hostapi::WriteI16(record.data(), PerformanceLayout::kWord4, PerformanceLayout::kSilencedWord4);
    hostapi::WriteI16(record.data(), PerformanceLayout::kPitchChange, PerformanceLayout::kSilencedPitch);
    hostapi::WriteI16(record.data(), PerformanceLayout::kLevelChange, PerformanceLayout::kSilencedLevel);
    if (inci >= 0) {
        SaveEntryDetailRecord(hostapi::kTagNotePerformance, entry.number(), inci, record.data(),
                              PerformanceLayout::kSize);
    } else {
        hostapi::EntryNumber number = entry.number();
        int32_t newInci = -1;
        CreateEntryDetailRecord(hostapi::kTagNotePerformance, number, newInci, record.data(), PerformanceLayout::kSize);
    }
}

/// From host year 2002 on, once per run: the layer settings carry the playback mark.
void MarkLayerSettings(TFMisc& context) {
    if (context.Environment.HostYear() < 2002 || PlaybackRun(context).layerFlagsSet != 0) {
        return;
    }
    PlaybackRun(context).layerFlagsSet = 1;
    using Layout = hostapi::LayerSettingsLayout;
    for (int32_t layer = 0; layer < 4; ++layer) {
        std::array<uint8_t, Layout::kSize> record{};
        LoadWholeGlobalRecord(hostapi::kTagLayerSettings, layer, record.data(), Layout::kSize);
        const uint16_t second = hostapi::ReadU16(record.data(), Layout::kSecondHalf);
        if ((second & Layout::kPlaybackNotesMark) == 0) {
            hostapi::WriteU16(record.data(), Layout::kSecondHalf, second | Layout::kPlaybackNotesMark);
            SaveGlobalRecord(hostapi::kTagLayerSettings, layer, record.data(), Layout::kSize);
        }
    }
}

/// A note taken over from the notated note for playback: without its ties.
NoteRecord PlaybackNoteOf(hostapi::ConstNoteView note) {
    NoteRecord copy;
    std::copy_n(note.data(), hostapi::NoteLayout::kSize, copy.data());
    copy.view().setFlags(copy.view().flags() & ~kTieBits);
    return copy;
}

// ---- Choosing the layer ----

enum class LayerChoice { Chosen, Stop };

/// Chooses the layer of the start cell for the playback notes (step 1 and 2 of the generator):
/// the preferred layer when it is free, else the first free of layers 4 to 1, after the layer
/// question when the preferred layer is passed over.
LayerChoice ChooseLayer(TFMisc& context, CellLayers& cell, const PlaybackEffect& effect, const PlaybackOptions& options,
                        LayerIndex& chosen) {
    const Edu start = effect.start.position();
    const auto preferred = static_cast<LayerIndex>(options.preferredLayer - 1);
    const auto filledInRun = [&](LayerIndex layer) {
        return PlaybackRun(context).layerKeys.contains(PlaybackCell{effect.startStaff, effect.startMeasure, layer});
    };
    if (preferred != effect.takenLayer && LastEnd(cell.At(preferred), false) <= start) {
        chosen = preferred;
        return LayerChoice::Chosen;
    }
    int32_t found = -1;
    for (int32_t layer = 3; layer >= 0 && found < 0; --layer) {
        const auto index = static_cast<LayerIndex>(layer);
        if (index == effect.takenLayer || cell.At(index) == nullptr) {
            continue;
        }
        if (PlaybackRun(context).layerOverwrite != 0 && HoldsOnlyPlaybackNotes(cell.At(index)) && !filledInRun(index)) {
            cell.Empty(index);
        }
        if (LastEnd(cell.At(index), true) <= start) {
            found = layer;
        }
    }
    if (found == preferred) {
        chosen = preferred;
        return LayerChoice::Chosen;
    }
    const bool mayAsk = preferred != effect.takenLayer && !filledInRun(preferred) && cell.At(preferred) != nullptr;
    // The question is asked once per run; a Yes empties the preferred layer of the cell it was
    // asked about only. Later cells whose preferred layer holds the user's music use another
    // free layer, and only without one is the question asked again, for that cell.
    const bool askAgain = PlaybackRun(context).layerOverwrite != 0 && found < 0;
    if (mayAsk && (PlaybackRun(context).layerAsked == 0 || askAgain)) {
        const Answer answer = AskLayerQuestion(found >= 0 ? MSG_LAYER_NOT_EMPTY_USE_OTHER : MSG_LAYER_NOT_EMPTY_CANCEL,
                                               preferred, static_cast<LayerIndex>(std::max(found, 0)));
        const bool yes = answer == Answer::Yes;
        PlaybackRun(context).layerAsked = 1;
        PlaybackRun(context).layerOverwrite = yes ? 1 : 0;
        if (yes) {
            cell.Empty(preferred);
            chosen = preferred;
            return LayerChoice::Chosen;
        }
        if (found < 0) {
            if (answer != Answer::Cancel && effect.reportStop) {
                ShowNoFreeLayer();
            }
            return LayerChoice::Stop;
        }
    }
    if (found < 0) {
        if (effect.reportStop) {
            ShowNoFreeLayer();
        }
        return LayerChoice::Stop;
    }
    chosen = static_cast<LayerIndex>(found);
    return LayerChoice::Chosen;
}

// ---- Writing the playback notes ----

/// The run of playback notes through one layer, measure by measure: it starts in the start
/// cell's layer and goes on in the same layer of the next measures.
class PlaybackWriter {
public:
    PlaybackWriter(TFMisc& context, const PlaybackEffect& effect, CellLayers& cell, LayerIndex layer, Edu endTime)
        : m_context(context),
          m_effect(effect),
          m_cell(cell),
          m_layer(layer),
          m_measure(effect.startMeasure),
          m_time(effect.start.position()),
          m_endTime(endTime) {}
    ~PlaybackWriter() { Finish(true); }
    PlaybackWriter(const PlaybackWriter&) = delete;
    PlaybackWriter& operator=(const PlaybackWriter&) = delete;

    /// Whether the effect goes on: the time lies before its end and a measure is left for it.
    bool Continues() const { return !m_exhausted && (m_measure < m_effect.endMeasure || m_time < m_endTime); }

    /// Writes one playback note of `duration` from the current time, cut at barlines and carried
    /// on, tied, in the next measures. False when the run is to stop: the user declined to clear
    /// the next measure's layer.
    bool Write(Edu duration, PlaybackNote note) {
        bool first = true;
        while (duration > 0) {
            if (!Room()) {
                return !m_stopped;
            }
            EntryArray& array = *Current();
            const Edu length = MeasureLengthOrDefault(m_effect.startStaff, m_measure);
            const Edu piece = std::min(duration, length - m_time);
            note.time = m_time;
            note.duration = piece;
            note.tieFrom = !first && !note.rest;
            note.tieTo = piece < duration && !note.rest;
            note.previous = m_previous ? &*m_previous : note.previous;
            const int32_t index = WritePlaybackNote(array, note);
            if (index < 0) {
                m_exhausted = true;  // the host takes no more entries
                return true;
            }
            MarkChanged();
            const hostapi::ConstEntryView written = array.entry(index);
            if (written.notesHeld() > 0) {
                m_previous.emplace();
                std::copy_n(written.data(), hostapi::EntryLayout::kSize, m_previous->data());
                // The rest of a note cut by the barline is the same note.
                std::copy_n(written.note(0).data(), hostapi::NoteLayout::kSize, note.note.data());
                note.note.view().setFlags(note.note.view().flags() & ~kTieBits);
                note.direction = 0;
            }
            m_time += piece;
            duration -= piece;
            first = false;
        }
        return true;
    }

    /// Appends hidden rests from the current time to the measure's end when the time lies inside
    /// the measure.
    void FillToBarline() {
        EntryArray* array = Current();
        const Edu length = MeasureLengthOrDefault(m_effect.startStaff, m_measure);
        if (array != nullptr && m_time > 0 && m_time < length) {
            AppendGeneratedRests(m_context.Environment, *array, length - m_time);
            MarkChanged();
        }
    }

    /// Whether the user declined to clear a later measure's layer: the effect is taken back.
    bool Stopped() const { return m_stopped; }

    /// Saves what was written in the later measures (the start cell saves its own layer), or,
    /// when `keep` is false, gives every array back unsaved: nothing of the effect remains.
    void Finish(bool keep) {
        for (auto& [array, changed] : m_laters) {
            if (keep && changed) {
                SaveEntryArray(array.Get());
            }
            array.Release();
        }
        m_laters.clear();
        if (!keep) {
            m_cell.Discard(m_layer);
        }
    }

private:
    EntryArray* Current() const { return m_laters.empty() ? m_cell.At(m_layer) : m_laters.back().first.Get(); }

    void MarkChanged() {
        if (!m_laters.empty()) {
            m_laters.back().second = true;
        } else {
            m_cell.MarkChanged(m_layer);
        }
    }

    /// Makes sure the current time lies inside a measure: at a barline the run goes on in the
    /// same layer of the next measure, which is emptied: silently when it holds only what earlier
    /// runs wrote and the user chose to overwrite, else after the layer question for that cell.
    /// The arrays stay loaded until the effect is finished, so that a No takes it back whole.
    /// False when no measure is left for the effect or the user declined (m_stopped).
    bool Room() {
        while (m_time >= MeasureLengthOrDefault(m_effect.startStaff, m_measure)) {
            if (m_measure >= m_effect.endMeasure) {
                m_exhausted = true;
                return false;
            }
            m_time -= MeasureLengthOrDefault(m_effect.startStaff, m_measure);
            ++m_measure;
            ScopedEntryArray lent(RegionView(m_context.Environment),
                                  RegionSlotOf(m_context.Environment, m_effect.startStaff), m_measure, m_layer);
            if (!lent) {
                m_exhausted = true;
                return false;
            }
            EntryArray* later = lent.Get();
            m_laters.emplace_back(std::move(lent), false);
            if (later->count > 0) {
                const bool leftOver = PlaybackRun(m_context).layerOverwrite != 0 && HoldsOnlyPlaybackNotes(later);
                if (!leftOver) {
                    if (AskLayerQuestion(MSG_LAYER_NOT_EMPTY_CANCEL, m_layer, m_layer) != Answer::Yes) {
                        m_stopped = true;
                        m_exhausted = true;
                        return false;
                    }
                    PlaybackRun(m_context).layerAsked = 1;
                    PlaybackRun(m_context).layerOverwrite = 1;
                }
                FrameEntriesRemove(later, 0, later->count);
                m_laters.back().second = true;
            }
            PlaybackRun(m_context).layerKeys.insert(PlaybackCell{m_effect.startStaff, m_measure, m_layer});
        }
        return true;
    }

    TFMisc& m_context;
    const PlaybackEffect& m_effect;
    CellLayers& m_cell;
    LayerIndex m_layer;
    MeasureNumber m_measure;
    Edu m_time;
    Edu m_endTime;
    /// The layer of each later measure the run reached, and whether it changed.
    std::vector<std::pair<ScopedEntryArray, bool>> m_laters;
    bool m_exhausted = false;
    bool m_stopped = false;
    std::optional<EntryRecord> m_previous;  ///< the last playback note written
};

}  // namespace

// ---- The region's view ----

hostapi::ViewKey RegionView(const RunEnvironment& environment) {
    return environment.Region() != nullptr ? environment.Region()->viewKey() : 0;
}

StaffSlot RegionSlotOf(const RunEnvironment& environment, InstrumentKey staff) {
    return SlotOfStaff(staff, RegionView(environment));
}

// ---- Options ----

PlaybackOptions PlaybackOptions::Read(TFMisc& context) {
    const auto row = [&](PlaybackRow r) {
        return Clamped(ItemNumber(ToolItem::Playback), r, RowValue(context.Options, r));
    };
    PlaybackOptions options;
    options.glissandi = RowOn(context.Options, PLAYBACK_GLISSANDI);
    options.glideDelayPercent = row(PLAYBACK_GLIDE_DELAY);
    options.fingered = RowOn(context.Options, PLAYBACK_FINGERED);
    options.benderRange = row(PLAYBACK_BENDER_RANGE);
    options.setBenderRange = RowOn(context.Options, PLAYBACK_SET_BENDER_RANGE);
    options.changesPerQuarter = row(PLAYBACK_CHANGES_PER_QUARTER);
    options.notesPerOctave = row(PLAYBACK_NOTES_PER_OCTAVE);
    options.hairpins = RowOn(context.Options, PLAYBACK_HAIRPINS);
    options.volumeChangesPerQuarter = row(PLAYBACK_VOLUME_CHANGES_PER_QUARTER);
    options.resetVolumeAtEnd = RowOn(context.Options, PLAYBACK_RESET_VOLUME_AT_END);
    options.setVolumeAtStart = RowOn(context.Options, PLAYBACK_SET_VOLUME_AT_START);
    options.trills = RowOn(context.Options, PLAYBACK_TRILLS);
    options.threeSlashesUnmeasured = RowOn(context.Options, PLAYBACK_THREE_SLASHES_UNMEASURED);
    options.trillSpeed = row(PLAYBACK_TRILL_SPEED);
    options.trillDelayPercent = row(PLAYBACK_TRILL_DELAY);
    options.upperStart = RowOn(context.Options, PLAYBACK_UPPER_START);
    options.interval = RowText(context.Options, PLAYBACK_TRILL_INTERVAL);
    ReadMoreRows(options, context.MoreOptions);
    context.MoreOptions[PLAYBACK_MORE_PREFERRED_LAYER].value = options.preferredLayer;
    return options;
}

PlaybackOptions PlaybackOptions::ReadStoredMoreRows() {
    OptionArray rows{};
    ExtendedOptionArray more{};
    std::vector<std::pair<int32_t, int32_t>> list;
    RunToolWithOptions(ItemNumber(ToolItem::Playback), 1, rows, more, list, false, nullptr, false, false, nullptr);
    PlaybackOptions options;
    ReadMoreRows(options, more);
    return options;
}

bool PlaybackOptions::HideNotes() const {
    return DispatcherEnvironment().HostYear() >= 2002 ? hideFrom2002 : hideBefore2002;
}

std::optional<int32_t> PlaybackOptions::ForcedInterval() const {
    const size_t first = interval.find_first_not_of(' ');
    if (first == std::string::npos) {
        return std::nullopt;
    }
    const size_t last = interval.find_last_not_of(' ');
    std::string_view text(interval.data() + first, last - first + 1);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return std::clamp(value, -kMaxForcedInterval, kMaxForcedInterval);
}

// ---- Glides ----

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
    const auto storeWheel = [&](hostapi::MeasureNumber measure, hostapi::Edu time, int32_t value) {
        StoreMidiEvent(measure, glide.staff,
                       MidiEvent::Make(time, kMidiPitchWheel, static_cast<int16_t>(value % 128),
                                       static_cast<int16_t>(value / 128)));
    };
    hostapi::MeasureNumber measure = glide.startMeasure;
    hostapi::Edu time = glide.startTime;
    for (int32_t a = 0; a <= count && (measure < glide.endMeasure || time < glide.endTime); ++a) {
        storeWheel(measure, time, kWheelCentre + offset * a / count);
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
    storeWheel(glide.endMeasure, glide.endTime, kWheelCentre);
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

// ---- One playback note ----

int32_t WritePlaybackNote(EntryArray& array, const PlaybackNote& note) {
    int32_t index = array.count;
    for (int32_t i = array.count - 1; i >= 0; --i) {
        if (array.entry(i).end() == note.time) {
            index = i + 1;
            break;
        }
    }
    if (!InsertEntries(&array, index, 1)) {
        return -1;
    }
    const EntryView entry = array.entry(index);
    std::fill_n(entry.data(), hostapi::EntryLayout::kSize, uint8_t{0});
    entry.setDuration(static_cast<int16_t>(std::clamp<Edu>(note.duration, 0, INT16_MAX)));
    entry.setActualDuration(note.duration);
    entry.setPosition(note.time);
    entry.setMoreFlags(hostapi::kEntryMoreGenerated);
    const uint32_t tie = (note.tieTo ? hostapi::kNoteTieStart : 0u) | (note.tieFrom ? hostapi::kNoteTieEnd : 0u);
    const uint32_t hidden = note.hidden ? hostapi::kEntryHidden : 0u;
    if (note.source != nullptr && !note.rest) {
        const hostapi::ConstEntryView source = note.source->view();
        entry.setFlags(hostapi::kEntryCreated | (source.flags() & kEntryNote) | hidden);
        entry.setNoteCount(source.noteCount());
        std::copy_n(source.data() + hostapi::EntryLayout::kNotes,
                    hostapi::EntryLayout::kMaxNotes * hostapi::NoteLayout::kSize,
                    entry.data() + hostapi::EntryLayout::kNotes);
        // The repeated notes keep no ties of their own; they are tied where a barline cuts them.
        for (int32_t k = 0; k < entry.notesHeld(); ++k) {
            const hostapi::NoteView slot = entry.note(k);
            slot.setFlags((slot.flags() & ~kTieBits) | (note.hidden ? hostapi::kNotePlayback : 0u) | tie);
        }
        return index;
    }
    entry.setFlags(hostapi::kEntryCreated | kEntryNote | hidden);
    if (note.rest) {
        MakeEntryRest(entry);
        return index;
    }
    entry.setNoteCount(1);
    const hostapi::NoteView written = entry.note(0);
    std::copy_n(note.note.data(), hostapi::NoteLayout::kSize, written.data());
    written.setFlags(written.flags() | hostapi::kNotePlayback | tie);

    int32_t direction = note.direction;
    std::optional<int32_t> interval = note.interval;
    if (interval && *interval < 0) {
        direction = -direction;
        interval = -*interval;
    }
    const bool previousHasNotes = note.previous != nullptr && note.previous->view().notesHeld() > 0;
    if (!previousHasNotes || direction == 0) {
        return index;
    }
    const int16_t key = CellKeyOf(array.measure, array.staff, 1);
    const int32_t previousPitch = PitchOf(note.previous->view().note(0), key);
    // Each move changes the pitch by a semitone; the bound keeps a host that answers
    // inconsistently from holding the run.
    for (int32_t round = 0; round < 4 * kMaxForcedInterval; ++round) {
        const int32_t distance = PitchOf(written, key) - previousPitch;
        const bool onItsSide = Sign(distance) == direction;
        if (onItsSide && (!interval || std::abs(distance) == *interval)) {
            break;
        }
        const int32_t move = onItsSide && std::abs(distance) > *interval ? -direction : direction;
        written.setAlteration(static_cast<int16_t>(written.alteration() + move));
        RespellToFewestAccidentals(written, key);
    }
    return index;
}

// ---- The generator ----

namespace {

/// What the generator works out before it writes: the notes it goes between, their pitches, the
/// span and the steps that fill it.
struct EffectPlan {
    int32_t startNote = 0;
    int32_t endNote = 0;
    int32_t startPitch = 0;
    int32_t endPitch = 0;
    bool endCorrected = false;  ///< the line's heights set the end pitch
    Edu endTime = 0;
    Edu span = 0;
    Edu delay = 0;
    Edu step = 0;
    int32_t count = 0;
};

/// Steps 1 to 6: pitches, span, the line's correction, the delay and the step. Answers the
/// effect's result when it ends here (1: nothing to write, 0: stopped), else nothing.
std::optional<int32_t> PlanEffect(const PlaybackEffect& effect, const PlaybackOptions& options, EffectPlan& plan) {
    const EntryView start = effect.start;
    const hostapi::ConstEntryView end = effect.end.view();
    const int32_t startNote = std::clamp(effect.startNote, 0, start.notesHeld() - 1);
    const int32_t endNote = std::clamp(effect.endNote, 0, std::max(end.notesHeld() - 1, 0));
    const SmartShapeRecord* line = effect.line;

    // 1. Pitches, each in the key of its staff in the start measure. An end entry without notes
    // (a rest) has no pitch: the line's heights give the target.
    const int32_t startPitch = PitchOf(start.note(startNote), CellKeyOf(effect.startMeasure, effect.startStaff, 1));
    const bool endHasNote = end.isNote() && end.notesHeld() > 0;
    int32_t endPitch =
        endHasNote ? PitchOf(end.note(endNote), CellKeyOf(effect.startMeasure, effect.endStaff, 1)) : startPitch;

    // 2. The span from the start entry to the end.
    const bool sameEntry = (line == nullptr || line->entryAttached()) && start.position() == end.position() &&
                           effect.startMeasure == effect.endMeasure;
    Edu endTime = sameEntry ? start.end() : end.position();
    Edu span = endTime - start.position();
    for (int32_t m = effect.startMeasure; m < effect.endMeasure; ++m) {
        span += MeasureLengthOrDefault(effect.startStaff, static_cast<MeasureNumber>(m));
    }
    if (line != nullptr && !line->entryAttached() && line->end() > end.position() + end.actualDuration() / 4) {
        span += end.actualDuration();
        endTime += end.actualDuration();
    }

    // 3. The line's heights correct the target.
    bool endCorrected = false;
    if (line != nullptr && line->kind() != kTrillLine) {
        const int32_t rise = line->endHeight() - line->startOffset();
        if (line->entryAttached() && !sameEntry && endHasNote) {
            const int32_t candidate = line->endHeight() / 7 + endPitch;
            if ((candidate - startPitch) * (endPitch - startPitch) < 0) {
                endPitch = candidate;
                endCorrected = true;
            }
        } else {
            if (std::abs(rise) < 3 && !sameEntry) {
                return 1;  // a level line between two entries plays nothing
            }
            const bool agrees = endHasNote && !sameEntry && Sign(rise) * Sign(endPitch - startPitch) > 0;
            if (!agrees) {
                endPitch = startPitch + rise / 7;
                endCorrected = true;
            }
        }
    }

    // 5. The delay before the effect starts.
    const int32_t percent = effect.trill ? options.trillDelayPercent : options.glideDelayPercent;
    const Edu delay = effect.fixedStep > 0 ? 0 : span * percent / 100;

    // 6. The step.
    Edu step = effect.fixedStep;
    if (step <= 0) {
        if (!effect.trill) {
            if (options.fingered && !effect.repeat) {
                const int32_t divisor = std::abs(endPitch - startPitch) * options.notesPerOctave / 12;
                if (divisor < 1) {
                    return 1;
                }
                step = (span - delay) / divisor;
            } else {
                if (options.changesPerQuarter > 30 && Ask({.id = MSG_HIGH_RATE, .skippable = true}) != Answer::Yes) {
                    return 0;
                }
                step = 1024 / options.changesPerQuarter;
            }
        } else {
            step = TrillStep(span, delay, options.trillSpeed, options.upperStart);
        }
    }
    const int32_t count = step > 0 ? (span - delay) / step : 0;
    if (count < 1) {
        if (effect.reportStop) {
            ShowMessage(FreeText::EffectInMeasureNToo, {std::to_string(effect.startMeasure)});
        }
        return 0;
    }

    plan = EffectPlan{startNote, endNote, startPitch, endPitch, endCorrected, endTime, span, delay, step, count};
    return std::nullopt;
}

/// Steps 4 and 7 of a glide: the pitch-wheel events of the span are written afresh (deleted only
/// now, so that a question declined while planning leaves them).
int32_t WriteGlide(TFMisc& context, const PlaybackEffect& effect, const PlaybackOptions& options,
                   const EffectPlan& plan) {
    const EntryView start = effect.start;
    const Edu endTime = plan.endTime;
    const Edu span = plan.span;
    const int32_t startPitch = plan.startPitch;
    const int32_t endPitch = plan.endPitch;
    // 4 and 7. A glide: the pitch-wheel events of the span are written afresh (deleted only now,
    // so that a question declined above leaves them).
    if (effect.startMeasure == effect.endMeasure) {
        DeleteMidiDataInRange(effect.endMeasure, effect.startStaff, start.position(), endTime, kMidiPitchWheel, 0);
    } else {
        DeleteMidiDataInRange(effect.endMeasure, effect.startStaff, 0, endTime, kMidiPitchWheel, 0);
        for (int32_t m = effect.startMeasure + 1; m < effect.endMeasure; ++m) {
            DeleteMidiDataInRange(static_cast<MeasureNumber>(m), effect.startStaff, 0, INT32_MAX, kMidiPitchWheel, 0);
        }
        DeleteMidiDataInRange(effect.startMeasure, effect.startStaff, start.position(), INT32_MAX, kMidiPitchWheel, 0);
    }
    const GlideSpan span7{effect.startStaff,    effect.startMeasure, start.position(), effect.endMeasure, endTime, span,
                          endPitch - startPitch};
    WriteGlideEvents(span7, GlideOptions{options.glideDelayPercent, options.benderRange, options.setBenderRange,
                                         options.changesPerQuarter});
    PlaybackRun(context).changed = 1;
    return 1;
}

/// Step 8: playback notes in a free layer of the start's cell.
int32_t WritePlaybackNotes(TFMisc& context, PlaybackEffect& effect, const PlaybackOptions& options,
                           const EffectPlan& plan) {
    EntryView start = effect.start;
    const hostapi::ConstEntryView end = effect.end.view();
    const SmartShapeRecord* line = effect.line;
    const auto [startNote, endNote, startPitch, endPitch, endCorrected, endTime, span, delay, step, count] = plan;
    bool repeat = effect.repeat;
    const std::optional<int32_t> interval = options.ForcedInterval();
    if (!repeat && interval && *interval == 0) {
        repeat = true;
    }
    const StaffSlot slot = RegionSlotOf(context.Environment, effect.startStaff);
    if (slot == 0) {
        return 1;
    }
    CellLayers cell(context.Environment, slot, effect.startMeasure);
    LayerIndex layer = 0;
    if (ChooseLayer(context, cell, effect, options, layer) == LayerChoice::Stop) {
        return 0;
    }
    EntryArray* const array = cell.At(layer);
    if (array == nullptr) {
        return 1;
    }
    // 3. The layer's trailing rests go when they reach past the start; it is this run's now.
    Edu contentEnd = LastEnd(array, false);
    if (contentEnd > start.position()) {
        int32_t lastNote = array->count - 1;
        while (lastNote >= 0 && !array->entry(lastNote).isNote()) {
            --lastNote;
        }
        FrameEntriesRemove(array, lastNote + 1, array->count - lastNote - 1);
        cell.MarkChanged(layer);
        contentEnd = LastEnd(array, false);
    }
    PlaybackRun(context).layerKeys.insert(PlaybackCell{effect.startStaff, effect.startMeasure, layer});
    PlaybackRun(context).layerMask |= 1u << layer;
    PlaybackRun(context).cellLayerMask |= 1u << layer;

    const bool tiedFromBefore = (start.note(startNote).flags() & hostapi::kNoteTieEnd) != 0;

    // 5. Hidden rests up to the start.
    if (contentEnd < start.position()) {
        AppendGeneratedRests(context.Environment, *array, start.position() - contentEnd);
        cell.MarkChanged(layer);
    }

    // 6 and 7. The playback notes.
    const NoteRecord main = PlaybackNoteOf(start.note(startNote));
    NoteRecord auxiliary = main;
    const bool below = interval && *interval < 0;
    auxiliary.view().setHarmonicLevel(static_cast<int16_t>(main.view().harmonicLevel() + (below ? -1 : 1)));
    auxiliary.view().setAlteration(0);
    const int32_t mainParity = ((options.upperStart ? 1 : 0) + (below ? 1 : 0)) % 2;
    // The first auxiliary note of a trill is placed against the main note, so that a forced
    // interval counts from it.
    EntryRecord mainEntry;
    mainEntry.view().setFlags(kEntryNote);
    mainEntry.view().setNoteCount(1);
    std::copy_n(main.data(), hostapi::NoteLayout::kSize, mainEntry.view().note(0).data());
    const int32_t startLevel = main.view().harmonicLevel();
    const int32_t endLevel = endCorrected || end.notesHeld() == 0 ? startLevel + (endPitch - startPitch) * 7 / 12
                                                                  : end.note(endNote).harmonicLevel();

    PlaybackWriter writer(context, effect, cell, layer, endTime);
    for (int32_t a = 0; a < count && writer.Continues(); ++a) {
        PlaybackNote note;
        note.hidden = options.HideNotes();
        note.note = main;
        if (repeat) {
            // Repeated notes: the main source, or in a trill (a two-note tremolo) the two sources in turn.
            const bool isMain = !effect.trill || a % 2 == mainParity || effect.auxiliarySource == nullptr;
            note.source = isMain ? effect.mainSource : effect.auxiliarySource;
        } else if (effect.trill) {
            // A main note steps back from the auxiliary note before it; the first note that
            // sounds has none before it (on a tied note the rest that starts the part is no
            // pitch), so it stays the main note.
            const bool isMain = a % 2 == mainParity;
            const bool firstSounding = a == 0 || (a == 1 && tiedFromBefore);
            note.note = isMain ? main : auxiliary;
            note.direction = isMain ? (firstSounding ? 0 : -1) : 1;
            note.interval = interval;
            note.previous = &mainEntry;
        } else {
            if (a > 0) {
                note.note.view().setHarmonicLevel(
                    static_cast<int16_t>(startLevel + (endLevel - startLevel) * a / count));
                note.note.view().setAlteration(0);
            }
            note.direction = a == 0 ? 0 : Sign(endPitch - startPitch);
        }
        note.rest = a == 0 && tiedFromBefore && !repeat;
        if (!writer.Write(step + (a == 0 ? delay : 0), note) || writer.Stopped()) {
            // The user kept a later measure's layer: the effect's notes written so far go again,
            // and its note is not silenced.
            writer.Finish(false);
            return 0;
        }
        MarkLayerSettings(context);
    }
    writer.FillToBarline();
    writer.Finish(true);

    // 4. The notated note is silenced, now that its playback notes stand.
    SilenceNote(start, startNote);
    start.setFlag(hostapi::kEntryPlayback, true);
    if (line != nullptr) {
        EntryReplace(RegionView(context.Environment), RegionSlotOf(context.Environment, effect.startStaff),
                     effect.startMeasure, start.number(), start.data(), nullptr, nullptr, true, nullptr,
                     effect.startStaff, 0, nullptr, kReplaceByNumber);
    }
    PlaybackRun(context).changed = 1;
    return 1;
}

}  // namespace

int32_t WritePlaybackEffect(TFMisc& context, PlaybackEffect& effect, const PlaybackOptions& options) {
    const EntryView start = effect.start;
    if (!start.isNote() || start.notesHeld() == 0) {
        return 1;  // a rest makes nothing audible
    }
    EffectPlan plan;
    if (const std::optional<int32_t> ended = PlanEffect(effect, options, plan)) {
        return *ended;
    }
    if (!effect.trill && !options.fingered && !effect.repeat) {
        return WriteGlide(context, effect, options, plan);
    }
    return WritePlaybackNotes(context, effect, options, plan);
}

}  // namespace orvex
