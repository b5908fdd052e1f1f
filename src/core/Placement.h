// Where the widgets stand: their default positions on a first run, and the
// rules that keep a stored position reachable on the monitors of today.
#pragma once

#include <span>

namespace larkspan {

// Flush with the right screen edge less a 20-pixel margin.
constexpr int DefaultRightAlignedLeft(int screenWidth, int windowWidth)
{
    return screenWidth - windowWidth - 20;
}

// A third of the way down the screen; the factor is the stored decimal, so a
// 768-pixel screen gives 255, not 256.
constexpr int DefaultWidgetTop(int screenHeight)
{
    return static_cast<int>(screenHeight * 0.333333333333);
}

namespace placement {

// A rectangle in screen pixels, right and bottom exclusive.
struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const Box&, const Box&) = default;
};

struct Position {
    int left = 0, top = 0;
    friend bool operator==(const Position&, const Position&) = default;
};

// The widget's size and its default place on a screen of this size.
constexpr int tessalyWidth = 178;
constexpr int tessalyHeight = 417;
Box TessalyDefault(int screenWidth, int screenHeight);

// The monitor window's default top: its designed top (its height + 25)
// where that keeps it clear of the widget's default place on the same
// screen, otherwise just high enough to end 10 pixels above the widget,
// never above the work area's top.
int MonitorDefaultTop(Box monitorAtDesignedTop, Box widget, int workAreaTop);

// Whether some work area shows at least `least` x `least` pixels of the
// window (all of it, for a smaller window).
bool Reachable(Box window, std::span<const Box> workAreas, int least = 40);

// The nearest position that shows the whole window inside the work area
// (its top-left corner, where the window is larger than the area).
Position Inside(Box window, Box workArea);

}  // namespace placement
}  // namespace larkspan
