#include "core/host/host_imports.h"

#include <optional>

#include "core/host/finxess_regions.h"
#include "platform/win/modules.h"

namespace orvex {
namespace {

std::optional<HostImports>& Resolved() {
    static std::optional<HostImports> imports;
    return imports;
}

HostImports Resolve() {
    HostImports imports;
    const win::Hmodule host = win::GetModuleHandle(hostapi::kHostModuleName);
    if (host == win::kNoModule) {
        return imports;
    }
#define ORVEX_IMPORT_RESOLVE(name, type) \
    imports.name = reinterpret_cast<type>(win::GetProcAddress(host, static_cast<int32_t>(hostapi::Service::name)));
    ORVEX_HOST_IMPORTS(ORVEX_IMPORT_RESOLVE)
#undef ORVEX_IMPORT_RESOLVE
    return imports;
}

}  // namespace

const HostImports& Imports() {
    if (!Resolved()) {
        Resolved() = Resolve();
    }
    return *Resolved();
}

void ResetHostImports() {
    Resolved().reset();
    ForgetRefusedStaffRecords();
}

}  // namespace orvex
