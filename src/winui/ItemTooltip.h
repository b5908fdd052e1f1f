// A tooltip over a list box that shows the whole text of the item under the
// mouse, for lists that draw their items shortened.
#pragma once

#include <windows.h>

#include <string>

namespace winui {

class ItemTooltip {
public:
    ItemTooltip() = default;
    ItemTooltip(const ItemTooltip&) = delete;
    ItemTooltip& operator=(const ItemTooltip&) = delete;
    ~ItemTooltip();

    // Creates the tooltip for `list`.
    void Attach(HWND list);
    // Hands the tooltip a message of the list: the mouse messages tell it
    // when to show, hide and follow the item under the mouse.
    void Relay(UINT message, WPARAM wParam, LPARAM lParam);
    HWND Handle() const noexcept { return tooltip_; }

private:
    // The mouse moved to `clientPoint` of the list.
    void MouseMoved(POINT clientPoint);
    // Shows `text` from now on; empty for none.
    void SetText(const std::string& text);

    HWND list_ = nullptr;
    HWND tooltip_ = nullptr;
    std::string text_;
};

}  // namespace winui
