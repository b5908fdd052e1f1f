// The application object: COM for the GUI thread, the title, the hidden
// window that owns every form (so forms get no taskbar button of their own),
// the forms in creation order, the message loop and the default handler of
// exceptions that no handler caught.
#pragma once

#include "Handles.h"
#include "MessageLoop.h"
#include "Monitors.h"
#include "Prompts.h"
#include "Window.h"

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace winui {

class Form;

// Runs an event handler; an exception it raises is shown by the application's
// default handler and the caller goes on.
void RunGuarded(const std::function<void()>& handler);

class Application final : private Window {
public:
    Application();
    ~Application() override;

    // The one application object of the process.
    static Application& Instance();

    void SetTitle(const std::string& title);
    const std::string& Title() const noexcept { return title_; }
    HWND Handle() const noexcept { return Window::Handle(); }

    // Creates a form, stores it in its program-wide variable and keeps it until
    // the application ends. The first form created is the main form.
    template <typename T>
    T* CreateForm(T*& instance)
    {
        return AdoptForm(std::make_unique<T>(), instance);
    }
    // A form that no long-lived variable names (tests, tools): the
    // application keeps it until it ends, and forgets nothing else then.
    template <typename T>
    T& CreateForm()
    {
        auto form = std::make_unique<T>();
        T& created = *form;
        Adopt(std::move(form), nullptr);
        return created;
    }
    // The same for a form constructed by the caller.
    template <typename T>
    T* AdoptForm(std::unique_ptr<T> form, T*& instance)
    {
        instance = form.get();
        T** variable = &instance;
        Adopt(std::move(form), [variable] { *variable = nullptr; });
        return instance;
    }
    Form* MainForm() const noexcept { return mainForm_; }

    // The form that was the program's active one when the user went to
    // another program: coming back, another form counts as a change of the
    // program's active form, the same one does not.
    void SetFormLeftFrom(HWND form) noexcept { formLeftFrom_ = form; }
    HWND FormLeftFrom() const noexcept { return formLeftFrom_; }

    // Shows the main form and runs the message loop until it closes; then
    // destroys the forms, last created first.
    void Run();
    // Ends the message loop (the main form has closed).
    void Terminate();
    bool Terminated() const noexcept { return terminated_; }
    void DestroyForms();

    // Shows the exception's message in an error box; the program keeps running.
    static void HandleException(const std::exception& e);

    MessageResult MessageBox(MessageKind kind, const std::string& text, MessageButtons buttons = MessageButtons::Ok);
    void OpenDocument(HWND owner, const std::string& path);
    // The folder chooser, through the prompts seam; nothing when cancelled.
    std::optional<std::string> ChooseFolder(const std::string& title);
    // The input box and the open dialog, through the prompts seam.
    std::optional<std::string> InputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& value);
    std::vector<std::wstring> OpenFiles(const std::string& title, const std::string& filter);
    // The monitors' work areas, through the monitor seam.
    const MonitorLayout& Monitors() const noexcept { return *monitors_; }

    // Test seams; nullptr restores the platform's own.
    void SetPrompts(Prompts* prompts) noexcept { prompts_ = prompts ? prompts : &platformPrompts_; }
    void SetShellLauncher(ShellLauncher* shell) noexcept { shell_ = shell ? shell : &platformShell_; }
    void SetMonitors(const MonitorLayout* monitors) noexcept { monitors_ = monitors ? monitors : &platformMonitors_; }

private:
    void Adopt(std::unique_ptr<Form> form, std::function<void()> forget);
    HWND ActivePopupOwner() const;

    ComApartment com_;
    std::string title_;
    struct OwnedForm {
        std::unique_ptr<Form> form;
        std::function<void()> forget;  // clears the form's program-wide variable
    };
    std::vector<OwnedForm> forms_;
    Form* mainForm_ = nullptr;
    HWND formLeftFrom_ = nullptr;
    bool terminated_ = false;
    PlatformPrompts platformPrompts_;
    PlatformShellLauncher platformShell_;
    Prompts* prompts_ = &platformPrompts_;
    ShellLauncher* shell_ = &platformShell_;
    PlatformMonitors platformMonitors_;
    const MonitorLayout* monitors_ = &platformMonitors_;
};

}  // namespace winui
