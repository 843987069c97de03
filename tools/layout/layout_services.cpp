// The entry functions of the layout tools that this build does not have yet: each tells the
// user so and reports failure, so that nothing is changed and no result is claimed.
#include "tools/layout/layout_services.h"

#include "core/messages.h"
#include "core/tool_context.h"
#include "tools/notes/notes_services.h"

namespace orvex {

RegionWords RegionWordsOf(const hostapi::SelectionRecord* region) {
    if (region == nullptr) {
        return RegionWords{};
    }
    return RegionWords{region->viewKey(), region->firstStaff(), region->firstMeasure(), region->lastStaff(),
                       region->lastMeasure()};
}

}  // namespace orvex
