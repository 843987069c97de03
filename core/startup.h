// Orvex188's life in the host: the library entry point (load and unload), the host entry
// points other than FinaleExtensionInvoke, and the process-wide start-up state every other
// part of the module reads.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/host/host_info.h"
#include "core/option_element.h"
#include "platform/vcl/registry.h"
#include "platform/win/handles.h"

namespace orvex {

/// The interface version Orvex188 answers to the host.
inline constexpr int32_t kOrvexInterfaceVersion = 0x5000005;
/// The registry key of Orvex188's settings below HKEY_CURRENT_USER.
inline constexpr const char* kSettingsKey = "Software\\HALVORAN";
/// The version text as the module loads it.
inline constexpr const char* kInitialVersionText = " 1.88d";

// ---- Process-wide state ----

// ---- Entry points (exported by the module under these names) ----
int32_t DllEntryPoint(win::Hmodule instance, uint32_t reason, void* reserved);
int32_t FinaleExtensionVersion(int32_t hostRawVersion);
int16_t FinaleExtensionInit(win::Hwnd hostWindow, int32_t* result);
int16_t FinaleExtensionEnumerate(void* ignored, int16_t menuIndex, uint8_t* menuRecord);
int16_t FinaleExtensionGetMenuStatus(int16_t menuIndex);
int16_t FinaleExtensionTerminate(void* ignored);

}  // namespace orvex
