#include "apps/hostsim/script_arguments.h"

#include <climits>
#include <stdexcept>

namespace hostsim {

int64_t ParseNumber(const std::string& text, int64_t minimum, int64_t maximum, const std::string& what, int argument) {
    long long value = 0;
    try {
        size_t used = 0;
        value = std::stoll(text, &used, 0);
        if (used != text.size()) {
            throw ScriptError(what + " \"" + text + "\" is not a number", argument);
        }
    } catch (const std::out_of_range&) {
        value = text.starts_with('-') ? LLONG_MIN : LLONG_MAX;
    } catch (const std::invalid_argument&) {
        throw ScriptError(what + " \"" + text + "\" is not a number", argument);
    }
    if (value < minimum || value > maximum) {
        throw ScriptError(
            what + " " + text + " is out of range (" + std::to_string(minimum) + " to " + std::to_string(maximum) + ")",
            argument);
    }
    return value;
}

host::NumberRange ParseRange(const std::string& text, const std::string& what, int argument) {
    const size_t dash = text.find('-', 1);
    const std::string firstText = text.substr(0, dash);
    const std::string lastText = dash == std::string::npos ? firstText : text.substr(dash + 1);
    const auto first = static_cast<int32_t>(ParseNumber(firstText, 1, INT16_MAX, "the first of the " + what, argument));
    const auto last = static_cast<int32_t>(ParseNumber(lastText, 1, INT16_MAX, "the last of the " + what, argument));
    if (last < first) {
        throw ScriptError("not a range of " + what + ": " + text + " (N or N-M, from 1 to 32767, N up to M)", argument);
    }
    return {first, last};
}

void ExpectArguments(const std::vector<std::string>& arguments, size_t minimum, size_t maximum,
                     const std::string& usage) {
    if (arguments.size() < minimum) {
        throw ScriptError("an argument is missing (usage: " + usage + ")", static_cast<int>(arguments.size()));
    }
    if (arguments.size() > maximum) {
        throw ScriptError("\"" + arguments[maximum] + "\" is one argument too many (usage: " + usage + ")",
                          static_cast<int>(maximum));
    }
}

}  // namespace hostsim
