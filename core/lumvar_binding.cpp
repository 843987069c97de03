#include "core/lumvar_binding.h"

#include "platform/win/messages.h"

namespace orvex {

namespace {
bool s_noted = false;
}  // namespace

bool BindServicePlugin() {
    // FIXME: binding Lumvar2000 is not built yet. Commands run without its services (which no
    // command of this build uses); the debug output says so once.
    if (!s_noted) {
        s_noted = true;
        win::OutputDebugString("Orvex188: binding Lumvar2000 is not available in this build");
    }
    return true;
}

void ResetServicePluginBinding() {
    s_noted = false;
}

}  // namespace orvex
