// Key automation: the plug-in drives the host's own menus and dialogs by synthesised key
// strokes, which go to the window that has the keyboard focus (normally the host's).
#pragma once

#include <cstdint>
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
/// off the batch, and held back when it goes `astray` (or an earlier one of the batch did).
SentKeyFate TakeSentHostKey(uint16_t key, bool released, bool astray);
struct HeldBackKeys {
    bool any = false;     ///< keys of the last batch were held back
    bool partly = false;  ///< and others of it had reached the host before
};
HeldBackKeys HostKeysHeldBack();
/// Sends the last batch again from its start, with the host window focused.
void ResendHostKeys();
/// Forgets the batch (a run that ended sends none of it again).
void ForgetHostKeys();

/// A region as the host's region dialog takes it: word 1 a list position, word 2 a number.
struct HostRangeRecord {
    int16_t words[8] = {};
};
/// Opens the host's region dialog by its accelerators and fills it by keys.
void TypeHostDialogRange(const HostRangeRecord& range, int32_t secondNumber, bool end, int32_t secondPosition);
/// Selects a region by the host's dialog, then copies (A), clears (B) or pastes (C).
void SelectHostToolByKeysA(const HostRangeRecord& range, int32_t number, bool end);
void SelectHostToolByKeysB(const HostRangeRecord& range, int32_t number, const HostRangeRecord& second, bool end);
void SelectHostToolByKeysC(const HostRangeRecord& range, int32_t number, bool end);

}  // namespace orvex
