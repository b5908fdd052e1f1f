#include "TessalyFixture.h"

#include <utility>

#include "tessaly/Program.h"
#include "tessaly/RecentDocuments.h"
#include "winui/SettingsFile.h"
#include "winui/Window.h"
#include "winui/Handles.h"

#include <objbase.h>
#include <shlobj.h>

#include <vector>

namespace testing_support {

using winui::ComPtr;

using tessaly::WidePath;

winui::MessageResult ScriptedPrompts::Show(HWND, const std::string&, winui::MessageKind kind, const std::string& text,
                                           winui::MessageButtons buttons)
{
    shown.push_back({kind, text, buttons});
    if (whileShown)
        std::exchange(whileShown, nullptr)();
    if (buttons == winui::MessageButtons::Ok)
        return winui::MessageResult::Ok;
    if (answers.empty())
        return winui::MessageResult::Yes;
    const winui::MessageResult answer = answers.front();
    answers.pop_front();
    return answer;
}

std::string RecentFolder()
{
    char path[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, CSIDL_RECENT, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

void MakeShortcut(const std::string& shortcutPath, const std::string& target)
{
    ComPtr<IShellLinkA> link;
    ASSERT_HRESULT_SUCCEEDED(
        ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.PutVoid()));
    ASSERT_HRESULT_SUCCEEDED(link->SetPath(target.c_str()));
    ComPtr<IPersistFile> file;
    ASSERT_HRESULT_SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.PutVoid()));
    ASSERT_HRESULT_SUCCEEDED(file->Save(WidePath(shortcutPath).c_str(), TRUE));
}

void MakeShortcut(const std::string& shortcutPath, const std::wstring& target)
{
    ComPtr<IShellLinkW> link;
    ASSERT_HRESULT_SUCCEEDED(
        ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.PutVoid()));
    ASSERT_HRESULT_SUCCEEDED(link->SetPath(target.c_str()));
    ComPtr<IPersistFile> file;
    ASSERT_HRESULT_SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.PutVoid()));
    ASSERT_HRESULT_SUCCEEDED(file->Save(WidePath(shortcutPath).c_str(), TRUE));
}

void WriteFile(const std::string& path, const std::string& content)
{
    winui::FileHandle file(
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file) << path;
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr));
}

std::string FileContent(const std::string& path)
{
    winui::FileHandle file(
        ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return "<missing>";
    std::string content;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        content.append(buffer, read);
    return content;
}

void RemoveFile(const std::string& path)
{
    const std::wstring wide = WidePath(path);
    ::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(wide.c_str());
}

void EmptyRecentFolder()
{
    const std::string folder = RecentFolder();
    ::CreateDirectoryA(folder.c_str(), nullptr);
    // Names first, deletions after: a search over a folder that changes
    // under it may skip entries.
    std::vector<std::string> names;
    WIN32_FIND_DATAA data{};
    if (winui::FindHandle search(::FindFirstFileA((folder + "\\*").c_str(), &data)); search) {
        do {
            const std::string name = data.cFileName;
            if (name != "." && name != "..")
                names.push_back(name);
        } while (::FindNextFileA(search.Get(), &data));
    }
    for (const std::string& name : names)
        RemoveFile(folder + "\\" + name);
}

void AddRecent(const std::string& name)
{
    MakeShortcut(RecentFolder() + "\\" + name + ".lnk", "C:\\docs\\" + name);
}

void TessalyTest::SetUp()
{
    EmptyRecentFolder();
    RemoveFile(ProgramFile("Larkspan.ini"));
    WriteSiblingLists("", "");
    WriteFile(ProgramFile("IPAddress.dat"), "");
    Restart();
}

void TessalyTest::Restart()
{
    app.reset();
    TakeQuitMessage();
    app = std::make_unique<winui::Application>();
    app->SetPrompts(&prompts);
    app->SetShellLauncher(&shell);
}

void TessalyTest::TearDown()
{
    app.reset();
    TakeQuitMessage();
    EmptyRecentFolder();
    RemoveFile(ProgramFile("Larkspan.ini"));
    RemoveFile(ProgramFile("SumvexFileList.dat"));
    RemoveFile(ProgramFile("QuilloFileList.dat"));
    RemoveFile(ProgramFile("IPAddress.dat"));
}

void TessalyTest::StartForms(const std::string& receiveFolder)
{
    tessaly::CreateForms(*app, receiveFolder);
}

void TessalyTest::ShowWidget()
{
    Form1->Show();
    winui::ProcessMessages();
}

void TessalyTest::WriteSiblingLists(const std::string& sumvex, const std::string& quillo)
{
    WriteFile(ProgramFile("SumvexFileList.dat"), sumvex);
    WriteFile(ProgramFile("QuilloFileList.dat"), quillo);
}

std::string TessalyTest::ProgramFile(const std::string& name) const
{
    return winui::ProgramFolder() + name;
}

void TessalyTest::ChooseMenu(const winui::MenuItem& item)
{
    ::SendMessageA(Form1->Handle(), WM_COMMAND, MAKEWPARAM(item.Command(), 0), 0);
}

void TessalyTest::ClickControl(HWND control)
{
    ::SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    ::SendMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
}

namespace {

LPARAM ItemCentre(int index)
{
    RECT r{};
    ::SendMessageA(Form1->ListBox1.Handle(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

}  // namespace

void TessalyTest::ClickItem(int index)
{
    const LPARAM at = ItemCentre(index);
    ::SendMessageA(Form1->ListBox1.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageA(Form1->ListBox1.Handle(), WM_LBUTTONUP, 0, at);
}

void TessalyTest::DoubleClickItem(int index)
{
    ClickItem(index);
    const LPARAM at = ItemCentre(index);
    ::SendMessageA(Form1->ListBox1.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    ::SendMessageA(Form1->ListBox1.Handle(), WM_LBUTTONUP, 0, at);
}

void TessalyTest::PressKey(HWND window, WORD key)
{
    ::SendMessageA(window, WM_KEYDOWN, key, 1);
    ::SendMessageA(window, WM_KEYUP, key, 0xC0000001);
}

int TessalyTest::IndexOf(const std::string& item) const
{
    const std::vector<std::string> items = Items();
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i] == item)
            return static_cast<int>(i);
    ADD_FAILURE() << "no item " << item;
    return -1;
}

bool TessalyTest::TakeQuitMessage()
{
    MSG msg;
    return ::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

}  // namespace testing_support
