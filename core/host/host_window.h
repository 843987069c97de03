// The host's main window as the access layer sees it.
#pragma once

#include <string>
#include <string_view>

#include "platform/win/handles.h"

namespace orvex {

/// Reads the host window's title (at most 100 characters) into `title`; answers whether it
/// differs from what `title` held before.
bool GetHostWindowTitle(std::string& title);
/// The window of the document in front: the active document window of the host's MDI client
/// (each open document has one for as long as it is open); kNoWindow when no document is open.
win::Hwnd FrontDocumentWindow();
/// Whether a document window of the host shows the name (its file's name for a document that
/// has a file), in any letter case, as the host finds its files.
bool DocumentWindowShows(std::string_view name);
/// Brings a document window of the host to the front (WM_MDIACTIVATE to the MDI client), and with
/// it its document; false when the window is no document window of the host any more.
bool BringDocumentWindowToFront(win::Hwnd window);

}  // namespace orvex
