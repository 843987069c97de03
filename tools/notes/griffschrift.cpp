// Two workers of the entry-processing engine that rewrite the notes of an entry in place:
// "Vx &Harmonica..." translates normal notation into Harmonika Griffschrift (new staff places
// from pitch tables, one kind of candidate shown with a double-sharp sign, the chord's notes kept
// close together, and the letter names under the entry exchanged), and "Vx &Laisser vibrer"
// gives every note a custom notehead chosen by duration, tie side, line or space and dots.
#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/free_texts.h"
#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/host_imports.h"
#include "core/host/smart_shapes.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/run_environment.h"
#include "core/startup.h"
#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/lyric_records.h"
#include "tools/notes/notes_services.h"

namespace orvex {
namespace {

using hostapi::EntryView;
using hostapi::NoteView;

/// The note accidental record 'E', 2, 'A', 'h' and the custom notehead record 'E', 2, 'c', 'n':
/// five words keyed by the entry, found by their first word (the note identifier).
using hostapi::kTagNoteAccidental;
constexpr hostapi::Tag kTagCustomNotehead = hostapi::kTagNotehead2001;
constexpr size_t kAccidentalOffsetWord = 3;
constexpr size_t kNoteheadWord = 4;
/// The accidental of a translated note stands this far left when the next note is near.
constexpr int16_t kAccidentalOffset = -29;
/// The smart shape that marks a stretch for the second set of tables, and how far into the
/// entry it must reach.
constexpr int16_t kGriffschriftShape = 11;
constexpr hostapi::Edu kShapeReach = 64;
constexpr uint32_t kNoteAccidentalShown = 0x01000000;
constexpr uint32_t kNoteTranslated = 0x00000002;
constexpr uint32_t kNoteTieStart = 0x40000000;
constexpr uint32_t kNoteFlipUp = 0x04000000;
constexpr uint32_t kNoteFlipDown = 0x08000000;
constexpr int32_t kMaxNotes = 12;
constexpr hostapi::Tag kTagVerseAssignment = hostapi::kTagVerseAssignment;
using hostapi::kTagVerseText;

/// The letter names written as verse lyrics and their replacements, by table set.
constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kNamesCovered = {
    {{"C", "A"}, {"F", "B"}, {"Bb", "C"}, {"c", "a"}, {"f", "b"}, {"bb", "c"}}};
constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kNamesPlain = {
    {{"G", "A"}, {"C", "B"}, {"F", "C"}, {"g", "a"}, {"c", "b"}, {"f", "c"}}};

struct Candidate {
    int32_t value;
    int16_t alteration;
};
using Candidates = std::vector<Candidate>;

bool In(int32_t s, std::initializer_list<int32_t> set) {
    return std::find(set.begin(), set.end(), s) != set.end();
}

/// The candidates of a note of absolute step p and alteration a; at most two.
Candidates CandidatesOf(int32_t p, int32_t a, bool covered) {
    const int32_t s = (p + 70) % 7;
    const int32_t o = p / 7;
    Candidates found;
    if (!covered) {
        if (a == 0 && In(s, {6, 1, 3, 5}) && !(s == 5 && o < 0)) {
            found.push_back({((p + 1) / 7) * 8 + ((p + 71) % 7) - 1, 0});
        }
        if (((a == 0 && In(s, {0, 2, 4})) || (a == -1 && s == 6)) && !(s == 0 && o >= 2)) {
            found.push_back({o * 8 + s - 2, 0});
        }
        if (((a == 0 && In(s, {0, 3, 5})) || (a == -1 && s == 2)) && !(s == 3 && o >= 2)) {
            found.push_back({((p - 3) / 7) * 8 + ((p + 74) % 7) - 1, 2});
        }
    } else {
        if (a == 0 && In(s, {0, 2, 4})) {
            found.push_back({(o - 1) * 6 + s + 7, 0});
        }
        if (a == 0 && In(s, {0, 3, 5})) {
            found.push_back({((p - 3) / 7) * 6 + ((p + 74) % 7) + 2, 0});
        }
        if ((a == 0 && In(s, {1, 3})) || (a == -1 && s == 6)) {
            found.push_back({((p - 6) / 7) * 6 + ((p + 71) % 7) + 3, 2});
        }
    }
    return found;
}

/// The combination of candidates (bit i: note i's second) that keeps the chord closest; 0 when
/// none is valid.
uint32_t BestCombination(const std::vector<Candidates>& notes) {
    const size_t n = notes.size();
    int32_t best = -100;
    uint32_t chosen = 0;
    for (uint32_t c = 0; c < (1u << n); ++c) {
        const auto pick = [&](size_t i) -> const Candidate* {
            const size_t which = (c >> i) & 1u;
            return which < notes[i].size() ? &notes[i][which] : nullptr;
        };
        bool valid = true;
        for (size_t i = 0; i < n && valid; ++i) {
            valid = pick(i) != nullptr;
        }
        if (!valid) {
            continue;
        }
        int32_t score = 100;
        for (size_t i = 0; i + 1 < n; ++i) {
            const int32_t distance = std::abs(pick(i)->value - pick(i + 1)->value);
            score -= distance == 1 ? 3 : distance;
            if (pick(i)->alteration != pick(i + 1)->alteration) {
                score -= 2;
            }
        }
        if (score > best) {
            best = score;
            chosen = c;
        }
    }
    return chosen;
}

/// Saves a five-word note record of the entry with word `word` set, found by the note
/// identifier; created when the note has none.
void WriteNoteRecord(hostapi::Tag tag, hostapi::EntryNumber entry, int16_t noteId, size_t word, int16_t value) {
    Record10 record;
    int32_t inci = 0;
    if (FindRecordByValue(entry, noteId, record, inci, tag)) {
        record.setWord(word, value);
        SaveRecordByValue(entry, record, inci, tag);
        return;
    }
    record = Record10{};
    hostapi::WriteI16(record.data(), hostapi::NoteheadLayout::kNoteId, noteId);
    record.setWord(word, value);
    CreateRecordByValue(entry, record, tag);
}

/// The letter names of the entry's verse syllables exchanged by the table: only the first
/// character of a name that matches changes.
void ExchangeLyricNames(EntryView entry, bool covered) {
    const auto& names = covered ? kNamesCovered : kNamesPlain;
    Record10 assignment;
    for (int32_t inci = 0;
         inci <= INT16_MAX && HostOffers(&HostImports::SyllablePlace) &&
         LoadWholeEntryDetailRecord(kTagVerseAssignment, entry.number(), inci, assignment.data(), Record10::kSize);
         ++inci) {
        int32_t textNumber = hostapi::ReadI16(assignment.data(), hostapi::LyricAssignmentLayout::kTextNumber);
        const int16_t syllable = hostapi::ReadI16(assignment.data(), hostapi::LyricAssignmentLayout::kSyllable);
        // The whole text, so that the one changed letter is written back with all the rest.
        std::string text;
        if (!LoadTextRecord(kTagVerseText, textNumber, 0, text)) {
            return;
        }
        if (syllable < 1) {
            continue;
        }
        hostapi::SyllableInfo info = hostapi::DefaultLyricFont();
        const int32_t at = SyllablePlaceOf(text.c_str(), static_cast<int16_t>(syllable - 1), kTagVerseText, &info);
        const size_t length = text.size();
        if ((syllable > 1 && at <= 0) || at < 0 || static_cast<size_t>(at) >= length || info.syllableLength() <= 0) {
            continue;
        }
        const std::string_view word(
            text.data() + at, std::min(static_cast<size_t>(info.syllableLength()), length - static_cast<size_t>(at)));
        for (const auto& [written, replacement] : names) {
            if (word == written) {
                text[static_cast<size_t>(at)] = replacement[0];
                SaveOrCreateStringRecord(textNumber, text, kTagVerseText);
                break;
            }
        }
    }
}

/// Writes the note under key 0 with the pitch it has under `key`: its level becomes its absolute
/// step and its alteration the one it sounds with. Answers whether it changed.
bool SpellUnderKeyZero(NoteView note, int16_t key) {
    int32_t alteration = 0;
    const int32_t step = NotePitchStep(note.data(), key, key, false, nullptr, &alteration);
    if (step == note.harmonicLevel() && alteration == note.alteration()) {
        return false;
    }
    note.setHarmonicLevel(static_cast<int16_t>(step));
    note.setAlteration(static_cast<int16_t>(alteration));
    return true;
}

/// SpellUnderKeyZero for every note of the cells of a measure on one staff; saves each cell that
/// changed.
void SpellStaffUnderKeyZero(hostapi::StaffSlot slot, hostapi::MeasureNumber measure, int16_t key) {
    for (hostapi::LayerIndex layer = 0; layer < 4; ++layer) {
        const ScopedEntryArray cell(0, slot, measure, layer, 0);
        bool changed = false;
        for (int32_t i = 0; cell && i < cell->count; ++i) {
            const EntryView entry = cell->entry(i);
            bool respelled = false;
            for (int32_t n = 0; entry.isNote() && n < entry.notesHeld(); ++n) {
                respelled = SpellUnderKeyZero(entry.note(n), key) || respelled;
            }
            if (respelled) {
                entry.setMoreFlags(entry.moreFlags() | hostapi::kEntryMoreNotesChanged);
                changed = true;
            }
        }
        if (changed) {
            SaveEntryArray(cell.Get());
        }
    }
}

}  // namespace

void DropKeysKeepingPitches(const hostapi::SelectionRecord& region) {
    for (int32_t measure = region.firstMeasure(); measure <= region.lastMeasure(); ++measure) {
        EDTMeasureSpec record;
        if (!LoadMeasureSpec(measure, record)) {
            continue;
        }
        const auto at = static_cast<hostapi::MeasureNumber>(measure);
        for (int32_t slot = 1; slot <= INT16_MAX; ++slot) {
            const hostapi::InstrumentKey staff = StaffOfSlot(slot, 0);
            if (staff == 0) {
                break;
            }
            const int16_t key = CellKeyValue(measure, staff, 0);
            if (key != 0) {
                SpellStaffUnderKeyZero(static_cast<hostapi::StaffSlot>(slot), at, key);
            }
        }
        record.setWord(EDTMeasureSpec::kKey / 2, 0);
        SaveMeasureSpec(measure, record);
    }
}

bool TranslateNote(hostapi::MeasureNumber measure, hostapi::InstrumentKey staff, EntryView entry, int16_t key) {
    const bool covered =
        SharedSmartShapes().FindInRange(measure, staff, entry.position() + kShapeReach, kGriffschriftShape);
    if (entry.has(hostapi::kEntryLyrics)) {
        ExchangeLyricNames(entry, covered);
    }
    const int32_t count = entry.notesHeld();
    if (count > kMaxNotes) {
        return false;  // more notes than the tables have room for: the entry is left alone
    }
    std::vector<Candidates> candidates;
    for (int32_t i = 0; i < count; ++i) {
        int32_t alteration = 0;
        const int32_t step = NotePitchStep(entry.note(i).data(), key, key, false, nullptr, &alteration);
        candidates.push_back(CandidatesOf(step, alteration, covered));
        if (candidates.back().empty()) {
            ShowMessage(FreeText::CouldNotTranslateNoteIn, {std::to_string(measure)});
        }
    }
    const uint32_t chosen = BestCombination(candidates);
    for (int32_t i = 0; i < count; ++i) {
        const auto& mine = candidates[static_cast<size_t>(i)];
        if (mine.empty()) {
            continue;
        }
        const Candidate& pick = mine[std::min<size_t>((chosen >> i) & 1u, mine.size() - 1)];
        const NoteView note = entry.note(i);
        note.setHarmonicLevel(static_cast<int16_t>(pick.value));
        note.setAlteration(pick.alteration);
        uint32_t flags = note.flags() | kNoteTranslated;
        flags = pick.alteration != 0 ? flags | kNoteAccidentalShown : flags & ~kNoteAccidentalShown;
        note.setFlags(flags);
        if (pick.alteration != 0 && i + 1 < count) {
            const int32_t distance = std::abs(entry.note(i + 1).harmonicLevel() - pick.value);
            if (distance >= 2 && distance <= 6) {
                WriteNoteRecord(kTagNoteAccidental, entry.number(), note.noteId(), kAccidentalOffsetWord,
                                kAccidentalOffset);
            }
        }
    }
    entry.setFlags(entry.flags() | hostapi::kEntryNoteDetails);
    return true;
}

bool SetLaisserVibrerNoteheads(const RunEnvironment& environment, hostapi::MeasureNumber measure,
                               hostapi::InstrumentKey staff, EntryView entry, int16_t key, int16_t secondKey,
                               hostapi::ViewKey regionWord, hostapi::StaffSlot slot) {
    const int32_t duration = entry.duration();
    const int32_t base = duration < 2048 ? 131 : duration < 4096 ? 142 : 151;
    const bool dotted = DotCount(duration) != 0;
    hostapi::EntryRecord found;
    bool otherLayers = false;
    bool stemUp = false;
    EntryReplace(regionWord, slot, measure, entry.number(), found.data(), nullptr, &otherLayers, false, &stemUp, staff,
                 key, nullptr, kReplaceByNumber);
    const int32_t count = entry.notesHeld();
    for (int32_t i = 0; i < count; ++i) {
        const NoteView note = entry.note(i);
        if ((note.flags() & kNoteTieStart) != 0) {
            continue;
        }
        // The first note takes its own place; every later one that of the entry's top note.
        const int32_t height = EntryVerticalPosition(staff, measure, entry.data(), key,
                                                     environment.DocumentOptionFlag() != 0, secondKey, i != 0);
        bool inSpace = height % 24 != 0;
        bool side = otherLayers ? !stemUp : count == 1 ? stemUp : i < count / 2;
        bool shifted = (note.flags() & kNoteFlipUp) != 0;
        if ((note.flags() & kNoteFlipUp) != 0) {
            side = true;
        }
        if ((note.flags() & kNoteFlipDown) != 0) {
            side = false;
        }
        // A neighbour on the same staff place with another alteration (the next note first).
        std::optional<NoteView> neighbour;
        if (i + 1 < count && entry.note(i + 1).harmonicLevel() == note.harmonicLevel() &&
            entry.note(i + 1).alteration() != note.alteration()) {
            neighbour = entry.note(i + 1);
        } else if (i > 0 && entry.note(i - 1).harmonicLevel() == note.harmonicLevel() &&
                   entry.note(i - 1).alteration() != note.alteration()) {
            neighbour = entry.note(i - 1);
        }
        if (neighbour) {
            shifted = side = note.alteration() < neighbour->alteration();
            if (side) {
                inSpace = false;
            }
        }
        if (dotted) {
            shifted = true;
        }
        const int32_t character = base + (side ? 1 : 0) + 2 * (inSpace ? 1 : 0) + 4 * (shifted ? 1 : 0);
        WriteNoteRecord(kTagCustomNotehead, entry.number(), note.noteId(), kNoteheadWord,
                        static_cast<int16_t>(character));
    }
    entry.setFlags(entry.flags() | hostapi::kEntryNoteDetails);
    return true;
}

}  // namespace orvex
