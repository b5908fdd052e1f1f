#include "Window.h"

#include "Application.h"
#include "PopupMenu.h"

#include <commctrl.h>

#include <exception>
#include <stdexcept>

namespace winui {

namespace {

// The window property that binds an HWND to its object. A property rather
// than GWLP_USERDATA, which platform controls may use for themselves.
constexpr const char* objectProperty = "Larkspan.Window";
constexpr UINT_PTR subclassId = 1;

void RegisterOwnClass(const char* className, UINT classStyle, WNDPROC proc)
{
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (::GetClassInfoExA(::GetModuleHandleA(nullptr), className, &existing))
        return;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = classStyle;
    wc.lpfnWndProc = proc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = className;
    if (!::RegisterClassExA(&wc))
        throw std::runtime_error(std::string("Cannot register window class ") + className);
}

}  // namespace

Window::~Window()
{
    if (hwnd_) {
        HWND hwnd = hwnd_;
        ::DestroyWindow(hwnd);  // WM_NCDESTROY unbinds this object
        if (hwnd_)
            Unbind();
    }
}

Window* Window::FromHandle(HWND hwnd) noexcept
{
    return hwnd ? static_cast<Window*>(::GetPropA(hwnd, objectProperty)) : nullptr;
}

void Window::CreateOwnWindow(const char* className, UINT classStyle, DWORD exStyle, DWORD style, const Rect& bounds,
                             HWND parent, const char* title)
{
    RegisterOwnClass(className, classStyle, &Window::OwnWindowProc);
    HWND hwnd = ::CreateWindowExA(exStyle, className, title, style, bounds.left, bounds.top, bounds.width,
                                  bounds.height, parent, nullptr, ::GetModuleHandleA(nullptr), this);
    if (!hwnd)
        throw std::runtime_error(std::string("Cannot create a window of class ") + className);
}

void Window::CreateSubclassedWindow(const char* className, DWORD exStyle, DWORD style, const Rect& bounds,
                                    HWND parent, const char* title)
{
    HWND hwnd = ::CreateWindowExA(exStyle, className, title, style, bounds.left, bounds.top, bounds.width,
                                  bounds.height, parent, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    if (!hwnd)
        throw std::runtime_error(std::string("Cannot create a window of class ") + className);
    Bind(hwnd);
    subclassed_ = true;
    ::SetWindowSubclass(hwnd, &Window::SubclassProc, subclassId, reinterpret_cast<DWORD_PTR>(this));
}

void Window::Bind(HWND hwnd)
{
    hwnd_ = hwnd;
    ::SetPropA(hwnd, objectProperty, this);
}

void Window::Unbind()
{
    if (subclassed_)
        ::RemoveWindowSubclass(hwnd_, &Window::SubclassProc, subclassId);
    ::RemovePropA(hwnd_, objectProperty);
    hwnd_ = nullptr;
    subclassed_ = false;
}

LRESULT CALLBACK Window::OwnWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        static_cast<Window*>(create->lpCreateParams)->Bind(hwnd);
    }
    if (Window* window = FromHandle(hwnd))
        return window->Dispatch(message, wParam, lParam);
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Window::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR refData)
{
    auto* window = reinterpret_cast<Window*>(refData);
    if (window->hwnd_ != hwnd)
        return ::DefSubclassProc(hwnd, message, wParam, lParam);
    return window->Dispatch(message, wParam, lParam);
}

// Exceptions stop here: the application shows the message and the program
// keeps running, as a handler's failure must not unwind through the system.
LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    try {
        result = HandleMessage(message, wParam, lParam);
    } catch (const std::exception& e) {
        Application::HandleException(e);
    } catch (...) {
        Application::HandleException(std::runtime_error("Unknown error"));
    }
    if (message == WM_NCDESTROY && hwnd_) {
        Unbind();
        HandleDestroyed();
    }
    return result;
}

LRESULT Window::DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam)
{
    return subclassed_ ? ::DefSubclassProc(hwnd_, message, wParam, lParam)
                       : ::DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (Window* child = FromHandle(reinterpret_cast<HWND>(lParam)); child && child->ReflectCommand(HIWORD(wParam)))
            return 0;
        break;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->CtlType != ODT_MENU)
            if (Window* child = FromHandle(item->hwndItem); child && child->ReflectDrawItem(*item))
                return TRUE;
        break;
    }
    case WM_MEASUREITEM: {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (item->CtlType != ODT_MENU)
            if (Window* child = FromHandle(::GetDlgItem(hwnd_, static_cast<int>(item->CtlID)));
                child && child->ReflectMeasureItem(*item))
                return TRUE;
        break;
    }
    case WM_CONTEXTMENU:
        if (ShowPopupMenu(lParam))
            return 0;
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (OnMouseDown) {
            const MouseButton button = message == WM_LBUTTONDOWN   ? MouseButton::Left
                                       : message == WM_RBUTTONDOWN ? MouseButton::Right
                                                                   : MouseButton::Middle;
            OnMouseDown(button, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
            if (!hwnd_)
                return 0;
        }
        break;
    default:
        break;
    }
    return DefaultHandling(message, wParam, lParam);
}

bool Window::ShowPopupMenu(LPARAM screenPoint)
{
    if (!popupMenu_)
        return false;
    POINT at{static_cast<short>(LOWORD(screenPoint)), static_cast<short>(HIWORD(screenPoint))};
    if (screenPoint == -1) {  // from the keyboard: open at the window's top-left corner
        at = {0, 0};
        ::ClientToScreen(hwnd_, &at);
    }
    popupMenu_->Popup(::GetAncestor(hwnd_, GA_ROOT), at.x, at.y);
    return true;
}

Rect Window::Bounds() const
{
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    if (HWND parent = (::GetWindowLongA(hwnd_, GWL_STYLE) & WS_CHILD) ? ::GetParent(hwnd_) : nullptr)
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Window::SetBounds(const Rect& b)
{
    ::SetWindowPos(hwnd_, nullptr, b.left, b.top, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Window::Visible() const
{
    return hwnd_ && ::IsWindowVisible(hwnd_);
}

void Window::Invalidate()
{
    if (hwnd_)
        ::InvalidateRect(hwnd_, nullptr, FALSE);
}

void ProcessMessages()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the main loop
            return;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

}  // namespace winui
