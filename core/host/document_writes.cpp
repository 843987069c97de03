#include "core/host/document_writes.h"

#include <array>
#include <climits>
#include <cstring>
#include <functional>
#include <map>
#include <tuple>
#include <vector>

#include "core/host/access_state.h"
#include "core/host/host_imports.h"
#include "platform/hostapi/layout_records.h"

namespace orvex {
namespace {

using hostapi::kInterfaceVersion;

/// The records a layout change writes: pages, staff systems in both stored forms, and measures
/// (their widths).
struct LayoutTag {
    hostapi::Tag tag;
    hostapi::InterfaceVersion version;
};
constexpr std::array<LayoutTag, 4> kLayoutTags = {{{hostapi::kTagPage, kInterfaceVersion},
                                                   {hostapi::kTagStaffSystem, kInterfaceVersion},
                                                   {hostapi::kTagStaffSystem2001, 0x06000200},
                                                   {hostapi::kTagMeasure, kInterfaceVersion}}};
constexpr size_t kPagesAndSystems = 3;
constexpr int32_t kLayoutRecordSize = 64;

using LayoutSnapshot = std::map<std::tuple<size_t, int16_t, int16_t>, std::vector<uint8_t>>;

/// Every page and staff system record (and every measure record when asked), by tag and keys.
LayoutSnapshot SnapshotLayout(bool measures) {
    LayoutSnapshot snapshot;
    const auto next = Imports().NextRecord;
    if (next == nullptr) {
        return snapshot;
    }
    const size_t tags = measures ? kLayoutTags.size() : kPagesAndSystems;
    for (size_t t = 0; t < tags; ++t) {
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
    return TheAccessLayer.documentWrites;
}

void CountDocumentWrite() {
    ++TheAccessLayer.documentWrites;
}

bool RecordSaveChanges(hostapi::Tag tag, const int16_t* keys, const void* buffer, int32_t size,
                       hostapi::InterfaceVersion version) {
    const auto load = Imports().LoadRecord;
    if (load == nullptr || keys == nullptr || size < 0 || size == INT32_MAX) {
        return true;
    }
    // One load with a byte of room more than the save writes: a record of another size shows in
    // the count of bytes the host copied.
    std::array<int16_t, 3> copy = {keys[0], keys[1], keys[2]};
    std::vector<uint8_t> bytes(static_cast<size_t>(size) + 1);
    int32_t got = size + 1;
    if (load(tag, copy.data(), bytes.data(), &got, version) == 0 || got != size) {
        return true;
    }
    return size > 0 && (buffer == nullptr || std::memcmp(bytes.data(), buffer, static_cast<size_t>(size)) != 0);
}

bool EntryArraySaveChanges(const hostapi::EntryArray& array) {
    const auto load = Imports().LoadEntryArray;
    const auto release = Imports().ReleaseEntryArray;
    const auto slotOf = Imports().SlotOfInstrument;
    if (load == nullptr || release == nullptr || slotOf == nullptr) {
        return true;
    }
    // The host numbers an entry without a number and a note without an identifier as it saves
    // them: such a save changes the cell even when its bytes are the cell's own.
    for (int32_t i = 0; i < array.count; ++i) {
        const hostapi::EntryView entry = array.entry(i);
        if (entry.number() == 0) {
            return true;
        }
        for (int32_t n = 0; n < entry.notesHeld(); ++n) {
            if (entry.note(n).noteId() == 0) {
                return true;
            }
        }
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

void CountLayoutChange(const std::function<void()>& change, bool measures) {
    const LayoutSnapshot before = SnapshotLayout(measures);
    change();
    if (SnapshotLayout(measures) != before) {
        ++TheAccessLayer.documentWrites;
    }
}

bool UpdateHostLayout() {
    const auto update = Imports().UpdateLayout;
    if (update == nullptr) {
        return false;
    }
    CountLayoutChange([update] { update(1, 0, kInterfaceVersion); }, false);
    return true;
}

}  // namespace orvex
