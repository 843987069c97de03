#include "tools/tool_parts.h"

#include <array>

#include "core/commands.h"
#include "core/parts.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "core/tool_table.h"
#include "forms/dialog_sources.h"
#include "tools/layout/explosion/explosion_stepping.h"
#include "tools/layout/layout_services.h"
#include "tools/layout/orchestration.h"
#include "tools/notes/entry_commands.h"
#include "tools/notes/new_spacing.h"
#include "tools/notes/new_spacing_passes.h"
#include "tools/notes/notes_services.h"

namespace orvex {
namespace {

using enum ToolItem;

constexpr uint32_t kWhole = kToolWholeMeasures;
constexpr uint32_t kNoBracket = kToolNoEditBracket;
constexpr uint32_t kReload = kToolReloadExpressions;
constexpr uint32_t kPassed = kToolKeepPassedSelection;
constexpr uint32_t kScrollView = kToolScrollViewOnly;
constexpr uint32_t kPerStaff = kToolStepsPerStaff;

constexpr ToolRun kEntries = ContextRun<RunEntryProcessingTool>;
constexpr ToolRun kWalk = ContextRun<RunEntryWalkTool>;

bool RunAlignMoveTool(TFMisc& context, int32_t /*setNumber*/, const hostapi::SelectionRecord* region) {
    return RunAlignMove(context, RegionWordsOf(region));
}

bool RunPlaybackToolRun(TFMisc& context, int32_t setNumber, const hostapi::SelectionRecord* /*region*/) {
    return RunPlaybackTool(context, setNumber);
}

int32_t RunScaleStaffPositionsTool(TFMisc& context) {
    return RunScaleStaffPositions(context) ? 1 : 0;
}

int32_t RunCopySystemOptimizationTool(TFMisc& context) {
    return RunCopySystemOptimization(context) ? 1 : 0;
}

/// New Spacing runs in scroll view only when it adds a staff.
bool NewSpacingFlagHolds(const TFMisc& context, int32_t /*setNumber*/, ToolFlag flag) {
    return flag != kToolScrollViewOnly || RowOn(context.Options, NSP_COMPLEMENTARY_RHYTHMS);
}

/// Playback's further option sets run without the host's edit bracket.
bool PlaybackFlagHolds(const TFMisc& /*context*/, int32_t setNumber, ToolFlag flag) {
    return flag != kToolNoEditBracket || setNumber > 1;
}

// clang-format off
// The tools' rows; items 9, 21, 30, 50, 55, 59 and 62 are the forms' and the text expressions'.
const std::array kToolRows = {
    ToolDescriptor{.item = TrillNotes, .run = kEntries},
    ToolDescriptor{.item = Remove, .run = kEntries},
    ToolDescriptor{.item = RemoveBeatChartElements, .run = kEntries},
    ToolDescriptor{.item = MakeSpace, .run = kEntries},
    ToolDescriptor{.item = AddRemoveSpace, .run = kEntries},
    ToolDescriptor{.item = MoveSyllables, .run = kEntries},
    ToolDescriptor{.item = Proportionality, .run = kEntries},
    ToolDescriptor{.item = LeadingWhitespace, .run = kEntries, .refreshOptionRow = 4},
    ToolDescriptor{.item = BeamBreaker, .firstLevel = RunBeamBreakerTool},
    ToolDescriptor{.item = Parentheses, .run = kEntries},
    ToolDescriptor{.item = MoreProportionality, .run = kEntries},
    ToolDescriptor{.item = MoreSort, .run = kEntries},
    ToolDescriptor{.item = LeftAlignMelisma, .run = kEntries},
    ToolDescriptor{.item = ScaleStaffPositions, .firstLevel = RunScaleStaffPositionsTool},
    ToolDescriptor{.item = CustomChordStyles, .run = kWalk, .flags = kWhole},
    ToolDescriptor{.item = CopySystemOptimization, .firstLevel = RunCopySystemOptimizationTool},
    ToolDescriptor{.item = ShiftLyrics, .run = kEntries},
    ToolDescriptor{.item = ExpandSpacing, .run = kEntries},
    ToolDescriptor{.item = CompressSpacing, .run = kEntries},
    ToolDescriptor{.item = NewSpacing, .run = kEntries, .flags = kScrollView, .flagHolds = NewSpacingFlagHolds, .steps = &kNewSpacingSteps},
    ToolDescriptor{.item = MoreNewSpacing, .run = kEntries},
    ToolDescriptor{.item = Tremolo, .run = kEntries},
    ToolDescriptor{.item = CueNotes, .firstLevel = RunCueNotesCommand},
    ToolDescriptor{.item = JoinRests, .run = kEntries},
    ToolDescriptor{.item = ProcessParts, .run = kEntries},
    ToolDescriptor{.item = SmartDistribution, .run = ContextRun<RunSmartExplosion>, .flags = kNoBracket | kReload | kScrollView | kToolRunsInSteps},
    ToolDescriptor{.item = MorePartOptions, .run = kEntries},
    ToolDescriptor{.item = AlignMove, .run = RunAlignMoveTool, .flags = kPerStaff},
    ToolDescriptor{.item = MoreAlign, .run = kEntries},
    ToolDescriptor{.item = Find, .run = kEntries, .flags = kReload | kToolNeedsLists | kToolNeedsSortTables},
    ToolDescriptor{.item = MoreTremolo, .run = kEntries},
    ToolDescriptor{.item = FitMeasures, .run = ContextRun<RunFitMeasures>, .flags = kNoBracket | kPassed},
    ToolDescriptor{.item = SmartExplosion, .run = ContextRun<RunSmartExplosion>, .flags = kNoBracket | kReload | kScrollView | kToolRunsInSteps},
    ToolDescriptor{.item = CombineRhythmsAndPitches, .run = ContextRun<RunCombineRhythmsAndPitches>},
    ToolDescriptor{.item = ExportToSpreadsheet, .run = ContextRun<RunExportToSpreadsheet>, .flags = kPerStaff},
    ToolDescriptor{.item = MeasureWidths, .run = RunMeasureWidthsTool, .flags = kNoBracket},
    ToolDescriptor{.item = FontInfo, .run = kEntries},
    ToolDescriptor{.item = Orchestration, .run = kEntries},
    ToolDescriptor{.item = Accidentals, .run = kWalk, .flags = kWhole},
    ToolDescriptor{.item = RespellNotes, .run = kWalk, .flags = kWhole},
    ToolDescriptor{.item = UpdateGroups, .run = ContextRun<RunUpdateGroups>},
    ToolDescriptor{.item = CreateHairpins, .run = ContextRun<RunCreateHairpins>, .flags = kReload | kPerStaff},
    ToolDescriptor{.item = SplitStaffSystem, .run = ContextRun<RunSplitStaffSystemTool>, .flags = kNoBracket},
    ToolDescriptor{.item = CreateSlurs, .run = kWalk, .flags = kWhole},
    ToolDescriptor{.item = HarpPedaling, .run = ContextRun<RunHarpPedaling>, .flags = kNoBracket},
    ToolDescriptor{.item = MoreBeamBreaker, .run = kEntries},
    ToolDescriptor{.item = FillWithRests, .run = kWalk, .flags = kWhole},
    ToolDescriptor{.item = BeforeDeletingMeasures, .run = RunBeforeDeletingMeasures, .flags = kNoBracket},
    ToolDescriptor{.item = AfterInsertingMeasures, .run = ContextRun<RunAfterInsertingMeasures>, .flags = kNoBracket},
    ToolDescriptor{.item = JoinTwoSystems, .run = ContextRun<RunJoinTwoSystems>},
    ToolDescriptor{.item = ShiftSystemOptimization, .run = ContextRun<RunShiftSystemOptimization>},
    ToolDescriptor{.item = RemoveAdjustments, .run = kEntries},
    ToolDescriptor{.item = Shift, .run = kEntries},
    ToolDescriptor{.item = Reset, .run = RunResetTool},
    ToolDescriptor{.item = Harmonica, .run = kEntries},
    ToolDescriptor{.item = LaisserVibrer, .run = kEntries},
    ToolDescriptor{.item = CompareEntries, .run = kEntries, .flags = kReload},
    ToolDescriptor{.item = Analyze, .run = ContextRun<AnalyzeStaffGroup>},
    ToolDescriptor{.item = SpecialModifications, .run = kEntries},
    ToolDescriptor{.item = Rests, .run = kEntries},
    ToolDescriptor{.item = Playback, .run = RunPlaybackToolRun, .flags = kNoBracket, .flagHolds = PlaybackFlagHolds},
    ToolDescriptor{.item = Incipits, .run = ContextRun<RunIncipits>},
    ToolDescriptor{.item = ReplacePitches, .run = kEntries},
    ToolDescriptor{.item = SelectTextExpression, .run = kEntries},
    ToolDescriptor{.item = MorePlayback, .run = kEntries},
    ToolDescriptor{.item = Expressions, .run = RunExpressionsTool, .flags = kReload},
    ToolDescriptor{.item = Enclosures, .run = ContextRun<RunEnclosures>, .flags = kPassed},
    ToolDescriptor{.item = SpecialMeasureRegions, .run = ContextRun<RunSpecialMeasureRegions>},
    // False only when the user stopped it: the progress display then ends as stopped.
    ToolDescriptor{.item = Slurs, .run = ContextRun<RunSlurTool>},
    ToolDescriptor{.item = PitchProjection, .run = kEntries},
    ToolDescriptor{.item = Midi, .run = ContextRun<RunMidiTool>},
    ToolDescriptor{.item = DistributeNotes, .run = ContextRun<RunDistributeNotes>},
    ToolDescriptor{.item = Tuplets, .run = kEntries},
    ToolDescriptor{.item = MoreTuplets, .run = kEntries},
    ToolDescriptor{.item = SmartSplitPoint, .run = ContextRun<RunSmartSplitPoint>, .flags = kNoBracket},
};

const std::array kToolFormCommands = {
    FormCommand{CODE_HARMONICS, ShowHarmonicsForm},
    FormCommand{CODE_BEAM_BREAKER, ShowBeamBreakerForm},
    FormCommand{CODE_STAFF_LIST_MANAGER, RunStaffListManager},
};
// clang-format on

}  // namespace

void InstallToolParts() {
    RegisterToolRows(kToolRows);
    RegisterFormCommands(kToolFormCommands);
    RegisterStaffListQuery(RunStaffListManagerQuery);
    RegisterSteppedRunHooks(SteppedRunHooks{StepRunningExplosion, RunningExplosionWorksOn, EndRunningExplosion});
    RegisterPartReset(DestroyRunningExplosion);
    RegisterPartReset(DeleteStaffListManager);
    RegisterPartReset(DeleteHarmonicsForm);
    RegisterPartReset(DeleteBeamBreakerForm);
    RegisterActionDialogSources(
        ActionDialogSources{.prefillTable = PrefillOrchestrationOptions, .checkRowText = CheckReplacePitchesRow});
}

}  // namespace orvex
