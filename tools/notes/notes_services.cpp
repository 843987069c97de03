// The entry functions of the note and entry tools that this build does not have yet: each
// tells the user so and reports failure, so that nothing is changed and no result is claimed.
#include "tools/notes/notes_services.h"

#include "core/messages.h"
#include "core/tool_context.h"

namespace orvex {

bool RunEntryProcessingTool(TFMisc& context) {
    return ShowToolNotAvailable(context);
}
bool RunEntryWalkTool(TFMisc& context) {
    return ShowToolNotAvailable(context);
}
void BreakSecondaryBeams(const BeamBreakOptions&) {
    ShowNotAvailable("The beam breaker");
}
void RunAddCueNotes(const CueNotesRequest& request) {
    ShowToolNotAvailable(*request.context);
}
bool RunCombineRhythmsAndPitches(TFMisc& context) {
    return ShowToolNotAvailable(context);
}
bool RunExportToSpreadsheet(TFMisc& context) {
    return ShowToolNotAvailable(context);
}
bool RunHarpPedaling(TFMisc& context) {
    return ShowToolNotAvailable(context);
}
bool AnalyzeStaffGroup(TFMisc& context) {
    return ShowToolNotAvailable(context);
}
bool RunSlurTool(TFMisc& context) {
    return ShowToolNotAvailable(context);
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

}  // namespace orvex
