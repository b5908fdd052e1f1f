#include "MessageWindow.h"

namespace winui {

void MessageWindow::Create()
{
    CreateOwnWindow(className_.c_str(), 0, WS_EX_TOOLWINDOW, WS_POPUP, {0, 0, 0, 0}, nullptr);
}

void MessageWindow::Destroy()
{
    if (HandleAllocated())
        ::DestroyWindow(Handle());
}

LRESULT MessageWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (handler_(message, wParam, lParam))
        return 0;
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace winui
