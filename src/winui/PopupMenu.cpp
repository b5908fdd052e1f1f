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

HMENU BuildMenu(const std::vector<MenuItem*>& items)
{
    HMENU menu = ::CreatePopupMenu();
    for (const MenuItem* item : items) {
        if (item->IsSeparator()) {
            ::AppendMenuA(menu, MF_SEPARATOR, item->Command(), nullptr);
            continue;
        }
        UINT flags = MF_STRING | (item->Checked() ? MF_CHECKED : 0) | (item->Enabled() ? 0 : MF_GRAYED);
        UINT_PTR id = item->Command();
        if (!item->Items().empty()) {
            flags |= MF_POPUP;
            id = reinterpret_cast<UINT_PTR>(BuildMenu(item->Items()));
        }
        ::AppendMenuA(menu, flags, id, item->Caption().c_str());
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
    MenuHandle menu(BuildMenu(root_.Items()));
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
