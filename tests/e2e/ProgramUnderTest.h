// Starts one of the real programs in a program folder of its own and looks
// at its windows from outside, as another program would.
#pragma once

#include "RealInput.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// The program under test: the test program's first argument.
const std::string& ProgramPath();
// The other program of the suite, where the test was given it: the second argument.
const std::string& SiblingPath();

// A Unix path handed over by CTest, in the form Wine's programs open.
std::string WindowsPath(std::string path);

// The first child window of a class (case ignored), or nullptr.
HWND FindChildOfClass(HWND parent, const char* className);
// The first child (at any depth) of a class (case ignored) and this text, or nullptr.
HWND ChildWithText(HWND parent, const char* className, const std::string& text);
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
