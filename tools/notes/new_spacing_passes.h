// New Spacing's two passes as the dispatcher runs them (a multi-step tool).
#pragma once

#include "core/tool_table.h"

namespace orvex {

/// The steps of New Spacing (tool item 20).
extern const MultiStepTool kNewSpacingSteps;

}  // namespace orvex
