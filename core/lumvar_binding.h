// The binding of Lumvar2000: Orvex188 loads the service plug-in by name, checks that the host
// initialised that copy, takes its services by name and makes the version handshake before a
// command runs. The thin wrappers below are what the rest of Orvex188 calls.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win/handles.h"
#include "service/lumvar_api.h"

namespace orvex {

/// The version Orvex188 asks for: 2.01.
inline constexpr int32_t kRequestedLumvarMajor = 2;
inline constexpr int32_t kRequestedLumvarMinor = 1;
/// The bound services: 85 in binding order; rows 53 to 85 only from Lumvar major version 2 on.
inline constexpr int32_t kBoundServiceCount = 85;
inline constexpr int32_t kAlwaysBoundServices = 52;

/// Binds Lumvar2000 on the first call that can (LoadLumvar) and shakes hands asking for
/// major.minor on every call; answers whether the command may go on.
bool TryHandShake(int32_t major, int32_t minor);
/// Loads "Lumvar2000.fxt" by name, checks that the host initialised it and binds its services;
/// each failure shows its message and answers false.
bool LoadLumvar();
/// Takes the services by name in binding order; at the first name the module lacks, writes it
/// to `missingName` and answers false.
bool BindLumvarFunctions(win::Hmodule module, std::string* missingName);
/// The message of a wrapper called while the requested major version is below 2.
void ShowHandShakeError();

/// The dispatcher's binding: the handshake asking for 2.01; ServicePluginBound is set when it
/// succeeds.
bool BindServicePlugin();

bool LumvarBound();
/// What pLUMVAR_Version answered while binding (1 until then).
int32_t LumvarMajorVersion();
/// The major version the first successful handshake asked for (1 until then).
int32_t RequestedLumvarMajor();

// ---- Thin wrappers (a service that is not bound is refused: the failure value, no call) ----
win::Hwnd GetFinaleWindow();
int32_t CallCountItems(int16_t kind);
int16_t CallGetLayoutInfo(int16_t system, uint8_t* info, bool withPage);
void CallChangeLayoutInfo(uint8_t kind, int32_t value, int16_t key, uint8_t operation, int16_t last);
/// The modifier keys Lumvar2000 reports held (0 when it is not bound).
int32_t CallKeyPressed();
/// 3 (the service is not there) when Lumvar2000 is not bound with it.
int16_t CallToggleWindowSize(win::Hwnd window, bool restore, uint8_t* state, bool force);
/// Empty texts when not bound.
const char* CallGetGroupName(int16_t group, int16_t listKey, const void* groupRecord, int16_t* source);
const char* CallGetInstNameInIUList(int16_t staff, bool fallback, int16_t listKey, bool markHidden);
/// Whether a text that a name service answered is its whole text: false when Lumvar2000 cut it
/// to its buffer (pFTX_TextLength tells more than the answer holds).
bool CallAnsweredWhole(const char* text);
bool CallReturnFocusToFinale();
int16_t CallSplitEDU(int32_t edu, uint8_t* parts, int16_t size);
/// The text unchanged, with err 3, when not bound.
const char* CallTranslateString(const char* text, int16_t language, int16_t sourceLanguage, bool onlyInternational,
                                int16_t* err);

}  // namespace orvex
