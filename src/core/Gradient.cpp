#include "Gradient.h"

#include <cmath>
#include <cstdlib>

namespace larkspan {

namespace {

int Diagonal(const Box& b)
{
    const double w = b.right - b.left;
    const double h = b.bottom - b.top;
    return static_cast<int>(std::nearbyint(std::sqrt(w * w + h * h)));
}

int LengthOf(GradientType type, const Box& b)
{
    const int w = b.right - b.left;
    const int h = b.bottom - b.top;
    switch (type) {
    case GradientType::Horizontal: return w;
    case GradientType::Vertical: return h;
    case GradientType::FromTopLeft:
    case GradientType::FromTopRight: return Diagonal(b) - b.left;
    case GradientType::Radial: return (Diagonal(b) - b.left) / 2;
    case GradientType::DoubleHorz: return w / 2;
    case GradientType::DoubleVert: return h / 2;
    }
    return 0;
}

double Step(std::uint8_t from, std::uint8_t to, int length)
{
    const double step = length == 0 ? 0.0 : (static_cast<double>(to) - from) / length;
    return step > 255 ? 255 : step;
}

std::uint8_t Channel(double step, double distance, std::uint8_t from)
{
    // lrint rounds halves to the even neighbour in the default mode.
    const long value = std::lrint(step * distance + from);
    return static_cast<std::uint8_t>(value);  // stored as a byte
}

}  // namespace

GradientRamp::GradientRamp(GradientType type, Rgb from, Rgb to, const Box& box)
    : type_(type), from_(from), box_(box), length_(LengthOf(type, box)),
      step_{Step(from.r, to.r, length_), Step(from.g, to.g, length_), Step(from.b, to.b, length_)}
{
}

double GradientRamp::Distance(int x, int y) const
{
    const Box& b = box_;
    switch (type_) {
    case GradientType::Horizontal: return x - b.left;
    case GradientType::Vertical: return y - b.top;
    case GradientType::FromTopLeft: return std::hypot(double(x - b.left), double(y - b.top));
    case GradientType::FromTopRight: return std::hypot(double(b.right - x), double(y - b.top));
    case GradientType::Radial:
        return std::hypot(double((b.right - b.left) / 2 - x), double(y - (b.bottom - b.top) / 2));
    case GradientType::DoubleHorz: return std::abs(x - length_ - b.left);
    case GradientType::DoubleVert: return std::abs(y - length_ - b.top);
    }
    return 0;
}

Rgb GradientRamp::At(int x, int y) const
{
    const double d = Distance(x, y);
    return {Channel(step_[0], d, from_.r), Channel(step_[1], d, from_.g), Channel(step_[2], d, from_.b)};
}

std::uint8_t BlendChannel(std::uint8_t picture, std::uint8_t face, int level)
{
    const int v = level > 100 ? 100 : level;
    if (v <= 0)
        return picture;
    return static_cast<std::uint8_t>(std::lrint((100 - v) / 100.0 * picture + v / 100.0 * face));
}

}  // namespace larkspan
