// A picture control that plays an animated GIF: each frame composed over
// the ones before it by their disposal methods, shown centred, stretched or
// at the top-left corner without the image's transparent colour, and moved
// on by a TRxTimer when the frame's delay has passed. With AsyncDrawing the
// timer's own thread advances and draws the frames, so the picture keeps
// moving while the GUI thread is busy.
#pragma once

#include "core/GifComposer.h"
#include "winui/PaintedWindow.h"
#include "winui/Painting.h"
#include "winui/RxTimer.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <span>

// A decoded GIF and the frame it starts at.
class TGIFImage {
public:
    TGIFImage() = default;
    explicit TGIFImage(larkspan::gif::Image image) : image_(std::move(image)) {}
    // Decodes a file's bytes; throws larkspan::gif::GifError for a bad file.
    static TGIFImage FromBytes(std::span<const std::uint8_t> bytes);
    // Decodes a GIF stored as raw data (RCDATA) in the program's resources.
    static TGIFImage FromResource(const char* name);

    const larkspan::gif::Image& Data() const noexcept { return image_; }
    int Count() const noexcept { return static_cast<int>(image_.frames.size()); }
    bool Empty() const noexcept { return image_.frames.empty(); }
    int Width() const noexcept { return image_.width; }
    int Height() const noexcept { return image_.height; }
    // The frame a picture given this image starts at; the picture then keeps
    // its own current frame (TRxGIFAnimator::FrameIndex).
    int FrameIndex() const noexcept { return frameIndex_; }
    void SetFrameIndex(int index);

private:
    larkspan::gif::Image image_;
    int frameIndex_ = 0;
};

struct RxGIFAnimatorDesign {
    winui::Rect bounds{0, 0, 32, 32};
    bool center = false;
    bool stretch = false;
    bool transparent = true;
    bool loop = true;
    bool autoSize = true;
};

class TRxGIFAnimator final : public winui::PaintedWindow {
public:
    TRxGIFAnimator();
    ~TRxGIFAnimator() override;
    void Create(HWND parent, const RxGIFAnimatorDesign& design);

    const TGIFImage& Image() const noexcept { return image_; }
    // Copies the image, takes its frame index, and with AutoSize its size.
    void SetImage(const TGIFImage& image);

    bool Animate() const noexcept { return clock_.Enabled(); }
    void SetAnimate(bool animate);
    bool AsyncDrawing() const noexcept { return async_; }
    void SetAsyncDrawing(bool async);
    bool Center() const noexcept { return design_.center; }
    void SetCenter(bool center) { SetLook(design_.center, center); }
    bool Stretch() const noexcept { return design_.stretch; }
    void SetStretch(bool stretch) { SetLook(design_.stretch, stretch); }
    bool Transparent() const noexcept { return design_.transparent; }
    void SetTransparent(bool transparent) { SetLook(design_.transparent, transparent); }
    bool Loop() const noexcept { return design_.loop; }
    void SetLoop(bool loop);
    bool AutoSize() const noexcept { return design_.autoSize; }
    void SetAutoSize(bool autoSize);
    int FrameIndex() const noexcept { return frameIndex_; }
    // Shows frame `index` (one of the image's); the clock waits its delay.
    void SetFrameIndex(int index);

    // How long frame `index` shows, in milliseconds: 0 for a still image or
    // an index outside it, else the frame's delay kept within 50 ... 10000.
    int FrameDelay(int index) const;
    unsigned ClockInterval() const noexcept { return clock_.Interval(); }
    // The clock's step: the next frame, drawn at once.
    void AdvanceFrame();

    // Set before the animation starts: the clock's thread reads them.
    std::function<void()> OnStart;
    std::function<void()> OnStop;
    std::function<void()> OnFrameChanged;
    std::function<void()> OnChange;

private:
    static constexpr UINT frameChanged = WM_APP + 40;
    static constexpr UINT stopAtEnd = WM_APP + 41;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc) override;
    // Draws the current frame over the saved background; the canvas is locked.
    void DrawFrame(HDC dc);
    void FitToImage();
    // Changes one of the options the picture is drawn by, and repaints.
    void SetLook(bool& option, bool value);

    RxGIFAnimatorDesign design_;
    TGIFImage image_;
    std::unique_ptr<larkspan::gif::Composer> composer_;  // reads image_
    std::atomic<int> frameIndex_{0};
    std::atomic<bool> async_{false};
    std::atomic<bool> stopping_{false};  // the end of a non-looping run is on its way to the GUI thread
    // Held while the picture is composed or drawn, from either thread.
    std::recursive_mutex canvas_;
    // What the parent shows behind the control, taken on the GUI thread at
    // each paint so that the clock's thread never has to ask the parent.
    winui::DibSection background_;
    // Last member: stopped before anything its thread reads goes away.
    TRxTimer clock_;
};
