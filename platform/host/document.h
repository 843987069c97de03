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

#include "platform/host/node_pool.h"
#include "platform/host/record_journal.h"
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
/// The cells that hold entries; a cell without entries is not kept. The tree nodes come from a
/// pool of the map's own (node_pool.h).
using CellMap =
    std::map<CellKey, CellEntries, std::less<CellKey>, PoolAllocator<std::pair<const CellKey, CellEntries>>>;

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

    /// The stored records. Changes made here directly are noted in the change journals but not
    /// in the undo history: the host's services change records through SaveRecord, CreateRecord
    /// and DeleteRecord.
    RecordStore& Records() { return m_records; }
    const RecordStore& Records() const { return m_records; }
    FontTable& Fonts() { return m_fonts; }
    const FontTable& Fonts() const { return m_fonts; }
    /// Adds (or renames) a font of the table.
    void SetFont(int16_t number, std::string name);

    const CellMap& Cells() const { return m_cells; }
    /// The entries of a cell; empty for a cell without entries.
    const CellEntries& EntriesOf(const CellKey& cell) const;
    /// Replaces the entries of a cell; an empty list removes the cell. Entries the cell holds
    /// already are no write.
    void SetEntries(const CellKey& cell, CellEntries entries);
    /// Adds an entry behind the last of a cell.
    void AppendEntry(const CellKey& cell, const EntryBytes& entry);
    /// Whether a cell exists: its staff ('SOIS') and its measure ('SOMS') are in the document.
    bool CellExists(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure) const;
    /// A number for a new entry: above every entry number the cells and the entry detail records
    /// have held and every number handed out before, so that no number is used twice in the
    /// document. The highest is kept as entries and records come, so this takes constant time.
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

    /// The staves of a view's staff list ('SOIu' records under the view, in incidence order; 0
    /// for a record too short to name one). Kept until a staff list record changes.
    const std::vector<hostapi::InstrumentKey>& StaffListOf(hostapi::ViewKey view) const;

    // ---- Journals ----
    //
    // Every write of a record (whatever writes it: the store tells the document, see
    // RecordStore::SetWriteObserver), of a cell's entries or of a font through SetFont first
    // notes what the key or cell held, once per journal that is open. Two kinds of journal are
    // fed from that one note: the host's change journals (BeginJournal: everything written while
    // a command runs, for its change summary) and the open step of the undo history (only what
    // is written through the document's own methods, not through Records() directly).

    /// What cells held: their entries (empty for a cell that had none). A note is never changed,
    /// so the journals that note one write share it (the change journal and the undo step hold
    /// one copy of a cell's entries, not two).
    using CellNotes = std::map<CellKey, std::shared_ptr<const CellEntries>, std::less<CellKey>,
                               PoolAllocator<std::pair<const CellKey, std::shared_ptr<const CellEntries>>>>;
    /// What a document held before the writes since a journal was begun: the records' (see
    /// record_journal.h), the cells' and the fonts (nothing when a journal leaves them alone).
    struct Journal {
        RecordJournal records;
        CellNotes cells;
        std::optional<FontTable> fonts;
    };
    /// Change journals nest; the last begun ends first. A change journal holds the fonts as they
    /// were when it began.
    void BeginJournal();
    Journal EndJournal();
    bool Journaling() const { return !m_journals.empty(); }
    /// How many change journals are open; the one begun at a count of N is OpenJournal(N).
    size_t JournalCount() const { return m_journals.size(); }
    const Journal& OpenJournal(size_t index) const { return m_journals.at(index); }
    /// Runs once, before the next write changes a record or a cell (then it is gone).
    void SetBeforeWrite(std::function<void()> hook);
    /// Puts every record, cell and the fonts a journal holds back as the journal has them,
    /// outside the host's rules and the journals; answers what they held instead, so that
    /// reverting with the answer brings the document back.
    Journal Revert(const Journal& journal);

    // ---- Undo ----

    /// Starts the undo history (undo_journal.h): from now on every change through the methods
    /// above is noted. `namer` names each step when it opens.
    void StartUndoHistory(std::function<std::string()> namer);
    /// The history; nullptr before it is started.
    UndoJournal* History() { return m_history.get(); }
    /// Closes the open step of the history (nothing without one).
    void CloseUndoStep();
    /// Takes the last step back / makes the last step taken back again; nullptr when there is
    /// none, else the step (valid until the history changes). What they write is noted in the
    /// change journals that are open, not in the history.
    const UndoStep* Undo();
    const UndoStep* Redo();

    /// Same records, fonts and music; name and path are not content.
    bool SameContent(const Document& other) const {
        return m_records == other.m_records && m_fonts == other.m_fonts && m_cells == other.m_cells;
    }

private:
    class EditScope;

    /// Raises the highest entry number to the numbers of `entries`.
    void NoteEntryNumbers(const CellEntries& entries);
    /// Before a write: runs the hook set to run before one and, for a write of the document's
    /// own methods, opens a step of the undo history when none is open.
    void BeforeWrite(bool edit);
    /// Notes in every journal the write is for what the key, the cell or the fonts hold now,
    /// unless the journal has it.
    /// `now` is what the key holds (nullptr for no record).
    void RememberRecord(const RecordKey& key, const Bytes* now);
    /// `now` is what the cell holds; answers whether the cells may have moved meanwhile (what
    /// runs before a write put them back), so that a cell found before is looked up again.
    bool RememberCell(const CellKey& cell, const CellEntries* now);
    void RememberFonts();
    /// Undo or Redo by the history's step that `take` moves over.
    const UndoStep* Step(UndoStep* (UndoJournal::*take)());
    /// Puts a journal's keys and cells back (Revert); `noted` tells the change journals first.
    Journal Apply(const Journal& journal, bool noted);

    std::string m_name;
    std::filesystem::path m_path;
    RecordStore m_records;
    FontTable m_fonts;
    CellMap m_cells;
    /// The highest entry number the cells have held or NewEntryNumber has given.
    hostapi::EntryNumber m_highestEntryNumber = 0;
    /// The staff lists read so far, by view, with the store's count of staff list writes then.
    struct StaffList {
        uint64_t writes = 0;
        std::vector<hostapi::InstrumentKey> staves;
    };
    mutable std::map<hostapi::ViewKey, StaffList> m_staffLists;
    /// Which numbers of a tag have a record of inci 0 (the staves, the measures), by number from
    /// INT16_MIN, with the store's count of the tag's writes then: every entry array load asks
    /// whether its cell exists.
    struct HeldNumbers {
        std::optional<uint64_t> writes;
        std::vector<bool> held;
    };
    /// Whether the tag has a record of inci 0 under the number, from `cache` (made again when a
    /// record of the tag has changed since).
    bool Holds(HeldNumbers& cache, hostapi::Tag tag, hostapi::Cmper number) const;
    mutable HeldNumbers m_heldStaves;
    mutable HeldNumbers m_heldMeasures;
    /// The open change journals, in the order they began.
    std::vector<Journal> m_journals;
    WriteHook m_beforeWrite;
    std::unique_ptr<UndoJournal> m_history;
    /// What the open step of the undo history has written (nothing while no step is open).
    std::optional<Journal> m_undoStep;
    /// How deep the document's own write methods are: while above 0, a write is the undo
    /// history's too.
    int m_edits = 0;
};

/// Keeps the document's measure-number regions under `tag` (the tag of the host's year,
/// hostapi::MeasureNumberRegionTag): a region stored under the other year's tag moves to the same
/// keys under this one, as it is, outside the undo history (a document a host takes in is kept
/// in that host's form). A key that holds a region under both tags keeps both.
void KeepMeasureNumberRegionsUnder(Document& document, hostapi::Tag tag);

}  // namespace host
