// A one-line text field: the platform's own edit control, so that screen
// readers and other programs read and write it as any other.
#pragma once

#include "Font.h"
#include "Window.h"

#include <string>

namespace winui {

struct EditDesign {
    Rect bounds;
    std::string text;
    FontSpec font;
    COLORREF color = RGB(255, 255, 255);
    int maxLength = 0;  // characters the user may type; 0 for the platform's limit
};

class Edit final : public Window {
public:
    void Create(HWND parent, const EditDesign& design);
    std::string Text() const;
    void SetText(const std::string& text);
    void SetFocus();

private:
    HBRUSH ReflectColor(HDC dc) override;

    EditDesign design_;
    FontHandle font_;
    BrushHandle background_;
};

}  // namespace winui
