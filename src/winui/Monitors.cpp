#include "Monitors.h"

#include "Application.h"
#include "SettingsFile.h"
#include "core/Placement.h"

namespace winui {

namespace placement = larkspan::placement;

namespace {

placement::Box ToBox(const RECT& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, RECT*, LPARAM areas)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoA(monitor, &info))
        reinterpret_cast<std::vector<RECT>*>(areas)->push_back(info.rcWork);
    return TRUE;
}

RECT WindowAt(POINT position, SIZE size)
{
    return {position.x, position.y, position.x + size.cx, position.y + size.cy};
}

POINT Inside(const MonitorLayout& monitors, const RECT& window)
{
    const placement::Position inside = placement::Inside(ToBox(window), ToBox(monitors.NearestWorkArea(window)));
    return {inside.left, inside.top};
}

}  // namespace

std::vector<RECT> PlatformMonitors::WorkAreas() const
{
    std::vector<RECT> areas;
    ::EnumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&areas));
    return areas;
}

RECT PlatformMonitors::NearestWorkArea(const RECT& window) const
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoA(::MonitorFromRect(&window, MONITOR_DEFAULTTONEAREST), &info))
        return info.rcWork;
    RECT area{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

POINT ReachablePosition(const MonitorLayout& monitors, POINT stored, SIZE size)
{
    const RECT window = WindowAt(stored, size);
    std::vector<placement::Box> areas;
    for (const RECT& area : monitors.WorkAreas())
        areas.push_back(ToBox(area));
    return placement::Reachable(ToBox(window), areas) ? stored : Inside(monitors, window);
}

POINT InsideWorkArea(const MonitorLayout& monitors, POINT position, SIZE size)
{
    return Inside(monitors, WindowAt(position, size));
}

POINT WidgetPosition(const std::string& section, POINT fallback, SIZE size)
{
    const MonitorLayout& monitors = Application::Instance().Monitors();
    const POINT stored = SettingsFile::Larkspan().ReadPosition(section, InsideWorkArea(monitors, fallback, size));
    return ReachablePosition(monitors, stored, size);
}

}  // namespace winui
