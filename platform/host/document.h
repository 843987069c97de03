// A document of the simulated host: its stored records and its font table. The host's services
// work on the document in front (host.h); the score builder, the document file and the
// readable listing work on a document directly.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "platform/host/record_store.h"

namespace host {

/// Font numbers to font names (the host's 8-bit text).
using FontTable = std::map<int16_t, std::string>;

class Document {
public:
    explicit Document(std::string name) : m_name(std::move(name)) {}

    /// The name the host shows in its window title: the file name, or the name it was built under.
    const std::string& Name() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }
    /// The file the document was read from or last written to; empty for a new document.
    const std::filesystem::path& Path() const { return m_path; }
    void SetPath(std::filesystem::path path) { m_path = std::move(path); }

    RecordStore& Records() { return m_records; }
    const RecordStore& Records() const { return m_records; }
    FontTable& Fonts() { return m_fonts; }
    const FontTable& Fonts() const { return m_fonts; }

    /// Creates a record by the store's rules, and then keeps the host's own rule: a created
    /// staff ('SOIS') is appended to the score's staff list (list 0), kStaffDistance below the
    /// last staff there (at 0 when the list is empty).
    std::optional<RecordKey> CreateRecord(const RecordKey& key, Bytes bytes);

    /// Same records and fonts; name and path are not content.
    bool SameContent(const Document& other) const { return m_records == other.m_records && m_fonts == other.m_fonts; }

private:
    std::string m_name;
    std::filesystem::path m_path;
    RecordStore m_records;
    FontTable m_fonts;
};

}  // namespace host
