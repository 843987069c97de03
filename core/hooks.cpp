#include "core/hooks.h"

#include "core/startup.h"
#include "platform/win/messages.h"

namespace orvex {

// FIXME: the keyboard, Shift-state and call-window hooks and the TNow timer are not built yet;
// until they are, start-up installs nothing and unloading has nothing to remove.
void InstallHostHooks() {}
void RemoveHostHooks() {}
void DestroyTNow() {}
void ResetHooks() {}

void PostHostRedrawCommands() {
    win::PostMessage(HostWindow, win::WM_COMMAND, 76037);
    win::PostMessage(HostWindow, win::WM_COMMAND, HostYear == 1997 ? 76037 : 76038);
}

}  // namespace orvex
