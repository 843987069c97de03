// A text in the two languages of the host's menus.
#pragma once

#include <cstdint>
#include <string_view>

namespace orvex {

struct BilingualText {
    std::string_view english;
    std::string_view german;
    std::string_view In(int32_t language) const { return language == 1 ? german : english; }
};

}  // namespace orvex
