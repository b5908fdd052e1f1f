#include "core/Cylinder.h"

#include <gtest/gtest.h>

#include <cmath>

#include <vector>

using namespace larkspan;
using namespace larkspan::cylinder;

namespace {

constexpr Rgb green{0, 128, 0};
constexpr Rgb silver{192, 192, 192};
constexpr Rgb white{255, 255, 255};

ColorStyle RamStyle()
{
    ColorStyle style;
    style.colorFactor = 1.0f;  // as the monitor's gauges are designed
    return style;
}

struct Bitmap {
    explicit Bitmap(int w, int h) : bytes(static_cast<std::size_t>(w * h * 3)), rows{bytes.data(), w, h, w * 3} {}
    Rgb At(int x, int y) const
    {
        const std::uint8_t* p = rows.Pixel(x, y);
        return {p[2], p[1], p[0]};
    }
    std::vector<std::uint8_t> bytes;
    PixelRows rows;
};

}  // namespace

TEST(Cylinder, ChannelRatiosAreSingleFloats)
{
    const Ratios r = ChannelRatios(green, RamStyle());
    EXPECT_FLOAT_EQ(r.r, 0.25f);
    EXPECT_FLOAT_EQ(r.g, 0.62647057f);
    EXPECT_FLOAT_EQ(r.b, 0.25f);
}

TEST(Cylinder, WorkedExampleOfTheRamGauge)
{
    const Geometry g{126, 22, 1, 2};
    ASSERT_EQ(g.c(), 4);
    ASSERT_EQ(g.innerHeight(), 14);
    Shading s;
    s.background = white;
    s.foreStyle = RamStyle();
    s.backStyle = RamStyle();
    s.fore = ChannelRatios(green, s.foreStyle);
    s.foreLine = ChannelRatios({0, 0x80, 0x40}, s.foreStyle);
    s.back = ChannelRatios(silver, s.backStyle);
    s.level = ShadingLevel(Effect::Maximum);

    const Fill fill = ComputeFill(g, Orientation::Horizontal, 0, 100, 50);
    EXPECT_EQ(fill.length, 59);
    EXPECT_EQ(fill.end, 63);
    EXPECT_EQ(fill.percentage, 50);

    Bitmap b(126, 22);
    PaintCylinder(b.rows, g, Orientation::Horizontal, s, fill.end);
    EXPECT_EQ(b.At(20, 5), (Rgb{77, 193, 77}));
    EXPECT_EQ(b.At(20, 8), (Rgb{63, 159, 63}));  // the darkest row
    EXPECT_EQ(b.At(20, 16), (Rgb{99, 249, 99}));
    EXPECT_EQ(b.At(100, 8), (Rgb{207, 207, 207}));
    EXPECT_EQ(b.At(100, 5), (Rgb{251, 251, 251}));
    for (int y = 12; y <= 17; ++y)
        EXPECT_EQ(b.At(100, y), white) << y;  // clamped
    EXPECT_NE(b.At(63, 8), b.At(62, 8));  // the fore line
    EXPECT_EQ(b.At(2, 2), white);         // outside the cylinder: the control's Color
}

TEST(Cylinder, PercentagesRoundTiesToEvenAndTheFillKeepsALine)
{
    const Geometry g{126, 22, 1, 2};
    EXPECT_EQ(ComputeFill(g, Orientation::Horizontal, 0, 8, 1).percentage, 12);
    EXPECT_EQ(ComputeFill(g, Orientation::Horizontal, 0, 8, 3).percentage, 38);
    EXPECT_EQ(ComputeFill(g, Orientation::Horizontal, 0, 100, 0).end, 5);  // c + 1 at Min
    EXPECT_EQ(ComputeFill(g, Orientation::Horizontal, 0, 100, 100).end, 126 - 4);
    const Fill vertical = ComputeFill({22, 126, 1, 2}, Orientation::Vertical, 0, 100, 50);
    EXPECT_EQ(vertical.end, 126 - 4 - 59);
}

TEST(Cylinder, ValueTextAndLevels)
{
    EXPECT_EQ(ValueText(42, "%", "Done"), "42%");
    EXPECT_EQ(ValueText(100, "%", "Full Speed"), "Full Speed");
    EXPECT_EQ(ValueText(100, "%", ""), "100%");
    EXPECT_EQ(ShadingLevel(Effect::Flat), 1);
    EXPECT_EQ(ShadingLevel(Effect::Medium), 153);
    const BevelColors bevel = DerivedBevelColors({10, 100, 250});
    EXPECT_EQ(bevel.highlight, (Rgb{74, 164, 255}));
    EXPECT_EQ(bevel.dark, (Rgb{0, 36, 186}));
}

TEST(Cylinder, FlatEffectGivesEveryRowTheSameColour)
{
    const Geometry g{60, 22, 1, 2};
    Shading s;
    s.fore = ChannelRatios(green, s.foreStyle);
    s.foreLine = s.fore;
    s.back = ChannelRatios(silver, s.backStyle);
    s.level = ShadingLevel(Effect::Flat);
    Bitmap b(60, 22);
    PaintCylinder(b.rows, g, Orientation::Horizontal, s, 30);
    for (int y = 5; y <= 16; ++y)
        EXPECT_EQ(b.At(10, y), b.At(10, 5)) << y;
}

TEST(Cylinder, TermsBeyondAnyIntegerStillClampToTheirEnd)
{
    EXPECT_EQ(ChannelFromTerm(1e30), 255);  // beyond long: full, not 0
    EXPECT_EQ(ChannelFromTerm(-1e30), 0);
    EXPECT_EQ(ChannelFromTerm(254.9), 254);  // truncated toward zero
    EXPECT_EQ(ChannelFromTerm(std::nan("")), 0);
    EXPECT_EQ(LightOffset(12, 1e-30f), 1 << 30);
    EXPECT_EQ(LightOffset(12, -3.0f), -4);

    // A colour style with a vanishing intensity makes the ratios enormous:
    // the cylinder then reads white, not black.
    const Geometry g{60, 22, 1, 2};
    Shading s;
    s.foreStyle.intensity = 1e-30f;
    s.fore = ChannelRatios(green, s.foreStyle);
    s.foreLine = s.fore;
    s.back = ChannelRatios(silver, s.backStyle);
    Bitmap b(60, 22);
    PaintCylinder(b.rows, g, Orientation::Horizontal, s, 30);
    EXPECT_EQ(b.At(10, 8), (Rgb{255, 255, 255}));
}

TEST(Cylinder, TooSmallGaugesDrawOnlyTheirBackground)
{
    EXPECT_FALSE((Geometry{8, 22, 1, 2}.Valid()));
    EXPECT_FALSE((Geometry{0, 22, 1, 2}.Valid()));
    EXPECT_TRUE((Geometry{9, 9, 1, 2}.Valid()));
    Bitmap b(8, 8);
    Shading s;
    s.background = {1, 2, 3};
    PaintCylinder(b.rows, {8, 8, 1, 2}, Orientation::Horizontal, s, 5);
    EXPECT_EQ(b.At(4, 4), (Rgb{1, 2, 3}));
}
