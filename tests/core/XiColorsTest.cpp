// The gradient button's and panel's colour schemes and their ramp.
#include "core/XiColors.h"

#include <gtest/gtest.h>

using namespace larkspan::xi;

TEST(XiColors, NeoSilverSetsEveryColourAndTheGradient)
{
    ButtonColors colors{};
    colors.fill(123);
    bool gradient = false;
    ApplyButtonScheme(Scheme::NeoSilver, colors, gradient);
    EXPECT_TRUE(gradient);
    const ButtonColors expected{15987699, 12369084, 10987431, 16250871, 6447714,  0,
                                15790320, 10921638, 10658466, 15658734, 7697781,  0,
                                13290186, 14342874, 15329769, 8158332,  5131854,  0,
                                15658734, 16777215, 13816530, 16777215, 8421504,  8421504,
                                11382189};
    EXPECT_EQ(colors, expected);
}

TEST(XiColors, PlainSchemesLeaveTheGradColoursAndCustomLeavesAll)
{
    ButtonColors colors{};
    colors.fill(123);
    bool gradient = true;
    ApplyButtonScheme(Scheme::Silver, colors, gradient);
    EXPECT_FALSE(gradient);
    EXPECT_EQ(colors[Normal + Face], 14737632u);
    EXPECT_EQ(colors[Over + Dark], 7960953u);
    EXPECT_EQ(colors[Down + Light], 8158332u);
    for (std::size_t set : {Normal, Over, Down, Disabled})
        EXPECT_EQ(colors[set + Grad], 123u);
    EXPECT_EQ(colors[Normal + Text], 123u);  // a plain scheme keeps the text colours
    EXPECT_EQ((std::array<Color, 6>{colors[18], colors[19], colors[20], colors[21], colors[22], colors[23]}),
              (std::array<Color, 6>{14869218, 123, 14211288, 15395562, 12895428, 8421504}));
    EXPECT_EQ(colors[focusRectIndex], 9079434u);

    const ButtonColors before = colors;
    ApplyButtonScheme(Scheme::Custom, colors, gradient);
    EXPECT_EQ(colors, before);
    EXPECT_FALSE(gradient);

    // Every other scheme is a full set of its own.
    for (Scheme scheme : {Scheme::NeoSky, Scheme::NeoGrass, Scheme::NeoRose, Scheme::NeoSun, Scheme::Desert,
                          Scheme::Grass, Scheme::Sky, Scheme::Sun, Scheme::Rose}) {
        ButtonColors other = before;
        ApplyButtonScheme(scheme, other, gradient);
        EXPECT_NE(other[Normal + Face], before[Normal + Face]);
        EXPECT_NE(other[Down + Border], other[Normal + Face]);
    }
}

TEST(XiColors, PanelSchemesAndTheRamp)
{
    PanelColors colors{1, 2, 3, 4};
    ApplyPanelScheme(PanelScheme::Custom, colors);
    EXPECT_EQ(colors.grad, 2u);
    ApplyPanelScheme(PanelScheme::Silver, colors);
    EXPECT_EQ(colors.face, 16777215u);
    EXPECT_EQ(colors.grad, 14344414u);
    EXPECT_EQ(colors.light, 8224125u);
    EXPECT_EQ(colors.dark, 6447714u);

    EXPECT_EQ(RampColor(16777215, 14344414, 0, 462), 16777215u);
    EXPECT_EQ(RampColor(16777215, 14344414, 462, 462), 14344414u);
    // Red 255 to 0 over 2 steps: 127.5 rounds to the even 128.
    EXPECT_EQ(RampColor(0x0000FF, 0, 1, 2) & 0xFF, 128u);
    // Red 255 to 0 over 4 steps: 191.25 and 63.75 round to the nearest.
    EXPECT_EQ(RampColor(0x0000FF, 0, 1, 4) & 0xFF, 191u);
    EXPECT_EQ(RampColor(0x0000FF, 0, 3, 4) & 0xFF, 64u);
}
