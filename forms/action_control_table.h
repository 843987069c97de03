// The action control table: the option rows of every tool item, from which the action options
// dialog is built, and its companion tables.
//
// Each of the 82 tool items has up to 21 rows; row i of an item is element i of the tool's value
// list. A row's minimum field either is the lower limit of a number or a marker that chooses the
// control; its kind field chooses the layout (frame, inline table column, unit edit, ...).
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "core/commands.h"
#include "core/option_element.h"

namespace orvex {

inline constexpr int32_t kActionRowsPerItem = static_cast<int32_t>(kOptionRows);
/// The tool item of the general options, whose rows come from kGeneralOptionRows.

// ---- Marker values of the minimum field ----
// A row with a marker takes no range check.
inline constexpr int32_t MIN_COLUMN_RADIO = -98765432;      ///< radio group in a column beside the rows
inline constexpr int32_t MIN_INLINE_RADIO = -98765000;      ///< radio group on its own line, items in a row
inline constexpr int32_t MIN_EXPRESSION_LIST = -87965421;   ///< multi-select list of text expressions
inline constexpr int32_t MIN_MEASURE_LIST = -87965423;      ///< result list of measures, filled by the tool
inline constexpr int32_t MIN_GROUP_LIST = -87654321;        ///< multi-select list of staff groups
inline constexpr int32_t MIN_STAFF_LIST = -76543210;        ///< multi-select list of staves
inline constexpr int32_t MIN_FONT_LIST = -89765432;         ///< list of the document's fonts
inline constexpr int32_t MIN_FILE_LIST = -88976543;         ///< directory list plus file list ("*.MUS")
inline constexpr int32_t MIN_STAFF_COLUMN = -45678901;      ///< first inline-table column: one line per staff
inline constexpr int32_t MIN_PITCH = -54567890;             ///< pitch edit ("C4"); value = pitch number
inline constexpr int32_t MIN_FIXED_WIDTH_TEXT = -23456789;  ///< fixed-width text edit, three times as wide
inline constexpr int32_t MIN_WIDE_TEXT = -34567890;         ///< text edit, three times as wide
/// No meaning of its own: the row is built as its other fields say.
inline constexpr int32_t MIN_UNMARKED = -12345678;

// ---- Kind codes ----
inline constexpr int32_t KIND_ORDINARY = 0;  ///< for a column radio group: placement entry 0
inline constexpr int32_t KIND_NO_FRAME = -1;
inline constexpr int32_t KIND_FRAME_FIRST = -2;  ///< a frame around -kind rows, -2 to -99
inline constexpr int32_t KIND_FRAME_LAST = -99;
inline constexpr int32_t KIND_INLINE_FIRST = -1000;  ///< inline table column, header -kind - 1000 letters wide
inline constexpr int32_t KIND_INLINE_LAST = -1100;
inline constexpr int32_t KIND_NORMAL_WIDTH_TEXT = -12345678;  ///< text edit of normal width
inline constexpr int32_t KIND_UNIT = -55557890;               ///< number in the host's measurement unit (EVPU)
inline constexpr int32_t KIND_FILE_NAME = -55555890;          ///< file name edit; double-click browses

constexpr bool IsFrameKind(int32_t kind) {
    return kind <= KIND_FRAME_FIRST && kind >= KIND_FRAME_LAST;
}
/// The number of rows a frame kind encloses, beginning with its own row.
constexpr int32_t FrameRowCount(int32_t kind) {
    return IsFrameKind(kind) ? -kind : 0;
}
constexpr bool IsInlineKind(int32_t kind) {
    return kind <= KIND_INLINE_FIRST && kind >= KIND_INLINE_LAST;
}
/// The width of an inline column's header, in letters "o".
constexpr int32_t InlineHeaderLetters(int32_t kind) {
    return IsInlineKind(kind) ? -kind - 1000 : 0;
}

constexpr bool IsRadioMarker(int32_t minimum) {
    return minimum == MIN_COLUMN_RADIO || minimum == MIN_INLINE_RADIO;
}
constexpr bool IsListMarker(int32_t minimum) {
    return minimum == MIN_EXPRESSION_LIST || minimum == MIN_MEASURE_LIST || minimum == MIN_GROUP_LIST ||
           minimum == MIN_STAFF_LIST || minimum == MIN_FONT_LIST || minimum == MIN_FILE_LIST;
}
constexpr bool IsMinimumMarker(int32_t minimum) {
    return IsRadioMarker(minimum) || IsListMarker(minimum) || minimum == MIN_STAFF_COLUMN || minimum == MIN_PITCH ||
           minimum == MIN_FIXED_WIDTH_TEXT || minimum == MIN_WIDE_TEXT || minimum == MIN_UNMARKED;
}

/// One option row.
struct ActionControlRow {
    const char* englishCaption = nullptr;  ///< null ends the item's rows; "\n" separates header lines
    const char* germanCaption = nullptr;   ///< used when LanguageIndex is 1
    int32_t minimum = 0;                   ///< lower limit of a number, or a marker
    int32_t maximum = 0;                   ///< upper limit; for radio groups the item count for the height
    int32_t value1 = 0;                    ///< current value of option set 1; the loaded value is the default
    int32_t value2 = 0;                    ///< current value of option set 2
    uint8_t hasText = 0;                   ///< 1: the option is a text, its value is `text`
    const char* text = "";                 ///< initial text of a text option
    uint8_t checkBox = 0;                  ///< 1: a check box; the dialog builder sets it for limits 0..1
    uint8_t readOnly = 0;                  ///< 1: the edit is read-only
    int32_t kind = KIND_ORDINARY;          ///< layout kind; for a column radio group its placement entry

    const char* Caption(int32_t language) const { return language == 1 ? germanCaption : englishCaption; }
    /// The value field of an option set: set 2 uses its own field, every other set the first.
    int32_t Value(int32_t optionSet) const { return optionSet == 2 ? value2 : value1; }
    void SetValue(int32_t optionSet, int32_t value) { (optionSet == 2 ? value2 : value1) = value; }
    /// Whether the row shows as a check box: its flag is set, or its limits are 0 and 1.
    bool IsCheckBox() const { return checkBox != 0 || (minimum == 0 && maximum == 1); }
};

using ActionItemRows = std::array<ActionControlRow, static_cast<size_t>(kActionRowsPerItem)>;
using ActionControlTableData = std::array<ActionItemRows, static_cast<size_t>(kToolItemCount)>;

/// The table as the module loads it.
extern const ActionControlTableData kActionControlTableData;
/// The run-time table (the module's state, made from the loaded data): the dialog builder sets
/// check-box flags in it, and value fields are overwritten and restored around a run.
ActionControlTableData& ActionControlTable();

/// The number of rows of a tool item: the rows before the first null English caption.
int32_t ActionRowCount(int32_t item);
/// The rows of a tool item in the run-time table.
std::span<ActionControlRow> ActionRows(int32_t item);
/// The caption of a row in the current language (LanguageIndex); null at and after the end of
/// the item's rows.
const char* ActionRowCaption(int32_t item, int32_t row);
/// What the label of a row shows of its caption: the last line, with a colon unless it ends in
/// ":" or "?" (an empty caption stays empty). The lines before it are headings above the row.
std::string RowLabelText(std::string_view caption);

// ---- Companion tables ----

/// Placement of a radio group in a column of its own; a column group's kind selects the entry.
struct RadioPlacement {
    int32_t leftPercent;
    int32_t widthPercent;
    int32_t anchorRow;  ///< the group's top is the caption top of this row
    int32_t heightFactorPercent;
    int32_t columnStretchPercent;
};
extern const std::array<RadioPlacement, 2> RadioPlacementTable;

/// Visibility of each row: 0 = always visible; otherwise up to two conditions coded in one entry
/// (see DecodeVisibility).
using VisibilityRows = std::array<int16_t, static_cast<size_t>(kActionRowsPerItem)>;
extern const std::array<VisibilityRows, static_cast<size_t>(kToolItemCount)> OptionVisibilityTable;

/// The two conditions of a visibility entry. A condition +k holds when the check box of row k - 1
/// is checked, -k when it is not; 0 is no condition. The row is visible when both hold.
struct VisibilityConditions {
    int32_t first;
    int32_t second;
};
VisibilityConditions DecodeVisibility(int16_t entry);
/// Whether the dialog applies a row's visibility entry: the entries of the Rests item's rows 4
/// and 5 stay in the table, but the dialog shows those rows always. Entries whose conditions
/// name no check box of the item are ignored where they are tested.
bool VisibilityApplies(int32_t item, int32_t row);

/// 1 for an item whose check boxes count as checked for the visibility test only when at least
/// two rows with a positive visibility entry have their check box checked.
extern const std::array<uint8_t, static_cast<size_t>(kToolItemCount)> PairedCriteriaFlags;

/// A non-null entry makes the dialog's first or second extra button visible.
extern const std::array<const char*, static_cast<size_t>(kToolItemCount)> FirstExtraButtonText;
extern const std::array<const char*, static_cast<size_t>(kToolItemCount)> SecondExtraButtonText;

/// The default height of list controls, used when the general option is out of range.
inline constexpr int32_t kDefaultListHeight = 205;
/// The height of list controls for the value of the general option "Default height for selection
/// lists (pixels):"; a value outside 100..1000 counts as the default.
int32_t ListControlHeight(int32_t optionValue);

}  // namespace orvex
