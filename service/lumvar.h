// Lumvar2000: the service plug-in. This unit is its life in the host (entry points, the
// single-instance guard, start and stop of the other units) and the services that tell
// clients about the host and about itself, with the version handshake every client makes.
#pragma once

#include <cstdint>

#include "platform/win/handles.h"
#include "service/lumvar_api.h"

namespace lumvar {

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
/// pLUMVAR_HandShake: 1 when this version serves a client written for major.minor, else 0
/// after the mismatch message.
int16_t HandShake(int32_t major, int32_t minor);

/// The texts of the handshake's messages.
inline constexpr const char* kMismatchTitle = "Lumvar Version Mismatch";
inline constexpr const char* kHost2001Title = "Finale Version Warning!!!";
inline constexpr const char* kNewHostTitle = "New Finale Version Information";
inline constexpr const char* kNewHostText =
    "This version of Lumvar hasn't proven to be compatible\nwith this Finale version.\n"
    "Please download a later version of Lumvar.";

/// Puts the module's whole state (service/module_state.h) back to what loading left (tests
/// start here).
void ResetModuleState();

}  // namespace lumvar
