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
//           same leading keys (a new inci starts at 0, any other new key at 1), or, when the
//           highest is 32767, the lowest value that is free; an entry number cannot be asked
//           for; a record that exists already is not created again;
//   delete  later incidences under the same leading keys move down by one;
//   next / previous  the record of the same tag just after / before the keys.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/hostapi/record_tags.h"
#include "platform/hostapi/types.h"

namespace host {

using Bytes = std::vector<uint8_t>;

/// The family the host gives a tag: its row of the tag table, other for an unknown tag.
hostapi::RecordFamily FamilyOfTag(hostapi::Tag tag);
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

class RecordStore {
public:
    using Map = std::map<RecordKey, Bytes>;

    const Bytes* Find(const RecordKey& key) const;
    /// Overwrites the record, or creates it under exactly these keys.
    void Save(const RecordKey& key, Bytes bytes);
    /// Creates a record; key words of -1 ask for new values (see the rules above). Answers the
    /// keys given to the record, nullopt when it is refused: the record exists, every key up
    /// to 32767 is in use, or an entry number of -1 was given.
    std::optional<RecordKey> Create(RecordKey key, Bytes bytes);
    /// Deletes a record and moves the later incidences under the same leading keys down by one.
    bool Delete(const RecordKey& key);
    /// The record of the same tag just after / before the keys, in ascending key order.
    std::optional<RecordKey> Next(const RecordKey& key) const;
    std::optional<RecordKey> Previous(const RecordKey& key) const;

    const Map& Records() const { return m_records; }
    size_t Count() const { return m_records.size(); }
    bool operator==(const RecordStore&) const = default;

private:
    Map m_records;
};

}  // namespace host
