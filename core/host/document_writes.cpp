#include "core/host/document_writes.h"

#include <array>
#include <climits>
#include <cstring>
#include <map>
#include <tuple>
#include <vector>

#include "core/host/host_imports.h"

namespace orvex {
namespace {

using hostapi::kInterfaceVersion;

uint32_t s_writes = 0;

/// The records a layout update writes: pages, and staff systems in both stored forms.
struct LayoutTag {
    hostapi::Tag tag;
    hostapi::InterfaceVersion version;
};
constexpr std::array<LayoutTag, 3> kLayoutTags = {{{hostapi::MakeTag("SOPS"), kInterfaceVersion},
                                                   {hostapi::MakeTag("SOSS"), kInterfaceVersion},
                                                   {hostapi::MakeTag("O\x02SS"), 0x06000200}}};
constexpr int32_t kLayoutRecordSize = 64;

using LayoutSnapshot = std::map<std::tuple<size_t, int16_t, int16_t>, std::vector<uint8_t>>;

/// Every page and staff system record, by tag and keys.
LayoutSnapshot SnapshotLayout() {
    LayoutSnapshot snapshot;
    const auto next = Imports().NextRecord;
    if (next == nullptr) {
        return snapshot;
    }
    for (size_t t = 0; t < kLayoutTags.size(); ++t) {
        std::array<int16_t, 3> keys = {INT16_MIN, INT16_MIN, 0};
        std::vector<uint8_t> bytes(kLayoutRecordSize, 0);
        while (next(kLayoutTags[t].tag, keys.data(), bytes.data(), kLayoutRecordSize, kLayoutTags[t].version) != 0) {
            snapshot[{t, keys[0], keys[1]}] = bytes;
            std::fill(bytes.begin(), bytes.end(), 0);
        }
    }
    return snapshot;
}

}  // namespace

uint32_t DocumentWriteCount() {
    return s_writes;
}

void CountDocumentWrite() {
    ++s_writes;
}

bool RecordSaveChanges(hostapi::Tag tag, const int16_t* keys, const void* buffer, int32_t size,
                       hostapi::InterfaceVersion version) {
    const auto load = Imports().LoadRecord;
    if (load == nullptr || keys == nullptr || size < 0) {
        return true;
    }
    std::array<int16_t, 3> copy = {keys[0], keys[1], keys[2]};
    int32_t stored = 0;
    if (load(tag, copy.data(), nullptr, &stored, version) == 0 || stored != size) {
        return true;
    }
    if (size == 0) {
        return false;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    int32_t got = size;
    if (load(tag, copy.data(), bytes.data(), &got, version) == 0 || got != size) {
        return true;
    }
    return buffer == nullptr || std::memcmp(bytes.data(), buffer, static_cast<size_t>(size)) != 0;
}

bool EntryArraySaveChanges(const hostapi::EntryArray& array) {
    const auto load = Imports().LoadEntryArray;
    const auto release = Imports().ReleaseEntryArray;
    const auto slotOf = Imports().SlotOfInstrument;
    if (load == nullptr || release == nullptr || slotOf == nullptr) {
        return true;
    }
    const hostapi::StaffSlot slot = slotOf(array.staff, 0, kInterfaceVersion);
    hostapi::EntryArray* cell = slot == 0 ? nullptr : load(0, slot, array.measure, array.layer, 1, kInterfaceVersion);
    if (cell == nullptr) {
        return true;
    }
    const bool changed =
        cell->count != array.count ||
        (array.count > 0 && std::memcmp(cell->entries, array.entries,
                                        static_cast<size_t>(array.count) * hostapi::EntryLayout::kSize) != 0);
    release(cell, kInterfaceVersion);
    return changed;
}

bool UpdateHostLayout() {
    const auto update = Imports().UpdateLayout;
    if (update == nullptr) {
        return false;
    }
    const LayoutSnapshot before = SnapshotLayout();
    update(1, 0, kInterfaceVersion);
    if (SnapshotLayout() != before) {
        ++s_writes;
    }
    return true;
}

}  // namespace orvex
