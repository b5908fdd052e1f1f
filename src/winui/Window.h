// Base of every window the program creates or subclasses: binds an HWND to
// its C++ object, routes messages to HandleMessage and keeps exceptions from
// crossing the window procedure.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <type_traits>
#include <vector>

namespace winui {

class PopupMenu;

enum class MouseButton { Left, Right, Middle };

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
};

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND Handle() const noexcept { return hwnd_; }
    bool HandleAllocated() const noexcept { return hwnd_ != nullptr; }

    // The object bound to a window of this program, or nullptr.
    static Window* FromHandle(HWND hwnd) noexcept;
    static bool HasClass(HWND hwnd, const char* className) noexcept;
    // The same when the window is of `T`'s own window class, or nullptr: the
    // programs are built without run-time type information. A class that
    // registers a window class names it `windowClass` and itself
    // `WindowClassOwner`; classes derived from it share the window class, so
    // they cannot be told apart this way and are refused at compile time.
    template <class T>
    static T* FromHandleAs(HWND hwnd) noexcept
    {
        static_assert(std::is_same_v<typename T::WindowClassOwner, T>, "windows of T have no window class of their own");
        return HasClass(hwnd, T::windowClass) ? static_cast<T*>(FromHandle(hwnd)) : nullptr;
    }

    // Position and size relative to the parent (the screen for top-level windows).
    Rect Bounds() const;
    void SetBounds(const Rect& bounds);
    int Left() const { return Bounds().left; }
    int Top() const { return Bounds().top; }
    int Width() const { return Bounds().width; }
    int Height() const { return Bounds().height; }
    bool Visible() const;
    void Invalidate();

    // The menu shown on a context-menu request (right button or menu key).
    void SetPopupMenu(PopupMenu* menu) noexcept { popupMenu_ = menu; }
    PopupMenu* GetPopupMenu() const noexcept { return popupMenu_; }

    // The hint text of the control; a tooltip shows it only where asked for.
    const std::string& Hint() const noexcept { return hint_; }
    virtual void SetHint(const std::string& hint) { hint_ = hint; }

    std::function<void(MouseButton, int x, int y)> OnMouseDown;
    // A key pressed while the control has the focus; setting it to 0 keeps
    // it from the control's own handling.
    std::function<void(WORD& key)> OnKeyDown;
    // In-program drag and drop (DragSource): asked while a drag is over the
    // control whether it takes the source; a drop it takes is handed over.
    // Points are in the control's client coordinates.
    std::function<bool(Window& source, POINT at)> OnDragOver;
    std::function<void(Window& source, POINT at)> OnDragDrop;

    // Enter or Escape pressed anywhere in the control's top-level window, and
    // characters that may be mnemonics (OfferDialogKey): true when the
    // control acted on it and the key is used up.
    virtual bool WantsDialogKey(WORD /*key*/) { return false; }
    virtual bool WantsDialogChar(char /*character*/) { return false; }

protected:
    // Creates a window of a class registered by this layer, with `this` bound
    // before the first message that needs it.
    void CreateOwnWindow(const char* className, UINT classStyle, DWORD exStyle, DWORD style, const Rect& bounds,
                         HWND parent, const char* title = "");
    // Creates a window of a platform class (list box, edit) and subclasses it.
    void CreateSubclassedWindow(const char* className, DWORD exStyle, DWORD style, const Rect& bounds, HWND parent,
                                const char* title = "");

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // What the window does with a message it does not handle itself.
    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam);

    // Called when the window procedure has seen WM_NCDESTROY.
    virtual void HandleDestroyed() {}

    // Notifications a parent reflects to the child control they concern.
    virtual bool ReflectCommand(WORD /*code*/) { return false; }
    virtual bool ReflectDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
    virtual bool ReflectMeasureItem(MEASUREITEMSTRUCT& /*item*/) { return false; }
    // A child's colours, asked of its parent (WM_CTLCOLOREDIT): the brush of
    // its background, or nullptr for the platform's.
    virtual HBRUSH ReflectColor(HDC /*dc*/) { return nullptr; }


private:
    static LRESULT CALLBACK OwnWindowProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void Bind(HWND hwnd);
    void Unbind();
    bool ShowPopupMenu(LPARAM screenPoint);

    HWND hwnd_ = nullptr;
    WNDPROC platformProc_ = nullptr;  // the platform control's own procedure
    PopupMenu* popupMenu_ = nullptr;
    std::string hint_;
};

// Disables every enabled top-level window of the calling thread but one for
// its lifetime, as a modal window or dialog needs, and enables that one: a
// window shown modally from another modal window was disabled by the first.
// Each window is left as it was found.
class OtherWindowsDisabled {
public:
    explicit OtherWindowsDisabled(HWND keep);
    OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
    OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;
    ~OtherWindowsDisabled();

private:
    std::vector<HWND> disabled_;
    HWND enabled_ = nullptr;  // the kept window, when it had to be enabled
};

}  // namespace winui
