#include "Window.h"

#include "Application.h"
#include "PopupMenu.h"

#include <cstring>
#include <exception>
#include <stdexcept>

namespace winui {

namespace {

// Every window bound to an object is one this program created, so its
// GWLP_USERDATA is ours to use. Window properties or SetWindowSubclass (which
// keeps its chain in a property) would cost a look-up per message, and under
// Wine each look-up is a round trip to the server: filling a list of
// thousands of items became forty times slower.

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
    // Another thread may have registered it since the look-up.
    if (!::RegisterClassExA(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
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

bool Window::HasClass(HWND hwnd, const char* className) noexcept
{
    char name[64] = {};
    return hwnd && ::GetClassNameA(hwnd, name, sizeof name) > 0 && std::strcmp(name, className) == 0;
}

Window* Window::FromHandle(HWND hwnd) noexcept
{
    if (!hwnd)
        return nullptr;
    DWORD process = 0;
    ::GetWindowThreadProcessId(hwnd, &process);
    if (process != ::GetCurrentProcessId())
        return nullptr;
    WNDPROC proc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    if (proc != &Window::OwnWindowProc && proc != &Window::SubclassProc)
        return nullptr;
    return reinterpret_cast<Window*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
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
    platformProc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::SubclassProc)));
}

void Window::Bind(HWND hwnd)
{
    hwnd_ = hwnd;
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void Window::Unbind()
{
    if (platformProc_)
        ::SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(platformProc_));
    ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    platformProc_ = nullptr;
}

LRESULT CALLBACK Window::OwnWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        static_cast<Window*>(create->lpCreateParams)->Bind(hwnd);
    }
    if (auto* window = reinterpret_cast<Window*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA)))
        return window->Dispatch(message, wParam, lParam);
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Window::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* window = reinterpret_cast<Window*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
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
    return platformProc_ ? ::CallWindowProcA(platformProc_, hwnd_, message, wParam, lParam)
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
    case WM_CTLCOLOREDIT:
        if (Window* child = FromHandle(reinterpret_cast<HWND>(lParam)))
            if (const HBRUSH brush = child->ReflectColor(reinterpret_cast<HDC>(wParam)))
                return reinterpret_cast<LRESULT>(brush);
        break;
    case WM_KEYDOWN:
        if (OnKeyDown) {
            WORD key = static_cast<WORD>(wParam);
            OnKeyDown(key);
            if (key == 0 || !hwnd_)
                return 0;
            wParam = key;
        }
        break;
    case WM_CONTEXTMENU:
        if (ShowPopupMenu(lParam))
            return 0;
        break;
    // In a class with CS_DBLCLKS the second press of a quick pair arrives as
    // a double click; it is a press all the same.
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        if (OnMouseDown) {
            const MouseButton button =
                message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK   ? MouseButton::Left
                : message == WM_RBUTTONDOWN || message == WM_RBUTTONDBLCLK ? MouseButton::Right
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

namespace {

BOOL CALLBACK CollectEnabled(HWND window, LPARAM list)
{
    if (::IsWindowEnabled(window))
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

}  // namespace

OtherWindowsDisabled::OtherWindowsDisabled(HWND keep)
{
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectEnabled, reinterpret_cast<LPARAM>(&disabled_));
    std::erase(disabled_, keep);
    for (HWND window : disabled_)
        ::EnableWindow(window, FALSE);
    if (keep && !::IsWindowEnabled(keep)) {
        ::EnableWindow(keep, TRUE);
        enabled_ = keep;
    }
}

OtherWindowsDisabled::~OtherWindowsDisabled()
{
    // The others first, so that the activation has somewhere to go.
    for (HWND window : disabled_)
        ::EnableWindow(window, TRUE);
    if (enabled_ && ::IsWindow(enabled_))
        ::EnableWindow(enabled_, FALSE);
}

}  // namespace winui
