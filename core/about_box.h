// TAboutBox: the about box of the collection.
#pragma once

#include "platform/vcl/extctrls.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

namespace orvex {

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

}  // namespace orvex
