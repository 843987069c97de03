#include "core/about_box.h"

#include <memory>

#include "core/module.h"
#include "core/startup.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

namespace orvex {

/// TAboutBox: the about box of the collection.
class TAboutBox : public vcl::TForm {
public:
    explicit TAboutBox(vcl::TComponent* owner);

    vcl::TPanel* Panel1;
    vcl::TImage* ProgramIcon;
    vcl::TLabel* Label1;
    vcl::TLabel* Label2;
    vcl::TLabel* Label3;
    vcl::TLabel* Label4;
    vcl::TLabel* Label5;
    vcl::TBitBtn* BitBtn1;

private:
    void FormShow(vcl::TObject* sender);
};

int32_t ShowAboutBox() {
    std::unique_ptr<TAboutBox> about(vcl::Create<TAboutBox>(nullptr));
    about->ShowModal();
    return 0;
}

TAboutBox::TAboutBox(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetCaption("About Orvex");
    SetBorderStyle(vcl::bsDialog);
    SetPosition(vcl::poScreenCenter);
    SetClientWidth(308);
    SetClientHeight(217);

    Panel1 = new vcl::TPanel(this);
    Panel1->SetName("Panel1");
    Panel1->SetParent(this);
    Panel1->SetBounds(8, 8, 293, 161);
    Panel1->SetBevelInner(vcl::bvRaised);
    Panel1->SetBevelOuter(vcl::bvLowered);

    ProgramIcon = new vcl::TImage(this);
    ProgramIcon->SetName("ProgramIcon");
    ProgramIcon->SetParent(Panel1);
    ProgramIcon->SetBounds(106, 8, 81, 57);
    ProgramIcon->SetStretch(true);

    const auto label = [this](const char* name, int32_t top, const char* caption) {
        auto* l = new vcl::TLabel(this);
        l->SetName(name);
        l->SetParent(Panel1);
        l->SetAutoSize(false);
        l->SetAlignment(vcl::taCenter);
        l->SetWordWrap(true);
        l->SetBounds(8, top, 277, 16);
        l->SetCaption(caption);
        return l;
    };
    Label1 = label("Label1", 72, "Orvex Plug-In Collection for Finale");
    Label2 = label("Label2", 90, "Copyright the Orvex developers");
    Label3 = label("Label3", 106, "Finale is a trademark of its owner.");
    Label4 = label("Label4", 124, "For documentation, updates and support visit:");
    Label5 = label("Label5", 140, "https://orvex.example.org");

    BitBtn1 = new vcl::TBitBtn(this);
    BitBtn1->SetName("BitBtn1");
    BitBtn1->SetParent(this);
    BitBtn1->SetBounds(117, 180, 75, 25);
    BitBtn1->SetCaption("&OK");
    BitBtn1->SetDefault(true);
    BitBtn1->SetCancel(true);
    BitBtn1->SetModalResult(vcl::mrOk);

    OnShow = [this](vcl::TObject* sender) { FormShow(sender); };
}

void TAboutBox::FormShow(vcl::TObject* /*sender*/) {
    // The owner is the host's main window as the binding of Lumvar2000 knows it; until the
    // binding has run, the window the host gave at start-up.
    SetOwnerWindow(Host().window);
    if (Host().language == 1) {
        Label1->SetCaption("Orvex Plug-In Collection für Finale" + TheModule.process.VersionText);
        SetCaption("Über Orvex" + TheModule.process.VersionText);
        Label4->SetCaption("Dokumentation, Updates und Support:");
        Label3->SetCaption("Finale ist ein Warenzeichen seines Inhabers.");
    } else {
        Label1->SetCaption(Label1->Caption() + TheModule.process.VersionText);
        SetCaption(Caption() + TheModule.process.VersionText);
    }
}

}  // namespace orvex
