#include "tools/notes/rests.h"

#include <algorithm>
#include <array>

#include "core/host/finxess_entries.h"
#include "core/lumvar_binding.h"
#include "core/tool_context.h"
#include "platform/hostapi/bytes.h"
#include "service/lumvar_api.h"

namespace orvex {
namespace {

using hostapi::Edu;
using hostapi::EntryArray;
using hostapi::EntryView;

/// Whether Lumvar2000 reads the duration as one plain or dotted value.
bool IsSingleValue(int32_t duration) {
    std::array<uint8_t, lumvar::DurationParts::kSize> parts{};
    if (CallSplitEDU(duration, parts.data(), static_cast<int16_t>(parts.size())) != 0) {
        return false;
    }
    return hostapi::ReadI32(parts.data(), lumvar::DurationParts::kRemainder) == 0;
}

/// The rest after a note can be taken into it or tied from it: a rest of the note's voice that
/// may be absorbed, both entries written as they last.
bool RestMayFollowNote(EntryView note, EntryView rest) {
    return note.isNote() && !rest.isNote() && !rest.has(hostapi::kEntryVoice2Start) &&
           note.has(hostapi::kEntryVoice2) == rest.has(hostapi::kEntryVoice2) &&
           note.duration() == note.actualDuration() && rest.duration() == rest.actualDuration();
}

/// Turns the rest into a copy of the note tied from it.
void TieIntoRest(EntryView note, EntryView rest) {
    const int32_t count = note.notesHeld();
    rest.setNoteCount(static_cast<int16_t>(count));
    rest.setFlag(hostapi::kEntryNote, true);
    rest.setFlag(hostapi::kEntryFloatingRest, false);
    for (int32_t n = 0; n < count; ++n) {
        const hostapi::NoteView from = note.note(n);
        const hostapi::NoteView to = rest.note(n);
        std::copy_n(from.data(), hostapi::NoteLayout::kSize, to.data());
        from.setFlags(from.flags() | hostapi::kNoteTieStart);
        to.setFlags(to.flags() | hostapi::kNoteTieEnd);
    }
}

/// The first entry of the array at or after `position`; -1 when none.
int32_t FirstAtOrAfter(const EntryArray& array, Edu position) {
    for (int32_t i = 0; i < array.count; ++i) {
        if (array.entry(i).position() >= position) {
            return i;
        }
    }
    return -1;
}

/// Puts a rest back onto the common place of joined rests; answers whether it changed.
bool PlaceJoinedRest(EntryView rest) {
    const bool changed =
        rest.has(hostapi::kEntryFloatingRest) || rest.noteCount() != 0 || rest.note(0).harmonicLevel() != 0;
    rest.setFlag(hostapi::kEntryFloatingRest, false);
    rest.setNoteCount(0);
    rest.note(0).setHarmonicLevel(0);
    return changed;
}

}  // namespace

bool FitsBeatRule(const TFMisc& context, Edu length, Edu position) {
    const int32_t beats = context.Walk.measureSpec.beats();
    const int32_t beat = context.Walk.measureSpec.beatDuration();
    const int64_t end = static_cast<int64_t>(position) + length;
    for (int32_t k = 1; k < beats; ++k) {
        const int64_t boundary = static_cast<int64_t>(k) * beat;
        if (boundary <= position || boundary >= end) {
            continue;
        }
        int64_t unit = beat;
        int64_t half = beat / 2;
        if ((beats == 2 || beats == 4 || beats == 6 || beats == 8) && k % 2 == 0) {
            unit *= 2;
            half *= 2;
        }
        // A beat too short to halve gives no grid to start on.
        if (length > unit || half == 0 || position % half != 0) {
            return false;
        }
    }
    return true;
}

bool AbsorbFollowingRest(TFMisc& context, EntryArray& array, int32_t index, bool allowTies) {
    bool changed = false;
    // Each round takes one rest in and deletes it, so the rounds end with the array.
    while (index >= 0 && index + 1 < array.count) {
        const EntryView note = array.entry(index);
        const EntryView rest = array.entry(index + 1);
        if (note.actualDuration() == 0 || rest.actualDuration() == 0 || !RestMayFollowNote(note, rest)) {
            return changed;
        }
        const int32_t sum = note.duration() + rest.duration();
        if (IsSingleValue(sum) && FitsBeatRule(context, sum, note.position())) {
            // The rest goes first: a note grown over a rest the host kept would overlap it.
            if (!FrameEntriesRemove(&array, index + 1, 1)) {
                return changed;
            }
            const EntryView grown = array.entry(index);  // the entries have moved
            grown.setDuration(static_cast<int16_t>(sum));
            grown.setActualDuration(sum);
            changed = true;
            continue;
        }
        if (allowTies && rest.position() == static_cast<int64_t>(note.position()) + note.actualDuration()) {
            TieIntoRest(note, rest);
            changed = true;
        }
        return changed;
    }
    return changed;
}

void JoinLayerRests(TFMisc&, hostapi::ViewKey regionWord, hostapi::MeasureNumber measure, hostapi::StaffSlot slot,
                    Edu from, Edu to) {
    LayerArrays layers{};
    ScopedCellLayers lent(layers);
    const int32_t filled = lent.Load(regionWord, measure, slot);
    bool changed = false;
    if (filled >= 2) {
        size_t base = 0;
        while (base < 3 && (layers[base] == nullptr || layers[base]->count == 0)) {
            ++base;
        }
        const EntryArray& baseArray = *layers[base];
        for (int32_t i = 0; i < baseArray.count; ++i) {
            const EntryView rest = baseArray.entry(i);
            if (rest.isNote() || rest.position() < from || rest.position() > to) {
                continue;
            }
            // The entries of the higher layers that start with the rest.
            std::array<int32_t, 4> together{-1, -1, -1, -1};
            bool anyTogether = false;
            bool matched = false;
            for (size_t layer = base + 1; layer < layers.size(); ++layer) {
                if (layers[layer] == nullptr) {
                    continue;
                }
                const int32_t found = FirstAtOrAfter(*layers[layer], rest.position());
                if (found < 0 || layers[layer]->entry(found).position() != rest.position()) {
                    continue;
                }
                together[layer] = found;
                anyTogether = true;
                const EntryView other = layers[layer]->entry(found);
                matched = matched || (!other.isNote() && other.actualDuration() == rest.actualDuration());
            }
            if (!matched && anyTogether) {
                continue;  // a note or a rest of another length sounds with it
            }
            changed = PlaceJoinedRest(rest) || changed;
            for (size_t layer = base + 1; layer < layers.size(); ++layer) {
                if (together[layer] >= 0 && !layers[layer]->entry(together[layer]).isNote()) {
                    changed = PlaceJoinedRest(layers[layer]->entry(together[layer])) || changed;
                }
            }
        }
    }
    for (EntryArray* array : layers) {
        if (array != nullptr && changed) {
            SaveEntryArray(array);
        }
    }
}

}  // namespace orvex
