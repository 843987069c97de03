// What record keys held before the writes since a journal was begun (document.h: the host's
// change journal of a command, the open step of the undo history): for each key written, its
// bytes then, or nothing for a key that had no record. Every write asks the journal whether it
// has the key already, and a command that creates 180,000 records asks 180,000 times, so the
// notes are kept in the order they come, in blocks of a few notes that are never moved as the
// journal grows (a deque: no heap block per note, and no array copied into fresh memory at each
// doubling), with an open-addressing hash index of their keys beside it (one probe of a table
// per question, no node per key); they are put in key order once, when they are read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

#include "platform/host/record_store.h"

namespace host {

class RecordJournal {
public:
    using Note = std::pair<RecordKey, std::optional<Bytes>>;

    /// Notes that the key holds `now` (nullptr for no record), unless the journal has the key
    /// already; answers whether it noted.
    bool Remember(const RecordKey& key, const Bytes* now) {
        if (Contains(key)) {
            return false;
        }
        Put(key, now == nullptr ? std::nullopt : std::optional<Bytes>(std::in_place, *now));
        return true;
    }
    /// Puts a note in unless the journal has the key already; answers whether it did.
    bool Add(const RecordKey& key, std::optional<Bytes> bytes) {
        if (Contains(key)) {
            return false;
        }
        Put(key, std::move(bytes));
        return true;
    }
    bool Contains(const RecordKey& key) const { return Find(key) != nullptr; }
    /// What the journal holds for the key: nullptr when it has no note of it.
    const std::optional<Bytes>* Find(const RecordKey& key) const;

    size_t size() const { return m_notes.size(); }
    bool empty() const { return m_notes.empty(); }
    /// The notes in key order.
    std::deque<Note>::const_iterator begin() const { return Ordered().begin(); }
    std::deque<Note>::const_iterator end() const { return Ordered().end(); }

    /// Takes out the notes for which `drop(note)` is true; answers how many went.
    template <typename Predicate>
    size_t EraseIf(Predicate drop) {
        const size_t dropped = std::erase_if(m_notes, drop);
        if (dropped != 0) {
            m_indexed = false;
        }
        return dropped;
    }

private:
    /// The slot of the index for the key (of that hash): where it is, or the empty slot where it
    /// goes.
    size_t SlotOf(const RecordKey& key, uint64_t hash) const;
    void Put(const RecordKey& key, std::optional<Bytes> bytes);
    /// Makes the index again for the notes as they are now, with room for `notes` notes.
    void Reindex(size_t notes) const;
    const std::deque<Note>& Ordered() const;

    mutable std::deque<Note> m_notes;
    mutable bool m_ordered = true;
    /// Per slot 0 for none, else the index of a note plus one (low 32 bits) and the high 32 bits
    /// of its key's hash; a power of two in size, at most half full.
    mutable std::vector<uint64_t> m_index;
    /// Whether m_index tells where every note of m_notes is (sorting and erasing move them).
    mutable bool m_indexed = true;
};

}  // namespace host
