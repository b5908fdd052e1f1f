// Rendering a window into a real 24-bit bitmap and reading its pixels back.
#pragma once

#include "winui/Handles.h"
#include "winui/Painting.h"
#include "winui/Window.h"

#include <memory>

namespace testing_support {

// A 24-bit bitmap with a memory DC selected into it.
class Surface {
public:
    Surface(int width, int height) : dib_(width, height), dc_(::CreateCompatibleDC(nullptr))
    {
        previous_ = ::SelectObject(dc_.Get(), dib_.Get());
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    ~Surface() { ::SelectObject(dc_.Get(), previous_); }
    HDC Dc() const { return dc_.Get(); }
    COLORREF At(int x, int y) const { return ::GetPixel(dc_.Get(), x, y); }
    void Fill(COLORREF color)
    {
        winui::BrushHandle brush(::CreateSolidBrush(color));
        const RECT all{0, 0, dib_.Width(), dib_.Height()};
        ::FillRect(dc_.Get(), &all, brush.Get());
    }

private:
    winui::DibSection dib_;
    winui::MemoryDc dc_;
    HGDIOBJ previous_;
};

// The window's client area as it paints itself (WM_PRINTCLIENT).
inline std::unique_ptr<Surface> Render(const winui::Window& window)
{
    auto surface = std::make_unique<Surface>(window.Width(), window.Height());
    ::SendMessageA(window.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface->Dc()), PRF_CLIENT);
    return surface;
}

}  // namespace testing_support
