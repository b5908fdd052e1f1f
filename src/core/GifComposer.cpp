#include "GifComposer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace larkspan::gif {

namespace {

std::optional<Rgb> TransparentColourOf(const Frame& frame)
{
    if (!frame.transparentIndex)
        return std::nullopt;
    const auto index = static_cast<std::size_t>(*frame.transparentIndex);
    return index < frame.palette.size() ? frame.palette[index] : Rgb{};
}

// The image is transparent when one of its frames is; its transparent
// colour is the first such frame's.
std::optional<Rgb> TransparentColourOf(const Image& image)
{
    for (const Frame& frame : image.frames)
        if (frame.transparentIndex)
            return TransparentColourOf(frame);
    return std::nullopt;
}

}  // namespace

bool Composer::CoversScreen(const Frame& frame) const
{
    return frame.left <= 0 && frame.top <= 0 && frame.left + frame.width >= image_.width &&
           frame.top + frame.height >= image_.height;
}

void Composer::Fill(const Frame& bounds, Rgb colour)
{
    for (int y = std::max(bounds.top, 0); y < std::min(bounds.top + bounds.height, picture_.height); ++y)
        for (int x = std::max(bounds.left, 0); x < std::min(bounds.left + bounds.width, picture_.width); ++x)
            picture_.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(picture_.width) +
                            static_cast<std::size_t>(x)] = colour;
}

void Composer::Draw(const Frame& frame)
{
    for (int y = 0; y < frame.height; ++y) {
        const int sy = frame.top + y;
        if (sy < 0 || sy >= picture_.height)
            continue;
        for (int x = 0; x < frame.width; ++x) {
            const int sx = frame.left + x;
            if (sx < 0 || sx >= picture_.width)
                continue;
            const int index =
                frame.indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(frame.width) + static_cast<std::size_t>(x)];
            if (frame.transparentIndex && *frame.transparentIndex == index)
                continue;
            picture_.pixels[static_cast<std::size_t>(sy) * static_cast<std::size_t>(picture_.width) +
                            static_cast<std::size_t>(sx)] =
                static_cast<std::size_t>(index) < frame.palette.size() ? frame.palette[static_cast<std::size_t>(index)]
                                                                        : Rgb{};
        }
    }
}

const Picture& Composer::Compose(int n)
{
    const auto& frames = image_.frames;
    if (n < 0 || static_cast<std::size_t>(n) >= frames.size())
        throw GifError("No frame " + std::to_string(n));
    reused_ = cached_ == n - 1 && n > 0 && frames[static_cast<std::size_t>(n - 1)].disposal != Disposal::Previous;
    if (reused_) {
        const Frame& before = frames[static_cast<std::size_t>(n - 1)];
        if (before.disposal == Disposal::Background)
            Fill(before, brush_);
    } else {
        const Frame& current = frames[static_cast<std::size_t>(n)];
        const std::optional<Rgb> own = TransparentColourOf(current);
        const std::optional<Rgb> image = TransparentColourOf(image_);
        picture_.transparent = own ? own : image;
        brush_ = picture_.transparent.value_or(windowColor_);
        picture_.width = image_.width;
        picture_.height = image_.height;
        picture_.pixels.assign(static_cast<std::size_t>(image_.width) * static_cast<std::size_t>(image_.height),
                               brush_);
        // The last frame before n that covers the screen and hides what lies
        // under it, or clears itself away.
        int start = 0;
        for (int k = n; k >= 0; --k) {
            const Frame& f = frames[static_cast<std::size_t>(k)];
            if (CoversScreen(f) && (!f.transparentIndex || (f.disposal == Disposal::Background && k < n))) {
                start = k;
                break;
            }
        }
        for (int k = start; k < n; ++k) {
            const Frame& f = frames[static_cast<std::size_t>(k)];
            if (f.disposal == Disposal::None || f.disposal == Disposal::Keep)
                Draw(f);
            else if (f.disposal == Disposal::Background && k > start)
                Fill(f, brush_);
        }
    }
    Draw(frames[static_cast<std::size_t>(n)]);
    cached_ = n;
    return picture_;
}

void DrawScaled(const Picture& picture, const PixelRows& target, int x, int y, int w, int h, bool leaveOut)
{
    if (w <= 0 || h <= 0 || picture.width <= 0 || picture.height <= 0)
        return;
    const bool keyed = leaveOut && picture.transparent.has_value();
    for (int ty = std::max(y, 0); ty < std::min(y + h, target.height); ++ty) {
        const auto sy = static_cast<std::size_t>(static_cast<std::int64_t>(ty - y) * picture.height / h);
        for (int tx = std::max(x, 0); tx < std::min(x + w, target.width); ++tx) {
            const auto sx = static_cast<std::size_t>(static_cast<std::int64_t>(tx - x) * picture.width / w);
            const Rgb c = picture.pixels[sy * static_cast<std::size_t>(picture.width) + sx];
            if (!keyed || c != *picture.transparent)
                target.Set(tx, ty, c);
        }
    }
}

}  // namespace larkspan::gif
