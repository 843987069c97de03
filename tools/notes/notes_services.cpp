// What the note and entry tools share beyond their own units: the shared smart-shape list and
// the bookkeeping of a worker that is not in this build (it tells the user so and reports
// failure, so that nothing is changed and no result is claimed).
#include "tools/notes/notes_services.h"

#include "core/host/smart_shapes.h"
#include "core/messages.h"
#include "core/tool_context.h"

namespace orvex {
namespace {

/// A worker was missing in the run that goes on.
bool s_missingWorker = false;

}  // namespace

TSmartShapes& SharedSmartShapes() {
    static TSmartShapes shapes;
    return shapes;
}

bool WorkerNotAvailable(std::string_view what) {
    if (!s_missingWorker) {
        s_missingWorker = true;
        ShowNotAvailable(what);
    }
    return false;
}

bool MissingWorkerMet() {
    return s_missingWorker;
}

void ForgetMissingWorker() {
    s_missingWorker = false;
}

}  // namespace orvex
