// Option values as the tools receive them: element i of an option array carries option row i
// of a tool, as a number and, for text rows, a text.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <type_traits>

namespace orvex {

struct OptionElement {
    std::string text;
    int32_t value = 0;
};

inline constexpr size_t kOptionRows = 21;
inline constexpr size_t kExtendedOptionRows = 42;

using OptionArray = std::array<OptionElement, kOptionRows>;
using ExtendedOptionArray = std::array<OptionElement, kExtendedOptionRows>;

/// The one reader of option rows: a row is named by its tool's row enumerator (never by a bare
/// number), in the option array the tool receives (Options, MoreOptions).
template <typename Row>
concept OptionRowName = std::is_enum_v<Row>;

template <size_t N, OptionRowName Row>
const OptionElement& OptionRow(const std::array<OptionElement, N>& rows, Row row) {
    return rows[static_cast<size_t>(row)];
}
/// Row `offset` of a run of rows of one kind that begins with row `first`.
template <size_t N, OptionRowName Row>
const OptionElement& OptionRow(const std::array<OptionElement, N>& rows, Row first, size_t offset) {
    return rows[static_cast<size_t>(first) + offset];
}
template <size_t N, OptionRowName Row>
int32_t RowValue(const std::array<OptionElement, N>& rows, Row first, size_t offset) {
    return OptionRow(rows, first, offset).value;
}
template <size_t N, OptionRowName Row>
bool RowOn(const std::array<OptionElement, N>& rows, Row first, size_t offset) {
    return OptionRow(rows, first, offset).value != 0;
}
template <size_t N, OptionRowName Row>
const std::string& RowText(const std::array<OptionElement, N>& rows, Row first, size_t offset) {
    return OptionRow(rows, first, offset).text;
}
/// The row's number.
template <size_t N, OptionRowName Row>
int32_t RowValue(const std::array<OptionElement, N>& rows, Row row) {
    return OptionRow(rows, row).value;
}
/// Whether the row's box is ticked (its number is not 0).
template <size_t N, OptionRowName Row>
bool RowOn(const std::array<OptionElement, N>& rows, Row row) {
    return OptionRow(rows, row).value != 0;
}
/// The row's text.
template <size_t N, OptionRowName Row>
const std::string& RowText(const std::array<OptionElement, N>& rows, Row row) {
    return OptionRow(rows, row).text;
}

}  // namespace orvex
