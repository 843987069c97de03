#include "core/module_exports.h"

#include "core/dispatch.h"
#include "core/startup.h"

namespace orvex {

void* OrvexExport(std::string_view name) {
    if (name == "DllEntryPoint")
        return reinterpret_cast<void*>(&DllEntryPoint);
    if (name == "FinaleExtensionVersion")
        return reinterpret_cast<void*>(&FinaleExtensionVersion);
    if (name == "FinaleExtensionInit")
        return reinterpret_cast<void*>(&FinaleExtensionInit);
    if (name == "FinaleExtensionEnumerate")
        return reinterpret_cast<void*>(&FinaleExtensionEnumerate);
    if (name == "FinaleExtensionInvoke")
        return reinterpret_cast<void*>(&FinaleExtensionInvoke);
    if (name == "FinaleExtensionGetMenuStatus")
        return reinterpret_cast<void*>(&FinaleExtensionGetMenuStatus);
    if (name == "FinaleExtensionTerminate")
        return reinterpret_cast<void*>(&FinaleExtensionTerminate);
    return nullptr;
}

}  // namespace orvex
