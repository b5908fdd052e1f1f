#include "RecentDocuments.h"

#include "core/TextLines.h"
#include "winui/Handles.h"

#include <objbase.h>
#include <shlobj.h>

#include <stdexcept>

namespace tessaly {

using winui::ComPtr;

namespace {

// An item identifier list handed out by the shell and freed through its allocator.
class ShellItemList {
public:
    ShellItemList() = default;
    ShellItemList(const ShellItemList&) = delete;
    ShellItemList& operator=(const ShellItemList&) = delete;
    ~ShellItemList()
    {
        ComPtr<IMalloc> allocator;
        if (list_ && SUCCEEDED(::SHGetMalloc(allocator.Put())))
            allocator->Free(list_);
    }
    LPITEMIDLIST* Put() noexcept { return &list_; }
    LPCITEMIDLIST Get() const noexcept { return list_; }

private:
    LPITEMIDLIST list_ = nullptr;
};

}  // namespace

std::string LocateRecentFolder(HWND owner)
{
    ShellItemList items;
    if (FAILED(::SHGetSpecialFolderLocation(owner, CSIDL_RECENT, items.Put())))
        return {};
    char path[MAX_PATH + 1] = {};
    if (!::SHGetPathFromIDListA(items.Get(), path))
        return {};
    return path;
}

std::vector<std::string> FindNames(const std::string& searchPath)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data{};
    winui::FindHandle search(::FindFirstFileA(searchPath.c_str(), &data));
    if (!search)
        return names;
    do
        names.emplace_back(data.cFileName);
    while (::FindNextFileA(search.Get(), &data));
    return names;
}

std::string ReadShortcutTarget(const std::string& shortcutPath)
{
    ComPtr<IShellLinkA> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.PutVoid())))
        return {};
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.PutVoid())))
        return {};
    wchar_t wideName[MAX_PATH] = {};
    ::MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, shortcutPath.c_str(), -1, wideName, MAX_PATH);
    wideName[MAX_PATH - 1] = L'\0';
    if (FAILED(file->Load(wideName, STGM_READ)))
        return {};
    char target[MAX_PATH + 1] = {};
    WIN32_FIND_DATAA data{};
    if (FAILED(link->GetPath(target, MAX_PATH, &data, SLGP_UNCPRIORITY)))
        return {};
    return target;
}

std::vector<std::string> ReadListFile(const std::string& path)
{
    // Others may read the file while we do, but not write it.
    winui::FileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw std::runtime_error("Cannot open file " + path);
    std::string content;
    char buffer[64 * 1024];
    DWORD read = 0;
    while (::ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        content.append(buffer, read);
    return larkspan::SplitLines(content);
}

int DeleteShortcuts(const std::string& folder)
{
    int remaining = 0;
    for (const std::string& name : FindNames(folder + "\\*.lnk"))
        if (!::DeleteFileA((folder + "\\" + name).c_str()))
            ++remaining;
    return remaining;
}

}  // namespace tessaly
