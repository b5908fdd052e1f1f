#include "ProgressCyl.h"
#include "ProgressCylPresets.h"

#include "winui/Handles.h"
#include "winui/MouseTracker.h"

#include <vector>

using larkspan::Rgb;
using winui::ScopedSelect;
namespace cyl = larkspan::cylinder;

// ---- TPCColorStyle -----------------------------------------------------------

void TPCColorStyle::Changed()
{
    owner_.MarkCustom();
    owner_.UpdateColors();
}

void TPCColorStyle::SetIntensityRGB(int value)
{
    if (value == values_.intensityRGB)
        return;
    values_.intensityRGB = value;
    Changed();
}

void TPCColorStyle::SetIntensity(float value)
{
    if (value == values_.intensity || value == 0)
        return;
    values_.intensity = value;
    Changed();
}

void TPCColorStyle::SetIntensityFactor(float value)
{
    if (value == values_.intensityFactor)
        return;
    values_.intensityFactor = value;
    Changed();
}

void TPCColorStyle::SetRangeRGB(int value)
{
    if (value == values_.rangeRGB || value == 0)
        return;
    values_.rangeRGB = value;
    Changed();
}

void TPCColorStyle::SetColorRGB(int value)
{
    if (value == values_.colorRGB)
        return;
    values_.colorRGB = value;
    Changed();
}

void TPCColorStyle::SetColorFactor(float value)
{
    if (value == values_.colorFactor)
        return;
    values_.colorFactor = value;
    Changed();
}

void TPCColorStyle::SetLightAngle(float value)
{
    if (value == values_.lightAngle || value == 0)
        return;
    values_.lightAngle = value;
    Changed();
}

void TPCColorStyle::Assign(const cyl::ColorStyle& v)
{
    SetIntensityRGB(v.intensityRGB);
    SetIntensity(v.intensity);
    SetIntensityFactor(v.intensityFactor);
    SetRangeRGB(v.rangeRGB);
    SetColorRGB(v.colorRGB);
    SetColorFactor(v.colorFactor);
    SetLightAngle(v.lightAngle);
}

// ---- TProgressCyl: construction and window -----------------------------------

TProgressCyl::TProgressCyl()
{
    // The fields hold the constructor's defaults; derive what depends on them.
    UpdateColors();
    UpdateBevelColors();
    PrepareTextEffect(false, false);
    applying_ = false;
}

TProgressCyl::~TProgressCyl()
{
    SetShowText(false);  // frees the mask
}

void TProgressCyl::Create(HWND parent, const winui::Rect& bounds)
{
    CreateOwnWindow("Larkspan.ProgressCyl", 0, 0, WS_CHILD | WS_VISIBLE, bounds, parent);
    paintReady_ = true;
    UpdateGeometry();
    Refresh();
}

larkspan::cylinder::Geometry TProgressCyl::Geometry() const
{
    RECT r{};
    if (HandleAllocated())
        ::GetClientRect(Handle(), &r);
    return {r.right, r.bottom, bevelWidth_, borderWidth_};
}

bool TProgressCyl::CheckGeometry() const
{
    return Geometry().Valid();
}

void TProgressCyl::SetVisible(bool visible)
{
    visible_ = visible;
    if (HandleAllocated())
        ::ShowWindow(Handle(), visible ? SW_SHOWNA : SW_HIDE);
}

LRESULT TProgressCyl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        if (paintReady_ && CheckGeometry()) {
            UpdateGeometry();
            Refresh();
        }
        return 0;
    case WM_MOUSEMOVE:
        if (!mouseInside_) {
            mouseInside_ = true;
            winui::TrackMouseLeave(Handle());
            if (OnMouseEnter)
                OnMouseEnter();
            Refresh();
        }
        break;
    case WM_MOUSELEAVE:
        mouseInside_ = false;
        if (OnMouseLeave)
            OnMouseLeave();
        Refresh();
        break;
    case WM_SYSCOLORCHANGE:
        UpdateColors();
        break;
    default:
        break;
    }
    return PaintedWindow::HandleMessage(message, wParam, lParam);
}

// The composed bitmap covers the whole control: painting is one copy.
void TProgressCyl::Paint(HDC dc)
{
    if (!bitmap_)
        return;
    winui::MemoryDc source(::CreateCompatibleDC(dc));
    ScopedSelect select(source.Get(), bitmap_.Get());
    ::BitBlt(dc, 0, 0, bitmap_.Width(), bitmap_.Height(), source.Get(), 0, 0, SRCCOPY);
}

// ---- Derived state -----------------------------------------------------------

void TProgressCyl::MarkCustom()
{
    if (!applying_)
        proEffect_ = peCustom;
}

void TProgressCyl::UpdateColors()
{
    SetForeColor(foreColor_);
    SetForeLineColor(foreLineColor_);
    SetFontShadowColor(fontShadowColor_);
    SetBackColor(backColor_);
    SetBackBorderColor(backBorderColor_);
    SetBevelColor(bevelColor_);
}

void TProgressCyl::UpdateBevelColors()
{
    const cyl::BevelColors& b = bevels_;
    const Rgb color = ResolveColor(color_);
    switch (bevelInner_) {
    case bvLowered:
        if (bevelOuter_ == bvLowered && borderWidth_ == 0) {
            innerTopLeft_ = b.dark;
            innerBottomRight_ = b.light;
        } else {
            innerTopLeft_ = b.shadow;
            innerBottomRight_ = b.highlight;
        }
        break;
    case bvRaised:
        if (bevelOuter_ == bvRaised && borderWidth_ == 0) {
            innerTopLeft_ = b.light;
            innerBottomRight_ = b.shadow;
        } else {
            innerTopLeft_ = b.highlight;
            innerBottomRight_ = b.shadow;
        }
        break;
    case bvSpace:
        innerTopLeft_ = innerBottomRight_ = color;
        break;
    case bvNone:
        break;
    }
    switch (bevelOuter_) {
    case bvLowered:
        outerTopLeft_ = b.shadow;
        outerBottomRight_ = b.highlight;
        break;
    case bvRaised:
        outerTopLeft_ = b.highlight;
        outerBottomRight_ = bevelInner_ == bvRaised && borderWidth_ == 0 ? b.dark : b.shadow;
        break;
    case bvSpace:
        outerTopLeft_ = outerBottomRight_ = color;
        break;
    case bvNone:
        break;
    }
    UpdateGeometry();
}

void TProgressCyl::UpdateGeometry()
{
    // The shading steps are computed where they are used, from the level and
    // the inner size; re-apply the position for the new geometry.
    ApplyPosition();
}

// ---- Setters -----------------------------------------------------------------

void TProgressCyl::SetForeColor(COLORREF color)
{
    foreColor_ = color;
    foreRatios_ = cyl::ChannelRatios(ResolveColor(color), ForeStyle.Values());
    MarkCustom();
    Refresh();
}

void TProgressCyl::SetForeLineColor(COLORREF color)
{
    foreLineColor_ = color;
    foreLineRatios_ = cyl::ChannelRatios(ResolveColor(color), ForeStyle.Values());
    MarkCustom();
    Refresh();
}

void TProgressCyl::SetBackColor(COLORREF color)
{
    backColor_ = color;
    backRatios_ = cyl::ChannelRatios(ResolveColor(color), BackStyle.Values());
    MarkCustom();
    Refresh();
}

void TProgressCyl::SetBevelColor(COLORREF color)
{
    bevelColor_ = color;
    if (color == clBtnFace)
        bevels_ = {ResolveColor(clBtnHighlight), ResolveColor(clBtnShadow), ResolveColor(cl3DLight),
                   ResolveColor(cl3DDkShadow)};
    else
        bevels_ = cyl::DerivedBevelColors(ResolveColor(color));
    MarkCustom();
    UpdateBevelColors();
    Refresh();
}

void TProgressCyl::SetBackBorderColor(COLORREF color)
{
    if (color == backBorderColor_)
        return;
    backBorderColor_ = color;
    MarkCustom();
    Refresh();
}

void TProgressCyl::SetFontShadowColor(COLORREF color)
{
    if (color == fontShadowColor_)
        return;
    fontShadowColor_ = color;
    MarkCustom();
    Refresh();
}

void TProgressCyl::SetColor(COLORREF color)
{
    if (color == color_)
        return;
    color_ = color;
    MarkCustom();
    UpdateBevelColors();
    Refresh();
}

void TProgressCyl::SetFontEffect(TFontEffect effect)
{
    if (effect == fontEffect_)
        return;
    const bool wasInvert = fontEffect_ == feInvert;
    fontEffect_ = effect;
    MarkCustom();
    PrepareTextEffect(showText_, wasInvert);
}

void TProgressCyl::SetCylinderEffect(TCylinderEffect effect)
{
    if (effect == cylinderEffect_)
        return;
    level_ = cyl::ShadingLevel(static_cast<cyl::Effect>(effect));
    cylinderEffect_ = effect;
    MarkCustom();
    UpdateGeometry();
    Refresh();
}

void TProgressCyl::SetShowText(bool show)
{
    if (show == showText_)
        return;
    const bool wasShown = showText_;
    showText_ = show;
    PrepareTextEffect(wasShown, fontEffect_ == feInvert);
}

void TProgressCyl::SetFontOrientation(TFontOrientation orientation)
{
    if (orientation == fontOrientation_)
        return;
    fontOrientation_ = orientation;
    PrepareTextEffect(showText_, fontEffect_ == feInvert);
}

void TProgressCyl::SetText(const std::string& text)
{
    if (text == text_)
        return;
    text_ = text;
    Refresh();
}

void TProgressCyl::SetTextDone(const std::string& text)
{
    if (text == textDone_)
        return;
    textDone_ = text;
    Refresh();
}

void TProgressCyl::SetFont(const winui::FontSpec& font)
{
    font_ = font;
    Refresh();
}

void TProgressCyl::SetFontColor(COLORREF color)
{
    font_.color = color;
    MarkCustom();
    Refresh();
}

template <typename T>
void TProgressCyl::SetBevelGeometry(T& field, T value)
{
    if (field == value)
        return;
    const T old = field;
    field = value;
    if (HandleAllocated() && !CheckGeometry())
        field = old;  // no cylinder area would be left
    UpdateBevelColors();
    Refresh();
}

void TProgressCyl::SetBevelInner(TBevelCut cut) { SetBevelGeometry(bevelInner_, cut); }
void TProgressCyl::SetBevelOuter(TBevelCut cut) { SetBevelGeometry(bevelOuter_, cut); }
void TProgressCyl::SetBevelWidth(int width) { SetBevelGeometry(bevelWidth_, width); }
void TProgressCyl::SetBorderWidth(int width) { SetBevelGeometry(borderWidth_, width); }

void TProgressCyl::SetOrientation(TProgressBarOrientation orientation)
{
    if (orientation == orientation_)
        return;
    orientation_ = orientation;
    // The text turns with the bar, without the orientation setter's work.
    fontOrientation_ = orientation == pbVertical ? foBottomToTop : foLeftToRight;
    UpdateGeometry();
    Refresh();
}

void TProgressCyl::SetMin(int value)
{
    if (value == min_)
        return;
    if (value == max_)
        --value;
    if (value < max_) {
        min_ = value;
        if (position_ < min_)
            position_ = min_;
    }
    UpdateGeometry();
}

void TProgressCyl::SetMax(int value)
{
    if (value == max_)
        return;
    if (value == min_)
        ++value;
    if (value > min_) {
        max_ = value;
        if (position_ > max_)
            position_ = max_;
    }
    UpdateGeometry();
}

void TProgressCyl::SetPosition(int value)
{
    position_ = value < min_ ? min_ : value > max_ ? max_ : value;
    ApplyPosition();
}

void TProgressCyl::ApplyPosition()
{
    const cyl::Fill fill = cyl::ComputeFill(Geometry(), static_cast<cyl::Orientation>(orientation_), min_, max_,
                                            position_);
    if (fill.length == drawn_.length && fill.percentage == drawn_.percentage) {
        drawn_.end = fill.end;
        return;
    }
    drawn_ = fill;
    if (position_ == max_ && OnProgressDone)
        OnProgressDone();
    Refresh();
}

std::string TProgressCyl::ValueText() const
{
    return cyl::ValueText(drawn_.percentage, text_, textDone_);
}

void TProgressCyl::PrepareTextEffect(bool textWasShown, bool maskExists)
{
    if (textWasShown) {
        if (maskExists || hasMask_) {
            mask_ = winui::DibSection();
            hasMask_ = false;
        }
        if (showText_)
            PrepareTextEffect(false, false);
    } else if (showText_) {
        if (fontEffect_ == feInvert) {
            hasMask_ = true;  // sized with the drawing bitmap at paint time
        } else {
            shadowOffset_ = fontEffect_ == feShadowTopLeft ? -1 : fontEffect_ == feShadowBottomRight ? 1 : 0;
        }
    }
    Refresh();
}

void TProgressCyl::SetProEffect(TProEffect effect)
{
    proEffect_ = effect;
    if (effect == peCustom)
        return;
    const brimwell::CylinderPreset& p = brimwell::PresetOf(effect);
    applying_ = true;
    SetVisible(false);
    SetCylinderEffect(p.effect);
    if (p.bevelOuter >= 0)
        SetBevelOuter(static_cast<TBevelCut>(p.bevelOuter));
    if (p.bevelInner >= 0)
        SetBevelInner(static_cast<TBevelCut>(p.bevelInner));
    if (p.borderWidth >= 0)
        SetBorderWidth(p.borderWidth);
    if (p.showText >= 0)
        SetShowText(p.showText != 0);
    SetFontColor(p.fontColor);
    if (p.fontShadowColor != brimwell::keepColor)
        SetFontShadowColor(p.fontShadowColor);
    SetFontEffect(p.fontEffect);
    SetForeColor(p.fore);
    SetBackColor(p.back);
    SetForeLineColor(p.foreLine);
    SetBackBorderColor(p.backBorder);
    SetColor(p.color);
    SetBevelColor(p.bevelColor);
    BackStyle.Assign(p.backStyle);
    ForeStyle.Assign(p.foreStyle);
    SetVisible(true);
    applying_ = false;
}

// ---- Painting ----------------------------------------------------------------

void TProgressCyl::Refresh()
{
    if (!paintReady_ || !HandleAllocated())
        return;
    // The window text carries the value, so screen readers and other
    // programs can read what the gauge shows.
    const std::string value = ValueText();
    if (value != windowText_) {
        windowText_ = value;
        ::SetWindowTextA(Handle(), value.c_str());
    }
    Compose();
    ::InvalidateRect(Handle(), nullptr, FALSE);
    ::UpdateWindow(Handle());
}

void TProgressCyl::Compose()
{
    const cyl::Geometry g = Geometry();
    if (!g.Valid())
        return;
    if (bitmap_.Width() != g.width || bitmap_.Height() != g.height)
        bitmap_ = winui::DibSection(g.width, g.height);
    ::GdiFlush();

    cyl::Shading shading;
    shading.background = ResolveColor(color_);
    shading.fore = foreRatios_;
    shading.foreLine = foreLineRatios_;
    shading.back = backRatios_;
    shading.foreStyle = ForeStyle.Values();
    shading.backStyle = BackStyle.Values();
    shading.level = level_;
    const larkspan::PixelRows rows{bitmap_.Bits(), g.width, g.height, bitmap_.Stride()};
    cyl::PaintCylinder(rows, g, static_cast<cyl::Orientation>(orientation_), shading, drawn_.end);
    PaintFrames();
    if (showText_) {
        if (fontEffect_ == feInvert)
            PaintInvertedText();
        else
            PaintText();
    }
    ::GdiFlush();
    ++paintCount_;
}

namespace {

void PutPixel(const winui::DibSection& dib, int x, int y, Rgb c)
{
    if (x < 0 || y < 0 || x >= dib.Width() || y >= dib.Height())
        return;
    unsigned char* p = dib.Bits() + y * dib.Stride() + x * 3;
    p[0] = c.b;
    p[1] = c.g;
    p[2] = c.r;
}

// A 3-D frame: top and left edges in the first colour, bottom and right in
// the second, repeated inward for its width.
void Frame3D(const winui::DibSection& dib, RECT r, Rgb topLeft, Rgb bottomRight, int width)
{
    --r.bottom;
    --r.right;
    for (int i = 0; i < width; ++i) {
        for (int y = r.top; y < r.bottom; ++y)
            PutPixel(dib, r.left, y, topLeft);
        for (int x = r.left; x < r.right; ++x)
            PutPixel(dib, x, r.top, topLeft);
        for (int y = r.top; y <= r.bottom; ++y)
            PutPixel(dib, r.right, y, bottomRight);
        for (int x = r.left; x <= r.right; ++x)
            PutPixel(dib, x, r.bottom, bottomRight);
        ::InflateRect(&r, -1, -1);
    }
}

}  // namespace

void TProgressCyl::PaintFrames()
{
    const cyl::Geometry g = Geometry();
    const int c = g.c();
    const int a = g.a();
    const Rgb border = ResolveColor(backBorderColor_);
    Frame3D(bitmap_, RECT{c, c, g.width - c, g.height - c}, border, border, 1);
    if (bevelInner_ != bvNone)
        Frame3D(bitmap_, RECT{a, a, g.width - a, g.height - a}, innerTopLeft_, innerBottomRight_, bevelWidth_);
    if (bevelOuter_ != bvNone)
        Frame3D(bitmap_, RECT{0, 0, g.width, g.height}, outerTopLeft_, outerBottomRight_, bevelWidth_);
}

namespace {

struct Placement {
    int escapement, x, y;
};

Placement PlaceText(TFontOrientation orientation, int w, int h, int tw, int th)
{
    switch (orientation) {
    case foTopToBottom: return {2700, th + (w - th) / 2 - 1, (h - tw) / 2};
    case foBottomToTop: return {900, (w - th) / 2 + 1, tw + (h - tw) / 2};
    case foLeftToRight: break;
    }
    return {1, (w - tw) / 2, (h - th) / 2 + 1};
}

winui::FontHandle RotatedFont(const winui::FontSpec& spec, int escapement)
{
    LOGFONTA lf = winui::LogFontFrom(spec, escapement);
    // Crisp glyphs: an inverted text must turn whole pixels, not blends.
    lf.lfQuality = NONANTIALIASED_QUALITY;
    return winui::FontHandle(::CreateFontIndirectA(&lf));
}

// Measures with the unrotated font and draws the text turned as asked.
void DrawValueText(HDC dc, const winui::FontSpec& spec, TFontOrientation orientation, int w, int h,
                   const std::string& text, COLORREF color, int offset)
{
    SIZE extent{};
    {
        winui::FontHandle upright = RotatedFont(spec, 0);
        ScopedSelect select(dc, upright.Get());
        ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    }
    const Placement at = PlaceText(orientation, w, h, extent.cx, extent.cy);
    winui::FontHandle font = RotatedFont(spec, at.escapement);
    ScopedSelect select(dc, font.Get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, color);
    const RECT clip{0, 0, w, h};
    ::ExtTextOutA(dc, at.x + offset, at.y + offset, ETO_CLIPPED, &clip, text.c_str(), static_cast<UINT>(text.size()),
                  nullptr);
}

}  // namespace

void TProgressCyl::PaintText()
{
    winui::MemoryDc dc(::CreateCompatibleDC(nullptr));
    ScopedSelect select(dc.Get(), bitmap_.Get());
    const std::string text = ValueText();
    if (fontEffect_ != feNone)
        DrawValueText(dc.Get(), font_, fontOrientation_, bitmap_.Width(), bitmap_.Height(), text,
                      ToRgbColor(fontShadowColor_), shadowOffset_);
    DrawValueText(dc.Get(), font_, fontOrientation_, bitmap_.Width(), bitmap_.Height(), text, ToRgbColor(font_.color),
                  0);
}

void TProgressCyl::PaintInvertedText()
{
    const int w = bitmap_.Width();
    const int h = bitmap_.Height();
    if (mask_.Width() != w || mask_.Height() != h)
        mask_ = winui::DibSection(w, h);
    winui::MemoryDc maskDc(::CreateCompatibleDC(nullptr));
    ScopedSelect selectMask(maskDc.Get(), mask_.Get());
    const RECT all{0, 0, w, h};
    ::FillRect(maskDc.Get(), &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    DrawValueText(maskDc.Get(), font_, fontOrientation_, w, h, ValueText(), RGB(255, 255, 255), 0);
    // Every pixel under a glyph turns into its inverse.
    winui::MemoryDc dc(::CreateCompatibleDC(nullptr));
    ScopedSelect select(dc.Get(), bitmap_.Get());
    ::BitBlt(dc.Get(), 0, 0, w, h, maskDc.Get(), 0, 0, SRCINVERT);
}
