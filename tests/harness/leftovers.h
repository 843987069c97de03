// What a test can leave behind in the plug-ins, for the fixtures' teardown checks.
#pragma once

#include <string>
#include <vector>

namespace harness {

/// The user closes every modeless form of Orvex188 still shown (the options dialog a tool left
/// open with its results, the options form, the print form), each through its close box, as at
/// the end of a session; a form that does not close stays in OrvexLeftovers.
void CloseOpenForms();

/// What is still running or open in Orvex188: "a running part explosion", "a multi-step
/// command waiting to be invoked again (code N)", "a print run", "an options dialog waiting for
/// its OK", "the modeless form \"CAPTION\" still open after the user closed it", "a command still running". Empty when
/// nothing.
std::vector<std::string> OrvexLeftovers();

}  // namespace harness
