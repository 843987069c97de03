// TMsgDlg: the one dialog every message and question of the plug-in is shown in, with a box
// that lets the user skip the message or question in the future.
#pragma once

#include <cstdint>

#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

namespace orvex {

// Mode bits of the dialog.
inline constexpr int32_t MSGDLG_QUESTION = 1;   ///< Yes and No instead of OK
inline constexpr int32_t MSGDLG_CANCEL = 2;     ///< a Cancel button too
inline constexpr int32_t MSGDLG_SKIPPABLE = 4;  ///< a message that may be skipped (with OK)
inline constexpr int32_t MSGDLG_NO_SKIP = 8;    ///< no "Skip" box: always shown

class TMsgDlg : public vcl::TForm {
public:
    explicit TMsgDlg(vcl::TComponent* owner);

    /// Chooses the buttons and the box's text by the mode word and the language.
    void Prepare(int32_t mode);

    vcl::TBevel* Bevel1;
    vcl::TLabel* Message;
    vcl::TCheckBox* Skip;
    vcl::TBitBtn* OkBtn;
    vcl::TBitBtn* YesBtn;
    vcl::TBitBtn* NoBtn;
    vcl::TBitBtn* CancelBtn;

private:
    void FormShow(vcl::TObject* sender);
};

}  // namespace orvex
