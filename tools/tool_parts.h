// What the tools register with the core at start-up: their rows of the tool table, the forms
// the tool commands open, the running part explosion and the resets of their state.
#pragma once

namespace orvex {

void InstallToolParts();

}  // namespace orvex
