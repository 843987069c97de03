// The entry functions and workers of the note and entry tools that this build does not have
// yet: each tells the user so and reports failure, so that nothing is changed and no result is
// claimed.
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

bool RunPlaybackTool(TFMisc& context, int32_t) {
    return ShowToolNotAvailable(context);
}

// The Midi and Distribute Notes items have no menu entries; they succeed at once and change
// nothing.
bool RunMidiTool(TFMisc&) {
    return true;
}
bool RunDistributeNotes(TFMisc&) {
    return true;
}

// ---- Workers of the entry-processing engine ----
bool WriteArticulationPlayback(TFMisc&, hostapi::MeasureNumber, hostapi::InstrumentKey, hostapi::LayerIndex,
                               hostapi::EntryView, bool&) {
    return WorkerNotAvailable("Playback");
}

}  // namespace orvex
