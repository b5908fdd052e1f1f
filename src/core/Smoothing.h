// Edge smoothing of a background drawn at a multiple of its size.
#pragma once

#include "Gradient.h"

#include <cstddef>
#include <cstdint>

namespace larkspan {

// Every destination pixel within the band of b = a div 2 pixels along the
// edges (a below 1 counts as s) becomes the integer average of its s x s block
// of the source, which is s times the destination's size; the rest of the
// destination, (b, b, W - b, H - b), is filled with `inside`.
void SmoothEdges(const PixelRows& source, const PixelRows& destination, int s, Rgb inside, int a);

}  // namespace larkspan
