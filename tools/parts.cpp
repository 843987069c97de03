// Orvex188's parts wired into its core: every program that runs the core (the module, the tests,
// the command reference) links this unit, which registers the forms', the text expressions' and
// the tools' interfaces and table rows once, before anything runs.
#include "expressions/expression_parts.h"
#include "forms/form_parts.h"
#include "tools/tool_parts.h"

namespace orvex {
namespace {

[[maybe_unused]] const bool s_installed = [] {
    InstallToolParts();
    InstallExpressionParts();
    InstallFormParts();
    return true;
}();

}  // namespace
}  // namespace orvex
