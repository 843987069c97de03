// New Spacing's pass machine: the first pass prepares the region and hands over to the host's
// note spacing (by its menu keys); the timer brings the second pass, which reverts what the first
// pass recorded and runs the follow-up commands. The dispatcher runs it as a multi-step tool.
#include "tools/notes/new_spacing_passes.h"

#include <algorithm>
#include <string>

#include "core/free_texts.h"
#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/host_imports.h"
#include "core/host/staff_lists.h"
#include "core/host_probes.h"
#include "core/key_automation.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/run_services.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "core/tool_items.h"
#include "platform/hostapi/layout_records.h"
#include "platform/win/keys.h"
#include "platform/win/windows.h"
#include "tools/notes/new_spacing.h"

namespace orvex {
namespace {

/// New Spacing, first pass: remember the document and the region, and let the lyrics commands
/// prepare the region.
void BeginNewSpacing(TFMisc& context, hostapi::SelectionRecord& region) {
    GetHostWindowTitle(NewSpacingRun(context).documentTitle);
    NewSpacingRun(context).document = FrontDocumentIdentity();
    ShowMessage({.id = MSG_NEW_SPACING_START, .caption = Caption::NewSpacing, .skippable = true});
    NewSpacingRun(context).savedRegion = region;
    NewSpacingRun(context).ClearChanges();
    {
        const HeldRegionScope heldRegion;
        RunCommand(context.Environment.HostWindow(), kShiftLyricsCode, 0, true, false, nullptr);
        if (RowOn(context.Options, NSP_MOVE_BEAT_ONE_SYLLABLES)) {
            RunCommand(context.Environment.HostWindow(), kMoveSyllablesCode, 0, true, false, nullptr);
        }
    }
    region = NewSpacingRun(context).savedRegion;
    if (RowOn(context.Options, NSP_COMPLEMENTARY_RHYTHMS) && AllocToolLists(context)) {
        // A blank staff after the region's last one, marked in the list so that the second pass
        // takes out this staff and no other. A staff the host refuses leaves the region as it is.
        TInstruments& staves = *context.Instruments;
        const int32_t after = NewSpacingRun(context).savedRegion.lastStaff();
        if (staves.AddStaff(after, false)) {
            context.ListsChanged = 1;
            staves.At(std::clamp(after, 0, staves.Count() - 1)).flag = 1;
            region.setLastStaff(static_cast<hostapi::StaffSlot>(region.lastStaff() + 1));
            NewSpacingRun(context).savedRegion.setLastStaff(
                static_cast<hostapi::StaffSlot>(NewSpacingRun(context).savedRegion.lastStaff() + 1));
        }
    }
}

/// New Spacing, second pass: only on the document of the first pass, with its region.
bool ResumeNewSpacing(TFMisc& context, hostapi::SelectionRecord& region) {
    // The document is known by the identity the host gives it, which a save under another name
    // keeps and another document of the same name does not share; by its title where the host
    // gives none.
    std::string title;
    GetHostWindowTitle(title);
    const int32_t document = FrontDocumentIdentity();
    const bool same = document != 0 || NewSpacingRun(context).document != 0
                          ? document == NewSpacingRun(context).document
                          : title == NewSpacingRun(context).documentTitle;
    if (!same) {
        ShowMessage(FreeText::WarningYouHaveSwitchedDifferent);
        // The second pass never runs on another document; it waits for the first one.
        return false;
    }
    region = NewSpacingRun(context).savedRegion;
    return true;
}

/// New Spacing after its first pass: the host's note spacing runs next, then the second pass.
void AwaitLaterStepPending(TFMisc& context) {
    context.LaterStepPending = 1;
    // The host's note spacing by its menu keys, then the keypad plus: the keyboard hook takes it
    // as the step signal and the timer brings the second pass once the host has spaced.
    // The keys go to the host: from an options dialog's Go, the dialog has the focus until now.
    win::SetForegroundWindow(context.Environment.HostWindow());
    FocusHostWindow();
    SendAltKeyToHost('g');
    if (context.Environment.Language() == 1) {
        if (context.Environment.HostYear() < 2001) {
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
    } else if (TheModule.process.ItalianHost) {
        SendAltKeyToHost('s');
        SendTextToHost("zf");
    } else {
        SendAltKeyToHost(context.Environment.HostYear() < 2001 ? 's' : 'm');
        SendTextToHost("sn");
    }
    LeaveOptionsFormPending(context.OptionsForm);
    SignalNextStep(120);
}

/// Takes the helper staff of the complementary rhythm out of the document whole: the music of
/// its cells (with the records of their entries), its place in the score's staff list and its
/// staff record, so that nothing of it is saved with the document.
void DeleteHelperStaff(TInstruments& staves, int32_t index, const hostapi::SelectionRecord& region) {
    const int32_t staff = staves.At(index).staff();
    const hostapi::StaffSlot slot = SlotOfStaff(staff, 0);
    for (int32_t measure = region.firstMeasure(); slot != 0 && measure <= region.lastMeasure(); ++measure) {
        for (int16_t layer = 0; layer < 4; ++layer) {
            const ScopedEntryArray lent(0, slot, static_cast<MeasureNumber>(measure), layer, 0);
            EntryArray* array = lent.Get();
            if (array == nullptr) {
                continue;
            }
            for (int32_t i = 0; i < array->count; ++i) {
                DeleteEntryDetailRecords(array->entry(i).number());
            }
            FrameEntriesRemove(array, 0, array->count);
            SaveEntryArray(array);
        }
    }
    staves.RemoveStaff(staff);
    staves.Save(0);
    DeleteOtherRecord(hostapi::kTagStaff, staff, 0);
}

void FinishNewSpacing(TFMisc& context) {
    context.LaterStepPending = 0;
    NewSpacingRun(context).ClearChanges();
    if (RowOn(context.Options, NSP_COMPLEMENTARY_RHYTHMS) && context.Instruments) {
        TInstruments& staves = *context.Instruments;
        for (int32_t i = 0; i < staves.Count(); ++i) {
            if (staves.At(i).flag == 1) {
                DeleteHelperStaff(staves, i, NewSpacingRun(context).savedRegion);
                context.ListsChanged = 1;
                break;
            }
        }
    }
    {
        const HeldRegionScope heldRegion;
        if (RowOn(context.Options, NSP_LEFT_ALIGN_MELISMAS)) {
            RunCommand(context.Environment.HostWindow(), kAlignMelismaCode, 0, true, false, nullptr);
        }
        if (RowOn(context.MoreOptions, NSP_RUN_PROPORTIONALITY)) {
            RunCommand(context.Environment.HostWindow(), kLyricsProportionalityCode, 0, true, false, nullptr);
        }
    }
    ShowMessage({.id = MSG_NEW_SPACING_DONE, .caption = Caption::NewSpacing, .skippable = true});
}

}  // namespace

const MultiStepTool kNewSpacingSteps{BeginNewSpacing, ResumeNewSpacing, AwaitLaterStepPending, FinishNewSpacing};

}  // namespace orvex
