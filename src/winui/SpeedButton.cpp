#include "SpeedButton.h"

#include "Painting.h"

#include <commctrl.h>

namespace winui {

void SpeedButton::Create(HWND parent, const SpeedButtonDesign& design)
{
    design_ = design;
    font_ = CreateFontFrom(design.font);
    if (!design.glyphResource.empty())
        glyph_.Reset(static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(nullptr), design.glyphResource.c_str(),
                                                       IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    CreateOwnWindow("Larkspan.SpeedButton", CS_DBLCLKS, 0, WS_CHILD | WS_VISIBLE, design.bounds, parent,
                    design.caption.c_str());
    SetHint(design.hint);
    if (design.showHint && !design.hint.empty())
        AttachTooltip(Handle(), Hint());
}

void SpeedButton::Click()
{
    if (OnClick)
        OnClick();
}

LRESULT SpeedButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!MouseTracker::Reads(message))
        return PaintedWindow::HandleMessage(message, wParam, lParam);
    const MouseTracker::Changes changes = mouse_.Take(Handle(), message, lParam);
    if (changes.Any())
        Invalidate();
    if (changes.press == MouseTracker::Press::Clicked)
        Click();
    return message == WM_CAPTURECHANGED ? PaintedWindow::HandleMessage(message, wParam, lParam) : 0;
}

void SpeedButton::Paint(HDC dc)
{
    RECT r{};
    ::GetClientRect(Handle(), &r);
    BufferedPaint buffer(dc, r);
    PaintParentBackground(Handle(), buffer.Dc());
    DrawFace(buffer.Dc(), r);
}

void SpeedButton::DrawFace(HDC dc, const RECT& r)
{
    const bool hot = mouse_.Inside();
    const bool pressed = mouse_.Pressed();
    if (!design_.flat) {
        RECT face = r;
        ::DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed && hot ? DFCS_PUSHED : 0));
    } else if (pressed && hot) {
        RECT edge = r;
        ::DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
    } else if (hot || pressed) {
        RECT edge = r;
        ::DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
    }
    const int shift = pressed && hot ? 1 : 0;
    ScopedSelect font(dc, font_.Get());
    SIZE text{};
    const bool hasText = !design_.caption.empty();
    if (hasText)
        ::GetTextExtentPoint32A(dc, design_.caption.c_str(), static_cast<int>(design_.caption.size()), &text);
    int x = shift;
    if (glyph_) {
        BITMAP info{};
        ::GetObjectA(glyph_.Get(), sizeof info, &info);
        const int width = info.bmWidth + (hasText ? design_.spacing + text.cx : 0);
        x += (r.right - width) / 2;
        DrawTransparentBitmap(dc, glyph_.Get(), x, (r.bottom - info.bmHeight) / 2 + shift);
        x += info.bmWidth + design_.spacing;
    } else {
        x += (r.right - text.cx) / 2;
    }
    if (!hasText)
        return;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, design_.font.color);
    ::TextOutA(dc, x, (r.bottom - text.cy) / 2 + shift, design_.caption.c_str(),
               static_cast<int>(design_.caption.size()));
}

}  // namespace winui
