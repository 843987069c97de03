// The running part explosion, as the dispatcher steps it over the host's calls.
#pragma once

#include <memory>

namespace orvex {

struct TFMisc;

/// Continues the part explosion that runs; when it has ended, finishes it.
void StepRunningExplosion();
/// Gives the tool context to the running part explosion when it works on it; false (and the
/// context stays) when none does.
bool AdoptRunningExplosionContext(std::unique_ptr<TFMisc>& context);
/// Ends the part explosion that waits before its last step: what it did stays, the options
/// dialog that started it is told, and no document is touched.
void EndRunningExplosion();
/// Destroys an explosion left running, with the tool context it owns (tests start here).
void DestroyRunningExplosion();

}  // namespace orvex
