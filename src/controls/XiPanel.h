// The gradient panel: a two-colour gradient in one of three directions,
// bevel frames and a caption, composed off screen and copied in one step.
#pragma once

#include "core/XiColors.h"
#include "winui/Font.h"
#include "winui/PaintedWindow.h"

#include <string>

enum TFillDirection { fdHorizontal, fdVertical, fdDiagonal };
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

using TPanelColorScheme = larkspan::xi::PanelScheme;

struct XiPanelDesign {
    winui::Rect bounds{0, 0, 185, 41};
    std::string caption;
    winui::FontSpec font;
    TAlignment alignment = taCenter;
    TBevelCut bevelInner = bvNone;
    TBevelCut bevelOuter = bvRaised;
    int bevelWidth = 1;
    TPanelColorScheme colorScheme = TPanelColorScheme::Desert;
    TFillDirection fillDirection = fdVertical;
};

class TXiPanel final : public winui::PaintedWindow {
public:
    // As constructed: ColorDark 0, ColorLight 12632256, fdVertical, then csDesert.
    TXiPanel();
    void Create(HWND parent, const XiPanelDesign& design);

    // Index 0 Face, 1 Grad, 2 Light, 3 Dark; the scheme stays as it is.
    COLORREF ColorByIndex(int index) const;
    void SetByIndex(int index, COLORREF color);
    TPanelColorScheme ColorScheme() const noexcept { return scheme_; }
    void SetColorScheme(TPanelColorScheme scheme);
    TFillDirection FillDirection() const noexcept { return design_.fillDirection; }
    void SetFillDirection(TFillDirection direction);
    void SetBevels(TBevelCut outer, TBevelCut inner, int width);
    const std::string& Caption() const noexcept { return design_.caption; }

private:
    void Paint(HDC dc) override;
    void DrawFrames(HDC dc, int first, int count, TBevelCut cut, int w, int h);

    XiPanelDesign design_;
    larkspan::xi::PanelColors colors_{};
    TPanelColorScheme scheme_ = TPanelColorScheme::Desert;
    winui::FontHandle font_;
};
