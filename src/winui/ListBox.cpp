#include "ListBox.h"

#include "LocaleText.h"

#include <windowsx.h>

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace winui {

void ListBox::Create(HWND parent, const ListBoxDesign& design)
{
    design_ = design;
    DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_HASSTRINGS | LBS_OWNERDRAWFIXED |
                  LBS_NOINTEGRALHEIGHT;
    if (design.sorted)
        style |= LBS_SORT;
    if (design.multiSelect)
        style |= LBS_EXTENDEDSEL;
    CreateSubclassedWindow("LISTBOX", 0, style, design.bounds, parent);
    font_ = CreateFontFrom(design.font);
    background_.Reset(::CreateSolidBrush(design.color));
    ::SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    // The fixed height asked for while the control was being created went to
    // a parent that did not know it yet; set it now.
    ::SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, design.itemHeight);
    // The list's own selection tracking ends as if the button had been
    // released, so the selection is complete and announced before the drag.
    drag_.OnStart = [this](LPARAM pressedAt) { DefaultHandling(WM_LBUTTONUP, 0, pressedAt); };
    if (design.itemTips)
        tips_.Attach(Handle());
}

int ListBox::Count() const
{
    return static_cast<int>(::SendMessageA(Handle(), LB_GETCOUNT, 0, 0));
}

std::string ListBox::Item(int index) const
{
    const LRESULT length = ::SendMessageA(Handle(), LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR)
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied = ::SendMessageA(Handle(), LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

std::vector<std::string> ListBox::Items() const
{
    std::vector<std::string> items;
    const int count = Count();
    items.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        items.push_back(Item(i));
    return items;
}

int ListBox::Add(const std::string& text)
{
    const LRESULT index = ::SendMessageA(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index == LB_ERR || index == LB_ERRSPACE)
        throw std::runtime_error("Cannot add an item to the list");
    return static_cast<int>(index);
}

void ListBox::AddAll(const std::vector<std::string>& texts)
{
    std::size_t bytes = 0;
    for (const std::string& text : texts)
        bytes += text.size() + 1;
    // Reserves room once instead of growing per item.
    ::SendMessageA(Handle(), LB_INITSTORAGE, texts.size(), static_cast<LPARAM>(bytes));
    if (!design_.sorted) {
        for (const std::string& text : texts)
            Add(text);
        return;
    }

    // A sorted list places every added string with a binary search of its own.
    // Sorting the new strings once with the list's own comparison (its locale,
    // case ignored) and merging them in gives the same order for a fraction of
    // the comparisons.
    const LCID locale = static_cast<LCID>(::SendMessageA(Handle(), LB_GETLOCALE, 0, 0));
    auto less = [locale](const std::wstring& a, const std::wstring& b) {
        return ::CompareStringW(locale, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size())) == CSTR_LESS_THAN;
    };
    std::vector<std::wstring> keys;
    keys.reserve(texts.size());
    for (const std::string& text : texts)
        keys.push_back(Widen(text));
    // The order is sorted, not the strings: only indices move.
    std::vector<std::size_t> order(texts.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return less(keys[a], keys[b]); });

    int cursor = 0;
    int count = Count();
    for (const std::size_t added : order) {
        const std::wstring& key = keys[added];
        const std::string* text = &texts[added];
        // Existing items equal to the new one stay before it, as with LB_ADDSTRING.
        while (cursor < count && !less(key, Widen(Item(cursor))))
            ++cursor;
        const LRESULT index =
            ::SendMessageA(Handle(), LB_INSERTSTRING, cursor, reinterpret_cast<LPARAM>(text->c_str()));
        if (index == LB_ERR || index == LB_ERRSPACE)
            throw std::runtime_error("Cannot add an item to the list");
        ++cursor;
        ++count;
    }
}

void ListBox::Clear()
{
    ::SendMessageA(Handle(), LB_RESETCONTENT, 0, 0);
}

void ListBox::Assign(const std::vector<std::string>& texts)
{
    ListUpdate update(*this);
    Clear();
    AddAll(texts);
}

int ListBox::ItemIndex() const
{
    if (design_.multiSelect)
        return static_cast<int>(::SendMessageA(Handle(), LB_GETCARETINDEX, 0, 0));
    const LRESULT index = ::SendMessageA(Handle(), LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

void ListBox::SetItemIndex(int index)
{
    if (design_.multiSelect) {
        ::SendMessageA(Handle(), LB_SETSEL, FALSE, -1);
        if (index >= 0)
            ::SendMessageA(Handle(), LB_SETSEL, TRUE, index);
        ::SendMessageA(Handle(), LB_SETCARETINDEX, index, FALSE);
    } else {
        ::SendMessageA(Handle(), LB_SETCURSEL, index, 0);
    }
}

void ListBox::Delete(int index)
{
    if (::SendMessageA(Handle(), LB_DELETESTRING, static_cast<WPARAM>(index), 0) == LB_ERR)
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
}

void ListBox::Replace(int index, const std::string& text)
{
    const bool selected = Selected(index);
    ::SendMessageA(Handle(), LB_DELETESTRING, index, 0);
    ::SendMessageA(Handle(), LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str()));
    if (design_.multiSelect && selected)
        SetSelected(index, true);
}

bool ListBox::Selected(int index) const
{
    return ::SendMessageA(Handle(), LB_GETSEL, index, 0) > 0;
}

void ListBox::SetSelected(int index, bool selected)
{
    ::SendMessageA(Handle(), LB_SETSEL, selected ? TRUE : FALSE, index);
}

void ListBox::BeginUpdate()
{
    if (updateCount_++ == 0)
        ::SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
}

void ListBox::EndUpdate()
{
    if (--updateCount_ == 0) {
        ::SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(Handle(), nullptr, TRUE);
    }
}

void ListBox::SetFocus()
{
    ::SetFocus(Handle());
}

bool ListBox::ReflectCommand(WORD code)
{
    if (code == LBN_SELCHANGE && OnClick) {
        OnClick();
        return true;
    }
    if (code == LBN_DBLCLK && OnDblClick) {
        OnDblClick();
        return true;
    }
    return false;
}

bool ListBox::ReflectDrawItem(const DRAWITEMSTRUCT& item)
{
    if (item.itemID == static_cast<UINT>(-1))  // empty list with the focus
        return true;
    const DrawItemArgs args{item.hDC, static_cast<int>(item.itemID), item.rcItem,
                            (item.itemState & ODS_SELECTED) != 0, (item.itemState & ODS_FOCUS) != 0};
    if (OnDrawItem)
        OnDrawItem(args);
    else
        DrawDefaultItem(args);
    // The control's usual dotted focus rectangle follows the owner's painting.
    if (args.focused && (item.itemAction & (ODA_DRAWENTIRE | ODA_FOCUS)))
        ::DrawFocusRect(item.hDC, &item.rcItem);
    return true;
}

void ListBox::DrawDefaultItem(const DrawItemArgs& args)
{
    const COLORREF back = args.selected ? ::GetSysColor(COLOR_HIGHLIGHT) : design_.color;
    BrushHandle brush(::CreateSolidBrush(back));
    ::FillRect(args.dc, &args.rect, brush.Get());
    ScopedSelect font(args.dc, font_.Get());
    ::SetBkMode(args.dc, TRANSPARENT);
    ::SetTextColor(args.dc, args.selected ? ::GetSysColor(COLOR_HIGHLIGHTTEXT) : design_.font.color);
    RECT text = args.rect;
    text.left += 2;
    const std::string item = Item(args.index);
    ::DrawTextA(args.dc, item.c_str(), static_cast<int>(item.size()), &text,
                DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
}

bool ListBox::KeepSelectionForDrag(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LBUTTONDOWN && design_.multiSelect && !(wParam & (MK_SHIFT | MK_CONTROL))) {
        const LRESULT hit = ::SendMessageA(Handle(), LB_ITEMFROMPOINT, 0, lParam);
        const int item = LOWORD(hit);
        if (HIWORD(hit) != 0 || !Selected(item))
            return false;
        drag_.Filter(message, wParam, lParam);
        pressKeptSelection_ = true;
        ::SetCapture(Handle());  // the release comes here, wherever it is
        ::SetFocus(Handle());
        ::SendMessageA(Handle(), LB_SETCARETINDEX, item, FALSE);
        return true;
    }
    if (pressKeptSelection_ && (message == WM_LBUTTONUP || message == WM_CAPTURECHANGED)) {
        pressKeptSelection_ = false;
        if (message == WM_LBUTTONUP && !drag_.Dragging()) {
            drag_.Filter(message, wParam, lParam);
            ::ReleaseCapture();
            DefaultHandling(WM_LBUTTONDOWN, MK_LBUTTON, lParam);
            DefaultHandling(WM_LBUTTONUP, wParam, lParam);
            return true;
        }
    }
    return false;
}

LRESULT ListBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    tips_.Relay(message, wParam, lParam);
    if (design_.dragSource && (KeepSelectionForDrag(message, wParam, lParam) || drag_.Filter(message, wParam, lParam)))
        return 0;
    if (message == WM_ERASEBKGND) {
        RECT r{};
        ::GetClientRect(Handle(), &r);
        ::FillRect(reinterpret_cast<HDC>(wParam), &r, background_.Get());
        return 1;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace winui
