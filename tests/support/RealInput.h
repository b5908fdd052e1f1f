// Input as the user gives it, through the platform's input system: the
// pointer moved onto a control, a pause, the button pressed and released; keys
// typed. Unlike posted messages it reaches only what the user could reach: a
// disabled or covered window gets nothing.
#pragma once

#include <windows.h>

namespace testing_support {

// A quick click at a point of the screen: pressed and released at once, so
// the release is queued before the program has taken the press.
inline void ClickAt(POINT at)
{
    // Absolute input runs from 0 to 65535 over the primary screen.
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dx = (at.x * 65535 + width / 2) / (width - 1);
    move.mi.dy = (at.y * 65535 + height / 2) / (height - 1);
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &move, sizeof move);
    ::Sleep(150);
    INPUT click[2]{};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, click, sizeof click[0]);
    ::Sleep(100);
}

// The same on the middle of a window.
inline void ClickWithMouse(HWND control)
{
    RECT r{};
    ::GetWindowRect(control, &r);
    ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

// A key typed to whichever window has the focus.
inline void TypeKey(WORD key)
{
    INPUT input[2]{};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, input, sizeof input[0]);
    ::Sleep(60);
}

}  // namespace testing_support
