// Fuzz target for the GIF decoder: any bytes decode to an image whose frames
// hold exactly their pixels, or to a GifError; nothing else escapes, and the
// limits hold.
#include "core/GifImage.h"

#include "FuzzTarget.h"

#include <cstdlib>

int FuzzGifImage(const std::uint8_t* data, std::size_t size)
{
    namespace gif = larkspan::gif;
    gif::Limits limits;
    limits.maxPixels = 1u << 20;  // small, so that the fuzzer meets the limit
    try {
        const gif::Image image = gif::Decode(std::span(data, size), limits);
        std::size_t pixels = 0;
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
    } catch (const gif::GifError&) {
    }
    return 0;
}

LARKSPAN_FUZZ_TARGET(FuzzGifImage)
