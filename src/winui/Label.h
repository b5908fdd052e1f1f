// A transparent text label (the parent's background shows around the
// letters) and a bevelled separator line.
#pragma once

#include "Font.h"
#include "PaintedWindow.h"

#include <functional>
#include <string>

namespace winui {

enum class TextAlignment { Left, Center };

struct LabelDesign {
    Rect bounds;
    std::string caption;
    FontSpec font;
    TextAlignment alignment = TextAlignment::Left;
    // An auto-sized label grows and shrinks with its caption (one line);
    // a fixed-size one wraps its words inside its bounds.
    bool autoSize = true;
};

class Label final : public PaintedWindow {
public:
    void Create(HWND parent, const LabelDesign& design);
    const std::string& Caption() const noexcept { return design_.caption; }
    void SetCaption(const std::string& caption);
    COLORREF FontColor() const noexcept { return design_.font.color; }
    void SetFontColor(COLORREF color);
    // The font's size in points (at the screen's 96 pixels per inch).
    int FontSize() const noexcept;
    void SetFontSize(int points);
    const FontSpec& GetFont() const noexcept { return design_.font; }
    std::function<void()> OnDblClick;

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc) override;
    void FitToCaption();
    void ApplyCaption();

    static constexpr UINT captionChanged = WM_APP + 30;
    LabelDesign design_;
    FontHandle font_;
    bool updatePosted_ = false;
};

// A lowered line across its width, as a separator.
class BevelLine final : public PaintedWindow {
public:
    void Create(HWND parent, const Rect& bounds);

private:
    void Paint(HDC dc) override;
};

}  // namespace winui
