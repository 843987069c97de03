// The state of the class library in this module: the screen, the application, the clipboard
// object and the locale settings, in one object, owned by forms.cpp. Private to the class
// library's sources; the module reaches the parts through Screen, Application, Clipboard() and
// FormatSettings.
#pragma once

#include "platform/vcl/application.h"
#include "platform/vcl/clipbrd.h"
#include "platform/vcl/sysutils.h"

namespace vcl::detail {

struct LibraryState {
    TScreen screen;
    TApplication application;
    TClipboard clipboard;
    TFormatSettings formatSettings;
};

/// The one object that holds the class library's state.
LibraryState& Library();

}  // namespace vcl::detail
