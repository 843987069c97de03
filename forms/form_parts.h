// What the forms register with the core at start-up: the options road, their rows of the tool
// table, the forms their commands open, the print run and the resets of their state.
#pragma once

namespace orvex {

void InstallFormParts();

}  // namespace orvex
