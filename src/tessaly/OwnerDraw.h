// The owner-drawn look of the widget's lists and menus: one gradient routine
// for every highlight, the document list's items, and the menu rows with
// their icon gutter. The file portal and the address book use the same.
#pragma once

#include "winui/ImageList.h"
#include "winui/PopupMenu.h"

#include <windows.h>

#include <initializer_list>
#include <string>

namespace tessaly {

// Fills `r` with one-pixel lines through the colour stops, along x when
// `horizontal`, else along y; the pen is restored afterwards. Throws
// larkspan::EMathError for fewer than two colours.
void DrawGradient(HDC dc, const RECT& r, bool horizontal, std::initializer_list<COLORREF> colors);

// The cream-to-gold highlight of selected list items and menu rows: the
// gradient clipped to a rounded rectangle with a grey rounded outline.
enum class HighlightOf { ListItem, MenuRow };
void DrawHighlight(HDC dc, const RECT& r, HighlightOf what);

// The background of a list item: the highlight when selected, else white.
void DrawItemBackground(HDC dc, const RECT& r, bool selected);

// One item of the document list: icon by extension and file name.
void DrawDocumentItem(HDC dc, const RECT& r, bool selected, const std::string& item, const winui::ImageList& icons,
                      HFONT font);

// Menu rows: flat light rows with a blue gradient icon gutter (cream-to-gold
// when checked) and the cream-to-gold rounded highlight.
class TMenuDrawing final : public winui::MenuPainter {
public:
    explicit TMenuDrawing(const winui::ImageList& images) : images_(images) {}

    void MenuItemMeasureItem(const winui::MenuItem& item, HDC dc, int& width, int& height);
    void MenuItemDrawItem(const winui::MenuItem& item, HDC dc, const RECT& row, bool selected);
    void MeasureSeparator(const winui::MenuItem& item, HDC dc, int& width, int& height);
    void SeparatorDrawItem(const winui::MenuItem& item, HDC dc, const RECT& row, bool selected);

    void Measure(const winui::MenuItem& item, HDC dc, int& width, int& height) override;
    void Draw(const winui::MenuItem& item, HDC dc, const RECT& row, bool selected) override;

private:
    const winui::ImageList& images_;
};

}  // namespace tessaly
