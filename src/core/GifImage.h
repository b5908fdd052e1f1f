// GIF87a and GIF89a images decoded into palette indices: the logical screen,
// the global and local colour tables, each frame's LZW-coded pixels (rows put
// back in order when interlaced), the graphic control extension (delay,
// transparent index, disposal) and the looping application extension. A
// malformed file is an error (GifError), never a crash, and no allocation
// grows beyond what the limits allow.
#pragma once

#include "Pixels.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <vector>

namespace larkspan::gif {

enum class Disposal { None = 0, Keep = 1, Background = 2, Previous = 3 };

struct Frame {
    int left = 0, top = 0, width = 0, height = 0;
    int delayHundredths = 0;
    std::optional<int> transparentIndex;
    Disposal disposal = Disposal::None;
    bool interlaced = false;
    bool localPalette = false;
    std::vector<Rgb> palette;           // the frame's own, or the global one
    std::vector<std::uint8_t> indices;  // width * height, row by row from the top
};

struct Image {
    int width = 0, height = 0;  // the logical screen
    std::vector<Rgb> globalPalette;
    int backgroundIndex = 0;
    // From the looping application extension: 0 loops for ever.
    std::optional<int> loopCount;
    std::vector<Frame> frames;
};

class GifError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What one image may take: frames, and pixels over its logical screen and
// all its frames.
struct Limits {
    std::size_t maxFrames = 4096;
    std::size_t maxPixels = 64u * 1024 * 1024;
};

// Throws GifError for a file that is not a GIF, is cut short anywhere
// before its trailer's place, or breaks the format's rules or the limits.
// LZW data that ends (by its end code or its last sub-block) before its
// frame is full leaves the rest of the frame at index 0.
Image Decode(std::span<const std::uint8_t> bytes, const Limits& limits = {});

}  // namespace larkspan::gif
