#include "tests/tools/notes_fixture.h"

#include "core/dispatch.h"
#include "core/module.h"
#include "forms/dactopt.h"

namespace testsupport {

namespace {

/// The options dialog left open by the last run, when the form opened last is one.
orvex::TDActOpt* OpenDialog() {
    return orvex::TheModule.dispatch.ModelessFormList.empty()
               ? nullptr
               : dynamic_cast<orvex::TDActOpt*>(orvex::TheModule.dispatch.ModelessFormList.back());
}

}  // namespace

std::vector<std::string> NotesTest::ResultLines() {
    std::vector<std::string> lines;
    const orvex::TDActOpt* dialog = OpenDialog();
    if (dialog != nullptr && dialog->ListControl() != nullptr) {
        const auto& items = dialog->ListControl()->Items();
        for (int32_t i = 0; i < items.Count(); ++i) {
            lines.push_back(items[i]);
        }
    }
    return lines;
}

bool NotesTest::ClickOkInOpenDialog() {
    orvex::TDActOpt* dialog = OpenDialog();
    if (dialog == nullptr) {
        return false;
    }
    dialog->OKBtn->Click();
    return true;
}

}  // namespace testsupport
