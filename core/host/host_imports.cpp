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

namespace {

/// Calls `service` with `args` and the interface version; 0 when the host does not offer it.
template <class Fn, class... Args>
auto CallOffered(Fn service, Args... args) -> decltype(service(args..., hostapi::kInterfaceVersion)) {
    return service == nullptr ? 0 : service(args..., hostapi::kInterfaceVersion);
}

}  // namespace

int16_t NotePitchValue(const uint8_t* note, int16_t key) {
    return CallOffered(Imports().NotePitch, note, key);
}

hostapi::Edu MeasureLengthValue(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure) {
    return CallOffered(Imports().MeasureLength, staff, measure);
}

hostapi::Edu FilledTimeOf(hostapi::EntryArray* array) {
    return CallOffered(Imports().FilledTime, array);
}

int16_t SimplifyRhythmOf(hostapi::EntryArray* array) {
    return CallOffered(Imports().SimplifyRhythm, array);
}

int16_t FontNumberOf(const char* name) {
    return CallOffered(Imports().FontNumber, name);
}

int16_t FontNameOf(int16_t number, char* buffer) {
    return CallOffered(Imports().FontName, number, buffer);
}

int32_t SyllablePlaceOf(const char* text, int16_t index, hostapi::Tag textTag, hostapi::SyllableInfo* info) {
    return CallOffered(Imports().SyllablePlace, text, index, textTag, info);
}

int16_t SyllableTextOf(hostapi::Tag textTag, int16_t textNumber, int16_t syllable, char* buffer, int16_t size,
                       int16_t* kind, hostapi::SyllableInfo* fontState, int16_t* hyphen, int16_t* width) {
    return CallOffered(Imports().SyllableText, textTag, textNumber, syllable, buffer, size, kind, fontState, hyphen,
                       width);
}

int16_t EntryPlacementOf(hostapi::InstrumentKey staff, hostapi::MeasureNumber measure, hostapi::EntryNumber entry,
                         hostapi::EntryBox* box, hostapi::EntryMetrics* metrics) {
    return CallOffered(Imports().EntryPlacement, staff, measure, entry, box, metrics, int16_t{0});
}

int16_t PitchNameOf(int16_t pitch, char* buffer, int16_t size) {
    return CallOffered(Imports().PitchName, pitch, buffer, size, int16_t{1});
}

int16_t PitchFromNameOf(const char* text) {
    return CallOffered(Imports().PitchFromName, text);
}

int16_t HostSelection(uint8_t* selection, uint8_t* document) {
    return CallOffered(Imports().GetSelection, selection, document);
}

int16_t RedrawHostDocument(const uint8_t* regionOrNull) {
    return CallOffered(Imports().RedrawDocument, regionOrNull);
}

int16_t RedrawHostMeasures(hostapi::MeasureNumber first, hostapi::MeasureNumber last, hostapi::ViewKey view) {
    return CallOffered(Imports().RedrawMeasures, first, last, int16_t{0}, view);
}

int16_t ShowHostMeasure(hostapi::MeasureNumber measure) {
    return CallOffered(Imports().ShowMeasure, measure, int16_t{1});
}

int16_t HostLayerShown(hostapi::LayerIndex layer) {
    return CallOffered(Imports().LayerShown, layer);
}

int32_t HostControlValue(win::Hwnd dialog, int32_t control, int32_t kind) {
    return CallOffered(Imports().GetControlValue, dialog, control, kind);
}

}  // namespace orvex
