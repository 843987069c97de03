#include "core/msg_dlg.h"

#include <memory>

#include "core/startup.h"
#include "platform/vcl/classes.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

namespace orvex {

/// TMsgDlg: the one dialog every message and question of the plug-in is shown in.
class TMsgDlg : public vcl::TForm {
public:
    explicit TMsgDlg(vcl::TComponent* owner);

    /// Chooses the buttons and the box's text by the mode word and the language.
    void Prepare(int32_t mode);

    vcl::TBevel* MessageFrame;
    vcl::TLabel* Message;
    vcl::TCheckBox* Skip;
    vcl::TBitBtn* OkBtn;
    vcl::TBitBtn* YesBtn;
    vcl::TBitBtn* NoBtn;
    vcl::TBitBtn* CancelBtn;

private:
    void FormShow(vcl::TObject* sender);
};

TMsgDlg::TMsgDlg(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetCaption("Message Box");
    SetBorderStyle(vcl::bsDialog);
    SetPosition(vcl::poScreenCenter);
    SetClientWidth(489);
    SetClientHeight(178);

    MessageFrame = new vcl::TBevel(this);
    MessageFrame->SetName("Bevel1");
    MessageFrame->SetParent(this);
    MessageFrame->SetBounds(8, 8, 473, 113);

    Message = new vcl::TLabel(this);
    Message->SetName("Message");
    Message->SetParent(this);
    Message->SetAutoSize(false);
    Message->SetAlignment(vcl::taCenter);
    Message->SetWordWrap(true);
    Message->SetBounds(24, 16, 441, 97);
    Message->SetParentFont(false);
    Message->Font().SetName("MS Sans Serif");
    Message->Font().SetSize(10);  // 13 pixels at 96 pixels per inch

    Skip = new vcl::TCheckBox(this);
    Skip->SetName("Skip");
    Skip->SetParent(this);
    Skip->SetBounds(16, 150, 217, 17);
    Skip->SetCaption("Skip this message in the future");

    const auto button = [this](const char* name, vcl::TBitBtnKind kind, int32_t left) {
        auto* b = new vcl::TBitBtn(this);
        b->SetName(name);
        b->SetParent(this);
        b->SetKind(kind);
        b->SetBounds(left, 145, 75, 25);
        return b;
    };
    YesBtn = button("YesBtn", vcl::bkYes, 246);
    NoBtn = button("NoBtn", vcl::bkNo, 326);
    OkBtn = button("OkBtn", vcl::bkOK, 406);
    CancelBtn = button("CancelBtn", vcl::bkCancel, 406);

    OnShow = [this](vcl::TObject* sender) { FormShow(sender); };
}

void TMsgDlg::Prepare(int32_t mode) {
    const bool german = Host().language == 1;
    const bool question = (mode & MSGDLG_QUESTION) != 0;
    if (german) {
        Skip->SetCaption("Nicht mehr anzeigen");
        YesBtn->SetCaption("&Ja");
        NoBtn->SetCaption("&Nein");
        CancelBtn->SetCaption("&Abbrechen");
    }
    if (question) {
        OkBtn->SetVisible(false);
        Skip->SetCaption(german ? "In Zukunft überspringen" : "Skip this question in the future");
        // With Cancel the three buttons share the row; without it Yes and No take the right end.
        if ((mode & MSGDLG_CANCEL) == 0) {
            YesBtn->SetLeft(326);
            NoBtn->SetLeft(406);
        }
    } else {
        YesBtn->SetVisible(false);
        NoBtn->SetVisible(false);
    }
    CancelBtn->SetVisible((mode & MSGDLG_CANCEL) != 0);
    if (!question && (mode & MSGDLG_CANCEL) != 0) {
        OkBtn->SetLeft(326);
    } else if (!question) {
        // A message with OK alone: Escape answers OK, as message boxes do.
        OkBtn->SetCancel(true);
    }
    Skip->SetVisible((mode & MSGDLG_NO_SKIP) == 0);
}

void TMsgDlg::FormShow(vcl::TObject* /*sender*/) {
    SetOwnerWindow(Host().window);
}

MessageDialogAnswer ShowMessageDialog(int32_t mode, const std::string& text, const std::string& caption) {
    std::unique_ptr<TMsgDlg> dialog(vcl::Create<TMsgDlg>(nullptr));
    dialog->Prepare(mode);
    dialog->Message->SetCaption(text);
    dialog->SetCaption(caption);
    MessageDialogAnswer answer;
    answer.answer = dialog->ShowModal();
    answer.skip = dialog->Skip->Checked();
    return answer;
}

}  // namespace orvex
