// The running part explosion, as the dispatcher steps it over the host's calls.
#pragma once

#include <memory>

namespace orvex {

struct TFMisc;

/// Continues the part explosion that runs; when it has ended, finishes it.
void StepRunningExplosion();
/// Whether the part explosion that runs works on the tool context.
bool RunningExplosionWorksOn(const TFMisc& context);
/// Ends the part explosion that waits before its last step: what it did stays, the options
/// dialog that started it is told, and no document is touched.
void EndRunningExplosion();
/// Destroys an explosion left running, with its share of the tool context (tests start here).
void DestroyRunningExplosion();

}  // namespace orvex
