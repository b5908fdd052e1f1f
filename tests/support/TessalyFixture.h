// Shared set-up of the tests that drive the real widget under Wine: one
// application object with answered message boxes and a recording shell, the
// forms created as at start-up, a clean recent-documents folder and the
// program folder's files under the test's control.
#pragma once

#include "ControlFixture.h"
#include "tessaly/Main.h"
#include "winui/Application.h"
#include "winui/Form.h"
#include "winui/Prompts.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

struct ShownMessage {
    winui::MessageKind kind;
    std::string text;
    winui::MessageButtons buttons;
};

// Answers message boxes from a queue of answers (Yes by default) and records them.
class ScriptedPrompts final : public winui::Prompts {
public:
    winui::MessageResult Show(HWND, const std::string&, winui::MessageKind kind, const std::string& text,
                              winui::MessageButtons buttons) override;
    // The folder chooser answers `folder` and records its title.
    std::optional<std::string> ChooseFolder(HWND, const std::string& title) override
    {
        folderTitles.push_back(title);
        return folder;
    }
    std::vector<ShownMessage> shown;
    std::deque<winui::MessageResult> answers;
    // Runs once while the next box is open, as the user would take time.
    std::function<void()> whileShown;
    // The input box answers from `inputs` (Cancel when empty) and records
    // its caption and prompt as "caption|prompt".
    std::optional<std::string> InputBox(HWND, const std::string& caption, const std::string& prompt,
                                        const std::string&) override
    {
        inputPrompts.push_back(caption + "|" + prompt);
        if (inputs.empty())
            return std::nullopt;
        std::optional<std::string> answer = inputs.front();
        inputs.pop_front();
        return answer;
    }
    // The open dialog answers `openFiles` and records "title|filter".
    std::vector<std::wstring> OpenFiles(HWND, const std::string& title, const std::string& filter) override
    {
        openDialogs.push_back(title + "|" + filter);
        return openFiles;
    }
    std::optional<std::string> folder;
    std::vector<std::string> folderTitles;
    std::deque<std::optional<std::string>> inputs;
    std::vector<std::string> inputPrompts;
    std::vector<std::wstring> openFiles;
    std::vector<std::string> openDialogs;
};

class RecordingShell final : public winui::ShellLauncher {
public:
    void Open(HWND, const std::string& path) override { opened.push_back(path); }
    std::vector<std::string> opened;
};

// The recent-documents folder of the test's Wine user.
std::string RecentFolder();
// Creates a real shortcut file through the shell-link objects.
void MakeShortcut(const std::string& shortcutPath, const std::string& target);
// A shortcut to a target the program's code page may not hold.
void MakeShortcut(const std::string& shortcutPath, const std::wstring& target);
void WriteFile(const std::string& path, const std::string& content);
// A file's whole content, or "<missing>" when it cannot be opened.
std::string FileContent(const std::string& path);
void RemoveFile(const std::string& path);
// Removes every entry of the recent folder.
void EmptyRecentFolder();
// Adds a shortcut "<name>.lnk" to the recent folder pointing at C:\docs\<name>.
void AddRecent(const std::string& name);


class TessalyTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Ends the application (forms destroyed, settings written) and starts a new one.
    void Restart();
    // Creates the five forms as the program does at start-up; the portal
    // receives into `receiveFolder`.
    void StartForms(const std::string& receiveFolder = "C:\\");
    // Creates a test's own form and shows it.
    template <typename F>
    F& ShowForm()
    {
        return ShowNewForm<F>(*app);
    }
    // Shows the widget (fill, activation, placement) as at start-up.
    void ShowWidget();
    void WriteSiblingLists(const std::string& sumvex, const std::string& quillo);
    std::string ProgramFile(const std::string& name) const;
    // Sends a menu command to the widget as the platform does after a choice.
    void ChooseMenu(const winui::MenuItem& item);
    // Clicks a child control of the widget with real mouse messages.
    void ClickControl(HWND control);
    // Clicks or double-clicks a list item with real mouse messages.
    void ClickItem(int index);
    void DoubleClickItem(int index);
    void PressKey(HWND window, WORD key);
    std::vector<std::string> Items() const { return Form1->ListBox1.Items(); }
    int IndexOf(const std::string& item) const;
    // Removes a quit request a closing main form left in the queue.
    bool TakeQuitMessage();

    std::unique_ptr<winui::Application> app;
    ScriptedPrompts prompts;
    RecordingShell shell;
};

}  // namespace testing_support
