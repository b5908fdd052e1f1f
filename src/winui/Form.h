// A top-level window of the program: frameless or dialog-framed, optionally
// stay-on-top and alpha-blended, owned by the application's hidden window,
// with the create/show/activate/close/destroy events of a form.
#pragma once

#include "Font.h"
#include "MessageLoop.h"
#include "Window.h"

#include <functional>
#include <string>
#include <vector>

namespace winui {

class PopupMenu;

// Modal results, as buttons set them.
inline constexpr int mrNone = 0;
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;

enum class BorderStyle { None, Dialog };

struct FormDesign {
    std::string caption;
    int clientWidth = 0;
    int clientHeight = 0;
    int left = 0;  // design position; ignored when centred
    int top = 0;
    bool centred = false;
    BorderStyle border = BorderStyle::None;
    bool stayOnTop = false;
    int alpha = 255;  // whole-window alpha; 255 leaves the window opaque
    COLORREF color = ::GetSysColor(COLOR_BTNFACE);
    FontSpec font;
};

class Form : public Window {
public:
    using WindowClassOwner = Form;
    static constexpr const char* windowClass = "Larkspan.Form";
    explicit Form(FormDesign design);
    ~Form() override;

    // Creates the window, lets the derived form create its components and
    // fires OnCreate. Called once by Application::CreateForm.
    void Realize();

    void Show();
    void Hide();
    // The main form's close ends the program; any other form hides.
    void Close();
    // Shows the form as a dialog: the program's other windows are disabled
    // until it closes or a modal result is set. Returns that result; a
    // plain close gives mrCancel.
    int ShowModal();
    int ModalResult() const noexcept { return modalResult_; }
    void SetModalResult(int result) noexcept { modalResult_ = result; }
    bool Modal() const noexcept { return modal_; }
    // Fires OnDestroy and destroys the window (at program end).
    void Destroy();

    // Lets the platform move the window with the mouse, as by a caption bar
    // (a borderless form dragged by its panel).
    void DragWithMouse();
    void SetLeft(int left);
    void SetTop(int top);
    void MoveTo(int left, int top);
    int ClientWidth() const;
    int ClientHeight() const;
    int Alpha() const noexcept { return design_.alpha; }
    COLORREF Color() const noexcept { return design_.color; }
    const FontSpec& GetFont() const noexcept { return design_.font; }

    // Menus whose commands this form receives.
    void AddMenu(PopupMenu& menu) { menus_.push_back(&menu); }

    std::function<void()> OnCreate;
    std::function<void()> OnShow;
    // Fired when the form becomes the program's active form: on its first
    // activation and whenever focus returns to it from another window of the
    // same program, not when the user comes back from another program.
    std::function<void()> OnActivate;
    std::function<void()> OnClose;
    std::function<void()> OnDestroy;
    // Called with the window message WM_MOVE.
    std::function<void()> OnMove;

protected:
    virtual void CreateComponents() {}
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void HandleActivate(WPARAM wParam, LPARAM lParam);

    FormDesign design_;
    BrushHandle background_;
    FontHandle fontHandle_;
    std::vector<PopupMenu*> menus_;
    bool activatedOnce_ = false;
    bool modal_ = false;
    int modalResult_ = mrNone;
    HWND lastFocus_ = nullptr;  // the control that had the focus when the form went inactive
};

}  // namespace winui
