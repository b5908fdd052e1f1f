#include "Cylinder.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace larkspan::cylinder {

namespace {

float Ratio(int channel, const ColorStyle& s)
{
    const double c = channel;
    return static_cast<float>(((c * s.intensityFactor + s.intensityRGB) / s.intensity + c) / s.rangeRGB);
}

long RoundHalfEven(double value)
{
    return std::lrint(value);  // the default rounding mode rounds ties to even
}

void Put(const PixelRows& rows, int x, int y, double term, const Ratios& ratios)
{
    std::uint8_t* p = rows.Pixel(x, y);
    p[0] = ChannelFromTerm(term * ratios.b);
    p[1] = ChannelFromTerm(term * ratios.g);
    p[2] = ChannelFromTerm(term * ratios.r);
}

double RowTerm(int k, double step, const ColorStyle& style)
{
    return std::abs(k) * step * style.colorFactor + style.colorRGB;
}

}  // namespace

Ratios ChannelRatios(Rgb color, const ColorStyle& style)
{
    return {Ratio(color.r, style), Ratio(color.g, style), Ratio(color.b, style)};
}

int LightOffset(int extent, float lightAngle)
{
    const double offset = extent / static_cast<double>(lightAngle);
    // Far beyond any row count, yet small enough that counting up from it
    // row by row cannot overflow.
    constexpr double limit = 1 << 30;
    if (std::isnan(offset))
        return 0;
    return static_cast<int>(std::clamp(offset, -limit, limit));
}

int ShadingLevel(Effect effect)
{
    switch (effect) {
    case Effect::Flat: return 1;
    case Effect::UltraLow: return 51;
    case Effect::Low: return 102;
    case Effect::Medium: return 153;
    case Effect::High: return 204;
    case Effect::Maximum: return 255;
    }
    return 255;
}

bool Geometry::Valid() const
{
    if (width <= 0 || height <= 0)
        return false;
    if (width - 2 * a() <= 0 || height - 2 * a() <= 0)
        return false;
    return innerWidth() > 0 && innerHeight() > 0;
}

Fill ComputeFill(const Geometry& g, Orientation orientation, int min, int max, int position)
{
    const int e = position - min;
    const float r = 1.0f / static_cast<float>(max - min);
    Fill fill;
    fill.percentage = static_cast<int>(RoundHalfEven(static_cast<double>(e) / (max - min) * 100));
    const int c = g.c();
    const int size = orientation == Orientation::Horizontal ? g.width : g.height;
    fill.length = static_cast<int>(RoundHalfEven(static_cast<double>(size * e) * r) -
                                   RoundHalfEven(static_cast<double>(2 * c * e) * r));
    if (orientation == Orientation::Horizontal) {
        fill.end = c + fill.length;
        if (fill.end < c + 1)
            fill.end = c + 1;
    } else {
        fill.end = (g.height - c) - fill.length;
    }
    return fill;
}

std::string ValueText(int percentage, const std::string& text, const std::string& textDone)
{
    if (!textDone.empty() && percentage == 100)
        return textDone;
    return std::to_string(percentage) + text;
}

BevelColors DerivedBevelColors(Rgb bevel)
{
    auto shift = [](Rgb c, int by) {
        return Rgb{ClampByte(c.r + by), ClampByte(c.g + by), ClampByte(c.b + by)};
    };
    const Rgb lighter = shift(bevel, 64);
    const Rgb darker = shift(bevel, -64);
    return {lighter, darker, lighter, darker};
}

void PaintCylinder(const PixelRows& rows, const Geometry& g, Orientation orientation, const Shading& s, int fillEnd)
{
    for (int y = 0; y < rows.height; ++y)
        for (int x = 0; x < rows.width; ++x) {
            std::uint8_t* p = rows.Pixel(x, y);
            p[0] = s.background.b;
            p[1] = s.background.g;
            p[2] = s.background.r;
        }
    if (!g.Valid())
        return;
    const int c = g.c();
    const int w = g.innerWidth();
    const int h = g.innerHeight();
    if (orientation == Orientation::Horizontal) {
        const double step = s.level / h;  // integer division, held as a float
        int kF = LightOffset(h, s.foreStyle.lightAngle);
        int kB = LightOffset(h, s.backStyle.lightAngle);
        for (int y = c; y <= g.height - c - 1; ++y, ++kF, ++kB) {
            const double tF = RowTerm(kF, step, s.foreStyle);
            const double tB = RowTerm(kB, step, s.backStyle);
            for (int x = c; x <= fillEnd && x < g.width; ++x)
                Put(rows, x, y, tF, s.fore);
            if (fillEnd >= 0 && fillEnd < g.width)
                Put(rows, fillEnd, y, tF, s.foreLine);
            for (int x = fillEnd + 1; x <= g.width - c - 1; ++x)
                Put(rows, x, y, tB, s.back);
        }
    } else {
        const double step = s.level / w;
        int kF = LightOffset(w, s.foreStyle.lightAngle);
        int kB = LightOffset(w, s.backStyle.lightAngle);
        for (int x = c; x <= g.width - c - 1; ++x, ++kF, ++kB) {
            const double tF = RowTerm(kF, step, s.foreStyle);
            const double tB = RowTerm(kB, step, s.backStyle);
            for (int y = c; y <= fillEnd && y < g.height; ++y)
                Put(rows, x, y, tB, s.back);
            if (fillEnd >= 0 && fillEnd < g.height)
                Put(rows, x, fillEnd, tF, s.foreLine);
            for (int y = fillEnd + 1; y <= g.height - c - 1; ++y)
                Put(rows, x, y, tF, s.fore);
        }
    }
}

}  // namespace larkspan::cylinder
