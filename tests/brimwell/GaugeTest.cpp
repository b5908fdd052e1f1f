// The cylinder gauge on a real window, its picture read back from its bitmap.
#include "brimwell/ProgressCyl.h"
#include "winui/Application.h"
#include "winui/Form.h"

#include <gtest/gtest.h>

using larkspan::Rgb;

namespace {

class GaugeForm final : public winui::Form {
public:
    GaugeForm() : Form(Design()) {}
    TProgressCyl gauge;

private:
    static winui::FormDesign Design()
    {
        winui::FormDesign d;
        d.clientWidth = 200;
        d.clientHeight = 200;
        return d;
    }
    void CreateComponents() override
    {
        // The memory gauge of the monitor window.
        gauge.SetBackColor(clSilver);
        gauge.SetBackBorderColor(clGray);
        gauge.BackStyle.Assign({255, 4, -1, 255, 255, 1, -3});
        gauge.ForeStyle.Assign({255, 4, -1, 255, 255, 1, -3});
        gauge.SetBevelInner(bvNone);
        gauge.SetBevelOuter(bvNone);
        gauge.SetColor(clWhite);
        gauge.SetFontEffect(feNone);
        gauge.SetForeColor(clGreen);
        gauge.SetForeLineColor(4227072);
        gauge.SetPosition(50);
        gauge.Create(Handle(), {10, 10, 126, 22});
    }
};

class GaugeTest : public ::testing::Test {
protected:
    void SetUp() override { app.CreateForm(form); }

    Rgb At(int x, int y) const
    {
        const winui::DibSection& b = form->gauge.Bitmap();
        const unsigned char* p = b.Bits() + y * b.Stride() + x * 3;
        return {p[2], p[1], p[0]};
    }

    winui::Application app;
    GaugeForm* form = nullptr;
};

}  // namespace

TEST_F(GaugeTest, WorkedExampleReadBackFromTheBitmap)
{
    form->gauge.SetShowText(false);  // keep the text off the sampled pixels
    EXPECT_EQ(At(20, 5), (Rgb{77, 193, 77}));
    EXPECT_EQ(At(20, 8), (Rgb{63, 159, 63}));
    EXPECT_EQ(At(20, 16), (Rgb{99, 249, 99}));
    EXPECT_EQ(At(100, 8), (Rgb{207, 207, 207}));
    EXPECT_EQ(At(100, 5), (Rgb{251, 251, 251}));
    EXPECT_EQ(At(100, 12), (Rgb{255, 255, 255}));
    // The fill ends at column 63 with the fore line.
    const larkspan::cylinder::Ratios line =
        larkspan::cylinder::ChannelRatios({0, 0x80, 0x40}, form->gauge.ForeStyle.Values());
    EXPECT_EQ(At(63, 8).g, static_cast<int>(255 * line.g));
    EXPECT_EQ(At(62, 8), (Rgb{63, 159, 63}));
    EXPECT_EQ(At(64, 8), (Rgb{207, 207, 207}));
    // The one-pixel frame in BackBorderColor, the control's Color outside it.
    EXPECT_EQ(At(4, 10), (Rgb{128, 128, 128}));
    EXPECT_EQ(At(121, 10), (Rgb{128, 128, 128}));
    EXPECT_EQ(At(2, 2), (Rgb{255, 255, 255}));
}

TEST_F(GaugeTest, PercentagesTextsAndTheDoneEvent)
{
    TProgressCyl& g = form->gauge;
    g.SetMax(8);
    g.SetPosition(1);
    EXPECT_EQ(g.ValueText(), "12%");
    g.SetPosition(3);
    EXPECT_EQ(g.ValueText(), "38%");
    int done = 0;
    g.OnProgressDone = [&] { ++done; };
    g.SetTextDone("Full Speed");
    g.SetPosition(8);
    EXPECT_EQ(g.ValueText(), "Full Speed");
    EXPECT_EQ(done, 1);
    const int paints = g.PaintCount();
    g.SetPosition(8);  // the drawn state does not change
    g.SetPosition(50);  // clamped to 8
    EXPECT_EQ(done, 1);
    EXPECT_EQ(g.PaintCount(), paints);
    g.SetTextDone("");
    EXPECT_EQ(g.ValueText(), "100%");
}

TEST_F(GaugeTest, MinAndMaxRefuseToCross)
{
    TProgressCyl& g = form->gauge;
    g.SetMax(0);  // equal to Min: raised to 1
    EXPECT_EQ(g.Max(), 1);
    EXPECT_EQ(g.Position(), 1);
    g.SetMax(-5);  // below Min: ignored
    EXPECT_EQ(g.Max(), 1);
    g.SetMax(100);
    g.SetMin(100);  // equal to Max: lowered to 99
    EXPECT_EQ(g.Min(), 99);
    EXPECT_EQ(g.Position(), 99);
    g.SetMin(200);  // above Max: ignored
    EXPECT_EQ(g.Min(), 99);
    g.SetPosition(-3);
    EXPECT_EQ(g.Position(), 99);
}

TEST_F(GaugeTest, BevelChangesThatLeaveNoCylinderAreAreUndone)
{
    TProgressCyl& g = form->gauge;
    g.SetBorderWidth(9);  // c = 11 leaves a height of 0
    EXPECT_EQ(g.BorderWidth(), 2);
    g.SetBevelWidth(5);
    EXPECT_EQ(g.BevelWidth(), 1);
    g.SetBorderWidth(3);
    EXPECT_EQ(g.BorderWidth(), 3);
}

TEST_F(GaugeTest, InvertedTextInvertsExactlyTheGlyphPixels)
{
    TProgressCyl& g = form->gauge;
    g.SetShowText(false);
    const winui::DibSection& bitmap = g.Bitmap();
    std::vector<unsigned char> plain(bitmap.Bits(), bitmap.Bits() + bitmap.Stride() * bitmap.Height());
    g.SetShowText(true);
    g.SetFontEffect(feInvert);
    int inverted = 0;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) {
            const unsigned char* before = plain.data() + y * bitmap.Stride() + x * 3;
            const unsigned char* after = bitmap.Bits() + y * bitmap.Stride() + x * 3;
            const bool same = std::equal(before, before + 3, after);
            const bool inverse = after[0] == 255 - before[0] && after[1] == 255 - before[1] &&
                                 after[2] == 255 - before[2];
            EXPECT_TRUE(same || inverse) << x << "," << y;
            inverted += same ? 0 : 1;
        }
    EXPECT_GT(inverted, 20);  // the glyphs of "50%"
    // Only the middle of the gauge carries text.
    EXPECT_EQ(At(8, 8), (Rgb{63, 159, 63}));
}

TEST_F(GaugeTest, ShadowEffectsOffsetTheShadow)
{
    TProgressCyl& g = form->gauge;
    g.SetFontShadowColor(RGB(255, 0, 0));
    g.SetFontEffect(feShadowBottomRight);
    auto redPixels = [&](int& minX, int& minY) {
        int count = 0;
        minX = minY = 1000;
        for (int y = 0; y < 22; ++y)
            for (int x = 0; x < 126; ++x)
                if (At(x, y) == Rgb{255, 0, 0}) {
                    ++count;
                    minX = std::min(minX, x);
                    minY = std::min(minY, y);
                }
        return count;
    };
    int brX = 0, brY = 0, tlX = 0, tlY = 0, nx = 0, ny = 0;
    EXPECT_GT(redPixels(brX, brY), 0);
    g.SetFontEffect(feShadowTopLeft);
    EXPECT_GT(redPixels(tlX, tlY), 0);
    EXPECT_EQ(brX - tlX, 2);
    EXPECT_EQ(brY - tlY, 2);
    g.SetFontEffect(feNone);
    EXPECT_EQ(redPixels(nx, ny), 0);
}

TEST_F(GaugeTest, PresetsAndOrientation)
{
    TProgressCyl& g = form->gauge;
    EXPECT_EQ(g.ProEffect(), peCustom);  // the design's own colours
    g.SetVisible(false);
    g.SetProEffect(peGlassRed);
    EXPECT_TRUE(::GetWindowLongA(g.Handle(), GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(g.ProEffect(), peGlassRed);
    EXPECT_EQ(g.ForeColor(), 0x0000CCu);
    EXPECT_EQ(g.ForeStyle.Values().intensity, 3.0f);
    EXPECT_EQ(g.FontEffect(), feNone);
    g.SetBackColor(clWhite);  // any look change makes it custom again
    EXPECT_EQ(g.ProEffect(), peCustom);
    g.SetProEffect(peStdBlue);
    EXPECT_EQ(g.FontEffect(), feInvert);
    EXPECT_EQ(g.BackColor(), 0x63301Du);
    g.SetPosition(30);  // position changes leave the preset alone
    EXPECT_EQ(g.ProEffect(), peStdBlue);

    g.SetOrientation(pbVertical);
    EXPECT_EQ(g.FontOrientation(), foBottomToTop);
    g.SetOrientation(pbHorizontal);
    EXPECT_EQ(g.FontOrientation(), foLeftToRight);
}

TEST_F(GaugeTest, VerticalGaugesFillFromTheBottomAndShadeByColumn)
{
    TProgressCyl& g = form->gauge;
    g.SetShowText(false);
    ::SetWindowPos(g.Handle(), nullptr, 0, 0, 22, 126, SWP_NOMOVE | SWP_NOZORDER);
    g.SetOrientation(pbVertical);
    // Fill end row (126 - 4) - 59 = 63: the back part above, the fore part below.
    EXPECT_EQ(At(8, 40), (Rgb{207, 207, 207}));
    EXPECT_EQ(At(8, 100), (Rgb{63, 159, 63}));
    EXPECT_EQ(At(5, 100), (Rgb{77, 193, 77}));  // shaded by column like rows of a horizontal gauge
    EXPECT_EQ(At(5, 40), (Rgb{251, 251, 251}));
}

TEST_F(GaugeTest, FlatEffectShadesEveryRowAlike)
{
    TProgressCyl& g = form->gauge;
    g.SetShowText(false);
    g.SetCylinderEffect(ceFlat);
    for (int y = 6; y <= 16; ++y)
        EXPECT_EQ(At(20, y), At(20, 5)) << y;
    EXPECT_EQ(g.ProEffect(), peCustom);
}
