// The entry points a plug-in module exports by name and the host calls.
#pragma once

#include <cstdint>

#include "platform/win/handles.h"

namespace hostapi {

extern "C" {
/// Receives the host's raw version; a plug-in answers the interface version it was written for.
using FinaleExtensionVersionFn = int32_t (*)(int32_t hostRawVersion);
/// Receives the host's main window; answers non-zero when the plug-in is ready.
using FinaleExtensionInitFn = int16_t (*)(win::Hwnd hostWindow, int32_t* result);
/// Fills the 202-byte menu record of entry `index`; answers 0 when there is none.
using FinaleExtensionEnumerateFn = int16_t (*)(void* ignored, int16_t index, uint8_t* menuRecord);
/// Runs menu entry `index` with the current selection (or none) and the whole document's record;
/// non-zero means the document changed.
using FinaleExtensionInvokeFn = int16_t (*)(win::Hwnd hostWindow, int16_t index, const uint8_t* selection,
                                            const uint8_t* document);
using FinaleExtensionGetMenuStatusFn = int16_t (*)(int16_t index);
using FinaleExtensionTerminateFn = int16_t (*)(void* ignored);
}

inline constexpr const char* kVersionEntry = "FinaleExtensionVersion";
inline constexpr const char* kInitEntry = "FinaleExtensionInit";
inline constexpr const char* kEnumerateEntry = "FinaleExtensionEnumerate";
inline constexpr const char* kInvokeEntry = "FinaleExtensionInvoke";
inline constexpr const char* kGetMenuStatusEntry = "FinaleExtensionGetMenuStatus";
inline constexpr const char* kTerminateEntry = "FinaleExtensionTerminate";

/// The extension of plug-in module files.
inline constexpr const char* kPluginExtension = ".fxt";

}  // namespace hostapi
