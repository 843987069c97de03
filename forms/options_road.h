// The options road: a tool's option values, from the options dialog or from the values the
// dialog remembers, into the option arrays the tool reads. The core reaches it through the
// OptionsRoad it registers (core/parts.h); the core's RunToolWithOptions describes it.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "core/option_element.h"

namespace vcl {
class TForm;
}

namespace orvex {

struct TFMisc;

bool ShowToolOptions(int32_t item, int32_t setNumber, OptionArray& options, ExtendedOptionArray& moreOptions,
                     std::vector<std::pair<int32_t, int32_t>>& optionList, bool showDialog,
                     const OptionArray* overrides, bool leaveOpen, bool shift, TFMisc* context);
/// Completes the OK of an options dialog that was left open: it stores its values and runs its tool.
void CompleteOptionsDialogOk(vcl::TForm& form);
/// The run that an options dialog started over several host calls ended.
void OptionsDialogRunEnded(vcl::TForm& form);
/// True when the tool item has option rows.
bool ToolHasOptionRows(int32_t item);

}  // namespace orvex
