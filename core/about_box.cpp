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

    vcl::TPanel* InfoPanel;
    vcl::TImage* ProgramIcon;
    vcl::TLabel* ProductName;  ///< with the version after it
    vcl::TLabel* CopyrightLine;
    vcl::TLabel* TrademarkLine;
    vcl::TLabel* SupportLine;
    vcl::TLabel* WebAddress;
    vcl::TBitBtn* OKButton;

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

    InfoPanel = new vcl::TPanel(this);
    InfoPanel->SetName("Panel1");
    InfoPanel->SetParent(this);
    InfoPanel->SetBounds(8, 8, 293, 161);
    InfoPanel->SetBevelInner(vcl::bvRaised);
    InfoPanel->SetBevelOuter(vcl::bvLowered);

    ProgramIcon = new vcl::TImage(this);
    ProgramIcon->SetName("ProgramIcon");
    ProgramIcon->SetParent(InfoPanel);
    ProgramIcon->SetBounds(106, 8, 81, 57);
    ProgramIcon->SetStretch(true);

    const auto label = [this](const char* name, int32_t top, const char* caption) {
        auto* l = new vcl::TLabel(this);
        l->SetName(name);
        l->SetParent(InfoPanel);
        l->SetAutoSize(false);
        l->SetAlignment(vcl::taCenter);
        l->SetWordWrap(true);
        l->SetBounds(8, top, 277, 16);
        l->SetCaption(caption);
        return l;
    };
    ProductName = label("Label1", 72, "Orvex Plug-In Collection for Finale");
    CopyrightLine = label("Label2", 90, "Copyright the Orvex developers");
    TrademarkLine = label("Label3", 106, "Finale is a trademark of its owner.");
    SupportLine = label("Label4", 124, "For documentation, updates and support visit:");
    WebAddress = label("Label5", 140, "https://orvex.example.org");

    OKButton = new vcl::TBitBtn(this);
    OKButton->SetName("BitBtn1");
    OKButton->SetParent(this);
    OKButton->SetBounds(117, 180, 75, 25);
    OKButton->SetCaption("&OK");
    OKButton->SetDefault(true);
    OKButton->SetCancel(true);
    OKButton->SetModalResult(vcl::mrOk);

    OnShow = [this](vcl::TObject* sender) { FormShow(sender); };
}

void TAboutBox::FormShow(vcl::TObject* /*sender*/) {
    // The owner is the host's main window as the binding of Lumvar2000 knows it; until the
    // binding has run, the window the host gave at start-up.
    SetOwnerWindow(Host().window);
    if (Host().language == 1) {
        ProductName->SetCaption("Orvex Plug-In Collection für Finale" + TheModule.process.VersionText);
        SetCaption("Über Orvex" + TheModule.process.VersionText);
        SupportLine->SetCaption("Dokumentation, Updates und Support:");
        TrademarkLine->SetCaption("Finale ist ein Warenzeichen seines Inhabers.");
    } else {
        ProductName->SetCaption(ProductName->Caption() + TheModule.process.VersionText);
        SetCaption(Caption() + TheModule.process.VersionText);
    }
}

}  // namespace orvex
