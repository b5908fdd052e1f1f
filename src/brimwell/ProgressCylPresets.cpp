#include "ProgressCylPresets.h"

namespace brimwell {

namespace cyl = larkspan::cylinder;

namespace {

constexpr cyl::ColorStyle S(int irgb, float i, float f, int range, int crgb, float cf, float angle)
{
    return {irgb, i, f, range, crgb, cf, angle};
}

constexpr cyl::ColorStyle sysStyle = S(255, 4, -1, 255, 255, -1, -3);
constexpr cyl::ColorStyle glassStyle = S(255, 4, -1, 255, 255, 1, -3);
constexpr cyl::ColorStyle glassFore = S(255, 3, -0.8f, 255, 200, 1, -3);
constexpr cyl::ColorStyle metalStyle = S(-100, 4, -1.7f, -100, -100, -1, -1.5f);
constexpr cyl::ColorStyle sunkenBack = S(255, 2, -1, 153, 0, 1, -3);

constexpr CylinderPreset Glass(COLORREF fore, COLORREF back, COLORREF line, const cyl::ColorStyle& foreStyle)
{
    return {ceMaximum, -1, -1, -1, -1, clBlack, keepColor, feNone, fore, back, line, clBlack, clBtnFace, clBtnFace,
            glassStyle, foreStyle};
}

constexpr CylinderPreset Metal(COLORREF fore)
{
    return {ceMaximum, -1, -1, -1, -1, clBlack, clBtnFace, feShadowBottomRight, fore, clWhite, clBlack, clBlack,
            clBtnFace, clBtnFace, metalStyle, metalStyle};
}

constexpr CylinderPreset Std(COLORREF fore, COLORREF back)
{
    return {ceMaximum, -1, -1, -1, -1, clBlack, keepColor, feInvert, fore, back, clWhite, clBlack, clBtnFace, clBtnFace,
            sunkenBack, sysStyle};
}

constexpr CylinderPreset System(TFontEffect fx, COLORREF shadow, COLORREF fore, COLORREF back, COLORREF line,
                        const cyl::ColorStyle& backStyle, const cyl::ColorStyle& foreStyle)
{
    return {ceMaximum, -1, -1, -1, -1, clBlack, shadow, fx, fore, back, line, clBlack, clBtnFace, clBtnFace,
            backStyle, foreStyle};
}

// One row per preset, in the order of TProEffect (peCustom's row is unused).
const CylinderPreset presets[] = {
    {ceMaximum, bvLowered, bvRaised, 2, 1, clBlack, clBtnFace, feShadowBottomRight, clBtnFace, clWhite, clHighlight,
     clBlack, clBtnFace, clBtnFace, sysStyle, sysStyle},
    {ceMaximum, bvNone, bvLowered, 2, 0, clBlack, clWhite, feShadowBottomRight, 0xFFD47F, clWhite, clBlack, clBlack,
     clBtnFace, clBtnFace, S(-100, 4, -1.7f, -100, -100, -1, -1.6f), S(-100, 4, -1.7f, -100, -100, -1, -1.6f)},
    {ceMaximum, bvNone, bvRaised, 2, 1, clBlack, clBlack, feInvert, clWhite, clMaroon, clRed, clBlack, clBtnFace,
     clBtnFace, sunkenBack, sysStyle},
    {},  // peCustom
    Glass(0x0000CC, clGray, clWhite, glassFore),
    Glass(0x0080FF, clSilver, clMaroon, glassStyle),
    Glass(0x00CECE, clSilver, clBlack, glassFore),
    Glass(clGreen, clGray, clWhite, glassStyle),
    Glass(clTeal, clSilver, clYellow, glassStyle),
    Glass(0xD76B00, clGray, clWhite, glassFore),
    Glass(0xB36666, clSilver, clBlack, glassStyle),
    Glass(clPurple, clGray, clWhite, glassStyle),
    System(feShadowBottomRight, clBtnFace, clBtnFace, clWindow, clHighlight, sysStyle, sysStyle),
    System(feShadowBottomRight, clBtnFace, clBtnFace, clWindow, clHighlight, S(-100, 4, -1.7f, -100, -100, -1, -1.5f),
           S(-50, 8, -1.5f, -150, -80, -1, -1.5f)),
    System(feShadowBottomRight, clBtnFace, clBtnShadow, clBtnFace, clWindow, sysStyle, sysStyle),
    System(feShadowBottomRight, clBtnFace, clBtnShadow, clBtnFace, clWindow, metalStyle, metalStyle),
    System(feInvert, keepColor, clWindow, clHighlight, clHighlight, sunkenBack, sysStyle),
    System(feInvert, keepColor, clWindow, clHighlight, clHighlight, S(255, 4, -1.5f, 153, 0, 1, -3), metalStyle),
    System(feInvert, keepColor, clHighlight, clBtnShadow, clWindow, sunkenBack, S(200, 4, -0.5f, 200, 200, -1.2f, -3)),
    System(feInvert, keepColor, clHighlight, clBtnShadow, clBtnFace, S(255, 4, -1.5f, 153, 0, 1, -3.2f),
           S(-100, 4, -1.5f, -80, -100, -1, -1.5f)),
    {ceHigh, -1, -1, -1, -1, clBlack, keepColor, feInvert, 0x0000B9, clWindow, clBlack, clBlack, clBtnFace, clBtnFace,
     sysStyle, sunkenBack},
    {ceHigh, -1, -1, -1, -1, clBlack, keepColor, feInvert, clBtnShadow, clBtnFace, clBlack, clBlack, clBtnFace, clBtnFace,
     S(-100, 4, -1.5f, -80, -100, -1.5f, -1.5f), S(255, 4, -1.5f, 153, 0, 1, -3.2f)},
    Metal(clRed),
    Metal(0x0096FF),
    Metal(clYellow),
    Metal(clAqua),
    Metal(0x40FF00),
    Metal(0xFFD47F),
    Metal(0xE69B00),
    Metal(0xCE9B9B),
    Metal(0x988B89),
    Metal(0x81CCFF),
    Std(0x0000CC, 0x000066),
    Std(clYellow, 0x009999),
    Std(0x33FF00, 0x408000),
    Std(0xD76B00, 0x63301D),
};
static_assert(sizeof presets / sizeof presets[0] == peStdBlue + 1);

}  // namespace

const CylinderPreset& PresetOf(TProEffect effect)
{
    return presets[effect];
}

}  // namespace brimwell
