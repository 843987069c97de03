#include "platform/host/document.h"

#include "platform/host/record_layouts.h"
#include "platform/hostapi/bytes.h"

namespace host {

std::optional<RecordKey> Document::CreateRecord(const RecordKey& key, Bytes bytes) {
    const std::optional<RecordKey> created = m_records.Create(key, std::move(bytes));
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

}  // namespace host
