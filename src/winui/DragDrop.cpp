#include "DragDrop.h"

#include <windowsx.h>

#include <array>
#include <cstdlib>

namespace winui {

namespace {

POINT ScreenPoint(HWND window, LPARAM lParam)
{
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ClientToScreen(window, &at);
    return at;
}

// The platform's drag cursor set has no "drag" shape, so it is built once
// from monochrome masks: the arrow, and a small page below its tip.
HCURSOR MakeDragCursor()
{
    constexpr int size = 32;
    constexpr int stride = size / 8;
    std::array<BYTE, size * stride> andMask;  // 1: the screen shows through
    std::array<BYTE, size * stride> xorMask{};  // with AND 0: 1 white, 0 black
    andMask.fill(0xFF);
    auto set = [&](int x, int y, bool white) {
        const int byte = y * stride + x / 8;
        const BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
        andMask[byte] &= static_cast<BYTE>(~bit);
        if (white)
            xorMask[byte] |= bit;
        else
            xorMask[byte] &= static_cast<BYTE>(~bit);
    };
    // The arrow: a black outline filled white, twelve rows high.
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x <= y && x < 8; ++x)
            set(x, y, x > 0 && x < y && y < 11);
    for (int y = 12; y < 17; ++y)  // the stem
        for (int x = 3; x < 6; ++x)
            set(x, y, x == 4 && y < 16);
    // The page: 9 x 11 pixels at (10, 14), black frame, white inside.
    for (int y = 14; y < 25; ++y)
        for (int x = 10; x < 19; ++x)
            set(x, y, x > 10 && x < 18 && y > 14 && y < 24);
    return ::CreateCursor(::GetModuleHandleA(nullptr), 0, 0, size, size, andMask.data(), xorMask.data());
}

}  // namespace

HCURSOR DragCursor()
{
    // Made once and kept for the life of the process, as a loaded cursor is.
    static const HCURSOR cursor = MakeDragCursor();
    return cursor;
}

Window* ControlAt(POINT screen)
{
    HWND window = ::WindowFromPoint(screen);
    if (!window)
        return nullptr;
    // From the top-level window down: WindowFromPoint passes over controls
    // that call themselves transparent, a drop target must not be missed.
    window = ::GetAncestor(window, GA_ROOT);
    for (;;) {
        POINT client = screen;
        ::ScreenToClient(window, &client);
        HWND child = ::ChildWindowFromPointEx(window, client, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
        if (!child || child == window)
            break;
        window = child;
    }
    return Window::FromHandle(window);
}

bool DragSource::Filter(UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND source = control_.Handle();
    if (!dragging_) {
        switch (message) {
        case WM_LBUTTONDOWN:
            pressed_ = true;
            pressedAt_ = ScreenPoint(source, lParam);
            pressedLParam_ = lParam;
            return false;
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED:
            pressed_ = false;
            return false;
        case WM_MOUSEMOVE: {
            if (!pressed_ || !(wParam & MK_LBUTTON))
                return false;
            const POINT at = ScreenPoint(source, lParam);
            if (std::abs(at.x - pressedAt_.x) < ::GetSystemMetrics(SM_CXDRAG) &&
                std::abs(at.y - pressedAt_.y) < ::GetSystemMetrics(SM_CYDRAG))
                return false;
            Start();
            TargetAt(at);
            return true;
        }
        default:
            return false;
        }
    }
    switch (message) {
    case WM_MOUSEMOVE:
        TargetAt(ScreenPoint(source, lParam));
        return true;
    case WM_LBUTTONUP: {
        const POINT at = ScreenPoint(source, lParam);
        Window* target = TargetAt(at);
        End();
        if (target && target->OnDragDrop) {
            POINT client = at;
            ::ScreenToClient(target->Handle(), &client);
            target->OnDragDrop(control_, client);
        }
        return true;
    }
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            End();
        return true;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != source) {
            dragging_ = false;
            pressed_ = false;
            ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
        }
        return true;
    case WM_SETCURSOR:
        return true;
    default:
        return false;
    }
}

void DragSource::Start()
{
    if (OnStart)
        OnStart(pressedLParam_);
    dragging_ = true;
    ::SetCapture(control_.Handle());
    ::SetFocus(control_.Handle());  // Escape comes to the source
}

Window* DragSource::TargetAt(POINT screen)
{
    Window* target = ControlAt(screen);
    bool takes = false;
    if (target && target->OnDragOver) {
        POINT client = screen;
        ::ScreenToClient(target->Handle(), &client);
        takes = target->OnDragOver(control_, client);
    }
    ::SetCursor(takes ? DragCursor() : ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_NO)));
    return takes ? target : nullptr;
}

void DragSource::End()
{
    dragging_ = false;
    pressed_ = false;
    if (::GetCapture() == control_.Handle())
        ::ReleaseCapture();
    ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
}

}  // namespace winui
