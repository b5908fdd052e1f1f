// The monitors' work areas, and where a window stands so that it can be
// reached: a frameless widget without a taskbar button that stands off
// every monitor (one unplugged, a resolution lowered) could not be moved
// back by its user.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace winui {

// The work areas (screen less taskbars) of the monitors as the platform
// reports them; tests answer with a layout of their own.
class MonitorLayout {
public:
    virtual ~MonitorLayout() = default;
    virtual std::vector<RECT> WorkAreas() const = 0;
    // The work area of the monitor nearest to `window`.
    virtual RECT NearestWorkArea(const RECT& window) const = 0;
};

class PlatformMonitors final : public MonitorLayout {
public:
    std::vector<RECT> WorkAreas() const override;
    RECT NearestWorkArea(const RECT& window) const override;
};

// A stored position as it is where the window can be reached there (40 x 40
// pixels of it on some work area); otherwise the nearest position that
// shows the whole window in the work area of the nearest monitor.
POINT ReachablePosition(const MonitorLayout& monitors, POINT stored, SIZE size);

// A default position, moved wholly into the work area of its monitor where
// it lies partly outside (under a taskbar, say).
POINT InsideWorkArea(const MonitorLayout& monitors, POINT position, SIZE size);

// A widget's position as kept in the settings file under `section`, made
// reachable; the default, moved into its work area, where none is kept.
POINT WidgetPosition(const std::string& section, POINT fallback, SIZE size);

}  // namespace winui
