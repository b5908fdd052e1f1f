#include "Form.h"

#include "Application.h"
#include "PopupMenu.h"

#include <stdexcept>
#include <utility>

namespace winui {

Form::Form(FormDesign design) : design_(std::move(design)) {}

Form::~Form() = default;

void Form::Realize()
{
    DWORD style = WS_POPUP | WS_CLIPCHILDREN;
    DWORD exStyle = 0;
    if (design_.border == BorderStyle::Dialog) {
        style |= WS_CAPTION | WS_SYSMENU;
        exStyle |= WS_EX_DLGMODALFRAME;
    }
    if (design_.stayOnTop)
        exStyle |= WS_EX_TOPMOST;
    if (design_.alpha < 255)
        exStyle |= WS_EX_LAYERED;

    RECT frame{0, 0, design_.clientWidth, design_.clientHeight};
    ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    Rect bounds{design_.left, design_.top, frame.right - frame.left, frame.bottom - frame.top};
    if (design_.centred) {
        bounds.left = (::GetSystemMetrics(SM_CXSCREEN) - bounds.width) / 2;
        bounds.top = (::GetSystemMetrics(SM_CYSCREEN) - bounds.height) / 2;
    }

    background_.Reset(::CreateSolidBrush(design_.color));
    fontHandle_ = CreateFontFrom(design_.font);
    CreateOwnWindow(windowClass, CS_DBLCLKS, exStyle, style, bounds, Application::Instance().Handle(),
                    design_.caption.c_str());
    if (design_.alpha < 255)
        ::SetLayeredWindowAttributes(Handle(), 0, static_cast<BYTE>(design_.alpha), LWA_ALPHA);
    ::SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(fontHandle_.Get()), FALSE);

    CreateComponents();
    RunGuarded(OnCreate);
}

void Form::Show()
{
    if (Visible()) {
        ::SetForegroundWindow(Handle());
        return;
    }
    RunGuarded(OnShow);
    if (HandleAllocated()) {
        ::ShowWindow(Handle(), SW_SHOWNORMAL);
        ::SetForegroundWindow(Handle());
    }
}

void Form::Hide()
{
    ::ShowWindow(Handle(), SW_HIDE);
}

void Form::Close()
{
    RunGuarded(OnClose);
    Application& app = Application::Instance();
    if (modal_ && modalResult_ == mrNone)
        modalResult_ = mrCancel;
    if (app.MainForm() == this && !modal_)
        app.Terminate();
    else
        Hide();
}

int Form::ShowModal()
{
    modalResult_ = mrNone;
    modal_ = true;
    {
        OtherWindowsDisabled others(Handle());
        Show();
        RunMessageLoop([this] { return modalResult_ == mrNone && Visible(); }, QuitMessage::PassedOn);
        if (modalResult_ == mrNone)
            modalResult_ = mrCancel;
    }
    Hide();
    modal_ = false;
    return modalResult_;
}

void Form::Destroy()
{
    if (!HandleAllocated())
        return;
    RunGuarded(OnDestroy);
    ::DestroyWindow(Handle());
}

void Form::DragWithMouse()
{
    // The system's move loop follows the mouse until the button is released.
    ::ReleaseCapture();
    ::SendMessageA(Handle(), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
}

void Form::SetLeft(int left)
{
    MoveTo(left, Top());
}

void Form::SetTop(int top)
{
    MoveTo(Left(), top);
}

void Form::MoveTo(int left, int top)
{
    ::SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int Form::ClientWidth() const
{
    RECT r{};
    ::GetClientRect(Handle(), &r);
    return r.right;
}

int Form::ClientHeight() const
{
    RECT r{};
    ::GetClientRect(Handle(), &r);
    return r.bottom;
}

namespace {

bool BelongsToThisProcess(HWND window)
{
    DWORD process = 0;
    return window && ::GetWindowThreadProcessId(window, &process) && process == ::GetCurrentProcessId();
}

}  // namespace

void Form::HandleActivate(WPARAM wParam, LPARAM lParam)
{
    // The other window of the change: the one gaining the activation when
    // this form loses it, the one losing it when this form gains it.
    const HWND other = reinterpret_cast<HWND>(lParam);
    Application& app = Application::Instance();
    if (LOWORD(wParam) == WA_INACTIVE) {
        if (!BelongsToThisProcess(other))
            app.SetFormLeftFrom(Handle());
        return;
    }
    // The event marks a change of the program's active form: from another
    // window of this program (a form, a dialog, a message box), or back from
    // another program to a form other than the one the user left it from.
    // The first activation always counts.
    const bool fire = !activatedOnce_ || BelongsToThisProcess(other) || app.FormLeftFrom() != Handle();
    activatedOnce_ = true;
    if (fire) {
        // The click that activated the form has not been delivered yet.
        const InputHeldBack clickFirst;
        RunGuarded(OnActivate);
    }
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
    case WM_PRINTCLIENT: {  // a see-through child asks for what lies behind it
        RECT r{};
        ::GetClientRect(Handle(), &r);
        ::FillRect(reinterpret_cast<HDC>(wParam), &r, background_.Get());
        return 1;
    }
    case WM_ACTIVATE: {
        // The platform gives an activated window the focus itself; the control
        // that had it when the form went inactive gets it back, as in a dialog.
        const HWND focus = ::GetFocus();
        if (LOWORD(wParam) == WA_INACTIVE && focus && ::IsChild(Handle(), focus))
            lastFocus_ = focus;
        const LRESULT result = DefaultHandling(message, wParam, lParam);
        if (LOWORD(wParam) != WA_INACTIVE && lastFocus_ && ::IsChild(Handle(), lastFocus_) &&
            ::IsWindowVisible(lastFocus_) && ::IsWindowEnabled(lastFocus_))
            ::SetFocus(lastFocus_);
        else if (LOWORD(wParam) != WA_INACTIVE && !::IsChild(Handle(), ::GetFocus()))
            // The first time, as in a dialog, the first of its tab stops.
            if (const HWND first = ::GetNextDlgTabItem(Handle(), nullptr, FALSE))
                ::SetFocus(first);
        HandleActivate(wParam, lParam);
        return result;
    }
    case WM_MOVE:
        RunGuarded(OnMove);
        break;
    case WM_CLOSE:
        Close();
        return 0;
    case WM_MEASUREITEM:
        if (auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam); measure->CtlType == ODT_MENU)
            for (PopupMenu* menu : menus_)
                if (menu->MeasureItem(*measure))
                    return TRUE;
        break;
    case WM_DRAWITEM:
        if (const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam); draw->CtlType == ODT_MENU)
            for (PopupMenu* menu : menus_)
                if (menu->DrawItem(*draw))
                    return TRUE;
        break;
    case WM_COMMAND:
        if (lParam == 0 && HIWORD(wParam) == 0)
            for (PopupMenu* menu : menus_)
                if (menu->InvokeCommand(LOWORD(wParam)))
                    return 0;
        break;
    default:
        break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace winui
