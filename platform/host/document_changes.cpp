#include "platform/host/document_changes.h"

#include <algorithm>
#include <map>

#include "platform/host/cell_dump.h"
#include "platform/host/record_dump.h"
#include "platform/hostapi/entry_array.h"

namespace host {
namespace {

hostapi::EntryNumber NumberOf(const EntryBytes& entry) {
    return hostapi::ConstEntryView(entry.data()).number();
}

/// The entry changes of one cell; answers whether the cell changed at all. An entry of `after`
/// is matched with the first entry of `before` that has its number, each such entry once: a
/// further entry of the same number is added, an entry of `before` whose number no entry of
/// `after` has is deleted. The numbers are looked up in one sorted list per cell rather than a
/// tree node per entry (a command that changes every entry compares every cell of the score).
bool CompareCell(const CellKey& cell, const CellEntries& before, const CellEntries& after,
                 std::vector<EntryChange>& changes) {
    if (before == after) {
        return false;
    }
    struct Old {
        hostapi::EntryNumber number;
        const EntryBytes* entry;
        bool kept;
    };
    std::vector<Old> old;
    old.reserve(before.size());
    for (const EntryBytes& entry : before) {
        old.push_back({NumberOf(entry), &entry, false});
    }
    // Stable: of the entries of one number, the first in the cell comes first.
    std::stable_sort(old.begin(), old.end(), [](const Old& a, const Old& b) { return a.number < b.number; });
    const auto find = [&](hostapi::EntryNumber number) -> Old* {
        const auto it = std::lower_bound(old.begin(), old.end(), number,
                                         [](const Old& a, hostapi::EntryNumber n) { return a.number < n; });
        return it == old.end() || it->number != number ? nullptr : &*it;
    };
    for (const EntryBytes& entry : after) {
        Old* const match = find(NumberOf(entry));
        if (match == nullptr || match->kept) {
            changes.push_back({ChangeKind::Added, cell, std::nullopt, entry});
            continue;
        }
        match->kept = true;
        if (*match->entry != entry) {
            changes.push_back({ChangeKind::Changed, cell, *match->entry, entry});
        }
    }
    for (const EntryBytes& entry : before) {
        if (!find(NumberOf(entry))->kept) {
            changes.push_back({ChangeKind::Deleted, cell, entry, std::nullopt});
        }
    }
    return true;
}

std::string Counted(size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

/// "3 changed, 1 added": the counts in the order changed, added, deleted.
std::string KindCounts(const std::map<ChangeKind, size_t>& counts) {
    std::string text;
    for (const auto& [kind, word] : {std::pair{ChangeKind::Changed, "changed"}, std::pair{ChangeKind::Added, "added"},
                                     std::pair{ChangeKind::Deleted, "deleted"}}) {
        const auto it = counts.find(kind);
        if (it == counts.end()) {
            continue;
        }
        text += (text.empty() ? "" : ", ") + std::to_string(it->second) + " " + word;
    }
    return text;
}

}  // namespace

namespace {

/// The fonts added, renamed or taken away from `before` to `after`.
size_t CountFontChanges(const FontTable& before, const FontTable& after) {
    size_t count = 0;
    for (const auto& [number, name] : before) {
        const auto it = after.find(number);
        count += it == after.end() || it->second != name ? 1 : 0;
    }
    for (const auto& [number, name] : after) {
        count += before.contains(number) ? 0 : 1;
    }
    return count;
}

}  // namespace

DocumentChanges CompareDocuments(const Document& before, const Document& after) {
    DocumentChanges changes;
    // Cells: one walk over both ordered maps.
    const CellMap& oldCells = before.Cells();
    const CellMap& newCells = after.Cells();
    static const CellEntries kNone;
    auto o = oldCells.begin();
    auto n = newCells.begin();
    while (o != oldCells.end() || n != newCells.end()) {
        if (n == newCells.end() || (o != oldCells.end() && o->first < n->first)) {
            changes.cells += CompareCell(o->first, o->second, kNone, changes.entries) ? 1 : 0;
            ++o;
        } else if (o == oldCells.end() || n->first < o->first) {
            changes.cells += CompareCell(n->first, kNone, n->second, changes.entries) ? 1 : 0;
            ++n;
        } else {
            changes.cells += CompareCell(n->first, o->second, n->second, changes.entries) ? 1 : 0;
            ++o;
            ++n;
        }
    }
    // Records: the same walk over the stores.
    const RecordStore::Map& oldRecords = before.Records().Records();
    const RecordStore::Map& newRecords = after.Records().Records();
    auto ro = oldRecords.begin();
    auto rn = newRecords.begin();
    while (ro != oldRecords.end() || rn != newRecords.end()) {
        if (rn == newRecords.end() || (ro != oldRecords.end() && ro->first < rn->first)) {
            changes.records.push_back({ChangeKind::Deleted, ro->first, ro->second, {}});
            ++ro;
        } else if (ro == oldRecords.end() || rn->first < ro->first) {
            changes.records.push_back({ChangeKind::Added, rn->first, {}, rn->second});
            ++rn;
        } else {
            if (ro->second != rn->second) {
                changes.records.push_back({ChangeKind::Changed, rn->first, ro->second, rn->second});
            }
            ++ro;
            ++rn;
        }
    }
    changes.fonts = CountFontChanges(before.Fonts(), after.Fonts());
    return changes;
}

DocumentChanges ChangesSince(const Document::Journal& journal, const Document& after) {
    DocumentChanges changes;
    // At most every entry before and after a cell's change is listed: one allocation instead of
    // a list that doubles (and is copied) as it grows.
    size_t most = 0;
    for (const auto& [cell, entries] : journal.cells) {
        most += entries->size() + after.EntriesOf(cell).size();
    }
    changes.entries.reserve(most);
    for (const auto& [cell, entries] : journal.cells) {
        changes.cells += CompareCell(cell, *entries, after.EntriesOf(cell), changes.entries) ? 1 : 0;
    }
    changes.records.reserve(journal.records.size());
    for (const auto& [key, before] : journal.records) {
        const Bytes* now = after.Records().Find(key);
        if (!before && now != nullptr) {
            changes.records.push_back({ChangeKind::Added, key, {}, *now});
        } else if (before && now == nullptr) {
            changes.records.push_back({ChangeKind::Deleted, key, *before, {}});
        } else if (before && *before != *now) {
            changes.records.push_back({ChangeKind::Changed, key, *before, *now});
        }
    }
    if (journal.fonts) {
        changes.fonts = CountFontChanges(*journal.fonts, after.Fonts());
    }
    return changes;
}

std::string DocumentChanges::Summary() const {
    if (Empty()) {
        return "nothing changed";
    }
    std::vector<std::string> parts;
    if (cells != 0) {
        std::map<ChangeKind, size_t> counts;
        for (const EntryChange& change : entries) {
            ++counts[change.kind];
        }
        std::string text = Counted(cells, "cell", "cells");
        if (!counts.empty()) {
            std::string kinds;
            for (const auto& [kind, word] :
                 {std::pair{ChangeKind::Changed, "changed"}, std::pair{ChangeKind::Added, "added"},
                  std::pair{ChangeKind::Deleted, "deleted"}}) {
                if (const auto it = counts.find(kind); it != counts.end()) {
                    kinds += kinds.empty() ? Counted(it->second, "entry", "entries") + " " + word
                                           : ", " + std::to_string(it->second) + " " + word;
                }
            }
            text += " (" + kinds + ")";
        } else {
            text += " (entries reordered)";
        }
        parts.push_back(text);
    }
    if (!records.empty()) {
        // By tag, in the order the tags first appear (key order).
        std::vector<std::pair<hostapi::Tag, std::map<ChangeKind, size_t>>> byTag;
        for (const RecordChange& change : records) {
            if (byTag.empty() || byTag.back().first != change.key.tag) {
                byTag.push_back({change.key.tag, {}});
            }
            ++byTag.back().second[change.kind];
        }
        std::string text = "records";
        for (size_t i = 0; i < byTag.size(); ++i) {
            text += (i == 0 ? " '" : ", '") + TagText(byTag[i].first) + "' " + KindCounts(byTag[i].second);
        }
        parts.push_back(text);
    }
    if (fonts != 0) {
        parts.push_back(Counted(fonts, "font", "fonts"));
    }
    std::string summary;
    for (const std::string& part : parts) {
        summary += (summary.empty() ? "" : "; ") + part;
    }
    return summary;
}

std::vector<std::string> ChangeListing(const DocumentChanges& changes, const Document& before, const Document& after) {
    std::vector<std::string> lines;
    const CellKey* lastCell = nullptr;
    for (const EntryChange& change : changes.entries) {
        if (lastCell == nullptr || *lastCell != change.cell) {
            lines.push_back("  " + change.cell.Description() + ":");
            lastCell = &change.cell;
        }
        if (change.before) {
            lines.push_back("  -   " + CellEntryLine(before, change.cell, *change.before));
        }
        if (change.after) {
            lines.push_back("  +   " + CellEntryLine(after, change.cell, *change.after));
        }
    }
    for (const RecordChange& change : changes.records) {
        if (change.kind != ChangeKind::Added) {
            lines.push_back("  - " + RecordListingLine(before, change.key, change.before));
        }
        if (change.kind != ChangeKind::Deleted) {
            lines.push_back("  + " + RecordListingLine(after, change.key, change.after));
        }
    }
    for (const auto& [number, name] : before.Fonts()) {
        const auto it = after.Fonts().find(number);
        if (it == after.Fonts().end() || it->second != name) {
            lines.push_back("  - font " + std::to_string(number) + " \"" + name + "\"");
        }
        if (it != after.Fonts().end() && it->second != name) {
            lines.push_back("  + font " + std::to_string(number) + " \"" + it->second + "\"");
        }
    }
    for (const auto& [number, name] : after.Fonts()) {
        if (!before.Fonts().contains(number)) {
            lines.push_back("  + font " + std::to_string(number) + " \"" + name + "\"");
        }
    }
    return lines;
}

std::vector<std::string> ChangeListingSince(const DocumentChanges& changes, const Document::Journal& journal,
                                            Document& document) {
    // The lines of the state after, then those of the state before, with the journal put back.
    std::vector<std::string> entriesAfter(changes.entries.size());
    std::vector<std::string> recordsAfter(changes.records.size());
    for (size_t i = 0; i < changes.entries.size(); ++i) {
        if (changes.entries[i].after) {
            entriesAfter[i] = CellEntryLine(document, changes.entries[i].cell, *changes.entries[i].after);
        }
    }
    for (size_t i = 0; i < changes.records.size(); ++i) {
        if (changes.records[i].kind != ChangeKind::Deleted) {
            recordsAfter[i] = RecordListingLine(document, changes.records[i].key, changes.records[i].after);
        }
    }
    const FontTable fontsAfter = document.Fonts();
    std::vector<std::string> entriesBefore(changes.entries.size());
    std::vector<std::string> recordsBefore(changes.records.size());
    const Document::Journal after = document.Revert(journal);
    try {
        for (size_t i = 0; i < changes.entries.size(); ++i) {
            if (changes.entries[i].before) {
                entriesBefore[i] = CellEntryLine(document, changes.entries[i].cell, *changes.entries[i].before);
            }
        }
        for (size_t i = 0; i < changes.records.size(); ++i) {
            if (changes.records[i].kind != ChangeKind::Added) {
                recordsBefore[i] = RecordListingLine(document, changes.records[i].key, changes.records[i].before);
            }
        }
    } catch (...) {
        document.Revert(after);
        throw;
    }
    document.Revert(after);

    std::vector<std::string> lines;
    const CellKey* lastCell = nullptr;
    for (size_t i = 0; i < changes.entries.size(); ++i) {
        const EntryChange& change = changes.entries[i];
        if (lastCell == nullptr || *lastCell != change.cell) {
            lines.push_back("  " + change.cell.Description() + ":");
            lastCell = &change.cell;
        }
        if (change.before) {
            lines.push_back("  -   " + entriesBefore[i]);
        }
        if (change.after) {
            lines.push_back("  +   " + entriesAfter[i]);
        }
    }
    for (size_t i = 0; i < changes.records.size(); ++i) {
        if (changes.records[i].kind != ChangeKind::Added) {
            lines.push_back("  - " + recordsBefore[i]);
        }
        if (changes.records[i].kind != ChangeKind::Deleted) {
            lines.push_back("  + " + recordsAfter[i]);
        }
    }
    const FontTable& fontsBefore = journal.fonts ? *journal.fonts : fontsAfter;
    for (const auto& [number, name] : fontsBefore) {
        const auto it = fontsAfter.find(number);
        if (it == fontsAfter.end() || it->second != name) {
            lines.push_back("  - font " + std::to_string(number) + " \"" + name + "\"");
        }
        if (it != fontsAfter.end() && it->second != name) {
            lines.push_back("  + font " + std::to_string(number) + " \"" + it->second + "\"");
        }
    }
    for (const auto& [number, name] : fontsAfter) {
        if (!fontsBefore.contains(number)) {
            lines.push_back("  + font " + std::to_string(number) + " \"" + name + "\"");
        }
    }
    return lines;
}

}  // namespace host
