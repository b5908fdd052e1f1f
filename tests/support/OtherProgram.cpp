// Stands for any other program of the user's desktop: one ordinary window,
// kept until it is closed. The widget tests activate it to play a user who
// switches to another program and back.
#include <windows.h>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main()
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = &WindowProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "Larkspan.OtherProgram";
    if (!::RegisterClassA(&wc))
        return 1;
    HWND window = ::CreateWindowExA(0, wc.lpszClassName, "Other program", WS_OVERLAPPEDWINDOW, 40, 40, 300, 200,
                                    nullptr, nullptr, wc.hInstance, nullptr);
    if (!window)
        return 1;
    // Shown without taking the activation: only the test moves it.
    ::ShowWindow(window, SW_SHOWNA);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return 0;
}
