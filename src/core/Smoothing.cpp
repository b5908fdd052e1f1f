#include "Smoothing.h"

namespace larkspan {

void SmoothEdges(const PixelRows& source, const PixelRows& destination, int s, Rgb inside, int a)
{
    if (a < 1)
        a = s;
    const int b = a / 2;
    const int w = destination.width;
    const int h = destination.height;
    const int area = s * s;
    for (int y = 0; y < h; ++y) {
        const bool edgeRow = y <= b || y >= h - b;
        for (int x = 0; x < w; ++x) {
            if (!edgeRow && x > b && x < w - b)
                continue;
            int sum[3] = {0, 0, 0};
            for (int dy = 0; dy < s; ++dy) {
                const std::uint8_t* p = source.Pixel(x * s, y * s + dy);
                for (int dx = 0; dx < s; ++dx, p += 3) {
                    sum[0] += p[0];
                    sum[1] += p[1];
                    sum[2] += p[2];
                }
            }
            std::uint8_t* q = destination.Pixel(x, y);
            q[0] = static_cast<std::uint8_t>(sum[0] / area);
            q[1] = static_cast<std::uint8_t>(sum[1] / area);
            q[2] = static_cast<std::uint8_t>(sum[2] / area);
        }
    }
    for (int y = b; y < h - b; ++y)
        for (int x = b; x < w - b; ++x) {
            std::uint8_t* q = destination.Pixel(x, y);
            q[0] = inside.b;
            q[1] = inside.g;
            q[2] = inside.r;
        }
}

}  // namespace larkspan
