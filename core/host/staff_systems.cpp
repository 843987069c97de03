#include "core/host/staff_systems.h"

#include <algorithm>
#include <climits>

#include "core/host/access_state.h"
#include "core/host/core_hooks.h"
#include "core/host/document_writes.h"
#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/host_imports.h"
#include "core/host/host_info.h"

namespace orvex {
namespace {

using hostapi::StaffSystem20Layout;
using hostapi::StaffSystemLayout;
using StaffSystem20 = RawRecord<StaffSystem20Layout::kSize>;

void CopyWord(const uint8_t* from, size_t fromOffset, uint8_t* to, size_t toOffset) {
    hostapi::WriteU16(to, toOffset, hostapi::ReadU16(from, fromOffset));
}

bool LayoutUpdateAllowed() {
    return TheCoreHooks().autoUpdateLayout() && Imports().UpdateLayout != nullptr;
}

}  // namespace

StaffSystem20 StaffSystemTo20(const EDTStaffSystemSpec2001& record) {
    StaffSystem20 stored;
    // Bytes 0-9 and 14 are common to both forms; the others move.
    std::copy_n(record.bytes.begin(), StaffSystem20Layout::kSize, stored.bytes.begin());
    CopyWord(record.data(), StaffSystemLayout::kEndMeasure, stored.data(), StaffSystem20Layout::kEndMeasure);
    CopyWord(record.data(), StaffSystemLayout::kWord16, stored.data(), StaffSystem20Layout::kWord12);
    CopyWord(record.data(), StaffSystemLayout::kPercent, stored.data(), StaffSystem20Layout::kPercent);
    CopyWord(record.data(), StaffSystemLayout::kFlags, stored.data(), StaffSystem20Layout::kFlags);
    return stored;
}

void StaffSystemFrom20(const StaffSystem20& stored, EDTStaffSystemSpec2001& into) {
    std::copy_n(stored.bytes.begin(), StaffSystem20Layout::kSize, into.bytes.begin());
    CopyWord(stored.data(), StaffSystem20Layout::kFlags, into.data(), StaffSystemLayout::kFlags);
    CopyWord(stored.data(), StaffSystem20Layout::kEndMeasure, into.data(), StaffSystemLayout::kEndMeasure);
    CopyWord(stored.data(), StaffSystem20Layout::kWord12, into.data(), StaffSystemLayout::kWord16);
    CopyWord(stored.data(), StaffSystem20Layout::kPercent, into.data(), StaffSystemLayout::kPercent);
    hostapi::WriteI16(into.data(), StaffSystemLayout::kExtra20, 0);
}

bool LoadStaffSystemSpec(int32_t system, EDTStaffSystemSpec2001& record) {
    if (TheAccessLayer.host.year >= 2001) {
        return LoadOtherRecordOfVersion(hostapi::kTagStaffSystem2001, system, 0, record.data(),
                                        EDTStaffSystemSpec2001::kSize, hostapi::kInterfaceVersion2001);
    }
    // The 20-byte form is loaded into the front of the record and rearranged in place.
    const bool loaded = LoadWholeOtherRecord(hostapi::kTagStaffSystem, system, 0, record.data(), StaffSystem20::kSize);
    StaffSystem20 stored;
    std::copy_n(record.bytes.begin(), StaffSystem20::kSize, stored.bytes.begin());
    StaffSystemFrom20(stored, record);
    return loaded;
}

bool SaveStaffSystemSpec(int32_t system, EDTStaffSystemSpec2001 record) {
    const StaffSystem20 stored = StaffSystemTo20(record);
    if (!SaveOtherRecord(hostapi::kTagStaffSystem, system, 0, stored.data(), StaffSystem20::kSize)) {
        return false;  // the 24-byte form is not attempted after a failed 20-byte save
    }
    if (TheAccessLayer.host.year < 2001) {
        return true;
    }
    return SaveOtherRecordOfVersion(hostapi::kTagStaffSystem2001, system, 0, record.data(),
                                    EDTStaffSystemSpec2001::kSize, hostapi::kInterfaceVersion2001);
}

// ---- TPages ----

TPages::TPages() {
    for (int32_t page = 1; page <= INT16_MAX; ++page) {
        EDTPageSpec record;
        if (!LoadWholeOtherRecord(hostapi::kTagPage, page, 0, record.data(), EDTPageSpec::kSize)) {
            break;
        }
        m_pages.push_back(record);
    }
}

int32_t TPages::PageOfSystem(int32_t system) const {
    for (int32_t p = 1; p <= Count(); ++p) {
        const int32_t first = At(p - 1).firstSystem();
        if (first < 1 || first > system) {
            continue;
        }
        if (p == Count() || At(p).firstSystem() > system) {
            return p;
        }
    }
    return 0;
}

// ---- TStaffSystems ----

TStaffSystems::TStaffSystems() {
    Load();
}

void TStaffSystems::Load() {
    m_layoutUpdates = 0;
    for (;;) {
        m_systems.clear();
        bool restart = false;
        for (int32_t n = 1; n <= INT16_MAX; ++n) {
            EDTStaffSystemSpec2001 record;
            if (!LoadStaffSystemSpec(n, record)) {
                break;
            }
            if (!record.laidOut()) {
                EDTMeasureSpec measure;
                const bool needsLayout = n == 1 || LoadMeasureSpec(m_systems.back().endMeasure(), measure);
                // A host that leaves records without measures after every update would keep the
                // load going for ever: the updates are bounded, then the records are taken as
                // they are.
                if (needsLayout && LayoutUpdateAllowed() && m_layoutUpdates < kMaxLayoutUpdates) {
                    ++m_layoutUpdates;
                    UpdateHostLayout();
                    restart = true;
                    break;
                }
            }
            m_systems.push_back(record);
        }
        if (!restart) {
            return;
        }
    }
}

bool SaveSystem(const TStaffSystems& systems, int32_t n) {
    if (n < 1 || n > systems.Count()) {
        return false;
    }
    return SaveStaffSystemSpec(n, systems.At(n - 1));
}

bool ClearSystemFits(const TStaffSystems& systems, int32_t n, bool mark) {
    if (n < 1 || n > systems.Count()) {
        return false;
    }
    const EDTStaffSystemSpec2001& system = systems.At(n - 1);
    const int32_t first = system.firstMeasure();
    const int32_t end = system.endMeasure();
    for (int32_t m = first + 1; m <= end - 1; ++m) {
        DeleteOtherRecord(hostapi::kTagLockedMeasures, m, 0);
    }
    if (!mark) {
        return true;
    }
    Record12 lock;
    hostapi::WriteI16(lock.data(), hostapi::LockedMeasuresLayout::kEndMeasure, static_cast<int16_t>(end));
    return SaveOtherRecord(hostapi::kTagLockedMeasures, first, 0, lock.data(), Record12::kSize);
}

int32_t SystemIndexOfMeasure(const TStaffSystems& systems, int32_t measure) {
    for (int32_t i = 1; i <= systems.Count(); ++i) {
        const EDTStaffSystemSpec2001& system = systems.At(i - 1);
        if (system.firstMeasure() <= measure && (i == systems.Count() || system.endMeasure() > measure)) {
            return i;
        }
    }
    return 0;
}

int32_t CountFlaggedEntriesInSystem(const TStaffSystems& systems, hostapi::ViewKey view, hostapi::StaffSlot slot,
                                    int32_t n) {
    if (n < 1 || n > systems.Count()) {
        return 0;
    }
    const EDTStaffSystemSpec2001& system = systems.At(n - 1);
    int32_t count = 0;
    for (int32_t measure = system.firstMeasure(); measure < system.endMeasure(); ++measure) {
        for (hostapi::LayerIndex layer = 0; layer < 4; ++layer) {
            const ScopedEntryArray array(view, slot, static_cast<hostapi::MeasureNumber>(measure), layer);
            for (int32_t i = 0; array && i < array->count; ++i) {
                count += array->entry(i).isNote() ? 1 : 0;
            }
        }
    }
    return count;
}

}  // namespace orvex
