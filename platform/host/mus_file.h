// Document files (".MUS"): a text format of the simulated host that keeps every stored record
// and every font of a document losslessly, one a line and sorted, so that two files diff well.
// The format is described in docs/mus-format.md.
#pragma once

#include <filesystem>
#include <iosfwd>
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

/// A document file that cannot be read or written. Reading names the line: "line 12: ...", and
/// Line() and Column() (from 1; 0 when the fault is not in one line) point at the line's first word.
class DocumentFileError : public std::runtime_error {
public:
    explicit DocumentFileError(const std::string& what) : std::runtime_error(what), m_detail(what) {}
    DocumentFileError(const std::string& detail, size_t line, size_t column)
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

/// The bytes in groups of two, each group after a blank: " 0102 0304 05".
void WriteHexGroups(std::ostream& out, const uint8_t* bytes, size_t size);
/// A record's line: "record TAG FAMILY KEYS... hex SIZE DIGITS..." or "... text "TEXT"" for a
/// record that holds a text.
void WriteRecordLine(std::ostream& out, const RecordKey& key, const Bytes& bytes);

/// Writes the text of the document file of a document to a stream, line by line.
void WriteMusText(const Document& document, std::ostream& out);
/// The text of the document file of a document.
std::string MusText(const Document& document);

/// A document from the text of a document file, named `name`. The whole text is checked
/// before the document exists: a damaged or truncated text throws DocumentFileError and
/// gives nothing.
std::unique_ptr<Document> ParseMusText(std::string_view text, std::string name);

/// Reads a document file line by line (the file is never held whole); the document is named
/// after the file without its extension and remembers its path.
std::unique_ptr<Document> ReadMusFile(const std::filesystem::path& path);

/// Writes a document file, streamed line by line, through a temporary file beside it, so that
/// a failed write leaves an existing file as it was. Throws DocumentFileError with the system's
/// reason.
void WriteMusFile(const Document& document, const std::filesystem::path& path);

}  // namespace host
