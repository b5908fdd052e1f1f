#include "Prompts.h"

#include <shellapi.h>
#include <shlobj.h>

#include <vector>

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

namespace {

BOOL CALLBACK CollectEnabled(HWND window, LPARAM list)
{
    if (::IsWindowEnabled(window))
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

}  // namespace

std::optional<std::string> PlatformPrompts::ChooseFolder(HWND owner, const std::string& title)
{
    // The chooser is modal to its owner only: every other window of the
    // program is disabled while it is open.
    std::vector<HWND> disabled;
    ::EnumThreadWindows(::GetCurrentThreadId(), CollectEnabled, reinterpret_cast<LPARAM>(&disabled));
    for (HWND window : disabled)
        if (window != owner)
            ::EnableWindow(window, FALSE);
    char name[MAX_PATH + 1] = {};
    BROWSEINFOA info{};
    info.hwndOwner = owner;
    info.pszDisplayName = name;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    PIDLIST_ABSOLUTE item = ::SHBrowseForFolderA(&info);
    for (HWND window : disabled)
        if (window != owner)
            ::EnableWindow(window, TRUE);
    if (!item)
        return std::nullopt;
    char path[MAX_PATH + 1] = {};
    const BOOL converted = ::SHGetPathFromIDListA(item, path);
    ::CoTaskMemFree(item);
    if (!converted)
        return std::nullopt;
    return std::string(path);
}

void PlatformShellLauncher::Open(HWND owner, const std::string& path)
{
    ::ShellExecuteA(owner, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace winui
