// Input as the user gives it, through the platform's input system: the
// pointer moved onto a control, a pause, the button pressed and released; keys
// typed. Unlike posted messages it reaches only what the user could reach: a
// disabled or covered window gets nothing.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace testing_support {

// A click as the user gives it, through the input system: the pointer moves
// onto the middle of the control, rests a moment, then the left button is
// pressed and released there. A disabled or covered control gets nothing,
// as it would from the user.
void ClickWithMouse(HWND control);
// The same at a point of the screen.
void ClickAt(POINT screenPoint);
// The pointer moved to a point of the screen, as the user moves it.
void MoveMouseTo(POINT screenPoint);
// A double-click on the middle of the control: two quick clicks there.
void DoubleClickWithMouse(HWND control);
// A point on the close box of a window's caption bar (as the window itself
// answers hit tests), or nothing.
std::optional<POINT> CloseBoxOf(HWND window);
// A drag as the user makes it: the left button pressed at `from`, the
// pointer moved in steps well past the platform's drag threshold onto
// `to`, and released there.
void DragWithMouse(POINT from, POINT to);
// The left button pressed and released where the pointer is: the steps of
// a press that the test follows one by one.
void PressMouse();
void ReleaseMouse();
// A key typed through the input system, to whichever window has the focus.
void TypeKey(WORD key);
// The same with a modifier held down (Shift+End).
void TypeKey(WORD modifier, WORD key);
// Text typed key by key, with Shift where the keyboard layout needs it.
void TypeText(const std::string& text);

}  // namespace testing_support
