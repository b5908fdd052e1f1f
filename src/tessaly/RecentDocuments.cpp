#include "RecentDocuments.h"

#include "core/TextLines.h"
#include "winui/Handles.h"
#include "winui/LocaleText.h"

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

std::wstring WidePath(const std::string& path)
{
    const int units = ::MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, path.c_str(), -1, nullptr, 0);
    if (units <= 0)
        throw std::runtime_error("Cannot convert the path " + path);
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    ::MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, path.c_str(), -1, wide.data(), units);
    wide.resize(static_cast<std::size_t>(units) - 1);
    if (wide.size() < MAX_PATH || wide.starts_with(L"\\\\?\\"))
        return wide;
    const DWORD needed = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    std::wstring full(needed, L'\0');
    const DWORD length = needed ? ::GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr) : 0;
    if (length == 0 || length >= needed)
        return wide;  // the load reports what is wrong with it
    full.resize(length);
    if (full.starts_with(L"\\\\"))  // \\server\share\...
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

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
    ComPtr<IShellLinkW> link;
    // Without a link object no shortcut can be read at all; an empty target
    // would let opening pass silently instead of saying that it failed.
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.PutVoid())))
        throw std::runtime_error("Cannot create a shell link object");
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.PutVoid())))
        return {};
    const std::wstring wideName = WidePath(shortcutPath);
    if (FAILED(file->Load(wideName.c_str(), STGM_READ))) {
        // A platform that refuses even the long form of the path must not
        // pass for a shortcut without target.
        if (wideName.size() >= MAX_PATH)
            throw std::runtime_error("Cannot load the shortcut " + shortcutPath);
        return {};
    }
    // Read wide and narrowed exactly: the narrow reading would give a
    // target the code page cannot name as a lookalike ("ｒeport.txt" as
    // "report.txt"), another file that would be opened or sent in its
    // place. Such a target reads as none.
    wchar_t target[MAX_PATH + 1] = {};
    WIN32_FIND_DATAW data{};
    if (FAILED(link->GetPath(target, MAX_PATH, &data, SLGP_UNCPRIORITY)))
        return {};
    return winui::NarrowPath(target).value_or(std::string());
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
    for (;;) {
        // A read that fails part way is a failure, not a shorter list.
        if (!::ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr))
            throw std::runtime_error("Cannot read file " + path);
        if (read == 0)
            break;
        content.append(buffer, read);
    }
    return larkspan::SplitLines(content);
}

void WriteListFile(const std::string& path, const std::vector<std::string>& lines)
{
    const std::size_t slash = path.find_last_of('\\');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    char temporary[MAX_PATH] = {};
    if (!::GetTempFileNameA(folder.c_str(), "lst", 0, temporary))
        throw std::runtime_error("Cannot write in " + folder);
    bool written = false;
    {
        winui::FileHandle file(::CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
        std::string content;
        for (const std::string& line : lines)
            content += line + "\r\n";
        DWORD done = 0;
        written = file && ::WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &done, nullptr) &&
                  done == content.size() && ::FlushFileBuffers(file.Get());
    }
    if (!written || !::MoveFileExA(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileA(temporary);
        throw std::runtime_error("Cannot write file " + path);
    }
}

int DeleteShortcuts(const std::string& folder)
{
    int remaining = 0;
    for (const std::string& name : FindNames(folder + "\\*.lnk"))
        if (!::DeleteFileW(WidePath(folder + "\\" + name).c_str()))
            ++remaining;
    return remaining;
}

}  // namespace tessaly
