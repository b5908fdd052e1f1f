#include "RxGIFAnimator.h"

#include "winui/Colors.h"

#include "winui/Handles.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

using namespace winui;
namespace gif = larkspan::gif;

// ---- TGIFImage --------------------------------------------------------------

TGIFImage TGIFImage::FromBytes(std::span<const std::uint8_t> bytes)
{
    return TGIFImage(gif::Decode(bytes));
}

TGIFImage TGIFImage::FromResource(const char* name)
{
    const HMODULE module = ::GetModuleHandleA(nullptr);
    const HRSRC resource = ::FindResourceA(module, name, MAKEINTRESOURCEA(10));  // RT_RCDATA
    const HGLOBAL loaded = resource ? ::LoadResource(module, resource) : nullptr;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data)
        throw std::runtime_error(std::string("Resource ") + name + " not found");
    return FromBytes({static_cast<const std::uint8_t*>(data), ::SizeofResource(module, resource)});
}

void TGIFImage::SetFrameIndex(int index)
{
    if (index >= 0 && index < Count())
        frameIndex_ = index;
}

// ---- TRxGIFAnimator ----------------------------------------------------------

TRxGIFAnimator::TRxGIFAnimator()
{
    clock_.SetEnabled(false);
    clock_.SetOnTimer([this] { AdvanceFrame(); });
}

TRxGIFAnimator::~TRxGIFAnimator()
{
    clock_.SetEnabled(false);
}

void TRxGIFAnimator::Create(HWND parent, const RxGIFAnimatorDesign& design)
{
    design_ = design;
    CreateOwnWindow("Larkspan.GIFAnimator", 0, 0, WS_CHILD | WS_VISIBLE, design.bounds, parent);
}

void TRxGIFAnimator::SetImage(const TGIFImage& image)
{
    {
        std::lock_guard<std::recursive_mutex> lock(canvas_);
        image_ = image;
        composer_ = std::make_unique<gif::Composer>(image_.Data(), ResolveColor(::GetSysColor(COLOR_WINDOW)));
        frameIndex_ = image_.FrameIndex();
    }
    clock_.SetInterval(static_cast<unsigned>(FrameDelay(frameIndex_)));
    FitToImage();
    Invalidate();
    if (OnChange)
        OnChange();
}

void TRxGIFAnimator::SetAnimate(bool animate)
{
    if (animate == Animate())
        return;
    // Cleared only once the clock is off: a tick still running must not go
    // past the end of a run that is being stopped.
    if (animate)
        stopping_ = false;
    clock_.SetEnabled(animate);
    stopping_ = false;
    if (animate) {
        if (OnStart)
            OnStart();
    } else {
        if (OnStop)
            OnStop();
        Invalidate();
    }
}

void TRxGIFAnimator::SetAsyncDrawing(bool async)
{
    async_ = async;
    clock_.SetSyncEvent(!async);
}

void TRxGIFAnimator::SetLook(bool& option, bool value)
{
    {
        std::lock_guard<std::recursive_mutex> lock(canvas_);
        option = value;
    }
    Invalidate();
}

void TRxGIFAnimator::SetAutoSize(bool autoSize)
{
    design_.autoSize = autoSize;
    FitToImage();
}

void TRxGIFAnimator::SetFrameIndex(int index)
{
    if (index < 0 || index >= image_.Count())
        return;
    {
        std::lock_guard<std::recursive_mutex> lock(canvas_);
        frameIndex_ = index;
    }
    clock_.SetInterval(static_cast<unsigned>(FrameDelay(index)));
    Invalidate();
}

int TRxGIFAnimator::FrameDelay(int index) const
{
    const auto& frames = image_.Data().frames;
    if (frames.size() < 2 || index < 0 || static_cast<std::size_t>(index) >= frames.size())
        return 0;
    // Hundredths of a second; kept in 32 bits, so a long delay is not wrapped
    // into a short one before it is capped.
    const int milliseconds = frames[static_cast<std::size_t>(index)].delayHundredths * 10;
    return std::clamp(milliseconds, 50, 10000);
}

void TRxGIFAnimator::FitToImage()
{
    if (!design_.autoSize || !Handle() || image_.Width() <= 0 || image_.Height() <= 0)
        return;
    Rect bounds = Bounds();
    bounds.width = image_.Width();
    bounds.height = image_.Height();
    SetBounds(bounds);
}

void TRxGIFAnimator::AdvanceFrame()
{
    // Events are handed to the window's thread from any other: the clock's
    // own, or whichever runs the step while the drawing mode changes.
    const bool guiThread = ::GetWindowThreadProcessId(Handle(), nullptr) == ::GetCurrentThreadId();
    bool lastRound = false;
    {
        std::lock_guard<std::recursive_mutex> lock(canvas_);
        // Only while it can be seen: a picture on a hidden form neither
        // moves on nor draws.
        if (stopping_ || !Handle() || !::IsWindowVisible(Handle()) || image_.Count() < 2 || !::GetParent(Handle()))
            return;
        const int next = frameIndex_ + 1 < image_.Count() ? frameIndex_ + 1 : 0;
        frameIndex_ = next;
        // Handed over without waiting: the GUI thread may itself be waiting
        // for the canvas, and the picture must not stall while it is busy.
        if (OnFrameChanged) {
            if (!guiThread)
                ::PostMessageA(Handle(), frameChanged, 0, 0);
            else
                OnFrameChanged();
        }
        if (!Handle())
            return;  // the handler closed the window
        WindowDc dc(Handle());
        DrawFrame(dc.Get());
        clock_.SetInterval(static_cast<unsigned>(FrameDelay(next)));
        lastRound = !design_.loop && next == 0;
    }
    if (!lastRound)
        return;
    if (!guiThread) {
        stopping_ = true;  // no further frame until the GUI thread stops the clock
        ::PostMessageA(Handle(), stopAtEnd, 0, 0);
    } else {
        SetAnimate(false);
    }
}

void TRxGIFAnimator::Paint(HDC dc)
{
    std::lock_guard<std::recursive_mutex> lock(canvas_);
    RECT client{};
    ::GetClientRect(Handle(), &client);
    if (background_.Width() != client.right || background_.Height() != client.bottom)
        background_ = DibSection(client.right, client.bottom);
    if (background_) {
        MemoryDc memory(::CreateCompatibleDC(dc));
        ScopedSelect bitmap(memory.Get(), background_.Get());
        PaintParentBackground(Handle(), memory.Get());
        ::GdiFlush();
    }
    DrawFrame(dc);
}

void TRxGIFAnimator::DrawFrame(HDC dc)
{
    if (!background_ || !dc)
        return;  // not painted yet: the first WM_PAINT draws the frame
    const int width = background_.Width();
    const int height = background_.Height();
    DibSection buffer(width, height);
    if (!buffer)
        return;
    std::memcpy(buffer.Bits(), background_.Bits(), static_cast<std::size_t>(buffer.Stride()) * height);
    if (!image_.Empty() && image_.Width() > 0 && image_.Height() > 0 && composer_) {
        const gif::Picture& picture = composer_->Compose(frameIndex_);
        int x = 0, y = 0, w = picture.width, h = picture.height;
        if (design_.stretch) {
            w = width;
            h = height;
        } else if (design_.center) {
            x = (width - w) / 2;
            y = (height - h) / 2;
        }
        gif::DrawScaled(picture, {buffer.Bits(), width, height, buffer.Stride()}, x, y, w, h, design_.transparent);
    }
    MemoryDc memory(::CreateCompatibleDC(dc));
    ScopedSelect bitmap(memory.Get(), buffer.Get());
    ::BitBlt(dc, 0, 0, width, height, memory.Get(), 0, 0, SRCCOPY);
}

LRESULT TRxGIFAnimator::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case frameChanged:
        if (OnFrameChanged)
            OnFrameChanged();
        return 0;
    case stopAtEnd:
        if (stopping_)
            SetAnimate(false);
        return 0;
    case WM_DESTROY:
        clock_.SetEnabled(false);  // its thread draws into this window
        break;
    }
    return PaintedWindow::HandleMessage(message, wParam, lParam);
}

void TRxGIFAnimator::SetLoop(bool loop)
{
    std::lock_guard<std::recursive_mutex> lock(canvas_);
    design_.loop = loop;
}
