// The mouse pointer as the platform sees it, for tests of controls that
// follow it: hover, leave tracking and capture.
#pragma once

#include "winui/MessageLoop.h"

#include <functional>

namespace testing_support {

// Puts the pointer at a point of the window's client area, where the
// platform's leave tracking sees it, and sends the window that move.
inline void MovePointer(HWND window, POINT at)
{
    POINT screen = at;
    ::ClientToScreen(window, &screen);
    ::SetCursorPos(screen.x, screen.y);
    ::SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
}

// Lets messages run for longer than the platform's leave tracking takes to
// look where the pointer is; `each` runs after every round.
inline void LetTrackingRun(const std::function<void()>& each = nullptr)
{
    UINT hover = 400;
    ::SystemParametersInfoA(SPI_GETMOUSEHOVERTIME, 0, &hover, 0);
    for (const DWORD end = ::GetTickCount() + hover + 200; ::GetTickCount() < end; ::Sleep(5)) {
        winui::ProcessMessages();
        if (each)
            each();
    }
}

// Puts the pointer back where it was when it goes: a test that moves the
// real pointer leaves no hover behind for the windows of the next one.
class PointerPutBack {
public:
    PointerPutBack() { ::GetCursorPos(&at_); }
    PointerPutBack(const PointerPutBack&) = delete;
    PointerPutBack& operator=(const PointerPutBack&) = delete;
    ~PointerPutBack() { ::SetCursorPos(at_.x, at_.y); }

private:
    POINT at_{};
};

// The screen point of a point of the window's client area.
inline POINT OnScreen(HWND window, POINT at)
{
    ::ClientToScreen(window, &at);
    return at;
}

// Lets messages run, waiting for more, until `done` holds or `limitMs` has
// passed; whether it held.
inline bool RunMessagesUntil(const std::function<bool()>& done, DWORD limitMs = 2000)
{
    for (const DWORD end = ::GetTickCount() + limitMs; !done();) {
        if (::GetTickCount() > end)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        winui::ProcessMessages();
    }
    return true;
}

}  // namespace testing_support
