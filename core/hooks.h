// The keyboard and window hooks on the host's thread and the TNow timer: with them the plug-in
// builds its product menu when the host is idle, gives dialog keys to its modeless forms,
// applies the user's key assignments, opens the explorer on its hotkey, launches the align/move
// and spacing tools from the numeric keypad, and continues multi-step commands.
#pragma once

#include <cstdint>
#include <memory>

#include "core/run_services.h"
#include "platform/vcl/classes.h"
#include "platform/vcl/extctrls.h"
#include "platform/win/handles.h"
#include "platform/win/input.h"

namespace orvex {

struct TFMisc;

// ---- State ----

/// The timer that drives work when the host is idle: 500 ms at first; its tick builds the
/// product menu and continues multi-step commands.
class TNow : public vcl::TComponent {
public:
    TNow();
    vcl::TTimer* Timer;

private:
    void Tick(vcl::TObject* sender);
};

/// Removes the hooks, installs them anew on the host's thread and creates TNow when missing.
void InstallHostHooks();
/// Removes the hooks that exist and closes the host process handle (at unload).
void RemoveHostHooks();
/// Destroys the TNow timer if it exists (at unload).
void DestroyTNow();

// The hook procedures (installed by InstallHostHooks).
intptr_t KeyAssignmentHook(int32_t code, uintptr_t key, intptr_t keyData);
intptr_t FormKeyHook(int32_t code, uintptr_t key, intptr_t keyData);
intptr_t MenuLoopHook(int32_t code, uintptr_t wParam, intptr_t lParam);
/// The get-message hook: the host's Undo or Redo chosen from its Edit menu ends a run that waits
/// on the document in front first.
intptr_t CommandWatchHook(int32_t code, uintptr_t wParam, intptr_t lParam);
intptr_t ShiftStateHookProc(int32_t code, uintptr_t key, intptr_t keyData);
void TNowTimerTick();

/// Launches align/move from the keypad: its stored options with the amount to move by.
void LaunchAlignMoveByKey(int32_t amount);
/// Launches a spacing tool from the keypad: expand/compress (mode 2 when the modifier flag
/// matches the general option) or add/remove space.
void LaunchSpacingByKey(int32_t amount, bool modifier, int32_t mode);
/// Launches a command that a key assignment targets (the smart split point, 181) with its stored
/// options; the next invoke runs it.
void LaunchCommandByKey(int32_t code);

/// The host's Speedy Entry window, or none.
win::Hwnd FindSpeedyWindow(win::Hwnd hostWindow);

}  // namespace orvex
