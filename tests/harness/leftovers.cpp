#include "tests/harness/leftovers.h"

#include <algorithm>

#include "core/dispatch.h"
#include "core/hooks.h"
#include "core/module.h"
#include "platform/vcl/forms.h"

namespace harness {

void CloseOpenForms() {
    const std::vector<vcl::TForm*> open = orvex::TheModule.dispatch.ModelessFormList;
    for (vcl::TForm* form : open) {
        // A form an earlier close freed is gone from the list.
        if (std::find(orvex::TheModule.dispatch.ModelessFormList.begin(),
                      orvex::TheModule.dispatch.ModelessFormList.end(),
                      form) != orvex::TheModule.dispatch.ModelessFormList.end() &&
            form->Visible()) {
            form->Close();
        }
    }
    vcl::Application->ProcessMessages();
}

std::vector<std::string> OrvexLeftovers() {
    std::vector<std::string> left;
    if (orvex::TheModule.dispatch.RunningStepObject != nullptr) {
        left.push_back("a running part explosion");
    } else if (orvex::RunWaiting()) {
        left.push_back("a multi-step command waiting for its next step");
    }
    if (orvex::TheModule.dispatch.RepostCode != 0) {
        left.push_back("a multi-step command waiting to be invoked again (code " +
                       std::to_string(orvex::TheModule.dispatch.RepostCode) + ")");
    }
    if (orvex::TheModule.hooks.PrintContext != nullptr) {
        left.push_back("a print run");
    }
    if (orvex::TheModule.dispatch.PendingOptionsForm != nullptr) {
        left.push_back("an options dialog waiting for its OK");
    }
    if (orvex::TheModule.dispatch.InvokeNesting != 0) {
        left.push_back("a command still running");
    }
    for (const vcl::TForm* form : orvex::TheModule.dispatch.ModelessFormList) {
        if (form->Visible()) {
            left.push_back("the modeless form \"" + form->Caption() + "\" still open after the user closed it");
        }
    }
    return left;
}

}  // namespace harness
