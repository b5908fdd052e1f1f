#include "MouseTracker.h"

#include <windowsx.h>

namespace winui {

void TrackMouseLeave(HWND window)
{
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window, 0};
    ::TrackMouseEvent(&track);
}

bool MouseTracker::Reads(UINT message) noexcept
{
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        return true;
    default:
        return false;
    }
}

MouseTracker::Changes MouseTracker::Take(HWND window, UINT message, LPARAM lParam)
{
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_MOUSEMOVE:
        return {At(window, at)};
    case WM_MOUSELEAVE:
        return {::GetCapture() == window ? Change::None : Set(window, false)};
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {  // the second press of a quick pair
        const Change hover = At(window, at);
        if (!presses_)
            return {hover};
        ::SetCapture(window);
        pressed_ = true;
        return {hover, Press::Began};
    }
    case WM_LBUTTONUP:
        return {Change::None, Release(window, at)};
    case WM_CAPTURECHANGED:
        // A leave that came while the capture was held was not taken.
        if (inside_)
            TrackMouseLeave(window);
        // Taken away by another window (our own release has ended the press).
        if (pressed_ && reinterpret_cast<HWND>(lParam) != window) {
            pressed_ = false;
            return {Change::None, Press::Lost};
        }
        return {};
    default:
        return {};
    }
}

MouseTracker::Press MouseTracker::Release(HWND window, POINT at)
{
    if (!pressed_)
        return Press::None;
    pressed_ = false;
    if (::GetCapture() != window)
        return Press::Lost;
    const bool click = OnControl(window, at);
    ::ReleaseCapture();  // WM_CAPTURECHANGED comes now, the press already ended
    return click ? Press::Clicked : Press::ReleasedOutside;
}

bool MouseTracker::OnControl(HWND window, POINT at) const
{
    RECT r{};
    ::GetClientRect(window, &r);
    if (edge_ == EdgeRule::Strict)
        return at.x > 0 && at.x < r.right && at.y > 0 && at.y < r.bottom;
    return ::PtInRect(&r, at) != FALSE;
}

MouseTracker::Change MouseTracker::At(HWND window, POINT at)
{
    RECT r{};
    ::GetClientRect(window, &r);
    return Set(window, ::PtInRect(&r, at) != FALSE);
}

MouseTracker::Change MouseTracker::Set(HWND window, bool inside)
{
    if (inside == inside_)
        return Change::None;
    inside_ = inside;
    if (!inside)
        return Change::Left;
    TrackMouseLeave(window);
    return Change::Entered;
}

}  // namespace winui
