// Colours and 24-bit pixel rows, as the core's pixel arithmetic reads and
// writes them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace larkspan {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A view of 24-bit pixel rows in blue, green, red order, top row first.
struct PixelRows {
    std::uint8_t* bits = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;  // bytes from one row to the next

    std::uint8_t* Pixel(int x, int y) const { return bits + y * stride + x * 3; }
    void Set(int x, int y, Rgb c) const
    {
        std::uint8_t* p = Pixel(x, y);
        p[0] = c.b;
        p[1] = c.g;
        p[2] = c.r;
    }
};

}  // namespace larkspan
