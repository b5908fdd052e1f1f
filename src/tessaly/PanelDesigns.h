// The panels that the widget and its portal share: both are 178 pixels wide,
// with the same blue title bar, white silver-rimmed panels and green button
// bar colours, so that the docked pair reads as one.
#pragma once

#include "controls/RbPanel.h"

#include <string>

namespace tessaly {

// The title bar across the top: a blue double gradient, its caption centred
// in white.
RbPanelDesign TitleBar(const std::string& caption);

// The white, silver-rimmed, smoothed panels of the lists and the drop zone.
RbPanelDesign WhitePanel(const winui::Rect& bounds);

// A square double-gradient bar with a one-pixel grey border. Never smoothed:
// smoothing would switch the gradient off.
RbPanelDesign GradientBar(const winui::Rect& bounds, COLORREF from, COLORREF to);

// The green of the bars along the bottom.
inline constexpr COLORREF barGreenFrom = RgbHex(0x008C00);
inline constexpr COLORREF barGreenTo = RgbHex(0x03C752);

}  // namespace tessaly
