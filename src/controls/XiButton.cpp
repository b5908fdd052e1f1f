#include "XiButton.h"

#include "winui/Colors.h"

#include "winui/Form.h"
#include "winui/Painting.h"

#include <cctype>

namespace xi = larkspan::xi;

TXiButton::TXiButton()
{
    xi::ApplyButtonScheme(TColorScheme::NeoDesert, colors_, gradient_);
    colors_[xi::Over + xi::Grad] = 16777215;
    colors_[xi::Down + xi::Grad] = 16777215;
    colors_[xi::Disabled + xi::Grad] = 16777215;
    gradient_ = false;
}

void TXiButton::Create(HWND parent, const XiButtonDesign& design)
{
    caption_ = design.caption;
    fontSpec_ = design.font;
    font_ = winui::CreateFontFrom(fontSpec_);
    modalResult_ = design.modalResult;
    cancel_ = design.cancel;
    CreateOwnWindow("Larkspan.XiButton", 0, 0, WS_CHILD | WS_VISIBLE | (design.tabStop ? WS_TABSTOP : 0),
                    design.bounds, parent, caption_.c_str());
    // A scheme in the design is applied last, over any single colour.
    if (design.colorScheme != TColorScheme::NeoDesert)
        SetColorScheme(design.colorScheme);
}

void TXiButton::SetByIndex(std::size_t index, COLORREF color)
{
    colors_.at(index) = color;
    scheme_ = TColorScheme::Custom;
    Invalidate();
}

void TXiButton::SetColorScheme(TColorScheme scheme)
{
    scheme_ = scheme;
    xi::ApplyButtonScheme(scheme, colors_, gradient_);
    Invalidate();
}

void TXiButton::SetGradient(bool gradient)
{
    gradient_ = gradient;
    Invalidate();
}

void TXiButton::SetCtl3D(bool ctl3D)
{
    ctl3D_ = ctl3D;
    Invalidate();
}

void TXiButton::SetLayout(TButtonLayout layout)
{
    layout_ = layout;
    Invalidate();
}

void TXiButton::SetSpacing(int spacing)
{
    spacing_ = spacing;
    Invalidate();
}

void TXiButton::SetGlyph(HBITMAP glyph)
{
    glyph_.Reset(glyph ? static_cast<HBITMAP>(::CopyImage(glyph, IMAGE_BITMAP, 0, 0, 0)) : nullptr);
    Invalidate();
}

void TXiButton::SetTransparentGlyph(bool transparent)
{
    transparentGlyph_ = transparent;
    Invalidate();
}

void TXiButton::SetCaption(const std::string& caption)
{
    caption_ = caption;
    ::SetWindowTextA(Handle(), caption.c_str());
    Invalidate();
}

void TXiButton::SetEnabled(bool enabled)
{
    ::EnableWindow(Handle(), enabled);
    Invalidate();
}

bool TXiButton::Enabled() const
{
    return ::IsWindowEnabled(Handle()) != FALSE;
}

void TXiButton::SetState(State state)
{
    state_ = state;
    Invalidate();
}

void TXiButton::Click()
{
    // A result of 0 leaves the form's as it is.
    if (modalResult_ != 0)
        if (auto* form = Window::FromHandleAs<winui::Form>(::GetAncestor(Handle(), GA_ROOT)))
            form->SetModalResult(modalResult_);
    SetState(State::Normal);
    if (OnClick)
        OnClick();
}

bool TXiButton::WantsDialogKey(WORD key)
{
    if (!((key == VK_RETURN && focused_) || (key == VK_ESCAPE && cancel_)))
        return false;
    Click();
    return true;
}

bool TXiButton::WantsDialogChar(char character)
{
    // "&&" stands for an ampersand; the first single "&" marks the mnemonic.
    std::size_t amp = caption_.find('&');
    while (amp != std::string::npos && amp + 1 < caption_.size() && caption_[amp + 1] == '&')
        amp = caption_.find('&', amp + 2);
    if (amp == std::string::npos || amp + 1 >= caption_.size())
        return false;
    const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
    if (lower(caption_[amp + 1]) != lower(character))
        return false;
    Click();
    return true;
}

void TXiButton::FollowMouse(const winui::MouseTracker::Changes& changes)
{
    using Press = winui::MouseTracker::Press;
    if (changes.hover == winui::MouseTracker::Change::Entered && hotTrack_)
        SetState(mouse_.Pressed() ? State::Down : State::Over);
    else if (changes.hover == winui::MouseTracker::Change::Left)
        SetState(State::Normal);
    switch (changes.press) {
    case Press::Began:
        if (::GetWindowLongA(Handle(), GWL_STYLE) & WS_TABSTOP)
            ::SetFocus(Handle());
        SetState(State::Down);
        break;
    case Press::Clicked:
        Click();
        // The click may have closed the window it stands on.
        if (Handle())
            SetState(hotTrack_ ? State::Over : State::Normal);
        break;
    case Press::Lost:
        // Not released: the press has ended all the same.
        SetState(mouse_.Inside() && hotTrack_ ? State::Over : State::Normal);
        break;
    case Press::ReleasedOutside:  // the last state stays
    case Press::None:
        break;
    }
}

LRESULT TXiButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (winui::MouseTracker::Reads(message)) {
        FollowMouse(mouse_.Take(Handle(), message, lParam));
        if (message != WM_MOUSEMOVE && message != WM_CAPTURECHANGED)
            return 0;
    }
    switch (message) {
    case WM_SETFOCUS:
        focused_ = true;
        Invalidate();
        break;
    case WM_KILLFOCUS:
        focused_ = false;
        SetState(State::Normal);
        break;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) {
            SetState(State::Down);
            return 0;
        }
        if (wParam == VK_RETURN) {
            Click();
            return 0;
        }
        break;
    case WM_KEYUP:
        if (wParam == VK_SPACE) {
            SetState(State::Normal);
            Click();
            return 0;
        }
        break;
    case WM_ENABLE:
        Invalidate();
        break;
    case WM_GETDLGCODE:
        return DLGC_BUTTON;
    default:
        break;
    }
    return PaintedWindow::HandleMessage(message, wParam, lParam);
}

void TXiButton::Paint(HDC dc)
{
    winui::BufferedPaint buffer(dc, Handle());
    const HDC canvas = buffer.Dc();
    const RECT& r = buffer.Area();
    const int w = r.right;
    const int h = r.bottom;

    const std::size_t set = !Enabled()                ? xi::Disabled
                            : state_ == State::Down ? xi::Down
                            : state_ == State::Over ? xi::Over
                                                    : xi::Normal;
    const auto color = [&](std::size_t slot) { return ToRgbColor(colors_[set + slot]); };

    winui::BrushHandle face(::CreateSolidBrush(color(xi::Face)));
    ::FillRect(canvas, &r, face.Get());
    if (gradient_) {
        for (int y = 0; y <= h; ++y) {
            winui::PenHandle pen(::CreatePen(PS_SOLID, 1, xi::RampColor(color(xi::Face), color(xi::Grad), y, h)));
            winui::ScopedSelect use(canvas, pen.Get());
            ::MoveToEx(canvas, 0, y, nullptr);
            ::LineTo(canvas, w, y);
        }
    }
    DrawGlyphAndCaption(canvas, w, h, color(xi::Text));

    {
        winui::PenHandle border(::CreatePen(PS_SOLID, 1, color(xi::Border)));
        winui::ScopedSelect pen(canvas, border.Get());
        winui::ScopedSelect brush(canvas, ::GetStockObject(NULL_BRUSH));
        ::Rectangle(canvas, 0, 0, w, h);
    }
    if (ctl3D_) {
        winui::PenHandle light(::CreatePen(PS_SOLID, 1, color(xi::Light)));
        {
            winui::ScopedSelect pen(canvas, light.Get());
            ::MoveToEx(canvas, 1, h - 2, nullptr);
            ::LineTo(canvas, 1, 1);
            ::LineTo(canvas, w - 1, 1);
        }
        winui::PenHandle dark(::CreatePen(PS_SOLID, 1, color(xi::Dark)));
        winui::ScopedSelect pen(canvas, dark.Get());
        ::MoveToEx(canvas, w - 2, 1, nullptr);
        ::LineTo(canvas, w - 2, h - 2);
        ::LineTo(canvas, 1, h - 2);
    }
}

void TXiButton::DrawGlyphAndCaption(HDC dc, int w, int h, COLORREF text)
{
    winui::ScopedSelect font(dc, font_.Get());
    ::SetTextColor(dc, text);
    ::SetBkMode(dc, TRANSPARENT);
    RECT extent{0, 0, 0, 0};
    if (!caption_.empty())
        ::DrawTextA(dc, caption_.c_str(), static_cast<int>(caption_.size()), &extent, DT_CALCRECT | DT_SINGLELINE);
    const int tw = extent.right;
    const int th = extent.bottom;
    int x = (w - tw) / 2;
    int y = (h - th) / 2;
    const int shift = state_ == State::Down ? 1 : 0;

    if (glyph_) {
        BITMAP info{};
        ::GetObjectA(glyph_.Get(), sizeof info, &info);
        const int gw = info.bmWidth;
        const int gh = info.bmHeight;
        const int gap = caption_.empty() ? 0 : spacing_;
        int gx = 0;
        int gy = 0;
        // Glyph and caption are centred together as a pair.
        switch (layout_) {
        case blGlyphLeft:
        case blGlyphRight: {
            const int left = (w - (gw + gap + tw)) / 2;
            gy = (h - gh) / 2;
            if (layout_ == blGlyphLeft) {
                gx = left;
                x = left + gw + gap;
            } else {
                x = left;
                gx = left + tw + gap;
            }
            break;
        }
        case blGlyphTop:
        case blGlyphBottom: {
            const int top = (h - (gh + gap + th)) / 2;
            gx = (w - gw) / 2;
            if (layout_ == blGlyphTop) {
                gy = top;
                y = top + gh + gap;
            } else {
                y = top;
                gy = top + th + gap;
            }
            break;
        }
        }
        winui::DrawTransparentBitmap(dc, glyph_.Get(), gx + shift, gy + shift,
                                     transparentGlyph_ ? winui::TransparentPixel::TopLeft
                                                       : winui::TransparentPixel::None);
    }
    if (caption_.empty())
        return;
    RECT box{x + shift, y + shift, x + shift + tw, y + shift + th};
    ::DrawTextA(dc, caption_.c_str(), static_cast<int>(caption_.size()), &box, DT_CENTER | DT_SINGLELINE | DT_NOCLIP);
}
