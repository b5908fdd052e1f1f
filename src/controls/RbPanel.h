// The gradient panel: a container whose whole background (outer colour,
// fill or gradient, rounded border, smoothed edges) is kept in a cached
// 24-bit bitmap and rebuilt only when its shape changes; painting copies the
// cache and draws the caption.
#pragma once

#include "RbCustomControl.h"
#include "winui/Colors.h"

#include "core/Gradient.h"
#include "winui/Font.h"
#include "winui/Handles.h"
#include "winui/MouseTracker.h"
#include "winui/Painting.h"
#include "winui/PaintedWindow.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

enum TRbCaptionPos {
    cpGroupBox,
    cpTopLeft,
    cpTopCenter,
    cpTopRight,
    cpMiddleLeft,
    cpMiddleCenter,
    cpMiddleRight,
    cpBottomLeft,
    cpBottomCenter,
    cpBottomRight,
};

// Any colour may name a system colour (clBtnFace); the panel resolves it
// whenever it draws with it, as the GDI takes plain RGB values only.
struct RbPanelDesign {
    winui::Rect bounds{0, 0, 185, 105};
    std::string caption;
    TRbCaptionPos captionPosition = cpTopLeft;
    int cornerWidth = 10;
    int borderWidth = 2;
    COLORREF borderColor = clGray;
    COLORREF outerColor = clBtnFace;
    COLORREF textShadowColor = clWhite;
    bool antialiased = true;
    bool gradient = false;
    COLORREF defaultFrom = clWhite;
    COLORREF defaultTo = 14933983;
    TGradientType gradientType = gtVertical;
    COLORREF color = 14933983;
    bool showCaption = true;
    bool textShadow = true;
    winui::FontSpec font = winui::FontSpec().Color(13500416);
};

class TRbPanel : public TRbCustomControl {
public:
    void Create(HWND parent, const RbPanelDesign& design);
    // The panel's current settings, caption flags included.
    RbPanelDesign Design() const
    {
        RbPanelDesign current = design_;
        current.textShadow = TextShadow();
        current.showCaption = ShowCaption();
        return current;
    }

    // Setters follow one rule each: a change of shape rebuilds the cached
    // background, a change of caption or text colour only repaints, and
    // values the panel cannot take are refused silently.
    void SetCaption(const std::string& caption);
    void SetCaptionPosition(TRbCaptionPos position);
    void SetCornerWidth(int width);
    void SetBorderWidth(int width);
    void SetBorderColor(COLORREF color);
    void SetOuterColor(COLORREF color);
    void SetTextShadowColor(COLORREF color);
    void SetAntialiased(bool antialiased);
    void SetGradient(bool gradient);
    void SetDefaultFrom(COLORREF color);
    void SetDefaultTo(COLORREF color);
    void SetGradientType(TGradientType type);
    void SetColor(COLORREF color);

    // The area given to aligned children.
    RECT AdjustClientRect() const;

    // How often the cached background has been built (for tests and benchmarks).
    int BuildCount() const noexcept { return buildCount_; }
    // Renders the panel as it paints into any device context.
    void PaintTo(HDC dc);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc) override;
    void Rebuild() override { BuildBackground(); }

private:
    void BuildBackground();
    void Repaint();
    void DrawCaption(HDC dc);
    int CaptionHeight() const;

    RbPanelDesign design_;
    winui::FontHandle font_;
    winui::DibSection cache_;
    int buildCount_ = 0;
};
