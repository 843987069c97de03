#include "platform/host/score_builder.h"

#include <algorithm>
#include <climits>
#include <stdexcept>

#include "platform/host/record_layouts.h"
#include "platform/hostapi/bytes.h"
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

ScoreBuilder& ScoreBuilder::Notes(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure,
                                  hostapi::LayerIndex layer, const std::vector<WrittenEntry>& entries) {
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

    CellEntries cellEntries;
    hostapi::Edu position = 0;
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
        const hostapi::Edu actual = written.grace ? 0 : written.duration;
        if (position + actual > length) {
            throw EntryError("entry " + std::to_string(i + 1) + " overflows " + cell.Description() +
                                 ": the entries last " + std::to_string(position + actual) +
                                 " EDU or more; the measure lasts " + std::to_string(length),
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
            note.setFlags(notes[n].tieStart ? hostapi::kNoteTieStart : 0);
        }
        TieFromPrevious(cellEntries, notes, key, entry);
        cellEntries.push_back(bytes);
        position += actual;
    }
    document.SetEntries(cell, std::move(cellEntries));
    return *this;
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
