// The screen: the monitors of the desktop with their work areas (the part not covered by the
// task bar), and the screen's resolution in pixels per inch. The primary monitor's top-left
// corner is the origin of screen coordinates; other monitors lie around it.
#pragma once

#include <cstdint>
#include <vector>

namespace win {

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool operator==(const Rect&) const = default;
};

struct MonitorInfo {
    Rect bounds;
    Rect workArea;
    bool primary = false;
};

/// The desktop starts with one 1024 x 768 monitor whose task bar takes the lowest 30 pixels.
inline constexpr int32_t kDefaultScreenWidth = 1024;
inline constexpr int32_t kDefaultScreenHeight = 768;
inline constexpr int32_t kDefaultTaskBarHeight = 30;
inline constexpr int32_t kDefaultPixelsPerInch = 96;

/// The monitors, the primary one first.
std::vector<MonitorInfo> GetMonitors();
/// Replaces the monitors (tests of several monitors). Refused with ERROR_INVALID_PARAMETER
/// unless exactly one monitor is primary and lies at the origin, every monitor has a size, and
/// every work area lies inside its monitor.
bool SetSimulatedMonitors(const std::vector<MonitorInfo>& monitors);
/// The smallest rectangle that holds every monitor.
Rect GetVirtualScreen();

int32_t GetScreenPixelsPerInch();
/// Refused with ERROR_INVALID_PARAMETER outside 48..480.
bool SetSimulatedPixelsPerInch(int32_t pixelsPerInch);

}  // namespace win
