// Pop-up menus described as trees of items owned by the form that holds them.
// The platform menu is built anew for every pop-up from the items' state;
// the chosen command comes back to the owning form as WM_COMMAND and runs the
// item's OnClick.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace winui {

class MenuItem {
public:
    explicit MenuItem(std::string caption = "-", int imageIndex = -1);
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    const std::string& Caption() const noexcept { return caption_; }
    int ImageIndex() const noexcept { return imageIndex_; }
    UINT Command() const noexcept { return command_; }
    bool IsSeparator() const noexcept { return caption_ == "-"; }
    bool Checked() const noexcept { return checked_; }
    void SetChecked(bool checked) noexcept { checked_ = checked; }
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool enabled) noexcept { enabled_ = enabled; }

    // Items of the submenu this item opens.
    void SetItems(std::initializer_list<MenuItem*> items) { items_ = items; }
    const std::vector<MenuItem*>& Items() const noexcept { return items_; }

    // Finds the item of this subtree that carries the command.
    MenuItem* Find(UINT command) noexcept;
    bool Contains(const MenuItem* item) const noexcept;

    std::function<void()> OnClick;

private:
    std::string caption_;
    int imageIndex_;
    UINT command_;
    bool checked_ = false;
    bool enabled_ = true;
    std::vector<MenuItem*> items_;
};

// Paints the items of an owner-drawn menu.
class MenuPainter {
public:
    virtual ~MenuPainter() = default;
    virtual void Measure(const MenuItem& item, HDC dc, int& width, int& height) = 0;
    virtual void Draw(const MenuItem& item, HDC dc, const RECT& row, bool selected) = 0;
};

class PopupMenu {
public:
    PopupMenu() = default;
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;

    void SetItems(std::initializer_list<MenuItem*> items) { root_.SetItems(items); }
    const std::vector<MenuItem*>& Items() const noexcept { return root_.Items(); }

    // Shows the menu at a screen point; the choice is posted to the owner.
    void Popup(HWND owner, int x, int y);
    // Runs the OnClick of the item with this command; false if none has it.
    bool InvokeCommand(UINT command);

    // With a painter every item, separators included, is drawn by it.
    void SetPainter(MenuPainter* painter) noexcept { painter_ = painter; }
    MenuPainter* Painter() const noexcept { return painter_; }
    // Measures or draws an owner-drawn item of this menu; false if the item
    // belongs to another menu.
    bool MeasureItem(MEASUREITEMSTRUCT& measure);
    bool DrawItem(const DRAWITEMSTRUCT& draw);

private:
    bool Owns(const MenuItem* item);

    MenuItem root_;
    MenuPainter* painter_ = nullptr;
};

}  // namespace winui
