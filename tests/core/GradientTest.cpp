#include "core/Gradient.h"
#include "core/Smoothing.h"

#include <gtest/gtest.h>

#include <vector>

using namespace larkspan;

TEST(Gradient, DoubleVerticalHasFromInTheMiddleAndToAtTheEdges)
{
    const Rgb from{0x10, 0x84, 0xD0};
    const Rgb to{0x71, 0xB8, 0xFF};
    const GradientRamp ramp(GradientType::DoubleVert, from, to, {0, 0, 178, 30});
    EXPECT_EQ(ramp.At(50, 15), from);
    EXPECT_EQ(ramp.At(50, 0), to);
    // Row 29 is 14 lines from the middle: one step short of `to`.
    const Rgb row29 = ramp.At(0, 29);
    EXPECT_EQ(row29.r, 107);  // 16 + 97 / 15 * 14 = 106.53
}

TEST(Gradient, ChannelsRoundHalfToEven)
{
    // Step 1/2 per pixel: 0.5 rounds to 0, 1.5 to 2, 2.5 to 2.
    const GradientRamp ramp(GradientType::Horizontal, {0, 0, 0}, {2, 2, 2}, {0, 0, 4, 1});
    EXPECT_EQ(ramp.At(1, 0).r, 0);
    EXPECT_EQ(ramp.At(3, 0).r, 2);
    const GradientRamp wide(GradientType::Horizontal, {0, 0, 0}, {5, 5, 5}, {0, 0, 10, 1});
    EXPECT_EQ(wide.At(5, 0).r, 2);
}

TEST(Smoothing, EdgesAverageTheirBlocksAndTheInsideIsSolid)
{
    const int w = 20, h = 12, s = 3;
    std::vector<std::uint8_t> source(static_cast<std::size_t>(w * s * h * s * 3));
    for (std::size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<std::uint8_t>(i * 7 % 251);
    std::vector<std::uint8_t> destination(static_cast<std::size_t>(w * h * 3), 1);
    const PixelRows src{source.data(), w * s, h * s, w * s * 3};
    const PixelRows dst{destination.data(), w, h, w * 3};
    SmoothEdges(src, dst, s, {10, 20, 30}, 4);  // band b = 2

    auto average = [&](int x, int y, int channel) {
        int sum = 0;
        for (int dy = 0; dy < s; ++dy)
            for (int dx = 0; dx < s; ++dx)
                sum += src.Pixel(x * s + dx, y * s + dy)[channel];
        return sum / (s * s);
    };
    for (auto [x, y] : {std::pair{0, 0}, {1, 1}, {19, 11}, {0, 6}, {18, 5}, {10, 10}})
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(dst.Pixel(x, y)[c], average(x, y, c)) << x << "," << y;
    // (b, b) to (W - b, H - b), exclusive, is the solid colour in B, G, R order.
    for (auto [x, y] : {std::pair{2, 2}, {17, 9}, {10, 5}}) {
        EXPECT_EQ(dst.Pixel(x, y)[0], 30);
        EXPECT_EQ(dst.Pixel(x, y)[1], 20);
        EXPECT_EQ(dst.Pixel(x, y)[2], 10);
    }
}

TEST(Blend, LevelsBlendByTheirShareAndClamp)
{
    EXPECT_EQ(larkspan::BlendChannel(200, 100, 0), 200);
    EXPECT_EQ(larkspan::BlendChannel(200, 100, -5), 200);
    EXPECT_EQ(larkspan::BlendChannel(200, 100, 100), 100);
    EXPECT_EQ(larkspan::BlendChannel(200, 100, 150), 100);
    EXPECT_EQ(larkspan::BlendChannel(200, 100, 10), 190);
    EXPECT_EQ(larkspan::BlendChannel(0, 255, 20), 51);
    // Halves go to the even neighbour: 0.5 to 0, 1.5 to 2.
    EXPECT_EQ(larkspan::BlendChannel(1, 0, 50), 0);
    EXPECT_EQ(larkspan::BlendChannel(3, 0, 50), 2);
}
