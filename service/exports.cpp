// The names under which Lumvar2000 exports its entry points and services.
#include "service/lumvar.h"

#define LUMVAR_EXPORT extern "C" __attribute__((visibility("default")))

LUMVAR_EXPORT int32_t DllEntryPoint(win::Hmodule instance, uint32_t reason, void* reserved) {
    return lumvar::DllEntryPoint(instance, reason, reserved);
}
LUMVAR_EXPORT int32_t FinaleExtensionVersion(int32_t rawVersion) {
    return lumvar::FinaleExtensionVersion(rawVersion);
}
LUMVAR_EXPORT int16_t FinaleExtensionInit(win::Hwnd hostWindow, int32_t* ignored) {
    return lumvar::FinaleExtensionInit(hostWindow, ignored);
}
LUMVAR_EXPORT int16_t FinaleExtensionEnumerate(void* ignored, int16_t index, uint8_t* menuRecord) {
    return lumvar::FinaleExtensionEnumerate(ignored, index, menuRecord);
}
LUMVAR_EXPORT int16_t FinaleExtensionInvoke(win::Hwnd hostWindow, int16_t index, const uint8_t* selection,
                                            const uint8_t* document) {
    return lumvar::FinaleExtensionInvoke(hostWindow, index, selection, document);
}
LUMVAR_EXPORT int16_t FinaleExtensionGetMenuStatus(int16_t index) {
    return lumvar::FinaleExtensionGetMenuStatus(index);
}
LUMVAR_EXPORT int16_t FinaleExtensionTerminate(void* ignored) {
    return lumvar::FinaleExtensionTerminate(ignored);
}

LUMVAR_EXPORT int16_t pLUMVAR_InitByFinale() {
    return lumvar::InitByFinale();
}
LUMVAR_EXPORT win::Hwnd pFTX_FinaleWindow() {
    return lumvar::FinaleWindow();
}
LUMVAR_EXPORT uint32_t pLUMVAR_RawFXTVersion() {
    return lumvar::RawFXTVersion();
}
LUMVAR_EXPORT int32_t pFTX_FinaleVersion() {
    return lumvar::FinaleVersion();
}
LUMVAR_EXPORT int32_t pLUMVAR_Version(int32_t* minorOut) {
    return lumvar::Version(minorOut);
}
