// "Vx &Playback..." (tool 67): the notated effects of the selection become audible (create), what
// the command wrote goes again (remove), or the host redraws the selected measures (redraw).
#include <algorithm>
#include <array>
#include <climits>
#include <optional>
#include <utility>
#include <vector>

#include "core/free_texts.h"
#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/host_imports.h"
#include "core/host/smart_shapes.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "platform/hostapi/entry_records.h"
#include "tools/notes/notes_services.h"
#include "tools/notes/playback.h"
#include "tools/notes/playback_effects.h"

namespace orvex {

namespace {

using hostapi::Edu;
using hostapi::EntryArray;
using hostapi::EntryRecord;
using hostapi::EntryView;
using hostapi::InstrumentKey;
using hostapi::kInterfaceVersion;
using hostapi::LayerIndex;
using hostapi::MeasureNumber;
using hostapi::StaffSlot;

constexpr int16_t kCrescendoKind = 3;  ///< a hairpin that doubles the volume; kind 2 halves it
constexpr int16_t kDecrescendoKind = 2;
constexpr int16_t kTrillLine = 14;
constexpr int16_t kVolumeReset = 64;
/// A hairpin that ends this close after an entry with a dynamic ends at that entry.
constexpr Edu kEndTolerance = 15;
/// The reset after a tied note that reaches an empty measure comes this far into it.
constexpr Edu kResetIntoEmptyMeasure = 512;

using PerformanceLayout = hostapi::NotePerformanceLayout;

InstrumentKey StaffOf(const RunEnvironment& environment, StaffSlot slot) {
    return StaffOfSlot(slot, RegionView(environment));
}

bool IsGlissando(int16_t kind) {
    return kind == 11 || kind == 25 || kind == 26;
}
bool IsHairpin(int16_t kind) {
    return kind == kDecrescendoKind || kind == kCrescendoKind;
}

/// The entry an end of a shape names: by number when the shape is attached to entries, else the
/// entry nearest the position; its layer goes to `layer`.
bool EntryOfShapeEnd(const RunEnvironment& environment, InstrumentKey staff, MeasureNumber measure, int32_t value,
                     bool attached, EntryRecord& entry, LayerIndex* layer = nullptr) {
    const StaffSlot slot = RegionSlotOf(environment, staff);
    return slot != 0 && EntryReplace(RegionView(environment), slot, measure, value, entry.data(), layer, nullptr, false,
                                     nullptr, staff, 0, nullptr, attached ? kReplaceByNumber : kReplaceNearestPosition);
}

/// The entry that starts at the position in a layer of the cell (one that lasts time before a
/// grace note at the same place); none when no layer holds one.
std::optional<EntryRecord> EntryAt(const RunEnvironment& environment, InstrumentKey staff, MeasureNumber measure,
                                   Edu position) {
    const StaffSlot slot = RegionSlotOf(environment, staff);
    std::optional<EntryRecord> found;
    for (LayerIndex layer = 0; layer < 4 && slot != 0; ++layer) {
        const ScopedEntryArray lent(RegionView(environment), slot, measure, layer);
        EntryArray* array = lent.Get();
        if (array == nullptr) {
            continue;
        }
        for (int32_t i = 0; i < array->count; ++i) {
            const EntryView entry = array->entry(i);
            if (entry.position() == position && (!found || found->view().actualDuration() <= 0)) {
                found.emplace();
                std::copy_n(entry.data(), hostapi::EntryLayout::kSize, found->data());
            }
        }
        if (found && found->view().actualDuration() > 0) {
            break;
        }
    }
    return found;
}

bool HasNoteExpression(hostapi::ConstEntryView entry) {
    return (entry.moreFlags() & hostapi::kEntryMoreExpressions) != 0;
}
/// A note tied from the one before: the continuation of a held note.
bool IsTiedContinuation(hostapi::ConstEntryView entry) {
    return entry.isNote() && entry.notesHeld() > 0 && (entry.note(0).flags() & hostapi::kNoteTieEnd) != 0;
}
/// An entry whose dynamic sets the volume after a hairpin.
bool QualifiesAsReset(hostapi::ConstEntryView entry) {
    return HasNoteExpression(entry) && !IsTiedContinuation(entry);
}

/// Deletes the events of a status (and controller) from `from` in the start measure to `to` in
/// the end measure, whole measures between.
void DeleteEventsOfSpan(InstrumentKey staff, MeasureNumber startMeasure, Edu from, MeasureNumber endMeasure, Edu to,
                        int16_t status, int16_t controller) {
    if (startMeasure == endMeasure) {
        DeleteMidiDataInRange(startMeasure, staff, from, to, status, controller);
        return;
    }
    DeleteMidiDataInRange(endMeasure, staff, 0, to, status, controller);
    for (int32_t m = startMeasure + 1; m < endMeasure; ++m) {
        DeleteMidiDataInRange(static_cast<MeasureNumber>(m), staff, 0, INT32_MAX, status, controller);
    }
    DeleteMidiDataInRange(startMeasure, staff, from, INT32_MAX, status, controller);
}

/// The last event of the status (and, for controllers, the controller) before `time` in the
/// measure, else in the measures before it; none when there is none.
std::optional<MidiEvent> LastEventBefore(InstrumentKey staff, MeasureNumber measure, Edu time, int16_t status,
                                         int16_t controller) {
    for (int32_t m = measure; m >= 1; --m) {
        const std::vector<MidiEvent> events = LoadCellMidiEvents(static_cast<MeasureNumber>(m), staff);
        for (auto it = events.rbegin(); it != events.rend(); ++it) {
            if (it->status() == status && (status != kMidiController || it->data1() == controller) &&
                (m != measure || it->time() < time)) {
                return *it;
            }
        }
    }
    return std::nullopt;
}

// ---- Remove ----

/// Sets back the performance records of the entry's notes that playback notes silenced (-126 or
/// -127 at byte 6 and -127 at byte 8; the -7, -15 or -31 written with them at byte 4 goes too).
/// Records left holding nothing but their note's identifier are deleted, with the entry's
/// playback marks. Answers whether a record changed; `entryChanged` when the entry's flags did.
bool RestoreSilencedNotes(EntryView entry, bool& entryChanged) {
    std::vector<std::array<uint8_t, PerformanceLayout::kSize>> records;
    for (int32_t inci = 0; inci < 4 * static_cast<int32_t>(hostapi::EntryLayout::kMaxNotes); ++inci) {
        std::array<uint8_t, PerformanceLayout::kSize> record{};
        if (!LoadWholeEntryDetailRecord(hostapi::kTagNotePerformance, entry.number(), inci, record.data(),
                                        PerformanceLayout::kSize)) {
            break;
        }
        records.push_back(record);
    }
    bool changed = false;
    for (size_t inci = 0; inci < records.size(); ++inci) {
        uint8_t* record = records[inci].data();
        const int16_t word4 = hostapi::ReadI16(record, PerformanceLayout::kWord4);
        const int16_t pitch = hostapi::ReadI16(record, PerformanceLayout::kPitchChange);
        const int16_t level = hostapi::ReadI16(record, PerformanceLayout::kLevelChange);
        if (level != PerformanceLayout::kSilencedLevel ||
            (pitch != PerformanceLayout::kSilencedPitch && pitch != PerformanceLayout::kSilencedLevel)) {
            continue;
        }
        hostapi::WriteI16(record, PerformanceLayout::kPitchChange, 0);
        hostapi::WriteI16(record, PerformanceLayout::kLevelChange, 0);
        if (word4 == PerformanceLayout::kSilencedWord4 || word4 == -15 || word4 == -31) {
            hostapi::WriteI16(record, PerformanceLayout::kWord4, 0);
        }
        SaveEntryDetailRecord(hostapi::kTagNotePerformance, entry.number(), static_cast<int32_t>(inci), record,
                              PerformanceLayout::kSize);
        changed = true;
    }
    if (!changed) {
        return false;
    }
    const bool onlyIdentifiers = std::all_of(records.begin(), records.end(), [](const auto& record) {
        return std::all_of(record.begin() + 2, record.end(), [](uint8_t b) { return b == 0; });
    });
    if (onlyIdentifiers) {
        for (size_t k = 0; k < records.size(); ++k) {
            DeleteEntryDetailRecord(hostapi::kTagNotePerformance, entry.number(), 0);
        }
        entry.setFlag(hostapi::kEntryPlayback, false);
        entry.setMoreFlags(static_cast<uint16_t>(entry.moreFlags() & ~hostapi::kEntryMorePlayback));
        entryChanged = true;
    }
    return true;
}

/// Takes back what the effect generator wrote into the cell: in every layer the entries it marks
/// as its own (0x0800 in the word after the flags), and the silencing of the notated notes. The
/// user's music is never deleted. Answers whether anything changed.
bool RestoreCell(const RunEnvironment& environment, StaffSlot slot, MeasureNumber measure) {
    bool changed = false;
    for (LayerIndex layer = 0; layer < 4; ++layer) {
        const ScopedEntryArray lent(RegionView(environment), slot, measure, layer);
        EntryArray* array = lent.Get();
        if (array == nullptr) {
            continue;
        }
        bool arrayChanged = false;
        for (int32_t i = array->count - 1; i >= 0; --i) {
            if ((array->entry(i).moreFlags() & hostapi::kEntryMoreGenerated) != 0) {
                FrameEntriesRemove(array, i, 1);
                arrayChanged = true;
            }
        }
        for (int32_t i = 0; i < array->count; ++i) {
            if (array->entry(i).number() != 0) {
                changed = RestoreSilencedNotes(array->entry(i), arrayChanged) || changed;
            }
        }
        if (arrayChanged) {
            SaveEntryArray(array);
            changed = true;
        }
    }
    return changed;
}

bool RemovePlayback(TFMisc& context, const hostapi::SelectionRecord& region) {
    const PlaybackOptions options = PlaybackOptions::Read(context);
    bool changed = false;
    for (int32_t m = region.firstMeasure(); m <= region.lastMeasure(); ++m) {
        const auto measure = static_cast<MeasureNumber>(m);
        for (int32_t s = region.firstStaff(); s <= region.lastStaff(); ++s) {
            const auto slot = static_cast<StaffSlot>(s);
            const InstrumentKey staff = StaffOf(context.Environment, slot);
            if (staff == 0) {
                continue;
            }
            const Edu from = measure == region.firstMeasure() ? region.startEdu() : 0;
            const Edu to = measure == region.lastMeasure() && region.endEdu() != 0 ? region.endEdu() : INT32_MAX;
            // Where events were deleted, the wheel and the volume are set back at the range's
            // start only when an event before the range leaves them elsewhere (a glide or a
            // ramp that began before it): a range without playback data stays as it is, and
            // one whose data this command wrote is left as it was before.
            if (options.glissandi && DeleteMidiDataInRange(measure, staff, from, to, kMidiPitchWheel, 0)) {
                changed = true;
                const std::optional<MidiEvent> before = LastEventBefore(staff, measure, from, kMidiPitchWheel, 0);
                if (before && (before->data1() != 0 || before->data2() != 64)) {
                    StoreMidiEvent(measure, staff, MidiEvent::Make(from, kMidiPitchWheel, 0, 64));
                    SortCellMidiEvents(measure, staff);
                }
            }
            if (options.hairpins && DeleteMidiDataInRange(measure, staff, from, to, kMidiController, kMidiVolume)) {
                changed = true;
                const std::optional<MidiEvent> before =
                    LastEventBefore(staff, measure, from, kMidiController, kMidiVolume);
                if (measure == region.firstMeasure() && options.resetVolumeAtEnd && before &&
                    before->data2() != kVolumeReset) {
                    StoreMidiEvent(measure, staff, MidiEvent::Make(from, kMidiController, kMidiVolume, kVolumeReset));
                    SortCellMidiEvents(measure, staff);
                }
            }
            if (options.glissandi || options.trills) {
                changed = RestoreCell(context.Environment, slot, measure) || changed;
            }
        }
    }
    if (!changed) {
        ShowMessage(FreeText::NoPlaybackEffectsOrNotes);
    }
    return true;
}

// ---- Create ----

/// Whether a shape starts in the selection: its staff among the selected ones, its start in the
/// selected measures (and, for a shape at a position, within the selected stretch).
bool StartsInSelection(const RunEnvironment& environment, const SmartShapeRecord& shape,
                       const hostapi::SelectionRecord& region) {
    const StaffSlot slot = RegionSlotOf(environment, shape.startStaff());
    if (slot < region.firstStaff() || slot > region.lastStaff() || slot == 0) {
        return false;
    }
    if (shape.entryAttached()) {
        return shape.startMeasure() >= region.firstMeasure() && shape.startMeasure() <= region.lastMeasure();
    }
    return MeasureInRange(shape.startMeasure(), shape.start(), region, 0);
}

bool CreatePlayback(TFMisc& context, const hostapi::SelectionRecord& region) {
    const PlaybackOptions options = PlaybackOptions::Read(context);
    TSmartShapes shapes;
    shapes.LoadMeasureLinks(region.firstMeasure(), region.lastMeasure());
    for (int32_t i = 0; i < shapes.Count(); ++i) {
        const SmartShapeRecord& shape = shapes.At(i)->Record;
        if (!StartsInSelection(context.Environment, shape, region)) {
            continue;
        }
        const int16_t kind = shape.kind();
        int32_t result = 1;
        if (options.glissandi && IsGlissando(kind)) {
            result = WriteShapePlayback(shape, context, options, false);
        } else if (options.trills && kind == kTrillLine) {
            result = WriteShapePlayback(shape, context, options, true);
        } else if (options.hairpins && IsHairpin(kind)) {
            PlaybackRun(context).changed =
                static_cast<uint8_t>(PlaybackRun(context).changed | WriteHairpinVolume(shape, context));
        }
        if (result == 0) {
            PlaybackRun(context).layerKeys.clear();
            return true;  // declined or no free layer: the user has been told
        }
    }
    const bool walked = RunEntryProcessingTool(context);
    if (walked && PlaybackRun(context).stopped == 0 && PlaybackRun(context).changed == 0) {
        ShowMessage(FreeText::NothingDoneNoSmartShapes);
    }
    PlaybackRun(context).layerKeys.clear();
    return walked;
}

}  // namespace

bool WriteHairpinVolume(const SmartShapeRecord& hairpin, TFMisc& context) {
    const PlaybackOptions options = PlaybackOptions::Read(context);
    const InstrumentKey staff = hairpin.startStaff();
    const MeasureNumber startMeasure = hairpin.startMeasure();
    if (context.Environment.Region() != nullptr && (startMeasure < context.Environment.Region()->firstMeasure() ||
                                                    startMeasure > context.Environment.Region()->lastMeasure())) {
        return false;
    }
    const bool attached = hairpin.entryAttached();
    EntryRecord startEntry;
    const bool haveStart =
        EntryOfShapeEnd(context.Environment, staff, startMeasure, hairpin.start(), attached, startEntry);
    const Edu startPosition = attached ? (haveStart ? startEntry.view().position() : 0) : hairpin.start();
    int32_t startVolume = LastMidiValueBefore(staff, startMeasure, startPosition, kMidiController, kMidiVolume, 64);
    if (haveStart && HasNoteExpression(startEntry.view())) {
        startVolume = kVolumeReset;
    }

    // The ramp's end and the point where the volume is set back.
    MeasureNumber endMeasure = hairpin.endMeasure();
    EntryRecord endEntry;
    const bool haveEnd =
        EntryOfShapeEnd(context.Environment, hairpin.endStaff(), endMeasure, hairpin.end(), attached, endEntry);
    Edu endPosition = attached ? (haveEnd ? endEntry.view().position() : 0) : hairpin.end();
    const MeasureNumber lastMeasure = context.Environment.WholeDocument().lastMeasure();
    std::optional<std::pair<MeasureNumber, Edu>> reset;
    if (haveEnd && QualifiesAsReset(endEntry.view()) && endPosition >= endEntry.view().position() &&
        endPosition <= endEntry.view().position() + kEndTolerance) {
        endPosition = endEntry.view().position();
        reset.emplace(endMeasure, endPosition);
    } else if (haveEnd) {
        MeasureNumber measure = endMeasure;
        Edu position = endEntry.view().end();
        bool passedTied = false;
        // Each round moves on by an entry or a measure; the bound guards against a host whose
        // entries make no progress.
        for (int32_t round = 0; round < 100000 && measure <= lastMeasure; ++round) {
            const Edu length = MeasureLengthOrDefault(staff, measure);
            if (position >= length) {
                position -= length;
                ++measure;
                continue;
            }
            const std::optional<EntryRecord> entry = EntryAt(context.Environment, staff, measure, position);
            if (!entry) {
                if (passedTied) {
                    reset.emplace(measure, position == 0 ? kResetIntoEmptyMeasure : position);
                }
                break;
            }
            if (QualifiesAsReset(entry->view())) {
                reset.emplace(measure, position);
                break;
            }
            passedTied = passedTied || (IsTiedContinuation(entry->view()) && HasNoteExpression(entry->view()));
            position = std::max(entry->view().end(), position + 1);
        }
    }
    if (endPosition >= MeasureLengthOrDefault(staff, endMeasure) && endMeasure < lastMeasure) {
        endPosition -= MeasureLengthOrDefault(staff, endMeasure);
        ++endMeasure;
    }

    // The target and the span.
    const int32_t target = std::clamp(hairpin.kind() == kDecrescendoKind ? startVolume / 2 : startVolume * 2, 0, 127);
    Edu span = endPosition - startPosition;
    for (int32_t m = startMeasure; m < endMeasure; ++m) {
        span += MeasureLengthOrDefault(staff, static_cast<MeasureNumber>(m));
    }
    if (options.volumeChangesPerQuarter > 30 && Ask({.id = MSG_HIGH_RATE, .skippable = true}) != Answer::Yes) {
        return false;
    }
    const Edu step = 1024 / options.volumeChangesPerQuarter;
    const int32_t count = span / step;
    if (count < 1) {
        return false;
    }
    DeleteEventsOfSpan(staff, startMeasure, startPosition, endMeasure, endPosition, kMidiController, kMidiVolume);
    if (haveStart && startEntry.view().position() < startPosition) {
        StoreMidiEvent(startMeasure, staff,
                       MidiEvent::Make(startEntry.view().position(), kMidiController, kMidiVolume,
                                       static_cast<int16_t>(startVolume)));
    }
    MeasureNumber measure = startMeasure;
    Edu time = startPosition;
    for (int32_t a = 0; a <= count && (measure < endMeasure || time < endPosition); ++a) {
        const int32_t volume = startVolume + (target - startVolume) * a / count;
        StoreMidiEvent(measure, staff,
                       MidiEvent::Make(time, kMidiController, kMidiVolume, static_cast<int16_t>(volume)));
        time += step;
        for (Edu length = MeasureLengthOrDefault(staff, measure); time >= length && measure < endMeasure;
             length = MeasureLengthOrDefault(staff, measure)) {
            SortCellMidiEvents(measure, staff);
            time -= length;
            ++measure;
        }
    }
    if (options.resetVolumeAtEnd && reset) {
        StoreMidiEvent(reset->first, staff, MidiEvent::Make(reset->second, kMidiController, kMidiVolume, kVolumeReset));
        SortCellMidiEvents(reset->first, staff);
    }
    SortCellMidiEvents(endMeasure, staff);
    if (options.setVolumeAtStart) {
        StoreMidiEvent(1, staff, MidiEvent::Make(0, kMidiController, kMidiVolume, kVolumeReset));
        SortCellMidiEvents(1, staff);
    }
    return true;
}

bool RunPlaybackTool(TFMisc& context, int32_t setNumber) {
    if (context.Environment.Region() == nullptr) {
        return false;
    }
    const hostapi::SelectionRecord region = *context.Environment.Region();
    PlaybackRun(context).changed = 0;
    PlaybackRun(context).layerAsked = 0;
    PlaybackRun(context).layerOverwrite = 0;
    PlaybackRun(context).layerKeys.clear();
    PlaybackRun(context).layerMask = 0;
    PlaybackRun(context).layerFlagsSet = 0;
    PlaybackRun(context).stopped = 0;
    switch (setNumber) {
        case kPlaybackRedraw:
            RedrawHostMeasures(region.firstMeasure(), region.lastMeasure(), region.viewKey());
            return false;
        case kPlaybackRemove:
            return RemovePlayback(context, region);
        default:
            return CreatePlayback(context, region);
    }
}

// The Midi and Distribute Notes items have no menu entries; they succeed at once and change
// nothing.
bool RunMidiTool(TFMisc&) {
    return true;
}
bool RunDistributeNotes(TFMisc&) {
    return true;
}

}  // namespace orvex
