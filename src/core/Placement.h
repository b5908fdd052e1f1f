// Default window positions of both widgets on a first run.
#pragma once

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

}  // namespace larkspan
