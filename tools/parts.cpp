// Orvex188's parts wired into its core: every program that runs the core (the module, the tests,
// the command reference) links this unit, which registers the core's hooks of the access layer and
// the forms', the text expressions' and the tools' interfaces and table rows once, before anything
// runs.
#include "core/parts.h"
#include "expressions/expression_parts.h"
#include "forms/form_parts.h"
#include "tools/tool_parts.h"

namespace orvex {
namespace {

[[maybe_unused]] const bool s_installed = [] {
    InstallAccessLayerHooks();
    InstallToolParts();
    InstallExpressionParts();
    InstallFormParts();
    return true;
}();

}  // namespace
}  // namespace orvex
