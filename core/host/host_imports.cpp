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

hostapi::InstrumentKey StaffOfSlot(int32_t slot, hostapi::ViewKey view) {
    const auto service = Imports().InstrumentOfSlot;
    return service == nullptr ? 0 : service(static_cast<hostapi::StaffSlot>(slot), view, hostapi::kInterfaceVersion);
}

hostapi::StaffSlot SlotOfStaff(int32_t staff, hostapi::ViewKey view) {
    const auto service = Imports().SlotOfInstrument;
    return service == nullptr ? 0
                              : service(static_cast<hostapi::InstrumentKey>(staff), view, hostapi::kInterfaceVersion);
}

int16_t CellKeyValue(int32_t measure, int32_t staff, int16_t mode) {
    const auto service = Imports().CellKey;
    return service == nullptr
               ? 0
               : service(static_cast<hostapi::MeasureNumber>(measure), static_cast<hostapi::InstrumentKey>(staff), mode,
                         0, hostapi::kInterfaceVersion);
}

}  // namespace orvex
