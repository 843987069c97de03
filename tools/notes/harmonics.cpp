// Harmonics: the run over the selection.
#include "tools/notes/harmonics.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "core/free_texts.h"
#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/finxess_regions.h"
#include "core/host/host_imports.h"
#include "core/host/smart_shapes.h"
#include "core/host_probes.h"
#include "core/messages.h"
#include "core/run_services.h"
#include "core/startup.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/entry_records.h"
#include "tools/notes/engine/entry_engine.h"
#include "tools/notes/entry_details.h"

namespace orvex {

namespace {

using hostapi::EntryArray;
using hostapi::EntryView;
using hostapi::kInterfaceVersion;

/// The custom notehead record of a note ('E\x02cn'; 'edCN' before 2001).
using hostapi::kTagNotehead2001;
constexpr size_t kNoteheadSizeWord = 1;
constexpr size_t kNoteheadCharacterWord = 4;
constexpr int32_t kFullSize = 100;
/// A notehead word: 0xFF00 + the character; characters of 256 and more give kNoteheadTooHigh.
constexpr uint16_t kNoteheadBase = 0xFF00;
constexpr uint16_t kNoteheadTooHigh = 0xFFE1;
constexpr hostapi::Edu kHalfNote = 2048;
/// Performance record words: pitch change in semitones (3) and level change (4).
constexpr size_t kPlaybackPitchWord = 3;
constexpr size_t kPlaybackLevelWord = 4;
constexpr int16_t kMuted = -127;
/// The note flags an added note takes from the lower note, and the flag of a shown accidental.
constexpr uint32_t kAddedNoteFlagMask = 0xE1800000;

// clang-format off
/// The theoretical harmonics: (interval number, semitones).
constexpr std::array<std::pair<int32_t, int32_t>, 9> kTheoreticalHarmonics = {{
    {8, 12}, {12, 19}, {15, 24}, {17, 28}, {19, 31}, {21, 34}, {22, 36}, {23, 38}, {24, 40},
}};
// clang-format on

int16_t CellKeyValue(int32_t measure, int32_t staff) {
    return orvex::CellKeyValue(measure, staff, 0);
}

int32_t PitchOf(hostapi::ConstNoteView note, int16_t key) {
    return NotePitchValue(note.data(), key);
}

void SetWord(uint8_t* record, size_t word, int16_t value) {
    hostapi::WriteI16(record, 2 * word, value);
}

/// The playback records of the two notes: the lower sounds the harmonic (muted when the added
/// note sounds it, or when the harmonic has no known sounding pitch), the upper is muted.
void WritePlayback(EntryView entry, const std::optional<SoundingInterval>& sounding, bool addSound) {
    RecordCursor cursor;
    RecordCursorInit(cursor);
    RecordCursorOpen(cursor, entry.data());
    uint8_t* lower = RecordCursorAt(cursor, 0);
    uint8_t* upper = RecordCursorAt(cursor, 1);
    if (lower == nullptr || upper == nullptr) {
        return;
    }
    if (sounding && !addSound) {
        SetWord(lower, kPlaybackPitchWord, static_cast<int16_t>(sounding->semitones));
    } else {
        SetWord(lower, kPlaybackLevelWord, kMuted);
        SetWord(lower, kPlaybackPitchWord, kMuted);
    }
    if (sounding) {
        SetWord(upper, kPlaybackLevelWord, kMuted);
        SetWord(upper, kPlaybackPitchWord, kMuted);
    }
    RecordCursorSave(cursor, entry.data());
    entry.setFlag(hostapi::kEntryPlayback, true);
}

/// A third note at the sounding pitch, above the two.
void AddSoundingNote(EntryView entry, const SoundingInterval& sounding, int16_t key) {
    const hostapi::NoteView lower = entry.note(0);
    const hostapi::NoteView added = entry.note(2);
    added.setFlags(lower.flags() & kAddedNoteFlagMask);
    added.setHarmonicLevel(static_cast<int16_t>(lower.harmonicLevel() + sounding.steps));
    added.setAlteration(0);
    added.setNoteId(0);
    entry.setNoteCount(3);
    const int32_t distance = PitchOf(added, key) - PitchOf(lower, key);
    if (distance != sounding.semitones) {
        added.setFlags(added.flags() | hostapi::kNoteAccidentalShown);
        added.setAlteration(static_cast<int16_t>(sounding.semitones - distance));
    }
}

/// The diamond on the upper note: an existing custom notehead keeps a character of its own
/// unless overwriting is asked. Answers whether the entry itself changed.
bool SetDiamond(EntryView entry, const HarmonicsSettings& settings) {
    const int32_t character = entry.duration() < kHalfNote ? settings.blackDiamond : settings.diamond;
    const uint16_t word =
        character >= 256 ? kNoteheadTooHigh : static_cast<uint16_t>(kNoteheadBase + (character & 0xFF));
    const int16_t noteId = entry.note(1).noteId();
    const hostapi::Tag tag = ByValueTag(kTagNotehead2001);
    Record10 record;
    int32_t inci = 0;
    if (entry.has(hostapi::kEntryNoteDetails) && FindRecordByValue(entry.number(), noteId, record, inci, tag)) {
        if (record.word(kNoteheadCharacterWord) == 0 || settings.overwrite) {
            record.setWord(kNoteheadCharacterWord, static_cast<int16_t>(word));
            SaveRecordByValue(entry.number(), record, inci, tag);
        }
        return false;
    }
    record = Record10{};
    hostapi::WriteI16(record.data(), hostapi::NoteheadLayout::kNoteId, noteId);
    record.setWord(kNoteheadSizeWord, kFullSize);
    record.setWord(kNoteheadCharacterWord, static_cast<int16_t>(word));
    CreateRecordByValue(entry.number(), record, tag);
    entry.setFlag(hostapi::kEntryNoteDetails, true);
    return true;
}

/// The added notes of a saved cell get their small notehead and parentheses.
void FinishAddedNotes(const hostapi::SelectionRecord& region, hostapi::StaffSlot slot, hostapi::MeasureNumber measure,
                      hostapi::LayerIndex layer, const std::vector<uint8_t>& marks, const HarmonicsSettings& settings) {
    const ScopedEntryArray lent(region.viewKey(), slot, measure, layer);
    EntryArray* array = lent.Get();
    if (array == nullptr) {
        return;
    }
    const hostapi::Tag tag = ByValueTag(kTagNotehead2001);
    for (int32_t i = 0; i < array->count && i < static_cast<int32_t>(marks.size()); ++i) {
        const EntryView entry = array->entry(i);
        if (marks[static_cast<size_t>(i)] == 0 || entry.notesHeld() < 3) {
            continue;
        }
        Record10 record;
        hostapi::WriteI16(record.data(), hostapi::NoteheadLayout::kNoteId, entry.note(2).noteId());
        record.setWord(kNoteheadSizeWord, static_cast<int16_t>(settings.percentage));
        CreateRecordByValue(entry.number(), record, tag);
        entry.setFlag(hostapi::kEntryNoteDetails, true);
        if (settings.parenthesize) {
            WriteEntryAttachedRecords(entry, settings.parentheses, settings.percentage, 2, settings.percentage);
        }
    }
    SaveEntryArray(array);
}

}  // namespace

std::optional<SoundingInterval> HarmonicSounding(int32_t semitones) {
    switch (semitones) {
        case 3:
            return SoundingInterval{18, 31};
        case 4:
            return SoundingInterval{16, 28};
        case 5:
            return SoundingInterval{14, 24};
        case 7:
            return SoundingInterval{11, 19};
        case 9:
            return SoundingInterval{16, 28};
        default:
            return std::nullopt;
    }
}

bool IsHarmonic(int32_t workOn, int32_t interval, int32_t d, int32_t s) {
    const bool fourthsFifths = (d == 4 && s == 5) || (d == 5 && s == 7);
    const bool upToSixths = fourthsFifths || (d == 6 && s == 9);
    const bool violin = upToSixths || (d == 3 && (s == 3 || s == 4));
    const bool theoretical = violin || d > 24 ||
                             std::find(kTheoreticalHarmonics.begin(), kTheoreticalHarmonics.end(),
                                       std::make_pair(d, s)) != kTheoreticalHarmonics.end();
    switch (workOn) {
        case 0:
            return theoretical;
        case 1:
            return violin;
        case 2:
            return upToSixths;
        case 3:
            return fourthsFifths;
        case 4:
            return d == interval && (interval == 3 ? s == 3 || s == 4 : interval == 4 ? s == 5 : true);
        case 5:
            return true;
        default:
            return false;
    }
}

void RunHarmonics(const HarmonicsSettings& settings) {
    const hostapi::SelectionRecord* selection = CheckSelection(false);
    if (selection == nullptr) {
        return;
    }
    const hostapi::SelectionRecord region = *selection;
    ScopedEditBracket bracket(&region, std::max(region.lastMeasure() - region.firstMeasure() + 1, 1));
    bool found = false;
    for (int32_t m = region.firstMeasure(); m <= region.lastMeasure(); ++m) {
        const auto measure = static_cast<hostapi::MeasureNumber>(m);
        if (!bracket.Step(0, measure)) {
            break;
        }
        for (int32_t s = region.firstStaff(); s <= region.lastStaff(); ++s) {
            const auto slot = static_cast<hostapi::StaffSlot>(s);
            const hostapi::InstrumentKey staff = StaffOfSlot(slot, region.viewKey());
            hostapi::Edu from = 0;
            hostapi::Edu to = 0;
            ScaleDurationPair(region, measure, MeasureLengthOrDefault(staff, measure),
                              MeasureLengthOrDefault(0, measure), from, to);
            const int16_t key = CellKeyValue(m, staff);
            for (hostapi::LayerIndex layer = 0; layer < 4; ++layer) {
                if (!IsHostMenuCommandChecked(layer)) {
                    continue;
                }
                ScopedEntryArray lent(region.viewKey(), slot, measure, layer);
                EntryArray* array = lent.Get();
                if (array == nullptr) {
                    continue;
                }
                std::vector<uint8_t> marks(static_cast<size_t>(std::max<int16_t>(array->count, 0)), 0);
                bool changed = false;
                bool added = false;
                for (int32_t i = 0; i < array->count; ++i) {
                    const EntryView entry = array->entry(i);
                    if (entry.position() < from || entry.position() > to || entry.noteCount() != 2) {
                        continue;
                    }
                    const int32_t semitones = PitchOf(entry.note(1), key) - PitchOf(entry.note(0), key);
                    const int32_t d = entry.note(1).harmonicLevel() - entry.note(0).harmonicLevel() + 1;
                    if (!IsHarmonic(settings.workOn, settings.interval, d, semitones)) {
                        continue;
                    }
                    found = true;
                    const std::optional<SoundingInterval> sounding = HarmonicSounding(semitones);
                    if (settings.playback) {
                        WritePlayback(entry, sounding, settings.addSound);
                        changed = true;
                    }
                    if (settings.addSound && sounding) {
                        AddSoundingNote(entry, *sounding, key);
                        marks[static_cast<size_t>(i)] = 1;
                        added = true;
                        changed = true;
                    }
                    changed = SetDiamond(entry, settings) || changed;
                }
                if (changed) {
                    SaveEntryArray(array);
                }
                lent.Release();
                if (added) {
                    FinishAddedNotes(region, slot, measure, layer, marks, settings);
                }
            }
        }
    }
    bracket.End();
    if (!found && !bracket.Stopped()) {
        ShowMessage(FreeText::PlugInMakesStringHarmonics);
    }
}

}  // namespace orvex
