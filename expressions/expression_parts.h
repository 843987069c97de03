// What the text expressions register with the core at start-up: their rows of the tool table,
// the forms their commands open, the shared text expression table and its reset.
#pragma once

namespace orvex {

void InstallExpressionParts();

}  // namespace orvex
