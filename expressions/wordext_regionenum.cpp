#include "expressions/wordext_regionenum.h"

#include <algorithm>

#include "core/host/finxess_entries.h"
#include "core/host/finxess_regions.h"
#include "core/host/host_imports.h"

namespace orvex {
namespace {

/// The locator gives up after this many systems or pages.
constexpr int32_t kLocatorLimit = 0xFFFE;
constexpr hostapi::Edu kLastPosition = 0x7FFFFFFF;

}  // namespace

// ---- RegionLocator ----

void RegionLocator::Reset() {
    *this = RegionLocator{};
}

bool RegionLocator::Find(int32_t measure, const TStaffSystems& systems, const TPages& pages) {
    const int32_t from = system == 0 || measure < firstMeasure ? 0 : system - 1;
    system = 0;
    const int32_t systemCount = std::min(systems.Count(), kLocatorLimit);
    for (int32_t i = from; i < systemCount; ++i) {
        const EDTStaffSystemSpec2001& record = systems.At(i);
        if (record.firstMeasure() <= measure && measure < record.endMeasure()) {
            system = static_cast<uint16_t>(i + 1);
            firstMeasure = record.firstMeasure();
            endMeasure = record.endMeasure();
            break;
        }
    }
    if (system == 0) {
        return false;
    }
    // The page: the last whose first system is positive and not beyond the system.
    const int32_t pageCount = std::min(pages.Count(), kLocatorLimit);
    const int32_t firstPage = page != 0 && firstSystemOfPage <= system ? page - 1 : 0;
    page = 0;
    for (int32_t p = firstPage; p < pageCount; ++p) {
        const int16_t first = pages.At(p).firstSystem();
        if (first > 0 && first <= system) {
            page = static_cast<uint16_t>(p + 1);
            firstSystemOfPage = first;
        } else if (first > system) {
            break;
        }
    }
    firstSystemOfNextPage = static_cast<int16_t>(std::min(systems.Count() + 1, int32_t{INT16_MAX}));
    for (int32_t p = page; page != 0 && p < pageCount; ++p) {
        const int16_t first = pages.At(p).firstSystem();
        if (first > system) {
            firstSystemOfNextPage = first;
            break;
        }
    }
    return true;
}

// ---- CRegionEnum ----

CRegionEnum::CRegionEnum() = default;
CRegionEnum::~CRegionEnum() = default;

uint32_t CRegionEnum::MeasureFlags(int32_t measure) {
    uint32_t flags = 0;
    if (measure == m_region.firstMeasure()) {
        flags |= kWalkFirstMeasure;
    }
    if (measure == m_region.lastMeasure()) {
        flags |= kWalkLastMeasure;
    }
    if (!m_locator.Find(measure, *m_systems, *m_pages)) {
        return flags;
    }
    if (measure == m_locator.firstMeasure) {
        flags |= kWalkFirstOfSystem;
        if (m_locator.page != 0 && m_locator.system == m_locator.firstSystemOfPage) {
            flags |= kWalkFirstOfPage;
        }
    }
    if (measure == m_locator.endMeasure - 1) {
        flags |= kWalkLastOfSystem;
        if (m_locator.page != 0 && m_locator.system == m_locator.firstSystemOfNextPage - 1) {
            flags |= kWalkLastOfPage;
        }
    }
    return flags;
}

int16_t CRegionEnum::Run(const hostapi::SelectionRecord& region) {
    m_region = region;
    m_staffCount = static_cast<int16_t>(region.lastStaff() - region.firstStaff() + 1);
    if (!Begin()) {
        return 0;
    }
    m_systems = std::make_unique<TStaffSystems>();
    m_pages = std::make_unique<TPages>();
    const int32_t first = region.firstMeasure();
    const int32_t last = region.lastMeasure();
    ScopedEditBracket bracket(nullptr, std::max<int32_t>(m_staffCount, 0) * std::max(last - first + 1, 0));
    bool stopped = false;
    // A page's worth of measures for every staff, then the next page's.
    for (int32_t groupStart = std::max(first, 1); groupStart <= last && !stopped;) {
        int32_t groupEnd = last;
        for (int32_t staff = region.firstStaff(); staff <= region.lastStaff() && !stopped; ++staff) {
            m_staff = static_cast<hostapi::StaffSlot>(staff);
            m_instrument = StaffOfSlot(m_staff, region.viewKey());
            m_locator.Reset();
            for (int32_t measure = groupStart; measure <= last; ++measure) {
                m_measure = static_cast<hostapi::MeasureNumber>(measure);
                const uint32_t flags = MeasureFlags(measure);
                if (!bracket.Step(m_instrument, m_measure)) {
                    stopped = true;
                    break;
                }
                WalkCell(flags);
                if ((flags & kWalkLastOfPage) != 0) {
                    groupEnd = measure;
                    break;
                }
            }
        }
        groupStart = groupEnd + 1;
    }
    bracket.End();
    return End();
}

void CRegionEnum::WalkCell(uint32_t walkFlags) {
    const bool firstMeasure = m_measure == m_region.firstMeasure();
    const bool lastMeasure = m_measure == m_region.lastMeasure();
    const hostapi::Edu from = firstMeasure ? m_region.startEdu() : 0;
    const hostapi::Edu to = lastMeasure ? RegionEndPosition(m_region) : kLastPosition;
    for (m_layer = 0; m_layer < 4; ++m_layer) {
        BeginLayer(walkFlags);
        if (const ScopedEntryArray array(m_region.viewKey(), m_staff, m_measure, m_layer); array) {
            const int32_t count = array->count;
            for (int32_t i = 0; i < count; ++i) {
                const hostapi::ConstEntryView entry = array->entry(i);
                if (entry.position() < from || entry.position() > to) {
                    continue;
                }
                EntryInfo info;
                info.entry = entry.number();
                info.instrument = m_instrument;
                info.measure = m_measure;
                info.layer = m_layer;
                info.entryFlags = entry.flags();
                info.flags = walkFlags;
                if (i == 0) {
                    info.flags |= kWalkFirstOfLayer;
                }
                if (i == count - 1) {
                    info.flags |= kWalkLastOfLayer;
                }
                if (firstMeasure && (i == 0 || array->entry(i - 1).position() < from)) {
                    info.flags |= kWalkFirstOfRegion;
                }
                if (lastMeasure && (i == count - 1 || array->entry(i + 1).position() > to)) {
                    info.flags |= kWalkLastOfRegion;
                }
                VisitEntry(entry, info);
            }
        }
        EndLayer(walkFlags);
    }
}

}  // namespace orvex
