#include "Label.h"

#include "Painting.h"

namespace winui {

void Label::Create(HWND parent, const LabelDesign& design)
{
    design_ = design;
    font_ = CreateFontFrom(design.font);
    CreateOwnWindow("Larkspan.Label", CS_DBLCLKS, 0, WS_CHILD | WS_VISIBLE, design.bounds, parent, design.caption.c_str());
    FitToCaption();
}

void Label::FitToCaption()
{
    if (!design_.autoSize)
        return;
    WindowDc screen(Handle());
    ScopedSelect font(screen.Get(), font_.Get());
    RECT r{0, 0, 0, 0};
    ::DrawTextA(screen.Get(), design_.caption.c_str(), static_cast<int>(design_.caption.size()), &r,
                DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    const Rect bounds = Bounds();
    ::SetWindowPos(Handle(), nullptr, bounds.left, bounds.top, r.right, r.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
    // The old area shows the parent again.
    if (HWND parent = ::GetParent(Handle())) {
        RECT old{bounds.left, bounds.top, bounds.left + bounds.width, bounds.top + bounds.height};
        ::InvalidateRect(parent, &old, FALSE);
    }
}

void Label::SetCaption(const std::string& caption)
{
    if (caption == design_.caption)
        return;
    design_.caption = caption;
    // The window follows once the messages waiting before it have run: a
    // caption set hundreds of times a second (a transfer's progress) costs
    // one window update per turn of the message loop, not one per change.
    if (!updatePosted_ && Handle())
        updatePosted_ = ::PostMessageA(Handle(), captionChanged, 0, 0) != FALSE;
}

void Label::ApplyCaption()
{
    updatePosted_ = false;
    ::SetWindowTextA(Handle(), design_.caption.c_str());
    FitToCaption();
    Invalidate();
}

void Label::SetFontColor(COLORREF color)
{
    if (color == design_.font.color)
        return;
    design_.font.color = color;
    Invalidate();
}

int Label::FontSize() const noexcept
{
    return ::MulDiv(-design_.font.height, 72, 96);
}

void Label::SetFontSize(int points)
{
    const int height = -::MulDiv(points, 96, 72);
    if (height == design_.font.height)
        return;
    design_.font.height = height;
    font_ = CreateFontFrom(design_.font);
    FitToCaption();
    Invalidate();
}

void Label::Paint(HDC dc)
{
    RECT r{};
    ::GetClientRect(Handle(), &r);
    BufferedPaint buffer(dc, r);
    PaintParentBackground(Handle(), buffer.Dc());
    ScopedSelect font(buffer.Dc(), font_.Get());
    ::SetBkMode(buffer.Dc(), TRANSPARENT);
    ::SetTextColor(buffer.Dc(), design_.font.color);
    const UINT align = design_.alignment == TextAlignment::Center ? DT_CENTER : DT_LEFT;
    const UINT wrap = design_.autoSize ? DT_SINGLELINE : DT_WORDBREAK;
    ::DrawTextA(buffer.Dc(), design_.caption.c_str(), static_cast<int>(design_.caption.size()), &r,
                align | DT_TOP | wrap | DT_NOPREFIX);
}

LRESULT Label::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCHITTEST)
        return HTCLIENT;
    if (message == captionChanged) {
        ApplyCaption();
        return 0;
    }
    if (message == WM_LBUTTONDBLCLK && OnDblClick) {
        OnDblClick();
        return 0;
    }
    return PaintedWindow::HandleMessage(message, wParam, lParam);
}

void BevelLine::Create(HWND parent, const Rect& bounds)
{
    CreateOwnWindow("Larkspan.BevelLine", 0, 0, WS_CHILD | WS_VISIBLE, bounds, parent);
}

void BevelLine::Paint(HDC dc)
{
    RECT r{};
    ::GetClientRect(Handle(), &r);
    PaintParentBackground(Handle(), dc);
    const RECT top{0, 0, r.right, 1};
    const RECT bottom{0, 1, r.right, 2};
    ::FillRect(dc, &top, ::GetSysColorBrush(COLOR_BTNSHADOW));
    ::FillRect(dc, &bottom, ::GetSysColorBrush(COLOR_BTNHIGHLIGHT));
}

}  // namespace winui
