// The pictures of an animated GIF as they show: each frame composed over the
// frames before it by their disposal methods. Playing in order reuses the
// last composition; any other jump recomposes from the last frame before it
// that covers the whole screen.
#pragma once

#include "GifImage.h"

#include <optional>
#include <vector>

namespace larkspan::gif {

struct Picture {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;    // row by row from the top
    std::optional<Rgb> transparent;  // the colour that is to be left out, if any
};

class Composer {
public:
    // `windowColor` fills the screen where the image gives no transparent
    // colour. The image is read, not copied: it must outlive the composer.
    Composer(const Image& image, Rgb windowColor) : image_(image), windowColor_(windowColor) {}
    Composer(Image&&, Rgb) = delete;

    // Frame n (0 to the frame count - 1) composed.
    const Picture& Compose(int n);
    // Whether the last Compose started from the one before it.
    bool ReusedLast() const noexcept { return reused_; }

private:
    void Fill(const Frame& bounds, Rgb colour);
    void Draw(const Frame& frame);
    bool CoversScreen(const Frame& frame) const;

    const Image& image_;
    Rgb windowColor_;
    Picture picture_;
    Rgb brush_{};
    int cached_ = -1;
    bool reused_ = false;
};

// Draws `picture` scaled to the rectangle (x, y, w, h) of `target`, each
// target pixel taking the nearest picture pixel, clipped to the buffer; with
// `leaveOut` the picture's transparent colour is not drawn.
void DrawScaled(const Picture& picture, const PixelRows& target, int x, int y, int w, int h, bool leaveOut);

}  // namespace larkspan::gif
