// The options road: a tool's option values, from the options dialog or from the values the
// dialog remembers, into the option arrays the tool reads.
#include "forms/options_road.h"

#include <memory>

#include "core/commands.h"
#include "core/module.h"
#include "core/run_services.h"
#include "forms/action_control_table.h"
#include "forms/dactopt.h"

namespace orvex {

bool ShowToolOptions(int32_t item, int32_t setNumber, OptionArray& options, ExtendedOptionArray& moreOptions,
                     std::vector<std::pair<int32_t, int32_t>>& optionList, bool showDialog,
                     const OptionArray* overrides, bool leaveOpen, bool shift, TFMisc* context) {
    if (item < 0 || item >= kToolItemCount || ActionRowCaption(item, 0) == nullptr) {
        return true;
    }
    const auto index = static_cast<size_t>(item);
    if (FurtherOptionsItem[index] != 0 && TheModule.commands.FurtherOptionsGroup[index] == 0) {
        TheModule.commands.FurtherOptionsGroup[index] = 1;
    }
    const bool dialog = (leaveOpen || (showDialog && !shift)) && (setNumber == 1 || DialogOnlyInGroup1[index] == 0);
    if (setNumber > 1 && SeveralOptionSets[index] == 0) {
        setNumber = 1;
    }
    if (setNumber < 1) {
        setNumber = 1;
    }
    if (context != nullptr) {
        context->Item = item;
    }
    std::unique_ptr<TDActOpt> form(vcl::Create<TDActOpt>(nullptr));
    if (IsItem(item, ToolItem::FontInfo)) {
        form->SetRunButtons(false);  // the font list only shows
    }
    // Override values are shown for this run only: the table's rows never take them.
    BuildActionDialog(*form, item, context, setNumber, overrides, moreOptions);
    if (leaveOpen && dialog && context != nullptr) {
        // The dialog stays open with a share of the context; its Go runs the tool.
        form->SetModeless(true);
        form->ShareContext();
        context->OptionsForm = form.get();
        AddModelessForm(form.get());
        form.release()->Show();
        return false;
    }
    bool cancelled = false;
    if (dialog) {
        cancelled = form->ShowModal() == vcl::mrCancel;
    }
    // A pitch row that holds no pitch name (typed, or remembered from before) runs nothing.
    if (!cancelled && !CheckPitchRows(*form)) {
        cancelled = true;
    }
    if (!cancelled) {
        ActionDialog_StoreValues(*form, item, options, moreOptions, &optionList, setNumber);
        // As after a tool's Go: the controls show the values as read (a number outside its row's
        // range clamped) and are remembered so, so that the next reading of the remembered state
        // keeps every row.
        ActionDialog_ApplyValues(*form, item, options, moreOptions, &optionList, setNumber);
    }
    return !cancelled;
}

void CompleteOptionsDialogOk(vcl::TForm& form) {
    if (auto* dialog = dynamic_cast<TDActOpt*>(&form)) {
        dialog->RunPendingStep();
    }
}

void OptionsDialogRunEnded(vcl::TForm& form) {
    if (auto* dialog = dynamic_cast<TDActOpt*>(&form)) {
        dialog->SteppedRunEnded();
    }
}

bool ToolHasOptionRows(int32_t item) {
    return kActionControlTableData[static_cast<size_t>(item)][0].englishCaption != nullptr;
}

}  // namespace orvex
