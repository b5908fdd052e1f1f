// The gradient push button: a focusable painted button in one of four
// colour sets (normal, mouse over, pressed, disabled), with an optional
// top-to-bottom gradient, composed off screen and copied in one step.
#pragma once

#include "core/XiColors.h"
#include "winui/Font.h"
#include "winui/Handles.h"
#include "winui/MouseTracker.h"
#include "winui/PaintedWindow.h"

#include <functional>
#include <string>

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

using TColorScheme = larkspan::xi::Scheme;

struct XiButtonDesign {
    winui::Rect bounds{0, 0, 75, 25};
    std::string caption;
    winui::FontSpec font;
    TColorScheme colorScheme = TColorScheme::NeoDesert;
    int modalResult = 0;
    bool cancel = false;
    bool tabStop = true;
};

class TXiButton final : public winui::PaintedWindow {
public:
    enum class State { Normal, Over, Down };

    // As constructed: the csNeoDesert colours with white Grad colours of the
    // over, down and disabled sets, gradient off.
    TXiButton();
    void Create(HWND parent, const XiButtonDesign& design);

    // The 25 colours by index (larkspan::xi); setting one makes the scheme
    // csCustom and repaints.
    COLORREF ColorByIndex(std::size_t index) const { return colors_.at(index); }
    void SetByIndex(std::size_t index, COLORREF color);
    COLORREF ColorFace() const { return colors_[larkspan::xi::Face]; }
    void SetColorFace(COLORREF color) { SetByIndex(larkspan::xi::Face, color); }

    TColorScheme ColorScheme() const noexcept { return scheme_; }
    void SetColorScheme(TColorScheme scheme);
    bool Gradient() const noexcept { return gradient_; }
    void SetGradient(bool gradient);
    bool Ctl3D() const noexcept { return ctl3D_; }
    void SetCtl3D(bool ctl3D);
    bool HotTrack() const noexcept { return hotTrack_; }
    void SetHotTrack(bool hotTrack)
    {
        hotTrack_ = hotTrack;
        Invalidate();
    }
    TButtonLayout Layout() const noexcept { return layout_; }
    void SetLayout(TButtonLayout layout);
    int Spacing() const noexcept { return spacing_; }
    void SetSpacing(int spacing);
    // A copy of the bitmap is kept; its top-left pixel is the transparent colour.
    void SetGlyph(HBITMAP glyph);
    bool TransparentGlyph() const noexcept { return transparentGlyph_; }
    void SetTransparentGlyph(bool transparent);
    bool Cancel() const noexcept { return cancel_; }
    void SetCancel(bool cancel)
    {
        cancel_ = cancel;
        Invalidate();
    }
    bool Default() const noexcept { return default_; }
    void SetDefault(bool value) { default_ = value; }
    int ModalResult() const noexcept { return modalResult_; }
    void SetModalResult(int result) noexcept { modalResult_ = result; }

    const std::string& Caption() const noexcept { return caption_; }
    void SetCaption(const std::string& caption);
    void SetEnabled(bool enabled);
    bool Enabled() const;

    State VisualState() const noexcept { return state_; }
    bool Focused() const noexcept { return focused_; }

    // The parent form's modal result (when the button has one), the normal
    // state, then OnClick.
    void Click();
    std::function<void()> OnClick;

    // Enter while focused, or Escape on a Cancel button: clicks and takes
    // the key. A mnemonic ("&x" in the caption) of an enabled button clicks.
    bool WantsDialogKey(WORD key) override;
    bool WantsDialogChar(char character) override;

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc) override;
    void SetState(State state);
    // The face that follows the mouse's hover and press.
    void FollowMouse(const winui::MouseTracker::Changes& changes);
    void DrawGlyphAndCaption(HDC dc, int width, int height, COLORREF text);

    larkspan::xi::ButtonColors colors_{};
    TColorScheme scheme_ = TColorScheme::NeoDesert;
    bool gradient_ = false;
    bool ctl3D_ = true;
    bool hotTrack_ = true;
    TButtonLayout layout_ = blGlyphLeft;
    int spacing_ = 4;
    bool transparentGlyph_ = true;
    bool cancel_ = false;
    bool default_ = false;
    int modalResult_ = 0;
    std::string caption_;
    winui::FontSpec fontSpec_;
    winui::FontHandle font_;
    winui::BitmapHandle glyph_;

    State state_ = State::Normal;
    bool focused_ = false;
    // The pressed flag is the tracker's; a release on the left or top edge
    // does not click.
    winui::MouseTracker mouse_{winui::EdgeRule::Strict};
};
