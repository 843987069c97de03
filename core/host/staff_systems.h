// Pages and staff systems: two snapshot lists that mirror the document's page layout for the
// tools. `TPages` holds every page record, `TStaffSystems` every staff system record, always in
// the 24-byte form `EDTStaffSystemSpec2001`; the host stores a system as the 20-byte 'SOSS'
// on every host year and, from 2001, also as the 24-byte 'O\x02SS' (interface version
// 0x06000200). This unit owns the conversion between the two.
//
// Numbers of pages and systems begin at 1; the containers are indexed from 0.
#pragma once

#include <cstdint>
#include <vector>

#include "core/host/finxess_records.h"
#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/types.h"

namespace orvex {

/// 'SOPS': a page (other record: page number, 0).
struct EDTPageSpec : RawRecord<hostapi::PageLayout::kSize> {
    int16_t firstSystem() const { return hostapi::ReadI16(bytes.data(), hostapi::PageLayout::kFirstSystem); }
    void setFirstSystem(int16_t system) { hostapi::WriteI16(bytes.data(), hostapi::PageLayout::kFirstSystem, system); }
    int16_t percent() const { return hostapi::ReadI16(bytes.data(), hostapi::PageLayout::kPercent); }
};
static_assert(sizeof(EDTPageSpec) == 22);

/// A staff system in the 24-byte form the lists hold (hostapi::StaffSystemLayout).
struct EDTStaffSystemSpec2001 : RawRecord<hostapi::StaffSystemLayout::kSize> {
    using Layout = hostapi::StaffSystemLayout;
    int16_t topStaffOffset() const { return hostapi::ReadI16(bytes.data(), Layout::kTopStaffOffset); }
    int16_t firstMeasure() const { return hostapi::ReadI16(bytes.data(), Layout::kFirstMeasure); }
    uint16_t flags() const { return hostapi::ReadU16(bytes.data(), Layout::kFlags); }
    int16_t endMeasure() const { return hostapi::ReadI16(bytes.data(), Layout::kEndMeasure); }
    void setTopStaffOffset(int16_t value) { hostapi::WriteI16(bytes.data(), Layout::kTopStaffOffset, value); }
    void setFirstMeasure(int16_t value) { hostapi::WriteI16(bytes.data(), Layout::kFirstMeasure, value); }
    void setFlags(uint16_t value) { hostapi::WriteU16(bytes.data(), Layout::kFlags, value); }
    void setEndMeasure(int16_t value) { hostapi::WriteI16(bytes.data(), Layout::kEndMeasure, value); }
    /// Whether the host has laid the system out: both measure fields are set.
    bool laidOut() const { return firstMeasure() != 0 && endMeasure() != 0; }
};
static_assert(sizeof(EDTStaffSystemSpec2001) == 24);

/// Loads system n: from host year 2001 the 24-byte 'O\x02SS' record as it is; before, the
/// 20-byte 'SOSS' record rearranged into the 24-byte form (byte 20 cleared, byte 22 left as the
/// caller's buffer held it). The rearrangement runs also when the load failed.
bool LoadStaffSystemSpec(int32_t system, EDTStaffSystemSpec2001& record);
/// Saves system n as 'SOSS' on every host year, and from 2001, when that succeeded, also as
/// 'O\x02SS'. True only when every save made succeeded.
bool SaveStaffSystemSpec(int32_t system, EDTStaffSystemSpec2001 record);

/// The 20-byte form of a record, and the 24-byte form of a 20-byte one (bytes 20 and 22 of
/// `into` are cleared and kept).
RawRecord<hostapi::StaffSystem20Layout::kSize> StaffSystemTo20(const EDTStaffSystemSpec2001& record);
void StaffSystemFrom20(const RawRecord<hostapi::StaffSystem20Layout::kSize>& stored, EDTStaffSystemSpec2001& into);

/// Every page record of the document, page 1 first; the list ends at the first missing page.
class TPages {
public:
    TPages();

    int32_t Count() const { return static_cast<int32_t>(m_pages.size()); }
    /// Page record n (0-based); throws std::out_of_range outside the list.
    const EDTPageSpec& At(int32_t n) const { return m_pages.at(static_cast<size_t>(n)); }
    /// The 1-based page that holds system s, 0 when none.
    int32_t PageOfSystem(int32_t system) const;

private:
    std::vector<EDTPageSpec> m_pages;
};

/// Every staff system record of the document in the 24-byte form, system 1 first.
class TStaffSystems {
public:
    /// Most layout updates one load asks the host for before it takes the records as they are.
    static constexpr int32_t kMaxLayoutUpdates = 4;

    /// Loads the document's systems (TStaffSystems::Load).
    TStaffSystems();

    /// Refills the list from the host. A record without first or end measure is not laid out;
    /// when that matters (system 1, or a system after one whose end measure exists) and the
    /// general option to update the layout is on, the host is asked to lay the document out
    /// (service 41) and the load starts over, at most kMaxLayoutUpdates times.
    void Load();

    int32_t Count() const { return static_cast<int32_t>(m_systems.size()); }
    /// Record n (0-based); throws std::out_of_range outside the list.
    EDTStaffSystemSpec2001& At(int32_t n) { return m_systems.at(static_cast<size_t>(n)); }
    const EDTStaffSystemSpec2001& At(int32_t n) const { return m_systems.at(static_cast<size_t>(n)); }
    /// How many layout updates the last Load asked for.
    int32_t LayoutUpdates() const { return m_layoutUpdates; }

private:
    std::vector<EDTStaffSystemSpec2001> m_systems;
    int32_t m_layoutUpdates = 0;
};

/// Writes system n (1-based) of the list back (SaveStaffSystemSpec); false outside the list.
bool SaveSystem(const TStaffSystems& systems, int32_t n);
/// Unlocks the measures of system n after its first ('otFM' deleted from first + 1 to end - 1)
/// and, with `mark`, locks the system: 'otFM' (first, 0) holding the end measure. False outside
/// the list, or when the lock cannot be saved.
bool ClearSystemFits(const TStaffSystems& systems, int32_t n, bool mark);
/// The 1-based system whose measures hold measure m (the last system takes every measure from
/// its first on); 0 when none.
int32_t SystemIndexOfMeasure(const TStaffSystems& systems, int32_t measure);
/// The entries with flag bit 0x40000000 (note entries) in layers 0-3 of the cell (view key,
/// staff slot) over the measures of system n; 0 outside the list.
int32_t CountFlaggedEntriesInSystem(const TStaffSystems& systems, hostapi::ViewKey view, hostapi::StaffSlot slot,
                                    int32_t n);

}  // namespace orvex
