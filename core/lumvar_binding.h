// The binding of Lumvar2000: Orvex188 loads the service plug-in by name, takes its services
// by name and makes the version handshake before a command runs.
#pragma once

namespace orvex {

/// Binds Lumvar2000 (on the first call) and shakes hands asking for version 2.01; answers
/// whether the command may go on.
bool BindServicePlugin();

/// Forgets the binding (tests start here).
void ResetServicePluginBinding();

}  // namespace orvex
