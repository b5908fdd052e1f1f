#include "PaintedWindow.h"

#include "Painting.h"

namespace winui {

LRESULT PaintedWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PaintScope paint(Handle());
        Paint(paint.Dc());
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    default:
        return Window::HandleMessage(message, wParam, lParam);
    }
}

}  // namespace winui
