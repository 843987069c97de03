// The score builder's lyrics: the lyric texts ('txve', 'txch', 'txse') and the syllables placed
// on entries ('edve', 'edch', 'edse').
#include <stdexcept>

#include "platform/host/score_builder.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/lyric_records.h"
#include "platform/win/system.h"

namespace host {
namespace {

void RequireKind(int32_t kind) {
    if (kind < 0 || kind > 2) {
        throw std::invalid_argument("lyric kinds are 0 (verse), 1 (chorus) and 2 (section), not " +
                                    std::to_string(kind));
    }
}

}  // namespace

ScoreBuilder& ScoreBuilder::LyricText(int32_t kind, int16_t number, std::string_view text) {
    Document& document = Current();
    RequireKind(kind);
    if (number < 1) {
        throw std::invalid_argument("lyric texts are numbered from 1, not " + std::to_string(number));
    }
    const RecordKey key = RecordKey::Other(hostapi::kLyricTextTags[static_cast<size_t>(kind)], number, 0);
    if (document.Records().Find(key) != nullptr) {
        throw std::invalid_argument("lyric text " + std::to_string(number) + " exists already");
    }
    const std::string ansi = win::Utf8ToAnsi(text);
    Bytes record(ansi.begin(), ansi.end());
    record.push_back(0);
    document.SaveRecord(key, std::move(record));
    return *this;
}

ScoreBuilder& ScoreBuilder::Syllable(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure,
                                     hostapi::LayerIndex layer, int32_t entry, int32_t kind, int16_t textNumber,
                                     int16_t syllable, int16_t offset, int16_t extension) {
    using hostapi::LyricAssignmentLayout;
    Document& document = Current();
    RequireKind(kind);
    RequireCell(staff, measure);
    const CellKey cell{staff, measure, layer};
    CellEntries entries = document.EntriesOf(cell);
    if (entry < 1 || static_cast<size_t>(entry) > entries.size()) {
        throw std::invalid_argument(cell.Description() + " has no entry " + std::to_string(entry));
    }
    const hostapi::EntryView view(entries[static_cast<size_t>(entry - 1)].data());
    view.setFlag(hostapi::kEntryLyrics, true);
    const hostapi::EntryNumber entryNumber = view.number();
    document.SetEntries(cell, std::move(entries));

    Bytes record(LyricAssignmentLayout::kSize, 0);
    hostapi::WriteI16(record.data(), LyricAssignmentLayout::kTextNumber, textNumber);
    hostapi::WriteI16(record.data(), LyricAssignmentLayout::kSyllable, syllable);
    hostapi::WriteI16(record.data(), LyricAssignmentLayout::kOffset, offset);
    hostapi::WriteI16(record.data(), LyricAssignmentLayout::kExtension, extension);
    const hostapi::Tag tag = hostapi::kLyricAssignmentTags[static_cast<size_t>(kind)];
    const auto before = document.Records().Previous(RecordKey::EntryDetail(tag, entryNumber, INT16_MAX));
    const int16_t inci = before && before->first == entryNumber ? static_cast<int16_t>(before->second + 1) : 0;
    document.SaveRecord(RecordKey::EntryDetail(tag, entryNumber, inci), std::move(record));
    return *this;
}

}  // namespace host
