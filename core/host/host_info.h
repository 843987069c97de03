// What the access layer knows of the host it runs in: the host's version, the language of its
// menus and its main window. Start-up fills it (core/startup.h names its fields HostRawVersion,
// HostYear, LanguageIndex and HostWindow); the access layer reads it, so that it needs nothing
// of the start-up above it.
#pragma once

#include <cstdint>

#include "platform/win/handles.h"

namespace orvex {

struct HostInfo {
    int32_t rawVersion = 0;             ///< what FinaleExtensionVersion received; 0 until then
    int32_t year = 0;                   ///< 1997, 1998, 2000, 2001 or 2002
    int32_t language = 0;               ///< 0 English, 1 German
    win::Hwnd window = win::kNoWindow;  ///< the host's main window
};

/// The host the module runs in.
extern HostInfo& TheHost;

}  // namespace orvex
