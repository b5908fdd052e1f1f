// Arithmetic of the cylinder gauge: shading ratios, geometry, the fill
// position and percentage, the value text, bevel colours and the shaded
// pixels of the cylinder area.
#pragma once

#include "Gradient.h"
#include "Smoothing.h"

#include <cstdint>
#include <string>

namespace larkspan::cylinder {

enum class Effect { Flat, UltraLow, Low, Medium, High, Maximum };
enum class Orientation { Horizontal, Vertical };

// The shading parameters of one part of the cylinder.
struct ColorStyle {
    int intensityRGB = 255;
    float intensity = 4.0f;
    float intensityFactor = -1.0f;
    int rangeRGB = 255;
    int colorRGB = 255;
    float colorFactor = -1.0f;
    float lightAngle = -3.0f;
    friend bool operator==(const ColorStyle&, const ColorStyle&) = default;
};

struct Ratios {
    float r, g, b;
};

// Per channel C: ((C x IntensityFactor + IntensityRGB) / Intensity + C) / RangeRGB,
// kept as a single float.
Ratios ChannelRatios(Rgb color, const ColorStyle& style);

constexpr std::uint8_t ClampByte(long value)
{
    return static_cast<std::uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
}

// A shading term as a channel: truncated toward zero and clamped to 0..255
// before the conversion, so that a term beyond any integer still reads 255
// (or 0), and a term that is not a number reads 0.
constexpr std::uint8_t ChannelFromTerm(double term)
{
    return term >= 255 ? 255 : term > 0 ? static_cast<std::uint8_t>(term) : 0;
}

// The row offset where the shading starts, extent / LightAngle truncated; an
// angle of 0 (an infinite quotient) saturates instead of overflowing.
int LightOffset(int extent, float lightAngle);

// 1, 51, 102, 153, 204 or 255 by depth.
int ShadingLevel(Effect effect);

// The rectangles of a gauge W x H: bevels inset by a, the cylinder area by c.
struct Geometry {
    int width = 0, height = 0;
    int bevelWidth = 1, borderWidth = 2;

    int a() const { return bevelWidth + borderWidth; }
    int c() const { return borderWidth + 2 * bevelWidth; }
    int innerWidth() const { return width - 2 * c(); }
    int innerHeight() const { return height - 2 * c(); }
    // The control has room for its bevels and a cylinder area.
    bool Valid() const;
};

// What the position shows: the percentage (rounded half to even) and the
// fill length F and fill end (a column, or a row counted from the bottom).
struct Fill {
    int percentage = 0;
    int length = 0;
    int end = 0;
    friend bool operator==(const Fill&, const Fill&) = default;
};
Fill ComputeFill(const Geometry& g, Orientation orientation, int min, int max, int position);

// The done text at 100 % when there is one, else the percentage and the suffix.
std::string ValueText(int percentage, const std::string& text, const std::string& textDone);

struct BevelColors {
    Rgb highlight, shadow, light, dark;
};
// A bevel colour that is not the button face: 64 lighter and 64 darker.
BevelColors DerivedBevelColors(Rgb bevel);

// Everything the shaded cylinder needs, precomputed by the gauge.
struct Shading {
    Rgb background;    // the control's Color
    Ratios fore, foreLine, back;
    ColorStyle foreStyle, backStyle;
    int level = 255;
};

// Fills `rows` (the control's size) with the background and shades the
// cylinder area line by line, fore part up to the fill end, the fore line at
// the fill end, the back part after it. Frames are drawn by the caller.
void PaintCylinder(const PixelRows& rows, const Geometry& g, Orientation orientation, const Shading& shading,
                   int fillEnd);

}  // namespace larkspan::cylinder
