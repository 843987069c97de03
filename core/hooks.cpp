#include "core/hooks.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/commands.h"
#include "core/dispatch.h"
#include "core/free_texts.h"
#include "core/general_options.h"
#include "core/host_probes.h"
#include "core/key_assignments.h"
#include "core/key_automation.h"
#include "core/launch_rows.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/options_store.h"
#include "core/parts.h"
#include "core/product_menu.h"
#include "core/startup.h"
#include "core/waiting_run.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"
#include "platform/win/keys.h"
#include "platform/win/message_box.h"
#include "platform/win/messages.h"
#include "platform/win/system.h"
#include "platform/win/windows.h"

namespace orvex {

namespace {

using win::WM_ENTERMENULOOP;
using win::WM_EXITMENULOOP;
constexpr uint32_t WM_ENTERSIZEMOVE = 561;
constexpr uint32_t WM_EXITSIZEMOVE = 562;
constexpr uint16_t VK_PLUS_CHARACTER = 43;
constexpr uint32_t kProcessAllAccess = 0x1F0FFF;

/// The windows in front of which the keyboard remapper still acts: the host's tool palettes.
constexpr std::array<const char*, 6> kHostPalettes = {"Main Tool Palette",     "Smart Shape Palette",
                                                      "Special Tools Palette", "Simple Entry Palette",
                                                      "Playback Controls",     "Instrument List"};

bool KeyReleased(intptr_t keyData) {
    return (static_cast<uint32_t>(keyData) & 0x80000000u) != 0;
}
bool Down(uint16_t key) {
    return (win::GetKeyState(key) & 0x8000) != 0;
}

intptr_t PassOn(int32_t code, uintptr_t key, intptr_t keyData) {
    return FormKeyHook(code, key, keyData);
}

void PressAndReleaseWithScanCode(uint16_t key) {
    win::keybd_event(static_cast<uint8_t>(key), win::MapVirtualKeyToScanCode(key), 0, 0);
    win::keybd_event(static_cast<uint8_t>(key), win::MapVirtualKeyToScanCode(key), win::KEYEVENTF_KEYUP, 0);
}

/// The key events a key assignment sent (the key, and whether it is the release), in the order
/// sent. They come back through this hook like the user's keys; each one is passed on untouched
/// exactly once, so that assignments that map keys onto each other (A to B and B to A) act once
/// per stroke instead of sending each other's keys forever.
struct HookUnit {
    std::vector<std::pair<uint16_t, bool>> sentKeys;
    bool inMenuLoopHook = false;  ///< the call-window hook is running (it does not nest)
    bool hostMenuLoop = false;    ///< a menu of the host's main window is open (its modal loop runs)
};

/// The host's Undo and Redo (the Edit menu's standard command identifiers).
constexpr uint32_t kHostUndoCommand = 0xE12B;
constexpr uint32_t kHostRedoCommand = 0xE12C;

/// Whether a menu or a modal dialog of the host is open: its modal loop takes the keys, so keys
/// sent for a run would choose in the menu or fill the dialog instead of reaching the run's
/// target.
bool HostMenuOrDialogOpen() {
    return UnitState<HookUnit>().hostMenuLoop || !win::IsWindowEnabled(Host().window);
}

std::vector<std::pair<uint16_t, bool>>& SentKeys() {
    return UnitState<HookUnit>().sentKeys;
}

void SendAssignedKey(uint16_t key, bool release) {
    SentKeys().emplace_back(key, release);
    win::keybd_event(static_cast<uint8_t>(key), win::MapVirtualKeyToScanCode(key), release ? win::KEYEVENTF_KEYUP : 0,
                     0);
}

/// Whether the event is one an assignment sent; it is taken off the list.
bool TakeSentKey(uint16_t key, bool release) {
    auto& keys = SentKeys();
    const auto it = std::find(keys.begin(), keys.end(), std::make_pair(key, release));
    if (it == keys.end()) {
        return false;
    }
    keys.erase(it);
    return true;
}

/// The plug-in's form whose window is the active window, unless it is shown modally.
vcl::TForm* ActiveModelessForm() {
    for (int32_t i = 0; i < vcl::Screen->FormCount(); ++i) {
        vcl::TForm* form = vcl::Screen->Forms(i);
        if (form->Visible() && !form->Modal() && form->HandleAllocated() && form->Handle() == win::GetActiveWindow()) {
            return form;
        }
    }
    return nullptr;
}

/// Whether the active window is one of the plug-in's own forms (modal or not).
bool PluginFormActive() {
    const win::Hwnd active = win::GetActiveWindow();
    for (int32_t i = 0; i < vcl::Screen->FormCount(); ++i) {
        vcl::TForm* form = vcl::Screen->Forms(i);
        if (form->Visible() && form->HandleAllocated() && form->Handle() == active) {
            return true;
        }
    }
    return false;
}

/// A key assignment that matches the event; answers whether the key is swallowed, or nullopt
/// when the search goes on. An assignment acts once per key stroke: on the press (a NumLock
/// assignment outside the NT family on the release), and the other event is swallowed.
std::optional<intptr_t> ApplyAssignment(const KeyAssignment& assignment, bool pressed, bool shift, bool ctrl,
                                        bool alt) {
    const auto target = static_cast<uint16_t>(assignment.Target());
    const bool self = assignment.IsKeyTarget() && target == static_cast<uint16_t>(assignment.Key());
    const bool numLock = assignment.Key() == win::VK_NUMLOCK;
    const bool acting = !TheModule.process.IsNT && numLock && !self ? !pressed : pressed;
    if (!acting) {
        // The other event of a remapped key is swallowed; a key mapped to itself passes on.
        return self ? std::nullopt : std::optional<intptr_t>(1);
    }
    // The confirmation comes first, also for a key mapped to itself (HOME, END, DEL and
    // Backspace ask by default): Cancel swallows the key.
    if ((assignment.Flags() & KeyAssignment::kAsk) != 0) {
        // The confirmation is a message box of the system's own, in English only.
        const std::string text = EnglishText(FreeText::ConfirmKey, {KeyAssignment_KeyText(assignment.Key(), false)});
        if (win::MessageBox(Host().window, text, EnglishText(FreeText::ConfirmKeyCaption),
                            win::MB_OKCANCEL | win::MB_ICONQUESTION) != win::IDOK) {
            return 1;
        }
    }
    if (self) {
        return std::nullopt;  // confirmed: the search goes on, and the key reaches the host
    }
    if (assignment.IsMenuCommand()) {
        win::PostMessage(Host().window, win::WM_COMMAND, static_cast<uint32_t>(assignment.Target()));
        return 1;
    }
    if (assignment.IsPluginCommand()) {
        // The command has no menu entry of its own: it goes the road of the keypad launches,
        // through the host's call for a product command.
        LaunchCommandByKey(assignment.Target());
        win::PostMessage(Host().window, win::WM_COMMAND, TheModule.commands.HostCommandIdByItem[0]);
        return 1;
    }
    if (TheModule.process.IsNT && numLock) {
        TheModule.hooks.RestoreNumLock = true;
    }
    const std::array<std::pair<uint16_t, std::pair<bool, bool>>, 3> modifiers = {{
        {win::VK_SHIFT, {shift, assignment.NewShift()}},
        {win::VK_CONTROL, {ctrl, assignment.NewCtrl()}},
        {win::VK_MENU, {alt, assignment.NewAlt()}},
    }};
    for (const auto& [key, states] : modifiers) {
        if (states.first != states.second) {
            SendAssignedKey(key, !states.second);
        }
    }
    SendAssignedKey(target, false);
    SendAssignedKey(target, true);
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) {
        const auto& [key, states] = *it;
        if (states.first != states.second) {
            SendAssignedKey(key, !states.first);
        }
    }
    if (numLock && !TheModule.process.IsNT) {
        // The thread's NumLock state follows the remapped key.
        win::SetKeyDown(win::VK_NUMLOCK, true);
        win::SetKeyDown(win::VK_NUMLOCK, false);
    }
    return 1;
}

intptr_t KeyAssignmentHookBody(int32_t code, uintptr_t wParam, intptr_t keyData) {
    const auto key = static_cast<uint16_t>(wParam);
    if (code < 0) {
        return PassOn(code, wParam, keyData);
    }
    if (TheModule.hooks.IgnoreKeys > 0) {
        --TheModule.hooks.IgnoreKeys;
        return PassOn(code, wParam, keyData);
    }
    const bool released = KeyReleased(keyData);
    // A key the plug-in sent for the host acts only there, and for a waiting command only on its
    // own document: not in the plug-in's own window that a click activated, nor in another
    // document brought to the front; and a batch begins only while the host is in front with no
    // menu or dialog of its own open.
    const bool astray = PluginFormActive() || (WaitingRunBound() && !WaitingRunDocumentInFront());
    const bool hostBusy = HostMenuOrDialogOpen() || win::GetForegroundWindow() != Host().window;
    switch (TakeSentHostKey(key, released, astray, hostBusy)) {
        case SentKeyFate::HeldBack:
            // It acts nowhere. The step signal among the keys still counts, so that the timer
            // ticks until the run's document is in front again and the keys go once more.
            if (key == win::VK_ADD && TheModule.dispatch.RepostCode != 0 && !released) {
                RestartTNow(50);
            }
            return 1;
        case SentKeyFate::Deliver:
            if (key == win::VK_ADD && TheModule.dispatch.RepostCode != 0) {
                if (!released) {
                    RestartTNow(50);
                }
                return 1;
            }
            return PassOn(code, wParam, keyData);
        case SentKeyFate::NotSent:
            break;
    }
    if (!released && (key == 'Z' || key == 'Y') && Down(win::VK_CONTROL) && !Down(win::VK_MENU) && !hostBusy &&
        !PluginFormActive()) {
        // The host's Undo or Redo by keys: a run that waits on the document ends first.
        EndWaitingRunForUndo();
    }
    if (TakeSentKey(key, released)) {
        return PassOn(code, wParam, keyData);
    }
    if (TheModule.process.IsNT && key == win::VK_NUMLOCK) {
        if ((static_cast<uint32_t>(keyData) & 0x0F000000u) == 0) {
            return PassOn(code, wParam, keyData);
        }
        if (TheModule.hooks.RestoreNumLock && released) {
            TheModule.hooks.RestoreNumLock = false;
            PressAndReleaseWithScanCode(win::VK_NUMLOCK);
            return PassOn(code, wParam, keyData);
        }
    }
    if (TheModule.dispatch.InvokeNesting != 0) {
        return PassOn(code, wParam, keyData);
    }
    if (!TheModule.productMenu.MenuBuilt) {
        BuildProductMenu();
    }
    if (TheModule.commands.HostCommandIds[0] == 0) {
        return PassOn(code, wParam, keyData);
    }
    bool playbackControls = false;
    const win::Hwnd foreground = win::GetForegroundWindow();
    if (foreground != Host().window) {
        const std::string title = win::GetWindowText(foreground).substr(0, 100);
        if (std::find(kHostPalettes.begin(), kHostPalettes.end(), title) == kHostPalettes.end()) {
            return PassOn(code, wParam, keyData);
        }
        playbackControls = title == "Playback Controls";
    }
    if (TheModule.dispatch.RepostCode != 0) {
        // The keypad plus is the step signal of a multi-step command.
        if (key != win::VK_ADD) {
            return PassOn(code, wParam, keyData);
        }
        if (!released) {
            RestartTNow(50);
        }
        return 1;
    }
    if (playbackControls && key >= win::VK_F1 && key <= win::VK_F12 && !released) {
        FocusHostWindow();
        SendVirtualKeyToHost(key);
        return 1;
    }
    const bool shift = Down(win::VK_SHIFT) || TheModule.hooks.LeftShiftDown || TheModule.hooks.RightShiftDown;
    const bool ctrl = Down(win::VK_CONTROL);
    const bool alt = Down(win::VK_MENU);
    TheModule.hooks.LastKey = key;
    TheModule.hooks.LastKeyData = static_cast<uint32_t>(keyData);

    if (key == TheModule.options.ExplorerHotkeyKey && shift == (TheModule.options.ExplorerHotkeyShift != 0) &&
        ctrl == (TheModule.options.ExplorerHotkeyCtrl != 0) && alt == (TheModule.options.ExplorerHotkeyAlt != 0)) {
        if (!released) {
            // Sent, not posted: the explorer opens before the next key is read.
            win::SendMessage(Host().window, win::WM_COMMAND, TheModule.commands.HostCommandIds[0]);
        }
        return 1;
    }
    if (TheModule.options.RemapperEnabled != 0 && !released) {
        const bool keypad = key == win::VK_ADD || key == win::VK_SUBTRACT;
        if (shift && keypad) {
            const int32_t step = TheModule.process.GeneralOptions[GO_SPACING_HOTKEY_STEP].value;
            LaunchSpacingByKey(key == win::VK_ADD ? step : -step, ctrl || alt,
                               2 - (alt ? 1 : 0) - (alt && ctrl ? 1 : 0));
            win::PostMessage(Host().window, win::WM_COMMAND, TheModule.commands.HostCommandIdByItem[0]);
            return 1;
        }
        if (alt && !shift && !ctrl && (keypad || key == win::VK_MULTIPLY)) {
            const int32_t step = TheModule.process.GeneralOptions[GO_DYNAMICS_HOTKEY_STEP].value;
            LaunchAlignMoveByKey(key == win::VK_ADD ? step : key == win::VK_SUBTRACT ? -step : 0);
            win::PostMessage(Host().window, win::WM_COMMAND, TheModule.commands.HostCommandIdByItem[0]);
            return 1;
        }
    }
    if (TheModule.options.RemapperEnabled != 0) {
        for (const KeyAssignment& assignment : TheModule.options.KeyAssignments) {
            if (!assignment.Enabled() || assignment.Key() != key || assignment.Shift() != shift ||
                assignment.Ctrl() != ctrl || assignment.Alt() != alt) {
                continue;
            }
            if ((assignment.Flags() & KeyAssignment::kSpeedyOnly) != 0 &&
                FindSpeedyWindow(Host().window) == win::kNoWindow) {
                return PassOn(code, wParam, keyData);
            }
            if (const auto result = ApplyAssignment(assignment, !released, shift, ctrl, alt)) {
                return *result;
            }
        }
    }
    return PassOn(code, wParam, keyData);
}

/// Runs a host entry (hook or timer) so that an unexpected error is reported, never passed on
/// to the host.
template <typename Body>
auto Guarded(Body&& body, decltype(body()) onError) {
    try {
        return body();
    } catch (const std::exception& error) {
        ReportException(Host().window, error);
        return onError;
    }
}

}  // namespace

TNow::TNow() : vcl::TComponent(nullptr) {
    Timer = new vcl::TTimer(this);
    Timer->SetInterval(500);
    Timer->OnTimer = [this](vcl::TObject* sender) { Tick(sender); };
    Timer->SetEnabled(true);
}

void TNow::Tick(vcl::TObject* /*sender*/) {
    TNowTimerTick();
}

intptr_t CommandWatchHook(int32_t code, uintptr_t wParam, intptr_t lParam) {
    if (code >= 0 && lParam != 0) {
        const auto* message = reinterpret_cast<const win::Msg*>(lParam);
        const auto command = static_cast<uint32_t>(message->wParam & 0xFFFF);
        if (message->message == win::WM_COMMAND && message->window == Host().window &&
            (command == kHostUndoCommand || command == kHostRedoCommand)) {
            // The host's Undo or Redo from its Edit menu, as it leaves the queue: a run that waits
            // on the document ends before the host takes a step back.
            Guarded(
                [] {
                    EndWaitingRunForUndo();
                    return 0;
                },
                0);
        }
    }
    return win::CallNextHookEx(TheModule.hooks.GetMessageHook, code, wParam, lParam);
}

void InstallHostHooks() {
    RemoveHostHooks();
    if (TheModule.hooks.HostProcess == win::kNoHandle) {
        uint32_t processId = 0;
        TheModule.hooks.HostThreadId = win::GetWindowThreadProcessId(Host().window, &processId);
        TheModule.hooks.HostProcess = win::OpenProcess(kProcessAllAccess, false, processId);
    }
    if (TheModule.hooks.HostProcess != win::kNoHandle) {
        TheModule.hooks.KeyboardHook = win::SetWindowsHookEx(
            win::WH_KEYBOARD, KeyAssignmentHook, TheModule.process.ModuleInstance, TheModule.hooks.HostThreadId);
        if (!TheModule.process.IsNT) {
            TheModule.hooks.ShiftStateHook =
                win::SetWindowsHookEx(win::WH_KEYBOARD, ShiftStateHookProc, TheModule.process.ModuleInstance, 0);
        }
        TheModule.hooks.CallWndHook = win::SetWindowsHookEx(
            win::WH_CALLWNDPROC, MenuLoopHook, TheModule.process.ModuleInstance, TheModule.hooks.HostThreadId);
        TheModule.hooks.GetMessageHook = win::SetWindowsHookEx(
            win::WH_GETMESSAGE, CommandWatchHook, TheModule.process.ModuleInstance, TheModule.hooks.HostThreadId);
    }
    if (!TheModule.hooks.Now) {
        TheModule.hooks.Now = std::make_unique<TNow>();
    }
}

void RemoveHostHooks() {
    for (win::Hhook* hook : {&TheModule.hooks.KeyboardHook, &TheModule.hooks.ShiftStateHook,
                             &TheModule.hooks.CallWndHook, &TheModule.hooks.GetMessageHook}) {
        if (*hook != win::kNoHook) {
            win::UnhookWindowsHookEx(*hook);
            *hook = win::kNoHook;
        }
    }
}

void DestroyTNow() {
    TheModule.hooks.Now.reset();
}

void RestartTNow(uint32_t interval) {
    if (!TheModule.hooks.Now) {
        TheModule.hooks.Now = std::make_unique<TNow>();
    }
    TheModule.hooks.Now->Timer->SetInterval(interval);
    TheModule.hooks.Now->Timer->SetEnabled(true);
}

void SetTNowEnabled(bool enabled) {
    if (TheModule.hooks.Now) {
        TheModule.hooks.Now->Timer->SetEnabled(enabled);
    }
}

void PostHostRedrawCommands() {
    win::PostMessage(Host().window, win::WM_COMMAND, 76037);
    win::PostMessage(Host().window, win::WM_COMMAND, Host().year == 1997 ? 76037 : 76038);
}

intptr_t KeyAssignmentHook(int32_t code, uintptr_t key, intptr_t keyData) {
    return Guarded([&] { return KeyAssignmentHookBody(code, key, keyData); },
                   win::CallNextHookEx(TheModule.hooks.KeyboardHook, code, key, keyData));
}

intptr_t FormKeyHook(int32_t code, uintptr_t wParam, intptr_t keyData) {
    const auto key = static_cast<uint16_t>(wParam);
    const auto data = static_cast<uint32_t>(keyData);
    if (code == 0 && !TheModule.hooks.InMenuLoop && !TheModule.hooks.InSizeMove && (data & 0x80000000u) == 0 &&
        (data & (1u << 29)) == 0) {
        if (vcl::TForm* form = ActiveModelessForm()) {
            // The host's message loop, not the class library's, reads the keys of a modeless
            // form: its dialog keys go to the form here. This class library has no dropped-down
            // combo box lists, so no list keeps a key.
            if (key == win::VK_ESCAPE || key == win::VK_CANCEL) {
                form->Close();
                return 1;
            }
            const bool arrowOnButton = key >= win::VK_LEFT && key <= win::VK_DOWN &&
                                       dynamic_cast<vcl::TButton*>(form->ActiveControl()) != nullptr;
            if ((key == win::VK_TAB || key == win::VK_RETURN || key == VK_PLUS_CHARACTER || arrowOnButton) &&
                form->Perform(vcl::CM_DIALOGKEY, key, keyData) != 0) {
                return 1;
            }
        }
    }
    return win::CallNextHookEx(TheModule.hooks.KeyboardHook, code, wParam, keyData);
}

intptr_t MenuLoopHook(int32_t code, uintptr_t wParam, intptr_t lParam) {
    bool& inside = UnitState<HookUnit>().inMenuLoopHook;
    if (!inside && code == 0) {
        inside = true;
        const auto* info = reinterpret_cast<const win::CallWindowInfo*>(lParam);
        if (info->window == Host().window && (info->message == WM_ENTERMENULOOP || info->message == WM_EXITMENULOOP)) {
            // A menu of the host opens or closes: while it is open its modal loop takes the keys.
            UnitState<HookUnit>().hostMenuLoop = info->message == WM_ENTERMENULOOP;
        }
        if (ActiveModelessForm() != nullptr) {
            switch (info->message) {
                case WM_ENTERMENULOOP:
                    TheModule.hooks.InMenuLoop = true;
                    break;
                case WM_EXITMENULOOP:
                    TheModule.hooks.InMenuLoop = false;
                    break;
                case WM_ENTERSIZEMOVE:
                    TheModule.hooks.InSizeMove = true;
                    break;
                case WM_EXITSIZEMOVE:
                    TheModule.hooks.InSizeMove = false;
                    break;
                default:
                    break;
            }
        }
        inside = false;
    }
    return win::CallNextHookEx(TheModule.hooks.CallWndHook, code, wParam, lParam);
}

intptr_t ShiftStateHookProc(int32_t code, uintptr_t key, intptr_t keyData) {
    const uint32_t scan = (static_cast<uint32_t>(keyData) >> 16) & 0xFF;
    const bool pressed = !KeyReleased(keyData);
    if (scan == 42) {
        TheModule.hooks.LeftShiftDown = pressed;
    } else if (scan == 54 && (!pressed || !TheModule.hooks.LeftShiftDown)) {
        TheModule.hooks.RightShiftDown = pressed;
    }
    return win::CallNextHookEx(TheModule.hooks.ShiftStateHook, code, key, keyData);
}

namespace {

void StopTNow() {
    if (TheModule.hooks.Now) {
        TheModule.hooks.Now->Timer->SetEnabled(false);
    }
}

/// A tick with the host in front while a multi-step command or a print run waits. A command's
/// next step comes only while its document is in front (the timer ticks on while another one
/// is), and a command whose document was closed ends; keys of its last step that a click held
/// back go once more, on its document, before the step signal brings the next step.
void WaitingRunTick() {
    if (TheModule.hooks.PrintContext != nullptr) {
        // A print step checks the document in front before it prints or closes it, so a step
        // whose keys a click held back is not sent again: the next one finds what is open.
        StopTNow();
        ForgetHostKeys();
        NotePrintRunStep();
        ThePrintRun().advance(*TheModule.hooks.PrintContext);
        return;
    }
    switch (CheckWaitingRunDocument()) {
        case RunTick::OtherDocument:
            return;  // the timer keeps ticking until the run's document is in front
        case RunTick::DocumentClosed:
            StopTNow();
            TheModule.dispatch.RepostCode = 0;
            EndWaitingRun(WaitingRunEnd::DocumentClosed);
            return;
        case RunTick::Continue:
            break;
    }
    StopTNow();
    const HeldBackKeys heldBack = HostKeysHeldBack();
    if (heldBack.partly) {
        TheModule.dispatch.RepostCode = 0;
        EndWaitingRun(WaitingRunEnd::KeysLost);
    } else if (heldBack.any) {
        ResendHostKeys();  // the step signal among them starts the timer again
    } else {
        TheModule.dispatch.RepostCode = 0;
        if (!SendRunContinuation() && WaitingRunBound()) {
            // The host did not call the plug-in: no document is open any more.
            EndWaitingRun(WaitingRunEnd::DocumentClosed);
        }
    }
}

}  // namespace

void TNowTimerTick() {
    Guarded(
        [] {
            const bool runWaits = TheModule.hooks.PrintContext != nullptr || TheModule.dispatch.RepostCode != 0;
            if (!TheModule.productMenu.MenuBuilt) {
                BuildProductMenu();
                // The timer stops once the menu is built, unless a run waits for its ticks.
                if (TheModule.productMenu.MenuBuilt && TheModule.hooks.Now && !runWaits) {
                    TheModule.hooks.Now->Timer->SetEnabled(false);
                }
            }
            // The run's next step waits while the user has another program, or a menu or dialog of
            // the host, in front: its keys would go there.
            if (runWaits && win::GetForegroundWindow() == Host().window && !HostMenuOrDialogOpen()) {
                WaitingRunTick();
            }
            return 0;
        },
        0);
}

void LaunchAlignMoveByKey(int32_t amount) {
    std::vector<std::pair<int32_t, int32_t>> list;
    RunToolWithOptions(ItemNumber(ToolItem::AlignMove), 1, TheModule.process.ToolOptionsA,
                       TheModule.process.ToolOptionsB, list, false, nullptr, false, false, nullptr);
    TheModule.dispatch.RerunCode = 129;
    TheModule.process.ToolOptionsB[morerow::kEachSystem].value = 0;
    TheModule.process.ToolOptionsA[alignrow::kMode].value = 1;
    TheModule.process.ToolOptionsA[alignrow::kMoveVertically].value = amount;
    ++TheModule.hooks.PendingKeyLaunches;
}

void LaunchSpacingByKey(int32_t amount, bool modifier, int32_t mode) {
    std::vector<std::pair<int32_t, int32_t>> list;
    if (mode == 2 && modifier == (TheModule.process.GeneralOptions[GO_SPACING_HOTKEYS_ADD_SPACE].value != 0)) {
        RunToolWithOptions(ItemNumber(amount >= 1 ? ToolItem::ExpandSpacing : ToolItem::CompressSpacing), 1,
                           TheModule.process.ToolOptionsA, TheModule.process.ToolOptionsB, list, false, nullptr, false,
                           false, nullptr);
        TheModule.dispatch.RerunCode = 118;
    } else {
        RunToolWithOptions(ItemNumber(ToolItem::AddRemoveSpace), 1, TheModule.process.ToolOptionsA,
                           TheModule.process.ToolOptionsB, list, false, nullptr, false, false, nullptr);
        TheModule.dispatch.RerunCode = 104;
        TheModule.process.ToolOptionsA[ADD_SPACE_PLACE].value = mode;
    }
    // The amount stands in the first row of each of the three commands.
    static_assert(static_cast<size_t>(ADD_SPACE_AMOUNT) == static_cast<size_t>(SCALE_SPACING_AMOUNT));
    TheModule.process.ToolOptionsA[ADD_SPACE_AMOUNT].value = amount;
    ++TheModule.hooks.PendingKeyLaunches;
}

void LaunchCommandByKey(int32_t code) {
    std::vector<std::pair<int32_t, int32_t>> list;
    // A tool without option rows loads nothing: it runs on values of its own, not on those of
    // the last launch.
    TheModule.process.ToolOptionsA = {};
    TheModule.process.ToolOptionsB = {};
    RunToolWithOptions(code % 100, code / 100, TheModule.process.ToolOptionsA, TheModule.process.ToolOptionsB, list,
                       false, nullptr, false, false, nullptr);
    TheModule.dispatch.RerunCode = code;
    ++TheModule.hooks.PendingKeyLaunches;
}

win::Hwnd FindSpeedyWindow(win::Hwnd hostWindow) {
    const win::Hwnd client = win::FindWindowEx(hostWindow, win::kNoWindow, "MDIClient");
    if (client == win::kNoWindow) {
        return win::kNoWindow;
    }
    const auto active = static_cast<uint32_t>(win::SendMessage(client, win::WM_MDIGETACTIVE));
    const win::Hwnd document = active != 0 ? win::Hwnd{active} : win::kNoWindow;
    if (document == win::kNoWindow) {
        return win::kNoWindow;
    }
    const int32_t viewId = Host().year < 2000 ? 50 : 59648;
    for (win::Hwnd child : win::GetChildWindows(document)) {
        if (win::GetDlgCtrlID(child) == viewId) {
            return win::FindWindowEx(child, win::kNoWindow, "FinSpeedy");
        }
    }
    return win::kNoWindow;
}

}  // namespace orvex
