// Arithmetic of the widget's owner-drawn lists and menus: the line colours
// of the gradient routine, the document-type icon of a name, and item sizes.
#pragma once

#include "Gradient.h"

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace larkspan {

// The runtime's math-error kind, raised for a gradient of fewer than two colours.
class EMathError : public std::domain_error {
public:
    using std::domain_error::domain_error;
};

struct GradientLine {
    int position;  // offset from the rectangle's left (horizontal) or top
    Rgb color;
};

// The one-pixel lines of a gradient through `stops` over `extent` pixels, in
// drawing order. Segments are extent / (stops - 1) long, rounded half to
// even; each runs its colour from one stop to the next, truncating, and a
// boundary line is drawn by both segments it ends and starts. Throws
// EMathError for fewer than two stops.
std::vector<GradientLine> GradientLines(int extent, std::span<const Rgb> stops);

// The ImageList1 index for a lower-case extension (with its dot).
int DocumentIconIndex(std::string_view lowerExtension);

// What a list item shows: the text without an exact lower-case ".lnk", its
// icon from the extension of that, and its file-name part as the caption.
struct ListItemLook {
    int iconIndex;
    std::string caption;
};
ListItemLook LookOfListItem(std::string_view item);

// The menu row size from the measured caption and hint: the wider of the two
// plus 8 and the 26-pixel icon gutter; both heights plus 13.
struct Size {
    int width, height;
};
constexpr Size MenuItemSize(Size caption, Size hint)
{
    return {(caption.width > hint.width ? caption.width : hint.width) + 8 + 26, caption.height + hint.height + 13};
}
constexpr Size separatorSize{10, 3};

}  // namespace larkspan
