// The keyboard and window hooks on the host's thread and the TNow timer that drives work when
// the host is idle.
#pragma once

namespace orvex {

/// Removes the hooks, installs them anew on the host's thread and creates TNow when missing.
void InstallHostHooks();
/// Removes the hooks that exist and closes the host process handle (at unload).
void RemoveHostHooks();
/// Destroys the TNow timer if it exists (at unload).
void DestroyTNow();
/// Posts the host's redraw commands (WM_COMMAND 76037 then 76038; 76037 twice on host year
/// 1997), after a command that asked for a refresh run.
void PostHostRedrawCommands();

/// Forgets hooks and timer without removing anything (tests start from here).
void ResetHooks();

}  // namespace orvex
