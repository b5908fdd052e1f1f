#include "RbButton.h"

#include "core/Gradient.h"
#include "winui/Form.h"
#include "winui/Painting.h"

#include <cstring>
#include <optional>

using namespace winui;

namespace {

constexpr UINT_PTR fadeTimer = 1;

void FillGradient(const DibSection& face, TGradientType type, COLORREF from, COLORREF to)
{
    const larkspan::GradientRamp ramp(static_cast<larkspan::GradientType>(type), ResolveColor(from),
                                      ResolveColor(to), {0, 0, face.Width(), face.Height()});
    const larkspan::PixelRows rows{face.Bits(), face.Width(), face.Height(), face.Stride()};
    for (int y = 0; y < face.Height(); ++y)
        for (int x = 0; x < face.Width(); ++x)
            rows.Set(x, y, ramp.At(x, y));
}

}  // namespace

TRbControlColors& TRbControlColors::operator=(const TRbControlColors& other)
{
    defaultFrom_ = other.defaultFrom_;
    defaultTo_ = other.defaultTo_;
    overFrom_ = other.overFrom_;
    overTo_ = other.overTo_;
    clickedFrom_ = other.clickedFrom_;
    clickedTo_ = other.clickedTo_;
    borderColor_ = other.borderColor_;
    hotTrack_ = other.hotTrack_;
    textShadow_ = other.textShadow_;
    button_.Rebuild();
    return *this;
}

void TRbControlColors::SetFace(COLORREF& slot, COLORREF value)
{
    if (slot == value)
        return;
    slot = value;
    button_.Rebuild();
}

void TRbControlColors::SetCaption(COLORREF& slot, COLORREF value)
{
    if (slot == value)
        return;
    slot = value;
    button_.Invalidate();
}

TRbButton::TRbButton() : TRbCustomControl(winui::EdgeRule::Inclusive) {}

void TRbButton::Create(HWND parent, const RbButtonDesign& design)
{
    design_ = design;
    textShadow_ = design.textShadow;
    font_ = CreateFontFrom(design.font);
    CreateOwnWindow(windowClass, 0, 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP, design.bounds, parent,
                    design.caption.c_str());
    Rebuild();
}

void TRbButton::Rebuild()
{
    if (!Handle())
        return;
    RECT r{};
    ::GetClientRect(Handle(), &r);
    const std::array<std::pair<COLORREF, COLORREF>, 3> ends{{{Colors.DefaultFrom(), Colors.DefaultTo()},
                                                               {Colors.OverFrom(), Colors.OverTo()},
                                                               {Colors.ClickedFrom(), Colors.ClickedTo()}}};
    for (std::size_t i = 0; i < faces_.size(); ++i) {
        faces_[i] = DibSection(r.right, r.bottom);
        if (faces_[i])
            FillGradient(faces_[i], design_.gradientType, ends[i].first, ends[i].second);
    }
    Invalidate();
}

void TRbButton::SetGradientType(TGradientType type)
{
    design_.gradientType = type;
    Rebuild();
}

int TRbButton::FadeInterval() const noexcept
{
    switch (design_.fadeSpeed) {
    case fsSlow: return 40;
    case fsMedium: return 20;
    case fsFast: return 12;
    case fsVeryFast: return 8;
    }
    return 20;
}

void TRbButton::SetHotTrack(bool hotTrack)
{
    hotTrack_ = hotTrack;
    Invalidate();
}

void TRbButton::SetShowFocusRect(bool show)
{
    design_.showFocusRect = show;
    Invalidate();
}

void TRbButton::SetDown(bool down)
{
    if (design_.groupIndex <= 0 || down == down_)
        return;
    const HWND parent = ::GetParent(Handle());
    auto sameGroup = [&](auto each) {
        for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
            if (auto* other = Window::FromHandleAs<TRbButton>(child);
                other && other != this && other->design_.groupIndex == design_.groupIndex)
                each(*other);
    };
    if (!down) {
        // Released only when all may be up or another of the group is down.
        bool otherDown = false;
        sameGroup([&](TRbButton& other) { otherDown = otherDown || other.down_; });
        if (!design_.allowAllUp && !otherDown)
            return;
        down_ = false;
        pressed_ = false;
        StartStep(Step::FadeOut);
        return;
    }
    sameGroup([](TRbButton& other) {
        other.down_ = false;
        other.pressed_ = false;
        other.StartStep(Step::FadeOut);
    });
    down_ = true;
    hot_ = true;
    pressed_ = true;
    StartStep(Step::FadeIn);
}

void TRbButton::Click()
{
    if (auto* form = Window::FromHandleAs<Form>(::GetAncestor(Handle(), GA_ROOT)))
        form->SetModalResult(design_.modalResult);
    if (design_.groupIndex > 0 && !down_)
        SetDown(true);
    if (OnClick)
        OnClick();
}

bool TRbButton::WantsDialogKey(WORD key)
{
    const bool focused = ::GetFocus() == Handle();
    if (!((key == VK_RETURN && (focused || default_)) || (key == VK_ESCAPE && cancel_)))
        return false;
    Click();
    return true;
}

void TRbButton::StartStep(Step step)
{
    step_ = step;
    if (!Handle())
        return;
    ::KillTimer(Handle(), fadeTimer);
    timerRunning_ = ::SetTimer(Handle(), fadeTimer, static_cast<UINT>(FadeInterval()), nullptr) != 0;
}

void TRbButton::StopTimer()
{
    ::KillTimer(Handle(), fadeTimer);
    timerRunning_ = false;
}

void TRbButton::RunStep()
{
    if (step_ == Step::FadeIn)
        FadeIn();
    else
        FadeOut();
}

void TRbButton::FadeIn()
{
    if (pressed_ && hot_) {
        if (press_ > 99) {
            press_ = 100;
            Invalidate();
            StopTimer();
        } else {
            press_ += 100;
            Invalidate();
        }
        return;
    }
    if (press_ > 0)
        press_ -= 100;
    hover_ = hover_ >= 100 ? 100 : hover_ + 10;
    Invalidate();
    if (press_ < 1 && hover_ > 99)
        StopTimer();
}

void TRbButton::FadeOut()
{
    if (press_ > 0)
        press_ -= 100;
    if (hover_ > 0 || press_ > 0) {
        hover_ -= 10;
    } else {
        hover_ = 0;
        press_ = 0;
        StopTimer();
    }
    Invalidate();
}

LRESULT TRbButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        if (wParam == fadeTimer) {
            try {
                RunStep();
            } catch (...) {
                // a step that fails is dropped; the next tick tries again
            }
            return 0;
        }
        break;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE && ::GetKeyState(VK_SHIFT) >= 0 && ::GetKeyState(VK_CONTROL) >= 0 &&
            ::GetKeyState(VK_MENU) >= 0) {
            Click();
            return 0;
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
        Invalidate();
        break;
    case WM_SIZE:
        Rebuild();
        break;
    default:
        break;
    }
    return TRbCustomControl::HandleMessage(message, wParam, lParam);
}

void TRbButton::MouseEnter()
{
    TRbCustomControl::MouseEnter();
    hot_ = true;
    StartStep(Step::FadeIn);
}

void TRbButton::MouseLeave()
{
    TRbCustomControl::MouseLeave();
    if (!down_) {
        hot_ = false;
        StartStep(Step::FadeOut);
    }
}

// A press ends the same way whether released, on the button or off it, or
// cut short by a capture taken away (a message box opening); only a release
// on the button clicks.
void TRbButton::MousePress(winui::MouseTracker::Press press)
{
    using Press = winui::MouseTracker::Press;
    if (press == Press::Began) {
        pressed_ = true;
        hot_ = true;
        StartStep(Step::FadeIn);
        return;
    }
    EndPress();
    if (press == Press::Clicked)
        Click();
}

void TRbButton::EndPress()
{
    if (pressed_ && !down_)
        pressed_ = false;
    if (hot_)
        step_ = Step::FadeIn;
    StartStep(step_);
}

void TRbButton::Blend(const DibSection& target, const DibSection& face, const RECT& area, int level) const
{
    if (level <= 0)
        return;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            std::uint8_t* px = target.Bits() + y * target.Stride() + x * 3;
            const std::uint8_t* fx = face.Bits() + (y - area.top) * face.Stride() + (x - area.left) * 3;
            for (int c = 0; c < 3; ++c)
                px[c] = larkspan::BlendChannel(px[c], fx[c], level);
        }
}

void TRbButton::Paint(HDC dc)
{
    RECT r{};
    ::GetClientRect(Handle(), &r);
    const int w = r.right;
    const int h = r.bottom;
    DibSection composed(w, h);
    if (!composed || !faces_[0] || !faces_[1] || !faces_[2])
        return;
    ::GdiFlush();
    // The default face, one pixel right and down.
    for (int y = 0; y + 1 < h; ++y)
        std::memcpy(composed.Bits() + (y + 1) * composed.Stride() + 3, faces_[0].Bits() + y * faces_[0].Stride(),
                    static_cast<std::size_t>(w - 1) * 3);
    Blend(composed, faces_[1], r, hover_);
    if (press_ > 0) {
        RECT inner = r;
        if (design_.gradientBorder)
            ::InflateRect(&inner, -3, -3);
        Blend(composed, faces_[2], inner, press_);
    }

    MemoryDc canvas(::CreateCompatibleDC(dc));
    ScopedSelect bitmap(canvas.Get(), composed.Get());
    {
        ScopedSelect clear(canvas.Get(), ::GetStockObject(NULL_BRUSH));
        PenHandle own(::CreatePen(PS_SOLID, 1, ToRgbColor(design_.color)));
        {
            ScopedSelect pen(canvas.Get(), own.Get());
            ::Rectangle(canvas.Get(), 0, 0, w, h);
        }
        PenHandle border(::CreatePen(PS_SOLID, 1, ToRgbColor(Colors.BorderColor())));
        ScopedSelect pen(canvas.Get(), border.Get());
        ::RoundRect(canvas.Get(), 0, 0, w, h, 5, 5);
    }
    if (showCaption_) {
        const COLORREF text = hotTrack_ && hot_ ? Colors.HotTrack() : design_.font.color;
        DrawShadowedCaption(canvas.Get(), font_.Get(), design_.caption, r,
                            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS, text,
                            textShadow_ ? std::optional<COLORREF>(Colors.TextShadow()) : std::nullopt,
                            ::IsWindowEnabled(Handle()) != FALSE);
    }
    if (::GetFocus() == Handle() && design_.showFocusRect) {
        RECT focus = r;
        ::InflateRect(&focus, -2, -2);
        ::DrawFocusRect(canvas.Get(), &focus);
    }
    ::BitBlt(dc, 0, 0, w, h, canvas.Get(), 0, 0, SRCCOPY);
}
