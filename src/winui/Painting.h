// Helpers shared by the painted controls: the paint bracket, an off-screen
// buffer copied in one step, the parent's background behind a see-through
// control, and bitmaps with a transparent colour.
#pragma once

#include "Handles.h"

#include <string>

namespace winui {

// BeginPaint ... EndPaint for one WM_PAINT.
class PaintScope {
public:
    explicit PaintScope(HWND window) noexcept : window_(window) { ::BeginPaint(window, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { ::EndPaint(window_, &paint_); }
    HDC Dc() const noexcept { return paint_.hdc; }
    const RECT& Area() const noexcept { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
};

// A compatible memory bitmap the size of `area`; its content is copied to the
// target when the buffer goes out of scope, so the control never flickers.
class BufferedPaint {
public:
    BufferedPaint(HDC target, const RECT& area);
    // The whole client area of `window`.
    BufferedPaint(HDC target, HWND window);
    BufferedPaint(const BufferedPaint&) = delete;
    BufferedPaint& operator=(const BufferedPaint&) = delete;
    ~BufferedPaint();
    HDC Dc() const noexcept { return memory_.Get(); }
    const RECT& Area() const noexcept { return area_; }

private:
    HDC target_;
    RECT area_;
    MemoryDc memory_;
    BitmapHandle bitmap_;
    HGDIOBJ previous_ = nullptr;
};

// Paints the parent's client area behind `child` into `dc` (whose origin is
// the child's top-left corner), through the parent's WM_PRINTCLIENT.
void PaintParentBackground(HWND child, HDC dc);

// Shows `text` as a tooltip while the mouse rests on `tool`. The tooltip
// window is owned by the tool and goes with it.
void AttachTooltip(HWND tool, const std::string& text);

// Which pixel of a bitmap gives the colour left out when it is drawn.
enum class TransparentPixel { BottomLeft, TopLeft, None };

// Draws a bitmap leaving out the colour of its key pixel.
void DrawTransparentBitmap(HDC dc, HBITMAP bitmap, int x, int y,
                           TransparentPixel key = TransparentPixel::BottomLeft);

}  // namespace winui

namespace winui {

// A top-down 24-bit DIB section whose pixel rows can be written directly.
class DibSection {
public:
    DibSection() = default;
    DibSection(int width, int height);
    HBITMAP Get() const noexcept { return bitmap_.Get(); }
    explicit operator bool() const noexcept { return static_cast<bool>(bitmap_); }
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    // Blue, green, red bytes; rows are padded to a multiple of four bytes.
    unsigned char* Bits() const noexcept { return bits_; }
    long Stride() const noexcept { return (width_ * 3 + 3) & ~3L; }

private:
    BitmapHandle bitmap_;
    unsigned char* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace winui
