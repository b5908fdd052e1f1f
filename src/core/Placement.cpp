#include "Placement.h"

#include <algorithm>

namespace larkspan::placement {

Box TessalyDefault(int screenWidth, int screenHeight)
{
    const int left = DefaultRightAlignedLeft(screenWidth, tessalyWidth);
    const int top = DefaultWidgetTop(screenHeight);
    return {left, top, left + tessalyWidth, top + tessalyHeight};
}

namespace {

bool Intersect(Box a, Box b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

int Overlap(int from, int to, int areaFrom, int areaTo)
{
    return std::max(0, std::min(to, areaTo) - std::max(from, areaFrom));
}

}  // namespace

int MonitorDefaultTop(Box monitor, Box widget, int workAreaTop)
{
    if (!Intersect(monitor, widget))
        return monitor.top;
    return std::max(workAreaTop, widget.top - 10 - monitor.Height());
}

bool Reachable(Box window, std::span<const Box> workAreas, int least)
{
    const int wide = std::min(least, window.Width());
    const int high = std::min(least, window.Height());
    return std::ranges::any_of(workAreas, [&](const Box& area) {
        return Overlap(window.left, window.right, area.left, area.right) >= wide &&
               Overlap(window.top, window.bottom, area.top, area.bottom) >= high;
    });
}

Position Inside(Box window, Box area)
{
    // Right and bottom edges first, so that a window larger than the area
    // keeps its top-left corner (and so its caption and close box) inside.
    const int left = std::max(area.left, std::min(window.left, area.right - window.Width()));
    const int top = std::max(area.top, std::min(window.top, area.bottom - window.Height()));
    return {left, top};
}

}  // namespace larkspan::placement
