#include "platform/host/document.h"

#include <algorithm>
#include <climits>
#include <stdexcept>

#include "platform/host/page_layout.h"
#include "platform/host/record_layouts.h"
#include "platform/host/undo_journal.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/layout_records.h"

namespace host {

std::string CellKey::Description() const {
    return "staff " + std::to_string(staff) + ", measure " + std::to_string(measure) + ", layer " +
           std::to_string(layer + 1);
}

Document::Document(std::string name) : m_name(std::move(name)) {}

Document::Document(const Document& other)
    : m_name(other.m_name),
      m_path(other.m_path),
      m_records(other.m_records),
      m_fonts(other.m_fonts),
      m_cells(other.m_cells),
      m_lastEntryNumber(other.m_lastEntryNumber) {}

Document::~Document() = default;

const CellEntries& Document::EntriesOf(const CellKey& cell) const {
    static const CellEntries kNone;
    const auto it = m_cells.find(cell);
    return it == m_cells.end() ? kNone : it->second;
}

void Document::SetEntries(const CellKey& cell, CellEntries entries) {
    if (m_history) {
        m_history->BeforeCellChange(m_cells, cell);
    }
    if (entries.empty()) {
        m_cells.erase(cell);
    } else {
        m_cells[cell] = std::move(entries);
    }
}

void Document::AppendEntry(const CellKey& cell, const EntryBytes& entry) {
    if (m_history) {
        m_history->BeforeCellChange(m_cells, cell);
    }
    m_cells[cell].push_back(entry);
}

void Document::SetFont(int16_t number, std::string name) {
    if (m_history) {
        m_history->BeforeFontChange(m_fonts);
    }
    m_fonts[number] = std::move(name);
}

void Document::StartUndoHistory(std::function<std::string()> namer) {
    m_history = std::make_unique<UndoJournal>(std::move(namer));
}

void Document::CloseUndoStep() {
    if (m_history) {
        m_history->Close(m_records, m_cells, m_fonts);
    }
}

const UndoStep* Document::Undo() {
    if (!m_history || !m_history->Undo(m_records, m_cells, m_fonts)) {
        return nullptr;
    }
    return m_history->NextRedo();
}

const UndoStep* Document::Redo() {
    if (!m_history || !m_history->Redo(m_records, m_cells, m_fonts)) {
        return nullptr;
    }
    return m_history->NextUndo();
}

bool Document::CellExists(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure) const {
    return m_records.Find(RecordKey::Other(kTagStaff, staff, 0)) != nullptr &&
           m_records.Find(RecordKey::Other(kTagMeasure, measure, 0)) != nullptr;
}

hostapi::EntryNumber Document::NewEntryNumber() {
    hostapi::EntryNumber highest = m_lastEntryNumber;
    for (const auto& [cell, entries] : m_cells) {
        for (const EntryBytes& entry : entries) {
            highest = std::max(highest, hostapi::ConstEntryView(entry.data()).number());
        }
    }
    for (const auto& [key, bytes] : m_records.Records()) {
        if (key.Family() == hostapi::RecordFamily::EntryDetail) {
            highest = std::max(highest, key.first);
        }
    }
    if (highest == INT32_MAX) {
        throw std::length_error("the document has no entry number left");
    }
    m_lastEntryNumber = highest + 1;
    return m_lastEntryNumber;
}

namespace {

/// The other form of a staff system record, when the record is one form at its size.
std::optional<std::pair<RecordKey, Bytes>> OtherSystemForm(const RecordStore& records, const RecordKey& key,
                                                           const Bytes& bytes) {
    if (key.tag == hostapi::kTagStaffSystem && bytes.size() == hostapi::StaffSystem20Layout::kSize) {
        RecordKey full = key;
        full.tag = hostapi::kTagStaffSystem2001;
        const Bytes* old = records.Find(full);
        return std::make_pair(full, StaffSystemTo24(bytes, old == nullptr ? Bytes() : *old));
    }
    if (key.tag == hostapi::kTagStaffSystem2001 && bytes.size() == hostapi::StaffSystemLayout::kSize) {
        RecordKey stored = key;
        stored.tag = hostapi::kTagStaffSystem;
        return std::make_pair(stored, StaffSystemTo20(bytes));
    }
    return std::nullopt;
}

}  // namespace

void Document::SaveRecord(const RecordKey& key, Bytes bytes) {
    const auto other = OtherSystemForm(m_records, key, bytes);
    if (m_history) {
        m_history->BeforeRecordChange(m_records, key);
        if (other) {
            m_history->BeforeRecordChange(m_records, other->first);
        }
    }
    m_records.Save(key, std::move(bytes));
    if (other) {
        m_records.Save(other->first, std::move(other->second));
    }
}

bool Document::DeleteRecord(const RecordKey& key) {
    if (m_records.Find(key) == nullptr) {
        return false;
    }
    const bool system = key.tag == hostapi::kTagStaffSystem || key.tag == hostapi::kTagStaffSystem2001;
    RecordKey other = key;
    other.tag = key.tag == hostapi::kTagStaffSystem ? hostapi::kTagStaffSystem2001 : hostapi::kTagStaffSystem;
    if (m_history) {
        m_history->BeforeRecordChange(m_records, key);
        if (system) {
            m_history->BeforeRecordChange(m_records, other);
        }
    }
    m_records.Delete(key);
    if (system) {
        m_records.Delete(other);
    }
    return true;
}

std::optional<RecordKey> Document::CreateRecord(const RecordKey& key, Bytes bytes) {
    const Bytes kept = bytes;
    const std::optional<RecordKey> created = m_records.Create(key, std::move(bytes));
    if (created) {
        // Creating only adds: the family held before what it holds now but the new record.
        if (m_history) {
            m_history->AfterRecordCreate(m_records, *created);
        }
        if (const auto other = OtherSystemForm(m_records, *created, kept)) {
            if (m_history) {
                m_history->BeforeRecordChange(m_records, other->first);
            }
            m_records.Save(other->first, other->second);
        }
    }
    if (!created || created->tag != kTagStaff) {
        return created;
    }
    // The new staff goes below the last staff of the score's list.
    hostapi::Evpu position = 0;
    const RecordKey listEnd = RecordKey::Other(kTagStaffListEntry, 0, INT16_MAX);
    if (const auto last = m_records.Previous(listEnd); last && last->first == 0) {
        const Bytes& entry = *m_records.Find(*last);
        if (entry.size() >= StaffListEntryLayout::kPosition + 4) {
            position = hostapi::ReadI32(entry.data(), StaffListEntryLayout::kPosition) + kStaffDistance;
        } else {
            position = kStaffDistance;
        }
    }
    Bytes entry(StaffListEntryLayout::kSize, 0);
    hostapi::WriteI16(entry.data(), StaffListEntryLayout::kStaff, static_cast<int16_t>(created->first));
    hostapi::WriteI32(entry.data(), StaffListEntryLayout::kPosition, position);
    if (const auto listed = m_records.Create(RecordKey::Other(kTagStaffListEntry, 0, -1), std::move(entry));
        listed && m_history) {
        m_history->AfterRecordCreate(m_records, *listed);
    }
    return created;
}

}  // namespace host
