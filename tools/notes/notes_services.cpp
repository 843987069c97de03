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

// ---- Workers of the entry-processing engine ----
bool ReplacePitches(TFMisc&, hostapi::EntryView, int16_t) {
    return WorkerNotAvailable("Replace Pitches");
}
bool ApplySpecialModifications(TFMisc&, hostapi::EntryView, int16_t, hostapi::EntryArray&, int32_t) {
    return WorkerNotAvailable("Special Modifications");
}
bool ShiftEntryOffsets(TFMisc&, EntryEngineState&, hostapi::EntryView, bool, bool) {
    return WorkerNotAvailable("Shift");
}
void CompareTimeSignature(TFMisc&, EntryEngineState&) {
    WorkerNotAvailable("Compare Entries");
}
void StoreEntry(TFMisc&, EntryEngineState&, hostapi::ConstEntryView) {
    WorkerNotAvailable("Compare Entries");
}
void CompareEntry(TFMisc&, EntryEngineState&, hostapi::EntryView) {
    WorkerNotAvailable("Compare Entries");
}
void FindMeasureExpressions(TFMisc&, EntryEngineState&) {
    WorkerNotAvailable("Find");
}
void FindEntryTests(TFMisc&, EntryEngineState&, hostapi::ConstEntryView, const hostapi::ConstEntryView*) {
    WorkerNotAvailable("Find");
}
bool TranslateNote(hostapi::MeasureNumber, hostapi::InstrumentKey, hostapi::EntryView, int16_t) {
    return WorkerNotAvailable("Harmonica");
}
bool SetLaisserVibrerNoteheads(hostapi::MeasureNumber, hostapi::InstrumentKey, hostapi::EntryView, int16_t, int16_t,
                               hostapi::ViewKey, hostapi::StaffSlot) {
    return WorkerNotAvailable("Laisser vibrer");
}
bool WriteArticulationPlayback(TFMisc&, hostapi::MeasureNumber, hostapi::InstrumentKey, hostapi::LayerIndex,
                               hostapi::EntryView, bool&) {
    return WorkerNotAvailable("Playback");
}
bool WriteTremolo(TFMisc&, hostapi::EntryView, hostapi::EntryView, const hostapi::EntryView*, hostapi::ViewKey,
                  hostapi::StaffSlot, hostapi::MeasureNumber, hostapi::LayerIndex) {
    return WorkerNotAvailable("Tremolo");
}
void ShiftLyricsOfEntry(TFMisc&, hostapi::EntryView, hostapi::Tag) {
    WorkerNotAvailable("Shift Lyrics");
}
bool ApplyLyricOptions(TFMisc&, hostapi::EntryView) {
    return WorkerNotAvailable("Remove Adjustments");
}
void MoveLongSyllables(TFMisc&, hostapi::EntryView, hostapi::Tag, hostapi::Tag) {
    WorkerNotAvailable("Move long syllables");
}
bool AdjustMelismaSyllables(TFMisc&, hostapi::StaffSlot, hostapi::LayerIndex, hostapi::EntryArray&, int32_t,
                            hostapi::EntryView, TNSPchanges&) {
    return WorkerNotAvailable("Melisma syllables");
}
bool SqueezeOverlongEntry(TFMisc&, hostapi::EntryView, hostapi::EntryArray&, int32_t, const EDTMeasureSpec&,
                          hostapi::Edu, TNSPchanges&) {
    return WorkerNotAvailable("New Spacing");
}
bool ApplyEntryChangeList(TFMisc&, hostapi::EntryView) {
    return WorkerNotAvailable("New Spacing");
}
bool FillComplementaryRhythm(TFMisc&, hostapi::EntryArray&, std::vector<hostapi::Edu>&, hostapi::Edu) {
    return WorkerNotAvailable("New Spacing");
}

// ---- Workers of the entry walk ----
void RespellChordSuffixes(TFMisc&, hostapi::EntryNumber, const StaffRecord&, int16_t, int16_t) {
    WorkerNotAvailable("Custom Chord Styles");
}
int32_t CreateSlursFromEntry(TFMisc&, const EntryWalkState&, int32_t index) {
    WorkerNotAvailable("Create Slurs");
    return index;
}

}  // namespace orvex
