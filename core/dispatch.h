// Command dispatch: from the host's FinaleExtensionInvoke to the command a menu entry names.
// Codes below 100 open forms; every tool code runs a tool on a new tool context: its options
// (shown in the options dialog, or the stored ones with Shift), then the two-level dispatcher,
// the host's edit bracket around the tool, and the result message.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/commands.h"
#include "core/option_element.h"
#include "core/run_services.h"
#include "core/tool_context.h"
#include "core/waiting_run.h"
#include "platform/hostapi/records.h"
#include "platform/win/handles.h"

namespace vcl {
class TForm;
}  // namespace vcl

namespace orvex {

/// The step object of a running part explosion (tools/layout/explosion/explosion.h).
class ExplosionContext;

// ---- Process-wide state of the dispatcher ----
/// The selection as passed (or re-read from the host) and the record of the whole document.
/// The first or the second selection record, or none.
/// The re-entrancy guards of the tool commands that no table entry carries (the smart split
/// point, which a key runs), by tool item.
/// A command code queued by a key launch for the next invoke; -1: Shift counts as held.
/// The number of coming invokes that do nothing but count down: each is the host's call that a
/// run from a form asked for (two quick Go clicks ask for two).
/// Set by the align/move and hairpin tools during their run; cleared after every dispatch.
/// An options dialog whose OK is completed at the next invoke.
/// The step object of a running part explosion.
/// Non-zero while a multi-step command waits for the timer to make the host invoke again.

// ---- A multi-step command that waits (see core/waiting_run.h) ----
/// Whether a multi-step command waits for its next step (a part explosion, New Spacing's
/// second pass with or without its options dialog).
bool RunWaiting();
/// Runs the next step of the waiting run; answers what the host is told.
int16_t ContinueWaitingRun();
/// Ends the waiting run before its last step, keeping what it did, and tells the user why. New
/// Spacing whose document is in front runs its second pass instead: it takes back what the
/// first pass prepared.
void EndWaitingRun(WaitingRunEnd why);
/// The user chose Undo or Redo: a run that waits for its next step on the document in front ends
/// first (saying what stays done), so that it never goes on over what the user took back.
void EndWaitingRunForUndo();
/// Tools take the selection from the host when they run (else the one passed with the command).
/// Forms shown without blocking; they stay until the plug-in is unloaded.
/// The host window's title at the start of the current command.

/// Runs menu entry `menuIndex` with the host's selection record (or none) and the record of the
/// whole document; non-zero tells the host that the document changed.
int16_t FinaleExtensionInvoke(win::Hwnd hostWindow, int16_t menuIndex, const uint8_t* selection,
                              const uint8_t* document);

/// Shows the tool's options (or loads the stored ones) and dispatches the tool; -1 when the
/// options dialog stays open and runs the tool later.
int32_t ExecuteTool(TFMisc& context, int32_t item, int32_t group, const OptionArray* overrides, bool shift,
                    bool showDialog, int32_t passThrough);
/// Completes the OK of an options dialog that was left open, at the next invoke: the dialog
/// stores its values and runs its tool.
void CompleteOptionsFormOk(vcl::TForm& form);

/// The second-level dispatcher: 0 failure or refusal, 1 done, 2 an empty measure range.
int32_t DispatchToolLevel2(TFMisc& context, int32_t item, int32_t group, int32_t setNumber);

/// Looks for the user manual below the host's folder and opens it with the shell.
void OpenUserManual(win::Hwnd hostWindow);

/// The handler the second-level dispatcher runs for a tool item, with the option set and the
/// region; true counts as success.
using ToolHandler = std::function<bool(TFMisc& context, int32_t setNumber, const hostapi::SelectionRecord* region)>;
/// The handlers by tool item; each starts as the item's tool function.
std::array<ToolHandler, kToolItemCount>& Level2Handlers();

}  // namespace orvex
