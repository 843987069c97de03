#include "forms/options.h"

namespace orvex {

// FIXME: the options store is not built yet; start-up reads no key assignments and the
// explorer hotkey keeps its initial value.
void LoadOptions() {}

}  // namespace orvex
