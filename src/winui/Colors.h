// Colour names as the window designs use them. Values with the top bit set
// name system colours (the index in the low byte).
#pragma once

#include "core/Gradient.h"

#include <windows.h>

constexpr COLORREF clWhite = RGB(255, 255, 255);
constexpr COLORREF clBlack = RGB(0, 0, 0);
constexpr COLORREF clSilver = RGB(0xC0, 0xC0, 0xC0);
constexpr COLORREF clGray = RGB(0x80, 0x80, 0x80);
constexpr COLORREF clMaroon = RGB(0x80, 0, 0);
constexpr COLORREF clGreen = 0x008000;
constexpr COLORREF clRed = 0x0000FF;
constexpr COLORREF clTeal = 0x808000;
constexpr COLORREF clYellow = 0x00FFFF;
constexpr COLORREF clPurple = 0x800080;
constexpr COLORREF clAqua = 0xFFFF00;
constexpr COLORREF clWindow = 0x80000005;
constexpr COLORREF clHighlight = 0x8000000D;
constexpr COLORREF clBtnFace = 0x8000000F;
constexpr COLORREF clBtnShadow = 0x80000010;
constexpr COLORREF clBtnHighlight = 0x80000014;
constexpr COLORREF cl3DDkShadow = 0x80000015;
constexpr COLORREF cl3DLight = 0x80000016;

// Colours written "RGB rrggbb".
constexpr COLORREF RgbHex(unsigned value)
{
    return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

// A plain RGB value, system colours resolved.
inline COLORREF ToRgbColor(COLORREF color)
{
    return (color & 0x80000000) ? ::GetSysColor(static_cast<int>(color & 0xFF)) : color;
}

inline larkspan::Rgb ResolveColor(COLORREF color)
{
    const COLORREF c = ToRgbColor(color);
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}
