// What the access layer knows of the host it runs in: the host's version, the language of its
// menus and its main window. Start-up fills it; the access layer and the core read it through
// Host(), so that the access layer needs nothing of the start-up above it.
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

/// The host the module runs in, as start-up found it (read-only: start-up alone writes it, in the
/// access layer's state).
const HostInfo& Host();

}  // namespace orvex
