// The mouse as a control sees it, kept from the control's own messages:
// whether the mouse is over it, and for a button, the press of the left
// button that holds the capture until the button goes up.
#pragma once

#include <windows.h>

namespace winui {

// Asks for one WM_MOUSELEAVE when the mouse next leaves the window.
void TrackMouseLeave(HWND window);

// Which releases count as on the control: anywhere on its client area, or
// strictly inside it, where a release on the left or top edge is outside.
enum class EdgeRule { Inclusive, Strict };

// Hover: a move counts by its point, as a press holding the capture keeps
// getting moves from outside the control; the platform's leave counts only
// without the capture, and is asked for again when the capture ends. A
// press is where the mouse is, too; the point of a release decides only
// whether it clicks.
//
// Press (for a tracker made with an edge rule): the left button going down
// on the control takes the capture; going up releases it and clicks when the
// point is on the control by the rule. A capture taken away meanwhile (a
// message box opening) ends the press without a click.
class MouseTracker {
public:
    enum class Change { None, Entered, Left };
    enum class Press { None, Began, Clicked, ReleasedOutside, Lost };
    // What one message did; the hover change comes first.
    struct Changes {
        Change hover = Change::None;
        Press press = Press::None;
        bool Any() const noexcept { return hover != Change::None || press != Press::None; }
    };

    // The messages Take reads: moves, the leave, the left button, capture changes.
    static bool Reads(UINT message) noexcept;

    // Hover only: a press is the control's own business (a panel drags its
    // window with it).
    MouseTracker() = default;
    // Hover and presses.
    explicit MouseTracker(EdgeRule edge) : presses_(true), edge_(edge) {}

    Changes Take(HWND window, UINT message, LPARAM lParam);
    bool Inside() const noexcept { return inside_; }
    bool Pressed() const noexcept { return pressed_; }

private:
    Change At(HWND window, POINT at);
    Change Set(HWND window, bool inside);
    Press Release(HWND window, POINT at);
    bool OnControl(HWND window, POINT at) const;

    bool presses_ = false;
    EdgeRule edge_ = EdgeRule::Inclusive;
    bool inside_ = false;
    bool pressed_ = false;
};

}  // namespace winui
