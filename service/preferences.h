// Lumvar2000's preferences (the LumvarPrefs record), kept in the registry under
// HKEY_CURRENT_USER "Software\Lumvar" value "Preferences"; the notify list of the clients'
// callbacks; generic registry storage for clients; the path of the host's settings file; and
// the debug console.
#pragma once

#include <cstdint>
#include <string>

#include "service/lumvar_api.h"

namespace lumvar {

inline constexpr const char* kPreferencesKey = "Software\\Lumvar";
inline constexpr const char* kPreferencesValue = "Preferences";
inline constexpr const char* kDefaultIniName = "FINALE.INI";
inline constexpr const char* kConsoleTitle = "Lumvar Debug Console";
/// The transparency percent used when the stored one is outside 1..99.
inline constexpr int16_t kDefaultTransparencyPercent = 60;

// ---- Preferences ----
/// Reads the stored record; the defaults (word 0 untouched) when none can be read.
void ReadPreferences();
/// Writes the 16 bytes back.
void WritePreferences();
/// Sets the defaults (word 0 untouched).
void SetDefaultPreferences();

/// pLUMVAR_GetGlobals: size word 8 copies words 1..3, 12 words 1..5, 16 words 1..7; 0 ok, 2 a
/// null record, 13 any other size word (nothing copied).
int16_t GetGlobals(uint8_t* prefs);
int16_t Allow2ndMonitor();
int16_t ULWhenNeeded();
/// The preferred language, clamped to 0..12.
int16_t UserLanguage();
int16_t ReturnFocusToFinale();
int16_t NonFocusCollapse();
int16_t TransparencyFlag();
/// The transparency percent; 60 for a stored value outside 1..99.
int16_t TransparencyPercent();

// The control panel's setters: the value as given, the language clamped to 0..12.
void SetSecondMonitorPreference(int16_t value);
void SetUpdateLayoutPreference(int16_t value);
void SetLanguagePreference(int16_t value);
void SetReturnFocusPreference(int16_t value);
void SetCollapsePreference(int16_t value);
void SetTransparencyPreference(int16_t value);

// ---- Notify list ----
/// pLUMVAR_SetNotifyHook: adds (add non-zero) or removes a callback; 1 success, 0 failure (a
/// null callback, removing one that is not registered, no memory).
int16_t SetNotifyHook(LumvarNotifyProc proc, int16_t add);
/// Calls every registered callback in registration order. A callback may change the list: the
/// broadcast goes to the callbacks registered when it began.
void NotifyBroadcast(uint8_t code, int32_t size, const void* data);
/// Sends a notification whose data is one i16 value.
void NotifyValue(uint8_t code, int16_t value);
size_t NotifyCount();
bool AnyClientRegistered();
void ClearNotifyList();

// ---- Registry settings ----
/// pFTXW_ReadSettings: 1 when read (a shorter value is zero-padded), 0 when the key or value is
/// missing, larger than size, or an argument is null.
int16_t ReadSettings(void* data, uint32_t size, const char* subkey, const char* valueName);
/// pFTXW_WriteSettings: writes a binary value, creating the key; 1 (0 only for null arguments).
int16_t WriteSettings(const void* data, uint32_t size, const char* subkey, const char* valueName);

// ---- The host's settings file ----
/// The full path of the host's settings file: the file named after " -i" (or " -I") on the
/// host's command line, else "FINALE.INI", in the host program's folder unless absolute.
std::string IniFileName();
/// pFTXW_GetINIFileName: copies the path into out (room for 260 bytes); 0 ok, 2 out null, 4 a
/// path that does not fit (out then holds an empty text).
int16_t GetINIFileName(char* out);

// ---- Debug console ----
/// pFTX_printfOutput: writes the text to the debug console (opened on first use); always 1.
int16_t PrintfOutput(const char* text);
/// Whether the debug console was opened (and not freed since).
bool DebugConsoleOpen();
/// Frees the process's console; answers the system's result.
bool FreeDebugConsole();

}  // namespace lumvar
