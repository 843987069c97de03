#include "platform/host/entry_arrays.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <memory>

#include "platform/host/host_state.h"

namespace host {
namespace {

using hostapi::ConstEntryView;
using hostapi::EntryArray;
using hostapi::EntryLayout;
using hostapi::EntryView;

using detail::LentArray;

std::map<const EntryArray*, std::unique_ptr<LentArray>>& Lent() {
    return detail::State().lent;
}

int32_t HeldEntries(const LentArray& lent) {
    return static_cast<int32_t>(lent.storage.size() / EntryLayout::kSize);
}

/// The lent array behind a pointer, when the plug-in kept to the rules: the host lent it, its
/// count lies within the entries the host holds and its entry address is the host's.
LentArray* Checked(const EntryArray* array) {
    const auto it = Lent().find(array);
    if (it == Lent().end()) {
        return nullptr;
    }
    LentArray& lent = *it->second;
    const uint8_t* expected = lent.storage.empty() ? nullptr : lent.storage.data();
    if (lent.header.count < 0 || lent.header.count > HeldEntries(lent) || lent.header.entries != expected) {
        return nullptr;
    }
    return &lent;
}

/// Gives the array new storage holding `entries`, so that its entry address moves.
void Relay(LentArray& lent, std::vector<uint8_t> entries) {
    lent.storage = std::move(entries);
    lent.header.entries = lent.storage.empty() ? nullptr : lent.storage.data();
    lent.header.count = static_cast<int16_t>(HeldEntries(lent));
}

std::vector<uint8_t> BytesOf(const CellEntries& entries) {
    std::vector<uint8_t> bytes;
    bytes.reserve(entries.size() * EntryLayout::kSize);
    for (const EntryBytes& entry : entries) {
        bytes.insert(bytes.end(), entry.begin(), entry.end());
    }
    return bytes;
}

CellEntries EntriesOf(const LentArray& lent) {
    CellEntries entries(static_cast<size_t>(lent.header.count));
    for (size_t i = 0; i < entries.size(); ++i) {
        std::memcpy(entries[i].data(), lent.storage.data() + i * EntryLayout::kSize, EntryLayout::kSize);
    }
    return entries;
}

/// Gives every note with identifier 0 one above the highest identifier of its entry.
void NumberNotes(EntryView entry) {
    int16_t highest = 0;
    for (int32_t i = 0; i < entry.notesHeld(); ++i) {
        highest = std::max(highest, entry.note(i).noteId());
    }
    for (int32_t i = 0; i < entry.notesHeld(); ++i) {
        if (entry.note(i).noteId() == 0 && highest < INT16_MAX) {
            entry.note(i).setNoteId(++highest);
        }
    }
}

bool IsPlainRest(ConstEntryView entry) {
    constexpr uint32_t kNotPlain = hostapi::kEntryNote | hostapi::kEntryHidden | hostapi::kEntryVoice2 |
                                   hostapi::kEntryVoice2Start | hostapi::kEntryGrace;
    return (entry.flags() & kNotPlain) == 0 && entry.actualDuration() > 0 && entry.duration() == entry.actualDuration();
}

/// A rest of this length at this position reads as one plain or dotted value.
bool IsSimpleRest(hostapi::Edu position, hostapi::Edu length) {
    if (length <= 0 || length > INT16_MAX || position < 0) {
        return false;
    }
    hostapi::Edu plain = 1;
    while (plain * 2 <= length) {
        plain *= 2;
    }
    const bool shaped = length == plain || (plain >= 2 && length == plain + plain / 2);
    return shaped && plain <= hostapi::kEduWholeNote && position % plain == 0;
}

}  // namespace

EntryArray* LendEntryArray(Document& document, const CellKey& cell, bool evenEmpty) {
    const CellEntries& entries = document.EntriesOf(cell);
    if (entries.empty() && !evenEmpty) {
        return nullptr;
    }
    auto lent = std::make_unique<LentArray>();
    lent->document = &document;
    lent->cell = cell;
    lent->serial = detail::State().nextSerial++;
    lent->header.staff = cell.staff;
    lent->header.measure = cell.measure;
    lent->header.layer = cell.layer;
    Relay(*lent, BytesOf(entries));
    EntryArray* array = &lent->header;
    Lent()[array] = std::move(lent);
    return array;
}

int16_t SaveLentEntryArray(EntryArray* array) {
    LentArray* lent = Checked(array);
    if (lent == nullptr || lent->document == nullptr) {
        return 0;
    }
    for (int32_t i = 0; i < lent->header.count; ++i) {
        const EntryView entry = lent->header.entry(i);
        if (entry.number() == 0) {
            entry.setNumber(lent->document->NewEntryNumber());
        }
        NumberNotes(entry);
    }
    // The array goes to the layer its header names, so a plug-in can move a layer's entries.
    CellKey cell = lent->cell;
    if (lent->header.layer >= 0 && lent->header.layer <= 3) {
        cell.layer = lent->header.layer;
    }
    lent->document->SetEntries(cell, EntriesOf(*lent));
    return 1;
}

int16_t ReleaseLentEntryArray(EntryArray* array) {
    // A released array goes back even when the plug-in broke its count: the host takes it back.
    return Lent().erase(array) == 1 ? 1 : 0;
}

int16_t InsertLentEntries(EntryArray* array, int32_t index, int32_t count) {
    LentArray* lent = Checked(array);
    if (lent == nullptr || index < 0 || index > lent->header.count || count < 0 ||
        count > INT16_MAX - lent->header.count) {
        return 0;
    }
    const size_t at = static_cast<size_t>(index) * EntryLayout::kSize;
    const size_t used = static_cast<size_t>(lent->header.count) * EntryLayout::kSize;
    std::vector<uint8_t> moved(used + static_cast<size_t>(count) * EntryLayout::kSize, 0);
    std::copy(lent->storage.begin(), lent->storage.begin() + static_cast<std::ptrdiff_t>(at), moved.begin());
    std::copy(lent->storage.begin() + static_cast<std::ptrdiff_t>(at),
              lent->storage.begin() + static_cast<std::ptrdiff_t>(used),
              moved.begin() + static_cast<std::ptrdiff_t>(at + static_cast<size_t>(count) * EntryLayout::kSize));
    Relay(*lent, std::move(moved));
    return 1;
}

int16_t DeleteLentEntries(EntryArray* array, int32_t index, int32_t count) {
    LentArray* lent = Checked(array);
    if (lent == nullptr || index < 0 || count < 0 || index > lent->header.count - count) {
        return 0;
    }
    const auto at = static_cast<std::ptrdiff_t>(static_cast<size_t>(index) * EntryLayout::kSize);
    const auto gone = static_cast<std::ptrdiff_t>(static_cast<size_t>(count) * EntryLayout::kSize);
    const auto used = static_cast<std::ptrdiff_t>(static_cast<size_t>(lent->header.count) * EntryLayout::kSize);
    std::vector<uint8_t> moved(lent->storage.begin(), lent->storage.begin() + at);
    moved.insert(moved.end(), lent->storage.begin() + at + gone, lent->storage.begin() + used);
    Relay(*lent, std::move(moved));
    return 1;
}

hostapi::Edu LentFilledTime(const EntryArray* array) {
    const LentArray* lent = Checked(array);
    if (lent == nullptr) {
        return -1;
    }
    return lent->header.count == 0 ? 0 : lent->header.entry(lent->header.count - 1).end();
}

int16_t SimplifyLentRhythm(EntryArray* array) {
    LentArray* lent = Checked(array);
    if (lent == nullptr) {
        return 0;
    }
    CellEntries entries = EntriesOf(*lent);
    if (SimplifyRests(entries)) {
        Relay(*lent, BytesOf(entries));
    }
    return 1;
}

bool SimplifyRests(CellEntries& entries) {
    bool changed = false;
    for (size_t i = 0; i < entries.size(); ++i) {
        const EntryView first(entries[i].data());
        if (!IsPlainRest(first)) {
            continue;
        }
        hostapi::Edu length = first.actualDuration();
        size_t last = i;  // the last rest the first one takes in
        hostapi::Edu joined = length;
        for (size_t j = i + 1; j < entries.size(); ++j) {
            const ConstEntryView next(entries[j].data());
            if (!IsPlainRest(next) || next.position() != static_cast<int64_t>(first.position()) + length ||
                length > INT32_MAX - next.actualDuration()) {
                break;
            }
            length += next.actualDuration();
            if (IsSimpleRest(first.position(), length)) {
                last = j;
                joined = length;
            }
        }
        if (last == i) {
            continue;
        }
        first.setDuration(static_cast<int16_t>(joined));
        first.setActualDuration(joined);
        entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(i + 1),
                      entries.begin() + static_cast<std::ptrdiff_t>(last + 1));
        changed = true;
    }
    return changed;
}

size_t LentEntryArrayCount() {
    return Lent().size();
}

uint64_t EntryArrayLendingMark() {
    return detail::State().nextSerial;
}

std::vector<std::string> ReclaimLentEntryArrays(uint64_t since) {
    std::vector<const LentArray*> order;
    for (const auto& [array, lent] : Lent()) {
        if (lent->serial >= since) {
            order.push_back(lent.get());
        }
    }
    std::sort(order.begin(), order.end(), [](const LentArray* a, const LentArray* b) { return a->serial < b->serial; });
    std::vector<std::string> cells;
    for (const LentArray* lent : order) {
        cells.push_back(lent->cell.Description());
        Lent().erase(&lent->header);
    }
    return cells;
}

void DetachLentEntryArrays(const Document& document) {
    for (auto& [array, lent] : Lent()) {
        if (lent->document == &document) {
            lent->document = nullptr;
        }
    }
}

}  // namespace host
