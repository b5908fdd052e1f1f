// The gauge's preset looks (TProEffect): one row per preset of the
// properties it sets; a property marked to be kept stays as it is.
#pragma once

#include "ProgressCyl.h"

namespace brimwell {

inline constexpr COLORREF keepColor = 0xFFFFFFFF;  // a dash in the table: the property stays

struct CylinderPreset {
    TCylinderEffect effect;
    int bevelOuter, bevelInner, borderWidth, showText;  // -1 keeps
    COLORREF fontColor, fontShadowColor;
    TFontEffect fontEffect;
    COLORREF fore, back, foreLine, backBorder, color, bevelColor;
    larkspan::cylinder::ColorStyle backStyle, foreStyle;
};

// The row of a preset other than peCustom.
const CylinderPreset& PresetOf(TProEffect effect);

}  // namespace brimwell
