// The monitor's small flat close button: a 10 x 9 "X" glyph recoloured by
// state, a raised frame under the mouse and a sunken one while pressed.
#pragma once

#include "winui/MouseTracker.h"
#include "winui/PaintedWindow.h"

#include <functional>
#include <vector>

enum TdxToolType { ttArrowLeft, ttArrowRight, ttClose, ttMaximize, ttMinimize, ttPopup, ttRestore };

class TdxToolButton final : public winui::PaintedWindow {
public:
    void Create(HWND parent, const winui::Rect& bounds, COLORREF color, const char* hint);
    bool MouseOver() const noexcept { return mouse_.Inside(); }
    bool Pressed() const noexcept { return mouse_.Pressed(); }
    // The glyph's colour in the current state.
    COLORREF GlyphColor() const;

    std::function<void()> OnClick;

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc) override;
    void LoadGlyph();

    COLORREF color_ = 0;
    std::vector<POINT> glyphInk_;  // the black pixels of the "CLOSE" bitmap
    int glyphWidth_ = 0, glyphHeight_ = 0;
    winui::MouseTracker mouse_{winui::EdgeRule::Inclusive};
};
