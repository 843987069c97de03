#include "platform/host/record_store.h"

#include <algorithm>
#include <array>
#include <climits>
#include <set>
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

/// Whether two keys of one tag agree in the family's slots before `slot`.
bool SameLeadingKeys(const RecordKey& a, const RecordKey& b, const std::vector<KeySlot>& slots, size_t slot) {
    for (size_t i = 0; i < slot; ++i) {
        if (Get(a, slots[i].member) != Get(b, slots[i].member)) {
            return false;
        }
    }
    return true;
}

RecordKey LowestKeyOf(hostapi::Tag tag) {
    return RecordKey{tag, INT32_MIN, INT16_MIN, INT16_MIN};
}

}  // namespace

hostapi::RecordFamily FamilyOfTag(hostapi::Tag tag) {
    const auto info = hostapi::FindRecordTag(tag);
    return info ? info->family : RecordFamily::Other;
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

void RecordStore::Save(const RecordKey& key, Bytes bytes) {
    m_records[key] = std::move(bytes);
}

std::optional<RecordKey> RecordStore::Create(RecordKey key, Bytes bytes) {
    const std::vector<KeySlot>& slots = LayoutOfTag(key.tag).slots;
    for (size_t slot = 0; slot < slots.size(); ++slot) {
        if (Get(key, slots[slot].member) != -1) {
            continue;
        }
        if (slots[slot].entry || slots[slot].position) {
            return std::nullopt;
        }
        const int32_t lowest = slots[slot].incidence ? 0 : 1;
        int32_t highest = lowest - 1;
        const auto first = m_records.lower_bound(LowestKeyOf(key.tag));
        for (auto it = first; it != m_records.end() && it->first.tag == key.tag; ++it) {
            if (SameLeadingKeys(it->first, key, slots, slot)) {
                highest = std::max(highest, Get(it->first, slots[slot].member));
            }
        }
        int32_t value = highest + 1;
        if (highest >= INT16_MAX) {
            // The top key is taken: the lowest one that is free.
            std::set<int32_t> used;
            for (auto it = first; it != m_records.end() && it->first.tag == key.tag; ++it) {
                if (SameLeadingKeys(it->first, key, slots, slot)) {
                    used.insert(Get(it->first, slots[slot].member));
                }
            }
            value = lowest;
            while (value <= INT16_MAX && used.contains(value)) {
                ++value;
            }
            if (value > INT16_MAX) {
                return std::nullopt;
            }
        }
        Set(key, slots[slot].member, value);
    }
    if (!m_records.emplace(key, std::move(bytes)).second) {
        return std::nullopt;
    }
    return key;
}

bool RecordStore::Delete(const RecordKey& key) {
    if (m_records.erase(key) == 0) {
        return false;
    }
    const std::vector<KeySlot>& slots = LayoutOfTag(key.tag).slots;
    const auto incidence = std::find_if(slots.begin(), slots.end(), [](const KeySlot& s) { return s.incidence; });
    if (incidence == slots.end()) {
        return true;
    }
    const auto slot = static_cast<size_t>(incidence - slots.begin());
    const int member = incidence->member;
    std::vector<RecordKey> later;
    for (auto it = m_records.upper_bound(key); it != m_records.end() && it->first.tag == key.tag; ++it) {
        if (SameLeadingKeys(it->first, key, slots, slot) && Get(it->first, member) > Get(key, member)) {
            later.push_back(it->first);
        }
    }
    // In ascending order each record moves into the place its predecessor has just left.
    for (const RecordKey& old : later) {
        auto node = m_records.extract(old);
        Set(node.key(), member, Get(old, member) - 1);
        m_records.insert(std::move(node));
    }
    return true;
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
