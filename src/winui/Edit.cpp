#include "Edit.h"

namespace winui {

void Edit::Create(HWND parent, const EditDesign& design)
{
    design_ = design;
    font_ = CreateFontFrom(design.font);
    background_.Reset(::CreateSolidBrush(design.color));
    CreateSubclassedWindow("EDIT", 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, design.bounds, parent,
                           design.text.c_str());
    ::SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    if (design.maxLength > 0)
        ::SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(design.maxLength), 0);
}

void Edit::SetFocus()
{
    ::SetFocus(Handle());
}

std::string Edit::Text() const
{
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(Handle())) + 1, '\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextA(Handle(), text.data(), static_cast<int>(text.size()))));
    return text;
}

void Edit::SetText(const std::string& text)
{
    ::SetWindowTextA(Handle(), text.c_str());
}

HBRUSH Edit::ReflectColor(HDC dc)
{
    ::SetTextColor(dc, design_.font.color);
    ::SetBkColor(dc, design_.color);
    return background_.Get();
}

}  // namespace winui
