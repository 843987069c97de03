// Fuzz target: a form's remembered state (the text VxForm keeps in the registry). Input: a
// form-state text, applied with the fallback to a form that has a control of every kind that
// keeps state. Whatever the text holds, the form's state written afterwards applies again whole
// and writes back the same.
#include <memory>

#include "core/module.h"
#include "core/startup.h"
#include "forms/dxfcheckbox.h"
#include "forms/mydrawgrid.h"
#include "forms/myedit.h"
#include "forms/vxform.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/stdctrls.h"
#include "platform/win/registry.h"
#include "platform/win/system.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

class TStateForm : public orvex::VxForm {
public:
    explicit TStateForm(vcl::TComponent* owner) : VxForm(owner) {
        SetCaption("State form");
        SetBounds(100, 80, 400, 300);
        Add(new vcl::TLabel(this), "Title");
        Add(new vcl::TCheckBox(this), "Box");
        Add(new orvex::TdxfCheckBox(this), "Dxf");
        Add(new vcl::TEdit(this), "NameEdit")->SetText("Default name");
        Add(new orvex::TMyEdit(this, orvex::kUnitInches), "Length")->SetText("1");
        Add(new orvex::TMyEdit(this, orvex::kUnitCentimeters), "Width")->SetText("2.5");
        Add(new orvex::TCourierEdit(this), "Chars")->SetText("abc");
        auto* hotkey = Add(new vcl::TComboBox(this), "Hotkey");
        hotkey->Items().Assign({"TAB", "F2"});
        hotkey->SetItemIndex(0);
        Add(new orvex::MyDrawGrid(this), "Grid");
        auto* mode = Add(new vcl::TRadioGroup(this), "Mode");
        mode->Items().Assign({"a", "b", "c"});
        mode->SetItemIndex(1);
    }

    template <class T>
    T* Add(T* control, const char* name) {
        control->SetName(name);
        control->SetParent(this);
        return control;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool started = [] {
        win::ResetSystem();
        orvex::ResetModule();
        return true;
    }();
    (void)started;
    std::unique_ptr<TStateForm> form(vcl::Create<TStateForm>(nullptr));
    orvex::VxForm_ApplyState(*form, fuzzsupport::Text(data, size), true, true, true);
    const std::string written = orvex::VxForm_WriteState(*form);
    std::unique_ptr<TStateForm> second(vcl::Create<TStateForm>(nullptr));
    fuzzsupport::Check(orvex::VxForm_ApplyState(*second, written, true, true, true),
                       "a written state does not apply whole: " + written);
    fuzzsupport::Check(orvex::VxForm_WriteState(*second) == written,
                       "a written state writes back otherwise: " + written + " / " + orvex::VxForm_WriteState(*second));
    return 0;
}
