#include "PopupMenu.h"

#include "Handles.h"

#include <atomic>

namespace winui {

namespace {

// Commands are unique in the process so that the menus of one form never
// share one. They start above the range the platform uses for its own.
UINT NextCommand()
{
    static std::atomic<UINT> next{1000};
    return next++;
}

// Owner-drawn items carry their MenuItem as item data instead of a text.
HMENU BuildMenu(const std::vector<MenuItem*>& items, bool ownerDrawn)
{
    HMENU menu = ::CreatePopupMenu();
    for (const MenuItem* item : items) {
        const auto data = reinterpret_cast<LPCSTR>(item);
        if (item->IsSeparator()) {
            ::AppendMenuA(menu, MF_SEPARATOR | (ownerDrawn ? MF_OWNERDRAW : 0), item->Command(),
                          ownerDrawn ? data : nullptr);
            continue;
        }
        UINT flags = (ownerDrawn ? MF_OWNERDRAW : MF_STRING) | (item->Checked() ? MF_CHECKED : 0) |
                     (item->Enabled() ? 0 : MF_GRAYED);
        UINT_PTR id = item->Command();
        if (!item->Items().empty()) {
            flags |= MF_POPUP;
            id = reinterpret_cast<UINT_PTR>(BuildMenu(item->Items(), ownerDrawn));
        }
        ::AppendMenuA(menu, flags, id, ownerDrawn ? data : item->Caption().c_str());
    }
    return menu;
}

}  // namespace

MenuItem::MenuItem(std::string caption, int imageIndex)
    : caption_(std::move(caption)), imageIndex_(imageIndex), command_(NextCommand())
{
}

MenuItem* MenuItem::Find(UINT command) noexcept
{
    for (MenuItem* item : items_) {
        if (item->command_ == command)
            return item;
        if (MenuItem* found = item->Find(command))
            return found;
    }
    return nullptr;
}

void PopupMenu::Popup(HWND owner, int x, int y)
{
    MenuHandle menu(BuildMenu(root_.Items(), painter_ != nullptr));
    // The owner must be the foreground window, or the menu does not close when
    // the user clicks elsewhere; the null message lets it close at once.
    ::SetForegroundWindow(owner);
    ::TrackPopupMenu(menu.Get(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr);
    ::PostMessageA(owner, WM_NULL, 0, 0);
}

bool PopupMenu::InvokeCommand(UINT command)
{
    MenuItem* item = root_.Find(command);
    if (!item || item->IsSeparator() || !item->Items().empty())
        return false;
    if (item->OnClick)
        item->OnClick();
    return true;
}

}  // namespace winui

namespace winui {

bool MenuItem::Contains(const MenuItem* item) const noexcept
{
    for (const MenuItem* child : items_)
        if (child == item || child->Contains(item))
            return true;
    return false;
}

bool PopupMenu::Owns(const MenuItem* item)
{
    return item && root_.Contains(item);
}

bool PopupMenu::MeasureItem(MEASUREITEMSTRUCT& measure)
{
    const auto* item = reinterpret_cast<const MenuItem*>(measure.itemData);
    if (!painter_ || !Owns(item))
        return false;
    WindowDc screen(nullptr);
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    FontHandle menuFont(::CreateFontIndirectA(&metrics.lfMenuFont));
    ScopedSelect font(screen.Get(), menuFont.Get());
    int width = 0;
    int height = 0;
    painter_->Measure(*item, screen.Get(), width, height);
    measure.itemWidth = static_cast<UINT>(width);
    measure.itemHeight = static_cast<UINT>(height);
    return true;
}

bool PopupMenu::DrawItem(const DRAWITEMSTRUCT& draw)
{
    const auto* item = reinterpret_cast<const MenuItem*>(draw.itemData);
    if (!painter_ || !Owns(item))
        return false;
    painter_->Draw(*item, draw.hDC, draw.rcItem, (draw.itemState & ODS_SELECTED) != 0);
    return true;
}

}  // namespace winui
