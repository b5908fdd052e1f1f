// The platform's list-box control, holding its own strings so that other
// programs and accessibility tools can read the items. Owner-drawn with a
// fixed item height; the owner paints items through OnDrawItem.
#pragma once

#include "DragDrop.h"
#include "Font.h"
#include "ItemTooltip.h"
#include "Window.h"

#include <functional>
#include <string>
#include <vector>

namespace winui {

struct ListBoxDesign {
    Rect bounds;
    bool sorted = false;
    bool multiSelect = false;
    int itemHeight = 16;
    // Items can be dragged onto other controls (DragSource).
    bool dragSource = false;
    // A tooltip shows the whole text of the item under the mouse (for
    // items that the owner draws shortened).
    bool itemTips = false;
    COLORREF color = RGB(255, 255, 255);
    FontSpec font;
};

struct DrawItemArgs {
    HDC dc;
    int index;
    RECT rect;
    bool selected;
    bool focused;
};

class ListBox final : public Window {
public:
    void Create(HWND parent, const ListBoxDesign& design);

    int Count() const;
    std::string Item(int index) const;
    std::vector<std::string> Items() const;
    int Add(const std::string& text);
    void AddAll(const std::vector<std::string>& texts);
    void Clear();
    // Replaces every item (sorted into place again when the list sorts).
    void Assign(const std::vector<std::string>& texts);
    // Removes one item.
    void Delete(int index);
    // Replaces one item's text in place (unsorted lists).
    void Replace(int index, const std::string& text);

    // The selected item (single selection), -1 for none. Setting it raises no
    // OnClick, as only the user's choice does.
    int ItemIndex() const;
    void SetItemIndex(int index);
    bool Selected(int index) const;
    // Selects or deselects one item of a multi-select list, leaving the others.
    void SetSelected(int index, bool selected);

    // Suspends repainting while items are added; calls nest.
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const noexcept { return updateCount_ > 0; }

    void SetFocus();
    const FontSpec& GetFont() const noexcept { return design_.font; }
    HFONT FontHandle() const noexcept { return font_.Get(); }
    COLORREF Color() const noexcept { return design_.color; }
    // The tooltip of the item under the mouse (itemTips), or nullptr.
    HWND TooltipHandle() const noexcept { return tips_.Handle(); }

    // Raised when the user changes the selection with the mouse or keyboard.
    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    std::function<void(const DrawItemArgs&)> OnDrawItem;

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool ReflectCommand(WORD code) override;
    bool ReflectDrawItem(const DRAWITEMSTRUCT& item) override;
    void DrawDefaultItem(const DrawItemArgs& args);

    ListBoxDesign design_;
    winui::FontHandle font_;
    BrushHandle background_;
    int updateCount_ = 0;
    DragSource drag_{*this};
    ItemTooltip tips_;
    // A press on a selected item of a multi-select source keeps the
    // selection, so that all of it can be dragged; released without a drag,
    // it is a plain click after all.
    bool pressKeptSelection_ = false;
    bool KeepSelectionForDrag(UINT message, WPARAM wParam, LPARAM lParam);
};

// Keeps a list's repainting suspended for one scope.
class ListUpdate {
public:
    explicit ListUpdate(ListBox& list) : list_(list) { list_.BeginUpdate(); }
    ListUpdate(const ListUpdate&) = delete;
    ListUpdate& operator=(const ListUpdate&) = delete;
    ~ListUpdate() { list_.EndUpdate(); }

private:
    ListBox& list_;
};

}  // namespace winui
