// The stored records of a document: bytes found by a tag and keys. The family of a tag (from
// the table in platform/hostapi/record_tags.h) says how the keys block of a service call is
// read:
//   other         cmper, inci
//   detail        key 1, key 2, inci
//   entry detail  i32 entry number, inci
//   global        key
// A tag that is not in the table is kept as an other record: the host stores whatever a
// plug-in gives it, and the keys of an unknown tag are read as (cmper, inci).
//
// Keys are ordered tag first, then key word by key word compared as signed 16-bit values
// (entry detail records by their i32 entry number, then the inci). The store's rules are those
// of the host's services:
//   save    overwrites a record, or creates it under exactly the keys given;
//   create  a key word of -1 asks for a new value: one above the highest in use under the
//           same leading keys (a new inci starts at 0, any other new key at 1), or, when that
//           highest is the top key 32767, the lowest value free under them; an entry number
//           cannot be asked for; a record that exists already is not created again;
//   delete  later incidences under the same leading keys move down by one;
//   next / previous  the record of the same tag just after / before the keys.
// Records are kept in one ordered map, so that every rule finds its records by an ordered
// lookup of the leading keys (never by a walk over a whole tag), and the family of a tag is
// read from a hash of the tag table.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/host/node_pool.h"
#include "platform/hostapi/record_tags.h"
#include "platform/hostapi/types.h"

namespace host {

using Bytes = std::vector<uint8_t>;

/// The family the host gives a tag: its row of the tag table, other for an unknown tag.
hostapi::RecordFamily FamilyOfTag(hostapi::Tag tag);
/// The tag's row of the tag table, in constant time; nullptr for a tag the host does not know.
const hostapi::RecordTagInfo* TagInfoOf(hostapi::Tag tag);
/// "other", "detail", "entry", "global".
std::string_view FamilyWord(hostapi::RecordFamily family);
std::optional<hostapi::RecordFamily> FamilyFromWord(std::string_view word);

/// A tag as text: printable characters as they are, others (and blank, '"', '\') as \xNN.
std::string TagText(hostapi::Tag tag);
/// The inverse of TagText; nullopt unless the text spells exactly four characters.
std::optional<hostapi::Tag> ParseTagText(std::string_view text);

/// The keys of one stored record, in the host's normal form: the words a family does not use
/// are 0.
struct RecordKey {
    hostapi::Tag tag = 0;
    int32_t first = 0;   ///< cmper, key 1, entry number or global key
    int16_t second = 0;  ///< inci of an other record, key 2 of a detail record, inci of an entry detail
    int32_t third = 0;   ///< inci of a detail record; a position 0-65535 for a position-keyed tag

    static RecordKey Other(hostapi::Tag tag, hostapi::Cmper cmper, hostapi::Inci inci);
    /// For a position-keyed tag (hostapi::IsPositionKeyedTag) the last word is the position.
    static RecordKey Detail(hostapi::Tag tag, int16_t key1, int16_t key2, int32_t inciOrPosition);
    static RecordKey EntryDetail(hostapi::Tag tag, hostapi::EntryNumber entry, hostapi::Inci inci);
    static RecordKey Global(hostapi::Tag tag, int16_t key);
    /// The keys of a tag from the numbers a family has (2, 3, 2 or 1 of them); nullopt when
    /// the count is wrong or a number is out of range.
    static std::optional<RecordKey> FromNumbers(hostapi::Tag tag, const std::vector<int32_t>& numbers);
    /// The keys a plug-in passes: three i16 words, entry detail records an i32 first; the
    /// position word of a position-keyed tag unsigned.
    static RecordKey FromKeysBlock(hostapi::Tag tag, const int16_t* keys);

    hostapi::RecordFamily Family() const { return FamilyOfTag(tag); }
    /// The key numbers of the family, in order (what FromNumbers takes).
    std::vector<int32_t> Numbers() const;
    /// Writes the family's key words into a plug-in's keys block; other words stay.
    void WriteKeysBlock(int16_t* keys) const;
    /// "'SOIS' other (1, 0)": every store message names the record this way.
    std::string Description() const;

    auto operator<=>(const RecordKey&) const = default;
};

/// A member that belongs to the object it was set on: a copy of its owner starts without it.
template <typename T>
struct NotCopied {
    NotCopied() = default;
    NotCopied(const NotCopied&) {}
    NotCopied& operator=(const NotCopied&) { return *this; }

    T value{};
};

/// A hook to run once before a write (a copy of its owner starts without one).
struct WriteHook {
    /// Runs the hook once (it is gone first, so that it cannot run again from inside itself).
    void Fire() {
        if (hook.value) {
            const std::function<void()> once = std::move(hook.value);
            hook.value = nullptr;
            once();
        }
    }
    bool Set() const { return hook.value != nullptr; }

    NotCopied<std::function<void()>> hook;
};

class RecordStore {
public:
    /// The records, their tree nodes from a pool of the store's own (node_pool.h).
    using Map = std::map<RecordKey, Bytes, std::less<RecordKey>, PoolAllocator<std::pair<const RecordKey, Bytes>>>;

    const Bytes* Find(const RecordKey& key) const;
    /// Overwrites the record, or creates it under exactly these keys. Saving the bytes the record
    /// holds changes nothing and is no write.
    void Save(const RecordKey& key, Bytes bytes);
    /// Creates a record; key words of -1 ask for new values (see the rules above). When the
    /// highest value in use is the top key 32767, the new value is the lowest one that no record
    /// under the same leading keys uses (from 0 for an inci, from 1 for any other key). Answers
    /// the keys given to the record, nullopt when it is refused: the record exists, no key is
    /// free, or an entry number of -1 was given.
    std::optional<RecordKey> Create(RecordKey key, Bytes bytes);
    /// Deletes a record and moves the later incidences under the same leading keys down by one.
    bool Delete(const RecordKey& key);
    /// The record of the same tag just after / before the keys, in ascending key order.
    std::optional<RecordKey> Next(const RecordKey& key) const;
    std::optional<RecordKey> Previous(const RecordKey& key) const;
    /// The highest keys of a tag; nullopt when the tag has no record.
    std::optional<RecordKey> Last(hostapi::Tag tag) const;
    /// The keys of every entry detail record stored under an entry number, in key order.
    std::vector<RecordKey> EntryDetailKeys(hostapi::EntryNumber number) const;
    /// The highest entry number any entry detail record has been stored under since the store
    /// was made (0 for none); it does not go down when records go.
    hostapi::EntryNumber HighestEntryNumber() const { return m_highestEntryNumber; }

    /// How many times the records of a tag have changed (saved, created, deleted): a cache of
    /// what a tag holds is good while this stays the same.
    uint64_t WritesOf(hostapi::Tag tag) const {
        const auto it = m_writes.find(tag);
        return it == m_writes.end() ? 0 : it->second;
    }

    /// The observer is told the key of every record a save, create or delete is about to change
    /// (the incidences a delete moves included), before the change, with what the key holds
    /// (nullptr for no record; valid during the call): the document keeps what the key held for
    /// its journals (document.h). A copy of the store starts without one.
    using WriteObserver = std::function<void(const RecordKey&, const Bytes*)>;
    void SetWriteObserver(WriteObserver observer) { m_observer.value = std::move(observer); }
    /// Counts the changes of the map itself (a record put in, taken out or given other bytes):
    /// a record found before it moved on is to be looked up again.
    uint64_t Generation() const { return m_generation; }
    /// Puts bytes under a key as they are, or takes the key's record away (nothing), outside the
    /// rules and without telling the observer: a journal's keys go back to what they held.
    void Restore(const RecordKey& key, const std::optional<Bytes>& bytes);

    const Map& Records() const { return m_records; }
    size_t Count() const { return m_records.size(); }
    /// The same records under the same keys.
    bool operator==(const RecordStore& other) const { return m_records == other.m_records; }

private:
    /// Keeps the counts of the entry detail tags and the highest entry number for a record that
    /// has come (+1) or gone (-1).
    void Count(const RecordKey& key, int change);
    /// Forgets the hints of the lowest free values of a tag (a value may be free again).
    void ForgetFreeHints(hostapi::Tag tag);
    /// Tells the observer that the key, holding `now`, is about to change. Answers whether the
    /// map changed meanwhile (what the observer ran put records back), so that a record found
    /// before is to be looked up again.
    bool Remember(const RecordKey& key, const Bytes* now) {
        const uint64_t generation = m_generation;
        if (m_observer.value) {
            m_observer.value(key, now);
        }
        return m_generation != generation;
    }

    Map m_records;
    /// The number of records of each entry detail tag that has any, in tag order.
    std::map<hostapi::Tag, size_t> m_entryDetailTags;
    hostapi::EntryNumber m_highestEntryNumber = 0;
    /// For a search of the lowest free value (the leading keys' lower bound and the slot's
    /// member): every value below this one is in use. A delete of the tag forgets its hints.
    std::map<std::pair<RecordKey, int>, int32_t> m_usedBelow;
    std::unordered_map<hostapi::Tag, uint64_t> m_writes;
    uint64_t m_generation = 0;
    NotCopied<WriteObserver> m_observer;
};

}  // namespace host
