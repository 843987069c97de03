// What the tools and the forms may call of the dispatcher and of the hooks: ask for the region
// again, run a tool or a command, tell the dispatcher about a run that a dialog started, hand a
// multi-step run's next step, its step object or its options form to the dispatcher, keep a form
// in the list of open modeless forms, and restart the timer or redraw the host. No tool, form or
// text expression reads or writes the dispatcher's state (TheModule.dispatch) itself. What a tool
// may read of its run comes through its context (core/run_environment.h); the rest of the
// dispatcher (core/dispatch.h) and of the hooks (core/hooks.h) is the core's own.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "core/option_element.h"
#include "platform/hostapi/records.h"
#include "platform/win/handles.h"

namespace vcl {
class TForm;
}  // namespace vcl

namespace orvex {

struct TFMisc;
class ExplosionContext;

// ---- The dispatcher (core/dispatch.cpp) ----
/// The region a tool works on: the selection (from the host, unless a HeldRegionScope lives), or,
/// when `allowWholeDocument`, the whole document after asking; none when there is neither.
hostapi::SelectionRecord* CheckSelection(bool allowWholeDocument);
/// While it lives, a run (a command a tool runs itself) works on the region the dispatcher holds
/// instead of asking the host for its selection; it puts back what held before.
class HeldRegionScope {
public:
    HeldRegionScope();
    ~HeldRegionScope();
    HeldRegionScope(const HeldRegionScope&) = delete;
    HeldRegionScope& operator=(const HeldRegionScope&) = delete;

private:
    bool m_askedHost;
};
/// A multi-step run asks for its next step: the step signal (the keypad plus) goes to the host,
/// and the timer brings the next step once the host has taken the keys sent before it (`code`:
/// the step's command, or the continuation marker of the running step object).
void SignalNextStep(int32_t code);
/// Whether a step of a run waits: a step signal sent, a step object running or an options form
/// left pending.
bool RunStepWaits();
/// Leaves the options form of New Spacing's first pass pending: the second pass completes it.
void LeaveOptionsFormPending(vcl::TForm* form);
/// Forgets `form` as the pending options form (it is going); another one stays pending.
void ForgetPendingOptionsForm(const vcl::TForm* form);
/// The step object of the run that goes on over the next host calls (the part explosion), or none.
ExplosionContext* RunningStepObject();
/// Hands the dispatcher the step object of a stepped run (none: no stepped run any more).
void HandOverStepObject(ExplosionContext* step);
/// The running step object, which the dispatcher no longer holds; none when there is none.
ExplosionContext* TakeStepObject();
/// The coming call of the host does nothing (the call that lets the host take a change made
/// outside its call, or that brings its menus up to date).
void SkipNextHostCall();
/// A modeless form that is open (freed when the module unloads), and one that goes.
void AddModelessForm(vcl::TForm* form);
void RemoveModelessForm(const vcl::TForm* form);
/// Whether a call of FinaleExtensionInvoke is under way (the host hears of what changes in it).
bool InsideHostCall();
/// A run outside a host call (Go in an options dialog left open) changed the document: the
/// coming call that SkipNextInvoke lets do nothing tells the host so.
void NoteChangeOutsideHostCall();
/// The user chose command `code` (from the menu, by key, or by Go in an options dialog) while a
/// run waits: a command for the run's own document, or one that runs in steps itself, ends the
/// waiting run first; a command for another document leaves it waiting for its own.
void SettleWaitingRunFor(int32_t code);
/// Runs one command; the result is never negative.
int16_t RunCommand(win::Hwnd hostWindow, int32_t code, int32_t passThrough, bool shift, bool showDialog,
                   const OptionArray* overrides);
/// The first-level dispatcher: the items it runs itself, the rest through DispatchToolLevel2.
int32_t DispatchTool(TFMisc& context, int32_t item, int32_t group, int32_t passThrough);
/// The options road: fills the option arrays with the tool's values of option set `setNumber`,
/// after showing them in the options dialog when asked. Answers true when the tool is to run.
bool RunToolWithOptions(int32_t item, int32_t setNumber, OptionArray& options, ExtendedOptionArray& moreOptions,
                        std::vector<std::pair<int32_t, int32_t>>& optionList, bool showDialog,
                        const OptionArray* overrides, bool leaveOpen, bool shift, TFMisc* context);
/// The run that an options dialog started over several host calls (the part explosion) ended:
/// the dialog acts on its "After Go:" choices now.
void OptionsFormRunEnded(vcl::TForm& form);

// ---- The hooks and the timer (core/hooks.cpp) ----
/// Sets the timer's interval and enables it.
void RestartTNow(uint32_t interval);
/// Starts or stops the timer, when it exists (the print run holds it while a file prints).
void SetTNowEnabled(bool enabled);
/// Posts the host's redraw commands (WM_COMMAND 76037 then 76038; 76037 twice on host year
/// 1997), after a command that asked for a refresh run.
void PostHostRedrawCommands();

}  // namespace orvex
