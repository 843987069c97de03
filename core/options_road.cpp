// The options road: a tool's option values, from the options dialog or from the stored values.
#include "core/commands.h"
#include "core/dispatch.h"
#include "core/messages.h"
#include "forms/action_control_table.h"

namespace orvex {

namespace {

/// Copies the rows' values of an option set into a value list.
void TakeRowValues(int32_t item, int32_t setNumber, OptionArray& options) {
    const auto rows = ActionRows(item);
    const int32_t count = ActionRowCount(item);
    for (int32_t row = 0; row < count && static_cast<size_t>(row) < options.size(); ++row) {
        const ActionControlRow& source = rows[static_cast<size_t>(row)];
        options[static_cast<size_t>(row)].value = source.Value(setNumber);
        if (source.hasText != 0) {
            options[static_cast<size_t>(row)].text = source.text;
        }
    }
}

}  // namespace

bool RunToolWithOptions(int32_t item, int32_t setNumber, OptionArray& options, ExtendedOptionArray& /*moreOptions*/,
                        std::vector<std::pair<int32_t, int32_t>>& /*optionList*/, bool showDialog,
                        const OptionArray* overrides, bool leaveOpen, bool shift, TFMisc* context) {
    if (item < 0 || item >= kToolItemCount || ActionRowCaption(item, 0) == nullptr) {
        return true;
    }
    const auto index = static_cast<size_t>(item);
    if (FurtherOptionsItem[index] != 0 && FurtherOptionsGroup[index] == 0) {
        FurtherOptionsGroup[index] = 1;
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
    if (dialog) {
        // FIXME: the options dialog is not built yet; a tool that would show it does not run.
        return ShowNotAvailable("The options dialog");
    }
    // Override values apply to this run only: the rows are restored afterwards.
    const ActionItemRows saved = ActionControlTable[index];
    if (overrides != nullptr) {
        auto rows = ActionRows(item);
        for (size_t row = 0; row < rows.size(); ++row) {
            rows[row].SetValue(setNumber, (*overrides)[row].value);
        }
    }
    TakeRowValues(item, setNumber, options);
    ActionControlTable[index] = saved;
    return true;
}

void CompleteOptionsFormOk(vcl::TForm& /*form*/) {
    // FIXME: no options dialog is left open in this build, so none is pending.
    ShowNotAvailable("The options dialog");
}

}  // namespace orvex
