#include "core/host/host_window.h"

#include "core/host/host_info.h"
#include "platform/win/windows.h"

namespace orvex {

bool GetHostWindowTitle(std::string& title) {
    const std::string current = win::GetWindowText(TheHost.window).substr(0, 100);
    const bool changed = current != title;
    title = current;
    return changed;
}

}  // namespace orvex
