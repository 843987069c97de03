// The part explosion as a run over several host calls: each invoke of the host continues it,
// and it keeps a share of its tool context, so that the context outlives the dialog or the command
// that started it.
#include "tools/layout/explosion/explosion_stepping.h"

#include "core/free_texts.h"
#include "core/host/host_imports.h"
#include "core/key_automation.h"
#include "core/messages.h"
#include "core/run_environment.h"
#include "core/run_services.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "platform/win/windows.h"
#include "tools/layout/explosion/explosion.h"
#include "tools/layout/process_parts.h"

namespace orvex {

/// Continues the part explosion that runs; when it has ended, finishes it.
void StepRunningExplosion() {
    ExplosionContext* step = RunningStepObject();
    if (StepPartExplosion(*step)) {
        return;
    }
    TFMisc& context = step->Context();
    SetProgressText(context, FreeText::ProgressDone);
    RedrawHostDocument(step->processedRegion.bytes.data());
    ShowMessage({.id = MSG_PART_DISTRIBUTION_DONE, .skippable = true});
    SetProgressCaption(context);
    // An options dialog that started the run may still be open; it is told after the explosion goes.
    vcl::TForm* optionsForm = context.OptionsForm;
    HandOverStepObject(nullptr);
    // The explosion may hold the last share of the tool context: nothing of either is used after this.
    ExplosionContextDestroy(step, 3);
    win::SetFocus(DispatcherEnvironment().HostWindow());
    SendCtrlKeyToHost('a');
    if (optionsForm != nullptr) {
        OptionsFormRunEnded(*optionsForm);
    }
}

void EndRunningExplosion() {
    ExplosionContext* step = TakeStepObject();
    if (step == nullptr) {
        return;
    }
    // The entry links of the parts are made at the end of the whole run only; a run that stops
    // before makes none (its document may not be the one in front any more).
    ExplosionEntryPairs().clear();
    vcl::TForm* optionsForm = step->Context().OptionsForm;
    SetProgressCaption(step->Context());
    ExplosionContextDestroy(step, 3);
    if (optionsForm != nullptr) {
        OptionsFormRunEnded(*optionsForm);
    }
}

bool RunningExplosionWorksOn(const TFMisc& context) {
    const ExplosionContext* step = RunningStepObject();
    return step != nullptr && &step->Context() == &context;
}

void DestroyRunningExplosion() {
    delete RunningStepObject();  // with its share of the tool context
    HandOverStepObject(nullptr);
}

}  // namespace orvex
