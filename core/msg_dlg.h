// The message dialog (TMsgDlg, in core/msg_dlg.cpp): the one dialog every message and question
// of the plug-in is shown in, with a box that lets the user skip the message or question in the
// future.
#pragma once

#include <cstdint>
#include <string>

namespace orvex {

// Mode bits of the dialog.
inline constexpr int32_t MSGDLG_QUESTION = 1;   ///< Yes and No instead of OK
inline constexpr int32_t MSGDLG_CANCEL = 2;     ///< a Cancel button too
inline constexpr int32_t MSGDLG_SKIPPABLE = 4;  ///< a message that may be skipped (with OK)
inline constexpr int32_t MSGDLG_NO_SKIP = 8;    ///< no "Skip" box: always shown

/// What the user did in the message dialog: the modal result of the button and whether the
/// "Skip" box was left checked.
struct MessageDialogAnswer {
    int32_t answer = 0;
    bool skip = false;
};

/// Shows the message dialog (TMsgDlg, private to core/msg_dlg.cpp) modally with the buttons and
/// the box's text of `mode`, the message text and the caption.
MessageDialogAnswer ShowMessageDialog(int32_t mode, const std::string& text, const std::string& caption);

}  // namespace orvex
