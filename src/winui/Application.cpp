#include "Application.h"

#include "Form.h"

#include <commctrl.h>
#include <objbase.h>

#include <stdexcept>

namespace winui {

namespace {
Application* instance = nullptr;
}

Application::Application()
{
    if (instance)
        throw std::logic_error("Only one application object may exist");
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    // Never shown: it owns the forms, so none of them gets a taskbar button.
    CreateOwnWindow("Larkspan.Application", 0, WS_EX_TOOLWINDOW, WS_POPUP, {0, 0, 0, 0}, nullptr);
    instance = this;
}

Application::~Application()
{
    DestroyForms();
    instance = nullptr;
}

Application& Application::Instance()
{
    if (!instance)
        throw std::logic_error("No application object");
    return *instance;
}

void Application::SetTitle(const std::string& title)
{
    title_ = title;
    ::SetWindowTextA(Handle(), title.c_str());
}

void Application::Adopt(std::unique_ptr<Form> form, std::function<void()> forget)
{
    Form& created = *form;
    forms_.push_back({std::move(form), std::move(forget)});
    if (!mainForm_)
        mainForm_ = &created;
    created.Realize();
}

void Application::Run()
{
    if (!mainForm_)
        return;
    mainForm_->Show();
    RunMessageLoop([this] { return !terminated_; }, QuitMessage::Taken);
    DestroyForms();
}

void Application::Terminate()
{
    if (terminated_)
        return;
    terminated_ = true;
    ::PostQuitMessage(0);
}

void Application::DestroyForms()
{
    for (auto it = forms_.rbegin(); it != forms_.rend(); ++it)
        it->form->Destroy();
    for (auto it = forms_.rbegin(); it != forms_.rend(); ++it)
        if (it->forget)
            it->forget();
    forms_.clear();
    mainForm_ = nullptr;
}

void RunGuarded(const std::function<void()>& handler)
{
    if (!handler)
        return;
    try {
        handler();
    } catch (const std::exception& e) {
        Application::HandleException(e);
    }
}

void Application::HandleException(const std::exception& e)
{
    if (instance)
        instance->MessageBox(MessageKind::Error, e.what());
}

HWND Application::ActivePopupOwner() const
{
    HWND active = ::GetActiveWindow();
    return active ? active : Handle();
}

MessageResult Application::MessageBox(MessageKind kind, const std::string& text, MessageButtons buttons)
{
    return prompts_->Show(ActivePopupOwner(), title_, kind, text, buttons);
}

std::optional<std::string> Application::ChooseFolder(const std::string& title)
{
    return prompts_->ChooseFolder(ActivePopupOwner(), title);
}

std::optional<std::string> Application::InputBox(const std::string& caption, const std::string& prompt,
                                                 const std::string& value)
{
    return prompts_->InputBox(ActivePopupOwner(), caption, prompt, value);
}

std::vector<std::wstring> Application::OpenFiles(const std::string& title, const std::string& filter)
{
    return prompts_->OpenFiles(ActivePopupOwner(), title, filter);
}

void Application::OpenDocument(HWND owner, const std::string& path)
{
    shell_->Open(owner, path);
}

}  // namespace winui
