// The cylinder gauge: a progress bar drawn as a lit cylinder, its filled and
// empty parts shaded line by line, with a fore line at the fill boundary,
// optional bevels and a centred value text. Everything is composed in an
// off-screen 24-bit bitmap and copied in one step.
#pragma once

#include "winui/Colors.h"
#include "core/Cylinder.h"
#include "winui/Font.h"
#include "winui/Painting.h"
#include "winui/PaintedWindow.h"

#include <functional>
#include <string>

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TCylinderEffect { ceFlat, ceUltraLow, ceLow, ceMedium, ceHigh, ceMaximum };
enum TFontEffect { feNone, feInvert, feShadowTopLeft, feShadowBottomRight };
enum TFontOrientation { foLeftToRight, foTopToBottom, foBottomToTop };
enum TProgressBarOrientation { pbHorizontal, pbVertical };
enum TProEffect {
    demoSystem, demoMetal, demoSunken, peCustom,
    peGlassRed, peGlassOrange, peGlassYellow, peGlassGreen, peGlassCyan, peGlassBlue, peGlassViolet, peGlassPurple,
    peSystem1, peSystem2, peSystem3, peSystem4, peSystem5, peSystem6, peSystem7, peSystem8,
    peUpLoad1, peUpLoad2,
    peMetalRed, peMetalOrange, peMetalYellow, peMetalCyan, peMetalGreen, peMetalLightBlue, peMetalBlue,
    peMetalViolet, peMetalDarkGray, peMetalGold,
    peStdRed, peStdYellow, peStdGreen, peStdBlue,
};

class TProgressCyl;

// The shading parameters of one part of a gauge. Every accepted change marks
// the gauge's look as custom and recomputes its colours.
class TPCColorStyle {
public:
    explicit TPCColorStyle(TProgressCyl& owner) : owner_(owner) {}
    TPCColorStyle(const TPCColorStyle&) = delete;
    TPCColorStyle& operator=(const TPCColorStyle&) = delete;

    const larkspan::cylinder::ColorStyle& Values() const noexcept { return values_; }
    void SetIntensityRGB(int value);
    void SetIntensity(float value);        // 0 is refused
    void SetIntensityFactor(float value);
    void SetRangeRGB(int value);           // 0 is refused
    void SetColorRGB(int value);
    void SetColorFactor(float value);
    void SetLightAngle(float value);       // 0 is refused
    // Copies the seven values through the setters above, in their order.
    void Assign(const larkspan::cylinder::ColorStyle& values);

private:
    void Changed();

    TProgressCyl& owner_;
    larkspan::cylinder::ColorStyle values_;
};

class TProgressCyl final : public winui::PaintedWindow {
public:
    TProgressCyl();
    ~TProgressCyl() override;

    void Create(HWND parent, const winui::Rect& bounds);

    // Colours: these three store, recompute and repaint even when unchanged.
    void SetForeColor(COLORREF color);
    void SetForeLineColor(COLORREF color);
    void SetBackColor(COLORREF color);
    void SetBevelColor(COLORREF color);
    void SetBackBorderColor(COLORREF color);
    void SetFontShadowColor(COLORREF color);
    void SetColor(COLORREF color);
    COLORREF ForeColor() const noexcept { return foreColor_; }
    COLORREF BackColor() const noexcept { return backColor_; }
    COLORREF FontShadowColor() const noexcept { return fontShadowColor_; }

    void SetFontEffect(TFontEffect effect);
    void SetCylinderEffect(TCylinderEffect effect);
    void SetShowText(bool show);
    void SetFontOrientation(TFontOrientation orientation);
    void SetText(const std::string& text);
    void SetTextDone(const std::string& text);
    void SetFont(const winui::FontSpec& font);
    void SetFontColor(COLORREF color);
    TFontEffect FontEffect() const noexcept { return fontEffect_; }
    TFontOrientation FontOrientation() const noexcept { return fontOrientation_; }
    bool ShowText() const noexcept { return showText_; }

    // Bevel geometry: refused when it would leave no cylinder area.
    void SetBevelInner(TBevelCut cut);
    void SetBevelOuter(TBevelCut cut);
    void SetBevelWidth(int width);
    void SetBorderWidth(int width);
    int BorderWidth() const noexcept { return borderWidth_; }
    int BevelWidth() const noexcept { return bevelWidth_; }

    void SetOrientation(TProgressBarOrientation orientation);
    void SetMin(int value);
    void SetMax(int value);
    void SetPosition(int value);
    void SetStep(int value) { step_ = value; }
    void SetStopAtMax(bool value) { stopAtMax_ = value; }
    int Min() const noexcept { return min_; }
    int Max() const noexcept { return max_; }
    int Position() const noexcept { return position_; }
    int Percentage() const noexcept { return drawn_.percentage; }
    // The text the gauge shows for its current percentage.
    std::string ValueText() const;

    TPCColorStyle ForeStyle{*this};
    TPCColorStyle BackStyle{*this};

    void SetProEffect(TProEffect effect);
    TProEffect ProEffect() const noexcept { return proEffect_; }

    // The composed picture of the last paint (read back by tests).
    const winui::DibSection& Bitmap() const noexcept { return bitmap_; }
    // How often the gauge has been painted.
    int PaintCount() const noexcept { return paintCount_; }
    void SetVisible(bool visible);

    std::function<void()> OnProgressDone;
    std::function<void()> OnMouseEnter;
    std::function<void()> OnMouseLeave;

private:
    friend class TPCColorStyle;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void MarkCustom();
    void UpdateColors();
    void UpdateBevelColors();
    void UpdateGeometry();
    bool CheckGeometry() const;
    void ApplyPosition();
    void PrepareTextEffect(bool textWasShown, bool maskExists);
    void Refresh();
    void Compose();
    void Paint(HDC dc) override;
    void PaintFrames();
    void PaintText();
    void PaintInvertedText();
    larkspan::cylinder::Geometry Geometry() const;
    template <typename T>
    void SetBevelGeometry(T& field, T value);

    bool applying_ = true;
    bool paintReady_ = false;
    bool mouseInside_ = false;
    bool visible_ = true;

    COLORREF foreColor_ = clWhite;
    COLORREF foreLineColor_ = clHighlight;
    COLORREF backColor_ = clBtnFace;
    COLORREF backBorderColor_ = 0;
    COLORREF bevelColor_ = clBtnFace;
    COLORREF color_ = clBtnFace;
    COLORREF fontShadowColor_ = clBtnFace;

    TBevelCut bevelInner_ = bvRaised;
    TBevelCut bevelOuter_ = bvLowered;
    int bevelWidth_ = 1;
    int borderWidth_ = 2;
    TCylinderEffect cylinderEffect_ = ceMaximum;
    TFontEffect fontEffect_ = feShadowBottomRight;
    TFontOrientation fontOrientation_ = foLeftToRight;
    TProgressBarOrientation orientation_ = pbHorizontal;
    winui::FontSpec font_ = winui::FontSpec().Face("Arial").Height(-12).Bold();
    bool showText_ = true;
    std::string text_ = "%";
    std::string textDone_ = "Done";
    int min_ = 0, max_ = 100, position_ = 0, step_ = 1;
    bool stopAtMax_ = true;
    TProEffect proEffect_ = demoSystem;

    larkspan::cylinder::Ratios foreRatios_{}, foreLineRatios_{}, backRatios_{};
    larkspan::cylinder::BevelColors bevels_{};
    larkspan::Rgb innerTopLeft_{}, innerBottomRight_{}, outerTopLeft_{}, outerBottomRight_{};
    int level_ = 255;
    larkspan::cylinder::Fill drawn_{-1, -1, 0};
    int shadowOffset_ = 1;
    winui::DibSection bitmap_;
    winui::DibSection mask_;
    bool hasMask_ = false;
    int paintCount_ = 0;
    std::string windowText_;
};
