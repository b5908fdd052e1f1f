// In-program drag and drop between controls, also across the program's
// top-level windows. A source control starts a drag once the pressed left
// button has moved beyond the platform's drag threshold. While the drag lasts
// the source holds the mouse capture, the control under the cursor is asked
// through its OnDragOver whether it takes the source, and the cursor shows the
// answer; releasing the button over a control that takes the source raises
// its OnDragDrop. Escape or a lost capture cancels the drag.
#pragma once

#include "Window.h"

#include <functional>

namespace winui {

class DragSource {
public:
    explicit DragSource(Window& control) : control_(control) {}
    DragSource(const DragSource&) = delete;
    DragSource& operator=(const DragSource&) = delete;

    // Sees every message of the source before the control does; true when
    // the message belonged to the drag and is done with.
    bool Filter(UINT message, WPARAM wParam, LPARAM lParam);
    bool Dragging() const noexcept { return dragging_; }

    // Called as the drag starts with the press's client point (as a mouse
    // message carries it), to end the control's own tracking of the pressed
    // button: a list box's selection by dragging, for one.
    std::function<void(LPARAM pressedAt)> OnStart;

private:
    void Start();
    // The control under the cursor that takes the source, or nullptr; the
    // cursor is set to match.
    Window* TargetAt(POINT screen);
    void End();

    Window& control_;
    bool pressed_ = false;
    bool dragging_ = false;
    POINT pressedAt_{};  // on the screen
    LPARAM pressedLParam_ = 0;
};

// The deepest visible window of this program under a screen point.
Window* ControlAt(POINT screen);

// The cursor of a drag over a control that takes it: an arrow carrying a page.
HCURSOR DragCursor();

}  // namespace winui
