// A control that covers its whole client area itself: one paint routine
// serves WM_PAINT and WM_PRINTCLIENT (so tests and parents can render it into
// any device context), and background erasing is skipped.
#pragma once

#include "Window.h"

namespace winui {

class PaintedWindow : public Window {
protected:
    virtual void Paint(HDC dc) = 0;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace winui
