#include "RealInput.h"

#include <gtest/gtest.h>

namespace testing_support {

namespace {

void SendMouse(DWORD flags, LONG x = 0, LONG y = 0)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = x;
    input.mi.dy = y;
    input.mi.dwFlags = flags;
    ::SendInput(1, &input, sizeof input);
}

}  // namespace

void ClickWithMouse(HWND control)
{
    RECT r{};
    ASSERT_TRUE(::GetWindowRect(control, &r)) << "no control to click";
    ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

void MoveMouseTo(POINT at)
{
    // Absolute input runs from 0 to 65535 over the primary screen.
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, (at.x * 65535 + width / 2) / (width - 1),
              (at.y * 65535 + height / 2) / (height - 1));
}

void PressMouse()
{
    SendMouse(MOUSEEVENTF_LEFTDOWN);
}

void ReleaseMouse()
{
    SendMouse(MOUSEEVENTF_LEFTUP);
}

void ClickAt(POINT at)
{
    MoveMouseTo(at);
    ::Sleep(150);
    // Pressed and released at once, as a quick click arrives: the release
    // is queued before the program has taken the press.
    INPUT click[2]{};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, click, sizeof click[0]);
    ::Sleep(100);
}

void DoubleClickWithMouse(HWND control)
{
    RECT r{};
    ASSERT_TRUE(::GetWindowRect(control, &r)) << "no control to double-click";
    MoveMouseTo({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    ::Sleep(150);
    INPUT clicks[4]{};
    for (int i = 0; i < 4; ++i) {
        clicks[i].type = INPUT_MOUSE;
        clicks[i].mi.dwFlags = i % 2 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
    }
    ::SendInput(4, clicks, sizeof clicks[0]);
    ::Sleep(100);
}

std::optional<POINT> CloseBoxOf(HWND window)
{
    RECT r{};
    ::GetWindowRect(window, &r);
    const int caption = ::GetSystemMetrics(SM_CYCAPTION);
    for (int y = r.top; y < r.top + 2 * caption; y += 2)
        for (int x = r.right - 1; x > r.right - 4 * caption; x -= 2)
            if (::SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE)
                return POINT{x - caption / 4, y + caption / 4};
    return std::nullopt;
}

void DragWithMouse(POINT from, POINT to)
{
    MoveMouseTo(from);
    ::Sleep(150);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    ::Sleep(150);
    // Small steps, each taken by the program before the next, as a hand
    // moves: the first ones cross the threshold while still over the source.
    constexpr int steps = 20;
    for (int i = 1; i <= steps; ++i) {
        MoveMouseTo({from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
        ::Sleep(40);
    }
    ::Sleep(150);
    SendMouse(MOUSEEVENTF_LEFTUP);
    ::Sleep(150);
}

void TypeKey(WORD key)
{
    INPUT input[2]{};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, input, sizeof input[0]);
    ::Sleep(60);
}

void TypeKey(WORD modifier, WORD key)
{
    INPUT input[4]{};
    for (INPUT& i : input)
        i.type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[3].ki.wVk = modifier;
    input[1].ki.wVk = input[2].ki.wVk = key;
    input[2].ki.dwFlags = input[3].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(4, input, sizeof input[0]);
    ::Sleep(60);
}

void TypeText(const std::string& text)
{
    for (const char c : text) {
        const SHORT scan = ::VkKeyScanA(c);
        ASSERT_NE(scan, -1) << "no key types '" << c << "'";
        const WORD key = LOBYTE(scan);
        if (HIBYTE(scan) & 1)
            TypeKey(VK_SHIFT, key);
        else
            TypeKey(key);
    }
}

}  // namespace testing_support
