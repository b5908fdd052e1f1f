#include "RbPanel.h"

#include "core/Smoothing.h"
#include "winui/Painting.h"

#include <algorithm>

using namespace winui;

namespace {

larkspan::PixelRows RowsOf(const DibSection& dib)
{
    return {dib.Bits(), dib.Width(), dib.Height(), dib.Stride()};
}

UINT CaptionFormat(TRbCaptionPos position)
{
    switch (position) {
    case cpGroupBox:
    case cpTopLeft: return DT_LEFT | DT_TOP;
    case cpTopCenter: return DT_CENTER | DT_TOP;
    case cpTopRight: return DT_RIGHT | DT_TOP;
    case cpMiddleLeft: return DT_LEFT | DT_VCENTER;
    case cpMiddleCenter: return DT_CENTER | DT_VCENTER;
    case cpMiddleRight: return DT_RIGHT | DT_VCENTER;
    case cpBottomLeft: return DT_LEFT | DT_BOTTOM;
    case cpBottomCenter: return DT_CENTER | DT_BOTTOM;
    case cpBottomRight: return DT_RIGHT | DT_BOTTOM;
    }
    return DT_LEFT | DT_TOP;
}

}  // namespace

void TRbPanel::Create(HWND parent, const RbPanelDesign& design)
{
    design_ = design;
    textShadow_ = design.textShadow;
    showCaption_ = design.showCaption;
    if (design_.antialiased)
        design_.gradient = false;  // the two exclude each other
    font_ = CreateFontFrom(design_.font);
    // No CS_HREDRAW/CS_VREDRAW: a resize rebuilds the cache and repaints itself.
    CreateOwnWindow("Larkspan.RbPanel", CS_DBLCLKS, 0, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                    design_.bounds, parent, design_.caption.c_str());
    if (!cache_)
        BuildBackground();
}

void TRbPanel::Repaint()
{
    Invalidate();
}

void TRbPanel::SetCaption(const std::string& caption)
{
    design_.caption = caption;
    Repaint();
}

void TRbPanel::SetCornerWidth(int width)
{
    if (width < 0 || width == design_.cornerWidth)
        return;
    design_.cornerWidth = width;
    BuildBackground();
}

void TRbPanel::SetBorderWidth(int width)
{
    if (width <= 0 || width == design_.borderWidth)
        return;
    design_.borderWidth = width;
    BuildBackground();
}

void TRbPanel::SetBorderColor(COLORREF color)
{
    if (color == design_.borderColor)
        return;
    design_.borderColor = color;
    BuildBackground();
}

void TRbPanel::SetOuterColor(COLORREF color)
{
    if (color == design_.outerColor)
        return;
    design_.outerColor = color;
    BuildBackground();
}

void TRbPanel::SetTextShadowColor(COLORREF color)
{
    if (color == design_.textShadowColor)
        return;
    design_.textShadowColor = color;
    Repaint();
}

void TRbPanel::SetAntialiased(bool antialiased)
{
    if (antialiased == design_.antialiased)
        return;
    design_.antialiased = antialiased;
    if (antialiased)
        design_.gradient = false;  // a panel is either gradient-filled or smoothed
    BuildBackground();
}

void TRbPanel::SetGradient(bool gradient)
{
    if (design_.antialiased)
        gradient = false;
    if (gradient == design_.gradient)
        return;
    design_.gradient = gradient;
    BuildBackground();
}

// The gradient colours live in the cached background, which the next
// rebuild (a shape change or a resize) takes up; a change only repaints.
void TRbPanel::SetDefaultFrom(COLORREF color)
{
    if (color == design_.defaultFrom)
        return;
    design_.defaultFrom = color;
    Repaint();
}

void TRbPanel::SetDefaultTo(COLORREF color)
{
    if (color == design_.defaultTo)
        return;
    design_.defaultTo = color;
    Repaint();
}

void TRbPanel::SetGradientType(TGradientType type)
{
    if (type == design_.gradientType)
        return;
    design_.gradientType = type;
    BuildBackground();
}

void TRbPanel::SetColor(COLORREF color)
{
    if (color == design_.color)
        return;
    design_.color = color;
    BuildBackground();
}

RECT TRbPanel::AdjustClientRect() const
{
    RECT r{};
    ::GetClientRect(Handle(), &r);
    const int inset = design_.borderWidth + 1;
    if (design_.captionPosition != cpGroupBox) {
        ::InflateRect(&r, -inset, -inset);
        return r;
    }
    const int th = CaptionHeight();
    ::InflateRect(&r, -inset, -(th / 2 + 2));
    ::OffsetRect(&r, 0, th / 2 - 1);
    return r;
}

void TRbPanel::SetCaptionPosition(TRbCaptionPos position)
{
    if (position == design_.captionPosition)
        return;
    const bool groupBoxChange = position == cpGroupBox || design_.captionPosition == cpGroupBox;
    design_.captionPosition = position;
    if (groupBoxChange)
        BuildBackground();
    else
        Repaint();
}

int TRbPanel::CaptionHeight() const
{
    MemoryDc dc(::CreateCompatibleDC(nullptr));
    ScopedSelect font(dc.Get(), font_.Get());
    SIZE size{};
    ::GetTextExtentPoint32A(dc.Get(), design_.caption.c_str(), static_cast<int>(design_.caption.size()), &size);
    return size.cy;
}

void TRbPanel::BuildBackground()
{
    RECT client{};
    ::GetClientRect(Handle(), &client);
    DibSection cache(client.right, client.bottom);
    if (!cache)
        return;
    const int s = design_.antialiased ? 3 : 1;
    DibSection scaled;
    if (s > 1)
        scaled = DibSection(cache.Width() * s, cache.Height() * s);
    const DibSection& work = s > 1 ? scaled : cache;
    const int wb = work.Width();
    const int hb = work.Height();

    {
        MemoryDc dc(::CreateCompatibleDC(nullptr));
        ScopedSelect bitmap(dc.Get(), work.Get());
        BrushHandle outer(::CreateSolidBrush(ToRgbColor(design_.outerColor)));
        const RECT all{0, 0, wb, hb};
        ::FillRect(dc.Get(), &all, outer.Get());

        const int p = design_.borderWidth * s - 1;
        const int q = p / 2;
        const int y0 = design_.captionPosition == cpGroupBox ? CaptionHeight() * s / 2 + q : q;
        const int corner = design_.cornerWidth * s;
        PenHandle pen(::CreatePen(PS_SOLID, p, ToRgbColor(design_.borderColor)));
        BrushHandle fill(::CreateSolidBrush(ToRgbColor(design_.color)));
        HGDIOBJ brush = fill.Get();

        if (design_.gradient) {
            brush = ::GetStockObject(NULL_BRUSH);
            RegionHandle region(::CreateRoundRectRgn(q, y0, wb - q, hb - q, corner, corner));
            const larkspan::GradientRamp ramp(static_cast<larkspan::GradientType>(design_.gradientType),
                                              ResolveColor(design_.defaultFrom), ResolveColor(design_.defaultTo), {0, 0, wb, hb});
            ::GdiFlush();
            const larkspan::PixelRows rows = RowsOf(work);
            for (int y = 0; y < hb; ++y)
                for (int x = 0; x < wb; ++x)
                    if (::PtInRegion(region.Get(), x, y))
                        rows.Set(x, y, ramp.At(x, y));
        }
        ScopedSelect selectPen(dc.Get(), pen.Get());
        ScopedSelect selectBrush(dc.Get(), brush);
        ::RoundRect(dc.Get(), q, y0, wb - q, hb - q, corner, corner);
        ::GdiFlush();
    }
    if (s > 1)
        larkspan::SmoothEdges(RowsOf(scaled), RowsOf(cache), s, ResolveColor(design_.color), design_.cornerWidth + 20);

    cache_ = std::move(cache);
    ++buildCount_;
    Invalidate();
}

void TRbPanel::PaintTo(HDC dc)
{
    RECT client{};
    ::GetClientRect(Handle(), &client);
    if (cache_) {
        MemoryDc source(::CreateCompatibleDC(dc));
        ScopedSelect bitmap(source.Get(), cache_.Get());
        ::BitBlt(dc, 0, 0, client.right, client.bottom, source.Get(), 0, 0, SRCCOPY);
    }
    if (showCaption_)
        DrawCaption(dc);
}

void TRbPanel::Paint(HDC dc)
{
    RECT client{};
    ::GetClientRect(Handle(), &client);
    BufferedPaint buffer(dc, client);
    PaintTo(buffer.Dc());
}

void TRbPanel::DrawCaption(HDC dc)
{
    RECT client{};
    ::GetClientRect(Handle(), &client);
    const int bw = design_.borderWidth;
    const int cw = design_.cornerWidth;
    const int a = (cw + bw) / 2;
    RECT r{a, bw, client.right - a, client.bottom - bw};
    UINT format = CaptionFormat(design_.captionPosition) | DT_SINGLELINE | DT_END_ELLIPSIS;
    switch (design_.captionPosition) {
    case cpGroupBox:
        r.top -= bw;
        if (cw + bw < 2)
            r.left += 5;
        break;
    case cpMiddleLeft: r.left -= (cw - bw) / 2; break;
    case cpMiddleRight: r.right += (cw - bw) / 2; break;
    default: break;
    }

    ScopedSelect font(dc, font_.Get());
    const std::string& text = design_.caption;
    const int length = static_cast<int>(text.size());
    if (design_.captionPosition == cpGroupBox) {
        // The caption interrupts the top border.
        const int th = CaptionHeight();
        SIZE extent{};
        ::GetTextExtentPoint32A(dc, text.c_str(), length, &extent);
        BrushHandle outer(::CreateSolidBrush(ToRgbColor(design_.outerColor)));
        const RECT above{0, 0, r.right, th / 2 + r.top};
        const RECT gap{r.left, th / 2 + r.top, r.left + extent.cx, th / 2 + r.top + std::min(bw, th / 2)};
        ::FillRect(dc, &above, outer.Get());
        ::FillRect(dc, &gap, outer.Get());
    }
    DrawShadowedCaption(dc, font_.Get(), text, r, format, design_.font.color,
                        textShadow_ ? std::optional<COLORREF>(design_.textShadowColor) : std::nullopt,
                        ::IsWindowEnabled(Handle()) != FALSE);
}

LRESULT TRbPanel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        if (HandleAllocated())
            BuildBackground();
        return 0;
    default:
        break;
    }
    return TRbCustomControl::HandleMessage(message, wParam, lParam);
}
