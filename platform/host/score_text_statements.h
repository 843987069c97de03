// Reading the statements of a score text: the words of one statement (Arguments), its mistakes
// (StatementError) and the readers of the statements about single entries, which
// score_text_entries.cpp defines; the table of statements is in score_text.cpp.
#pragma once

#include <charconv>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host/score_builder.h"
#include "platform/host/text_words.h"
#include "platform/hostapi/types.h"

namespace host::scoretext {

/// A mistake in one statement at a column of its line; the reader adds the line number.
class StatementError : public std::runtime_error {
public:
    StatementError(const std::string& what, size_t column = 0) : std::runtime_error(what), m_column(column) {}
    size_t Column() const { return m_column; }

private:
    size_t m_column;
};

/// The words of one statement after its keyword, read in order. A mistake names the column of
/// the word read last (of a word given, when it has one), or the end of the line for a word
/// that is missing.
class Arguments {
public:
    Arguments(std::vector<Word> words, std::string_view keyword, std::string_view usage, size_t keywordColumn,
              size_t endColumn)
        : m_words(std::move(words)),
          m_keyword(keyword),
          m_usage(usage),
          m_column(keywordColumn),
          m_endColumn(endColumn) {}

    [[noreturn]] void Fail(const std::string& what) const { FailAt(m_column, what); }
    [[noreturn]] void FailAt(size_t column, const std::string& what) const {
        throw StatementError(std::string(m_keyword) + ": " + what + " (" + std::string(m_usage) + ")", column);
    }
    /// A mistake about something missing at the end of the line.
    [[noreturn]] void FailMissing(const std::string& what) const { FailAt(m_endColumn, what); }
    [[noreturn]] void FailAt(const Word& word, const std::string& what) const {
        FailAt(word.column != 0 ? word.column : m_column, what);
    }

    bool Done() const { return m_next >= m_words.size(); }
    /// The next word without taking it; nullptr when there is none.
    const Word* Peek() const { return Done() ? nullptr : &m_words[m_next]; }

    /// The next word as a whole number in [minimum, maximum].
    int32_t Number(std::string_view what, int32_t minimum, int32_t maximum) {
        return ToNumber(Next(what), what, minimum, maximum);
    }

    /// A whole number, decimal or hexadecimal with "0x".
    int32_t ToNumber(const Word& word, std::string_view what, int32_t minimum, int32_t maximum) const {
        int64_t value = 0;
        const bool hex = word.text.size() > 2 && word.text[0] == '0' && (word.text[1] == 'x' || word.text[1] == 'X');
        const bool negative = !hex && !word.text.empty() && word.text[0] == '-';
        const char* begin = word.text.data() + (hex ? 2 : 0);
        const char* end = word.text.data() + word.text.size();
        const auto [ptr, error] = std::from_chars(begin, end, value, hex ? 16 : 10);
        if (word.quoted || word.text.empty() || error != std::errc() || ptr != end || (hex && negative)) {
            FailAt(word, std::string(what) + " \"" + word.text + "\" is not a number");
        }
        if (value < minimum || value > maximum) {
            FailAt(word, std::string(what) + " " + word.text + " is not between " + std::to_string(minimum) + " and " +
                             std::to_string(maximum));
        }
        return static_cast<int32_t>(value);
    }

    /// The next word, which must be a text in quotes.
    std::string Text(std::string_view what) {
        const Word& word = Next(what);
        if (!word.quoted) {
            Fail(std::string(what) + " is a text in double quotes, not " + word.text);
        }
        return word.text;
    }

    /// The next word when it is a text in quotes; "" when there is none.
    std::string OptionalText(std::string_view what) { return Done() ? std::string() : Text(what); }

    /// The next plain word (an option name or value).
    const Word& Next(std::string_view what) {
        if (Done()) {
            FailAt(m_endColumn, std::string(what) + " is missing");
        }
        m_column = m_words[m_next].column != 0 ? m_words[m_next].column : m_column;
        return m_words[m_next++];
    }

    void ExpectEnd() {
        if (!Done()) {
            const Word& extra = Next("a word");
            Fail("\"" + extra.text + "\" is one word too many");
        }
    }

private:
    std::vector<Word> m_words;
    size_t m_next = 0;
    std::string_view m_keyword;
    std::string_view m_usage;
    size_t m_column;     ///< of the word read last
    size_t m_endColumn;  ///< just behind the line's last word
};

/// A part of a word (a number in "3:2") as a word of its own at its column.
inline Word PartOf(const Word& word, size_t offset, size_t length = std::string::npos) {
    return Word{word.text.substr(offset, length), false, word.column == 0 ? 0 : word.column + offset};
}

/// The entry a line names: STAFF MEASURE:ENTRY (the entry counted from 1 in its cell).
struct EntryPlace {
    hostapi::InstrumentKey staff;
    hostapi::MeasureNumber measure;
    int32_t entry;
};
EntryPlace ReadEntryPlace(Arguments& args);

/// The rest of the statement as hexadecimal digits in groups, as a document file writes a record:
/// "0100 0000 05"; none at all only when `allowEmpty`.
Bytes ReadHexBytes(Arguments& args, bool allowEmpty = false);

/// entry STAFF MEASURE:ENTRY [layer 1-4] [offset H] [+NAME|-NAME]...
void ReadEntry(Arguments& args, ScoreBuilder& builder);
void ReadTuplet(Arguments& args, ScoreBuilder& builder);
void ReadEntryRecord(Arguments& args, ScoreBuilder& builder);
void ReadArticulation(Arguments& args, ScoreBuilder& builder);
void ReadNoteArticulation(Arguments& args, ScoreBuilder& builder);
void ReadNotePlayback(Arguments& args, ScoreBuilder& builder);
void ReadLayerSettings(Arguments& args, ScoreBuilder& builder);
void ReadMidi(Arguments& args, ScoreBuilder& builder);

// The exact statements (score_text_exact.cpp): what a written score text says of a document that
// the statements above cannot say.

/// record TAG FAMILY KEY... hex SIZE DIGITS... | text "TEXT" | none
void ReadExactRecord(Arguments& args, ScoreBuilder& builder);
/// entrybytes STAFF MEASURE:ENTRY [layer 1-4] [at OFFSET] hex SIZE DIGITS...
void ReadEntryBytes(Arguments& args, ScoreBuilder& builder);
/// cellentries STAFF MEASURE [layer 1-4] COUNT
void ReadCellEntries(Arguments& args, ScoreBuilder& builder);

}  // namespace host::scoretext
