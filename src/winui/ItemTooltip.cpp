#include "ItemTooltip.h"

#include <commctrl.h>
#include <windowsx.h>

namespace winui {

namespace {

TOOLINFOA ToolOf(HWND list, const char* text)
{
    TOOLINFOA info{};
    // The size that every version of the common controls takes: without a
    // manifest for version 6, the larger one is refused.
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    // No TTF_SUBCLASS: the list is the program's own subclass, which must
    // stay its window procedure (Window::FromHandle), so it relays the
    // mouse messages itself.
    info.uFlags = TTF_IDISHWND;
    info.hwnd = ::GetParent(list);
    info.uId = reinterpret_cast<UINT_PTR>(list);
    info.lpszText = const_cast<char*>(text);  // the tooltip keeps a copy
    return info;
}

// Wide enough for a long path on two or three lines rather than one line
// across the screen.
constexpr int maxTipWidth = 480;

}  // namespace

ItemTooltip::~ItemTooltip()
{
    // The tooltip goes with its owner's window when that goes first.
    if (tooltip_ && ::IsWindow(tooltip_))
        ::DestroyWindow(tooltip_);
}

void ItemTooltip::Attach(HWND list)
{
    list_ = list;
    tooltip_ = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0,
                                 0, 0, 0, list, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    TOOLINFOA info = ToolOf(list_, "");
    ::SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    ::SendMessageA(tooltip_, TTM_SETMAXTIPWIDTH, 0, maxTipWidth);
    // The user may read a long path for as long as the mouse rests.
    ::SendMessageA(tooltip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(32767, 0));
}

void ItemTooltip::Relay(UINT message, WPARAM wParam, LPARAM lParam)
{
    const bool mouse = message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP ||
                       message == WM_RBUTTONDOWN || message == WM_RBUTTONUP || message == WM_MBUTTONDOWN ||
                       message == WM_MBUTTONUP;
    if (!tooltip_ || !mouse)
        return;
    if (message == WM_MOUSEMOVE)
        MouseMoved({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    MSG relayed{list_, message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
    const DWORD at = ::GetMessagePos();
    relayed.pt = {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    ::SendMessageA(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

void ItemTooltip::MouseMoved(POINT clientPoint)
{
    const LRESULT hit =
        ::SendMessageA(list_, LB_ITEMFROMPOINT, 0, MAKELPARAM(clientPoint.x, clientPoint.y));
    // The high word says the point lies outside every item.
    if (HIWORD(hit) != 0) {
        SetText({});
        return;
    }
    const auto index = static_cast<WPARAM>(LOWORD(hit));
    const LRESULT length = ::SendMessageA(list_, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR) {
        SetText({});
        return;
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied = ::SendMessageA(list_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
    SetText(text);
}

void ItemTooltip::SetText(const std::string& text)
{
    if (text == text_)
        return;
    text_ = text;
    TOOLINFOA info = ToolOf(list_, text_.c_str());
    ::SendMessageA(tooltip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
}

}  // namespace winui
