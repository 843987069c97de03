// Orvex188's exports by name, for a host that runs the module's code in its own process
// (the tests) rather than loading the module file.
#pragma once

#include <string_view>

namespace orvex {

/// The address of an export of Orvex188 ("FinaleExtensionInit", ...); nullptr for others.
void* OrvexExport(std::string_view name);

}  // namespace orvex
