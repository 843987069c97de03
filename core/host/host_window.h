// The host's main window as the access layer sees it.
#pragma once

#include <string>

#include "platform/win/handles.h"

namespace orvex {

/// Reads the host window's title (at most 100 characters) into `title`; answers whether it
/// differs from what `title` held before.
bool GetHostWindowTitle(std::string& title);
/// The window of the document in front: the active document window of the host's MDI client
/// (each open document has one for as long as it is open); kNoWindow when no document is open.
win::Hwnd FrontDocumentWindow();

}  // namespace orvex
