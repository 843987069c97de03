// Entry detail helpers: small operations that attach host detail records to one entry or note,
// shared by the harmonics tool, the trill-note commands and other branches of the entry engine:
// the entry's two stem records, parentheses around a note (a note accidental record and a text
// expression attached to the entry), and a trill grace note prepared in one step. Detail
// records go to the document at once; the entry's own flags change in the caller's entry, which
// the caller saves.
#pragma once

#include <cstdint>
#include <span>

#include "core/option_element.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/types.h"

namespace orvex {

struct TFMisc;

inline constexpr hostapi::Tag kTagStemUp = hostapi::kTagStemUpDetail;
inline constexpr hostapi::Tag kTagStemDown = hostapi::kTagStemDownDetail;
/// The note accidental record: entry detail, 10 bytes, one per note found by its first word.
inline constexpr hostapi::Tag kTagNoteAccidental = hostapi::kTagNoteAccidental;
/// Word 3 of the note accidental record: the accidental's horizontal offset (EVPU).
inline constexpr size_t kNoteAccidentalShiftWord = hostapi::NoteAccidentalLayout::kHorizontalOffset / 2;

/// Parentheses options (tool 10, "Parentheses..."), by row.
enum ParenthesesRow : size_t {
    PAREN_ACCIDENTAL_SHIFT = 0,
    PAREN_FONT = 1,
    PAREN_FONT_SIZE = 2,
    PAREN_TEXT_WITH_ACCIDENTAL = 3,
    PAREN_TEXT_WITHOUT_ACCIDENTAL = 4,
    PAREN_SHIFT_WITH_ACCIDENTAL = 5,
    PAREN_SHIFT_WITHOUT_ACCIDENTAL = 6,
    PAREN_VERTICAL_SHIFT = 7,
    PAREN_ROW_COUNT = 8
};

/// Options of Trill Notes, by row.
enum TrillNotesRow : size_t {
    TRILL_NOTES_DURATION = 0,  ///< the grace notes' written value (4 = a quarter)
    TRILL_NOTES_SHIFT = 1,     ///< horizontal note shift (EVPU)
    TRILL_NOTES_DOTTED_SHIFT = 2
};

/// Writes the first word of one stem record of the entry ('dtSU' or 'dtsl'): a stored record
/// (when the entry has stem records) is read first; unless `force` is set, a record whose first
/// word is set already is left alone. Sets the entry's stem-records flag when it writes.
void SetStemRecord(hostapi::Tag tag, hostapi::EntryView entry, int16_t value, bool force);
/// The up-stem record when the stem is up or `both`, the down-stem record when it is down or
/// `both`.
void SetStemRecords(hostapi::EntryView entry, int16_t value, bool both, bool force);

/// Puts parentheses around note `noteIndex` of the entry: shifts its accidental, attaches the
/// parentheses text expression (found or created in the parentheses font) to the entry and marks
/// the entry. Lengths are scaled by percent / 50, the font size by sizePercent / 100. False, with
/// nothing written, when the note is not in the entry, the options are short or the text
/// expression can be neither found nor made.
bool WriteEntryAttachedRecords(hostapi::EntryView entry, std::span<const OptionElement> parentheses, int32_t percent,
                               int32_t noteIndex, int32_t sizePercent);

/// Prepares a trill grace note in front of `following`: its shift (trill rows 1 and 2 of the
/// context), both stem records 0, its notes' playback records, the playback flags and, in command
/// group 1, parentheses around its first note. In group 2 (repair) a grace note whose up-stem
/// record is set already is left alone. Answers whether it changed the grace note.
bool ApplyEntryDetailSet(hostapi::EntryView grace, hostapi::ConstEntryView following, const TFMisc& context,
                         std::span<const OptionElement> parentheses, int32_t group);

}  // namespace orvex
