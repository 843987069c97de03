// Score texts: readable music in a UTF-8 text file, one statement a line, turned into a
// document through the score builder. The format is described in docs/score-format.md.
#pragma once

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/host/document.h"

namespace host {

/// A mistake or a warning of a score text: the message without the line, and the line and column
/// (from 1) of the word that is wrong, or of the statement.
struct ScoreTextNote {
    std::string detail;
    size_t line = 0;
    size_t column = 0;
};

/// A score text that cannot be read; the message names the line of its first mistake: "line 4:
/// ...". Line and column (from 1; 0 when the fault is not in one line, as for a file that cannot
/// be read) point at the word that is wrong, or at the statement. The reader reads on after a
/// mistake: More() holds the mistakes after the first.
class ScoreTextError : public std::runtime_error {
public:
    explicit ScoreTextError(const std::string& what) : std::runtime_error(what), m_detail(what) {}
    ScoreTextError(const std::string& detail, size_t line, size_t column)
        : std::runtime_error("line " + std::to_string(line) + ": " + detail),
          m_detail(detail),
          m_line(line),
          m_column(column) {}

    /// The message without the line.
    const std::string& Detail() const { return m_detail; }
    size_t Line() const { return m_line; }
    size_t Column() const { return m_column; }
    const std::vector<ScoreTextNote>& More() const { return m_more; }
    void SetMore(std::vector<ScoreTextNote> more) { m_more = std::move(more); }

private:
    std::vector<ScoreTextNote> m_more;
    std::string m_detail;
    size_t m_line = 0;
    size_t m_column = 0;
};

class ScoreBuilder;

/// Reads one line of a score text into a builder, as ParseScoreText reads each line (a blank
/// line and a comment do nothing); throws ScoreTextError naming `lineNumber`. What is allowed but
/// likely not meant (a measure its entries do not fill, as a bar check finds it) goes to
/// `warnings` when given.
void ReadScoreStatement(ScoreBuilder& builder, std::string_view line, size_t lineNumber,
                        std::vector<ScoreTextNote>* warnings = nullptr);

/// The document of a score text, named `name`. Every mistake is found: the error names the first
/// and holds the others. The warnings go to `warnings` when given.
std::unique_ptr<Document> ParseScoreText(std::string_view text, std::string name,
                                         std::vector<ScoreTextNote>* warnings = nullptr);

/// Reads a score text file; the document is named after the file without its extension. A file
/// that cannot be read says why: there is none (with the nearest names in its folder), it is a
/// folder, it may not be read.
std::unique_ptr<Document> ReadScoreFile(const std::filesystem::path& path,
                                        std::vector<ScoreTextNote>* warnings = nullptr);

}  // namespace host
