// Helpers of the layout tools' tests: tool contexts whose options are the defaults of the tools'
// option rows, and the texts of the messages shown.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/tool_context.h"
#include "core/tool_items.h"
#include "forms/action_control_table.h"
#include "platform/win/win.h"

namespace layouttest {

/// A context of tool `item` (group 1), its option rows and, with `moreSet`, its "More..." rows
/// at the defaults of the option rows table.
inline std::shared_ptr<orvex::TFMisc> ToolWithDefaults(orvex::ToolItem item, int32_t moreSet = 0) {
    std::shared_ptr<orvex::TFMisc> context = orvex::InitToolContext();
    context->Item = orvex::ItemNumber(item);
    context->Group = 1;
    const auto defaults = [](int32_t rowsOf, auto& into) {
        const orvex::ActionItemRows& rows = orvex::kActionControlTableData[static_cast<size_t>(rowsOf)];
        for (size_t r = 0; r < orvex::kOptionRows && rows[r].englishCaption != nullptr; ++r) {
            into[r].value = rows[r].value1;
        }
    };
    defaults(orvex::ItemNumber(item), context->Options);
    if (moreSet != 0) {
        defaults(moreSet, context->MoreOptions);
    }
    return context;
}

/// The texts of the message dialogs shown so far, in order.
inline std::vector<std::string> MessageTexts() {
    std::vector<std::string> texts;
    for (const std::string& line : win::TranscriptLines()) {
        if (line.starts_with("  label Message \"")) {
            texts.push_back(line.substr(17, line.size() - 18));
        }
    }
    return texts;
}

}  // namespace layouttest
