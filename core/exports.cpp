// The names under which Orvex188 exports its entry points to the host.
#include "core/dispatch.h"
#include "core/startup.h"
#include "platform/hostapi/entry_points.h"

#define ORVEX_EXPORT extern "C" __attribute__((visibility("default")))

ORVEX_EXPORT int32_t DllEntryPoint(win::Hmodule instance, uint32_t reason, void* reserved) {
    return orvex::DllEntryPoint(instance, reason, reserved);
}
ORVEX_EXPORT int32_t FinaleExtensionVersion(int32_t hostRawVersion) {
    return orvex::FinaleExtensionVersion(hostRawVersion);
}
ORVEX_EXPORT int16_t FinaleExtensionInit(win::Hwnd hostWindow, int32_t* result) {
    return orvex::FinaleExtensionInit(hostWindow, result);
}
ORVEX_EXPORT int16_t FinaleExtensionEnumerate(void* ignored, int16_t index, uint8_t* menuRecord) {
    return orvex::FinaleExtensionEnumerate(ignored, index, menuRecord);
}
ORVEX_EXPORT int16_t FinaleExtensionInvoke(win::Hwnd hostWindow, int16_t index, const uint8_t* selection,
                                           const uint8_t* document) {
    return orvex::FinaleExtensionInvoke(hostWindow, index, selection, document);
}
ORVEX_EXPORT int16_t FinaleExtensionGetMenuStatus(int16_t index) {
    return orvex::FinaleExtensionGetMenuStatus(index);
}
ORVEX_EXPORT int16_t FinaleExtensionTerminate(void* ignored) {
    return orvex::FinaleExtensionTerminate(ignored);
}
