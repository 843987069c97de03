#include "forms/form_parts.h"

#include <array>

#include "core/commands.h"
#include "core/parts.h"
#include "core/tool_table.h"
#include "forms/action_control_table.h"
#include "forms/form_commands.h"
#include "forms/options_road.h"

namespace orvex {
namespace {

using enum ToolItem;

/// The general options run nothing as a tool: their dialog is the options form.
int32_t RunNothing(TFMisc& /*context*/) {
    return 1;
}

// clang-format off
const std::array kFormToolRows = {
    ToolDescriptor{.item = Options, .firstLevel = RunNothing},
    ToolDescriptor{.item = PrintMultipleFiles, .firstLevel = OpenNextPrintFile, .flags = kToolSaveFirst},
};

const std::array kFormCommands = {
    FormCommand{CODE_OPTIONS, ShowOptionsForm},
    FormCommand{CODE_PRINT_MULTIPLE_FILES, ShowPrintMultipleFiles},
};
// clang-format on

}  // namespace

void InstallFormParts() {
    RegisterToolRows(kFormToolRows);
    RegisterFormCommands(kFormCommands);
    RegisterOptionsRoad(
        OptionsRoad{ShowToolOptions, CompleteOptionsDialogOk, OptionsDialogRunEnded, ToolHasOptionRows});
    RegisterPrintRunHooks(PrintRunHooks{AdvancePrintRun});
}

}  // namespace orvex
