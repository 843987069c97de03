// The result list of the search tools: the list of the options dialog that runs the tool
// (forms/dactopt.h), for the tools that write to it without the dialog's class.
#pragma once

#include <string_view>

namespace orvex {

struct TFMisc;

/// Empties the result list of the dialog that runs the context and sets its line count to 0.
void ClearResultList(TFMisc& context);
/// Appends a line to that result list and counts it.
void AddResultLine(TFMisc& context, std::string_view text);

}  // namespace orvex
