// Starts one of the real programs in a program folder of its own and looks
// at its windows from outside, as another program would.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// The program under test: the test program's first argument.
const std::string& ProgramPath();

// A Unix path handed over by CTest, in the form Wine's programs open.
std::string WindowsPath(std::string path);

// A click as the user gives it, through the input system: the pointer moves
// onto the middle of the control, rests a moment, then the left button is
// pressed and released there. A disabled or covered control gets nothing,
// as it would from the user.
void ClickWithMouse(HWND control);
// The same at a point of the screen.
void ClickAt(POINT screenPoint);
// A point on the close box of a window's caption bar (as the window itself
// answers hit tests), or nothing.
std::optional<POINT> CloseBoxOf(HWND window);
// A drag as the user makes it: the left button pressed at `from`, the
// pointer moved in steps well past the platform's drag threshold onto
// `to`, and released there.
void DragWithMouse(POINT from, POINT to);
// A key typed through the input system, to whichever window has the focus.
void TypeKey(WORD key);
// The same with a modifier held down (Shift+End).
void TypeKey(WORD modifier, WORD key);
// Text typed key by key, with Shift where the keyboard layout needs it.
void TypeText(const std::string& text);

// The first child window of a class (case ignored), or nullptr.
HWND FindChildOfClass(HWND parent, const char* className);
// The texts of the children of a class, in the platform's order.
std::vector<std::string> ChildTexts(HWND parent, const char* className);

class ProgramUnderTest {
public:
    // Copies the executable into a fresh folder under the temporary folder.
    ProgramUnderTest(const std::string& executable, const std::string& name);
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;
    ~ProgramUnderTest();

    const std::string& Folder() const noexcept { return folder_; }
    std::string File(const std::string& name) const { return folder_ + "\\" + name; }

    // Starts the program and waits until its visible form stands at (left,
    // top); returns the form (wherever it stands after a time-out).
    HWND Start(int left, int top);
    // Waits for the process to end; its exit code.
    DWORD WaitForExit();
    // True when the process ends within `ms` milliseconds (it is then
    // waited for as by WaitForExit).
    bool EndsWithin(DWORD ms);
    // The program's visible top-level window of this client size (other
    // than `except`), waiting up to five seconds for it; nullptr when none
    // shows.
    HWND WaitForWindow(int clientWidth, int clientHeight, HWND except = nullptr) const;
    // The program's visible message box (dialog class "#32770"), waiting up
    // to `ms` milliseconds for it; nullptr when none shows.
    HWND WaitForMessageBox(DWORD ms) const;

private:
    std::string folder_;
    std::string program_;
    PROCESS_INFORMATION process_{};
};

}  // namespace testing_support
