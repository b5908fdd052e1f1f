#include "RbCustomControl.h"

#include "winui/Colors.h"
#include "winui/Painting.h"

using namespace winui;

TRbCustomControl::~TRbCustomControl()
{
    SetRbStyleManager(nullptr);
}

void TRbCustomControl::SetTextShadow(bool value)
{
    textShadow_ = value;
    Invalidate();
}

void TRbCustomControl::SetShowCaption(bool value)
{
    showCaption_ = value;
    Invalidate();
}

void TRbCustomControl::SetRbStyleManager(TRbStyleManager* manager)
{
    if (styleManager_) {
        auto& list = styleManager_->controls_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    styleManager_ = manager;
    if (manager)
        manager->controls_.push_back(this);
}

LRESULT TRbCustomControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!winui::MouseTracker::Reads(message))
        return PaintedWindow::HandleMessage(message, wParam, lParam);
    // The second press of a quick pair arrives as a double click.
    if ((message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) && ::GetFocus() != Handle() &&
        ::IsWindowEnabled(Handle()) && ::IsWindowVisible(Handle()))
        ::SetFocus(Handle());
    const winui::MouseTracker::Changes changes = mouse_.Take(Handle(), message, lParam);
    if (changes.hover == winui::MouseTracker::Change::Entered)
        MouseEnter();
    else if (changes.hover == winui::MouseTracker::Change::Left)
        MouseLeave();
    if (changes.press != winui::MouseTracker::Press::None)
        MousePress(changes.press);
    // A click may have closed the window and destroyed this control with
    // it: nothing of it is touched after one.
    if (changes.press == winui::MouseTracker::Press::Clicked)
        return 0;
    return PaintedWindow::HandleMessage(message, wParam, lParam);
}

void TRbCustomControl::MouseEnter()
{
    if (OnMouseEnter)
        OnMouseEnter();
}

void TRbCustomControl::MouseLeave()
{
    if (OnMouseLeave)
        OnMouseLeave();
}

TRbStyleManager::~TRbStyleManager()
{
    while (!controls_.empty())
        controls_.back()->SetRbStyleManager(nullptr);
}

void DrawShadowedCaption(HDC dc, HFONT font, const std::string& text, RECT r, UINT format, COLORREF color,
                         std::optional<COLORREF> shadow, bool enabled)
{
    ScopedSelect selectFont(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    const int length = static_cast<int>(text.size());
    if (!enabled || shadow) {
        RECT shifted = r;
        ::OffsetRect(&shifted, 1, 1);
        ::SetTextColor(dc, ToRgbColor(enabled ? *shadow : clBtnHighlight));
        ::DrawTextA(dc, text.c_str(), length, &shifted, format);
    }
    ::SetTextColor(dc, ToRgbColor(enabled ? color : clBtnShadow));
    ::DrawTextA(dc, text.c_str(), length, &r, format);
}
