// The host's main window as the access layer sees it.
#pragma once

#include <string>

namespace orvex {

/// Reads the host window's title (at most 100 characters) into `title`; answers whether it
/// differs from what `title` held before.
bool GetHostWindowTitle(std::string& title);

}  // namespace orvex
