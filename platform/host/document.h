// A document of the simulated host: its stored records, its font table and its music, the
// entries of every cell (staff, measure, layer). The host's services work on the document in
// front (host.h); the score builder, the document file and the readable listings work on a
// document directly.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/host/record_store.h"
#include "platform/hostapi/entry_array.h"

namespace host {

class UndoJournal;
struct UndoStep;

/// Font numbers to font names (the host's 8-bit text).
using FontTable = std::map<int16_t, std::string>;

/// One cell of the music: a staff in a measure, in one of four layers.
struct CellKey {
    hostapi::InstrumentKey staff = 0;
    hostapi::MeasureNumber measure = 0;
    hostapi::LayerIndex layer = 0;  ///< 0-3

    /// "staff 1, measure 2, layer 1": layers are counted from 1 where the user reads them.
    std::string Description() const;
    auto operator<=>(const CellKey&) const = default;
};

/// The bytes of one entry (platform/hostapi/entry_array.h gives the layout).
using EntryBytes = std::array<uint8_t, hostapi::EntryLayout::kSize>;
/// The entries of a cell in their order.
using CellEntries = std::vector<EntryBytes>;
/// The cells that hold entries; a cell without entries is not kept.
using CellMap = std::map<CellKey, CellEntries>;

/// A staff system is stored in two forms: 'SOSS' (20 bytes) and 'O\x02SS' (24 bytes), which
/// the host answers from year 2001 on. Whatever writes one form writes the other too: a 'SOSS'
/// of 20 bytes is laid over the 24-byte form (whose bytes 20-23 stay), a 'O\x02SS' of 24 bytes
/// gives the 20-byte form (page_layout.h has the conversion). Records of other sizes are kept as
/// they come, without the other form.
class Document {
public:
    explicit Document(std::string name);
    ~Document();
    /// A copy of the content, name and path; the copy has no undo history.
    Document(const Document& other);
    Document& operator=(const Document&) = delete;

    /// The name the host shows in its window title: the file name, or the name it was built under.
    const std::string& Name() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }
    /// The file the document was read from or last written to; empty for a new document.
    const std::filesystem::path& Path() const { return m_path; }
    void SetPath(std::filesystem::path path) { m_path = std::move(path); }

    /// The stored records. Changes made here directly are not noted in the undo history: the
    /// host's services change records through SaveRecord, CreateRecord and DeleteRecord.
    RecordStore& Records() { return m_records; }
    const RecordStore& Records() const { return m_records; }
    FontTable& Fonts() { return m_fonts; }
    const FontTable& Fonts() const { return m_fonts; }
    /// Adds (or renames) a font of the table.
    void SetFont(int16_t number, std::string name);

    const CellMap& Cells() const { return m_cells; }
    /// The entries of a cell; empty for a cell without entries.
    const CellEntries& EntriesOf(const CellKey& cell) const;
    /// Replaces the entries of a cell; an empty list removes the cell.
    void SetEntries(const CellKey& cell, CellEntries entries);
    /// Adds an entry behind the last of a cell.
    void AppendEntry(const CellKey& cell, const EntryBytes& entry);
    /// Whether a cell exists: its staff ('SOIS') and its measure ('SOMS') are in the document.
    bool CellExists(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure) const;
    /// A number for a new entry: above every entry number of the cells and of the entry detail
    /// records, and above every number handed out before, so that no number is given twice.
    hostapi::EntryNumber NewEntryNumber();

    /// Creates a record by the store's rules, and then keeps the host's own rule: a created
    /// staff ('SOIS') is appended to the score's staff list (list 0), kStaffDistance below the
    /// last staff there (at 0 when the list is empty).
    std::optional<RecordKey> CreateRecord(const RecordKey& key, Bytes bytes);
    /// Saves a record by the store's rule (overwrite, or create under exactly these keys) and
    /// keeps the host's own: the two forms of a staff system stay in step (below).
    void SaveRecord(const RecordKey& key, Bytes bytes);
    /// Deletes a record by the store's rule; deleting one form of a staff system deletes both.
    bool DeleteRecord(const RecordKey& key);

    // ---- Undo ----

    /// Starts the undo history (undo_journal.h): from now on every change through the methods
    /// above is noted. `namer` names each step when it opens.
    void StartUndoHistory(std::function<std::string()> namer);
    /// The history; nullptr before it is started.
    UndoJournal* History() { return m_history.get(); }
    /// Closes the open step of the history (nothing without one).
    void CloseUndoStep();
    /// Takes the last step back / makes the last step taken back again; nullptr when there is
    /// none, else the step (valid until the history changes).
    const UndoStep* Undo();
    const UndoStep* Redo();

    /// Same records, fonts and music; name and path are not content.
    bool SameContent(const Document& other) const {
        return m_records == other.m_records && m_fonts == other.m_fonts && m_cells == other.m_cells;
    }

private:
    std::string m_name;
    std::filesystem::path m_path;
    RecordStore m_records;
    FontTable m_fonts;
    CellMap m_cells;
    hostapi::EntryNumber m_lastEntryNumber = 0;
    std::unique_ptr<UndoJournal> m_history;
};

}  // namespace host
