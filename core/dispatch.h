// Command dispatch: from the host's FinaleExtensionInvoke to the command a menu entry names.
#pragma once

#include <cstdint>

#include "platform/win/handles.h"

namespace orvex {

/// Runs menu entry `menuIndex` with the host's selection record (or none) and the record of the
/// whole document; non-zero tells the host that the document changed.
int16_t FinaleExtensionInvoke(win::Hwnd hostWindow, int16_t menuIndex, const uint8_t* selection,
                              const uint8_t* document);

}  // namespace orvex
