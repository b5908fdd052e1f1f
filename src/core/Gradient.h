// Pixel arithmetic of the panels' gradient fill.
#pragma once

#include "Pixels.h"

#include <cstdint>

namespace larkspan {

enum class GradientType { Horizontal, Vertical, FromTopLeft, FromTopRight, Radial, DoubleHorz, DoubleVert };

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The colours of one gradient over a box: a per-channel step (capped at 255)
// over the type's length, applied to each pixel's distance by type and
// rounded half to even. A double gradient has `from` on its middle line and
// `to` at both edges.
class GradientRamp {
public:
    GradientRamp(GradientType type, Rgb from, Rgb to, const Box& box);
    Rgb At(int x, int y) const;

private:
    double Distance(int x, int y) const;

    GradientType type_;
    Rgb from_;
    Box box_;
    int length_;
    double step_[3];
};

// One channel of a face blended over a picture at a level of 0 to 100 (more
// counts as 100): ((100 - v) / 100) * picture + (v / 100) * face, rounded
// to the nearest integer (halves to the even one).
std::uint8_t BlendChannel(std::uint8_t picture, std::uint8_t face, int level);

}  // namespace larkspan
