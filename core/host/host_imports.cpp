#include "core/host/host_imports.h"

#include "core/host/access_state.h"
#include "core/host/finxess_regions.h"
#include "platform/win/modules.h"

namespace orvex {
namespace {

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
    if (!TheAccessLayer.imports) {
        TheAccessLayer.imports = Resolve();
    }
    return *TheAccessLayer.imports;
}

void ResetHostImports() {
    TheAccessLayer.imports.reset();
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

int32_t FrontDocumentIdentity() {
    const auto service = Imports().DocumentIdentity;
    return service == nullptr ? 0 : service(0, hostapi::kInterfaceVersion);
}

}  // namespace orvex
