// What every fuzz target shares: a broken promise of a reader stops the run with the input kept
// (libFuzzer writes it as a crash file), and the input as text.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace fuzzsupport {

/// Stops the run: the reader broke one of its promises on this input.
[[noreturn]] inline void Fail(const std::string& what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
    std::abort();
}

inline void Check(bool holds, const std::string& what) {
    if (!holds) {
        Fail(what);
    }
}

inline std::string_view Text(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

/// Cuts a number from 1 on off the front of the text; false when there is none.
inline bool CutNumber(std::string_view& text) {
    size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
        ++digits;
    }
    if (digits == 0 || text[0] == '0') {
        return false;
    }
    text.remove_prefix(digits);
    return true;
}

/// Whether a reader's message names a line: it begins with the prefix and a line number from 1
/// ("line 4: ..."), or a line and a column ("NAME:4:7: ...").
inline bool NamesALine(std::string_view message, std::string_view prefix = "line ") {
    if (!message.starts_with(prefix)) {
        return false;
    }
    message.remove_prefix(prefix.size());
    if (!CutNumber(message)) {
        return false;
    }
    if (message.starts_with(":") && !message.starts_with(": ")) {
        message.remove_prefix(1);
        if (!CutNumber(message)) {
            return false;
        }
    }
    return message.starts_with(": ");
}

}  // namespace fuzzsupport
