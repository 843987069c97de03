// A run that waits: a multi-step command (the part explosion and distribution, New Spacing with
// its second pass) goes on over several host calls. Each step ends by sending the host its keys
// and the step signal; the timer then has the host call the plug-in again. Such a run belongs to
// the document it began on and to the command the user chose, and this unit keeps that binding:
// - the timer continues the run only while its document is in front, and sends the host the
//   command the user chose (so that the host names every step after it, not after another
//   entry); while another document is in front the run waits, and the user is told once;
// - a call of the plug-in that the timer did not send is the user's own command, never a step
//   of the run;
// - the run ends, saying so, when its document was closed.
// The dispatcher (core/dispatch.cpp) decides what a waiting run does; this unit only knows the
// binding.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win/handles.h"

namespace orvex {

/// Why a waiting run ends before its last step.
enum class WaitingRunEnd {
    DocumentClosed,     ///< its document was closed
    AnotherCommand,     ///< the user chose another command for its document
    KeysLost,           ///< keys of a step reached another window and the host only part of them
    RegionNotSelected,  ///< the host's region dialog did not select the region the run asked for
    Undo,               ///< the user chose Undo or Redo for its document
    Unloaded,           ///< the plug-in is unloaded (nothing is shown)
};

/// What the timer finds for the waiting run while the host is in front.
enum class RunTick {
    Continue,        ///< its document is in front: the next step may run
    OtherDocument,   ///< another document is in front: the run waits for its own
    DocumentClosed,  ///< its document is gone: the run ends
};

/// Binds the run that begins now to the document in front and to the command `code` the user
/// chose; a run that is bound already keeps its binding.
void BindWaitingRun(int32_t code);
/// Whether a run is bound (it began and has not ended).
bool WaitingRunBound();
/// The run ended: its binding goes.
void UnbindWaitingRun();

/// The command the bound run belongs to (0 when none).
int32_t WaitingRunCode();
/// The host's command identifier of the bound run's command (the one the timer sends the host).
uint32_t WaitingRunHostCommand();
/// The name of the run's document as the host's window showed it when the run began.
const std::string& WaitingRunDocumentName();
/// Whether the bound run's document is the document in front (true when no run is bound).
bool WaitingRunDocumentInFront();
/// Checks the bound run's document; tells the user once when another document is in front.
RunTick CheckWaitingRunDocument();

/// Sends the host the command of the bound run (or the first product command when no run is
/// bound), so that it calls the plug-in for the run's next step; answers whether that call came.
bool SendRunContinuation();
/// Whether the call that runs now is the continuation the timer sent (taken: asked once a call).
bool TakeRunContinuation();
/// How many steps multi-step commands and print runs took after their first since the plug-in
/// was loaded (each continuation the timer sent, each step of a print run).
uint32_t RunStepsTaken();
/// A print run took a step.
void NotePrintRunStep();

}  // namespace orvex
