#include "platform/host/undo_journal.h"

#include <algorithm>
#include <climits>

namespace host {
namespace {

/// Which member of the key is the family's incidence: 1 second, 2 third, 0 none.
int IncidenceMember(const RecordKey& key) {
    switch (key.Family()) {
        case hostapi::RecordFamily::Other:
        case hostapi::RecordFamily::EntryDetail:
            return 1;
        case hostapi::RecordFamily::Detail:
            return hostapi::IsPositionKeyedTag(key.tag) ? 0 : 2;
        case hostapi::RecordFamily::Global:
            break;
    }
    return 0;
}

bool SameFamily(const RecordKey& a, const RecordKey& family) {
    return FamilyKeyOf(a) == family;
}

/// Replaces the records of every family of `families` by its records there.
void RestoreFamilies(RecordStore& records, const RecordFamilies& families) {
    for (const auto& [family, saved] : families) {
        // The highest incidence goes first, so that no delete moves another record.
        const std::vector<std::pair<RecordKey, Bytes>> current = FamilyRecords(records, family);
        for (auto it = current.rbegin(); it != current.rend(); ++it) {
            records.Delete(it->first);
        }
        for (const auto& [key, bytes] : saved) {
            records.Save(key, bytes);
        }
    }
}

void RestoreCells(CellMap& cells, const std::map<CellKey, CellEntries>& saved) {
    for (const auto& [cell, entries] : saved) {
        if (entries.empty()) {
            cells.erase(cell);
        } else {
            cells[cell] = entries;
        }
    }
}

void Restore(RecordStore& records, CellMap& cells, FontTable& fonts, const RecordFamilies& families,
             const std::map<CellKey, CellEntries>& cellImages, const std::optional<FontTable>& fontImage) {
    RestoreFamilies(records, families);
    RestoreCells(cells, cellImages);
    if (fontImage) {
        fonts = *fontImage;
    }
}

}  // namespace

RecordKey FamilyKeyOf(const RecordKey& key) {
    RecordKey family = key;
    const int member = IncidenceMember(key);
    if (member == 1) {
        family.second = 0;
    } else if (member == 2) {
        family.third = 0;
    }
    return family;
}

std::vector<std::pair<RecordKey, Bytes>> FamilyRecords(const RecordStore& records, const RecordKey& family) {
    std::vector<std::pair<RecordKey, Bytes>> found;
    const int member = IncidenceMember(family);
    if (member == 0) {
        if (const Bytes* bytes = records.Find(family)) {
            found.emplace_back(family, *bytes);
        }
        return found;
    }
    RecordKey start = family;
    if (member == 1) {
        start.second = INT16_MIN;
    } else {
        start.third = INT32_MIN;
    }
    if (const Bytes* bytes = records.Find(start)) {
        found.emplace_back(start, *bytes);
    }
    for (std::optional<RecordKey> key = records.Next(start); key && SameFamily(*key, family);
         key = records.Next(*key)) {
        found.emplace_back(*key, *records.Find(*key));
    }
    return found;
}

UndoStep& UndoJournal::Open() {
    if (!m_open) {
        m_open.emplace();
        m_open->name = m_namer ? m_namer() : std::string();
        if (m_open->name.empty()) {
            m_open->name = "Change";
        }
    }
    return *m_open;
}

void UndoJournal::BeforeRecordChange(const RecordStore& records, const RecordKey& key) {
    UndoStep& step = Open();
    const RecordKey family = FamilyKeyOf(key);
    if (!step.recordsBefore.contains(family)) {
        step.recordsBefore.emplace(family, FamilyRecords(records, family));
    }
}

void UndoJournal::AfterRecordCreate(const RecordStore& records, const RecordKey& created) {
    UndoStep& step = Open();
    const RecordKey family = FamilyKeyOf(created);
    if (step.recordsBefore.contains(family)) {
        return;
    }
    // A family first met through a record created under new keys: before it, the family held
    // what it holds now but that record.
    std::vector<std::pair<RecordKey, Bytes>> before = FamilyRecords(records, family);
    std::erase_if(before, [&](const auto& record) { return record.first == created; });
    step.recordsBefore.emplace(family, std::move(before));
}

void UndoJournal::BeforeCellChange(const CellMap& cells, const CellKey& cell) {
    UndoStep& step = Open();
    if (!step.cellsBefore.contains(cell)) {
        const auto it = cells.find(cell);
        step.cellsBefore.emplace(cell, it == cells.end() ? CellEntries{} : it->second);
    }
}

void UndoJournal::BeforeFontChange(const FontTable& fonts) {
    UndoStep& step = Open();
    if (!step.fontsBefore) {
        step.fontsBefore = fonts;
    }
}

void UndoJournal::Close(const RecordStore& records, const CellMap& cells, const FontTable& fonts) {
    if (!m_open) {
        return;
    }
    UndoStep step = std::move(*m_open);
    m_open.reset();
    std::vector<std::string> cellChanges;
    for (auto it = step.cellsBefore.begin(); it != step.cellsBefore.end();) {
        const auto now = cells.find(it->first);
        CellEntries after = now == cells.end() ? CellEntries{} : now->second;
        if (after == it->second) {
            it = step.cellsBefore.erase(it);
            continue;
        }
        cellChanges.push_back(it->first.Description());
        step.cellsAfter.emplace(it->first, std::move(after));
        ++it;
    }
    std::vector<std::string> recordChanges;
    for (auto it = step.recordsBefore.begin(); it != step.recordsBefore.end();) {
        std::vector<std::pair<RecordKey, Bytes>> after = FamilyRecords(records, it->first);
        if (after == it->second) {
            it = step.recordsBefore.erase(it);
            continue;
        }
        // The records that differ: in one image and not the other, or with other bytes.
        std::map<RecordKey, const Bytes*> before;
        for (const auto& [key, bytes] : it->second) {
            before.emplace(key, &bytes);
        }
        for (const auto& [key, bytes] : after) {
            const auto old = before.find(key);
            if (old == before.end() || *old->second != bytes) {
                recordChanges.push_back(key.Description());
            }
            if (old != before.end()) {
                before.erase(old);
            }
        }
        for (const auto& [key, bytes] : before) {
            recordChanges.push_back(key.Description());
        }
        step.recordsAfter.emplace(it->first, std::move(after));
        ++it;
    }
    if (step.fontsBefore && *step.fontsBefore == fonts) {
        step.fontsBefore.reset();
    }
    if (step.fontsBefore) {
        step.fontsAfter = fonts;
    }
    if (step.cellsBefore.empty() && step.recordsBefore.empty() && !step.fontsBefore) {
        return;
    }
    std::sort(recordChanges.begin(), recordChanges.end());
    step.changes = std::move(cellChanges);
    step.changes.insert(step.changes.end(), recordChanges.begin(), recordChanges.end());
    if (step.fontsBefore) {
        step.changes.emplace_back("fonts");
    }
    m_undo.push_back(std::move(step));
    if (m_undo.size() > kMaxUndoSteps) {
        m_undo.pop_front();
    }
    m_redo.clear();
}

bool UndoJournal::Undo(RecordStore& records, CellMap& cells, FontTable& fonts) {
    Close(records, cells, fonts);
    if (m_undo.empty()) {
        return false;
    }
    UndoStep step = std::move(m_undo.back());
    m_undo.pop_back();
    Restore(records, cells, fonts, step.recordsBefore, step.cellsBefore, step.fontsBefore);
    m_redo.push_back(std::move(step));
    return true;
}

bool UndoJournal::Redo(RecordStore& records, CellMap& cells, FontTable& fonts) {
    Close(records, cells, fonts);
    if (m_redo.empty()) {
        return false;
    }
    UndoStep step = std::move(m_redo.back());
    m_redo.pop_back();
    Restore(records, cells, fonts, step.recordsAfter, step.cellsAfter, step.fontsAfter);
    m_undo.push_back(std::move(step));
    return true;
}

}  // namespace host
