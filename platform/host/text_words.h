// Words of a line, as the host's text formats (document files, score texts) write them: words
// are separated by blanks or tabs; a word in double quotes may hold blanks and these escapes:
// \" (quote), \\ (backslash), \xNN (the byte NN, two hexadecimal digits).
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace host {

struct Word {
    std::string text;  ///< the word's bytes, escapes resolved
    bool quoted = false;
    size_t column = 0;  ///< where the word begins in its line, from 1 (its quote for a quoted word)
};

/// A line whose words cannot be read (an open quote, a bad escape).
class WordError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// The words of a line; throws WordError.
std::vector<Word> SplitWords(std::string_view line);

/// A quoted word holding exactly these bytes: printable ASCII as it is, '"' and '\' escaped,
/// every other byte as \xNN, so that the line stays ASCII and reads back the same.
std::string QuoteBytes(std::string_view bytes);

/// The lines of a text; a CR before the line end is dropped.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace host
