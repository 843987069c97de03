#include "core/key_automation.h"

#include <algorithm>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/dispatch.h"
#include "core/module.h"
#include "core/startup.h"
#include "core/waiting_run.h"
#include "platform/win/input.h"
#include "platform/win/keys.h"
#include "platform/win/windows.h"

namespace orvex {
namespace {

/// One key event the plug-in sent for the host.
struct HostKeyEvent {
    uint8_t key = 0;
    uint8_t scan = 0;
    bool up = false;
    uint32_t command = 0;  ///< the host command the key is sent for (its extra information)
};

/// The keys of the batch sent last (the keys of one step of a command, or of one action), in the
/// order sent, and how far they came back through the keyboard hook.
struct HostKeyUnit {
    std::vector<HostKeyEvent> sent;
    size_t arrived = 0;    ///< events that came back through the hook
    size_t delivered = 0;  ///< of those, events that went on to the host
    bool heldBack = false;
    /// Events of a batch that was forgotten before they came back (its run ended while they were
    /// on their way): they act nowhere when they come.
    std::deque<HostKeyEvent> dropped;
};

/// The most key events a batch holds (and the most kept of batches forgotten on their way).
constexpr size_t kLongestBatch = 4096;

HostKeyUnit& HostKeys() {
    return UnitState<HostKeyUnit>();
}

/// What the keys are sent for, and the region action a run waits to do.
struct KeyPurposeUnit {
    uint32_t callCommand = 0;  ///< the host command whose call is under way
    std::optional<RegionAction> pendingAction;
};

KeyPurposeUnit& KeyPurpose() {
    return UnitState<KeyPurposeUnit>();
}

/// The host command the keys sent now are for: the command of the run that waits for its steps,
/// else the command the host is calling.
uint32_t KeysCommand() {
    return WaitingRunBound() ? WaitingRunHostCommand() : KeyPurpose().callCommand;
}

void SendHostKey(uint8_t key, uint8_t scan, bool up, uint32_t command) {
    HostKeyUnit& keys = HostKeys();
    // A batch whose keys have all come back is over: the next key begins a new one.
    // So is one that never comes back (keys sent while no hook was installed).
    if ((keys.arrived == keys.sent.size() && !keys.heldBack) || keys.sent.size() >= kLongestBatch) {
        keys.sent.clear();
        keys.arrived = 0;
        keys.delivered = 0;
        keys.heldBack = false;
    }
    keys.sent.push_back({key, scan, up, command});
    win::keybd_event(key, scan, up ? win::KEYEVENTF_KEYUP : 0, command);
}

void SendHostKey(uint8_t key, uint8_t scan, bool up) {
    SendHostKey(key, scan, up, KeysCommand());
}

void Press(uint16_t key, bool up) {
    SendHostKey(static_cast<uint8_t>(key), win::MapVirtualKeyToScanCode(key), up);
}

void PressAndRelease(uint16_t key, int32_t times = 1) {
    for (int32_t i = 0; i < times; ++i) {
        Press(key, false);
        Press(key, true);
    }
}

/// The accelerators of the host's region dialog by host year and menu language.
struct RegionDialogKeys {
    char menu;
    char item;
};

RegionDialogKeys RegionDialogAccelerators() {
    if (Host().year < 2000) {
        if (Host().language == 1)
            return {'e', 'b'};
        if (TheModule.process.ItalianHost)
            return {'p', 'o'};
        return {'m', 's'};
    }
    if (Host().language == 1)
        return {'b', 'b'};
    if (TheModule.process.ItalianHost)
        return {'m', 'o'};
    return {'e', 'o'};
}

}  // namespace

void SendKeyToHost(char character) {
    const int16_t scan = win::VkKeyScan(character);
    if (scan == -1) {
        return;
    }
    const auto key = static_cast<uint16_t>(scan & 0xFF);
    const int32_t shiftState = (scan >> 8) & 0xFF;
    const bool shift = (shiftState & 1) != 0 && character != 'A';
    const bool ctrl = (shiftState & 2) != 0;
    const bool alt = (shiftState & 4) != 0;
    if (shift)
        Press(win::VK_SHIFT, false);
    if (ctrl)
        Press(win::VK_CONTROL, false);
    if (alt)
        Press(win::VK_MENU, false);
    PressAndRelease(key);
    if (shift)
        Press(win::VK_SHIFT, true);
    if (ctrl)
        Press(win::VK_CONTROL, true);
    if (alt)
        Press(win::VK_MENU, true);
}

void SendVirtualKeyToHost(uint16_t virtualKey) {
    SendHostKey(static_cast<uint8_t>(virtualKey), static_cast<uint8_t>(virtualKey), false);
    SendHostKey(static_cast<uint8_t>(virtualKey), static_cast<uint8_t>(virtualKey), true);
}

SentKeyFate TakeSentHostKey(uint16_t key, bool released, bool astray, bool hostBusy) {
    HostKeyUnit& keys = HostKeys();
    if (!keys.dropped.empty() && keys.dropped.front().key == key && keys.dropped.front().up == released) {
        keys.dropped.pop_front();
        return SentKeyFate::HeldBack;
    }
    if (keys.arrived >= keys.sent.size()) {
        return SentKeyFate::NotSent;
    }
    const HostKeyEvent& next = keys.sent[keys.arrived];
    if (next.key != key || next.up != released) {
        return SentKeyFate::NotSent;  // the user's own key
    }
    // A batch begins only where the host waits for it; once under way, its keys open the host's
    // menus and dialogs themselves.
    astray = astray || (keys.arrived == 0 && hostBusy);
    ++keys.arrived;
    // Once a key of the batch is held back, the rest is too: the host never gets half a step.
    if (keys.heldBack || astray) {
        keys.heldBack = true;
        return SentKeyFate::HeldBack;
    }
    ++keys.delivered;
    return SentKeyFate::Deliver;
}

HeldBackKeys HostKeysHeldBack() {
    const HostKeyUnit& keys = HostKeys();
    return {keys.heldBack, keys.heldBack && keys.delivered > 0};
}

void ResendHostKeys() {
    HostKeyUnit& keys = HostKeys();
    const std::vector<HostKeyEvent> batch = std::exchange(keys.sent, {});
    keys.arrived = 0;
    keys.delivered = 0;
    keys.heldBack = false;
    FocusHostWindow();
    for (const HostKeyEvent& event : batch) {
        SendHostKey(event.key, event.scan, event.up, event.command);
    }
}

void ForgetHostKeys() {
    HostKeyUnit& keys = HostKeys();
    keys.dropped.insert(keys.dropped.end(), keys.sent.begin() + static_cast<std::ptrdiff_t>(keys.arrived),
                        keys.sent.end());
    if (keys.dropped.size() > kLongestBatch) {
        keys.dropped.clear();  // keys that never came back: no hook saw them
    }
    keys.sent.clear();
    keys.arrived = 0;
    keys.delivered = 0;
    keys.heldBack = false;
    KeyPurpose().pendingAction.reset();
}

KeysForCommand::KeysForCommand(uint32_t hostCommand) : m_outer(std::exchange(KeyPurpose().callCommand, hostCommand)) {}

KeysForCommand::~KeysForCommand() {
    KeyPurpose().callCommand = m_outer;
}

void SendKeyDown(uint16_t virtualKey) {
    Press(virtualKey, false);
}
void SendKeyUp(uint16_t virtualKey) {
    Press(virtualKey, true);
}

void SendAltKeyToHost(char character) {
    Press(win::VK_MENU, false);
    SendKeyToHost(character);
    Press(win::VK_MENU, true);
}

void SendCtrlKeyToHost(char character) {
    Press(win::VK_CONTROL, false);
    SendKeyToHost(character);
    Press(win::VK_CONTROL, true);
}

void SendTextToHost(std::string_view text) {
    for (char c : text) {
        SendKeyToHost(c);
    }
}

void FocusHostWindow() {
    win::SetFocus(Host().window);
}

void SendUndoRedoToHost(bool redo) {
    // Undo or Redo changes the document under a run that waits for its next step: it ends first.
    EndWaitingRunForUndo();
    FocusHostWindow();
    Press(win::VK_CONTROL, false);
    PressAndRelease(redo ? 'Y' : 'Z');
    Press(win::VK_CONTROL, true);
}

void TypeHostDialogRange(const HostRangeRecord& range, int32_t secondNumber, bool end, int32_t secondPosition) {
    if (range.words[1] < 1) {
        return;
    }
    const RegionDialogKeys keys = RegionDialogAccelerators();
    SendAltKeyToHost(keys.menu);
    SendKeyToHost(keys.item);
    PressAndRelease(win::VK_TAB, 3);
    PressAndRelease(win::VK_HOME);
    PressAndRelease(win::VK_DOWN, range.words[1] - 1);
    PressAndRelease(win::VK_TAB);
    if (end) {
        PressAndRelease(win::VK_END);
    }
    SendTextToHost(std::to_string(range.words[2]));
    PressAndRelease(win::VK_TAB, 2);
    PressAndRelease(win::VK_HOME);
    PressAndRelease(win::VK_DOWN, (secondPosition != 0 ? secondPosition : range.words[1]) - 1);
    PressAndRelease(win::VK_TAB);
    if (end) {
        PressAndRelease(win::VK_END);
    }
    SendTextToHost(std::to_string(secondNumber));
    PressAndRelease(win::VK_RETURN);
}

namespace {

/// Selects the region by the host's dialog; the action waits for the next step, when the run sees
/// what the dialog selected.
void SelectForAction(const HostRangeRecord& range, int32_t number, bool end, RegionAction::Kind kind) {
    if (range.words[1] < 1) {
        return;
    }
    FocusHostWindow();
    TypeHostDialogRange(range, number, end, 0);
    RegionAction action;
    action.kind = kind;
    action.firstStaff = range.words[1];
    action.lastStaff = range.words[1];
    action.firstMeasure = std::min<int32_t>(range.words[2], number);
    action.lastMeasure = std::max<int32_t>(range.words[2], number);
    KeyPurpose().pendingAction = action;
}

}  // namespace

void SelectHostToolByKeysA(const HostRangeRecord& range, int32_t number, bool end) {
    SelectForAction(range, number, end, RegionAction::Kind::Copy);
}

void SelectHostToolByKeysB(const HostRangeRecord& range, int32_t number, const HostRangeRecord& second, bool end) {
    // The source region decides whether anything is done; the target region is cleared.
    if (range.words[1] < 1) {
        return;
    }
    SelectForAction(second, number, end, RegionAction::Kind::Clear);
}

void SelectHostToolByKeysC(const HostRangeRecord& range, int32_t number, bool end) {
    SelectForAction(range, number, end, RegionAction::Kind::Paste);
}

std::optional<RegionAction> TakePendingRegionAction() {
    return std::exchange(KeyPurpose().pendingAction, std::nullopt);
}

bool RegionAction::SelectedBy(const hostapi::SelectionRecord& selection) const {
    return selection.firstStaff() == firstStaff && selection.lastStaff() == lastStaff &&
           selection.firstMeasure() == firstMeasure && selection.lastMeasure() == lastMeasure;
}

void CarryOutRegionAction(const RegionAction& action) {
    FocusHostWindow();
    switch (action.kind) {
        case RegionAction::Kind::Copy:
            SendCtrlKeyToHost('c');
            break;
        case RegionAction::Kind::Clear:
            PressAndRelease(win::VK_BACK);
            break;
        case RegionAction::Kind::Paste:
            SendCtrlKeyToHost('v');
            break;
    }
}

}  // namespace orvex
