#include "tools/notes/accidentals.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "core/host/finxess_entries.h"
#include "core/host/host_imports.h"
#include "core/host/staff_systems.h"
#include "core/module.h"
#include "core/tool_context.h"
#include "tools/notes/engine/entry_walk.h"
#include "tools/notes/entry_fields.h"
#include "tools/notes/respell_enharmonic.h"

namespace orvex {
namespace {

using hostapi::ConstEntryView;
using hostapi::ConstNoteView;
using hostapi::EntryView;
using hostapi::NoteRecord;
using hostapi::NoteView;

/// The entry bit that makes the host recompute the entry's accidentals.
constexpr uint16_t kRecomputeAccidentals = kEntryMoreNotesChanged;

int32_t FloorMod(int32_t a, int32_t b) {
    return ((a % b) + b) % b;
}

bool Shows(ConstNoteView note) {
    return (note.flags() & hostapi::kNoteAccidentalShown) != 0;
}

void SetNoteFlag(NoteView note, uint32_t flag, bool on) {
    note.setFlags(on ? note.flags() | flag : note.flags() & ~flag);
}

bool SameSpelling(ConstNoteView a, ConstNoteView b) {
    return a.harmonicLevel() == b.harmonicLevel() && a.alteration() == b.alteration();
}

bool HasNotes(ConstEntryView entry) {
    return entry.isNote() && entry.notesHeld() > 0;
}

// ---- Accidentals ----

/// Whether note `index` of the entry repeats a note of the comparison entry: with the whole
/// chord, the two chords must match note for note; else the first note of the comparison on
/// the same line decides by its alteration.
bool IsRepetition(ConstEntryView entry, int32_t index, ConstEntryView comparison, bool wholeChord) {
    if (!HasNotes(comparison)) {
        return false;
    }
    if (wholeChord) {
        if (comparison.notesHeld() != entry.notesHeld()) {
            return false;
        }
        for (int32_t k = 0; k < entry.notesHeld(); ++k) {
            if (!SameSpelling(entry.note(k), comparison.note(k))) {
                return false;
            }
        }
        return true;
    }
    const ConstNoteView note = entry.note(index);
    for (int32_t k = 0; k < comparison.notesHeld(); ++k) {
        if (comparison.note(k).harmonicLevel() == note.harmonicLevel()) {
            return comparison.note(k).alteration() == note.alteration();
        }
    }
    return false;
}

/// Whether a note of the entry before it on the staff is spelled the same and tied to it.
bool TiedFromEntry(ConstNoteView note, ConstEntryView previous) {
    if (!HasNotes(previous)) {
        return false;
    }
    for (int32_t k = 0; k < previous.notesHeld(); ++k) {
        if (SameSpelling(previous.note(k), note) && (previous.note(k).flags() & hostapi::kNoteTieStart) != 0) {
            return true;
        }
    }
    return false;
}

bool IsSystemStart(const TStaffSystems* systems, int32_t measure) {
    if (systems == nullptr) {
        return false;
    }
    const int32_t system = SystemIndexOfMeasure(*systems, measure);
    return system > 0 && systems->At(system - 1).firstMeasure() == measure;
}

// ---- Respelling ----

int32_t HostPitch(ConstNoteView note, int16_t key) {
    return NotePitchValue(note.data(), key);
}

bool IsBlackKey(int32_t pitch) {
    static constexpr bool kBlack[12] = {false, true, false, true, false, false, true, false, true, false, true, false};
    return kBlack[FloorMod(pitch, 12)];
}

/// A note spelled from C (its displacement counted from middle C, its alteration absolute) and
/// its pitch.
struct Absolute {
    NoteRecord note;
    int32_t pitch = 0;

    int16_t step() const { return note.view().harmonicLevel(); }
    int16_t alteration() const { return note.view().alteration(); }
};

/// The absolute spelling of a stored note under its cell's keys.
Absolute AbsoluteOf(ConstNoteView stored, int16_t keyA, int16_t keyB, const StaffRecord& staff,
                    const RunEnvironment& environment) {
    Absolute absolute;
    std::copy_n(stored.data(), hostapi::NoteLayout::kSize, absolute.note.data());
    int32_t alteration = 0;
    const int32_t step =
        NotePitchStep(stored.data(), keyA, keyB, environment.DocumentOptionFlag() != 0, staff.data(), &alteration);
    absolute.note.view().setHarmonicLevel(static_cast<int16_t>(step));
    absolute.note.view().setAlteration(static_cast<int16_t>(alteration));
    absolute.pitch = HostPitch(absolute.note.view(), 0);
    return absolute;
}

/// The other spelling of an absolute note.
Absolute Respelled(const Absolute& absolute) {
    Absolute result;
    RespellEnharmonic(result.note.view(), absolute.note, 0);
    result.pitch = HostPitch(result.note.view(), 0);
    return result;
}

/// Moves a stored note by `steps` letters and alters it so that it keeps its pitch: the stored
/// note follows its absolute spelling's move, whatever the key of its measure.
void MoveLetter(NoteView stored, int16_t key, int32_t steps) {
    if (steps == 0) {
        return;
    }
    const int32_t before = HostPitch(stored, key);
    stored.setHarmonicLevel(static_cast<int16_t>(stored.harmonicLevel() + steps));
    const int32_t after = HostPitch(stored, key);
    stored.setAlteration(static_cast<int16_t>(stored.alteration() + before - after));
}

/// The respelling of one note of the cell, with the note's absolute spelling kept current.
class NoteRespeller {
public:
    NoteRespeller(EntryWalkState& walk, int32_t entry, int32_t note)
        : m_walk(walk), m_entry(entry), m_index(note), m_note(walk.array->entry(entry).note(note)) {
        Refresh();
    }

    void Run();

private:
    Absolute Of(const FoundNote& found) const {
        return AbsoluteOf(found.note, found.keyA, found.keyB, m_walk.staffRecord, m_walk.environment);
    }
    void Refresh() {
        m_absolute = AbsoluteOf(m_note, m_walk.keyA, m_walk.keyB, m_walk.staffRecord, m_walk.environment);
    }
    /// The note takes the spelling `to` of its absolute copy.
    void Take(const Absolute& to) {
        MoveLetter(m_note, m_walk.keyA, to.step() - m_absolute.step());
        Refresh();
        m_walk.changed = true;
    }
    /// Takes the other spelling when it scores the interval to `other` better than the current
    /// one does, and the current one is not right already.
    bool TakeWhenBetter(const Absolute& other, bool noteFirst);
    bool LineRules(const FoundNote& prev1, const std::optional<FoundNote>& prev2, const std::optional<FoundNote>& next1,
                   const std::optional<FoundNote>& next2);
    void ChordCheck();

    EntryWalkState& m_walk;
    int32_t m_entry;
    int32_t m_index;
    NoteView m_note;
    Absolute m_absolute;
};

bool NoteRespeller::TakeWhenBetter(const Absolute& other, bool noteFirst) {
    const auto score = [&](const Absolute& mine) {
        return noteFirst ? IntervalSpellingScore(mine.note.view(), mine.pitch, other.note.view(), other.pitch)
                         : IntervalSpellingScore(other.note.view(), other.pitch, mine.note.view(), mine.pitch);
    };
    const int32_t current = score(m_absolute);
    if (current >= 1) {
        return false;
    }
    const Absolute respelled = Respelled(m_absolute);
    if (score(respelled) <= current) {
        return false;
    }
    Take(respelled);
    return true;
}

/// The rules of the melodic line (before the chord check); answers whether the note is decided.
bool NoteRespeller::LineRules(const FoundNote& prev1, const std::optional<FoundNote>& prev2,
                              const std::optional<FoundNote>& next1, const std::optional<FoundNote>& next2) {
    const int32_t pitch = m_absolute.pitch;
    const Absolute before = Of(prev1);
    if (prev2) {
        // The same pitch two notes back: the line keeps its spelling.
        const Absolute twoBefore = Of(*prev2);
        if (twoBefore.pitch == pitch) {
            if (twoBefore.step() != m_absolute.step()) {
                Take(twoBefore);
            }
            return true;
        }
    }
    if (!next1) {
        return false;
    }
    Absolute after = Of(*next1);
    const std::optional<Absolute> twoAfter = next2 ? std::optional<Absolute>(Of(*next2)) : std::nullopt;
    const int32_t d1 = SemitoneInterval(pitch, before.pitch);
    const int32_t d2 = SemitoneInterval(after.pitch, pitch);
    const int32_t d3 = SemitoneInterval(twoAfter ? twoAfter->pitch : 0, after.pitch);
    if (d1 == 1 && d2 == 1) {
        // A chromatic rise is spelled with sharps.
        if (m_absolute.alteration() < 0) {
            Take(Respelled(m_absolute));
        }
        return true;
    }
    if ((d1 == 4 || d1 == 9 || d1 == 6) && d2 == 11) {
        // A half step down after a leap: a sharp whose other spelling lies farther from the note
        // before is respelled.
        if (!twoAfter || !(d3 == 10 || d3 == 1 || d3 == 5 || d3 == 8)) {
            return false;
        }
        if (m_note.alteration() > 0) {
            const Absolute respelled = Respelled(m_absolute);
            if (StepInterval(respelled.step(), before.step()) > StepInterval(m_absolute.step(), before.step())) {
                Take(respelled);
            }
        }
        return true;
    }
    if (d1 != 6) {
        return false;
    }
    // After a tritone: the next note may first be respelled towards the one after it, then this
    // note towards the next one.
    bool decided = false;
    const bool afterIsBlack = IsBlackKey(after.pitch);
    const bool resolves = afterIsBlack && twoAfter && !IsBlackKey(twoAfter->pitch);
    if (resolves) {
        const int32_t current =
            IntervalSpellingScore(twoAfter->note.view(), twoAfter->pitch, after.note.view(), after.pitch);
        const Absolute respelled = Respelled(after);
        if (current < 1 && IntervalSpellingScore(twoAfter->note.view(), twoAfter->pitch, respelled.note.view(),
                                                 respelled.pitch) > current) {
            // The next note is written where the search found it: in this cell, or in the
            // cache's copy of a later measure.
            MoveLetter(next1->note, next1->keyA, respelled.step() - after.step());
            after = Of(*next1);
            m_walk.changed = true;
            decided = true;
        }
    }
    if (resolves || !afterIsBlack) {
        decided = TakeWhenBetter(after, false) || decided;
    }
    return decided;
}

/// The note against every other note of its chord.
void NoteRespeller::ChordCheck() {
    const EntryView entry = m_walk.array->entry(m_entry);
    for (int32_t j = 0; j < entry.notesHeld(); ++j) {
        if (j == m_index) {
            continue;
        }
        const NoteView other = entry.note(j);
        const Absolute otherAbsolute =
            AbsoluteOf(other, m_walk.keyA, m_walk.keyB, m_walk.staffRecord, m_walk.environment);
        const int32_t pitch = m_absolute.pitch;
        if ((otherAbsolute.pitch - pitch) % 12 == 0 && otherAbsolute.alteration() != m_absolute.alteration()) {
            // Octaves are spelled alike.
            Take(Respelled(m_absolute));
            continue;
        }
        if (IsBlackKey(otherAbsolute.pitch)) {
            continue;
        }
        if (other.harmonicLevel() == m_note.harmonicLevel() && other.alteration() != m_note.alteration()) {
            // Two notes on one line.
            Take(Respelled(m_absolute));
        } else if (std::abs(otherAbsolute.pitch - pitch) > 2 &&
                   std::abs(other.harmonicLevel() - m_note.harmonicLevel()) == 1) {
            // More than a whole step between neighbouring lines (an augmented second): respelled
            // when the other spelling moves the note off the neighbouring line.
            const Absolute respelled = Respelled(m_absolute);
            const int32_t level = m_note.harmonicLevel() + respelled.step() - m_absolute.step();
            if (std::abs(level - other.harmonicLevel()) > 1) {
                Take(respelled);
            }
        }
    }
}

void NoteRespeller::Run() {
    if (!IsBlackKey(m_absolute.pitch)) {
        // A white key needs no accidental where its other spelling has none.
        if (m_absolute.alteration() != 0) {
            const Absolute respelled = Respelled(m_absolute);
            if (respelled.alteration() == 0) {
                Take(respelled);
            }
        }
        return;
    }
    TNoteContext& caches = m_walk.NoteContext();
    const NoteSearchStart start{m_walk.array, m_entry, m_index, m_walk.measure, m_walk.keyA, m_walk.keyB};
    std::optional<FoundNote> prev1;
    std::optional<FoundNote> next1;
    const std::optional<FoundNote> prev2 = PreviousNote(caches.backward, start, true, prev1);
    const std::optional<FoundNote> next2 = NextNote(caches, start, m_walk.documentLastMeasure, next1);
    if (!prev1) {
        return;
    }
    if (!LineRules(*prev1, prev2, next1, next2)) {
        const Absolute before = Of(*prev1);
        TakeWhenBetter(before, true);
    }
    ChordCheck();
}

}  // namespace

int32_t SemitoneInterval(int32_t a, int32_t b) {
    return FloorMod(FloorMod(a, 12) - FloorMod(b, 12), 12);
}

int32_t StepInterval(int32_t a, int32_t b) {
    return FloorMod(FloorMod(a, 7) - FloorMod(b, 7), 7);
}

int32_t IntervalSpellingScore(ConstNoteView a, int32_t pitchA, ConstNoteView b, int32_t pitchB) {
    const int32_t steps = a.harmonicLevel() - b.harmonicLevel();
    const auto sign = [](int32_t v) { return (v > 0) - (v < 0); };
    if (steps != 0 && sign(steps) != sign(pitchA - pitchB)) {
        return -1;
    }
    int32_t s = StepInterval(a.harmonicLevel(), b.harmonicLevel());
    int32_t c = SemitoneInterval(pitchA, pitchB);
    if (s > 3) {
        s = 7 - s;
        c = 12 - c;
    }
    const bool fits = (s == 0 && c == 0) || (s == 1 && (c == 1 || c == 2)) || (s == 2 && (c == 3 || c == 4)) ||
                      (s == 3 && (c == 5 || c == 6));
    return fits ? 1 : 0;
}

void ApplyAccidentalSteps(const TFMisc& context, EntryWalkState& walk, EntryView entry) {
    const hostapi::EntryRecord before = [&] {
        hostapi::EntryRecord copy;
        std::copy_n(entry.data(), hostapi::EntryLayout::kSize, copy.data());
        return copy;
    }();
    for (int32_t i = 0; i < entry.notesHeld(); ++i) {
        const NoteView note = entry.note(i);
        if (RowOn(context.Options, ACCIDENTALS_UNFREEZE)) {
            SetNoteFlag(note, hostapi::kNoteAccidentalFrozen, false);
        }
        if (RowOn(context.Options, ACCIDENTALS_CHECK)) {
            SetNoteFlag(note, hostapi::kNoteAccidentalShown | kNoteAccidentalSecond, false);
            SetMoreFlag(entry, kRecomputeAccidentals);
        }
        if (RowOn(context.Options, ACCIDENTALS_PUT_ON_ALL)) {
            SetNoteFlag(note, hostapi::kNoteAccidentalShown | hostapi::kNoteAccidentalFrozen, true);
        }
        if (RowOn(context.Options, ACCIDENTALS_REMOVE_REPEATED) && Shows(note)) {
            // A natural repeats across the barline; an altered note only within its measure.
            const ConstEntryView comparison =
                note.alteration() == 0 ? walk.previousOfStaff.view() : walk.previousInMeasure.view();
            if (IsRepetition(entry, i, comparison, RowOn(context.Options, ACCIDENTALS_WHOLE_CHORD))) {
                SetNoteFlag(note, hostapi::kNoteAccidentalShown, false);
            }
        }
        if (RowOn(context.Options, ACCIDENTALS_REMOVE_TIED) && Shows(note)) {
            const bool tied = (note.flags() & hostapi::kNoteTieEnd) != 0;
            if (tied || TiedFromEntry(note, walk.previousOfStaff.view())) {
                SetNoteFlag(note, hostapi::kNoteTieEnd, true);
                SetNoteFlag(note, hostapi::kNoteAccidentalShown, false);
            }
        }
        if (RowOn(context.Options, ACCIDENTALS_SYSTEM_START) && entry.position() == 0 && !Shows(note) &&
            IsSystemStart(walk.systems, walk.measure)) {
            SetNoteFlag(note, hostapi::kNoteAccidentalShown, true);
        }
    }
    if (!std::equal(before.bytes.begin(), before.bytes.end(), entry.data())) {
        walk.changed = true;
    }
    for (int32_t i = 0; i < entry.notesHeld(); ++i) {
        if (!Shows(entry.note(i))) {
            SetNoteFlag(entry.note(i), hostapi::kNoteAccidentalFrozen, false);
        }
    }
}

void RespellNotesOfEntry(EntryWalkState& walk, int32_t index) {
    const int32_t notes = walk.array->entry(index).notesHeld();
    for (int32_t i = 0; i < notes; ++i) {
        NoteRespeller(walk, index, i).Run();
    }
    if (walk.changed) {
        SetMoreFlag(walk.array->entry(index), kRecomputeAccidentals);
    }
}

}  // namespace orvex
