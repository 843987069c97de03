#include "core/host/text_format.h"

namespace orvex {

std::string FormatText(std::string_view pattern, TextArguments arguments) {
    std::string result;
    result.reserve(pattern.size());
    for (size_t i = 0; i < pattern.size(); ++i) {
        const bool place =
            pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9';
        const auto index = place ? static_cast<size_t>(pattern[i + 1] - '1') : 0;
        if (place && index < arguments.size()) {
            result += *(arguments.begin() + index);
            ++i;
        } else {
            result += pattern[i];
        }
    }
    return result;
}

FilledText FormatTexts(const BilingualText& texts, TextArguments arguments) {
    return {FormatText(texts.english, arguments), FormatText(texts.german, arguments)};
}

}  // namespace orvex
