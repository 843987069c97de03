// The score builder's records of the note tools: the host's slur contour defaults, chord
// symbols and chord suffixes.
#include <stdexcept>
#include <string>

#include "platform/host/score_builder.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/layout_records.h"

namespace host {
namespace {

using hostapi::kTagSlurContours;
constexpr size_t kSlurContoursSize = 24;
constexpr hostapi::Tag kTagChord = hostapi::kTagChordSymbol;
constexpr size_t kChordSize = hostapi::ChordSymbolLayout::kSize;
using hostapi::kTagSuffixElement;
constexpr size_t kSuffixElementSize = 12;
using hostapi::kTagSuffixInfo;
constexpr size_t kSuffixInfoSize = 34;
using hostapi::kEntryChordSymbols;
constexpr int16_t kSuffixElementSpacing = 12;

}  // namespace

ScoreBuilder& ScoreBuilder::SlurContours(const std::array<std::array<int16_t, 3>, 3>& points) {
    Bytes bytes(kSlurContoursSize, 0);
    for (size_t point = 0; point < points.size(); ++point) {
        for (size_t field = 0; field < 3; ++field) {
            hostapi::WriteI16(bytes.data(), 6 * point + 2 * field, points[point][field]);
        }
    }
    Current().Records().Save(RecordKey::Other(kTagSlurContours, -2, 0), std::move(bytes));
    return *this;
}

ScoreBuilder& ScoreBuilder::ChordSymbol(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure,
                                        hostapi::LayerIndex layer, int32_t entry, const SpelledNote& root,
                                        int16_t suffix, bool rootShown) {
    Document& document = Current();
    RequireCell(staff, measure);
    const CellKey cell{staff, measure, layer};
    CellEntries entries = document.EntriesOf(cell);
    if (entry < 1 || static_cast<size_t>(entry) > entries.size()) {
        throw std::invalid_argument(cell.Description() + " has no entry " + std::to_string(entry));
    }
    const hostapi::EntryView view(entries[static_cast<size_t>(entry - 1)].data());
    view.setFlags(view.flags() | kEntryChordSymbols);
    const hostapi::EntryNumber entryNumber = view.number();
    document.SetEntries(cell, std::move(entries));

    hostapi::NoteRecord note;
    WriteNote(root, CellKeyValue(document, measure, staff, 0), note.view());
    const int32_t level = ((note.view().harmonicLevel() % 7) + 7) % 7;
    using Chord = hostapi::ChordSymbolLayout;
    const auto word = static_cast<uint16_t>(level | (rootShown ? Chord::kRootShown : 0) |
                                            ((note.view().alteration() & 0xF) << Chord::kAlterationShift) |
                                            (suffix != 0 ? Chord::kHasSuffix : 0));
    Bytes record(kChordSize, 0);
    hostapi::WriteU16(record.data(), Chord::kWord, word);
    hostapi::WriteI16(record.data(), Chord::kSuffix, suffix);
    const auto before = document.Records().Previous(RecordKey::EntryDetail(kTagChord, entryNumber, INT16_MAX));
    const int16_t inci = before && before->first == entryNumber ? static_cast<int16_t>(before->second + 1) : 0;
    document.SaveRecord(RecordKey::EntryDetail(kTagChord, entryNumber, inci), std::move(record));
    return *this;
}

ScoreBuilder& ScoreBuilder::ChordSuffix(int16_t number, std::string_view text, uint16_t fontWord, bool info) {
    Document& document = Current();
    if (number < 1 || document.Records().Find(RecordKey::Other(kTagSuffixElement, number, 0)) != nullptr) {
        throw std::invalid_argument("suffix " + std::to_string(number) + " cannot be made: it exists or is below 1");
    }
    for (size_t i = 0; i < text.size(); ++i) {
        Bytes element(kSuffixElementSize, 0);
        hostapi::WriteI16(element.data(), 0, static_cast<int8_t>(text[i]));
        hostapi::WriteI16(element.data(), 2, static_cast<int16_t>(kSuffixElementSpacing * static_cast<int>(i)));
        hostapi::WriteU16(element.data(), 6, fontWord);
        document.Records().Save(RecordKey::Other(kTagSuffixElement, number, static_cast<hostapi::Inci>(i)),
                                std::move(element));
    }
    if (info) {
        Bytes bytes(kSuffixInfoSize, 0);
        hostapi::WriteI16(bytes.data(), 0, number);
        document.Records().Save(RecordKey::Other(kTagSuffixInfo, number, 0), std::move(bytes));
    }
    return *this;
}

}  // namespace host
