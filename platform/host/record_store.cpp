#include "platform/host/record_store.h"

#include <algorithm>
#include <array>
#include <climits>
#include <stdexcept>

#include "platform/hostapi/bytes.h"

namespace host {
namespace {

using hostapi::RecordFamily;

/// One key word of a family: which member of RecordKey holds it and what it is.
struct KeySlot {
    int member;             ///< 0 first, 1 second, 2 third
    bool incidence;         ///< a new value starts at 0 (other keys start at 1)
    bool entry;             ///< an i32 entry number, which the host never hands out
    bool position = false;  ///< an EDU position, 0 to hostapi::kMaxKeyPosition
};

struct FamilyLayout {
    RecordFamily family;
    std::string_view word;
    std::vector<KeySlot> slots;
};

// clang-format off
const std::array<FamilyLayout, 4>& FamilyLayouts() {
    static const std::array<FamilyLayout, 4> kLayouts = {{
        {RecordFamily::Other,       "other",  {{0, false, false}, {1, true, false}}},
        {RecordFamily::Detail,      "detail", {{0, false, false}, {1, false, false}, {2, true, false}}},
        {RecordFamily::EntryDetail, "entry",  {{0, false, true}, {1, true, false}}},
        {RecordFamily::Global,      "global", {{0, false, false}}},
    }};
    return kLayouts;
}
// clang-format on

/// The detail layout of a position-keyed tag: key 1, key 2 and the position.
const FamilyLayout& PositionKeyedLayout() {
    static const FamilyLayout kLayout = {
        RecordFamily::Detail, "detail", {{0, false, false}, {1, false, false}, {2, false, false, true}}};
    return kLayout;
}

const FamilyLayout& LayoutOf(RecordFamily family) {
    for (const FamilyLayout& layout : FamilyLayouts()) {
        if (layout.family == family) {
            return layout;
        }
    }
    throw std::logic_error("a record family without a key layout");
}

const FamilyLayout& LayoutOfTag(hostapi::Tag tag) {
    return hostapi::IsPositionKeyedTag(tag) ? PositionKeyedLayout() : LayoutOf(FamilyOfTag(tag));
}

int32_t Get(const RecordKey& key, int member) {
    return member == 0 ? key.first : member == 1 ? key.second : key.third;
}

void Set(RecordKey& key, int member, int32_t value) {
    if (member == 0) {
        key.first = value;
    } else if (member == 1) {
        key.second = static_cast<int16_t>(value);
    } else {
        key.third = value;
    }
}

/// The tag table as an open-addressed hash: a tag's row in constant time. Every row of
/// the table takes a slot; an empty slot (tag 0) ends a probe.
class TagTable {
public:
    TagTable() {
        for (const hostapi::RecordTagInfo& info : hostapi::kRecordTags) {
            size_t at = SlotOf(info.tag);
            while (m_slots[at].tag != 0 && m_slots[at].tag != info.tag) {
                at = (at + 1) % kSlots;
            }
            if (m_slots[at].tag == 0) {
                m_slots[at] = {info.tag, &info};
            }
        }
    }

    /// The tag's row of the table, nullptr for a tag the host does not know.
    const hostapi::RecordTagInfo* Of(hostapi::Tag tag) const {
        for (size_t at = SlotOf(tag);; at = (at + 1) % kSlots) {
            if (m_slots[at].tag == 0) {
                return nullptr;
            }
            if (m_slots[at].tag == tag) {
                return m_slots[at].info;
            }
        }
    }

private:
    static constexpr size_t kSlots = 512;
    static_assert(hostapi::kRecordTags.size() < kSlots / 2, "the tag hash must stay sparse");
    static_assert(!hostapi::FindRecordTag(0), "tag 0 marks an empty slot");

    struct Slot {
        hostapi::Tag tag = 0;
        const hostapi::RecordTagInfo* info = nullptr;
    };

    static size_t SlotOf(hostapi::Tag tag) { return (static_cast<uint32_t>(tag) * 2654435761u >> 16) % kSlots; }

    std::array<Slot, kSlots> m_slots{};
};

}  // namespace

const hostapi::RecordTagInfo* TagInfoOf(hostapi::Tag tag) {
    static const TagTable kFamilies;
    return kFamilies.Of(tag);
}

hostapi::RecordFamily FamilyOfTag(hostapi::Tag tag) {
    const hostapi::RecordTagInfo* info = TagInfoOf(tag);
    return info == nullptr ? RecordFamily::Other : info->family;
}

std::string_view FamilyWord(hostapi::RecordFamily family) {
    return LayoutOf(family).word;
}

std::optional<hostapi::RecordFamily> FamilyFromWord(std::string_view word) {
    for (const FamilyLayout& layout : FamilyLayouts()) {
        if (layout.word == word) {
            return layout.family;
        }
    }
    return std::nullopt;
}

std::string TagText(hostapi::Tag tag) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto c = static_cast<uint8_t>(tag >> shift);
        if (c > 0x20 && c < 0x7F && c != '\\' && c != '"') {
            text += static_cast<char>(c);
        } else {
            text += "\\x";
            text += kHex[c >> 4];
            text += kHex[c & 0xF];
        }
    }
    return text;
}

std::optional<hostapi::Tag> ParseTagText(std::string_view text) {
    const auto hexValue = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    hostapi::Tag tag = 0;
    int count = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        uint8_t c = static_cast<uint8_t>(text[i]);
        if (c == '\\') {
            if (i + 3 >= text.size() || text[i + 1] != 'x') {
                return std::nullopt;
            }
            const int high = hexValue(text[i + 2]);
            const int low = hexValue(text[i + 3]);
            if (high < 0 || low < 0) {
                return std::nullopt;
            }
            c = static_cast<uint8_t>(high * 16 + low);
            i += 3;
        }
        if (++count > 4) {
            return std::nullopt;
        }
        tag = (tag << 8) | c;
    }
    return count == 4 ? std::optional<hostapi::Tag>(tag) : std::nullopt;
}

RecordKey RecordKey::Other(hostapi::Tag tag, hostapi::Cmper cmper, hostapi::Inci inci) {
    return RecordKey{tag, cmper, inci, 0};
}

RecordKey RecordKey::Detail(hostapi::Tag tag, int16_t key1, int16_t key2, int32_t inciOrPosition) {
    return RecordKey{tag, key1, key2, inciOrPosition};
}

RecordKey RecordKey::EntryDetail(hostapi::Tag tag, hostapi::EntryNumber entry, hostapi::Inci inci) {
    return RecordKey{tag, entry, inci, 0};
}

RecordKey RecordKey::Global(hostapi::Tag tag, int16_t key) {
    return RecordKey{tag, key, 0, 0};
}

std::optional<RecordKey> RecordKey::FromNumbers(hostapi::Tag tag, const std::vector<int32_t>& numbers) {
    const FamilyLayout& layout = LayoutOfTag(tag);
    if (numbers.size() != layout.slots.size()) {
        return std::nullopt;
    }
    RecordKey key{tag};
    for (size_t i = 0; i < numbers.size(); ++i) {
        const KeySlot& slot = layout.slots[i];
        if (slot.position && (numbers[i] < 0 || numbers[i] > hostapi::kMaxKeyPosition)) {
            return std::nullopt;
        }
        if (!slot.entry && !slot.position && (numbers[i] < INT16_MIN || numbers[i] > INT16_MAX)) {
            return std::nullopt;
        }
        Set(key, layout.slots[i].member, numbers[i]);
    }
    return key;
}

RecordKey RecordKey::FromKeysBlock(hostapi::Tag tag, const int16_t* keys) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(keys);
    switch (FamilyOfTag(tag)) {
        case RecordFamily::Detail:
            return Detail(tag, keys[0], keys[1],
                          hostapi::IsPositionKeyedTag(tag) ? int32_t{static_cast<uint16_t>(keys[2])} : keys[2]);
        case RecordFamily::EntryDetail:
            return EntryDetail(tag, hostapi::ReadI32(bytes, 0), keys[2]);
        case RecordFamily::Global:
            return Global(tag, keys[0]);
        case RecordFamily::Other:
            break;
    }
    return Other(tag, keys[0], keys[1]);
}

std::vector<int32_t> RecordKey::Numbers() const {
    std::vector<int32_t> numbers;
    for (const KeySlot& slot : LayoutOfTag(tag).slots) {
        numbers.push_back(Get(*this, slot.member));
    }
    return numbers;
}

void RecordKey::WriteKeysBlock(int16_t* keys) const {
    auto* bytes = reinterpret_cast<uint8_t*>(keys);
    switch (Family()) {
        case RecordFamily::Other:
            keys[0] = static_cast<int16_t>(first);
            keys[1] = second;
            break;
        case RecordFamily::Detail:
            keys[0] = static_cast<int16_t>(first);
            keys[1] = second;
            keys[2] = static_cast<int16_t>(third);
            break;
        case RecordFamily::EntryDetail:
            hostapi::WriteI32(bytes, 0, first);
            keys[2] = second;
            break;
        case RecordFamily::Global:
            keys[0] = static_cast<int16_t>(first);
            break;
    }
}

std::string RecordKey::Description() const {
    std::string text = "'" + TagText(tag) + "' " + std::string(FamilyWord(Family())) + " (";
    const std::vector<int32_t> numbers = Numbers();
    for (size_t i = 0; i < numbers.size(); ++i) {
        text += (i == 0 ? "" : ", ") + std::to_string(numbers[i]);
    }
    return text + ")";
}

const Bytes* RecordStore::Find(const RecordKey& key) const {
    const auto it = m_records.find(key);
    return it == m_records.end() ? nullptr : &it->second;
}

void RecordStore::Count(const RecordKey& key, int change) {
    if (key.Family() != RecordFamily::EntryDetail) {
        return;
    }
    if (change > 0) {
        ++m_entryDetailTags[key.tag];
        m_highestEntryNumber = std::max(m_highestEntryNumber, key.first);
    } else if (const auto it = m_entryDetailTags.find(key.tag); it != m_entryDetailTags.end() && --it->second == 0) {
        m_entryDetailTags.erase(it);
    }
}

void RecordStore::ForgetFreeHints(hostapi::Tag tag) {
    // A value of the tag may be free again: its hints go.
    for (auto it = m_usedBelow.lower_bound({RecordKey{tag, INT32_MIN, INT16_MIN, INT32_MIN}, 0});
         it != m_usedBelow.end() && it->first.first.tag == tag;) {
        it = m_usedBelow.erase(it);
    }
}

void RecordStore::Restore(const RecordKey& key, const std::optional<Bytes>& bytes) {
    ++m_writes[key.tag];
    ++m_generation;
    if (bytes) {
        const auto [it, added] = m_records.try_emplace(key);
        it->second = *bytes;
        if (added) {
            Count(key, +1);
        }
        return;
    }
    if (m_records.erase(key) != 0) {
        Count(key, -1);
        ForgetFreeHints(key.tag);
    }
}

void RecordStore::Save(const RecordKey& key, Bytes bytes) {
    // One lookup finds the record (or where it goes), unless the observer moved the records.
    auto it = m_records.lower_bound(key);
    bool found = it != m_records.end() && it->first == key;
    // A record saved as it is changes nothing: nothing is noted.
    if (found && it->second == bytes) {
        return;
    }
    if (Remember(key, found ? &it->second : nullptr)) {
        it = m_records.lower_bound(key);
        found = it != m_records.end() && it->first == key;
    }
    ++m_writes[key.tag];
    ++m_generation;
    if (found) {
        it->second = std::move(bytes);
        return;
    }
    m_records.emplace_hint(it, key, std::move(bytes));
    Count(key, +1);
}

namespace {

/// A bound of the records whose key members before `member` are those of `key` (the family's
/// leading keys: a family's key words are always its first members): just below the first of
/// them, or (upper) just above the last.
RecordKey LeadingBound(const RecordKey& key, int member, bool upper) {
    RecordKey bound{key.tag, upper ? INT32_MAX : INT32_MIN, static_cast<int16_t>(upper ? INT16_MAX : INT16_MIN),
                    upper ? INT32_MAX : INT32_MIN};
    if (member > 0) {
        bound.first = key.first;
    }
    if (member > 1) {
        bound.second = key.second;
    }
    if (member > 2) {
        bound.third = key.third;
    }
    return bound;
}

}  // namespace

std::optional<RecordKey> RecordStore::Create(RecordKey key, Bytes bytes) {
    const std::vector<KeySlot>& slots = LayoutOfTag(key.tag).slots;
    for (size_t slot = 0; slot < slots.size(); ++slot) {
        const int member = slots[slot].member;
        if (Get(key, member) != -1) {
            continue;
        }
        if (slots[slot].entry || slots[slot].position) {
            return std::nullopt;
        }
        // The records under the same leading keys are one run of the map, ordered by this slot:
        // its last record is the one before the end of the run, when that one is in the run.
        const auto end = m_records.upper_bound(LeadingBound(key, member, true));
        const int32_t first = slots[slot].incidence ? 0 : 1;
        int32_t value = first;
        if (end != m_records.begin() && std::prev(end)->first >= LeadingBound(key, member, false)) {
            value = std::max(first, Get(std::prev(end)->first, member) + 1);
        }
        if (value > INT16_MAX) {
            // The top key is in use: the lowest value from `first` on that no record uses. The
            // values below the hint are known to be in use (until a record of the tag goes).
            const std::pair<RecordKey, int> hintKey{LeadingBound(key, member, false), member};
            int32_t& usedBelow = m_usedBelow.try_emplace(hintKey, first).first->second;
            value = std::max(first, usedBelow);
            RecordKey from = key;
            Set(from, member, value);
            for (auto it = m_records.lower_bound(LeadingBound(from, member + 1, false));
                 it != end && value <= INT16_MAX;) {
                const int32_t used = Get(it->first, member);
                if (used > value) {
                    break;
                }
                value = std::max(value, used + 1);
                // On to the first record with a higher value in this slot.
                it = m_records.upper_bound(LeadingBound(it->first, member + 1, true));
            }
            usedBelow = value;
            if (value > INT16_MAX) {
                return std::nullopt;
            }
        }
        Set(key, member, value);
    }
    auto at = m_records.lower_bound(key);
    if (at != m_records.end() && at->first == key) {
        return std::nullopt;
    }
    if (Remember(key, nullptr)) {
        at = m_records.lower_bound(key);
    }
    m_records.emplace_hint(at, key, std::move(bytes));
    ++m_writes[key.tag];
    ++m_generation;
    Count(key, +1);
    return key;
}

bool RecordStore::Delete(const RecordKey& key) {
    auto at = m_records.find(key);
    if (at == m_records.end()) {
        return false;
    }
    if (Remember(key, &at->second)) {
        at = m_records.find(key);
    }
    m_records.erase(at);
    ++m_writes[key.tag];
    ++m_generation;
    Count(key, -1);
    ForgetFreeHints(key.tag);
    const std::vector<KeySlot>& slots = LayoutOfTag(key.tag).slots;
    const auto incidence = std::find_if(slots.begin(), slots.end(), [](const KeySlot& s) { return s.incidence; });
    if (incidence == slots.end()) {
        return true;
    }
    const int member = incidence->member;
    // The later incidences follow the deleted record in the map, up to the end of its leading keys.
    std::vector<RecordKey> later;
    const auto end = m_records.upper_bound(LeadingBound(key, member, true));
    for (auto it = m_records.upper_bound(key); it != end; ++it) {
        if (Get(it->first, member) > Get(key, member)) {
            later.push_back(it->first);
        }
    }
    // In ascending order each record moves into the place its predecessor has just left. (Not by
    // extract and insert: a node handle of this library keeps a copy of the map's allocator that
    // it never lets go, and so the store's node pool.)
    for (const RecordKey& old : later) {
        Remember(old, Find(old));
        ++m_generation;
        const auto record = m_records.find(old);
        Bytes bytes = std::move(record->second);
        const auto next = m_records.erase(record);
        RecordKey moved = old;
        Set(moved, member, Get(old, member) - 1);
        m_records.emplace_hint(next, moved, std::move(bytes));
    }
    return true;
}

std::optional<RecordKey> RecordStore::Last(hostapi::Tag tag) const {
    auto it = m_records.upper_bound(RecordKey{tag, INT32_MAX, INT16_MAX, INT32_MAX});
    if (it == m_records.begin() || (--it)->first.tag != tag) {
        return std::nullopt;
    }
    return it->first;
}

std::vector<RecordKey> RecordStore::EntryDetailKeys(hostapi::EntryNumber number) const {
    std::vector<RecordKey> keys;
    for (const auto& [tag, count] : m_entryDetailTags) {
        for (auto it = m_records.lower_bound(RecordKey{tag, number, INT16_MIN, INT32_MIN});
             it != m_records.end() && it->first.tag == tag && it->first.first == number; ++it) {
            keys.push_back(it->first);
        }
    }
    return keys;
}

std::optional<RecordKey> RecordStore::Next(const RecordKey& key) const {
    const auto it = m_records.upper_bound(key);
    if (it == m_records.end() || it->first.tag != key.tag) {
        return std::nullopt;
    }
    return it->first;
}

std::optional<RecordKey> RecordStore::Previous(const RecordKey& key) const {
    auto it = m_records.lower_bound(key);
    if (it == m_records.begin()) {
        return std::nullopt;
    }
    --it;
    if (it->first.tag != key.tag) {
        return std::nullopt;
    }
    return it->first;
}

}  // namespace host
