#include "tools/notes/entry_filters.h"

#include <algorithm>
#include <array>
#include <climits>
#include <random>
#include <vector>

#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/host_imports.h"
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

/// A note's pitch as it is spelled: its absolute diatonic step and its alteration under its key.
struct SpelledPitch {
    int32_t step = 0;
    int32_t alteration = 0;
    bool operator==(const SpelledPitch&) const = default;
};

SpelledPitch PitchOf(hostapi::ConstNoteView note, int16_t key) {
    SpelledPitch pitch;
    pitch.step = NotePitchStep(note.data(), key, key, false, nullptr, &pitch.alteration);
    return pitch;
}

/// Deletes the entry's tie records of a tag that belong to the note `noteId` (every one for -1).
void DeleteTieRecords(hostapi::Tag tag, hostapi::EntryNumber entry, int16_t noteId) {
    std::array<uint8_t, hostapi::NoteTieLayout::kSize> buffer{};
    for (int32_t inci = 0;
         LoadWholeEntryDetailRecord(tag, entry, inci, buffer.data(), hostapi::NoteTieLayout::kSize);) {
        const bool mine = noteId == -1 || hostapi::ReadI16(buffer.data(), hostapi::NoteTieLayout::kNoteId) == noteId;
        // A deleted record moves the later ones down: the same incidence is read again.
        if (!mine || !DeleteEntryDetailRecord(tag, entry, inci)) {
            ++inci;
        }
    }
}

/// Whether the entry holds a tie record of either tag.
bool HasTieRecords(hostapi::EntryNumber entry) {
    std::vector<uint8_t> bytes;
    return LoadEntryDetailRecordBytes(hostapi::kTagNoteTieStart, entry, 0, bytes) ||
           LoadEntryDetailRecordBytes(hostapi::kTagNoteTieEnd, entry, 0, bytes);
}

/// Clears the tie `tie` (start or end) of the notes of `neighbour` that sound one of `pitches`
/// under `key`, with their tie records; answers whether a note changed.
bool Untie(hostapi::EntryView neighbour, int16_t key, const std::vector<SpelledPitch>& pitches, uint32_t tie) {
    if (!neighbour.isNote() || pitches.empty()) {
        return false;
    }
    const hostapi::Tag tag = tie == hostapi::kNoteTieStart ? hostapi::kTagNoteTieStart : hostapi::kTagNoteTieEnd;
    bool changed = false;
    for (int32_t n = 0; n < neighbour.notesHeld(); ++n) {
        const hostapi::NoteView note = neighbour.note(n);
        if ((note.flags() & tie) == 0 ||
            std::find(pitches.begin(), pitches.end(), PitchOf(note, key)) == pitches.end()) {
            continue;
        }
        note.setFlags(note.flags() & ~tie);
        if (neighbour.has(hostapi::kEntryTieDetails)) {
            DeleteTieRecords(tag, neighbour.number(), note.noteId());
        }
        changed = true;
    }
    if (changed && neighbour.has(hostapi::kEntryTieDetails) && !HasTieRecords(neighbour.number())) {
        neighbour.setFlag(hostapi::kEntryTieDetails, false);
    }
    return changed;
}

/// Unties the last entry (`last`) or the first entry of the cell of the array's staff and layer
/// in `measure`, and saves that cell when a note changed.
void UntieOverBarline(const hostapi::EntryArray& array, int32_t measure, bool last,
                      const std::vector<SpelledPitch>& pitches, uint32_t tie) {
    if (pitches.empty() || measure < 1 || measure > INT16_MAX) {
        return;
    }
    const ScopedEntryArray cell(0, SlotOfStaff(array.staff, 0), static_cast<hostapi::MeasureNumber>(measure),
                                array.layer, 0);
    if (!cell || cell->count == 0) {
        return;
    }
    const hostapi::EntryView neighbour = cell->entry(last ? cell->count - 1 : 0);
    if (Untie(neighbour, CellKeyValue(measure, array.staff, 0), pitches, tie)) {
        SaveEntryArray(cell.Get());
    }
}

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

void ReleaseTiesOfRest(hostapi::EntryArray& array, int32_t index, hostapi::ConstEntryView before) {
    const int16_t key = CellKeyValue(array.measure, array.staff, 0);
    // The pitches tied on to the entry after, and those tied from the entry before.
    std::vector<SpelledPitch> tiedOn;
    std::vector<SpelledPitch> tiedFrom;
    for (int32_t n = 0; before.isNote() && n < before.notesHeld(); ++n) {
        const uint32_t flags = before.note(n).flags();
        if ((flags & hostapi::kNoteTieStart) != 0) {
            tiedOn.push_back(PitchOf(before.note(n), key));
        }
        if ((flags & hostapi::kNoteTieEnd) != 0) {
            tiedFrom.push_back(PitchOf(before.note(n), key));
        }
    }
    const hostapi::EntryView rest = array.entry(index);
    if (rest.has(hostapi::kEntryTieDetails)) {
        DeleteTieRecords(hostapi::kTagNoteTieStart, rest.number(), -1);
        DeleteTieRecords(hostapi::kTagNoteTieEnd, rest.number(), -1);
        rest.setFlag(hostapi::kEntryTieDetails, false);
    }
    if (index + 1 < array.count) {
        Untie(array.entry(index + 1), key, tiedOn, hostapi::kNoteTieEnd);
    } else {
        UntieOverBarline(array, array.measure + 1, false, tiedOn, hostapi::kNoteTieEnd);
    }
    if (index > 0) {
        Untie(array.entry(index - 1), key, tiedFrom, hostapi::kNoteTieStart);
    } else {
        UntieOverBarline(array, array.measure - 1, true, tiedFrom, hostapi::kNoteTieStart);
    }
}

}  // namespace orvex
