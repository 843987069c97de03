#include "forms/dialog_sources.h"

#include <stdexcept>

#include "core/module.h"

namespace orvex {
namespace {

ActionDialogSources& Sources() {
    return LastingState<ActionDialogSources>();
}

}  // namespace

void RegisterActionDialogSources(const ActionDialogSources& sources) {
    ActionDialogSources& registered = Sources();
    if (sources.fillExpressionList != nullptr) {
        registered.fillExpressionList = sources.fillExpressionList;
    }
    if (sources.prefillTable != nullptr) {
        registered.prefillTable = sources.prefillTable;
    }
    if (sources.checkRowText != nullptr) {
        registered.checkRowText = sources.checkRowText;
    }
}

bool CheckRowText(int32_t item, int32_t row, std::string_view text, std::optional<FreeText>& refusal) {
    const auto check = Sources().checkRowText;
    return check != nullptr && check(item, row, text, refusal);
}

const ActionDialogSources& TheActionDialogSources() {
    const ActionDialogSources& sources = Sources();
    if (sources.fillExpressionList == nullptr || sources.prefillTable == nullptr) {
        throw std::logic_error("the options dialog's sources are not registered");
    }
    return sources;
}

}  // namespace orvex
