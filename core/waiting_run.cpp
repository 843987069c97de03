#include "core/waiting_run.h"

#include <utility>

#include "core/commands.h"
#include "core/free_texts.h"
#include "core/host/host_window.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/startup.h"
#include "core/tool_items.h"
#include "platform/win/messages.h"
#include "platform/win/windows.h"

namespace orvex {
namespace {

struct WaitingRunUnit {
    int32_t code = 0;                     ///< the command the user chose; 0: no run is bound
    win::Hwnd document = win::kNoWindow;  ///< the window of the run's document
    std::string documentName;             ///< the host's window title when the run began
    bool warnedOtherDocument = false;     ///< the user was told that another document is in front
    bool continuationDue = false;         ///< the timer's command is on its way to the plug-in
    uint32_t continuationCalls = 0;       ///< calls of the plug-in that took a continuation
    uint32_t printSteps = 0;              ///< steps of print runs
};

WaitingRunUnit& Run() {
    return UnitState<WaitingRunUnit>();
}

/// The host command that continues the run: the entry of the command the user chose, so that
/// the host names the step after it; the first product command when it has no entry of its own.
uint32_t ContinuationCommand() {
    return HostCommandOf(Run().code);
}

}  // namespace

void BindWaitingRun(int32_t code) {
    WaitingRunUnit& run = Run();
    if (run.code != 0) {
        return;
    }
    run.code = code;
    run.document = FrontDocumentWindow();
    run.documentName.clear();
    GetHostWindowTitle(run.documentName);
    // "Finale 2000 - [NAME]": the document's own name, as its window shows it.
    if (run.document != win::kNoWindow) {
        run.documentName = win::GetWindowText(run.document);
    }
    run.warnedOtherDocument = false;
}

bool WaitingRunBound() {
    return Run().code != 0;
}

void UnbindWaitingRun() {
    WaitingRunUnit& run = Run();
    run.code = 0;
    run.document = win::kNoWindow;
    run.documentName.clear();
    run.warnedOtherDocument = false;
}

int32_t WaitingRunCode() {
    return Run().code;
}

uint32_t WaitingRunHostCommand() {
    return ContinuationCommand();
}

const std::string& WaitingRunDocumentName() {
    return Run().documentName;
}

bool WaitingRunDocumentInFront() {
    return Run().code == 0 || FrontDocumentWindow() == Run().document;
}

RunTick CheckWaitingRunDocument() {
    WaitingRunUnit& run = Run();
    if (run.code == 0) {
        return RunTick::Continue;
    }
    if (run.document == win::kNoWindow || !win::IsWindow(run.document)) {
        return RunTick::DocumentClosed;
    }
    if (FrontDocumentWindow() == run.document) {
        run.warnedOtherDocument = false;
        return RunTick::Continue;
    }
    if (!run.warnedOtherDocument) {
        run.warnedOtherDocument = true;
        if (IsItem(run.code % 100, ToolItem::NewSpacing)) {
            ShowMessage(FreeText::WarningYouHaveSwitchedDifferent);
        } else {
            ShowMessage(FreeText::RunWaitsForItsDocument,
                        {ToolTitle(run.code % 100, run.code / 100), run.documentName});
        }
    }
    return RunTick::OtherDocument;
}

bool SendRunContinuation() {
    WaitingRunUnit& run = Run();
    const uint32_t calls = run.continuationCalls;
    run.continuationDue = true;
    win::SendMessage(Host().window, win::WM_COMMAND, ContinuationCommand());
    // A host that did not call the plug-in (it greys its entries without a document) leaves
    // nothing due: a later call is the user's, not the run's.
    run.continuationDue = false;
    return run.continuationCalls != calls;
}

bool TakeRunContinuation() {
    WaitingRunUnit& run = Run();
    if (!std::exchange(run.continuationDue, false)) {
        return false;
    }
    ++run.continuationCalls;
    return true;
}

uint32_t RunStepsTaken() {
    return Run().continuationCalls + Run().printSteps;
}

void NotePrintRunStep() {
    ++Run().printSteps;
}

}  // namespace orvex
