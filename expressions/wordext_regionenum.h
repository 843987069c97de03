// CRegionEnum, a walker over every entry of a region: page by page, and within a page's worth of
// measures staff by staff, measure by measure and layer by layer, inside the host's edit bracket
// (one step a staff and measure; a step the host answers with 0 stops the walk). A derived class
// sees each entry with flags that say where it stands: first or last of its layer, of the region,
// of its staff system and of its page.
#pragma once

#include <cstdint>
#include <memory>

#include "core/host/staff_systems.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/records.h"
#include "platform/hostapi/types.h"

namespace orvex {

// Walk flags of a measure.
inline constexpr uint32_t kWalkFirstOfSystem = 0x100;
inline constexpr uint32_t kWalkLastOfSystem = 0x200;
inline constexpr uint32_t kWalkFirstOfPage = 0x400;  ///< first measure of the first system of a page
inline constexpr uint32_t kWalkLastOfPage = 0x800;   ///< last measure of the last system of a page
inline constexpr uint32_t kWalkFirstMeasure = 0x1000;
inline constexpr uint32_t kWalkLastMeasure = 0x2000;
// Flags an entry adds.
inline constexpr uint32_t kWalkFirstOfLayer = 0x1;
inline constexpr uint32_t kWalkLastOfLayer = 0x2;
/// In the region's first measure, the layer's first entry or the first at or after the start position.
inline constexpr uint32_t kWalkFirstOfRegion = 0x4;
/// In the region's last measure, the layer's last entry or the last at or before the end position.
inline constexpr uint32_t kWalkLastOfRegion = 0x8;

/// What the walker tells of a visited entry.
struct EntryInfo {
    hostapi::EntryNumber entry = 0;
    hostapi::InstrumentKey instrument = 0;
    hostapi::MeasureNumber measure = 0;
    hostapi::LayerIndex layer = 0;
    uint32_t flags = 0;       ///< walk flags of the measure and the entry's own kWalk... flags
    uint32_t entryFlags = 0;  ///< the entry's flags (platform/hostapi/entry_array.h)
};

/// Finds the staff system and the page of a measure in the snapshot lists.
class RegionLocator {
public:
    void Reset();
    /// Finds the system holding the measure, scanning forward from the system found last (from
    /// the first when the measure lies before it), and its page; false when no system holds it.
    bool Find(int32_t measure, const TStaffSystems& systems, const TPages& pages);

    uint16_t page = 0;  ///< 1-based; 0 = none
    int16_t firstSystemOfPage = 0;
    int16_t firstSystemOfNextPage = 0;  ///< one past the last system of the page
    uint16_t system = 0;                ///< 1-based; 0 = none
    int16_t firstMeasure = 0;
    int16_t endMeasure = 0;  ///< one past the system's last measure
};

class CRegionEnum {
public:
    CRegionEnum();
    virtual ~CRegionEnum();
    CRegionEnum(const CRegionEnum&) = delete;
    CRegionEnum& operator=(const CRegionEnum&) = delete;

    /// Walks the region: Begin (false ends the walk at once with 0), every entry, End, whose
    /// result is the walk's.
    int16_t Run(const hostapi::SelectionRecord& region);

protected:
    virtual void VisitEntry(hostapi::ConstEntryView entry, const EntryInfo& info) = 0;
    virtual void BeginLayer(uint32_t walkFlags) = 0;
    virtual void EndLayer(uint32_t walkFlags) = 0;
    virtual bool Begin() = 0;
    virtual int16_t End() = 0;

    /// The walk flags of a measure (kWalkFirstOfSystem ... kWalkLastMeasure).
    uint32_t MeasureFlags(int32_t measure);

    hostapi::SelectionRecord m_region;
    hostapi::MeasureNumber m_measure = 0;
    hostapi::InstrumentKey m_instrument = 0;
    hostapi::StaffSlot m_staff = 0;
    hostapi::LayerIndex m_layer = 0;
    int16_t m_staffCount = 0;
    std::unique_ptr<TStaffSystems> m_systems;
    std::unique_ptr<TPages> m_pages;
    RegionLocator m_locator;

private:
    /// The four layers of the current cell.
    void WalkCell(uint32_t walkFlags);
};

}  // namespace orvex
