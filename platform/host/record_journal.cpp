#include "platform/host/record_journal.h"

#include <algorithm>
#include <stdexcept>

namespace host {
namespace {

uint64_t HashOf(const RecordKey& key) {
    // The four key words mixed into one word (the finalizer of splitmix64).
    uint64_t h = (uint64_t{key.tag} << 32) ^ static_cast<uint32_t>(key.first);
    h ^= (uint64_t{static_cast<uint16_t>(key.second)} << 48) ^ (uint64_t{static_cast<uint32_t>(key.third)} << 13);
    h = (h ^ (h >> 30)) * 0xBF58476D1CE4E5B9u;
    h = (h ^ (h >> 27)) * 0x94D049BB133111EBu;
    return h ^ (h >> 31);
}

}  // namespace

size_t RecordJournal::SlotOf(const RecordKey& key, uint64_t hash) const {
    // A slot holds the note's index plus one in its low half and the high half of its key's hash
    // in its high half, which also picks the first slot to look at: a note is read only when the
    // hashes agree, and a larger index is made without reading the notes.
    const size_t mask = m_index.size() - 1;
    const uint64_t high = hash & 0xFFFFFFFF00000000u;
    for (size_t slot = static_cast<size_t>(hash >> 32) & mask;; slot = (slot + 1) & mask) {
        const uint64_t at = m_index[slot];
        if (at == 0 || ((at & 0xFFFFFFFF00000000u) == high && m_notes[(at & 0xFFFFFFFFu) - 1].first == key)) {
            return slot;
        }
    }
}

const std::optional<Bytes>* RecordJournal::Find(const RecordKey& key) const {
    if (m_notes.empty()) {
        return nullptr;
    }
    if (!m_indexed) {
        Reindex(m_notes.size());
    }
    const uint64_t at = m_index[SlotOf(key, HashOf(key))];
    return at == 0 ? nullptr : &m_notes[(at & 0xFFFFFFFFu) - 1].second;
}

void RecordJournal::Put(const RecordKey& key, std::optional<Bytes> bytes) {
    if (m_notes.size() >= UINT32_MAX - 1) {
        throw std::length_error("a record journal holds no more notes");
    }
    if (!m_indexed || (m_notes.size() + 1) * 2 > m_index.size()) {
        Reindex(m_notes.size() + 1);
    }
    if (m_ordered && !m_notes.empty() && !(m_notes.back().first < key)) {
        m_ordered = false;
    }
    const uint64_t hash = HashOf(key);
    const size_t slot = SlotOf(key, hash);
    m_notes.emplace_back(key, std::move(bytes));
    m_index[slot] = (hash & 0xFFFFFFFF00000000u) | m_notes.size();
}

void RecordJournal::Reindex(size_t notes) const {
    size_t slots = 16;
    while (slots < notes * 2) {
        slots *= 2;
    }
    if (m_indexed && slots == m_index.size()) {
        return;
    }
    const size_t mask = slots - 1;
    std::vector<uint64_t> index(slots, 0);
    const auto place = [&](uint64_t slotValue) {
        size_t slot = static_cast<size_t>(slotValue >> 32) & mask;
        while (index[slot] != 0) {
            slot = (slot + 1) & mask;
        }
        index[slot] = slotValue;
    };
    if (m_indexed) {
        for (const uint64_t at : m_index) {
            if (at != 0) {
                place(at);
            }
        }
    } else {
        for (size_t i = 0; i < m_notes.size(); ++i) {
            place((HashOf(m_notes[i].first) & 0xFFFFFFFF00000000u) | (i + 1));
        }
    }
    m_index = std::move(index);
    m_indexed = true;
}

const std::deque<RecordJournal::Note>& RecordJournal::Ordered() const {
    if (!m_ordered) {
        std::sort(m_notes.begin(), m_notes.end(), [](const Note& a, const Note& b) { return a.first < b.first; });
        m_ordered = true;
        m_indexed = false;
    }
    return m_notes;
}

}  // namespace host
