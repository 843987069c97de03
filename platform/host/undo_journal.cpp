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

void UndoJournal::Open() {
    if (!m_open) {
        m_open = m_namer ? m_namer() : std::string();
        if (m_open->empty()) {
            m_open = "Change";
        }
    }
}

void UndoJournal::Close(Document::Journal before, const Document& document) {
    if (!m_open) {
        return;
    }
    UndoStep step;
    step.name = std::move(*m_open);
    m_open.reset();
    // Only what differs now stays in the step; what it holds now is read again when it is undone.
    std::erase_if(before.cells, [&](const auto& cell) { return document.EntriesOf(cell.first) == *cell.second; });
    before.records.EraseIf([&](const RecordJournal::Note& record) {
        const Bytes* after = document.Records().Find(record.first);
        return after == nullptr ? !record.second : record.second && *record.second == *after;
    });
    if (before.fonts && *before.fonts == document.Fonts()) {
        before.fonts.reset();
    }
    if (before.cells.empty() && before.records.empty() && !before.fonts) {
        return;
    }
    step.other = std::move(before);
    m_undo.push_back(std::move(step));
    if (m_undo.size() > kMaxUndoSteps) {
        m_undo.pop_front();
    }
    m_redo.clear();
}

std::vector<std::string> UndoStep::Changes() const {
    std::vector<std::string> changes;
    for (const auto& [cell, entries] : other.cells) {
        changes.push_back(cell.Description());
    }
    std::vector<std::string> records;
    for (const auto& [key, bytes] : other.records) {
        records.push_back(key.Description());
    }
    std::sort(records.begin(), records.end());
    changes.insert(changes.end(), records.begin(), records.end());
    if (ChangedFonts()) {
        changes.emplace_back("fonts");
    }
    return changes;
}

std::vector<std::string> UndoJournal::UndoNames() const {
    std::vector<std::string> names;
    for (const UndoStep& step : m_undo) {
        names.push_back(step.name);
    }
    return names;
}

UndoStep* UndoJournal::TakeUndo() {
    if (m_undo.empty()) {
        return nullptr;
    }
    m_redo.push_back(std::move(m_undo.back()));
    m_undo.pop_back();
    return &m_redo.back();
}

UndoStep* UndoJournal::TakeRedo() {
    if (m_redo.empty()) {
        return nullptr;
    }
    m_undo.push_back(std::move(m_redo.back()));
    m_redo.pop_back();
    return &m_undo.back();
}

}  // namespace host
