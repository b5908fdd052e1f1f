#include "OwnerDraw.h"

#include "winui/Colors.h"
#include "core/OwnerDrawing.h"
#include "winui/Handles.h"

#include <vector>

using winui::BrushHandle;
using winui::FontHandle;
using winui::PenHandle;
using winui::ScopedSelect;

namespace tessaly {

namespace {

const COLORREF highlightTop = RgbHex(0xFFF5DD);
const COLORREF highlightBottom = RgbHex(0xFFD25E);
const COLORREF outline = RgbHex(0xC5C5C5);
const COLORREF gutterLeft = RgbHex(0xDFEEF7);
const COLORREF gutterRight = RgbHex(0x7CA8D3);
const COLORREF checkedFrame = RgbHex(0x9E9E9E);
const COLORREF menuRow = RgbHex(0xFAFAFA);
const COLORREF captionEnabled = RgbHex(0x00156E);
const COLORREF captionDisabled = RgbHex(0xC0C0C0);
constexpr int gutterRightEdge = 26;

void DrawGutter(HDC dc, const RECT& row, bool checked)
{
    const RECT gutter{row.left, row.top, gutterRightEdge, row.bottom};
    if (checked)
        DrawGradient(dc, gutter, false, {highlightTop, highlightTop, highlightBottom});
    else
        DrawGradient(dc, gutter, true, {gutterLeft, gutterRight, gutterRight});
}

// A copy of the canvas font in another weight.
FontHandle FontInWeight(HDC dc, bool bold)
{
    LOGFONTA lf{};
    ::GetObjectA(::GetCurrentObject(dc, OBJ_FONT), sizeof lf, &lf);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    return FontHandle(::CreateFontIndirectA(&lf));
}

// Text extent with line breaks and external leading; an empty text is one
// line high and nothing wide.
larkspan::Size MeasureText(HDC dc, const std::string& text)
{
    RECT r{0, 0, 0, 0};
    if (text.empty()) {
        TEXTMETRICA metrics{};
        ::GetTextMetricsA(dc, &metrics);
        return {0, metrics.tmHeight + metrics.tmExternalLeading};
    }
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_EXTERNALLEADING);
    return {r.right - r.left, r.bottom - r.top};
}

}  // namespace

void DrawGradient(HDC dc, const RECT& r, bool horizontal, std::initializer_list<COLORREF> colors)
{
    std::vector<larkspan::Rgb> stops;
    for (COLORREF color : colors)
        stops.push_back(ResolveColor(color));
    const int extent = horizontal ? r.right - r.left : r.bottom - r.top;
    const std::vector<larkspan::GradientLine> lines = larkspan::GradientLines(extent, stops);

    const HGDIOBJ previous = ::GetCurrentObject(dc, OBJ_PEN);
    for (const larkspan::GradientLine& line : lines) {
        PenHandle pen(::CreatePen(PS_SOLID, 1, RGB(line.color.r, line.color.g, line.color.b)));
        ::SelectObject(dc, pen.Get());
        if (horizontal) {
            ::MoveToEx(dc, r.left + line.position, r.top, nullptr);
            ::LineTo(dc, r.left + line.position, r.bottom);
        } else {
            ::MoveToEx(dc, r.left, r.top + line.position, nullptr);
            ::LineTo(dc, r.right, r.top + line.position);
        }
        ::SelectObject(dc, previous);
    }
}

void DrawHighlight(HDC dc, const RECT& r, HighlightOf what)
{
    winui::RegionHandle round(::CreateRoundRectRgn(r.left, r.top, r.right, r.bottom, 5, 5));
    ::SelectClipRgn(dc, round.Get());
    DrawGradient(dc, r, false, {highlightTop, highlightTop, highlightBottom});
    // A list item's outline is drawn inside the rounded region, one pixel in
    // from its right and bottom; a menu row's after it, over the whole row.
    if (what == HighlightOf::MenuRow)
        ::SelectClipRgn(dc, nullptr);
    {
        PenHandle pen(::CreatePen(PS_SOLID, 1, outline));
        ScopedSelect selectPen(dc, pen.Get());
        ScopedSelect clear(dc, ::GetStockObject(NULL_BRUSH));
        const int inset = what == HighlightOf::ListItem ? 1 : 0;
        ::RoundRect(dc, r.left, r.top, r.right - inset, r.bottom - inset, 5, 5);
    }
    ::SelectClipRgn(dc, nullptr);
}

void DrawItemBackground(HDC dc, const RECT& r, bool selected)
{
    if (selected) {
        DrawHighlight(dc, r, HighlightOf::ListItem);
    } else {
        BrushHandle white(::CreateSolidBrush(RGB(255, 255, 255)));
        ::FillRect(dc, &r, white.Get());
    }
}

void DrawDocumentItem(HDC dc, const RECT& r, bool selected, const std::string& item, const winui::ImageList& icons,
                      HFONT font)
{
    DrawItemBackground(dc, r, selected);
    const larkspan::ListItemLook look = larkspan::LookOfListItem(item);
    // Olive pixels are left out: the white fill or the gradient shows through.
    icons.Draw(dc, look.iconIndex, r.left + 2, r.top + 2);

    ScopedSelect selectFont(dc, font);
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::SetBkMode(dc, TRANSPARENT);
    RECT text{r.left + 22, r.top + 2, r.right, r.bottom};
    ::DrawTextA(dc, look.caption.c_str(), static_cast<int>(look.caption.size()), &text,
                DT_SINGLELINE | DT_TOP | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
}

void TMenuDrawing::MenuItemMeasureItem(const winui::MenuItem& item, HDC dc, int& width, int& height)
{
    larkspan::Size caption{};
    larkspan::Size hint{};
    {
        FontHandle bold = FontInWeight(dc, true);
        ScopedSelect select(dc, bold.Get());
        caption = MeasureText(dc, item.Caption());
    }
    {
        FontHandle regular = FontInWeight(dc, false);
        ScopedSelect select(dc, regular.Get());
        hint = MeasureText(dc, std::string());  // no menu item of the program has a hint
    }
    const larkspan::Size size = larkspan::MenuItemSize(caption, hint);
    width = size.width;
    height = size.height;
}

void TMenuDrawing::MenuItemDrawItem(const winui::MenuItem& item, HDC dc, const RECT& row, bool selected)
{
    BrushHandle background(::CreateSolidBrush(menuRow));
    ::FillRect(dc, &row, background.Get());
    DrawGutter(dc, row, item.Checked());
    if (selected && item.Enabled())
        DrawHighlight(dc, row, HighlightOf::MenuRow);

    FontHandle regular = FontInWeight(dc, false);
    ScopedSelect selectFont(dc, regular.Get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, item.Enabled() ? captionEnabled : captionDisabled);
    RECT text{row.left + 30, row.top + 6, row.right - 4, row.bottom};
    ::DrawTextA(dc, item.Caption().c_str(), static_cast<int>(item.Caption().size()), &text,
                DT_LEFT | DT_TOP | DT_EXTERNALLEADING);

    if (item.Checked()) {
        PenHandle pen(::CreatePen(PS_SOLID, 1, checkedFrame));
        ScopedSelect selectPen(dc, pen.Get());
        ScopedSelect clear(dc, ::GetStockObject(NULL_BRUSH));
        ::Rectangle(dc, row.left, row.top, gutterRightEdge, row.bottom);
    }
    if (item.ImageIndex() >= 0)
        images_.Draw(dc, item.ImageIndex(), row.left + 4, row.top + 5);
}

void TMenuDrawing::MeasureSeparator(const winui::MenuItem&, HDC, int& width, int& height)
{
    width = larkspan::separatorSize.width;
    height = larkspan::separatorSize.height;
}

void TMenuDrawing::SeparatorDrawItem(const winui::MenuItem&, HDC dc, const RECT& row, bool)
{
    DrawGutter(dc, row, false);
    PenHandle pen(::CreatePen(PS_SOLID, 1, outline));
    ScopedSelect selectPen(dc, pen.Get());
    ::MoveToEx(dc, row.left + gutterRightEdge, row.bottom - 2, nullptr);
    ::LineTo(dc, row.right, row.bottom - 2);
}

void TMenuDrawing::Measure(const winui::MenuItem& item, HDC dc, int& width, int& height)
{
    if (item.IsSeparator())
        MeasureSeparator(item, dc, width, height);
    else
        MenuItemMeasureItem(item, dc, width, height);
}

void TMenuDrawing::Draw(const winui::MenuItem& item, HDC dc, const RECT& row, bool selected)
{
    if (item.IsSeparator())
        SeparatorDrawItem(item, dc, row, selected);
    else
        MenuItemDrawItem(item, dc, row, selected);
}

}  // namespace tessaly
