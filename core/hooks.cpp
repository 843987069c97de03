#include "core/hooks.h"

namespace orvex {

// FIXME: the keyboard, Shift-state and call-window hooks and the TNow timer are not built yet;
// until they are, start-up installs nothing and unloading has nothing to remove.
void InstallHostHooks() {}
void RemoveHostHooks() {}
void DestroyTNow() {}
void ResetHooks() {}

}  // namespace orvex
