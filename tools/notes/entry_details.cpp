#include "tools/notes/entry_details.h"

#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/finxess_regions.h"
#include "core/tool_context.h"
#include "expressions/txtexpr.h"
#include "platform/hostapi/entry_records.h"
#include "tools/notes/entry_fields.h"

namespace orvex {
namespace {

constexpr int32_t kStemRecordSize = 10;
/// The words the trill grace note's notes get in their playback records ('edac').
constexpr size_t kEdacWordAt6 = 3;
constexpr size_t kEdacWordAt8 = 4;
constexpr int16_t kEdacValueAt6 = -126;
constexpr int16_t kEdacValueAt8 = -127;

int32_t Scaled(int32_t value, int32_t percent) {
    return static_cast<int32_t>(static_cast<int64_t>(value) * percent / 50);
}

/// The stored first word of the entry's up-stem record; 0 when it has none.
int16_t StemUpWord(hostapi::ConstEntryView entry) {
    Record10 record;
    if (entry.has(hostapi::kEntryStemDetails)) {
        LoadWholeDetailRecord(kTagStemUp, 0, entry.number(), record.data(), kStemRecordSize, 0);
    }
    return hostapi::ReadI16(record.data(), hostapi::StemDetailLayout::kValue);
}

}  // namespace

void SetStemRecord(hostapi::Tag tag, hostapi::EntryView entry, int16_t value, bool force) {
    Record10 record;
    if (entry.has(hostapi::kEntryStemDetails)) {
        LoadWholeDetailRecord(tag, 0, entry.number(), record.data(), kStemRecordSize, 0);
    }
    if (!force && hostapi::ReadI16(record.data(), hostapi::StemDetailLayout::kValue) != 0) {
        return;
    }
    hostapi::WriteI16(record.data(), hostapi::StemDetailLayout::kValue, value);
    entry.setFlag(hostapi::kEntryStemDetails, true);
    SaveDetailRecord(tag, 0, entry.number(), record.data(), kStemRecordSize, 0);
}

void SetStemRecords(hostapi::EntryView entry, int16_t value, bool both, bool force) {
    const bool up = entry.has(hostapi::kEntryStemUp);
    if (up || both) {
        SetStemRecord(kTagStemUp, entry, value, force);
    }
    if (!up || both) {
        SetStemRecord(kTagStemDown, entry, value, force);
    }
}

bool WriteEntryAttachedRecords(hostapi::EntryView entry, std::span<const OptionElement> parentheses, int32_t percent,
                               int32_t noteIndex, int32_t sizePercent) {
    if (parentheses.size() < PAREN_ROW_COUNT || noteIndex < 0 || noteIndex >= entry.notesHeld()) {
        return false;
    }
    const auto row = [&](size_t r) { return parentheses[r].value; };
    const hostapi::NoteView note = entry.note(noteIndex);
    const bool accidentalShown = (note.flags() & hostapi::kNoteAccidentalShown) != 0;
    const OptionElement& text =
        parentheses[accidentalShown ? PAREN_TEXT_WITH_ACCIDENTAL : PAREN_TEXT_WITHOUT_ACCIDENTAL];
    const int32_t horizontal =
        Scaled(row(accidentalShown ? PAREN_SHIFT_WITH_ACCIDENTAL : PAREN_SHIFT_WITHOUT_ACCIDENTAL), percent);
    const int32_t size = static_cast<int32_t>(static_cast<int64_t>(row(PAREN_FONT_SIZE)) * sizePercent / 100);
    // The expression first: without it nothing is written, so that no half of the parentheses
    // is left behind.
    TTextExpressions& expressions = TextExpressionTable();
    expressions.IsComplete();
    const int32_t expression =
        expressions.FindOrCreate(text.text, parentheses[PAREN_FONT].text.c_str(), size, 0, 0, 0, 0, 0);
    if (expression <= 0) {
        return false;
    }

    Record10 accidental;
    int32_t inci = 0;
    const bool found = FindRecordByValue(entry.number(), note.noteId(), accidental, inci, kTagNoteAccidental);
    if (!found) {
        accidental = Record10{};
        hostapi::WriteI16(accidental.data(), hostapi::NoteAccidentalLayout::kNoteId, note.noteId());
    }
    accidental.setWord(kNoteAccidentalShiftWord, static_cast<int16_t>(Scaled(-row(PAREN_ACCIDENTAL_SHIFT), percent)));
    if (found) {
        SaveRecordByValue(entry.number(), accidental, inci, kTagNoteAccidental);
    } else {
        CreateRecordByValue(entry.number(), accidental, kTagNoteAccidental);
    }
    entry.setFlag(hostapi::kEntryNoteDetails, true);

    AppendRecordEdED(entry.number(),
                     TextExpressionLink(expression, horizontal, Scaled(row(PAREN_VERTICAL_SHIFT), percent)));
    SetMoreFlag(entry, kEntryMoreExpressions);
    return true;
}

bool ApplyEntryDetailSet(hostapi::EntryView grace, hostapi::ConstEntryView following, const TFMisc& context,
                         std::span<const OptionElement> parentheses, int32_t group) {
    if (group == 2 && (!grace.has(hostapi::kEntryStemDetails) || StemUpWord(grace) != 0)) {
        return false;  // not a trill note, or repaired already
    }
    // The parentheses come first in group 1: when they cannot be written the grace note is left
    // as it was.
    if (group == 1 && !WriteEntryAttachedRecords(grace, parentheses, 50, 0, 100)) {
        return false;
    }
    const int32_t shift = DotCount(following.duration()) * RowValue(context.Options, TRILL_NOTES_DOTTED_SHIFT) +
                          RowValue(context.Options, TRILL_NOTES_SHIFT);
    SetHorizontalOffset(grace, static_cast<int16_t>(shift));
    SetStemRecords(grace, 0, true, true);
    RecordCursor cursor;
    RecordCursorInit(cursor);
    RecordCursorOpen(cursor, grace.data());
    for (int32_t n = 0; n < RecordCursorCount(cursor); ++n) {
        uint8_t* record = RecordCursorAt(cursor, n);
        hostapi::WriteI16(record, 2 * kEdacWordAt8, kEdacValueAt8);
        hostapi::WriteI16(record, 2 * kEdacWordAt6, kEdacValueAt6);
    }
    RecordCursorSave(cursor, grace.data());
    grace.setFlag(hostapi::kEntryPlayback, true);
    SetMoreFlag(grace, kEntryMorePlayback);
    return true;
}

}  // namespace orvex
