// What the options dialog takes from the parts above the forms: the document's text expressions
// for a list row (from the text expressions) and the Defaults of an inline table taken from the
// selected region (from the tools), and a tool's own rule for the texts of its rows. They
// register it at start-up.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "core/free_texts.h"
#include "core/option_element.h"
#include "platform/vcl/stdctrls.h"

namespace orvex {

struct TFMisc;

struct ActionDialogSources {
    /// Fills the list with the document's text expressions, as tool `item` shows them.
    void (*fillExpressionList)(vcl::TListBox& list, int32_t item) = nullptr;
    /// Adjusts the rows of an inline table (blocks of `rowsPerStaff` rows, one a staff) from the
    /// selected region for tool `item`; `context` may be none.
    void (*prefillTable)(TFMisc* context, int32_t item, std::span<OptionElement> rows, int32_t rowsPerStaff,
                         int32_t staffCount) = nullptr;
    /// A tool's own rule for the text of one of its rows, checked at Go: true when the tool has a
    /// rule for the row, with `refusal` set to the message that refuses the text (shown with the
    /// text as %1) or left none when the text is taken. May stay none.
    bool (*checkRowText)(int32_t item, int32_t row, std::string_view text, std::optional<FreeText>& refusal) = nullptr;
};

/// Registers the sources the parts give; a source left none keeps the one registered before.
void RegisterActionDialogSources(const ActionDialogSources& sources);
/// The registered sources; throws std::logic_error when one of them is missing.
const ActionDialogSources& TheActionDialogSources();
/// Checks a row's text at Go by its tool's own rule: false when the tool has none for the row.
bool CheckRowText(int32_t item, int32_t row, std::string_view text, std::optional<FreeText>& refusal);

}  // namespace orvex
