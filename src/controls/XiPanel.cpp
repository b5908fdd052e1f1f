#include "XiPanel.h"

#include "winui/Colors.h"

#include "winui/Painting.h"

#include <stdexcept>

namespace xi = larkspan::xi;

TXiPanel::TXiPanel()
{
    colors_.dark = 0;
    colors_.light = 12632256;
    xi::ApplyPanelScheme(TPanelColorScheme::Desert, colors_);
}

void TXiPanel::Create(HWND parent, const XiPanelDesign& design)
{
    design_ = design;
    font_ = winui::CreateFontFrom(design.font);
    scheme_ = design.colorScheme;
    xi::ApplyPanelScheme(scheme_, colors_);
    // Tab moves through the controls on the panel.
    CreateOwnWindow("Larkspan.XiPanel", 0, WS_EX_CONTROLPARENT, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, design.bounds, parent,
                    design.caption.c_str());
}

COLORREF TXiPanel::ColorByIndex(int index) const
{
    switch (index) {
    case 0: return colors_.face;
    case 1: return colors_.grad;
    case 2: return colors_.light;
    case 3: return colors_.dark;
    default: throw std::out_of_range("No panel colour " + std::to_string(index));
    }
}

void TXiPanel::SetByIndex(int index, COLORREF color)
{
    xi::Color* slots[] = {&colors_.face, &colors_.grad, &colors_.light, &colors_.dark};
    if (index < 0 || index > 3)
        throw std::out_of_range("No panel colour " + std::to_string(index));
    *slots[index] = color;
    Invalidate();
}

void TXiPanel::SetColorScheme(TPanelColorScheme scheme)
{
    scheme_ = scheme;
    xi::ApplyPanelScheme(scheme, colors_);
    Invalidate();
}

void TXiPanel::SetFillDirection(TFillDirection direction)
{
    design_.fillDirection = direction;
    Invalidate();
}

void TXiPanel::SetBevels(TBevelCut outer, TBevelCut inner, int width)
{
    design_.bevelOuter = outer;
    design_.bevelInner = inner;
    design_.bevelWidth = width;
    Invalidate();
}

void TXiPanel::Paint(HDC dc)
{
    winui::BufferedPaint buffer(dc, Handle());
    const HDC canvas = buffer.Dc();
    const RECT& r = buffer.Area();
    const int w = r.right;
    const int h = r.bottom;

    const COLORREF face = ToRgbColor(colors_.face);
    const COLORREF grad = ToRgbColor(colors_.grad);
    // The diagonal lines leave their end points out: the face shows there.
    winui::BrushHandle background(::CreateSolidBrush(face));
    ::FillRect(canvas, &r, background.Get());
    const int n = design_.fillDirection == fdHorizontal ? w : design_.fillDirection == fdVertical ? h : w + h;
    for (int i = 0; i <= n; ++i) {
        winui::PenHandle pen(::CreatePen(PS_SOLID, 1, xi::RampColor(face, grad, i, n)));
        winui::ScopedSelect use(canvas, pen.Get());
        switch (design_.fillDirection) {
        case fdHorizontal:
            ::MoveToEx(canvas, i, 0, nullptr);
            ::LineTo(canvas, i, h);
            break;
        case fdVertical:
            ::MoveToEx(canvas, 0, i, nullptr);
            ::LineTo(canvas, w, i);
            break;
        case fdDiagonal:
            ::MoveToEx(canvas, i, 0, nullptr);
            ::LineTo(canvas, 0, i);
            break;
        }
    }

    if (!design_.caption.empty()) {
        winui::ScopedSelect font(canvas, font_.Get());
        ::SetTextColor(canvas, design_.font.color);
        ::SetBkMode(canvas, TRANSPARENT);
        SIZE text{}, sample{};
        ::GetTextExtentPoint32A(canvas, design_.caption.c_str(), static_cast<int>(design_.caption.size()), &text);
        ::GetTextExtentPoint32A(canvas, "AaBbCcDd", 8, &sample);
        const int bevel = design_.bevelWidth;
        const bool both = design_.bevelInner != bvNone && design_.bevelOuter != bvNone;
        int x = (w - text.cx) / 2;
        if (design_.alignment == taLeftJustify)
            x = bevel + 2 + (both ? bevel : 0);
        else if (design_.alignment == taRightJustify)
            x = w - bevel - text.cx - 2 - (both ? bevel : 0);
        ::TextOutA(canvas, x, (h - sample.cy) / 2, design_.caption.c_str(), static_cast<int>(design_.caption.size()));
    }

    const int width = design_.bevelWidth;
    DrawFrames(canvas, 0, width, design_.bevelOuter, w, h);
    DrawFrames(canvas, design_.bevelOuter == bvNone ? 0 : width, width, design_.bevelInner, w, h);
}

void TXiPanel::DrawFrames(HDC dc, int first, int count, TBevelCut cut, int w, int h)
{
    if (cut == bvNone)
        return;
    const COLORREF topLeft = ToRgbColor(cut == bvLowered ? colors_.light : colors_.dark);
    const COLORREF bottomRight = ToRgbColor(cut == bvLowered ? colors_.dark : colors_.light);
    winui::PenHandle light(::CreatePen(PS_SOLID, 1, topLeft));
    winui::PenHandle dark(::CreatePen(PS_SOLID, 1, bottomRight));
    for (int k = first; k < first + count; ++k) {
        const int right = w - 1 - k;
        const int bottom = h - 1 - k;
        {
            winui::ScopedSelect pen(dc, light.Get());
            ::MoveToEx(dc, k, bottom, nullptr);  // the left edge from the bottom up, then the top
            ::LineTo(dc, k, k);
            ::LineTo(dc, right, k);
        }
        winui::ScopedSelect pen(dc, dark.Get());
        ::MoveToEx(dc, right, k, nullptr);  // the right edge down, then the bottom
        ::LineTo(dc, right, bottom);
        ::LineTo(dc, k - 1, bottom);
    }
}
