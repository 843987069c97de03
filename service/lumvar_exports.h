// Lumvar2000's exports by name, for a host that runs the module's code in its own process
// (the tests) rather than loading the module file.
#pragma once

#include <string_view>
#include <vector>

namespace lumvar {

/// The address of an export of Lumvar2000 ("pFTX_CountItems", "FinaleExtensionInit", ...,
/// and its dialog resources, win::kDialogResourceExport); nullptr for any other name.
void* LumvarExport(std::string_view name);
/// The names of every export: the entry points, then the services in binding order.
const std::vector<std::string_view>& LumvarExportNames();

}  // namespace lumvar
