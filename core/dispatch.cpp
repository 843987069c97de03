#include "core/dispatch.h"
#include "core/host/document_writes.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "core/about_box.h"
#include "core/free_texts.h"
#include "core/general_options.h"
#include "core/hooks.h"
#include "core/host/finxess_regions.h"
#include "core/host/host_imports.h"
#include "core/host/record_integrity.h"
#include "core/host_probes.h"
#include "core/key_assignments.h"
#include "core/key_automation.h"
#include "core/lumvar_binding.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/parts.h"
#include "core/run_environment.h"
#include "core/startup.h"
#include "core/tool_table.h"
#include "core/waiting_run.h"
#include "platform/win/keys.h"
#include "platform/win/menus.h"
#include "platform/win/messages.h"
#include "platform/win/modules.h"
#include "platform/win/system.h"
#include "platform/win/windows.h"

namespace orvex {

namespace {

/// Counts a nesting level for the life of a scope, so that an error leaves no count behind.
class NestingScope {
public:
    explicit NestingScope(int32_t& counter) : m_counter(counter) { ++m_counter; }
    ~NestingScope() { --m_counter; }
    NestingScope(const NestingScope&) = delete;
    NestingScope& operator=(const NestingScope&) = delete;

private:
    int32_t& m_counter;
};

// ---- Forms of the codes below 100 ----

int32_t RunFormCommand(int32_t code, int32_t tableIndex) {
    if (code == CODE_ABOUT) {
        return ShowAboutBox();
    }
    if (const FormCommand* command = FindFormCommand(code); command != nullptr) {
        return command->open();
    }
    std::string name = win::StripAccelerators(GetCommandName(tableIndex).substr(3));
    if (name.ends_with("...")) {
        name.erase(name.size() - 3);
    }
    ShowNotAvailable(name);
    return 0;
}

/// The handlers by tool item: each runs the second-level run of the item's row.
std::array<ToolHandler, kToolItemCount> DefaultHandlers() {
    std::array<ToolHandler, kToolItemCount> handlers;
    for (int32_t item = 0; item < kToolItemCount; ++item) {
        handlers[static_cast<size_t>(item)] = [item](TFMisc& context, int32_t setNumber,
                                                     const hostapi::SelectionRecord* region) {
            const ToolRun run = FindTool(item).run;
            return run != nullptr && run(context, setNumber, region);
        };
    }
    return handlers;
}

/// The dispatcher's own state in the module.
struct DispatchUnit {
    /// A New Spacing run whose second pass waits for the next invoke (without an options dialog
    /// that keeps it).
    std::shared_ptr<TFMisc> pendingNewSpacing;
    std::array<ToolHandler, kToolItemCount> handlers = DefaultHandlers();
    int32_t hostCalls = 0;               ///< calls of FinaleExtensionInvoke under way
    bool changeOutsideHostCall = false;  ///< a run outside a host call changed the document
    bool reportOutsideChange = false;    ///< this call reports that change to the host
};

std::shared_ptr<TFMisc>& PendingNewSpacing() {
    return UnitState<DispatchUnit>().pendingNewSpacing;
}

}  // namespace

bool RunWaiting() {
    return TheModule.dispatch.PendingOptionsForm != nullptr || PendingNewSpacing() ||
           TheModule.dispatch.RunningStepObject != nullptr;
}

int16_t ContinueWaitingRun() {
    // No step waits any more, so the keyboard hook goes back to the user's keys.
    TheModule.dispatch.RepostCode = 0;
    int16_t answer = 0;
    if (TheModule.dispatch.PendingOptionsForm != nullptr) {
        vcl::TForm* form = std::exchange(TheModule.dispatch.PendingOptionsForm, nullptr);
        CompleteOptionsFormOk(*form);
        answer = 1;
    } else if (PendingNewSpacing()) {
        std::shared_ptr<TFMisc> context = std::move(PendingNewSpacing());
        NestingScope nesting(TheModule.dispatch.InvokeNesting);
        answer = static_cast<int16_t>(DispatchToolLevel2(*context, context->Item, context->Group, context->Group));
        if (context->LaterStepPending != 0) {
            PendingNewSpacing() = std::move(context);  // not run: the pass stays pending
        }
    } else if (TheModule.dispatch.RunningStepObject != nullptr && BindServicePlugin()) {
        TheSteppedRun().step();
    }
    if (!RunWaiting()) {
        UnbindWaitingRun();
    }
    return answer;
}

namespace {

/// "2" or "2-4".
std::string RangeText(int32_t first, int32_t last) {
    return first == last ? std::to_string(first) : std::to_string(first) + "-" + std::to_string(last);
}

/// What the user is told when a waiting run ends early.
void TellRunEnded(WaitingRunEnd why, int32_t code, const std::string& document, const RegionAction* region) {
    const std::string title = ToolTitle(code % 100, code / 100);
    switch (why) {
        case WaitingRunEnd::DocumentClosed:
            ShowMessage(FreeText::RunEndedDocumentClosed, {title, document});
            break;
        case WaitingRunEnd::AnotherCommand:
            ShowMessage(FreeText::RunEndedAnotherCommand, {title, document});
            break;
        case WaitingRunEnd::KeysLost:
            ShowMessage(FreeText::RunEndedKeysLost, {title, document});
            break;
        case WaitingRunEnd::RegionNotSelected:
            ShowMessage(FreeText::RunEndedRegionNotSelected,
                        {title, document, region != nullptr ? RangeText(region->firstStaff, region->lastStaff) : "",
                         region != nullptr ? RangeText(region->firstMeasure, region->lastMeasure) : ""});
            break;
        case WaitingRunEnd::Undo:
            ShowMessage(FreeText::RunEndedUndo, {title, document});
            break;
        case WaitingRunEnd::Unloaded:
            break;
    }
}

void EndWaitingRunWith(WaitingRunEnd why, const RegionAction* region);

/// The continuation of a run whose last step selected a region by the host's dialog: when the
/// dialog selected what the run asked for, the step's action (copy, clear, paste) goes to the
/// host with the step signal, and the run's own step comes at the next call; else the run ends
/// before it touches anything more. Answers whether a region action waited.
bool SettleRegionAction(const uint8_t* selection) {
    const std::optional<RegionAction> action = TakePendingRegionAction();
    if (!action) {
        return false;
    }
    hostapi::SelectionRecord selected;
    if (selection != nullptr) {
        std::copy_n(selection, hostapi::SelectionRecord::kSize, selected.bytes.begin());
    }
    if (selection == nullptr || !action->SelectedBy(selected)) {
        EndWaitingRunWith(WaitingRunEnd::RegionNotSelected, &*action);
        return true;
    }
    CarryOutRegionAction(*action);
    // The step signal: the timer brings the run's own next step once the host has done the action.
    SignalNextStep(WaitingRunCode());
    return true;
}

}  // namespace

void EndWaitingRun(WaitingRunEnd why) {
    EndWaitingRunWith(why, nullptr);
}

void EndWaitingRunForUndo() {
    if (RunWaiting() && WaitingRunBound() && WaitingRunDocumentInFront()) {
        EndWaitingRun(WaitingRunEnd::Undo);
    }
}

namespace {

void EndWaitingRunWith(WaitingRunEnd why, const RegionAction* region) {
    TheModule.dispatch.RepostCode = 0;
    ForgetHostKeys();
    if (!RunWaiting()) {
        UnbindWaitingRun();
        return;
    }
    const bool ownDocument =
        why != WaitingRunEnd::DocumentClosed && why != WaitingRunEnd::Unloaded && WaitingRunDocumentInFront();
    if ((TheModule.dispatch.PendingOptionsForm != nullptr || PendingNewSpacing()) && ownDocument) {
        // New Spacing's second pass takes back what its first pass prepared in the document: it
        // runs now rather than leave the preparations behind.
        ContinueWaitingRun();
        return;
    }
    const int32_t code = WaitingRunCode();
    const std::string document = WaitingRunDocumentName();
    if (TheModule.dispatch.PendingOptionsForm != nullptr) {
        OptionsFormRunEnded(*std::exchange(TheModule.dispatch.PendingOptionsForm, nullptr));
    }
    PendingNewSpacing().reset();
    if (TheModule.dispatch.RunningStepObject != nullptr) {
        TheSteppedRun().end();
    }
    UnbindWaitingRun();
    if (code != 0) {
        TellRunEnded(why, code, document, region);
    }
}

}  // namespace

void SettleWaitingRunFor(int32_t code) {
    if (!RunWaiting()) {
        return;
    }
    const int32_t item = code % 100;
    const bool runsInSteps = code >= 100 && item >= 0 && item < kToolItemCount &&
                             (FindTool(item).steps != nullptr || (FindTool(item).flags & kToolRunsInSteps) != 0);
    if (runsInSteps || WaitingRunDocumentInFront()) {
        EndWaitingRun(WaitingRunEnd::AnotherCommand);
    }
}

bool RunToolWithOptions(int32_t item, int32_t setNumber, OptionArray& options, ExtendedOptionArray& moreOptions,
                        std::vector<std::pair<int32_t, int32_t>>& optionList, bool showDialog,
                        const OptionArray* overrides, bool leaveOpen, bool shift, TFMisc* context) {
    return TheOptionsRoad().run(item, setNumber, options, moreOptions, optionList, showDialog, overrides, leaveOpen,
                                shift, context);
}

void CompleteOptionsFormOk(vcl::TForm& form) {
    TheOptionsRoad().completeOk(form);
}

void OptionsFormRunEnded(vcl::TForm& form) {
    TheOptionsRoad().runEnded(form);
}

std::array<ToolHandler, kToolItemCount>& Level2Handlers() {
    return UnitState<DispatchUnit>().handlers;
}

RunEnvironment DispatcherEnvironment() {
    return RunEnvironment(TheModule.dispatch.CurrentRegion, TheModule.dispatch.SelectionRecords[1],
                          TheModule.dispatch.DocumentOptionFlag, Host());
}

hostapi::SelectionRecord* CheckSelection(bool allowWholeDocument) {
    if (!TheModule.dispatch.QuerySelectionFromHost) {
        if (allowWholeDocument && TheModule.dispatch.CurrentRegion == nullptr) {
            TheModule.dispatch.CurrentRegion = &TheModule.dispatch.SelectionRecords[1];
        }
        return TheModule.dispatch.CurrentRegion;
    }
    const bool selected = HostSelection(TheModule.dispatch.SelectionRecords[0].bytes.data(),
                                        TheModule.dispatch.SelectionRecords[1].bytes.data()) != 0 &&
                          TheModule.dispatch.SelectionRecords[0].firstMeasure() != 0;
    TheModule.dispatch.CurrentRegion = selected ? &TheModule.dispatch.SelectionRecords[0] : nullptr;
    if (!selected) {
        if (!allowWholeDocument) {
            ShowMessage(FreeText::SelectRegionWithMassMover);
            return nullptr;
        }
        if (Ask({.id = MSG_PROCESS_WHOLE_DOCUMENT, .skippable = true}) == Answer::Yes) {
            TheModule.dispatch.CurrentRegion = &TheModule.dispatch.SelectionRecords[1];
        }
    }
    return TheModule.dispatch.CurrentRegion;
}

namespace {

int16_t InvokeCommand(win::Hwnd hostWindow, int16_t menuIndex, const uint8_t* selection, const uint8_t* document);

}  // namespace

int16_t FinaleExtensionInvoke(win::Hwnd hostWindow, int16_t menuIndex, const uint8_t* selection,
                              const uint8_t* document) {
    // The host hears of a change exactly when the run wrote one to the document: a command that
    // found nothing to do, a form, or a tool that wrote back what was there changed nothing; a
    // run that wrote and then failed or was stopped (result 0) changed it all the same.
    DispatchUnit& unit = UnitState<DispatchUnit>();
    const uint32_t writes = DocumentWriteCount();
    int16_t answer = 0;
    {
        NestingScope call(unit.hostCalls);
        const DamagedRecordReport damage;  // one message for the damaged records the call meets
        answer = InvokeCommand(hostWindow, menuIndex, selection, document);
    }
    // The call that a run outside a host call asked for (Go in an options dialog left open)
    // tells the host of what that run changed.
    if (std::exchange(unit.reportOutsideChange, false)) {
        return 1;
    }
    if (DocumentWriteCount() == writes) {
        return 0;
    }
    return answer != 0 ? answer : int16_t{1};
}

bool InsideHostCall() {
    return UnitState<DispatchUnit>().hostCalls > 0;
}

void NoteChangeOutsideHostCall() {
    UnitState<DispatchUnit>().changeOutsideHostCall = true;
}

namespace {

int16_t InvokeCommand(win::Hwnd hostWindow, int16_t menuIndex, const uint8_t* selection, const uint8_t* document) {
    if (menuIndex < 0 || menuIndex >= TheModule.commands.CommandCount || menuIndex >= kCommandTableSize) {
        return 0;
    }
    if (TheModule.dispatch.SkipNextInvoke > 0) {
        --TheModule.dispatch.SkipNextInvoke;
        DispatchUnit& unit = UnitState<DispatchUnit>();
        unit.reportOutsideChange = std::exchange(unit.changeOutsideHostCall, false);
        return 0;
    }
    // A call the timer sent continues the run that waits; any other call is the user's own
    // command, whatever its menu index.
    const bool continuation = TakeRunContinuation();
    // Without a document (its record holds no measure) no tool has anything to work on: none runs,
    // and the host hears of no change. Forms still open.
    const bool noDocument =
        document == nullptr || hostapi::ReadI16(document, hostapi::SelectionRecord::kLastMeasure) <= 0;
    int32_t result = 0;
    try {
        if (continuation) {
            if (!RunWaiting()) {
                UnbindWaitingRun();  // the run ended meanwhile: its continuation does nothing
                return 0;
            }
            if (noDocument) {
                return 0;
            }
            const KeysForCommand keys(WaitingRunHostCommand());
            if (SettleRegionAction(selection)) {
                return 0;
            }
            return ContinueWaitingRun();
        }
        if (RunWaiting()) {
            const int32_t index = TheModule.commands.MenuIndexMap[static_cast<size_t>(menuIndex)];
            const int32_t chosen = TheModule.dispatch.RerunCode > 0 ? TheModule.dispatch.RerunCode
                                   : index >= 0 && index < TheModule.commands.CommandCount
                                       ? TheModule.commands.CommandTable[static_cast<size_t>(index)].code
                                       : 0;
            SettleWaitingRunFor(chosen);
        }
        if (!BindServicePlugin()) {
            return 0;
        }
        NestingScope nesting(TheModule.dispatch.InvokeNesting);
        const int32_t tableIndex = TheModule.commands.MenuIndexMap[static_cast<size_t>(menuIndex)];
        if (tableIndex < 0 || tableIndex >= TheModule.commands.CommandCount) {
            return 0;
        }
        // The keys the command sends are for the entry the host is calling.
        const KeysForCommand keys(TheModule.commands.HostCommandIds[static_cast<size_t>(tableIndex)]);
        const int32_t code = TheModule.commands.CommandTable[static_cast<size_t>(tableIndex)].code;
        if (noDocument && (code >= 100 || TheModule.dispatch.RerunCode > 0)) {
            TheModule.dispatch.RerunCode = 0;  // a key launch has nothing to work on either
            return 0;
        }
        // Every invocation adds the menus seen now to the menu cache, so that menus that appear
        // later (with another tool chosen in the host) can be assigned to keys too.
        MenuCache_Refresh();
        TheModule.dispatch.FirstCommandDone = true;
        if (code == CODE_USER_MANUAL) {
            OpenUserManual(hostWindow);
            return 0;
        }
        TheModule.dispatch.ShiftHeld =
            TheModule.dispatch.RerunCode == -1 || (win::GetKeyState(win::VK_SHIFT) & 0x8000) != 0;
        GetHostWindowTitle(TheModule.dispatch.HostWindowTitle);
        if (selection != nullptr) {
            std::copy_n(selection, hostapi::SelectionRecord::kSize,
                        TheModule.dispatch.SelectionRecords[0].bytes.begin());
            TheModule.dispatch.CurrentRegion = &TheModule.dispatch.SelectionRecords[0];
        } else {
            TheModule.dispatch.CurrentRegion = nullptr;
        }
        if (document != nullptr) {
            std::copy_n(document, hostapi::SelectionRecord::kSize,
                        TheModule.dispatch.SelectionRecords[1].bytes.begin());
        }
        if (TheModule.dispatch.RerunCode > 0) {
            result =
                RunCommand(hostWindow, TheModule.dispatch.RerunCode, 0, true, true, &TheModule.process.ToolOptionsA);
        } else {
            result = RunCommand(hostWindow, code, 0, TheModule.dispatch.ShiftHeld, true, nullptr);
        }
        TheModule.dispatch.RerunCode = 0;
        if (TheModule.process.GeneralOptions[GO_ALWAYS_REHOOK_KEYBOARD].value != 0) {
            InstallHostHooks();
        }
    } catch (const std::exception& error) {
        // The last handler of an unexpected error: the user is asked to save under a new name.
        ReportException(hostWindow, error);
    }
    return static_cast<int16_t>(result);
}

}  // namespace

int16_t RunCommand(win::Hwnd hostWindow, int32_t code, int32_t passThrough, bool shift, bool showDialog,
                   const OptionArray* overrides) {
    const int32_t tableIndex = FindCommandIndex(code);
    if ((code == kBeforeDeletingMeasuresCode || code == kAfterInsertingMeasuresCode) && Host().year >= 2001) {
        ShowMessage(FreeText::CommandNoLongerNeeded);
        return 0;
    }
    // A command without a table entry keeps a guard of its own, not that of entry 0.
    const bool inTable = TheModule.commands.CommandTable[static_cast<size_t>(tableIndex)].code == code;
    int32_t& busy = inTable || code < 100 || code % 100 >= kToolItemCount
                        ? TheModule.dispatch.CommandBusy[static_cast<size_t>(tableIndex)]
                        : TheModule.dispatch.KeyCommandBusy[static_cast<size_t>(code % 100)];
    if (busy != 0) {
        return 0;
    }
    NestingScope busyScope(busy);
    if (code == kAlignMelismaCode && Host().rawVersion >= 0x4000000) {
        code = kLeftAlignMelismaCode;
    }
    if (code < 100) {
        return static_cast<int16_t>(std::max(0, RunFormCommand(code, tableIndex)));
    }
    std::shared_ptr<TFMisc> context = InitToolContext();
    const int32_t result = ExecuteTool(*context, code % 100, code / 100, overrides, shift, showDialog, passThrough);
    (void)hostWindow;
    if (result == -1) {
        // The options dialog stays open with its share of the context (and a part explosion its
        // Go starts, with one of its own).
        return 0;
    }
    if (TheSteppedRun().worksOn(*context)) {
        // A part explosion goes on over the next host calls with its share of the context.
        return static_cast<int16_t>(std::clamp(result, 0, 0x7FFF));
    }
    if (context->LaterStepPending != 0 && context->OptionsForm == nullptr) {
        PendingNewSpacing() = std::move(context);
        return 0;
    }
    if (context->RerunFlag != 0) {
        PostHostRedrawCommands();
        return 0;
    }
    return static_cast<int16_t>(std::clamp(result, 0, 0x7FFF));
}

int32_t ExecuteTool(TFMisc& context, int32_t item, int32_t group, const OptionArray* overrides, bool shift,
                    bool showDialog, int32_t passThrough) {
    const bool hasOptions = item >= 0 && item < kToolItemCount && TheOptionsRoad().hasOptions(item);
    const bool dialog =
        showDialog && !shift && (group == 1 || DialogOnlyInGroup1[static_cast<size_t>(item)] == 0) && hasOptions;
    if (item >= 0 && item < kToolItemCount && (FindTool(item).flags & kToolSaveFirst) != 0) {
        ShowMessage({.id = MSG_SAVE_BEFORE_PRINTING, .skippable = true});
    }
    if (dialog) {
        RunToolWithOptions(item, group, context.Options, context.MoreOptions, context.OptionPairs, showDialog,
                           overrides, true, false, &context);
        // An options dialog that stays open runs the tool later; one that could not be shown
        // runs nothing.
        return context.OptionsForm != nullptr ? -1 : 0;
    }
    if (!RunToolWithOptions(item, group, context.Options, context.MoreOptions, context.OptionPairs, showDialog,
                            overrides, false, shift, &context)) {
        return 0;
    }
    const int32_t result = DispatchTool(context, item, group, passThrough);
    return result;
}

int32_t DispatchTool(TFMisc& context, int32_t item, int32_t group, int32_t passThrough) {
    const DamagedRecordReport damage;  // also for a run that a form starts
    context.RemovedHandleCount = 0;
    const ToolDescriptor& tool = FindTool(item);
    const int32_t result = tool.firstLevel != nullptr
                               ? tool.firstLevel(context)
                               : DispatchToolLevel2(context, item, group, passThrough != 0 ? passThrough : group);
    if (context.RemovedHandleCount > 0) {
        ShowMessage({.id = MSG_REMOVED_BEAT_CHART_HANDLES,
                     .caption = Caption::BeatChartOptimizer,
                     .first = context.RemovedHandleCount,
                     .skippable = true});
    }
    return result;
}

namespace {

/// Runs the tool's handler inside the edit bracket the tool's flags ask for: the bracket (the
/// host's progress display) is the dispatcher's, lent to the tool as TFMisc::EditBracket for it
/// to step; it ends as stopped when the tool fails, and also when an exception leaves the run.
bool RunInEditBracket(const ToolDescriptor& tool, TFMisc& context, int32_t item, int32_t setNumber,
                      const hostapi::SelectionRecord* region) {
    context.RerunFlag = 0;
    const auto run = [&] { return Level2Handlers()[static_cast<size_t>(item)](context, setNumber, region); };
    if ((tool.flags & kToolWholeMeasures) != 0 || ToolHas(tool, context, setNumber, kToolNoEditBracket)) {
        context.EditBracket = 0;
        return run();
    }
    // The display announces the steps the tool makes: one a measure, or one a staff for the
    // tools that walk the selection staff by staff (align/move, export, hairpins).
    const int32_t stepCount = (tool.flags & kToolStepsPerStaff) != 0
                                  ? std::max(region->lastStaff() - region->firstStaff() + 1, 1)
                                  : context.RegionMeasureCount;
    ScopedEditBracket bracket(region, stepCount);
    const LentEditBracket lent(context, bracket);
    const bool done = run();
    bracket.End(!done);
    return done;
}

}  // namespace

int32_t DispatchToolLevel2(TFMisc& context, int32_t item, int32_t group, int32_t setNumber) {
    const ToolDescriptor& tool = FindTool(item);
    context.Item = item;
    context.Group = group;
    const MultiStepTool* const steps = tool.steps;
    const bool laterStep = steps != nullptr && context.LaterStepPending != 0;

    // Step 2: the region.
    std::optional<HeldRegionScope> heldRegion;
    if (ToolHas(tool, context, setNumber, kToolKeepPassedSelection)) {
        heldRegion.emplace();
    }
    hostapi::SelectionRecord* region = CheckSelection(!(steps != nullptr && !laterStep));
    heldRegion.reset();
    if (region == nullptr) {
        return 0;
    }
    if (region->viewKey() != 0 && ToolHas(tool, context, setNumber, kToolScrollViewOnly)) {
        ShowMessage(FreeText::ScrollViewOnly);
        return 0;
    }
    TheModule.dispatch.DocumentOptionFlag = IsDocumentOptionSet() ? 1 : 0;

    if (steps != nullptr) {
        if (!laterStep) {
            steps->begin(context, *region);
        } else if (!steps->resume(context, *region)) {
            return 0;
        }
    }
    if ((tool.flags & kToolNeedsLists) != 0) {
        AllocToolLists(context);
    }
    // Step 7: the shared text expression table.
    const ExpressionTableHooks& expressions = TheExpressionTable();
    if ((tool.flags & kToolReloadExpressions) != 0) {
        expressions.reload();
    } else {
        expressions.checkCurrent();
    }
    if ((tool.flags & kToolNeedsSortTables) != 0) {
        expressions.prepareSorting();
    }

    context.RemovedHandleCount = 0;
    context.RegionMeasureCount = region->lastMeasure() - region->firstMeasure() + 1;
    // An empty or reversed measure range is not processed.
    if (context.RegionMeasureCount <= 0) {
        return 2;
    }
    const bool failed = !RunInEditBracket(tool, context, item, setNumber, region);

    if (!failed) {
        if (context.RerunFlag == 1) {
            context.RerunFlag =
                context.Options[static_cast<size_t>(tool.refreshOptionRow)].value;  // the row the tool table names
            if (context.RerunFlag == 0) {
                ShowMessage({.id = MSG_BEAT_CHART_REFRESH_OFF, .skippable = true});
            }
        } else {
            context.RerunFlag = 0;
        }
    } else {
        context.RemovedHandleCount = 0;
    }

    if (steps != nullptr && !failed) {
        if (!laterStep) {
            steps->await(context);
        } else {
            steps->finish(context);
        }
    } else if (steps != nullptr && laterStep) {
        // A later step that failed is not tried again.
        context.LaterStepPending = 0;
    }
    if (laterStep) {
        // The step the timer was to start has run: nothing waits for a step any more, so that a
        // later tick sends the host no command and later runs do not wait for a step.
        TheModule.dispatch.RepostCode = 0;
    }
    if (TheModule.dispatch.RepostCode != 0) {
        // A step of the run waits: the run belongs to this document and to this command.
        BindWaitingRun(group * 100 + item);
        if (TheModule.process.GeneralOptions[GO_ALWAYS_REHOOK_KEYBOARD].value == 0) {
            InstallHostHooks();
        }
    }
    // A tool that failed reports no change to the host.
    return failed ? 0 : 1;
}

void OpenUserManual(win::Hwnd hostWindow) {
    namespace fs = std::filesystem;
    // The folder of the host program: the part of its file name before "Plug-Ins" or the
    // program's own name.
    std::string program = win::GetModuleFileName(win::GetModuleHandle("")).substr(0, 300);
    std::string upper = program;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    size_t cut = upper.find("/PLUG-INS");
    if (cut == std::string::npos) {
        cut = upper.find("/FINALE.EXE");
    }
    const std::string folder = program.empty() ? fs::current_path().string() : program.substr(0, cut);
    for (const char* name : {"Orvex188.pdf", "Orvex-SE.pdf", "Orvex188-One.pdf", "Orvex1.80.pdf", "Orvex160.pdf"}) {
        std::string found;
        if (FindUserManual(folder, name, found)) {
            win::ShellExecute(hostWindow, "open", found);
            return;
        }
    }
    ShowMessage(FreeText::UserManualNotFound);
}

// ---- What a multi-step run and a modeless form hand to the dispatcher (core/run_services.h) ----

HeldRegionScope::HeldRegionScope() : m_askedHost(std::exchange(TheModule.dispatch.QuerySelectionFromHost, false)) {}

HeldRegionScope::~HeldRegionScope() {
    TheModule.dispatch.QuerySelectionFromHost = m_askedHost;
}

void SignalNextStep(int32_t code) {
    TheModule.dispatch.RepostCode = code;
    SendVirtualKeyToHost(win::VK_ADD);
}

bool RunStepWaits() {
    return TheModule.dispatch.RepostCode != 0 || TheModule.dispatch.RunningStepObject != nullptr ||
           TheModule.dispatch.PendingOptionsForm != nullptr;
}

void LeaveOptionsFormPending(vcl::TForm* form) {
    TheModule.dispatch.PendingOptionsForm = form;
}

void ForgetPendingOptionsForm(const vcl::TForm* form) {
    if (TheModule.dispatch.PendingOptionsForm == form) {
        TheModule.dispatch.PendingOptionsForm = nullptr;
    }
}

ExplosionContext* RunningStepObject() {
    return TheModule.dispatch.RunningStepObject;
}

void HandOverStepObject(ExplosionContext* step) {
    TheModule.dispatch.RunningStepObject = step;
}

ExplosionContext* TakeStepObject() {
    return std::exchange(TheModule.dispatch.RunningStepObject, nullptr);
}

void SkipNextHostCall() {
    ++TheModule.dispatch.SkipNextInvoke;
}

void AddModelessForm(vcl::TForm* form) {
    TheModule.dispatch.ModelessFormList.push_back(form);
}

void RemoveModelessForm(const vcl::TForm* form) {
    std::erase(TheModule.dispatch.ModelessFormList, form);
}

}  // namespace orvex
