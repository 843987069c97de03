// Score texts: readable music in a UTF-8 text file, one statement a line, turned into a
// document through the score builder. The format is described in docs/score-format.md.
#pragma once

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/host/document.h"

namespace host {

/// A score text that cannot be read; the message names the line: "line 4: ...". Line and column
/// (from 1; 0 when the fault is not in one line, as for a file that cannot be read) point at the
/// word that is wrong, or at the statement.
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

private:
    std::string m_detail;
    size_t m_line = 0;
    size_t m_column = 0;
};

class ScoreBuilder;

/// Reads one line of a score text into a builder, as ParseScoreText reads each line (a blank
/// line and a comment do nothing); throws ScoreTextError naming `lineNumber`.
void ReadScoreStatement(ScoreBuilder& builder, std::string_view line, size_t lineNumber);

/// The document of a score text, named `name`.
std::unique_ptr<Document> ParseScoreText(std::string_view text, std::string name);

/// Reads a score text file; the document is named after the file without its extension.
std::unique_ptr<Document> ReadScoreFile(const std::filesystem::path& path);

}  // namespace host
