// Times "List All Recent Documents" over recent folders of 1,000, 5,000 and
// 20,000 shortcuts plus two 1,000-line list files, next to the floor measured
// in the same run: enumerating the same folder and sorting the names, with no
// window at all.
#include "tessaly/Main.h"
#include "tessaly/Program.h"
#include "winui/Application.h"
#include "winui/Handles.h"
#include "winui/SettingsFile.h"

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

class SilentPrompts final : public winui::Prompts {
public:
    winui::MessageResult Show(HWND, const std::string&, winui::MessageKind, const std::string& text,
                              winui::MessageButtons) override
    {
        std::fprintf(stderr, "unexpected message: %s\n", text.c_str());
        return winui::MessageResult::Ok;
    }
};

std::string RecentFolder()
{
    char path[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, CSIDL_RECENT, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

void EmptyFolder(const std::string& folder)
{
    WIN32_FIND_DATAA data{};
    winui::FindHandle search(::FindFirstFileA((folder + "\\*.lnk").c_str(), &data));
    if (!search)
        return;
    do
        ::DeleteFileA((folder + "\\" + data.cFileName).c_str());
    while (::FindNextFileA(search.Get(), &data));
}

// One real shortcut made through the shell-link objects, copied under many names.
std::string ShortcutBytes(const std::string& folder)
{
    const std::string path = folder + "\\template.lnk";
    winui::ComPtr<IShellLinkA> link;
    ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.PutVoid());
    link->SetPath("C:\\docs\\template.doc");
    winui::ComPtr<IPersistFile> file;
    link->QueryInterface(IID_IPersistFile, file.PutVoid());
    wchar_t wide[MAX_PATH] = {};
    ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    file->Save(wide, TRUE);
    std::string bytes;
    {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    ::DeleteFileA(path.c_str());
    return bytes;
}

// Adds shortcuts number `from` to `to` - 1; 7919 is prime to 100,000, so the
// scrambled numbers never repeat.
void FillFolder(const std::string& folder, int from, int to, const std::string& bytes)
{
    static const char* kinds[] = {"doc", "txt", "xls", "mp3", "jpg", "avi", "pdf", "htm"};
    for (int i = from; i < to; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "Document %05d.%s.lnk", (i * 7919) % 100000, kinds[i % 8]);
        std::ofstream(folder + "\\" + name, std::ios::binary) << bytes;
    }
}

double Seconds(const std::function<void()>& work, int repeats = 3)
{
    double best = 1e9;
    for (int i = 0; i < repeats; ++i) {
        const auto start = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

// The least any fill can do: find the names and sort them the way the list
// compares (converted to UTF-16 once, the user's locale, case ignored).
void Floor(const std::string& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAA data{};
    winui::FindHandle search(::FindFirstFileA((folder + "\\*.lnk").c_str(), &data));
    if (search) {
        do {
            wchar_t wide[MAX_PATH] = {};
            ::MultiByteToWideChar(CP_ACP, 0, data.cFileName, -1, wide, MAX_PATH);
            names.emplace_back(wide);
        } while (::FindNextFileA(search.Get(), &data));
    }
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size())) == CSTR_LESS_THAN;
    });
}

}  // namespace

int main()
{
    winui::Application app;
    SilentPrompts prompts;
    app.SetPrompts(&prompts);

    const std::string folder = RecentFolder();
    const std::string program = winui::ProgramFolder();
    for (const char* list : {"SumvexFileList.dat", "QuilloFileList.dat"}) {
        std::ofstream out(program + list, std::ios::binary);
        for (int i = 0; i < 1000; ++i)
            out << "C:\\Work\\" << list[0] << "-entry-" << i << ".doc\r\n";
    }
    EmptyFolder(folder);
    const std::string bytes = ShortcutBytes(folder);
    tessaly::CreateForms(app);

    std::printf("%-10s %14s %14s %8s\n", "shortcuts", "list all (ms)", "floor (ms)", "ratio");
    int filled = 0;
    for (int count : {1000, 5000, 20000}) {
        FillFolder(folder, filled, count, bytes);
        filled = count;
        const double listAll = Seconds([] { Form1->ListAllDocuments(); });
        const double floor = Seconds([&] { Floor(folder); });
        std::printf("%-10d %14.1f %14.1f %8.2f   (%d items)\n", count, listAll * 1000, floor * 1000, listAll / floor,
                    Form1->ListBox1.Count());
    }
    EmptyFolder(folder);
    for (const char* list : {"SumvexFileList.dat", "QuilloFileList.dat", "Larkspan.ini"})
        ::DeleteFileA((program + list).c_str());
    return 0;
}
