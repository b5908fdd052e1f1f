// Reads (and sets) the file portal of a running Tessaly from outside, as a
// screen reader or another program would, for the end-to-end scripts:
//   PortalReader show          prints "host: <host field>" and one
//                              "item: <entry>" line per received entry
//   PortalReader host TEXT     sets the host field
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Controls {
    HWND edit = nullptr;
    HWND list = nullptr;
    bool portal = false;  // it holds the "Files Received" label
};

std::string TextOf(HWND window)
{
    char text[512] = {};
    ::SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

BOOL CALLBACK Child(HWND child, LPARAM found)
{
    auto& controls = *reinterpret_cast<Controls*>(found);
    char name[64] = {};
    ::GetClassNameA(child, name, sizeof name);
    if (!lstrcmpiA(name, "Edit"))
        controls.edit = child;
    else if (!lstrcmpiA(name, "ListBox"))
        controls.list = child;
    else if (TextOf(child) == "Files Received")
        controls.portal = true;
    return TRUE;
}

BOOL CALLBACK TopLevel(HWND window, LPARAM found)
{
    Controls controls;
    ::EnumChildWindows(window, Child, reinterpret_cast<LPARAM>(&controls));
    if (!controls.portal)
        return TRUE;
    *reinterpret_cast<Controls*>(found) = controls;
    return FALSE;
}

}  // namespace

int main(int argc, char** argv)
{
    Controls portal;
    for (int i = 0; i < 100 && !portal.portal; ++i) {
        ::EnumWindows(TopLevel, reinterpret_cast<LPARAM>(&portal));
        if (!portal.portal)
            ::Sleep(100);
    }
    if (!portal.edit || !portal.list) {
        std::fputs("no portal window found\n", stderr);
        return 1;
    }
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "host" && argc == 3) {
        ::SendMessageA(portal.edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[2]));
        return 0;
    }
    if (mode != "show")
        return 2;
    std::printf("host: %s\n", TextOf(portal.edit).c_str());
    // Asked in wide characters: across processes that is what arrives
    // whatever the list was created with.
    const auto count = ::SendMessageW(portal.list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::vector<wchar_t> item(static_cast<std::size_t>(::SendMessageW(portal.list, LB_GETTEXTLEN, i, 0)) + 1);
        ::SendMessageW(portal.list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()));
        char text[1024] = {};
        ::WideCharToMultiByte(CP_ACP, 0, item.data(), -1, text, sizeof text, nullptr, nullptr);
        std::printf("item: %s\n", text);
    }
    return 0;
}
