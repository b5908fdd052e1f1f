#include "Prompts.h"

#include "Handles.h"
#include "Window.h"
#include "LocaleText.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <stdexcept>
#include <vector>

namespace winui {

MessageResult PlatformPrompts::Show(HWND owner, const std::string& caption, MessageKind kind, const std::string& text,
                                    MessageButtons buttons)
{
    UINT flags = buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK;
    switch (kind) {
    case MessageKind::Plain: break;
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

std::optional<std::string> PlatformPrompts::ChooseFolder(HWND owner, const std::string& title)
{
    char name[MAX_PATH + 1] = {};
    BROWSEINFOA info{};
    info.hwndOwner = owner;
    info.pszDisplayName = name;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    PIDLIST_ABSOLUTE item = nullptr;
    {
        // The chooser is modal to its owner only: every other window of the
        // program is disabled while it is open.
        OtherWindowsDisabled others(owner);
        item = ::SHBrowseForFolderA(&info);
    }
    if (!item)
        return std::nullopt;
    // Read wide and narrowed exactly: a folder whose name the code page
    // cannot hold is no folder the program can name (a lookalike name
    // would be another folder).
    wchar_t path[MAX_PATH + 1] = {};
    const BOOL converted = ::SHGetPathFromIDListW(item, path);
    ::CoTaskMemFree(item);
    if (!converted)
        return std::nullopt;
    return NarrowPath(path);
}

namespace {

// A dialog template built in memory: the input box needs no resource script.
class DialogTemplate {
public:
    DialogTemplate(const std::string& caption, short width, short height)
    {
        Add32(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT);
        Add32(0);
        count_ = words_.size();
        words_.push_back(0);  // the item count, filled in as items come
        for (short value : {short{0}, short{0}, width, height})
            words_.push_back(static_cast<WORD>(value));
        words_.push_back(0);  // no menu
        words_.push_back(0);  // the standard dialog class
        AddText(caption);
        words_.push_back(8);
        AddText("MS Shell Dlg");
    }

    // `kind` is the atom of a platform class: 0x80 button, 0x81 edit, 0x82 static.
    void AddItem(WORD kind, DWORD style, short x, short y, short cx, short cy, WORD id, const std::string& text)
    {
        if (words_.size() % 2)
            words_.push_back(0);  // items start on a DWORD boundary
        Add32(WS_CHILD | WS_VISIBLE | style);
        Add32(0);
        for (short value : {x, y, cx, cy})
            words_.push_back(static_cast<WORD>(value));
        words_.push_back(id);
        words_.push_back(0xFFFF);
        words_.push_back(kind);
        AddText(text);
        words_.push_back(0);  // no creation data
        ++words_[count_];
    }

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Add32(DWORD value)
    {
        words_.push_back(LOWORD(value));
        words_.push_back(HIWORD(value));
    }
    void AddText(const std::string& text)
    {
        for (wchar_t unit : Widen(text))
            words_.push_back(static_cast<WORD>(unit));
        words_.push_back(0);
    }

    std::vector<WORD> words_;
    std::size_t count_ = 0;
};

constexpr WORD inputField = 100;

struct InputState {
    std::string value;
};

INT_PTR CALLBACK InputBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        ::SetDlgItemTextA(dialog, inputField, reinterpret_cast<InputState*>(lParam)->value.c_str());
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            auto* state = reinterpret_cast<InputState*>(::GetWindowLongPtrA(dialog, DWLP_USER));
            const HWND field = ::GetDlgItem(dialog, inputField);
            std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(field)) + 1, '\0');
            text.resize(static_cast<std::size_t>(::GetWindowTextA(field, text.data(), static_cast<int>(text.size()))));
            state->value = text;
            ::EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            ::EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

}  // namespace

std::optional<std::string> PlatformPrompts::InputBox(HWND owner, const std::string& caption,
                                                     const std::string& prompt, const std::string& value)
{
    DialogTemplate dialog(caption, 180, 63);
    dialog.AddItem(0x82, SS_LEFT, 8, 6, 164, 10, 0xFFFF, prompt);
    dialog.AddItem(0x81, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 8, 19, 164, 12, inputField, "");
    dialog.AddItem(0x80, WS_TABSTOP | BS_DEFPUSHBUTTON, 40, 41, 50, 14, IDOK, "OK");
    dialog.AddItem(0x80, WS_TABSTOP | BS_PUSHBUTTON, 94, 41, 50, 14, IDCANCEL, "Cancel");
    InputState state{value};
    const INT_PTR result = ::DialogBoxIndirectParamA(::GetModuleHandleA(nullptr), dialog.Get(), owner, InputBoxProc,
                                                     reinterpret_cast<LPARAM>(&state));
    if (result != IDOK)
        return std::nullopt;
    return state.value;
}

std::vector<std::wstring> PlatformPrompts::OpenFiles(HWND owner, const std::string& title, const std::string& filter)
{
    ComPtr<IFileOpenDialog> dialog;
    if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                  dialog.PutVoid())))
        throw std::runtime_error("Cannot show the open dialog");
    // "description|pattern|description|pattern..."
    std::vector<std::wstring> parts;
    for (std::size_t start = 0;;) {
        const std::size_t bar = filter.find('|', start);
        parts.push_back(Widen(filter.substr(start, bar - start)));
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
    std::vector<COMDLG_FILTERSPEC> types;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2)
        types.push_back({parts[i].c_str(), parts[i + 1].c_str()});
    if (!types.empty())
        dialog->SetFileTypes(static_cast<UINT>(types.size()), types.data());
    dialog->SetTitle(Widen(title).c_str());
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_ALLOWMULTISELECT | FOS_PATHMUSTEXIST | FOS_FILEMUSTEXIST |
                       FOS_FORCEFILESYSTEM);
    std::vector<std::wstring> files;
    if (FAILED(dialog->Show(owner)))
        return files;  // cancelled
    ComPtr<IShellItemArray> chosen;
    if (FAILED(dialog->GetResults(chosen.Put())))
        return files;
    DWORD count = 0;
    chosen->GetCount(&count);
    for (DWORD i = 0; i < count; ++i) {
        ComPtr<IShellItem> item;
        PWSTR path = nullptr;
        if (SUCCEEDED(chosen->GetItemAt(i, item.Put())) && SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
            files.emplace_back(path);
            ::CoTaskMemFree(path);
        }
    }
    return files;
}

void PlatformShellLauncher::Open(HWND owner, const std::string& path)
{
    ::ShellExecuteA(owner, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace winui
