#include "tests/harness/leftovers.h"

#include <algorithm>

#include "core/dispatch.h"
#include "core/hooks.h"
#include "platform/vcl/forms.h"

namespace harness {

void CloseOpenForms() {
    const std::vector<vcl::TForm*> open = orvex::ModelessFormList;
    for (vcl::TForm* form : open) {
        // A form an earlier close freed is gone from the list.
        if (std::find(orvex::ModelessFormList.begin(), orvex::ModelessFormList.end(), form) !=
                orvex::ModelessFormList.end() &&
            form->Visible()) {
            form->Close();
        }
    }
    vcl::Application->ProcessMessages();
}

std::vector<std::string> OrvexLeftovers() {
    std::vector<std::string> left;
    if (orvex::RunningStepObject != nullptr) {
        left.push_back("a running part explosion");
    } else if (orvex::RunWaiting()) {
        left.push_back("a multi-step command waiting for its next step");
    }
    if (orvex::RepostCode != 0) {
        left.push_back("a multi-step command waiting to be invoked again (code " + std::to_string(orvex::RepostCode) +
                       ")");
    }
    if (orvex::PrintContext != nullptr) {
        left.push_back("a print run");
    }
    if (orvex::PendingOptionsForm != nullptr) {
        left.push_back("an options dialog waiting for its OK");
    }
    if (orvex::InvokeNesting != 0) {
        left.push_back("a command still running");
    }
    for (const vcl::TForm* form : orvex::ModelessFormList) {
        if (form->Visible()) {
            left.push_back("the modeless form \"" + form->Caption() + "\" still open after the user closed it");
        }
    }
    return left;
}

}  // namespace harness
