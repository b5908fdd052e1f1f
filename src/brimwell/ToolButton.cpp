#include "ToolButton.h"

#include "winui/Handles.h"
#include "winui/Painting.h"

#include <commctrl.h>

using namespace winui;

void TdxToolButton::Create(HWND parent, const Rect& bounds, COLORREF color, const char* hint)
{
    color_ = color;
    LoadGlyph();
    CreateOwnWindow("Larkspan.ToolButton", 0, 0, WS_CHILD | WS_VISIBLE, bounds, parent);
    ::SetClassLongPtrA(Handle(), GCLP_HCURSOR,
                       reinterpret_cast<LONG_PTR>(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND))));
    SetHint(hint);
    AttachTooltip(Handle(), Hint());
}

// The glyph is the bitmap resource named after the tool type; its black
// pixels are the ink, the silver ones transparent.
void TdxToolButton::LoadGlyph()
{
    BitmapHandle glyph(static_cast<HBITMAP>(
        ::LoadImageA(::GetModuleHandleA(nullptr), "CLOSE", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!glyph)
        return;
    BITMAP info{};
    ::GetObjectA(glyph.Get(), sizeof info, &info);
    glyphWidth_ = info.bmWidth;
    glyphHeight_ = info.bmHeight;
    MemoryDc dc(::CreateCompatibleDC(nullptr));
    ScopedSelect select(dc.Get(), glyph.Get());
    for (int y = 0; y < glyphHeight_; ++y)
        for (int x = 0; x < glyphWidth_; ++x)
            if (::GetPixel(dc.Get(), x, y) == RGB(0, 0, 0))
                glyphInk_.push_back({x, y});
}

COLORREF TdxToolButton::GlyphColor() const
{
    if (!::IsWindowEnabled(Handle()))
        return RGB(0x80, 0x80, 0x80);
    if (Pressed() && MouseOver())
        return RGB(255, 255, 255);
    return color_;
}

void TdxToolButton::Paint(HDC target)
{
    RECT r{};
    ::GetClientRect(Handle(), &r);
    BufferedPaint buffer(target, r);
    const HDC dc = buffer.Dc();
    PaintParentBackground(Handle(), dc);
    auto frame = [&](COLORREF topLeft, COLORREF bottomRight) {
        BrushHandle light(::CreateSolidBrush(topLeft));
        BrushHandle dark(::CreateSolidBrush(bottomRight));
        const RECT left{0, 0, 1, r.bottom}, top{0, 0, r.right, 1};
        const RECT right{r.right - 1, 0, r.right, r.bottom}, bottom{0, r.bottom - 1, r.right, r.bottom};
        ::FillRect(dc, &left, light.Get());
        ::FillRect(dc, &top, light.Get());
        ::FillRect(dc, &right, dark.Get());
        ::FillRect(dc, &bottom, dark.Get());
    };
    const COLORREF white = RGB(255, 255, 255), black = RGB(0, 0, 0);
    if (MouseOver())
        Pressed() ? frame(black, white) : frame(white, black);
    else if (Pressed())
        frame(white, black);

    const int shift = Pressed() ? 1 : 0;
    const int x0 = (r.right - glyphWidth_) / 2 + shift;
    const int y0 = (r.bottom - glyphHeight_) / 2 + shift;
    const COLORREF ink = GlyphColor();
    for (const POINT& p : glyphInk_)
        ::SetPixelV(dc, x0 + p.x, y0 + p.y, ink);
}

LRESULT TdxToolButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!MouseTracker::Reads(message))
        return PaintedWindow::HandleMessage(message, wParam, lParam);
    const MouseTracker::Changes changes = mouse_.Take(Handle(), message, lParam);
    if (changes.Any())
        Invalidate();
    if (changes.press == MouseTracker::Press::Clicked && OnClick)
        OnClick();
    return 0;
}
