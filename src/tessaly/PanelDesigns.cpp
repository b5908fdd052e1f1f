#include "PanelDesigns.h"

namespace tessaly {

RbPanelDesign GradientBar(const winui::Rect& bounds, COLORREF from, COLORREF to)
{
    RbPanelDesign p;
    p.bounds = bounds;
    p.color = RgbHex(0xDFDFE3);
    p.antialiased = false;
    p.gradient = true;
    p.gradientType = gtDoubleVert;
    p.defaultFrom = from;
    p.defaultTo = to;
    p.cornerWidth = 0;
    p.borderWidth = 1;
    p.borderColor = clGray;
    p.outerColor = clBtnFace;
    return p;
}

RbPanelDesign TitleBar(const std::string& caption)
{
    RbPanelDesign title = GradientBar({0, 0, 178, 30}, RgbHex(0x1084D0), RgbHex(0x71B8FF));
    title.caption = caption;
    title.captionPosition = cpMiddleCenter;
    title.font = winui::FontSpec().Face("Arial").Height(-16).Bold().Color(clWhite);
    title.textShadow = false;
    return title;
}

RbPanelDesign WhitePanel(const winui::Rect& bounds)
{
    RbPanelDesign p;
    p.bounds = bounds;
    p.color = clWhite;
    p.cornerWidth = 15;
    p.borderWidth = 3;
    p.borderColor = clSilver;
    p.outerColor = clSilver;
    p.antialiased = true;
    p.gradient = false;
    p.defaultFrom = clWhite;
    p.defaultTo = RgbHex(0xDFDFE3);
    p.gradientType = gtVertical;
    p.textShadow = true;
    p.showCaption = false;
    p.font = winui::FontSpec().Height(-11).Bold().Color(clGray);
    return p;
}

}  // namespace tessaly
