// Dialogs the host runs for a plug-in from the plug-in's own templates, and the services that
// read and set their controls (15, 16, 35, 36, 57-60).
//
// 15 (resource, dialog procedure, owner, 1, 0) finds the template of the resource number in the
// plug-in whose entry point the host is calling (then in the other plug-ins, in load order;
// platform/win/dialog_resources.h), makes the dialog window ("#32770", owned by `owner`) and a
// child window per control (classes "Button", "Static", "Edit", "ComboBox"; ids from the
// template), sends the procedure WM_INITDIALOG and shows the dialog modally: the UI driver's
// actions queued for "#RESOURCE" (hostsim: `dialog RESOURCE ...`) are carried out one by one
// until the procedure ends the dialog with 16 (dialog, result). 15 answers that result; -1 when
// there is no template, no procedure or no host.
// - click on a button: WM_COMMAND (id, BN_CLICKED); on a check box: its check flips, then
//   BN_CLICKED; on a radio button: it is checked and every other radio button of the dialog
//   unchecked, then BN_CLICKED. Labels, group boxes, edits and lists take no click.
// - set: a check box or radio button takes 1/0/2 (or checked/unchecked/greyed, on/off, yes/no)
//   as a click where the value differs; an edit takes the text (EN_CHANGE); a drop-down list an
//   item's text or number from 0 (CBN_SELCHANGE).
// - close: the close box, WM_COMMAND (IDCANCEL).
// A control is named by its id or by its text (without "&", in any case). A disabled control
// takes nothing. When no action is left the user presses Escape (WM_COMMAND IDCANCEL); a
// dialog still open then is closed by the driver with IDCANCEL.
// The transcript shows `[dialog] "CAPTION" RESOURCE of PLUG-IN, modal`, its controls after
// WM_INITDIALOG (`  check box 102 "TEXT": checked`, `(disabled)` where disabled), the user's
// actions and `  -> RESULT`.
//
// The controls answer the standard messages: BM_GETCHECK / BM_SETCHECK (check boxes and radio
// buttons), CB_ADDSTRING, CB_RESETCONTENT, CB_GETCOUNT, CB_GETCURSEL and CB_SETCURSEL (drop-down
// lists, whose window text is the selected item's).
//
// The services on a dialog (any window) and a control id (its direct child of that id):
//   16  ends a host-run dialog with the result: 1; 0 for a window that is none.
//   35  (flag) enables or disables a control of a host-run dialog: 1; 0 otherwise.
//   36  gives the control the keyboard focus: 1; 0 without the control.
//   57  (kind) the control's value: kind 1 its check state (BM_GETCHECK), kind 2 the selected
//       item of a list counted from 1 (0 for none), kind 3 the number its text shows (0 when the
//       text is no number; the page field of a document window, document_windows.h); 0 for
//       another kind or no control.
//   58  (value) sets it: a check box's check state, a radio button's (checking one unchecks the
//       dialog's other radio buttons), a list's selected item from 1 (0 none), any other
//       control's text to the number; 1, or 0 without the control.
//   59  (buffer, size) the control's text in the host's 8-bit characters, at most size - 1 and a
//       zero: 1; 0 without the control.
//   60  (text) sets the control's text from the host's 8-bit characters: 1; 0 without it.
#pragma once

#include <cstdint>

namespace host {

/// The address of service 15, 16, 35, 36, 57, 58, 59 or 60; nullptr for another ordinal.
void* DialogServiceByOrdinal(int32_t ordinal);

/// How many host-run dialogs are open now (nested dialogs count each).
int32_t OpenHostDialogs();

}  // namespace host
