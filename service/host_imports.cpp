#include "service/host_imports.h"

#include <optional>
#include <set>
#include <string>

#include "platform/win/messages.h"
#include "platform/win/modules.h"
#include "service/module_state.h"

namespace lumvar {
namespace {

std::optional<HostImports>& Resolved() {
    return Module().imports.resolved;
}

std::set<std::string>& Noted() {
    return Module().imports.noted;
}

}  // namespace

const HostImports& Imports() {
    static const HostImports kNone;
    if (Resolved()) {
        return *Resolved();
    }
    const win::Hmodule host = win::GetModuleHandle(hostapi::kHostModuleName);
    if (host == win::kNoModule) {
        // No host yet: nothing is imported, and the next use looks again.
        return kNone;
    }
    HostImports imports;
#define LUMVAR_IMPORT_RESOLVE(name, type) \
    imports.name = reinterpret_cast<type>(win::GetProcAddress(host, static_cast<int32_t>(hostapi::Service::name)));
    LUMVAR_HOST_IMPORTS(LUMVAR_IMPORT_RESOLVE)
#undef LUMVAR_IMPORT_RESOLVE
    Resolved() = imports;
    return *Resolved();
}

void UseHostImports(const HostImports& imports) {
    Resolved() = imports;
}

void NoteMissingHostService(std::string_view what) {
    if (Noted().insert(std::string(what)).second) {
        win::OutputDebugString("Lumvar2000: the host does not offer " + std::string(what) +
                               "; it is not available in this build");
    }
}

}  // namespace lumvar
