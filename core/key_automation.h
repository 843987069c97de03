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
