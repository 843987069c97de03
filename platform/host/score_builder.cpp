#include "platform/host/score_builder.h"

#include <algorithm>
#include <climits>
#include <numeric>
#include <stdexcept>

#include "platform/host/record_layouts.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/music_records.h"
#include "platform/win/system.h"

namespace host {

ScoreBuilder::ScoreBuilder(std::string name) : m_document(std::make_unique<Document>(std::move(name))) {}

ScoreBuilder& ScoreBuilder::Font(int16_t number, std::string_view name) {
    Current().Fonts()[number] = win::Utf8ToAnsi(name);
    return *this;
}

ScoreBuilder& ScoreBuilder::Staff(std::string_view fullName, std::string_view abbreviatedName, int16_t clef) {
    if (clef < 0 || static_cast<size_t>(clef) >= kClefs.size()) {
        throw std::invalid_argument("the host knows clefs 0 to " + std::to_string(kClefs.size() - 1) + ", not " +
                                    std::to_string(clef));
    }
    Bytes staff(StaffLayout::kSize, 0);
    hostapi::WriteI16(staff.data(), hostapi::StaffSpecLayout::kClef, clef);
    if (clef != 0) {
        AddClefDefinitions(Current());
    }
    hostapi::WriteI16(staff.data(), StaffLayout::kFullName, fullName.empty() ? 0 : MakeTextBlock(fullName));
    hostapi::WriteI16(staff.data(), StaffLayout::kAbbreviatedName,
                      abbreviatedName.empty() ? 0 : MakeTextBlock(abbreviatedName));
    m_lastStaff = static_cast<hostapi::InstrumentKey>(Create(RecordKey::Other(kTagStaff, -1, 0), staff).first);
    return *this;
}

ScoreBuilder& ScoreBuilder::Measures(int32_t count, const MeasureSettings& settings) {
    if (count < 1 || count > INT16_MAX - m_lastMeasure) {
        throw std::invalid_argument("a document holds measures 1 to 32767; " + std::to_string(count) +
                                    " more do not fit after measure " + std::to_string(m_lastMeasure));
    }
    Bytes measure(MeasureLayout::kSize, 0);
    hostapi::WriteI16(measure.data(), MeasureLayout::kWidth, settings.width);
    hostapi::WriteI16(measure.data(), MeasureLayout::kKey, settings.key);
    hostapi::WriteI16(measure.data(), MeasureLayout::kBeats, settings.beats);
    hostapi::WriteI16(measure.data(), MeasureLayout::kBeatDuration, settings.beatDuration);
    for (int32_t i = 0; i < count; ++i) {
        ++m_lastMeasure;
        Current().Records().Save(RecordKey::Other(kTagMeasure, m_lastMeasure, 0), measure);
    }
    return *this;
}

ScoreBuilder& ScoreBuilder::TextBlock(std::string_view text) {
    MakeTextBlock(text);
    return *this;
}

ScoreBuilder& ScoreBuilder::Clef(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure,
                                 const std::vector<ClefChange>& changes) {
    Document& document = Current();
    RequireCell(staff, measure);
    if (changes.empty() || changes.front().position != 0) {
        throw std::invalid_argument("the first clef of a measure is at position 0");
    }
    for (size_t i = 0; i < changes.size(); ++i) {
        if (changes[i].clef < 0 || static_cast<size_t>(changes[i].clef) >= kClefs.size()) {
            throw std::invalid_argument("the host knows clefs 0 to " + std::to_string(kClefs.size() - 1) + ", not " +
                                        std::to_string(changes[i].clef));
        }
        if (i > 0 && (changes[i].position <= changes[i - 1].position || changes[i].position > INT16_MAX)) {
            throw std::invalid_argument("clef changes go forward within the measure (0 to 32767)");
        }
    }
    AddClefDefinitions(document);
    int16_t word = changes.front().clef;
    uint16_t flags = 0;
    if (changes.size() > 1) {
        RecordKey list = RecordKey::Other(hostapi::kTagClefChange, -1, 0);
        for (const ClefChange& change : changes) {
            Bytes bytes(hostapi::ClefChangeLayout::kSize, 0);
            hostapi::WriteI16(bytes.data(), hostapi::ClefChangeLayout::kClef, change.clef);
            hostapi::WriteI16(bytes.data(), hostapi::ClefChangeLayout::kPosition,
                              static_cast<int16_t>(change.position));
            list = Create(list, std::move(bytes));
            list.second = -1;
        }
        word = static_cast<int16_t>(list.first);
        flags = hostapi::CellClefLayout::kHasChanges;
    }
    Bytes clef(hostapi::CellClefLayout::kSize, 0);
    hostapi::WriteI16(clef.data(), hostapi::CellClefLayout::kClef, word);
    hostapi::WriteU16(clef.data(), hostapi::CellClefLayout::kFlags, flags);
    document.Records().Save(RecordKey::Detail(hostapi::kTagCellClef, staff, measure, 0), std::move(clef));
    Bytes clef1997(hostapi::CellClef1997Layout::kSize, 0);
    hostapi::WriteU16(clef1997.data(), hostapi::CellClef1997Layout::kFlags, flags);
    hostapi::WriteI16(clef1997.data(), hostapi::CellClef1997Layout::kClef, word);
    document.Records().Save(RecordKey::Detail(hostapi::kTagCellClef1997, staff, measure, 0), std::move(clef1997));
    return *this;
}

namespace {

/// An exact time in EDU: a fraction, kept in lowest terms.
struct ExactTime {
    int64_t numerator = 0;
    int64_t denominator = 1;

    static ExactTime Of(int64_t n, int64_t d) {
        const int64_t g = std::gcd(n, d);
        return g == 0 ? ExactTime{} : ExactTime{n / g, d / g};
    }
    ExactTime operator+(const ExactTime& other) const {
        return Of(numerator * other.denominator + other.numerator * denominator, denominator * other.denominator);
    }
    ExactTime Times(int64_t n, int64_t d) const { return Of(numerator * n, denominator * d); }
    /// Truncated to whole EDU (times are never negative).
    hostapi::Edu Whole() const { return static_cast<hostapi::Edu>(numerator / denominator); }
};

/// What a tuplet's entries hold as written: notated durations, a tuplet inside counting with
/// its reference time, grace notes nothing.
hostapi::Edu WrittenLength(const std::vector<WrittenEntry>& entries, const std::vector<WrittenTuplet>& tuplets,
                           size_t outer, size_t& inner) {
    const WrittenTuplet& tuplet = tuplets[outer];
    hostapi::Edu length = 0;
    size_t i = tuplet.first;
    while (i < tuplet.first + tuplet.count) {
        if (inner < tuplets.size() && tuplets[inner].first == i &&
            tuplets[inner].first + tuplets[inner].count <= tuplet.first + tuplet.count) {
            const size_t nested = inner++;
            WrittenLength(entries, tuplets, nested, inner);
            length += static_cast<hostapi::Edu>(tuplets[nested].reference) * tuplets[nested].referenceUnit;
            i = tuplets[nested].first + tuplets[nested].count;
            continue;
        }
        length += entries[i].grace ? 0 : entries[i].duration;
        ++i;
    }
    return length;
}

/// The tuplets, outer before inner: each must lie inside the one it starts in and hold, as
/// written, its notes x unit.
std::vector<WrittenTuplet> OrderedTuplets(const std::vector<WrittenEntry>& entries,
                                          const std::vector<WrittenTuplet>& tuplets) {
    std::vector<WrittenTuplet> ordered = tuplets;
    std::stable_sort(ordered.begin(), ordered.end(), [](const WrittenTuplet& a, const WrittenTuplet& b) {
        return a.first != b.first ? a.first < b.first : a.count > b.count;
    });
    for (size_t t = 0; t < ordered.size(); ++t) {
        const WrittenTuplet& tuplet = ordered[t];
        if (tuplet.count == 0 || tuplet.first + tuplet.count > entries.size()) {
            throw EntryError("tuplet " + std::to_string(t + 1) + " holds no entries of the cell", tuplet.first);
        }
        if (tuplet.notes < 1 || tuplet.noteUnit < 1 || tuplet.reference < 1 || tuplet.referenceUnit < 1) {
            throw EntryError("tuplet " + std::to_string(t + 1) + " has a count or unit below 1", tuplet.first);
        }
        for (size_t o = 0; o < t; ++o) {
            const size_t end = tuplet.first + tuplet.count;
            const size_t outerEnd = ordered[o].first + ordered[o].count;
            if (tuplet.first < outerEnd && end > outerEnd) {
                throw EntryError("tuplet " + std::to_string(t + 1) + " reaches out of the tuplet it starts in",
                                 tuplet.first);
            }
        }
        size_t inner = t + 1;
        const hostapi::Edu written = WrittenLength(entries, ordered, t, inner);
        const hostapi::Edu expected = static_cast<hostapi::Edu>(tuplet.notes) * tuplet.noteUnit;
        if (written != expected) {
            throw EntryError("the entries of tuplet " + std::to_string(t + 1) + " last " + std::to_string(written) +
                                 " EDU as written, not " + std::to_string(tuplet.notes) + " x " +
                                 std::to_string(tuplet.noteUnit) + " = " + std::to_string(expected),
                             tuplet.first);
        }
    }
    return ordered;
}

/// Each entry's share of the time it is written for: the product of the ratios of the tuplets
/// it lies in.
std::vector<ExactTime> TupletScales(size_t entries, const std::vector<WrittenTuplet>& ordered) {
    std::vector<ExactTime> scale(entries, ExactTime{1, 1});
    for (const WrittenTuplet& tuplet : ordered) {
        for (size_t i = tuplet.first; i < tuplet.first + tuplet.count; ++i) {
            scale[i] = scale[i].Times(static_cast<int64_t>(tuplet.reference) * tuplet.referenceUnit,
                                      static_cast<int64_t>(tuplet.notes) * tuplet.noteUnit);
        }
    }
    return scale;
}

/// A number of EDU in beats: "4", "2.5".
std::string Beats(hostapi::Edu edu, hostapi::Edu beat) {
    if (beat <= 0 || edu % beat == 0) {
        return std::to_string(beat <= 0 ? edu : edu / beat);
    }
    std::string text = std::to_string(static_cast<double>(edu) / beat);
    text.erase(text.find_last_not_of('0') + 1);
    return text;
}

/// "the entries last 4 beats (4096 EDU); the measure has 3 (3072 EDU)".
std::string MeasureFill(hostapi::Edu filled, hostapi::Edu length, hostapi::Edu beat) {
    return "the entries last " + Beats(filled, beat) + (filled == beat ? " beat (" : " beats (") +
           std::to_string(filled) + " EDU); the measure has " + Beats(length, beat) + " (" + std::to_string(length) +
           " EDU)";
}

}  // namespace

ScoreBuilder& ScoreBuilder::Notes(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure,
                                  hostapi::LayerIndex layer, const std::vector<WrittenEntry>& entries,
                                  const std::vector<WrittenTuplet>& tuplets) {
    Document& document = Current();
    const CellKey cell{staff, measure, layer};
    if (layer < 0 || layer > 3) {
        throw std::invalid_argument("layers are 1 to 4, not " + std::to_string(layer + 1));
    }
    RequireCell(staff, measure);
    if (!document.EntriesOf(cell).empty()) {
        throw std::invalid_argument(cell.Description() + " holds entries already");
    }
    const int16_t key = CellKeyValue(document, measure, staff, 0);
    const hostapi::Edu length = MeasureLength(document, measure);
    const hostapi::Edu beat = BeatDurationOf(measure);
    AddClefDefinitions(document);

    const std::vector<WrittenTuplet> ordered = OrderedTuplets(entries, tuplets);
    const std::vector<ExactTime> scale = TupletScales(entries.size(), ordered);

    CellEntries cellEntries;
    std::vector<uint32_t> firstCleared;  ///< per note of the first entry: the flags kept clear
    ExactTime start;
    for (size_t i = 0; i < entries.size(); ++i) {
        const WrittenEntry& written = entries[i];
        if (written.notes.size() > hostapi::EntryLayout::kMaxNotes) {
            throw EntryError("entry " + std::to_string(i + 1) + " has " + std::to_string(written.notes.size()) +
                                 " notes; an entry holds at most 12",
                             i);
        }
        if (written.duration <= 0 || written.duration > INT16_MAX) {
            throw EntryError("entry " + std::to_string(i + 1) + " has no duration the host can write", i);
        }
        const ExactTime end = written.grace ? start : start + scale[i].Times(written.duration, 1);
        const hostapi::Edu position = start.Whole();
        const hostapi::Edu actual = end.Whole() - position;
        if (position + actual > length) {
            throw EntryError("entry " + std::to_string(i + 1) + " overflows " + cell.Description() + ": " +
                                 MeasureFill(position + actual, length, beat),
                             i);
        }
        EntryBytes bytes{};
        const hostapi::EntryView entry(bytes.data());
        entry.setNumber(document.NewEntryNumber());
        entry.setDuration(static_cast<int16_t>(written.duration));
        entry.setPosition(position);
        entry.setActualDuration(actual);
        uint32_t flags = written.notes.empty() ? 0 : hostapi::kEntryNote;
        flags |= written.grace ? hostapi::kEntryGrace : 0;
        flags |= written.hidden ? hostapi::kEntryHidden : 0;
        flags |= written.floating ? hostapi::kEntryFloatingRest : 0;
        if (!BeamedToPrevious(cellEntries, written, position, beat)) {
            flags |= hostapi::kEntryBeamStart;
        }
        entry.setFlags(flags);

        std::vector<WrittenNote> notes = written.notes;
        std::stable_sort(notes.begin(), notes.end(), [](const WrittenNote& a, const WrittenNote& b) {
            return a.pitch.step != b.pitch.step ? a.pitch.step < b.pitch.step : a.pitch.accidental < b.pitch.accidental;
        });
        entry.setNoteCount(static_cast<int16_t>(notes.size()));
        for (size_t n = 0; n < notes.size(); ++n) {
            const hostapi::NoteView note = entry.note(static_cast<int32_t>(n));
            WriteNote(notes[n].pitch, key, note);
            note.setNoteId(static_cast<int16_t>(n + 1));
            note.setFlags((notes[n].tieStart ? hostapi::kNoteTieStart : 0) |
                          (notes[n].tieEnd ? hostapi::kNoteTieEnd : 0) | (notes[n].flags & ~notes[n].cleared));
        }
        if (written.restPlace && notes.empty()) {
            // A placed rest keeps its staff position in its first note slot, numbered as the host
            // numbers every note it saves: a cell read and saved back unchanged stays as it is.
            entry.setNoteCount(1);
            WriteNote(SpelledNote{written.restPlace->step, 0}, key, entry.note(0));
            entry.note(0).setAlteration(0);
            entry.note(0).setNoteId(1);
        }
        TieFromPrevious(cellEntries, notes, key, entry);
        for (size_t n = 0; n < notes.size(); ++n) {
            const hostapi::NoteView note = entry.note(static_cast<int32_t>(n));
            note.setFlags(note.flags() & ~notes[n].cleared);
            if (i == 0) {
                firstCleared.push_back(notes[n].cleared);
            }
        }
        cellEntries.push_back(bytes);
        start = end;
    }
    if (start.Whole() < length) {
        // As a bar check finds it: the entries end before the measure does.
        m_warnings.push_back({cell.Description() + " is short: " + MeasureFill(start.Whole(), length, beat), 0});
    }
    for (const WrittenTuplet& tuplet : ordered) {
        const hostapi::EntryView first(cellEntries[tuplet.first].data());
        first.setFlag(hostapi::kEntryTuplet, true);
        Bytes record(hostapi::TupletLayout::kSize, 0);
        hostapi::WriteI16(record.data(), hostapi::TupletLayout::kNotes, tuplet.notes);
        hostapi::WriteI16(record.data(), hostapi::TupletLayout::kNoteUnit, tuplet.noteUnit);
        hostapi::WriteI16(record.data(), hostapi::TupletLayout::kReference, tuplet.reference);
        hostapi::WriteI16(record.data(), hostapi::TupletLayout::kReferenceUnit, tuplet.referenceUnit);
        AppendEntryRecord(hostapi::kTagTuplet, first.number(), std::move(record));
    }
    // Ties over the barlines on either side of the cell.
    if (!cellEntries.empty() && measure > 1) {
        const CellEntries& before =
            document.EntriesOf(CellKey{staff, static_cast<hostapi::MeasureNumber>(measure - 1), layer});
        TieAcrossBarline(before, CellKeyValue(document, static_cast<hostapi::MeasureNumber>(measure - 1), staff, 0),
                         cellEntries, key);
        const hostapi::EntryView first(cellEntries.front().data());
        for (size_t n = 0; n < firstCleared.size(); ++n) {
            const hostapi::NoteView note = first.note(static_cast<int32_t>(n));
            note.setFlags(note.flags() & ~firstCleared[n]);
        }
    }
    const CellKey next{staff, static_cast<hostapi::MeasureNumber>(measure + 1), layer};
    if (!cellEntries.empty() && measure < INT16_MAX && !document.EntriesOf(next).empty()) {
        CellEntries after = document.EntriesOf(next);
        if (TieAcrossBarline(cellEntries, key, after, CellKeyValue(document, next.measure, staff, 0))) {
            document.SetEntries(next, std::move(after));
        }
    }
    document.SetEntries(cell, std::move(cellEntries));
    return *this;
}

bool ScoreBuilder::TieAcrossBarline(const CellEntries& before, int16_t keyBefore, CellEntries& after,
                                    int16_t keyAfter) {
    if (before.empty() || after.empty()) {
        return false;
    }
    const hostapi::ConstEntryView last(before.back().data());
    const hostapi::EntryView first(after.front().data());
    bool changed = false;
    for (int32_t p = 0; last.isNote() && p < last.notesHeld(); ++p) {
        if ((last.note(p).flags() & hostapi::kNoteTieStart) == 0) {
            continue;
        }
        const SpelledNote tied = SpellNote(last.note(p), keyBefore);
        for (int32_t n = 0; first.isNote() && n < first.notesHeld(); ++n) {
            const SpelledNote candidate = SpellNote(first.note(n), keyAfter);
            if (candidate.step == tied.step && candidate.accidental == tied.accidental &&
                (first.note(n).flags() & hostapi::kNoteTieEnd) == 0) {
                first.note(n).setFlags(first.note(n).flags() | hostapi::kNoteTieEnd);
                changed = true;
            }
        }
    }
    return changed;
}

hostapi::Edu ScoreBuilder::BeatDurationOf(hostapi::MeasureNumber measure) {
    const Bytes* record = Current().Records().Find(RecordKey::Other(kTagMeasure, measure, 0));
    const hostapi::Edu beat = record == nullptr || record->size() < MeasureLayout::kBeatDuration + 2
                                  ? hostapi::kEduPerQuarter
                                  : hostapi::ReadI16(record->data(), MeasureLayout::kBeatDuration);
    return beat > 0 ? beat : hostapi::kEduPerQuarter;
}

void ScoreBuilder::RequireCell(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure) {
    if (Current().Records().Find(RecordKey::Other(kTagStaff, staff, 0)) == nullptr) {
        throw std::invalid_argument("there is no staff " + std::to_string(staff));
    }
    if (Current().Records().Find(RecordKey::Other(kTagMeasure, measure, 0)) == nullptr) {
        throw std::invalid_argument("there is no measure " + std::to_string(measure));
    }
}

bool ScoreBuilder::BeamedToPrevious(const CellEntries& before, const WrittenEntry& written, hostapi::Edu position,
                                    hostapi::Edu beat) {
    // Notes shorter than a quarter are beamed to the note before them within the same beat.
    if (written.grace || written.notes.empty() || written.duration >= hostapi::kEduPerQuarter || before.empty()) {
        return false;
    }
    const hostapi::ConstEntryView previous(before.back().data());
    return previous.isNote() && !previous.has(hostapi::kEntryGrace) && previous.duration() < hostapi::kEduPerQuarter &&
           previous.position() / beat == position / beat;
}

void ScoreBuilder::TieFromPrevious(CellEntries& before, const std::vector<WrittenNote>& notes, int16_t key,
                                   hostapi::EntryView entry) {
    if (before.empty()) {
        return;
    }
    const hostapi::EntryView previous(before.back().data());
    for (int32_t p = 0; p < previous.notesHeld(); ++p) {
        if ((previous.note(p).flags() & hostapi::kNoteTieStart) == 0) {
            continue;
        }
        const SpelledNote tied = SpellNote(previous.note(p), key);
        for (size_t n = 0; n < notes.size(); ++n) {
            if (notes[n].pitch.step == tied.step && notes[n].pitch.accidental == tied.accidental) {
                const hostapi::NoteView note = entry.note(static_cast<int32_t>(n));
                note.setFlags(note.flags() | hostapi::kNoteTieEnd);
            }
        }
    }
}

ScoreBuilder& ScoreBuilder::ExactRecord(const RecordKey& key, std::optional<Bytes> bytes) {
    Current().Records().Restore(key, bytes);
    return *this;
}

ScoreBuilder& ScoreBuilder::ExactEntry(const CellKey& cell, int32_t entry, size_t offset, const Bytes& bytes) {
    CellEntries entries = Current().EntriesOf(cell);
    if (entry < 1 || static_cast<size_t>(entry) > entries.size() + 1) {
        throw std::invalid_argument(cell.Description() + " holds " + std::to_string(entries.size()) +
                                    " entries: entry " + std::to_string(entry) + " is not one of them nor the next");
    }
    if (offset > hostapi::EntryLayout::kSize || bytes.size() > hostapi::EntryLayout::kSize - offset) {
        throw std::invalid_argument("an entry has " + std::to_string(hostapi::EntryLayout::kSize) + " bytes");
    }
    if (static_cast<size_t>(entry) == entries.size() + 1) {
        entries.push_back(EntryBytes{});
    }
    std::copy(bytes.begin(), bytes.end(),
              entries[static_cast<size_t>(entry) - 1].begin() + static_cast<ptrdiff_t>(offset));
    Current().SetEntries(cell, std::move(entries));
    return *this;
}

ScoreBuilder& ScoreBuilder::KeepEntries(const CellKey& cell, int32_t count) {
    CellEntries entries = Current().EntriesOf(cell);
    if (count < 0 || static_cast<size_t>(count) > entries.size()) {
        throw std::invalid_argument(cell.Description() + " holds " + std::to_string(entries.size()) + " entries, not " +
                                    std::to_string(count));
    }
    entries.resize(static_cast<size_t>(count));
    Current().SetEntries(cell, std::move(entries));
    return *this;
}

std::unique_ptr<Document> ScoreBuilder::Build() {
    Current();
    return std::move(m_document);
}

hostapi::Cmper ScoreBuilder::MakeTextBlock(std::string_view text) {
    const std::string ansi = win::Utf8ToAnsi(text);
    Bytes characters(ansi.begin(), ansi.end());
    characters.push_back(0);
    const RecordKey textKey = Create(RecordKey::Other(kTagTextBlockText, -1, 0), std::move(characters));
    Bytes header(TextBlockLayout::kSize, 0);
    hostapi::WriteI16(header.data(), TextBlockLayout::kTextKey, static_cast<int16_t>(textKey.first));
    m_lastTextBlock = static_cast<hostapi::Cmper>(Create(RecordKey::Other(kTagTextBlock, -1, 0), header).first);
    return m_lastTextBlock;
}

Document& ScoreBuilder::Current() {
    if (!m_document) {
        throw std::logic_error("the score builder has handed its document over already");
    }
    return *m_document;
}

RecordKey ScoreBuilder::Create(const RecordKey& key, Bytes bytes) {
    const auto created = Current().CreateRecord(key, std::move(bytes));
    if (!created) {
        throw std::length_error("the document has no free key left for " + key.Description());
    }
    return *created;
}

}  // namespace host
