// The colour sets of the gradient button and the gradient panel, and the
// ramp both paint their gradients with. Colours are stored as the window
// designs store them: 0x00BBGGRR.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace larkspan::xi {

using Color = std::uint32_t;

enum class Scheme { NeoDesert, NeoSky, NeoGrass, NeoSilver, NeoRose, NeoSun, Desert, Grass, Sky, Sun, Rose, Silver, Custom };

// A button's 25 colours by index: Face, Grad, Dark, Light, Border and Text
// of the normal set (0-5), the over set (6-11), the down set (12-17) and the
// disabled set (18-23), then the focus rectangle (24).
inline constexpr std::size_t Face = 0, Grad = 1, Dark = 2, Light = 3, Border = 4, Text = 5;
inline constexpr std::size_t Normal = 0, Over = 6, Down = 12, Disabled = 18;
inline constexpr std::size_t focusRectIndex = 24;
inline constexpr std::size_t buttonColorCount = 25;
using ButtonColors = std::array<Color, buttonColorCount>;

// Loads a scheme: the Neo schemes set every colour (the text colours black,
// gradient on), the plain ones every colour but the Grad ones (gradient
// off); Custom changes nothing.
void ApplyButtonScheme(Scheme scheme, ButtonColors& colors, bool& gradient);

enum class PanelScheme { Custom, Desert, Grass, Silver, Sky, Rose, Sun };

struct PanelColors {
    Color face = 0, grad = 0, light = 0, dark = 0;
};

// Loads a panel scheme (face white); Custom changes nothing.
void ApplyPanelScheme(PanelScheme scheme, PanelColors& colors);

// Step i of n from `from` to `to`: per channel from + i * (to - from) / n,
// rounded to the nearest integer (halves to the even one).
Color RampColor(Color from, Color to, int i, int n);

}  // namespace larkspan::xi
