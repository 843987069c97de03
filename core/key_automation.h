// Key automation: the plug-in drives the host's own menus and dialogs by synthesised key
// strokes, which go to the window that has the keyboard focus (normally the host's).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/hostapi/records.h"

namespace orvex {

/// Presses and releases the key of a character with the Shift, Ctrl and Alt keys it needs.
void SendKeyToHost(char character);
/// Presses and releases a virtual key, with the key number as scan code.
void SendVirtualKeyToHost(uint16_t virtualKey);
void SendKeyDown(uint16_t virtualKey);
void SendKeyUp(uint16_t virtualKey);
/// A menu accelerator: Alt held around the character.
void SendAltKeyToHost(char character);
void SendCtrlKeyToHost(char character);
void SendTextToHost(std::string_view text);
/// Undo (Ctrl+Z) or redo (Ctrl+Y) in the host window.
void SendUndoRedoToHost(bool redo);
/// Gives the host window the keyboard focus.
void FocusHostWindow();

// ---- The keys sent, as they come back through the keyboard hook ----
// Every key the functions above send is noted, in batches (the keys of one step of a command).
// A key that would act where it was not meant to (the user's click activated one of the
// plug-in's own windows while the keys were on their way, where the plug-in's Alt+letters and
// Enter would press the dialog's buttons; or another document came to the front) is held back
// by the keyboard hook, and with it the rest of its batch, so that the host gets a step whole
// or not at all.

enum class SentKeyFate {
    NotSent,   ///< the user's own key
    Deliver,   ///< one the plug-in sent: it goes on to the host untouched
    HeldBack,  ///< one the plug-in sent that would reach the plug-in's own window: swallowed
};
/// The fate of a key event that arrives at the keyboard hook; a key the plug-in sent is taken
/// off the batch, and held back when it goes `astray` (or an earlier one of the batch did), or
/// when it begins its batch while the host is `hostBusy` (a menu of the host or one of its
/// dialogs is open, or another program is in front): keys that meet an open menu would choose in
/// it, not where the run sent them.
SentKeyFate TakeSentHostKey(uint16_t key, bool released, bool astray, bool hostBusy = false);
struct HeldBackKeys {
    bool any = false;     ///< keys of the last batch were held back
    bool partly = false;  ///< and others of it had reached the host before
};
HeldBackKeys HostKeysHeldBack();
/// Sends the last batch again from its start, with the host window focused.
void ResendHostKeys();
/// Forgets the batch (a run that ended sends none of it again; its keys still on their way act
/// nowhere when they come) and the region action it waits to do.
void ForgetHostKeys();

/// While it lives, the keys sent are for the host command `hostCommand` (the menu entry whose call
/// is under way): they carry its identifier as their extra information, and the host names the
/// undo step of what they do after that command. The keys of a run that waits for its steps are
/// for the run's command.
class KeysForCommand {
public:
    explicit KeysForCommand(uint32_t hostCommand);
    ~KeysForCommand();
    KeysForCommand(const KeysForCommand&) = delete;
    KeysForCommand& operator=(const KeysForCommand&) = delete;

private:
    uint32_t m_outer;
};

/// A region as the host's region dialog takes it: word 1 a list position, word 2 a number.
struct HostRangeRecord {
    int16_t words[8] = {};
};
/// Opens the host's region dialog by its accelerators and fills it by keys.
void TypeHostDialogRange(const HostRangeRecord& range, int32_t secondNumber, bool end, int32_t secondPosition);

/// What a run does to a region once the host's region dialog has selected it: copy, clear or paste.
struct RegionAction {
    enum class Kind { Copy, Clear, Paste };
    Kind kind = Kind::Copy;
    int32_t firstStaff = 0;  ///< the region asked for: staff slots and whole measures
    int32_t lastStaff = 0;
    int32_t firstMeasure = 0;
    int32_t lastMeasure = 0;
    /// Whether the host's selection is the region asked for.
    bool SelectedBy(const hostapi::SelectionRecord& selection) const;
};
/// Select a region by the host's dialog, to copy it (A), clear it (B) or paste into it (C); each
/// does nothing when the staff slot of the region it tests is below 1. The keys select only: the
/// action waits for the run's next step (TakePendingRegionAction), which first sees whether the
/// dialog selected what the run asked for, so that a dialog that selected something else (a
/// measure the document lacks, keys that went elsewhere) never has the wrong music cleared,
/// copied or pasted.
void SelectHostToolByKeysA(const HostRangeRecord& range, int32_t number, bool end);
void SelectHostToolByKeysB(const HostRangeRecord& range, int32_t number, const HostRangeRecord& second, bool end);
void SelectHostToolByKeysC(const HostRangeRecord& range, int32_t number, bool end);
/// The region action that waits for the run's next step, taken off (nothing when none waits).
std::optional<RegionAction> TakePendingRegionAction();
/// Sends the host the keys of the action (Ctrl+C, Backspace or Ctrl+V).
void CarryOutRegionAction(const RegionAction& action);

}  // namespace orvex
