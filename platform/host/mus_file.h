// Document files (".MUS"): a text format of the simulated host that keeps every stored record
// and every font of a document losslessly, one a line and sorted, so that two files diff well.
// The format is described in docs/mus-format.md.
#pragma once

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/host/document.h"

namespace host {

/// The extension of document files.
inline constexpr const char* kDocumentExtension = ".MUS";
/// The format version this host writes and reads.
inline constexpr int kMusFormatVersion = 1;

/// A document file that cannot be read or written. Reading names the line: "line 12: ...".
class DocumentFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// The text of the document file of a document.
std::string MusText(const Document& document);

/// A document from the text of a document file, named `name`. The whole text is checked
/// before the document exists: a damaged or truncated text throws DocumentFileError and
/// gives nothing.
std::unique_ptr<Document> ParseMusText(std::string_view text, std::string name);

/// Reads a document file; the document is named after the file and remembers its path.
std::unique_ptr<Document> ReadMusFile(const std::filesystem::path& path);

/// Writes a document file through a temporary file beside it, so that a failed write leaves
/// an existing file as it was. Throws DocumentFileError with the system's reason.
void WriteMusFile(const Document& document, const std::filesystem::path& path);

}  // namespace host
