#include "core/dispatch.h"
#include "core/host/document_writes.h"

#include <algorithm>
#include <filesystem>

#include "core/about_box.h"
#include "core/general_options.h"
#include "core/hooks.h"
#include "core/host/finxess.h"
#include "core/host/host_imports.h"
#include "core/host/smart_shapes.h"
#include "core/host/staff_lists.h"
#include "core/host/staff_systems.h"
#include "core/host_probes.h"
#include "core/key_automation.h"
#include "core/lumvar_binding.h"
#include "core/messages.h"
#include "core/startup.h"
#include "expressions/charset.h"
#include "expressions/cuesheet.h"
#include "expressions/transfer.h"
#include "expressions/txtexplorer.h"
#include "expressions/txtexpr.h"
#include "expressions/txtexprsorter.h"
#include "expressions/wordext.h"
#include "forms/action_control_table.h"
#include "forms/file_controls.h"
#include "forms/key_assignments.h"
#include "forms/options_form.h"
#include "forms/printfiles.h"
#include "platform/win/keys.h"
#include "platform/win/menus.h"
#include "platform/win/messages.h"
#include "platform/win/modules.h"
#include "platform/win/system.h"
#include "platform/win/windows.h"
#include "tools/layout/explosion/explosion.h"
#include "tools/layout/stafflist_form.h"
#include "tools/notes/beam_breaker_form.h"
#include "tools/notes/harmonics_form.h"

namespace orvex {

std::array<hostapi::SelectionRecord, 2> SelectionRecords{};
hostapi::SelectionRecord* CurrentRegion = nullptr;
bool ShiftHeld = false;
int32_t InvokeNesting = 0;
std::array<int32_t, kCommandTableSize> CommandBusy{};
std::array<int32_t, kToolItemCount> KeyCommandBusy{};
int32_t RerunCode = 0;
int32_t SkipNextInvoke = 0;
int32_t ToolRunMarker = 0;
vcl::TForm* PendingOptionsForm = nullptr;
ExplosionContext* RunningStepObject = nullptr;
int32_t RepostCode = 0;
bool QuerySelectionFromHost = true;
uint8_t DocumentOptionFlag = 0;
bool FirstCommandDone = false;
std::vector<vcl::TForm*> ModelessFormList;
std::string HostWindowTitle;

namespace {

/// A New Spacing run whose second pass waits for the next invoke (without an options dialog
/// that keeps it).
std::unique_ptr<TFMisc> s_pendingNewSpacing;

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

void ShowText(std::string_view english, std::string_view german) {
    ShowMessageText(HostWindow, english, german, 0, 0);
}

bool InList(int32_t item, std::initializer_list<int32_t> items) {
    return std::find(items.begin(), items.end(), item) != items.end();
}

/// The items whose tools work on whole measures.
bool WorksOnWholeMeasures(int32_t item) {
    return InList(item, {15, 41, 42, 46, 49});
}

int32_t OptionValue(const TFMisc& context, size_t row) {
    return context.Options[row].value;
}

RegionWords WordsOf(const hostapi::SelectionRecord& region) {
    return RegionWords{region.viewKey(), region.firstStaff(), region.firstMeasure(), region.lastStaff(),
                       region.lastMeasure()};
}

// ---- Forms of the codes below 100 ----

int32_t ShowAboutBox() {
    std::unique_ptr<TAboutBox> about(vcl::Create<TAboutBox>(nullptr));
    about->ShowModal();
    return 0;
}

int32_t RunFormCommand(int32_t code, int32_t tableIndex) {
    if (code == CODE_ABOUT) {
        return ShowAboutBox();
    }
    if (code == CODE_OPTIONS) {
        return ShowOptionsForm();
    }
    if (code == CODE_TEXT_EXPRESSION_SORTER) {
        return RunTextExpressionSorter();
    }
    if (code == CODE_PRINT_MULTIPLE_FILES) {
        return ShowPrintMultipleFiles();
    }
    if (code == CODE_STAFF_LIST_MANAGER) {
        return RunStaffListManager();
    }
    if (code == CODE_EXPLORER) {
        return RunTextExpressionExplorer();
    }
    if (code == CODE_HARMONICS) {
        return ShowHarmonicsForm();
    }
    if (code == CODE_BEAM_BREAKER) {
        return ShowBeamBreakerForm();
    }
    std::string name = win::StripAccelerators(GetCommandName(tableIndex).substr(3));
    if (name.ends_with("...")) {
        name.erase(name.size() - 3);
    }
    ShowNotAvailable(name);
    return 0;
}

// ---- The items the first-level dispatcher runs itself ----

int32_t RunBeamBreaker(TFMisc& context) {
    BeamBreakOptions settings = BeamBreakOptionsFromTool(context);
    BreakSecondaryBeams(settings);
    return 1;
}

int32_t RunCueNotes(TFMisc& context) {
    const hostapi::SelectionRecord* region = CheckSelection(false);
    if (region == nullptr) {
        return 0;
    }
    if (region->firstStaff() != region->lastStaff()) {
        ShowText("Please select one staff as source for the the cue notes",
                 "Bitte markieren Sie ein System als Quelle für die Zielnoten");
        return 0;
    }
    CueNotesRequest request;
    request.sizePercent = OptionValue(context, 3);
    request.targetLayer = std::clamp(OptionValue(context, 1) - 1, 0, 3);
    request.cueName = win::Utf8ToAnsi(context.Options[4].text);
    if (request.cueName.empty() && Imports().InstrumentOfSlot != nullptr) {
        const hostapi::InstrumentKey staff =
            Imports().InstrumentOfSlot(region->firstStaff(), region->viewKey(), hostapi::kInterfaceVersion);
        request.cueName = StaffName(staff);
    }
    for (size_t i = 0; i < request.flags.size(); ++i) {
        request.flags[i] = context.Options[5 + i].value != 0;
    }
    // The staves chosen in the options dialog's staff list, but the source.
    for (size_t staff = 0; staff < context.ChosenItems.size(); ++staff) {
        if (context.ChosenItems[staff] != 0 && static_cast<int32_t>(staff + 1) != region->firstStaff()) {
            request.destinationStaves.push_back(static_cast<int32_t>(staff + 1));
        }
    }
    request.context = &context;
    return RunAddCueNotes(request);
}

/// Next file of a print run: the first call makes the context the print context; each call
/// opens the next selected file of the print form in the host by the keys of its File-Open
/// command (after asking whether to go on when a pause is due). The timer then prints and
/// closes it. The run ends when no file is left, the form is gone or the user says No.
int32_t OpenNextPrintFile(TFMisc& context) {
    if (PrintContext != &context) {
        PrintContext = &context;
        context.PrintFileIndex = 0;
        context.PrintedCount = 0;
        RestartTNow(500);
    }
    auto* form = dynamic_cast<TPrintMultipleFiles*>(context.PrintForm);
    if (form == nullptr || form->ListBox == nullptr || form->ReleasePending()) {
        EndPrintRun();
        return 0;
    }
    const TFileListBox& files = *form->ListBox;
    int32_t index = std::max(context.PrintFileIndex, 0);
    while (index < files.Items().Count() && !files.Selected(index)) {
        ++index;
    }
    if (index >= files.Items().Count()) {
        EndPrintRun();
        return 0;
    }
    const int32_t pause = OptionValue(context, 1);
    if (pause != 0 && context.PrintedCount != 0 && context.PrintedCount % pause == 0 &&
        !AskYesNo(HostWindow, "%1 files have been printed. Continue?", "%1 Dateien gedruckt. Weiter?", 0,
                  context.PrintedCount)) {
        EndPrintRun();
        return 0;
    }
    ++context.PrintedCount;
    form->PrintingFile = files.ItemPath(index);
    // The host window takes the focus as the active window, so that the keys reach it.
    win::SetForegroundWindow(HostWindow);
    FocusHostWindow();
    SendAltKeyToHost(LanguageIndex == 1 ? 'd' : 'f');
    if (LanguageIndex == 1) {
        // "ö" lies on the key VK_OEM_3 of the German keyboard; the window system's keyboard
        // layout has no "ö", so the key itself is pressed.
        SendKeyDown(win::VK_OEM_3);
        SendKeyUp(win::VK_OEM_3);
    } else {
        SendKeyToHost(ItalianHost ? 'a' : 'o');
    }
    SendTextToHost(form->PrintingFile.string());
    for (int i = 0; i < 2; ++i) {
        SendKeyDown(win::VK_RETURN);
        SendKeyUp(win::VK_RETURN);
    }
    context.PrintStep = 0;
    context.PrintFileIndex = index + 1;
    return 0;
}

// ---- The handlers of the second-level dispatcher ----

bool RunToolFunction(TFMisc& context, int32_t item, int32_t setNumber, const hostapi::SelectionRecord* region) {
    const RegionWords words = region != nullptr ? WordsOf(*region) : RegionWords{};
    switch (item) {
        case 27:
        case 35:
            return RunSmartExplosion(context);
        case 29:
            return RunAlignMove(context, words);
        case 30: {
            // The rows hold the plug-in's texts; the conversion works on the document's bytes.
            const bool reverse = OptionValue(context, 2) != 0;
            return RunCharsetConversion(win::Utf8ToAnsi(context.Options[reverse ? 1 : 0].text),
                                        win::Utf8ToAnsi(context.Options[reverse ? 0 : 1].text),
                                        win::Utf8ToAnsi(context.Options[3].text));
        }
        case 34:
            return RunFitMeasures(context);
        case 36:
            return RunCombineRhythmsAndPitches(context);
        case 37:
            return RunExportToSpreadsheet(context);
        case 38: {
            UpdateHostLayout();
            const bool done = RunMeasureWidths(context, region != nullptr ? *region : hostapi::SelectionRecord{});
            UpdateHostLayout();
            return done;
        }
        case 43:
            return RunUpdateGroups(context);
        case 44:
            return RunCreateHairpins(context);
        case 45: {
            TStaffSystems systems;
            if (systems.Count() == 0) {
                return false;  // nothing to split
            }
            return RunSplitStaffSystem(context, OptionValue(context, 0), systems);
        }
        case 47:
            return RunHarpPedaling(context);
        case 51: {
            const int32_t delta = region != nullptr ? region->firstMeasure() - region->lastMeasure() - 1 : 0;
            const bool done = RunMeasureEditAdjust(context, delta, 0);
            if (done) {
                ShowMessageById(HostWindow, MSG_DELETE_MEASURES_NOW, 0, 0, false);
            }
            return done;
        }
        case 52:
            return RunMeasureEditAdjust(context, OptionValue(context, 0), OptionValue(context, 1));
        case 53:
            return RunJoinTwoSystems(context);
        case 54:
            return RunShiftSystemOptimization(context);
        case 55:
            return region != nullptr && RunTransfer(context, *region);
        case 58:
            // Rows 0 and 1: the hairpins of the region (the whole document when nothing is
            // selected) take the opening width of row 0 and, with row 1, are made horizontal
            // over a system break.
            if ((OptionValue(context, 1) != 0 || OptionValue(context, 0) != 0) && region != nullptr) {
                TSmartShapes shapes;
                shapes.LoadMeasureLinks(region->firstMeasure(), region->lastMeasure());
                shapes.AdjustInRegion(*region, OptionValue(context, 1) != 0,
                                      static_cast<int16_t>(OptionValue(context, 0)));
            }
            if (OptionValue(context, 2) == 0 && OptionValue(context, 3) == 0) {
                return true;
            }
            return RunEntryProcessingTool(context);
        case 59:
            return RunAuricleImport(context);
        case 64:
            return AnalyzeStaffGroup(context);
        case 67:
            return RunPlaybackTool(context, setNumber);
        case 68:
            return RunIncipits(context);
        case 72: {
            if (!AllocToolLists(context)) {
                return false;
            }
            RunExpressionsCommand(context, words.firstMeasure, words.lastMeasure, words);
            FreeToolLists(context);
            return true;
        }
        case 73:
            return RunEnclosures(context);
        case 74:
            return RunSpecialMeasureRegions(context);
        case 75:
            // False only when the user stopped it: the progress display then ends as stopped.
            return RunSlurTool(context);
        case 77:
            return RunMidiTool(context);
        case 78:
            return RunDistributeNotes(context);
        case 81:
            return RunSmartSplitPoint(context);
        default:
            return WorksOnWholeMeasures(item) ? RunEntryWalkTool(context) : RunEntryProcessingTool(context);
    }
}

std::array<ToolHandler, kToolItemCount> DefaultHandlers() {
    std::array<ToolHandler, kToolItemCount> handlers;
    for (int32_t item = 0; item < kToolItemCount; ++item) {
        handlers[static_cast<size_t>(item)] = [item](TFMisc& context, int32_t setNumber,
                                                     const hostapi::SelectionRecord* region) {
            return RunToolFunction(context, item, setNumber, region);
        };
    }
    return handlers;
}

/// New Spacing, first pass: remember the document and the region, and let the lyrics commands
/// prepare the region.
void BeginNewSpacing(TFMisc& context, hostapi::SelectionRecord& region) {
    GetHostWindowTitle(context.DocumentTitle);
    ShowMessageById(HostWindow, MSG_NEW_SPACING_START, 9, 0, true);
    context.SavedRegion = region;
    context.NewSpacingChanges.clear();
    const bool querySelection = std::exchange(QuerySelectionFromHost, false);
    RunCommand(HostWindow, 117, 0, true, false, nullptr);
    if (OptionValue(context, 1) != 0) {
        RunCommand(HostWindow, 105, 0, true, false, nullptr);
    }
    QuerySelectionFromHost = querySelection;
    region = context.SavedRegion;
    if (OptionValue(context, 4) != 0 && AllocToolLists(context)) {
        // A blank staff after the region's last one, marked in the list so that the second pass
        // takes out this staff and no other. A staff the host refuses leaves the region as it is.
        TInstruments& staves = *context.Instruments;
        const int32_t after = context.SavedRegion.lastStaff();
        if (staves.AddStaff(after, false)) {
            context.ListsChanged = 1;
            staves.At(std::clamp(after, 0, staves.Count() - 1)).flag = 1;
            region.setLastStaff(static_cast<hostapi::StaffSlot>(region.lastStaff() + 1));
            context.SavedRegion.setLastStaff(static_cast<hostapi::StaffSlot>(context.SavedRegion.lastStaff() + 1));
        }
    }
}

/// The step marker of New Spacing while its second pass waits.
constexpr int32_t kNewSpacingRepost = 120;

/// New Spacing after its first pass: the host's note spacing runs next, then the second pass.
void AwaitNewSpacingSecondPass(TFMisc& context) {
    context.NewSpacingSecondPass = 1;
    // The host's note spacing by its menu keys, then the keypad plus: the keyboard hook takes it
    // as the step signal and the timer brings the second pass once the host has spaced.
    // The keys go to the host: from an options dialog's Go, the dialog has the focus until now.
    win::SetForegroundWindow(HostWindow);
    FocusHostWindow();
    SendAltKeyToHost('g');
    if (LanguageIndex == 1) {
        if (HostYear < 2001) {
            // "Ä" lies on the key VK_OEM_7 of the German keyboard, which the window system's
            // keyboard layout does not name: the key itself is pressed with Alt.
            SendKeyDown(win::VK_MENU);
            SendKeyDown(win::VK_OEM_7);
            SendKeyUp(win::VK_OEM_7);
            SendKeyUp(win::VK_MENU);
            SendTextToHost("sn");
        } else {
            SendAltKeyToHost('e');
            SendTextToHost("mn");
        }
    } else if (ItalianHost) {
        SendAltKeyToHost('s');
        SendTextToHost("zf");
    } else {
        SendAltKeyToHost(HostYear < 2001 ? 's' : 'm');
        SendTextToHost("sn");
    }
    SendVirtualKeyToHost(win::VK_ADD);
    PendingOptionsForm = context.OptionsForm;
    RepostCode = kNewSpacingRepost;
}

void FinishNewSpacing(TFMisc& context) {
    context.NewSpacingSecondPass = 0;
    context.NewSpacingChanges.clear();
    if (OptionValue(context, 4) != 0 && context.Instruments) {
        TInstruments& staves = *context.Instruments;
        for (int32_t i = 0; i < staves.Count(); ++i) {
            if (staves.At(i).flag == 1) {
                staves.RemoveStaff(staves.At(i).staff());
                staves.Save(0);
                context.ListsChanged = 1;
                break;
            }
        }
    }
    const bool querySelection = std::exchange(QuerySelectionFromHost, false);
    if (OptionValue(context, 3) != 0) {
        RunCommand(HostWindow, 205, 0, true, false, nullptr);
    }
    if (context.MoreOptions[1].value != 0) {
        RunCommand(HostWindow, 206, 0, true, false, nullptr);
    }
    QuerySelectionFromHost = querySelection;
    ShowMessageById(HostWindow, MSG_NEW_SPACING_DONE, 9, 0, true);
}

/// Continues the part explosion that runs; when it has ended, finishes it.
void StepRunningExplosion() {
    ExplosionContext* step = RunningStepObject;
    if (StepPartExplosion(*step)) {
        return;
    }
    TFMisc& context = step->Context();
    SetProgressText(context, "Done.");
    if (const auto redraw = Imports().RedrawDocument; redraw != nullptr) {
        redraw(step->processedRegion.bytes.data(), hostapi::kInterfaceVersion);
    }
    ShowMessageById(HostWindow, MSG_PART_DISTRIBUTION_DONE, 0, 0, true);
    SetProgressCaption(context);
    // An options dialog that started the run owns the tool context and outlives the explosion.
    vcl::TForm* optionsForm = context.OptionsForm;
    RunningStepObject = nullptr;
    // The context may own the tool context: nothing of either is used after this.
    ExplosionContextDestroy(step, 3);
    win::SetFocus(HostWindow);
    SendCtrlKeyToHost('a');
    if (optionsForm != nullptr) {
        OptionsFormRunEnded(*optionsForm);
    }
}

}  // namespace

bool HandContextToRunningExplosion(std::unique_ptr<TFMisc>& context) {
    if (RunningStepObject == nullptr || context == nullptr || &RunningStepObject->Context() != context.get()) {
        return false;
    }
    RunningStepObject->AdoptContext(std::move(context));
    return true;
}

std::array<ToolHandler, kToolItemCount>& Level2Handlers() {
    static std::array<ToolHandler, kToolItemCount> handlers = DefaultHandlers();
    return handlers;
}

hostapi::SelectionRecord* CheckSelection(bool allowWholeDocument) {
    if (!QuerySelectionFromHost) {
        if (allowWholeDocument && CurrentRegion == nullptr) {
            CurrentRegion = &SelectionRecords[1];
        }
        return CurrentRegion;
    }
    const auto getSelection = Imports().GetSelection;
    const bool selected = getSelection != nullptr &&
                          getSelection(SelectionRecords[0].bytes.data(), SelectionRecords[1].bytes.data(),
                                       hostapi::kInterfaceVersion) != 0 &&
                          SelectionRecords[0].firstMeasure() != 0;
    CurrentRegion = selected ? &SelectionRecords[0] : nullptr;
    if (!selected) {
        if (!allowWholeDocument) {
            ShowText("Please select a region with the mass mover tool before using this command.",
                     "Bitte markieren Sie zuerst einen Bereich mit dem 'Bewegen'-Werkzeug");
            return nullptr;
        }
        if (ShowMessageDialog(HostWindow, MSG_PROCESS_WHOLE_DOCUMENT, 5, 0, true, false, nullptr, 0)) {
            CurrentRegion = &SelectionRecords[1];
        }
    }
    return CurrentRegion;
}

namespace {

int16_t InvokeCommand(win::Hwnd hostWindow, int16_t menuIndex, const uint8_t* selection, const uint8_t* document);

}  // namespace

int16_t FinaleExtensionInvoke(win::Hwnd hostWindow, int16_t menuIndex, const uint8_t* selection,
                              const uint8_t* document) {
    // The host hears of a change only when the run wrote one to the document: a command that
    // found nothing to do, a form, or a tool that wrote back what was there changed nothing.
    const uint32_t writes = DocumentWriteCount();
    const int16_t answer = InvokeCommand(hostWindow, menuIndex, selection, document);
    return DocumentWriteCount() == writes ? int16_t{0} : answer;
}

namespace {

int16_t InvokeCommand(win::Hwnd hostWindow, int16_t menuIndex, const uint8_t* selection, const uint8_t* document) {
    if (menuIndex < 0 || menuIndex >= CommandCount || menuIndex >= kCommandTableSize) {
        return 0;
    }
    if (SkipNextInvoke > 0) {
        --SkipNextInvoke;
        return 0;
    }
    // Without a document (its record holds no measure) no tool has anything to work on: none runs,
    // a step that waits goes on waiting, and the host hears of no change. Forms still open.
    const bool noDocument =
        document == nullptr || hostapi::ReadI16(document, hostapi::SelectionRecord::kLastMeasure) <= 0;
    if (noDocument && (PendingOptionsForm != nullptr || s_pendingNewSpacing || RunningStepObject != nullptr)) {
        return 0;
    }
    int32_t result = 0;
    try {
        if (PendingOptionsForm != nullptr) {
            // The continuation arrived (also when the user chose a command before the timer sent
            // it): no step waits any more, so the keyboard hook goes back to the user's keys.
            RepostCode = 0;
            vcl::TForm* form = std::exchange(PendingOptionsForm, nullptr);
            CompleteOptionsFormOk(*form);
            return 1;
        }
        if (s_pendingNewSpacing) {
            RepostCode = 0;
            std::unique_ptr<TFMisc> context = std::move(s_pendingNewSpacing);
            NestingScope nesting(InvokeNesting);
            const int32_t done = DispatchToolLevel2(*context, context->Item, context->Group, context->Group);
            if (context->NewSpacingSecondPass != 0) {
                // Not run (another document is in front): the pass stays pending.
                s_pendingNewSpacing = std::move(context);
            }
            return static_cast<int16_t>(done);
        }
        if (!BindServicePlugin()) {
            return 0;
        }
        if (RunningStepObject != nullptr) {
            StepRunningExplosion();
            return 0;
        }
        NestingScope nesting(InvokeNesting);
        const int32_t tableIndex = MenuIndexMap[static_cast<size_t>(menuIndex)];
        if (tableIndex < 0 || tableIndex >= CommandCount) {
            return 0;
        }
        const int32_t code = CommandTable[static_cast<size_t>(tableIndex)].code;
        if (noDocument && (code >= 100 || RerunCode > 0)) {
            RerunCode = 0;  // a key launch has nothing to work on either
            return 0;
        }
        // Every invocation adds the menus seen now to the menu cache, so that menus that appear
        // later (with another tool chosen in the host) can be assigned to keys too.
        MenuCache_Refresh();
        FirstCommandDone = true;
        if (code == CODE_USER_MANUAL) {
            OpenUserManual(hostWindow);
            return 0;
        }
        ShiftHeld = RerunCode == -1 || (win::GetKeyState(win::VK_SHIFT) & 0x8000) != 0;
        GetHostWindowTitle(HostWindowTitle);
        if (selection != nullptr) {
            std::copy_n(selection, hostapi::SelectionRecord::kSize, SelectionRecords[0].bytes.begin());
            CurrentRegion = &SelectionRecords[0];
        } else {
            CurrentRegion = nullptr;
        }
        if (document != nullptr) {
            std::copy_n(document, hostapi::SelectionRecord::kSize, SelectionRecords[1].bytes.begin());
        }
        if (RerunCode > 0) {
            result = RunCommand(hostWindow, RerunCode, 0, true, true, &ToolOptionsA);
        } else {
            result = RunCommand(hostWindow, code, 0, ShiftHeld, true, nullptr);
        }
        RerunCode = 0;
        if (GeneralOptions[GO_ALWAYS_REHOOK_KEYBOARD].value != 0) {
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
    if ((code == 151 || code == 152) && HostYear >= 2001) {
        ShowText(
            "This command is no longer needed in this version of Finale. Please lock the systems and then use the "
            "measure tool to delete or insert measures into a system, or the page layout tool to delete or insert "
            "whole systems including their measures.",
            "Dieser Befehl wird bei dieser Finale-Version nicht mehr benötigt.");
        return 0;
    }
    // A command without a table entry keeps a guard of its own, not that of entry 0.
    const bool inTable = CommandTable[static_cast<size_t>(tableIndex)].code == code;
    int32_t& busy = inTable || code < 100 || code % 100 >= kToolItemCount
                        ? CommandBusy[static_cast<size_t>(tableIndex)]
                        : KeyCommandBusy[static_cast<size_t>(code % 100)];
    if (busy != 0) {
        return 0;
    }
    NestingScope busyScope(busy);
    if (code == 205 && HostRawVersion >= 0x4000000) {
        code = 113;
    }
    if (code < 100) {
        return static_cast<int16_t>(std::max(0, RunFormCommand(code, tableIndex)));
    }
    std::unique_ptr<TFMisc> context = InitToolContext();
    const int32_t result = ExecuteTool(*context, code % 100, code / 100, overrides, shift, showDialog, passThrough);
    (void)hostWindow;
    if (result == -1) {
        // The options dialog stays open and owns the context now, also when its Go started a part
        // explosion on it: the dialog hands it over when it goes before the explosion ends.
        context.release();
        return 0;
    }
    if (HandContextToRunningExplosion(context)) {
        // A part explosion goes on over the next host calls: its context keeps the tool context.
        return static_cast<int16_t>(std::clamp(result, 0, 0x7FFF));
    }
    if (context->NewSpacingSecondPass != 0 && context->OptionsForm == nullptr) {
        s_pendingNewSpacing = std::move(context);
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
    const bool hasOptions = item >= 0 && item < kToolItemCount &&
                            kActionControlTableData[static_cast<size_t>(item)][0].englishCaption != nullptr;
    const bool dialog =
        showDialog && !shift && (group == 1 || DialogOnlyInGroup1[static_cast<size_t>(item)] == 0) && hasOptions;
    context.DialogShown = dialog ? 1 : 0;
    if (item == 50) {
        ShowMessageById(context.OwnerWindow, MSG_SAVE_BEFORE_PRINTING, 0, 0, true);
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
    ToolRunMarker = 0;
    return result;
}

int32_t DispatchTool(TFMisc& context, int32_t item, int32_t group, int32_t passThrough) {
    context.ChangeCount = 0;
    int32_t result = 1;
    switch (item) {
        case 21:
            break;
        case 8:
            result = RunBeamBreaker(context);
            break;
        case 9:
            result = RunSortTool(context) ? 1 : 0;
            break;
        case 14:
            result = RunScaleStaffPositions(context) ? 1 : 0;
            break;
        case 16:
            result = RunCopySystemOptimization(HostWindow, context) ? 1 : 0;
            break;
        case 24:
            result = RunCueNotes(context);
            break;
        case 50:
            result = OpenNextPrintFile(context);
            break;
        case 62:
            result = RunWordExtensions(CurrentRegion, &SelectionRecords[1], context);
            break;
        default:
            result = DispatchToolLevel2(context, item, group, passThrough != 0 ? passThrough : group);
    }
    if (context.ChangeCount > 0) {
        ShowMessageById(context.OwnerWindow, MSG_REMOVED_BEAT_CHART_HANDLES, 7, context.ChangeCount, true);
    }
    return result;
}

int32_t DispatchToolLevel2(TFMisc& context, int32_t item, int32_t group, int32_t setNumber) {
    context.Item = item;
    context.Group = group;
    context.PassFlags = {};
    context.IntLists[5].clear();
    const bool secondPass = item == 20 && context.NewSpacingSecondPass != 0;
    // New Spacing's second pass reverts the changes its first pass recorded; every other run
    // starts with an empty list.
    if (!secondPass) {
        context.NewSpacingChanges.clear();
    }

    // Step 2: the region.
    const bool querySelection = QuerySelectionFromHost;
    if (InList(item, {34, 30, 73}) || (item == 55 && OptionValue(context, 3) == 0 && OptionValue(context, 9) == 0 &&
                                       OptionValue(context, 5) == 0 && OptionValue(context, 4) == 0)) {
        QuerySelectionFromHost = false;
    }
    hostapi::SelectionRecord* region = CheckSelection(!(item == 20 && !secondPass));
    QuerySelectionFromHost = querySelection;
    if (region == nullptr) {
        return 0;
    }
    if (region->viewKey() != 0 && (item == 27 || item == 35 || (item == 20 && OptionValue(context, 4) != 0))) {
        ShowText("This plug-in can be used in scroll view only, and only with staff set: All Staves",
                 "Bitte nur in der fortlaufenden Ansicht benutzen (mit Stimmenmsatz: alle Stimmen)");
        return 0;
    }
    DocumentOptionFlag = IsDocumentOptionSet() ? 1 : 0;

    if (item == 20) {
        if (!secondPass) {
            BeginNewSpacing(context, *region);
        } else {
            std::string title;
            GetHostWindowTitle(title);
            if (title != context.DocumentTitle) {
                ShowText(
                    "WARNING: you have switched to a different Finale file although New Spacing has not "
                    "completed. Please return to the original file!",
                    "WARNUNG: Sie sind zu einer andere Finale-Datei gewechselt, obwohl das Neue Ausrichten "
                    "noch nicht abgeschlossen ist. Bitte kehren Sie zur ursprünglichen Datei zurück!");
                // The second pass never runs on another document; it waits for the first one.
                return 0;
            }
            *region = context.SavedRegion;
        }
    }
    if (item == 32) {
        AllocToolLists(context);
    }
    // Step 7: the shared text expression table.
    TTextExpressions& expressions = TextExpressionTable();
    if (InList(item, {27, 30, 32, 35, 44, 55, 63, 72})) {
        expressions.LoadFromDocument();
    } else {
        expressions.CheckCurrent();
    }
    if (item == 32) {
        expressions.SortTables().Build(expressions.Options().AdditionalFonts);
        if (!expressions.Analysed()) {
            expressions.AnalyzeAll();
        }
    }

    context.ChangeCount = 0;
    context.RunResult = 0;
    context.MeasureCount = region->lastMeasure() - region->firstMeasure() + 1;
    // An empty or reversed measure range is not processed.
    if (context.MeasureCount <= 0) {
        return 2;
    }
    const bool bracket = !WorksOnWholeMeasures(item) && !InList(item, {27, 30, 34, 35, 38, 45, 51, 52}) &&
                         !(item == 67 && setNumber > 1);
    context.EditBracket = 0;
    if (bracket && Imports().BeginProgress != nullptr) {
        // The display announces the steps the tool makes: one a measure, or one a staff for the
        // tools that walk the selection staff by staff (align/move, export, hairpins).
        constexpr int32_t kAlignMoveItem = 29;
        constexpr int32_t kExportItem = 37;
        constexpr int32_t kHairpinsItem = 44;
        const int32_t steps = InList(item, {kAlignMoveItem, kExportItem, kHairpinsItem})
                                  ? std::max(region->lastStaff() - region->firstStaff() + 1, 1)
                                  : context.MeasureCount;
        context.EditBracket = Imports().BeginProgress(region->bytes.data(), steps, hostapi::kInterfaceVersion);
    }

    context.RerunFlag = 0;
    const bool failed = !Level2Handlers()[static_cast<size_t>(item)](context, setNumber, region);
    if (bracket && Imports().EndProgress != nullptr) {
        Imports().EndProgress(context.EditBracket, failed ? 1 : 0, hostapi::kInterfaceVersion);
        context.EditBracket = 0;
    }

    if (!failed) {
        if (context.RerunFlag == 1) {
            context.RerunFlag = OptionValue(context, item == 7 ? 4 : 1);
            if (context.RerunFlag == 0) {
                ShowMessageById(context.OwnerWindow, MSG_BEAT_CHART_REFRESH_OFF, 0, 0, true);
            }
        } else {
            context.RerunFlag = 0;
        }
    } else {
        context.ChangeCount = 0;
    }

    if (item == 20 && !failed) {
        if (!secondPass) {
            AwaitNewSpacingSecondPass(context);
        } else {
            FinishNewSpacing(context);
        }
    } else if (item == 20 && secondPass) {
        // A second pass that failed is not tried again.
        context.NewSpacingSecondPass = 0;
    }
    if (secondPass && RepostCode == kNewSpacingRepost) {
        // The pass the timer was to start has run: nothing waits for a step any more, so that a
        // later tick sends the host no command and later runs do not wait for a step.
        RepostCode = 0;
    }
    if (RepostCode != 0 && GeneralOptions[GO_ALWAYS_REHOOK_KEYBOARD].value == 0) {
        InstallHostHooks();
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
    ShowText(
        "The user manual could not be found. Please copy a file called Orvex(.pdf) or similar into Finale's "
        "plug-ins folder. The manual can be downloaded from https://orvex.example.org/manual.",
        "");
}

void ResetDispatcher() {
    SelectionRecords = {};
    CurrentRegion = nullptr;
    ShiftHeld = false;
    InvokeNesting = 0;
    CommandBusy.fill(0);
    KeyCommandBusy.fill(0);
    RerunCode = 0;
    SkipNextInvoke = 0;
    ToolRunMarker = 0;
    PendingOptionsForm = nullptr;
    delete RunningStepObject;  // an explosion left running, with the tool context it owns
    RunningStepObject = nullptr;
    RepostCode = 0;
    QuerySelectionFromHost = true;
    DocumentOptionFlag = 0;
    FirstCommandDone = false;
    ModelessFormList.clear();
    ResetStaffListManager();
    delete _HarmonicsForm;
    delete _SBBForm;
    HostWindowTitle.clear();
    s_pendingNewSpacing.reset();
    Level2Handlers() = DefaultHandlers();
    ResetTextExpressionTable();
}

}  // namespace orvex
