// The entry functions of the note and entry tools that this build does not have yet: each
// tells the user so and reports failure, so that nothing is changed and no result is claimed.
#include "tools/notes/notes_services.h"

#include "core/messages.h"

namespace orvex {

bool RunEntryProcessingTool(TFMisc&) {
    return ShowNotAvailable("The note and entry tools");
}
bool RunEntryWalkTool(TFMisc&) {
    return ShowNotAvailable("The note and entry tools");
}
void BreakSecondaryBeams(const BeamBreakOptions&) {
    ShowNotAvailable("The beam breaker");
}
void RunAddCueNotes(const CueNotesRequest&) {
    ShowNotAvailable("Adding cue notes");
}
bool RunCombineRhythmsAndPitches(TFMisc&) {
    return ShowNotAvailable("Combining rhythms and pitches");
}
bool RunExportToSpreadsheet(TFMisc&) {
    return ShowNotAvailable("The export to a spreadsheet");
}
bool RunHarpPedaling(TFMisc&) {
    return ShowNotAvailable("Harp pedaling");
}
bool AnalyzeStaffGroup(TFMisc&) {
    return ShowNotAvailable("Analyze");
}
bool RunSlurTool(TFMisc&) {
    return ShowNotAvailable("The slurs command");
}
bool RunPlaybackTool(TFMisc&, int32_t) {
    return ShowNotAvailable("The playback command");
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
