// Fuzz target for the GIF decoder: any bytes decode to an image whose frames
// hold exactly their pixels, or to a GifError; nothing else escapes, and the
// limits hold. Decoded images are then composed, in order and after a jump,
// and drawn scaled into a small buffer.
#include "core/GifComposer.h"
#include "core/GifImage.h"

#include "FuzzTarget.h"

#include <cstdlib>

namespace {

void Compose(const larkspan::gif::Image& image)
{
    namespace gif = larkspan::gif;
    gif::Composer composer(image, larkspan::Rgb{255, 255, 255});
    const int count = static_cast<int>(image.frames.size());
    std::uint8_t bits[12 * 20 * 3] = {};
    const larkspan::PixelRows target{bits, 12, 20, 12 * 3};
    // A few frames in order, then a jump back from the last.
    for (int n : {0, 1, 2, count - 1, 1}) {
        if (n < 0 || n >= count)
            continue;
        const gif::Picture& picture = composer.Compose(n);
        if (picture.pixels.size() != static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height))
            std::abort();
        gif::DrawScaled(picture, target, -3, 2, 17, 7, true);
    }
}

}  // namespace

int FuzzGifImage(const std::uint8_t* data, std::size_t size)
{
    namespace gif = larkspan::gif;
    gif::Limits limits;
    limits.maxPixels = 1u << 20;  // small, so that the fuzzer meets the limit
    try {
        const gif::Image image = gif::Decode(std::span(data, size), limits);
        std::size_t pixels = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
        if (image.frames.empty() || image.frames.size() > limits.maxFrames)
            std::abort();
        for (const gif::Frame& frame : image.frames) {
            const std::size_t area = static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height);
            if (frame.indices.size() != area || static_cast<int>(frame.disposal) > 3)
                std::abort();
            pixels += area;
        }
        if (pixels > limits.maxPixels)
            std::abort();
        Compose(image);
    } catch (const gif::GifError&) {
    }
    return 0;
}

LARKSPAN_FUZZ_TARGET(FuzzGifImage)
