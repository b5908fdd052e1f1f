// Font descriptions as the window designs give them, and the GDI fonts made from them.
#pragma once

#include "Handles.h"

#include <string>

namespace winui {

struct FontSpec {
    std::string face = "MS Sans Serif";
    int height = -11;  // negative: character height in pixels
    bool bold = false;
    bool italic = false;
    COLORREF color = RGB(0, 0, 0);

    FontSpec& Face(std::string f) { face = std::move(f); return *this; }
    FontSpec& Height(int h) { height = h; return *this; }
    FontSpec& Bold(bool b = true) { bold = b; return *this; }
    FontSpec& Italic(bool i = true) { italic = i; return *this; }
    FontSpec& Color(COLORREF c) { color = c; return *this; }
};

FontHandle CreateFontFrom(const FontSpec& spec);

}  // namespace winui
