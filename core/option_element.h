// Option values as the tools receive them: element i of an option array carries option row i
// of a tool, as a number and, for text rows, a text.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace orvex {

struct OptionElement {
    std::string text;
    int32_t value = 0;
};

inline constexpr size_t kOptionRows = 21;
inline constexpr size_t kExtendedOptionRows = 42;

using OptionArray = std::array<OptionElement, kOptionRows>;
using ExtendedOptionArray = std::array<OptionElement, kExtendedOptionRows>;

}  // namespace orvex
