// What a command changed in a document, as the host sees it: the host compares the document
// before the command with the document after it, so the summary does not depend on what the
// plug-in answers. Entries are matched by their entry number inside a cell (an entry whose
// number is new was added, one whose number is gone was deleted); records by their keys.
// Deleting a record moves the later incidences under the same leading keys down by one, so a
// deletion in the middle of a list shows as the last incidence deleted and the ones after the
// deleted one changed: that is what the document now holds.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/host/document.h"

namespace host {

enum class ChangeKind { Added, Changed, Deleted };

struct RecordChange {
    ChangeKind kind = ChangeKind::Changed;
    RecordKey key;
    Bytes before;  ///< empty for an added record
    Bytes after;   ///< empty for a deleted record
};

struct EntryChange {
    ChangeKind kind = ChangeKind::Changed;
    CellKey cell;
    std::optional<EntryBytes> before;
    std::optional<EntryBytes> after;
};

struct DocumentChanges {
    std::vector<EntryChange> entries;   ///< by cell, then in the cell's order after the change
    size_t cells = 0;                   ///< how many cells changed (also a cell whose entries only moved)
    std::vector<RecordChange> records;  ///< in key order
    size_t fonts = 0;                   ///< font numbers added, renamed or removed

    bool Empty() const { return cells == 0 && records.empty() && fonts == 0; }
    /// "2 cells (3 entries changed, 1 added); records 'otBC' 2 deleted, 'SOIS' 1 added, 1 changed;
    /// 1 font"; "nothing changed" when empty.
    std::string Summary() const;
};

/// The changes from `before` to `after` (one document at two moments). Both are walked once,
/// in key order.
DocumentChanges CompareDocuments(const Document& before, const Document& after);

/// The changes in full, as `dump changes` prints them: a line per cell with the entries before
/// ("- ") and after ("+ "), then each record before and after, fields read as `dump records`
/// reads them.
std::vector<std::string> ChangeListing(const DocumentChanges& changes, const Document& before, const Document& after);

}  // namespace host
