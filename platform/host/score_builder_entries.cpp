// The score builder's records of entries and notes beyond the notation: entry fields and flags,
// records attached to an entry, articulations and their definitions, the performance data of
// notes, the layer settings and the stored MIDI events of a cell.
#include <climits>
#include <stdexcept>
#include <string>

#include "platform/host/score_builder.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/music_records.h"
#include "platform/hostapi/record_tags.h"

namespace host {

hostapi::EntryNumber ScoreBuilder::EditEntry(const CellKey& cell, int32_t entry,
                                             const std::function<void(hostapi::EntryView)>& change) {
    Document& document = Current();
    if (cell.layer < 0 || cell.layer > 3) {
        throw std::invalid_argument("layers are 1 to 4, not " + std::to_string(cell.layer + 1));
    }
    RequireCell(cell.staff, cell.measure);
    CellEntries entries = document.EntriesOf(cell);
    if (entry < 1 || static_cast<size_t>(entry) > entries.size()) {
        throw std::invalid_argument(cell.Description() + " has no entry " + std::to_string(entry));
    }
    const hostapi::EntryView view(entries[static_cast<size_t>(entry - 1)].data());
    change(view);
    const hostapi::EntryNumber number = view.number();
    document.SetEntries(cell, std::move(entries));
    return number;
}

void ScoreBuilder::AppendEntryRecord(hostapi::Tag tag, hostapi::EntryNumber entry, Bytes bytes) {
    Document& document = Current();
    const auto before = document.Records().Previous(RecordKey::EntryDetail(tag, entry, INT16_MAX));
    const int32_t inci = before && before->first == entry ? before->second + 1 : 0;
    if (inci > INT16_MAX) {
        throw std::length_error("entry " + std::to_string(entry) + " has no incidence left for " +
                                hostapi::TagName(tag));
    }
    document.SaveRecord(RecordKey::EntryDetail(tag, entry, static_cast<int16_t>(inci)), std::move(bytes));
}

ScoreBuilder& ScoreBuilder::ChangeEntry(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure,
                                        hostapi::LayerIndex layer, int32_t entry, const EntryFieldChange& change) {
    EditEntry(CellKey{staff, measure, layer}, entry, [&](hostapi::EntryView view) {
        if (change.horizontalOffset) {
            view.setHorizontalOffset(*change.horizontalOffset);
        }
        view.setFlags((view.flags() | change.set) & ~change.clear);
        view.setMoreFlags(static_cast<uint16_t>((view.moreFlags() | change.setMore) & ~change.clearMore));
    });
    return *this;
}

ScoreBuilder& ScoreBuilder::EntryRecord(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure,
                                        hostapi::LayerIndex layer, int32_t entry, hostapi::Tag tag, Bytes bytes) {
    const bool stem = tag == hostapi::kTagStemUpDetail || tag == hostapi::kTagStemDownDetail;
    if (!stem && FamilyOfTag(tag) != hostapi::RecordFamily::EntryDetail) {
        throw std::invalid_argument("'" + hostapi::TagName(tag) + "' is no record of an entry");
    }
    const auto info = hostapi::FindRecordTag(tag);
    if (info && info->size != 0 && bytes.size() != info->size) {
        throw std::invalid_argument("a '" + hostapi::TagName(tag) + "' record has " + std::to_string(info->size) +
                                    " bytes, not " + std::to_string(bytes.size()));
    }
    const hostapi::EntryRecordFlag flags = hostapi::EntryFlagOfRecordTag(tag);
    const hostapi::EntryNumber number = EditEntry(CellKey{staff, measure, layer}, entry, [&](hostapi::EntryView view) {
        view.setFlags(view.flags() | flags.flag);
        view.setMoreFlags(static_cast<uint16_t>(view.moreFlags() | flags.moreFlag));
    });
    if (stem) {
        if (number > INT16_MAX) {
            throw std::invalid_argument("the stem records of entry " + std::to_string(number) +
                                        " cannot be keyed by its number");
        }
        Current().SaveRecord(RecordKey::Detail(tag, 0, static_cast<int16_t>(number), 0), std::move(bytes));
    } else {
        AppendEntryRecord(tag, number, std::move(bytes));
    }
    return *this;
}

ScoreBuilder& ScoreBuilder::ChangeTuplet(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure,
                                         hostapi::LayerIndex layer, int32_t entry, int32_t tuplet, int16_t word10,
                                         uint16_t flags) {
    using L = hostapi::TupletLayout;
    const hostapi::EntryNumber number = EditEntry(CellKey{staff, measure, layer}, entry, [](hostapi::EntryView) {});
    const RecordKey key = RecordKey::EntryDetail(hostapi::kTagTuplet, number, static_cast<int16_t>(tuplet - 1));
    const Bytes* stored = tuplet < 1 || tuplet > L::kMaxPerEntry ? nullptr : Current().Records().Find(key);
    if (stored == nullptr || stored->size() != L::kSize) {
        throw std::invalid_argument("entry " + std::to_string(entry) + " of " +
                                    CellKey{staff, measure, layer}.Description() + " starts no tuplet " +
                                    std::to_string(tuplet));
    }
    Bytes record = *stored;
    hostapi::WriteI16(record.data(), L::kWord10, word10);
    hostapi::WriteU16(record.data(), L::kFlags, flags);
    Current().SaveRecord(key, std::move(record));
    return *this;
}

ScoreBuilder& ScoreBuilder::Articulation(int16_t number, const ArticulationDefinition& definition) {
    using L = hostapi::ArticulationDefinitionLayout;
    Document& document = Current();
    if (number < 1) {
        throw std::invalid_argument("articulations are numbered from 1, not " + std::to_string(number));
    }
    const RecordKey key = RecordKey::Other(hostapi::kTagArticulationDefinition, number, 0);
    if (document.Records().Find(key) != nullptr) {
        throw std::invalid_argument("articulation " + std::to_string(number) + " exists already");
    }
    Bytes record(L::kSize, 0);
    hostapi::WriteU16(record.data(), L::kCharacter,
                      static_cast<uint16_t>(definition.character | definition.style << 8));
    hostapi::WriteU16(record.data(), L::kFontWord, static_cast<uint16_t>(definition.font | definition.size << 8));
    hostapi::WriteU16(record.data(), L::kFlags, definition.flags);
    hostapi::WriteU16(record.data(), L::kAlternateCharacter, definition.alternate);
    hostapi::WriteI16(record.data(), L::kHorizontalOffset, definition.horizontalOffset);
    hostapi::WriteI16(record.data(), L::kOffsetAbove, definition.offsetAbove);
    record[L::kOptions] = definition.options;
    hostapi::WriteI16(record.data(), L::kOffsetBelow, definition.offsetBelow);
    document.SaveRecord(key, std::move(record));
    return *this;
}

ScoreBuilder& ScoreBuilder::NoteArticulation(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure,
                                             hostapi::LayerIndex layer, int32_t entry, int16_t number,
                                             int16_t horizontalOffset, int16_t verticalOffset) {
    using L = hostapi::ArticulationLayout;
    Bytes record(L::kSize, 0);
    hostapi::WriteI16(record.data(), L::kDefinition, number);
    hostapi::WriteI16(record.data(), L::kHorizontalOffset, horizontalOffset);
    hostapi::WriteI16(record.data(), L::kVerticalOffset, verticalOffset);
    return EntryRecord(staff, measure, layer, entry, hostapi::kTagArticulation, std::move(record));
}

ScoreBuilder& ScoreBuilder::NotePerformanceData(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure,
                                                hostapi::LayerIndex layer, int32_t entry, int32_t note,
                                                const NotePerformance& data) {
    using L = hostapi::NotePerformanceLayout;
    int16_t noteId = 0;
    const hostapi::EntryNumber number = EditEntry(CellKey{staff, measure, layer}, entry, [&](hostapi::EntryView view) {
        if (!view.isNote() || note < 1 || note > view.notesHeld()) {
            throw std::invalid_argument("entry " + std::to_string(entry) + " of " +
                                        CellKey{staff, measure, layer}.Description() + " has no note " +
                                        std::to_string(note));
        }
        noteId = view.note(note - 1).noteId();
    });
    for (auto key = Current().Records().Next(RecordKey::EntryDetail(hostapi::kTagNotePerformance, number, INT16_MIN));
         key && key->first == number; key = Current().Records().Next(*key)) {
        const Bytes* bytes = Current().Records().Find(*key);
        if (bytes->size() >= L::kNoteId + 2 && hostapi::ReadI16(bytes->data(), L::kNoteId) == noteId) {
            throw std::invalid_argument("note " + std::to_string(note) + " of entry " + std::to_string(entry) +
                                        " has its performance data already");
        }
    }
    Bytes record(L::kSize, 0);
    hostapi::WriteI16(record.data(), L::kNoteId, noteId);
    hostapi::WriteI16(record.data(), L::kWord2, data.word2);
    hostapi::WriteI16(record.data(), L::kWord4, data.word4);
    hostapi::WriteI16(record.data(), L::kPitchChange, data.pitchChange);
    hostapi::WriteI16(record.data(), L::kLevelChange, data.levelChange);
    AppendEntryRecord(hostapi::kTagNotePerformance, number, std::move(record));
    return *this;
}

ScoreBuilder& ScoreBuilder::LayerSettings(hostapi::LayerIndex layer, uint16_t firstHalf, uint16_t secondHalf) {
    using L = hostapi::LayerSettingsLayout;
    if (layer < 0 || layer > 3) {
        throw std::invalid_argument("layers are 1 to 4, not " + std::to_string(layer + 1));
    }
    Bytes record(L::kSize, 0);
    hostapi::WriteU16(record.data(), L::kFirstHalf, firstHalf);
    hostapi::WriteU16(record.data(), L::kSecondHalf, secondHalf);
    Current().SaveRecord(RecordKey::Global(hostapi::kTagLayerSettings, layer), std::move(record));
    return *this;
}

ScoreBuilder& ScoreBuilder::MidiEvent(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure, hostapi::Edu time,
                                      int16_t status, int16_t data1, int16_t data2) {
    using L = hostapi::MidiEventLayout;
    RequireCell(staff, measure);
    Bytes record(L::kSize, 0);
    hostapi::WriteI32(record.data(), L::kTime, time);
    hostapi::WriteI16(record.data(), L::kStatus, status);
    hostapi::WriteI16(record.data(), L::kData1, data1);
    hostapi::WriteI16(record.data(), L::kData2, data2);
    Create(RecordKey::Detail(hostapi::kTagMidiEvent, staff, measure, -1), std::move(record));
    return *this;
}

}  // namespace host
