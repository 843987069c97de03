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

/// A score text that cannot be read; the message names the line and the column of the mistake:
/// "line 4, column 12: ...".
class ScoreTextError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// The document of a score text, named `name`.
std::unique_ptr<Document> ParseScoreText(std::string_view text, std::string name);

/// Reads a score text file; the document is named after the file without its extension.
std::unique_ptr<Document> ReadScoreFile(const std::filesystem::path& path);

}  // namespace host
