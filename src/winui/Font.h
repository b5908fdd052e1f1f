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
    bool underline = false;
    bool strikeOut = false;
    BYTE charset = DEFAULT_CHARSET;
    COLORREF color = RGB(0, 0, 0);

    FontSpec& Face(std::string f) { face = std::move(f); return *this; }
    FontSpec& Height(int h) { height = h; return *this; }
    FontSpec& Bold(bool b = true) { bold = b; return *this; }
    FontSpec& Italic(bool i = true) { italic = i; return *this; }
    FontSpec& Underline(bool u = true) { underline = u; return *this; }
    FontSpec& StrikeOut(bool s = true) { strikeOut = s; return *this; }
    FontSpec& Charset(BYTE c) { charset = c; return *this; }
    FontSpec& Color(COLORREF c) { color = c; return *this; }
};

// The logical font of a spec: face, height, weight, italic, underline,
// strike-out and character set; escapement and orientation in tenths of a
// degree turn the text.
LOGFONTA LogFontFrom(const FontSpec& spec, int escapement = 0);
FontHandle CreateFontFrom(const FontSpec& spec);

}  // namespace winui
