#include "core/Placement.h"

#include <gtest/gtest.h>

#include <vector>

namespace placement = larkspan::placement;
using placement::Box;

namespace {

constexpr int monitorWidth = 182;
constexpr int monitorHeight = 191;

// Both defaults on one screen whose work area is the screen less a
// 40-pixel taskbar at the bottom.
struct Defaults {
    Box widget, monitor;
};

Defaults OnScreen(int width, int height)
{
    const Box widget = placement::TessalyDefault(width, height);
    const int left = larkspan::DefaultRightAlignedLeft(width, monitorWidth);
    const Box designed{left, monitorHeight + 25, left + monitorWidth, 2 * monitorHeight + 25};
    const int top = placement::MonitorDefaultTop(designed, widget, 0);
    return {widget, {left, top, left + monitorWidth, top + monitorHeight}};
}

bool Intersect(Box a, Box b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

TEST(Placement, DefaultsOfBothWidgetsDoNotOverlapOnCommonScreens)
{
    struct Case {
        int width, height, widgetTop, monitorTop;
    };
    // The monitor keeps its designed top 216 only where the widget starts
    // below its bottom (407); elsewhere it ends 10 pixels above the widget.
    for (const Case c : {Case{1024, 768, 255, 54}, Case{1366, 768, 255, 54}, Case{1920, 1080, 359, 158},
                         Case{2560, 1440, 479, 216}}) {
        const Defaults d = OnScreen(c.width, c.height);
        EXPECT_EQ(d.widget, (Box{c.width - 198, c.widgetTop, c.width - 20, c.widgetTop + 417})) << c.width;
        EXPECT_EQ(d.monitor.left, c.width - 202) << c.width;
        EXPECT_EQ(d.monitor.top, c.monitorTop) << c.width;
        EXPECT_FALSE(Intersect(d.widget, d.monitor)) << c.width;
    }
}

TEST(Placement, MonitorNeverMovesAboveTheWorkArea)
{
    // A low screen: the widget's top third leaves no room above it.
    const Box widget = placement::TessalyDefault(800, 480);
    EXPECT_EQ(placement::MonitorDefaultTop({598, 216, 780, 407}, widget, 0), 0);
    EXPECT_EQ(placement::MonitorDefaultTop({598, 216, 780, 407}, widget, 30), 30);
}

TEST(Placement, ReachableNeedsFortyPixelsSquareOnSomeWorkArea)
{
    // Two monitors: a primary 1366 x 768 (taskbar below) and one to its
    // left with negative coordinates.
    const std::vector<Box> areas{{0, 0, 1366, 728}, {-1920, -200, 0, 880}};
    const auto reachable = [&](int left, int top) {
        return placement::Reachable({left, top, left + 178, top + 417}, areas);
    };
    EXPECT_TRUE(reachable(1168, 255));
    EXPECT_TRUE(reachable(1366 - 40, 728 - 40));   // 40 x 40 in the corner
    EXPECT_FALSE(reachable(1366 - 39, 100));       // 39 wide
    EXPECT_FALSE(reachable(100, 728 - 39));        // under the taskbar but 39
    EXPECT_TRUE(reachable(-900, 100));             // on the left monitor
    EXPECT_TRUE(reachable(-100, 100));             // across both
    EXPECT_FALSE(reachable(3000, 1500));
    EXPECT_FALSE(reachable(-900, 2000));
    EXPECT_FALSE(reachable(-1920, -200 - 417 + 39));
    // A window smaller than 40 pixels needs all of itself shown.
    EXPECT_TRUE(placement::Reachable({1346, 0, 1366, 20}, areas));
    EXPECT_FALSE(placement::Reachable({1347, 0, 1367, 20}, areas));
    EXPECT_FALSE(placement::Reachable({0, 0, 100, 100}, std::vector<Box>{}));
}

TEST(Placement, InsideMovesTheLeastAndKeepsTheTopLeftOfLargeWindows)
{
    const Box area{0, 0, 1366, 728};
    EXPECT_EQ(placement::Inside({3000, 1500, 3178, 1917}, area), (placement::Position{1188, 311}));
    EXPECT_EQ(placement::Inside({-900, 2000, -718, 2191}, area), (placement::Position{0, 537}));
    EXPECT_EQ(placement::Inside({1168, 255, 1346, 672}, area), (placement::Position{1168, 255}));
    EXPECT_EQ(placement::Inside({-5000, -50, -4822, 367}, {-1920, -200, 0, 880}), (placement::Position{-1920, -50}));
    EXPECT_EQ(placement::Inside({500, 500, 2500, 1500}, area), (placement::Position{0, 0}));
}
