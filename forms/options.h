// The options store: the explorer's hotkey and metatool, the keyboard remapper and the key
// assignments, read from the registry at start-up.
#pragma once

namespace orvex {

/// Reads every setting of the options store from the registry.
void LoadOptions();

}  // namespace orvex
