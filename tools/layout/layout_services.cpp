// What the layout tools share: the region a command runs on.
#include "tools/layout/layout_services.h"

#include "core/module.h"
#include "core/run_environment.h"

namespace orvex {

RegionWords RegionWordsOf(const hostapi::SelectionRecord* region) {
    if (region == nullptr) {
        return RegionWords{};
    }
    return RegionWords{region->viewKey(), region->firstStaff(), region->firstMeasure(), region->lastStaff(),
                       region->lastMeasure()};
}

hostapi::SelectionRecord RegionOfRun(const RunEnvironment& environment, const RegionWords& words) {
    hostapi::SelectionRecord region;
    if (environment.Region() != nullptr) {
        region = *environment.Region();
    } else {
        region.setViewKey(static_cast<hostapi::ViewKey>(words.viewKey));
        region.setFirstStaff(static_cast<hostapi::StaffSlot>(words.firstStaff));
        region.setLastStaff(static_cast<hostapi::StaffSlot>(words.lastStaff));
        region.setFirstMeasure(static_cast<hostapi::MeasureNumber>(words.firstMeasure));
        region.setLastMeasure(static_cast<hostapi::MeasureNumber>(words.lastMeasure));
        region.setEndEdu(0x7FFFFFFF);
    }
    return region;
}

}  // namespace orvex
