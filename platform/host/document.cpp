#include "platform/host/document.h"

#include <algorithm>
#include <climits>
#include <stdexcept>

#include "platform/host/page_layout.h"
#include "platform/host/record_layouts.h"
#include "platform/host/undo_journal.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/measure_region_records.h"

namespace host {

std::string CellKey::Description() const {
    return "staff " + std::to_string(staff) + ", measure " + std::to_string(measure) + ", layer " +
           std::to_string(layer + 1);
}

/// Marks the writes of the document's own methods, which the undo history notes.
class Document::EditScope {
public:
    explicit EditScope(Document& document) : m_document(document) { ++m_document.m_edits; }
    ~EditScope() { --m_document.m_edits; }
    EditScope(const EditScope&) = delete;
    EditScope& operator=(const EditScope&) = delete;

private:
    Document& m_document;
};

Document::Document(std::string name) : m_name(std::move(name)) {
    m_records.SetWriteObserver([this](const RecordKey& key, const Bytes* now) { RememberRecord(key, now); });
}

Document::Document(const Document& other)
    : m_name(other.m_name),
      m_path(other.m_path),
      m_records(other.m_records),
      m_fonts(other.m_fonts),
      m_cells(other.m_cells),
      m_highestEntryNumber(other.m_highestEntryNumber) {
    m_records.SetWriteObserver([this](const RecordKey& key, const Bytes* now) { RememberRecord(key, now); });
}

Document::~Document() = default;

const CellEntries& Document::EntriesOf(const CellKey& cell) const {
    static const CellEntries kNone;
    const auto it = m_cells.find(cell);
    return it == m_cells.end() ? kNone : it->second;
}

void Document::NoteEntryNumbers(const CellEntries& entries) {
    for (const EntryBytes& entry : entries) {
        m_highestEntryNumber = std::max(m_highestEntryNumber, hostapi::ConstEntryView(entry.data()).number());
    }
}

void Document::SetBeforeWrite(std::function<void()> hook) {
    m_beforeWrite.hook.value = std::move(hook);
}

void Document::BeforeWrite(bool edit) {
    m_beforeWrite.Fire();
    if (edit && m_history && !m_undoStep) {
        m_history->Open();
        m_undoStep.emplace();
    }
}

void Document::RememberRecord(const RecordKey& key, const Bytes* now) {
    const bool edit = m_edits > 0;
    // What runs before a write may put records back (the change listing): then `now` is found
    // again.
    const uint64_t generation = m_records.Generation();
    BeforeWrite(edit);
    if (m_records.Generation() != generation) {
        now = m_records.Find(key);
    }
    for (Journal& journal : m_journals) {
        journal.records.Remember(key, now);
    }
    if (edit && m_undoStep) {
        m_undoStep->records.Remember(key, now);
    }
}

bool Document::RememberCell(const CellKey& cell, const CellEntries* now) {
    // What runs before a write may put cells back (the change listing): then `now` is found
    // again, and the caller is told.
    const bool hooked = m_beforeWrite.Set();
    BeforeWrite(true);
    if (hooked) {
        now = &EntriesOf(cell);
    }
    // One copy of the entries for every journal that has no note of the cell yet.
    std::shared_ptr<const CellEntries> kept;
    const auto remember = [&](Journal& journal) {
        const auto at = journal.cells.lower_bound(cell);
        if (at == journal.cells.end() || at->first != cell) {
            if (!kept) {
                kept = std::make_shared<const CellEntries>(*now);
            }
            journal.cells.emplace_hint(at, cell, kept);
        }
    };
    for (Journal& journal : m_journals) {
        remember(journal);
    }
    if (m_undoStep) {
        remember(*m_undoStep);
    }
    return hooked;
}

void Document::RememberFonts() {
    BeforeWrite(true);
    // A change journal holds the fonts from its beginning.
    if (m_undoStep && !m_undoStep->fonts) {
        m_undoStep->fonts = m_fonts;
    }
}

void Document::BeginJournal() {
    m_journals.push_back(Journal{{}, {}, m_fonts});
}

Document::Journal Document::EndJournal() {
    if (m_journals.empty()) {
        throw std::logic_error("a document journal ends that was never begun");
    }
    Journal journal = std::move(m_journals.back());
    m_journals.pop_back();
    return journal;
}

Document::Journal Document::Revert(const Journal& journal) {
    return Apply(journal, false);
}

Document::Journal Document::Apply(const Journal& journal, bool noted) {
    if (noted) {
        BeforeWrite(false);
    }
    Journal now;
    for (const auto& [key, bytes] : journal.records) {
        if (noted) {
            RememberRecord(key, m_records.Find(key));
        }
        const Bytes* current = m_records.Find(key);
        now.records.Remember(key, current);
        m_records.Restore(key, bytes);
    }
    for (const auto& [cell, entries] : journal.cells) {
        const auto held = std::make_shared<const CellEntries>(EntriesOf(cell));
        if (noted) {
            for (Journal& open : m_journals) {
                open.cells.try_emplace(cell, held);
            }
        }
        now.cells.emplace(cell, held);
        if (entries->empty()) {
            m_cells.erase(cell);
        } else {
            NoteEntryNumbers(*entries);
            m_cells[cell] = *entries;
        }
    }
    if (journal.fonts) {
        now.fonts = m_fonts;
        m_fonts = *journal.fonts;
    }
    return now;
}

void Document::AppendEntry(const CellKey& cell, const EntryBytes& entry) {
    RememberCell(cell, &EntriesOf(cell));
    m_highestEntryNumber = std::max(m_highestEntryNumber, hostapi::ConstEntryView(entry.data()).number());
    m_cells[cell].push_back(entry);
}

void Document::SetEntries(const CellKey& cell, CellEntries entries) {
    // One lookup finds the cell (or where it goes), unless what ran before the write moved cells.
    static const CellEntries kNone;
    auto at = m_cells.lower_bound(cell);
    bool found = at != m_cells.end() && at->first == cell;
    // Entries saved as they are change nothing: nothing is noted (a command that saves every
    // cell it read leaves no journal of the cells it did not change).
    if ((found ? at->second : kNone) == entries) {
        return;
    }
    if (RememberCell(cell, found ? &at->second : &kNone)) {
        at = m_cells.lower_bound(cell);
        found = at != m_cells.end() && at->first == cell;
    }
    NoteEntryNumbers(entries);
    if (entries.empty()) {
        if (found) {
            m_cells.erase(at);
        }
    } else if (found) {
        at->second = std::move(entries);
    } else {
        m_cells.emplace_hint(at, cell, std::move(entries));
    }
}

void Document::SetFont(int16_t number, std::string name) {
    RememberFonts();
    m_fonts[number] = std::move(name);
}

void Document::StartUndoHistory(std::function<std::string()> namer) {
    m_history = std::make_unique<UndoJournal>(std::move(namer));
}

void Document::CloseUndoStep() {
    if (m_history && m_undoStep) {
        Journal before = std::move(*m_undoStep);
        m_undoStep.reset();
        m_history->Close(std::move(before), *this);
    }
}

const UndoStep* Document::Undo() {
    return Step(&UndoJournal::TakeUndo);
}

const UndoStep* Document::Redo() {
    return Step(&UndoJournal::TakeRedo);
}

const UndoStep* Document::Step(UndoStep* (UndoJournal::*take)()) {
    if (!m_history) {
        return nullptr;
    }
    CloseUndoStep();
    UndoStep* step = (m_history.get()->*take)();
    if (step != nullptr) {
        // The step's other state goes in; the state it replaces is what the step keeps.
        step->other = Apply(step->other, true);
    }
    return step;
}

const std::vector<hostapi::InstrumentKey>& Document::StaffListOf(hostapi::ViewKey view) const {
    const uint64_t writes = m_records.WritesOf(kTagStaffListEntry);
    const auto [it, added] = m_staffLists.try_emplace(view);
    StaffList& list = it->second;
    if (added || list.writes != writes) {
        list.writes = writes;
        list.staves.clear();
        const RecordStore::Map& records = m_records.Records();
        for (auto at = records.lower_bound(RecordKey::Other(kTagStaffListEntry, view, INT16_MIN));
             at != records.end() && at->first.tag == kTagStaffListEntry && at->first.first == view; ++at) {
            const Bytes& bytes = at->second;
            list.staves.push_back(bytes.size() >= StaffListEntryLayout::kStaff + 2
                                      ? hostapi::ReadI16(bytes.data(), StaffListEntryLayout::kStaff)
                                      : 0);
        }
    }
    return list.staves;
}

bool Document::Holds(HeldNumbers& cache, hostapi::Tag tag, hostapi::Cmper number) const {
    const uint64_t writes = m_records.WritesOf(tag);
    if (cache.writes != writes) {
        cache.writes = writes;
        cache.held.assign(size_t{1} << 16, false);
        const RecordStore::Map& records = m_records.Records();
        for (auto at = records.lower_bound(RecordKey{tag, INT32_MIN, INT16_MIN, INT32_MIN});
             at != records.end() && at->first.tag == tag; ++at) {
            const RecordKey& key = at->first;
            if (key.second == 0 && key.third == 0 && key.first >= INT16_MIN && key.first <= INT16_MAX) {
                cache.held[static_cast<size_t>(key.first - INT16_MIN)] = true;
            }
        }
    }
    return cache.held[static_cast<size_t>(number - INT16_MIN)];
}

bool Document::CellExists(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure) const {
    return Holds(m_heldStaves, kTagStaff, staff) && Holds(m_heldMeasures, kTagMeasure, measure);
}

hostapi::EntryNumber Document::NewEntryNumber() {
    const hostapi::EntryNumber highest = std::max(m_highestEntryNumber, m_records.HighestEntryNumber());
    if (highest == INT32_MAX) {
        throw std::length_error("the document has no entry number left");
    }
    m_highestEntryNumber = highest + 1;
    return m_highestEntryNumber;
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
    const EditScope edit(*this);
    const auto other = OtherSystemForm(m_records, key, bytes);
    m_records.Save(key, std::move(bytes));
    if (other) {
        m_records.Save(other->first, std::move(other->second));
    }
}

bool Document::DeleteRecord(const RecordKey& key) {
    const EditScope edit(*this);
    if (!m_records.Delete(key)) {
        return false;
    }
    if (key.tag == hostapi::kTagStaffSystem || key.tag == hostapi::kTagStaffSystem2001) {
        RecordKey other = key;
        other.tag = key.tag == hostapi::kTagStaffSystem ? hostapi::kTagStaffSystem2001 : hostapi::kTagStaffSystem;
        m_records.Delete(other);
    }
    return true;
}

std::optional<RecordKey> Document::CreateRecord(const RecordKey& key, Bytes bytes) {
    const EditScope edit(*this);
    // Only a staff system's bytes are needed after the store has taken them (for its other form).
    const bool system = key.tag == hostapi::kTagStaffSystem || key.tag == hostapi::kTagStaffSystem2001;
    const Bytes kept = system ? bytes : Bytes();
    const std::optional<RecordKey> created = m_records.Create(key, std::move(bytes));
    if (created && system) {
        if (const auto other = OtherSystemForm(m_records, *created, kept)) {
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
    m_records.Create(RecordKey::Other(kTagStaffListEntry, 0, -1), std::move(entry));
    return created;
}

void KeepMeasureNumberRegionsUnder(Document& document, hostapi::Tag tag) {
    const hostapi::Tag other = tag == hostapi::kTagMeasureNumberRegion ? hostapi::kTagMeasureNumberRegion2000
                                                                       : hostapi::kTagMeasureNumberRegion;
    RecordStore& records = document.Records();
    std::vector<RecordKey> moved;
    const RecordStore::Map& all = records.Records();
    for (auto it = all.lower_bound(RecordKey{other, INT32_MIN, INT16_MIN, INT32_MIN});
         it != all.end() && it->first.tag == other; ++it) {
        RecordKey key = it->first;
        key.tag = tag;
        if (records.Find(key) == nullptr) {
            moved.push_back(it->first);
        }
    }
    for (const RecordKey& key : moved) {
        RecordKey kept = key;
        kept.tag = tag;
        records.Restore(kept, *records.Find(key));
        records.Restore(key, std::nullopt);
    }
}

}  // namespace host
