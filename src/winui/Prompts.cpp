#include "Prompts.h"

#include <shellapi.h>

namespace winui {

MessageResult PlatformPrompts::Show(HWND owner, const std::string& caption, MessageKind kind, const std::string& text,
                                    MessageButtons buttons)
{
    UINT flags = buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK;
    switch (kind) {
    case MessageKind::Information: flags |= MB_ICONINFORMATION; break;
    case MessageKind::Confirmation: flags |= MB_ICONQUESTION; break;
    case MessageKind::Warning: flags |= MB_ICONWARNING; break;
    case MessageKind::Error: flags |= MB_ICONERROR; break;
    }
    switch (::MessageBoxA(owner, text.c_str(), caption.c_str(), flags)) {
    case IDYES: return MessageResult::Yes;
    case IDNO: return MessageResult::No;
    default: return MessageResult::Ok;
    }
}

void PlatformShellLauncher::Open(HWND owner, const std::string& path)
{
    ::ShellExecuteA(owner, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace winui
