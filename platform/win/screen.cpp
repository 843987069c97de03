#include "platform/win/screen.h"

#include <algorithm>

#include "platform/win/desktop_state.h"

namespace win {
namespace detail {

std::vector<MonitorInfo> DefaultMonitors() {
    return {MonitorInfo{{0, 0, kDefaultScreenWidth, kDefaultScreenHeight},
                        {0, 0, kDefaultScreenWidth, kDefaultScreenHeight - kDefaultTaskBarHeight},
                        true}};
}

}  // namespace detail

std::vector<MonitorInfo> GetMonitors() {
    return detail::TheDesktop().monitors;
}

bool SetSimulatedMonitors(const std::vector<MonitorInfo>& monitors) {
    const auto primaries =
        std::count_if(monitors.begin(), monitors.end(), [](const MonitorInfo& m) { return m.primary; });
    const bool valid = primaries == 1 && std::all_of(monitors.begin(), monitors.end(), [](const MonitorInfo& m) {
                           const Rect& b = m.bounds;
                           const Rect& w = m.workArea;
                           return b.Width() > 0 && b.Height() > 0 && w.Width() > 0 && w.Height() > 0 &&
                                  w.left >= b.left && w.top >= b.top && w.right <= b.right && w.bottom <= b.bottom &&
                                  (!m.primary || (b.left == 0 && b.top == 0));
                       });
    if (!valid) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    std::vector<MonitorInfo> ordered = monitors;
    std::stable_partition(ordered.begin(), ordered.end(), [](const MonitorInfo& m) { return m.primary; });
    detail::TheDesktop().monitors = std::move(ordered);
    return true;
}

Rect GetVirtualScreen() {
    const auto& monitors = detail::TheDesktop().monitors;
    Rect all = monitors.front().bounds;
    for (const MonitorInfo& m : monitors) {
        all.left = std::min(all.left, m.bounds.left);
        all.top = std::min(all.top, m.bounds.top);
        all.right = std::max(all.right, m.bounds.right);
        all.bottom = std::max(all.bottom, m.bounds.bottom);
    }
    return all;
}

int32_t GetScreenPixelsPerInch() {
    return detail::TheDesktop().pixelsPerInch;
}

bool SetSimulatedPixelsPerInch(int32_t pixelsPerInch) {
    if (pixelsPerInch < 48 || pixelsPerInch > 480) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    detail::TheDesktop().pixelsPerInch = pixelsPerInch;
    return true;
}

}  // namespace win
