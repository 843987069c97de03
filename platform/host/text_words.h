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
    size_t column = 0;  ///< where the word begins in its line: characters from 1, a quoted word at its quote (0 when
                        ///< not read from a line)
};

/// A line whose words cannot be read (an open quote, a bad escape).
class WordError : public std::runtime_error {
public:
    WordError(const std::string& what, size_t column) : std::runtime_error(what), m_column(column) {}
    /// The column of the word that cannot be read.
    size_t Column() const { return m_column; }

private:
    size_t m_column;
};

/// The column (characters from 1; a UTF-8 character counts once) of byte `offset` of a line.
size_t ColumnOf(std::string_view line, size_t offset);

/// The words of a line; throws WordError.
std::vector<Word> SplitWords(std::string_view line);

/// A quoted word holding exactly these bytes: printable ASCII as it is, '"' and '\' escaped,
/// every other byte as \xNN, so that the line stays ASCII and reads back the same.
std::string QuoteBytes(std::string_view bytes);

/// The lines of a text; a CR before the line end is dropped.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace host
