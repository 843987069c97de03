// Lumvar2000: the service plug-in. This unit is its life in the host (entry points, the
// single-instance guard) and the services that tell clients about the host and about itself.
#pragma once

#include <cstdint>

#include "platform/win/handles.h"

namespace lumvar {

inline constexpr int32_t kMajorVersion = 2;
inline constexpr int32_t kMinorVersion = 8;

// ---- Module state ----
extern win::Hmodule ModuleInstance;
extern uint32_t RawHostVersion;
extern win::Hwnd HostWindow;
extern int16_t Initialised;  ///< 1 once FinaleExtensionInit succeeded in this process

// ---- Host entry points ----
int32_t DllEntryPoint(win::Hmodule instance, uint32_t reason, void* reserved);
int32_t FinaleExtensionVersion(int32_t rawVersion);
int16_t FinaleExtensionInit(win::Hwnd hostWindow, int32_t* ignored);
int16_t FinaleExtensionEnumerate(void* ignored, int16_t index, uint8_t* menuRecord);
int16_t FinaleExtensionInvoke(win::Hwnd hostWindow, int16_t index, const uint8_t* selection, const uint8_t* document);
int16_t FinaleExtensionGetMenuStatus(int16_t index);
int16_t FinaleExtensionTerminate(void* ignored);

// ---- Services ----
int16_t InitByFinale();
win::Hwnd FinaleWindow();
uint32_t RawFXTVersion();
/// The host year: 1997, 1998, 2000, 2001, 2002, or 9999 for a version it does not know.
int32_t FinaleVersion();
/// Answers the major version and writes the minor version to `minorOut` unless it is null.
int32_t Version(int32_t* minorOut);

/// Puts the module state back to what loading left (tests start here).
void ResetModuleState();

}  // namespace lumvar
