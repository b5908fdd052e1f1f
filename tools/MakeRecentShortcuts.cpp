// Adds shortcuts to the user's recent-documents folder, as the shell does when
// documents are opened: MakeRecentShortcuts.exe C:\path\doc1.txt ...
// Used by the screenshot script to give the widget something to show.
#include "winui/Handles.h"

#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    ::CoInitialize(nullptr);
    char folder[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, CSIDL_RECENT, nullptr, SHGFP_TYPE_CURRENT, folder);
    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string target = argv[i];
        const std::string name = target.substr(target.find_last_of("\\/:") + 1);
        const std::string path = std::string(folder) + "\\" + name + ".lnk";
        winui::ComPtr<IShellLinkA> link;
        winui::ComPtr<IPersistFile> file;
        wchar_t wide[MAX_PATH] = {};
        ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                      link.PutVoid())) ||
            FAILED(link->SetPath(target.c_str())) || FAILED(link->QueryInterface(IID_IPersistFile, file.PutVoid())) ||
            FAILED(file->Save(wide, TRUE))) {
            std::fprintf(stderr, "cannot create %s\n", path.c_str());
            ++failures;
        }
    }
    ::CoUninitialize();
    return failures == 0 ? 0 : 1;
}
