// The fading push button: a gradient face that cross-fades to a second
// gradient while the mouse is over it and to a third while it is pressed,
// stepped on window timer 1, with a rounded border and a centred caption.
#pragma once

#include "RbCustomControl.h"
#include "winui/Colors.h"
#include "winui/Font.h"
#include "winui/Handles.h"
#include "winui/Painting.h"

#include <array>
#include <functional>
#include <string>

enum TFadeSpeed { fsSlow, fsMedium, fsFast, fsVeryFast };

class TRbButton;

// The button's colours; a change of a face or border colour rebuilds the
// three faces, of the caption colours only repaints.
class TRbControlColors {
public:
    explicit TRbControlColors(TRbButton& button) : button_(button) {}
    TRbControlColors(const TRbControlColors&) = delete;
    // Copies all nine values.
    TRbControlColors& operator=(const TRbControlColors& other);

    COLORREF DefaultFrom() const noexcept { return defaultFrom_; }
    COLORREF DefaultTo() const noexcept { return defaultTo_; }
    COLORREF OverFrom() const noexcept { return overFrom_; }
    COLORREF OverTo() const noexcept { return overTo_; }
    COLORREF ClickedFrom() const noexcept { return clickedFrom_; }
    COLORREF ClickedTo() const noexcept { return clickedTo_; }
    COLORREF BorderColor() const noexcept { return borderColor_; }
    COLORREF HotTrack() const noexcept { return hotTrack_; }
    COLORREF TextShadow() const noexcept { return textShadow_; }
    void SetDefaultFrom(COLORREF c) { SetFace(defaultFrom_, c); }
    void SetDefaultTo(COLORREF c) { SetFace(defaultTo_, c); }
    void SetOverFrom(COLORREF c) { SetFace(overFrom_, c); }
    void SetOverTo(COLORREF c) { SetFace(overTo_, c); }
    void SetClickedFrom(COLORREF c) { SetFace(clickedFrom_, c); }
    void SetClickedTo(COLORREF c) { SetFace(clickedTo_, c); }
    void SetBorderColor(COLORREF c) { SetFace(borderColor_, c); }
    void SetHotTrack(COLORREF c) { SetCaption(hotTrack_, c); }
    void SetTextShadow(COLORREF c) { SetCaption(textShadow_, c); }

private:
    void SetFace(COLORREF& slot, COLORREF value);
    void SetCaption(COLORREF& slot, COLORREF value);

    TRbButton& button_;
    COLORREF defaultFrom_ = 16777215, defaultTo_ = 13745839;
    COLORREF overFrom_ = 16777215, overTo_ = 12489846;
    COLORREF clickedFrom_ = 13029334, clickedTo_ = 15463415;
    COLORREF borderColor_ = 8421504, hotTrack_ = 16711680, textShadow_ = 16777215;
};

struct RbButtonDesign {
    winui::Rect bounds{0, 0, 75, 25};
    std::string caption;
    winui::FontSpec font;
    COLORREF color = clBtnFace;
    TGradientType gradientType = gtVertical;
    TFadeSpeed fadeSpeed = fsMedium;
    bool showFocusRect = true;
    bool gradientBorder = true;
    bool textShadow = true;
    int groupIndex = 0;
    bool allowAllUp = false;
    int modalResult = 0;
};

class TRbButton final : public TRbCustomControl {
public:
    using WindowClassOwner = TRbButton;
    static constexpr const char* windowClass = "Larkspan.RbButton";
    TRbButton();
    void Create(HWND parent, const RbButtonDesign& design);

    TRbControlColors Colors{*this};

    TGradientType GradientType() const noexcept { return design_.gradientType; }
    void SetGradientType(TGradientType type);
    TFadeSpeed FadeSpeed() const noexcept { return design_.fadeSpeed; }
    void SetFadeSpeed(TFadeSpeed speed) { design_.fadeSpeed = speed; }
    // The fade timer's interval for the fade speed, in milliseconds.
    int FadeInterval() const noexcept;
    bool HotTrack() const noexcept { return hotTrack_; }
    void SetHotTrack(bool hotTrack);
    bool ShowFocusRect() const noexcept { return design_.showFocusRect; }
    void SetShowFocusRect(bool show);
    int GroupIndex() const noexcept { return design_.groupIndex; }
    void SetGroupIndex(int index) { design_.groupIndex = index; }
    bool AllowAllUp() const noexcept { return design_.allowAllUp; }
    void SetAllowAllUp(bool allow) { design_.allowAllUp = allow; }
    bool Down() const noexcept { return down_; }
    void SetDown(bool down);
    int ModalResult() const noexcept { return design_.modalResult; }
    bool Default() const noexcept { return default_; }
    void SetDefault(bool value) { default_ = value; }
    bool Cancel() const noexcept { return cancel_; }
    void SetCancel(bool value) { cancel_ = value; }
    const std::string& Caption() const noexcept { return design_.caption; }

    int HoverLevel() const noexcept { return hover_; }
    int PressLevel() const noexcept { return press_; }
    bool FadeRunning() const noexcept { return timerRunning_; }

    void Click();
    std::function<void()> OnClick;

    bool WantsDialogKey(WORD key) override;

    // Rebuilds the three faces from the colours and the gradient type.
    void Rebuild() override;

private:
    enum class Step { FadeIn, FadeOut };

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MousePress(winui::MouseTracker::Press press) override;
    void EndPress();
    void StartStep(Step step);
    void RunStep();
    void FadeIn();
    void FadeOut();
    void StopTimer();
    void Blend(const winui::DibSection& target, const winui::DibSection& face, const RECT& area, int level) const;

    RbButtonDesign design_;
    winui::FontHandle font_;
    std::array<winui::DibSection, 3> faces_;  // default, over, clicked
    int hover_ = 0;
    int press_ = 0;
    bool hot_ = false;
    bool pressed_ = false;
    bool down_ = false;
    bool hotTrack_ = false;
    bool default_ = false;
    bool cancel_ = false;
    bool timerRunning_ = false;
    Step step_ = Step::FadeIn;
};
