// A flat speed button: transparent over its parent, a raised edge while the
// mouse is over it and a sunken one while pressed, with a caption or a glyph
// and an optional tooltip hint.
#pragma once

#include "Font.h"
#include "MouseTracker.h"
#include "PaintedWindow.h"

#include <functional>
#include <string>

namespace winui {

struct SpeedButtonDesign {
    Rect bounds;
    std::string caption;
    FontSpec font;
    // A bitmap resource; its bottom-left pixel colour is transparent.
    std::string glyphResource;
    // With both a glyph and a caption: the glyph left of the caption, this
    // many pixels between them, the two centred together.
    int spacing = 4;
    std::string hint;
    bool showHint = false;
    // A button that is not flat always shows its raised face.
    bool flat = true;
};

class SpeedButton final : public PaintedWindow {
public:
    void Create(HWND parent, const SpeedButtonDesign& design);
    const std::string& Caption() const noexcept { return design_.caption; }
    // Runs the click as if the user had clicked.
    void Click();

    std::function<void()> OnClick;

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc) override;
    void DrawFace(HDC dc, const RECT& r);

    SpeedButtonDesign design_;
    FontHandle font_;
    BitmapHandle glyph_;
    MouseTracker mouse_{EdgeRule::Inclusive};
};

}  // namespace winui
