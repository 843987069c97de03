// The score builder's text expressions: the expression records ('SODT' with 'otDe' and
// 'ot&d') and their placements in measures ('otDY') and on entries ('edED').
#include <algorithm>
#include <climits>
#include <stdexcept>

#include "platform/host/record_layouts.h"
#include "platform/host/score_builder.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/expression_records.h"
#include "platform/win/system.h"

namespace host {
namespace {

using hostapi::ExpressionLayout;
using hostapi::kMeasureHasExpressions;
using hostapi::kTagExpression;
using hostapi::kTagExpressionPlayback;
using hostapi::kTagMeasureExpression;
using hostapi::kTagNoteExpression;
using hostapi::MeasureExpressionLayout;
using hostapi::NoteExpressionLayout;
constexpr hostapi::Tag kTagMetatool = hostapi::kTagExpressionMetatool;
constexpr uint16_t kEntryHasExpressions = hostapi::kEntryMoreExpressions;

}  // namespace

ScoreBuilder& ScoreBuilder::TextExpression(int16_t number, std::string_view text, const ExpressionSettings& settings) {
    Document& document = Current();
    if (number < 1) {
        throw std::invalid_argument("text expressions are numbered from 1, not " + std::to_string(number));
    }
    if (document.Records().Find(RecordKey::Other(kTagExpression, number, 0)) != nullptr) {
        throw std::invalid_argument("text expression " + std::to_string(number) + " exists already");
    }
    if (settings.metatool < 0 || settings.metatool > 255) {
        throw std::invalid_argument("metatool keys are 1 to 255, not " + std::to_string(settings.metatool));
    }
    const std::string ansi = win::Utf8ToAnsi(text);
    Bytes record(ExpressionLayout::kText, 0);
    hostapi::WriteU16(record.data(), ExpressionLayout::kFontWord,
                      static_cast<uint16_t>(((settings.size & 0xFF) << 8) | (settings.font & 0xFF)));
    hostapi::WriteU16(record.data(), ExpressionLayout::kStyle, settings.style);
    hostapi::WriteI16(record.data(), ExpressionLayout::kWord4, settings.word4);
    hostapi::WriteI16(record.data(), ExpressionLayout::kWord6, settings.word6);
    const uint16_t flags =
        settings.hasPlayback ? static_cast<uint16_t>(settings.flags | ExpressionLayout::kHasPlayback) : settings.flags;
    hostapi::WriteU16(record.data(), ExpressionLayout::kFlags, flags);
    record.insert(record.end(), ansi.begin(), ansi.end());
    record.push_back(0);
    document.SaveRecord(RecordKey::Other(kTagExpression, number, 0), std::move(record));
    if (settings.hasPlayback) {
        document.SaveRecord(RecordKey::Other(kTagExpressionPlayback, number, 0),
                            Bytes(settings.playback.begin(), settings.playback.end()));
    }
    if (settings.metatool > 0) {
        Bytes metatool(12, 0);
        hostapi::WriteI16(metatool.data(), 0, number);
        hostapi::WriteI16(metatool.data(), 2, 1);
        document.SaveRecord(RecordKey::Other(kTagMetatool, settings.metatool, 0), std::move(metatool));
    }
    return *this;
}

ScoreBuilder& ScoreBuilder::MeasureExpression(hostapi::MeasureNumber measure, int16_t number, hostapi::Edu position,
                                              hostapi::InstrumentKey staff, int16_t verticalOffset, bool shape) {
    Document& document = Current();
    const RecordKey measureKey = RecordKey::Other(kTagMeasure, measure, 0);
    const Bytes* stored = document.Records().Find(measureKey);
    if (stored == nullptr) {
        throw std::invalid_argument("there is no measure " + std::to_string(measure));
    }
    if (staff != 0 && document.Records().Find(RecordKey::Other(kTagStaff, staff, 0)) == nullptr) {
        throw std::invalid_argument("there is no staff " + std::to_string(staff));
    }
    if (position < 0 || position > INT16_MAX) {
        throw std::invalid_argument("a measure expression's position is 0 to 32767 EDU");
    }
    Bytes record(MeasureExpressionLayout::kSize, 0);
    hostapi::WriteI16(record.data(), MeasureExpressionLayout::kNumber, number);
    hostapi::WriteI16(record.data(), MeasureExpressionLayout::kPosition, static_cast<int16_t>(position));
    hostapi::WriteI16(record.data(), MeasureExpressionLayout::kOffset, verticalOffset);
    uint16_t target = staff == 0 ? 0 : static_cast<uint16_t>(MeasureExpressionLayout::kOneStaff | (staff & 0x3FF));
    if (shape) {
        target |= MeasureExpressionLayout::kShape;
    }
    hostapi::WriteU16(record.data(), MeasureExpressionLayout::kStaff, target);
    Bytes measureRecord = *stored;
    measureRecord.resize(std::max(measureRecord.size(), MeasureLayout::kSize), 0);
    hostapi::WriteU16(measureRecord.data(), MeasureLayout::kMoreFlags,
                      hostapi::ReadU16(measureRecord.data(), MeasureLayout::kMoreFlags) | kMeasureHasExpressions);
    document.SaveRecord(measureKey, std::move(measureRecord));
    Create(RecordKey::Other(kTagMeasureExpression, measure, -1), std::move(record));
    return *this;
}

ScoreBuilder& ScoreBuilder::NoteExpression(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure,
                                           hostapi::LayerIndex layer, int32_t entry, int16_t number,
                                           int16_t horizontalOffset, int16_t verticalOffset, bool shape) {
    Document& document = Current();
    RequireCell(staff, measure);
    const CellKey cell{staff, measure, layer};
    CellEntries entries = document.EntriesOf(cell);
    if (entry < 1 || static_cast<size_t>(entry) > entries.size()) {
        throw std::invalid_argument(cell.Description() + " has no entry " + std::to_string(entry));
    }
    const hostapi::EntryView view(entries[static_cast<size_t>(entry - 1)].data());
    view.setMoreFlags(static_cast<uint16_t>(view.moreFlags() | kEntryHasExpressions));
    const hostapi::EntryNumber entryNumber = view.number();
    document.SetEntries(cell, std::move(entries));

    Bytes record(NoteExpressionLayout::kSize, 0);
    hostapi::WriteI16(record.data(), NoteExpressionLayout::kNumber, number);
    hostapi::WriteI16(record.data(), NoteExpressionLayout::kHorizontal, horizontalOffset);
    hostapi::WriteI16(record.data(), NoteExpressionLayout::kVertical, verticalOffset);
    hostapi::WriteU16(record.data(), NoteExpressionLayout::kFlags,
                      shape ? uint16_t{0} : NoteExpressionLayout::kTextExpression);
    const auto before = document.Records().Previous(RecordKey::EntryDetail(kTagNoteExpression, entryNumber, INT16_MAX));
    const int16_t inci = before && before->first == entryNumber ? static_cast<int16_t>(before->second + 1) : 0;
    document.SaveRecord(RecordKey::EntryDetail(kTagNoteExpression, entryNumber, inci), std::move(record));
    return *this;
}

}  // namespace host
