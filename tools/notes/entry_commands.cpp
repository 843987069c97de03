#include "tools/notes/entry_commands.h"
#include "platform/hostapi/entry_records.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <string>

#include "core/free_texts.h"
#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/host_imports.h"
#include "core/host/smart_shapes.h"
#include "core/messages.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "core/tool_items.h"
#include "platform/win/system.h"
#include "tools/notes/engine/entry_engine.h"
#include "tools/notes/entry_fields.h"
#include "tools/notes/notes_services.h"

namespace orvex {
namespace {

using hostapi::EntryView;
using hostapi::NoteView;

/// The glissando kind whose note-attached end Shift places before the accidental.
constexpr int16_t kGlissandoKind = 26;
/// Smart shape record fields of the end that Shift sets.
constexpr size_t kEndHorizontalOffset = hostapi::SmartShapeLayout::kEndHorizontalOffset;
constexpr size_t kEndAttachment = hostapi::SmartShapeLayout::kEndAttachment;
constexpr int16_t kStartNoteOffset = 76;  ///< @76, i16, the start's note identifier
// End attachment codes: to another note, to the same note going up, to the same note going down.
constexpr int16_t kAttachOtherNote = 0x400C;
constexpr int16_t kAttachSameNoteUp = 0x4008;
constexpr int16_t kAttachSameNoteDown = 0x400B;

/// The notehead record per note (found by its identifier): word 1 the head size in percent,
/// word 4 the notehead character.
using hostapi::kTagNotehead2001;
constexpr size_t kHeadSizeWord = 1;
constexpr size_t kHeadCharacterWord = 4;
/// The entry's size record: word 1 the note size in percent.
constexpr hostapi::Tag kTagEntrySize = hostapi::kTagNoteSize;
constexpr size_t kEntrySizeWord = 1;

/// Replace Pitches' pairs: rows (change, into).
constexpr std::array<std::pair<ReplacePitchesRow, ReplacePitchesRow>, 5> kReplacePairs = {{
    {REPLACE_FROM_1, REPLACE_INTO_1},
    {REPLACE_FROM_2, REPLACE_INTO_2},
    {REPLACE_FROM_3, REPLACE_INTO_3},
    {REPLACE_FROM_4, REPLACE_INTO_4},
    {REPLACE_FROM_5, REPLACE_INTO_5},
}};
/// A replaced note is moved up by octaves from far below until it lies within this many
/// semitones of the old pitch; the rounds are bounded.
constexpr int32_t kNearestSemitones = 7;
constexpr int32_t kStartOctaves = 10;
constexpr int32_t kMaxOctaveRounds = 30;

int32_t FloorMod(int32_t value, int32_t modulus) {
    const int32_t r = value % modulus;
    return r < 0 ? r + modulus : r;
}

/// The chromatic pitch of a note under the key (service 29), 0 when the host does not answer.
int32_t PitchOf(const uint8_t* note, int16_t key) {
    return NotePitchValue(note, key);
}

/// The note's letter (0 = C) and its absolute alteration under the key.
void AbsoluteSpelling(const uint8_t* note, int16_t key, int32_t& letter, int32_t& alteration) {
    letter = FloorMod(NotePitchStep(note, key, key, false, nullptr, &alteration), 7);
}

/// Shift of a glissando that ends on `note` of the entry: its end goes before the note's
/// accidental, attached as the start note and this note relate.
void ShiftGlissandoEnd(const TFMisc& context, const EntryEngineState& state, EntryView entry, NoteView note) {
    TSmartShapes& shapes = SharedSmartShapes();
    const int32_t place = shapes.FindByEnds(entry.number(), note.noteId());
    if (place <= 0 || shapes.At(place - 1) == nullptr) {
        return;
    }
    TSmartShape& shape = *shapes.At(place - 1);
    if (shape.Record.kind() != kGlissandoKind) {
        return;
    }
    hostapi::EntryRecord start;
    if (!EntryReplace(state.region.viewKey(), state.slot, state.measure, shape.Record.start(), start.data(), nullptr,
                      nullptr, false, nullptr, state.staff, state.key, nullptr, kReplaceByNumber)) {
        return;  // the glissando starts in another cell
    }
    const int16_t startId = hostapi::ReadI16(shape.Record.data(), kStartNoteOffset);
    bool same = false;
    bool lower = false;
    for (int32_t k = 0; k < start.view().notesHeld(); ++k) {
        const hostapi::ConstNoteView from = start.view().note(k);
        if (from.noteId() == startId) {
            same = from.harmonicLevel() == note.harmonicLevel();
            lower = note.alteration() < from.alteration();
            break;
        }
    }
    SmartShapeRecord record = shape.Record;
    hostapi::WriteI16(record.data(), kEndHorizontalOffset,
                      static_cast<int16_t>(-RowValue(context.Options, SHIFT_GLISSANDI)));
    hostapi::WriteI16(record.data(), kEndAttachment,
                      !same ? kAttachOtherNote : (lower ? kAttachSameNoteDown : kAttachSameNoteUp));
    shape.SetRecord(record);
    SaveSmartShapeRecord(shape.Number, record);
}

/// Sets the entry's offset to `by`, or moves it by `by` with "Shift relative to current positions".
void ShiftBy(const TFMisc& context, EntryView entry, int32_t by) {
    const int32_t base = RowOn(context.Options, SHIFT_RELATIVE) ? HorizontalOffset(entry) : 0;
    SetHorizontalOffset(entry, static_cast<int16_t>(base + by));
}

/// Writes the notehead record of a note: the head size and character the options give; the
/// other fields as they are (0 in a new record).
void WriteNotehead(const TFMisc& context, EntryView entry, NoteView note) {
    Record10 head;
    int32_t inci = 0;
    const bool found = FindRecordByValue(entry.number(), note.noteId(), head, inci, kTagNotehead2001);
    if (!found) {
        head = Record10{};
        hostapi::WriteI16(head.data(), hostapi::NoteheadLayout::kNoteId, note.noteId());
    }
    if (RowOn(context.Options, SPECIAL_HEAD_SIZE)) {
        head.setWord(kHeadSizeWord, static_cast<int16_t>(RowValue(context.Options, SPECIAL_HEAD_SIZE)));
    }
    if (RowOn(context.Options, SPECIAL_NOTEHEAD)) {
        head.setWord(kHeadCharacterWord, static_cast<int16_t>(RowValue(context.Options, SPECIAL_NOTEHEAD)));
    }
    if (found) {
        SaveRecordByValue(entry.number(), head, inci, kTagNotehead2001);
    } else {
        CreateRecordByValue(entry.number(), head, kTagNotehead2001);
    }
    entry.setFlag(hostapi::kEntryNoteDetails, true);
}

/// The entry becomes a rest without notes.
void MakeRest(EntryView entry) {
    entry.setNoteCount(0);
    entry.setFlag(hostapi::kEntryNote, false);
}

/// Removes note k; the later notes (and their marks) move down.
void RemoveNote(EntryView entry, std::array<bool, hostapi::EntryLayout::kMaxNotes>& marks, int32_t k) {
    const int32_t count = entry.notesHeld();
    for (int32_t n = k; n + 1 < count; ++n) {
        std::copy_n(entry.note(n + 1).data(), hostapi::NoteLayout::kSize, entry.note(n).data());
        marks[static_cast<size_t>(n)] = marks[static_cast<size_t>(n + 1)];
    }
    marks[static_cast<size_t>(count - 1)] = false;
    entry.setNoteCount(static_cast<int16_t>(count - 1));
}

}  // namespace

int32_t NoteStepOfName(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    return FloorMod(std::toupper(static_cast<unsigned char>(text[0])) - 60, 7);
}

int32_t AlterationOfName(std::string_view text) {
    int32_t alteration = 0;
    for (size_t i = 1; i < text.size(); ++i) {
        alteration += text[i] == '#' ? 1 : text[i] == 'b' ? -1 : 0;
    }
    return alteration;
}

bool IsReplaceNoteName(std::string_view text) {
    if (text.empty() || std::string_view("ABCDEFG").find(static_cast<char>(
                            std::toupper(static_cast<unsigned char>(text.front())))) == std::string_view::npos) {
        return false;
    }
    return text.find_first_not_of("#b", 1) == std::string_view::npos;
}

bool CheckReplacePairs(const TFMisc& context) {
    for (const auto& [fromRow, intoRow] : kReplacePairs) {
        const std::string& from = RowText(context.Options, fromRow);
        const std::string& into = RowText(context.Options, intoRow);
        if (from.empty() || into.empty()) {
            continue;
        }
        for (const std::string* text : {&from, &into}) {
            if (IsReplaceNoteName(*text)) {
                continue;
            }
            ShowMessage(FreeText::NotReplaceNoteName, {*text});
            return false;
        }
    }
    return true;
}

bool CheckReplacePitchesRow(int32_t item, int32_t row, std::string_view text, std::optional<FreeText>& refusal) {
    if (item != ItemNumber(ToolItem::ReplacePitches) || row < 0 ||
        static_cast<size_t>(row) >= 2 * kReplacePairs.size()) {
        return false;
    }
    if (!text.empty() && !IsReplaceNoteName(text)) {
        refusal = FreeText::NotReplaceNoteName;
    }
    return true;
}

bool ShiftEntryOffsets(TFMisc& context, EntryEngineState& state, EntryView entry, bool previousIsGrace,
                       bool nextIsGrace) {
    bool changed = false;
    if (RowOn(context.Options, SHIFT_GLISSANDI) && entry.isNote() && HasMoreFlag(entry, kEntryMoreSmartShapes)) {
        for (int32_t k = 0; k < entry.notesHeld(); ++k) {
            if ((entry.note(k).flags() & hostapi::kNoteAccidentalShown) != 0) {
                ShiftGlissandoEnd(context, state, entry, entry.note(k));
            }
        }
    }
    if (entry.duration() >= 4096 && RowOn(context.Options, SHIFT_WHOLE_NOTES)) {
        ShiftBy(context, entry, RowValue(context.Options, SHIFT_WHOLE_NOTES));
        changed = true;
    }
    if (entry.has(hostapi::kEntryGrace) && !previousIsGrace && !nextIsGrace) {
        const auto row = HasMoreFlag(entry, kEntryMoreSlashedGrace) ? SHIFT_SLASHED_GRACE : SHIFT_UNSLASHED_GRACE;
        if (RowOn(context.Options, row)) {
            ShiftBy(context, entry, RowValue(context.Options, row));
            changed = true;
        }
    }
    return changed;
}

bool ApplySpecialModifications(TFMisc& context, EntryView entry, int16_t key, hostapi::EntryArray& array,
                               int32_t index) {
    // 1. Which notes match, and whether the whole entry does.
    std::array<bool, hostapi::EntryLayout::kMaxNotes> marks{};
    bool whole = false;
    const std::string& alterations = RowText(context.Options, SPECIAL_ALTERATIONS);
    if (!entry.isNote()) {
        whole = RowOn(context.Options, SPECIAL_ALL_RESTS);
    } else {
        const int32_t count = entry.notesHeld();
        for (int32_t k = 0; k < count; ++k) {
            const uint8_t* note = entry.note(k).data();
            int32_t letter = 0;
            int32_t alteration = 0;
            AbsoluteSpelling(note, key, letter, alteration);
            marks[static_cast<size_t>(k)] =
                (RowOn(context.Options, SPECIAL_PITCH) &&
                 RowValue(context.Options, SPECIAL_PITCH) == PitchOf(note, key)) ||
                count - k == RowValue(context.Options, SPECIAL_NTH_FROM_TOP) ||
                (!alterations.empty() && alterations.find(std::to_string(std::abs(alteration))) != std::string::npos);
        }
        whole = (RowOn(context.Options, SPECIAL_ALL_SINGLE_NOTES) && count == 1) ||
                (RowOn(context.Options, SPECIAL_ALL_CHORDS) && count > 1);
    }
    const bool everyNote = std::all_of(marks.begin(), marks.begin() + entry.notesHeld(), [](bool m) { return m; });
    whole = whole || everyNote;

    // 2. The entry's own actions.
    bool notesChanged = false;
    if (whole) {
        if (RowOn(context.Options, SPECIAL_HIDE)) {
            entry.setFlag(hostapi::kEntryHidden, true);
        } else if (RowOn(context.Options, SPECIAL_SHOW)) {
            entry.setFlag(hostapi::kEntryHidden, false);
        }
        if (RowOn(context.Options, SPECIAL_NOTE_SIZE)) {
            Record10 size;
            LoadWholeEntryDetailRecord(kTagEntrySize, entry.number(), 0, size.data(), Record10::kSize);
            size.setWord(kEntrySizeWord, static_cast<int16_t>(RowValue(context.Options, SPECIAL_NOTE_SIZE)));
            SaveEntryDetailRecord(kTagEntrySize, entry.number(), 0, size.data(), Record10::kSize);
        }
        if (RowOn(context.Options, SPECIAL_ERASE) && entry.isNote()) {
            entry.setFlag(hostapi::kEntryNote, false);
            entry.setNoteCount(0);
            notesChanged = true;
        }
    }

    // 3. The notes' actions.
    const bool erase = RowOn(context.Options, SPECIAL_ERASE);
    const bool keepOnly = RowOn(context.Options, SPECIAL_KEEP_ONLY);
    const bool noteheads = RowOn(context.Options, SPECIAL_HEAD_SIZE) || RowOn(context.Options, SPECIAL_NOTEHEAD);
    if (noteheads || erase || keepOnly) {
        for (int32_t k = 0; k < entry.notesHeld(); ++k) {
            if (!marks[static_cast<size_t>(k)] && !whole) {
                continue;
            }
            if (!erase) {
                if (keepOnly && !whole && entry.notesHeld() > 1) {
                    std::copy_n(entry.note(k).data(), hostapi::NoteLayout::kSize, entry.note(0).data());
                    marks[0] = marks[static_cast<size_t>(k)];
                    entry.setNoteCount(1);
                    k = 0;
                    notesChanged = true;
                }
                // Only a head size or character to set makes a notehead record: "Keep only" alone
                // leaves the noteheads as they are.
                if (noteheads) {
                    WriteNotehead(context, entry, entry.note(k));
                }
            } else if (entry.notesHeld() < 2) {
                entry.setNoteCount(0);
                entry.setFlag(hostapi::kEntryNote, !entry.isNote());
                notesChanged = true;
            } else {
                RemoveNote(entry, marks, k);
                --k;
                notesChanged = true;
            }
        }
    }

    // 4. "Keep only": an entry without a kept note becomes a rest.
    if (keepOnly && !whole && entry.isNote() && !marks[0]) {
        MakeRest(entry);
    }

    // 5. The host is told which entries' notes changed: this one and every later one.
    if (notesChanged) {
        for (int32_t i = std::max(index, 0); i < array.count; ++i) {
            SetMoreFlag(array.entry(i), kEntryMoreNotesChanged);
        }
    }
    return true;
}

bool ReplacePitches(TFMisc& context, EntryView entry, int16_t key) {
    if (!entry.isNote()) {
        return true;
    }
    for (int32_t k = 0; k < entry.notesHeld(); ++k) {
        const NoteView note = entry.note(k);
        for (const auto& [fromRow, intoRow] : kReplacePairs) {
            const std::string& from = RowText(context.Options, fromRow);
            const std::string& into = RowText(context.Options, intoRow);
            if (from.empty() || into.empty()) {
                continue;
            }
            // The note is compared and respelled by its letter and alteration as they read under
            // the key, not by its steps from the key's tonic.
            int32_t letter = 0;
            int32_t alteration = 0;
            AbsoluteSpelling(note.data(), key, letter, alteration);
            if (AlterationOfName(from) != alteration || NoteStepOfName(from) != letter) {
                continue;
            }
            const int32_t pitch = PitchOf(note.data(), key);
            const int32_t tonic = KeyTonicStep(key);
            note.setHarmonicLevel(static_cast<int16_t>(NoteStepOfName(into) - tonic - 7 * kStartOctaves));
            note.setAlteration(0);
            int32_t keyAlteration = 0;
            AbsoluteSpelling(note.data(), key, letter, keyAlteration);
            note.setAlteration(static_cast<int16_t>(AlterationOfName(into) - keyAlteration));
            SetMoreFlag(entry, kEntryMoreNotesChanged);
            for (int32_t round = 0;
                 round < kMaxOctaveRounds && std::abs(PitchOf(note.data(), key) - pitch) >= kNearestSemitones;
                 ++round) {
                note.setHarmonicLevel(static_cast<int16_t>(note.harmonicLevel() + 7));
            }
        }
    }
    return true;
}

}  // namespace orvex
