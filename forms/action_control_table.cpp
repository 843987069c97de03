// The run-time action control table and its companion tables.
#include "forms/action_control_table.h"

#include <initializer_list>
#include <stdexcept>
#include <string>

#include "core/run_environment.h"
#include "core/startup.h"

namespace orvex {
namespace {

/// A run of rows of one item that share a visibility entry.
struct VisibilitySpan {
    int32_t item;
    int32_t firstRow;
    int32_t lastRow;
    int16_t entry;
};

constexpr std::array<VisibilityRows, static_cast<size_t>(kToolItemCount)> Visibility(
    std::initializer_list<VisibilitySpan> spans) {
    std::array<VisibilityRows, static_cast<size_t>(kToolItemCount)> table{};
    for (const VisibilitySpan& span : spans) {
        for (int32_t row = span.firstRow; row <= span.lastRow; ++row) {
            table[static_cast<size_t>(span.item)][static_cast<size_t>(row)] = span.entry;
        }
    }
    return table;
}

template <typename T>
constexpr std::array<T, static_cast<size_t>(kToolItemCount)> OnlyItem(int32_t item, T value) {
    std::array<T, static_cast<size_t>(kToolItemCount)> table{};
    table[static_cast<size_t>(item)] = value;
    return table;
}

void CheckItem(int32_t item) {
    if (item < 0 || item >= kToolItemCount) {
        throw std::logic_error("action control table: no tool item " + std::to_string(item));
    }
}

}  // namespace

// clang-format off
const std::array<RadioPlacement, 2> RadioPlacementTable = {{
    {0, 60, 0, -20, 300},
    {0, 100, 0, 0, 100},
}};

// Entries {item, first row, last row, entry}. An entry of k makes the row depend on the check box
// of row k - 1; 100 * b + a codes two conditions (for example 906: rows 5 and 8 checked).
const std::array<VisibilityRows, static_cast<size_t>(kToolItemCount)> OptionVisibilityTable = Visibility({
    // Item 1 {row 6: 6}: row 5 is a number, not a check box; the dialog ignores the condition.
    {1, 6, 6, 6},
    {8, 2, 6, 2}, {8, 8, 12, 8}, {8, 14, 14, 14},
    {9, 1, 1, 1}, {9, 3, 3, 3}, {9, 5, 5, 5},
    {14, 0, 0, 7}, {14, 3, 5, -7}, {14, 7, 8, 7},
    {15, 2, 8, 2},
    // Item 17 {rows 2-9: 2, row 10: 10}: row 1 is a number and the item has no rows 9 and 10; the
    // dialog ignores the conditions, so its rows 2 to 8 show.
    {17, 2, 9, 2}, {17, 10, 10, 10},
    {31, 2, 2, 2}, {31, 6, 6, -6}, {31, 17, 17, 17},
    {34, 1, 2, -1},
    {41, 4, 4, 4},
    {46, 2, 3, -2}, {46, 5, 6, -5},
    {47, 2, 2, 2}, {47, 4, 4, 4},
    {48, 2, 2, 2},
    {55, 10, 11, 10},
    {66, 4, 5, 4},  // not applied: the Rests dialog shows all six rows (see VisibilityApplies)
    {67, 1, 2, 100}, {67, 3, 5, 97}, {67, 6, 6, 103}, {67, 8, 10, 8}, {67, 12, 16, 12},
    {72, 1, 2, 1}, {72, 3, 3, 103}, {72, 4, 4, 104}, {72, 5, 6, 1},
    {75, 2, 2, 2}, {75, 3, 3, -2}, {75, 6, 8, 6}, {75, 9, 9, 906}, {75, 10, 15, 6},
    // Item 80 {rows 1-5: -1}: the item has no rows.
    {80, 1, 5, -1},
});
// clang-format on

const std::array<uint8_t, static_cast<size_t>(kToolItemCount)> PairedCriteriaFlags = OnlyItem<uint8_t>(9, 1);

const std::array<const char*, static_cast<size_t>(kToolItemCount)> FirstExtraButtonText =
    OnlyItem<const char*>(67, "Remove these effects from selection");
const std::array<const char*, static_cast<size_t>(kToolItemCount)> SecondExtraButtonText =
    OnlyItem<const char*>(67, "Play");

bool VisibilityApplies(int32_t item, int32_t row) {
    // The Rests dialog shows "Allow ties" and "Simplify rhythm" (rows 4 and 5) beside the row they
    // refine, as the tool lists its six options, whether that row is checked or not.
    return !(IsItem(item, ToolItem::Rests) && (row == 4 || row == 5));
}

int32_t ActionRowCount(int32_t item) {
    CheckItem(item);
    const ActionItemRows& rows = ActionControlTable()[static_cast<size_t>(item)];
    int32_t count = 0;
    while (count < kActionRowsPerItem && rows[static_cast<size_t>(count)].englishCaption != nullptr) {
        ++count;
    }
    return count;
}

std::span<ActionControlRow> ActionRows(int32_t item) {
    const int32_t count = ActionRowCount(item);
    return std::span<ActionControlRow>(ActionControlTable()[static_cast<size_t>(item)])
        .first(static_cast<size_t>(count));
}

const char* ActionRowCaption(int32_t item, int32_t row) {
    CheckItem(item);
    if (row < 0 || row >= kActionRowsPerItem) {
        throw std::logic_error("action control table: no row " + std::to_string(row));
    }
    return ActionControlTable()[static_cast<size_t>(item)][static_cast<size_t>(row)].Caption(
        DispatcherEnvironment().Language());
}

std::string RowLabelText(std::string_view caption) {
    std::string text(caption.substr(caption.rfind('\n') == std::string_view::npos ? 0 : caption.rfind('\n') + 1));
    if (!text.empty() && !text.ends_with(":") && !text.ends_with("?")) {
        text += ":";
    }
    return text;
}

VisibilityConditions DecodeVisibility(int16_t entry) {
    const int32_t value = entry;
    int32_t second = 0;
    if (value >= 50) {
        second = (value + 49) / 100;
    } else if (value <= -50) {
        second = (value - 49) / 100;
    }
    return {value - 100 * second, second};
}

int32_t ListControlHeight(int32_t optionValue) {
    return optionValue < 100 || optionValue > 1000 ? kDefaultListHeight : optionValue;
}

}  // namespace orvex
