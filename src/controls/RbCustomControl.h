// The base of the styled controls and what they share: the gradient
// directions, the caption with its shadow, the style manager.
#pragma once

#include "winui/MouseTracker.h"
#include "winui/PaintedWindow.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

enum TGradientType { gtHorizontal, gtVertical, gtFromTopLeft, gtFromTopRight, gtRadial, gtDoubleHorz, gtDoubleVert };

// A caption as the styled controls draw it: its shadow one pixel right and
// down first when one is given, and the system's disabled look (highlight
// shadow, grey text) when the control is disabled.
void DrawShadowedCaption(HDC dc, HFONT font, const std::string& text, RECT r, UINT format, COLORREF color,
                         std::optional<COLORREF> shadow, bool enabled);

class TRbStyleManager;

// The base of the styled controls: caption shadow and visibility, the style
// manager registration, and the rebuild of a control's cached look.
class TRbCustomControl : public winui::PaintedWindow {
public:
    ~TRbCustomControl() override;

    bool TextShadow() const noexcept { return textShadow_; }
    void SetTextShadow(bool value);
    bool ShowCaption() const noexcept { return showCaption_; }
    void SetShowCaption(bool value);
    TRbStyleManager* RbStyleManager() const noexcept { return styleManager_; }
    void SetRbStyleManager(TRbStyleManager* manager);
    std::string About() const { return "Larkspan styled controls"; }
    void SetAbout(const std::string&) {}  // read-only, writes are ignored

    std::function<void()> OnMouseEnter;
    std::function<void()> OnMouseLeave;

protected:
    TRbCustomControl() = default;
    // A control that also follows presses of the left button (MousePress).
    explicit TRbCustomControl(winui::EdgeRule presses) : mouse_(presses) {}

    // Mouse enter and leave, presses, and the focus taken on a left-button press.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Rebuilds whatever the control caches of its look.
    virtual void Rebuild() = 0;
    // The mouse came over the control or left it: raise OnMouseEnter or
    // OnMouseLeave; controls that change their look with it add that.
    virtual void MouseEnter();
    virtual void MouseLeave();
    // A press began or ended (after the enter or leave of the same message).
    virtual void MousePress(winui::MouseTracker::Press /*press*/) {}
    bool MouseInside() const noexcept { return mouse_.Inside(); }

    bool textShadow_ = true;
    bool showCaption_ = true;

private:
    TRbStyleManager* styleManager_ = nullptr;
    winui::MouseTracker mouse_;
};

// Keeps the list of controls that use it; its settings are not applied to panels.
class TRbStyleManager {
public:
    ~TRbStyleManager();
    const std::vector<TRbCustomControl*>& Controls() const noexcept { return controls_; }

private:
    friend class TRbCustomControl;
    std::vector<TRbCustomControl*> controls_;
};
