#include "Painting.h"

#include <commctrl.h>

namespace winui {

BufferedPaint::BufferedPaint(HDC target, const RECT& area)
    : target_(target), area_(area), memory_(::CreateCompatibleDC(target)),
      bitmap_(::CreateCompatibleBitmap(target, area.right - area.left, area.bottom - area.top))
{
    previous_ = ::SelectObject(memory_.Get(), bitmap_.Get());
    ::SetViewportOrgEx(memory_.Get(), -area.left, -area.top, nullptr);
}

namespace {

RECT ClientArea(HWND window)
{
    RECT r{};
    ::GetClientRect(window, &r);
    return r;
}

}  // namespace

BufferedPaint::BufferedPaint(HDC target, HWND window) : BufferedPaint(target, ClientArea(window)) {}

BufferedPaint::~BufferedPaint()
{
    ::SetViewportOrgEx(memory_.Get(), 0, 0, nullptr);
    ::BitBlt(target_, area_.left, area_.top, area_.right - area_.left, area_.bottom - area_.top, memory_.Get(), 0, 0,
             SRCCOPY);
    ::SelectObject(memory_.Get(), previous_);
}

void PaintParentBackground(HWND child, HDC dc)
{
    HWND parent = ::GetParent(child);
    if (!parent)
        return;
    POINT origin{0, 0};
    ::MapWindowPoints(child, parent, &origin, 1);
    POINT previous{};
    ::OffsetViewportOrgEx(dc, -origin.x, -origin.y, &previous);
    ::SendMessageA(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    ::SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
}

void AttachTooltip(HWND tool, const std::string& text)
{
    HWND tooltip = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                     tool, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    TOOLINFOA info{};
    // The size that every version of the common controls takes: without a
    // manifest for version 6, the larger one is refused.
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = ::GetParent(tool);
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = const_cast<char*>(text.c_str());  // the tooltip keeps a copy
    ::SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

void DrawTransparentBitmap(HDC dc, HBITMAP bitmap, int x, int y, TransparentPixel key)
{
    BITMAP info{};
    if (!::GetObjectA(bitmap, sizeof info, &info))
        return;
    MemoryDc source(::CreateCompatibleDC(dc));
    ScopedSelect select(source.Get(), bitmap);
    if (key == TransparentPixel::None) {
        ::BitBlt(dc, x, y, info.bmWidth, info.bmHeight, source.Get(), 0, 0, SRCCOPY);
        return;
    }
    const int keyRow = key == TransparentPixel::BottomLeft ? info.bmHeight - 1 : 0;
    const COLORREF transparent = ::GetPixel(source.Get(), 0, keyRow);
    ::TransparentBlt(dc, x, y, info.bmWidth, info.bmHeight, source.Get(), 0, 0, info.bmWidth, info.bmHeight,
                     transparent);
}

}  // namespace winui

namespace winui {

DibSection::DibSection(int width, int height) : width_(width), height_(height)
{
    if (width <= 0 || height <= 0)
        return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.Reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<unsigned char*>(bits);
}

}  // namespace winui
