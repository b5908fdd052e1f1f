#include "ProgramUnderTest.h"

#include <gtest/gtest.h>

#include <functional>

namespace testing_support {

namespace {

struct FormSearch {
    DWORD process;
    HWND window;
};

BOOL CALLBACK MatchVisibleForm(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<FormSearch*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    char cls[64] = {};
    ::GetClassNameA(hwnd, cls, sizeof cls);
    if (owner == search->process && ::IsWindowVisible(hwnd) && std::string(cls) == "Larkspan.Form") {
        search->window = hwnd;
        return FALSE;
    }
    return TRUE;
}

struct ChildSearch {
    const char* cls;
    std::vector<HWND> found;
};

BOOL CALLBACK MatchClass(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<ChildSearch*>(param);
    char cls[64] = {};
    ::GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpiA(cls, search->cls) == 0)
        search->found.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> ChildrenOfClass(HWND parent, const char* className)
{
    ChildSearch search{className, {}};
    ::EnumChildWindows(parent, &MatchClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

std::string WindowsPath(std::string path)
{
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

HWND FindChildOfClass(HWND parent, const char* className)
{
    const std::vector<HWND> found = ChildrenOfClass(parent, className);
    return found.empty() ? nullptr : found.front();
}

HWND ChildWithText(HWND parent, const char* className, const std::string& text)
{
    for (HWND child : ChildrenOfClass(parent, className)) {
        char caption[256] = {};
        ::GetWindowTextA(child, caption, sizeof caption);
        if (text == caption)
            return child;
    }
    return nullptr;
}

std::vector<std::string> ChildTexts(HWND parent, const char* className)
{
    std::vector<std::string> texts;
    for (HWND child : ChildrenOfClass(parent, className)) {
        char text[256] = {};
        ::SendMessageA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
        texts.emplace_back(text);
    }
    return texts;
}

namespace {

struct TopLevelSearch {
    DWORD process;
    const std::function<bool(HWND)>& matches;
    HWND found = nullptr;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM search)
{
    auto& s = *reinterpret_cast<TopLevelSearch*>(search);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process == s.process && ::IsWindowVisible(window) && s.matches(window)) {
        s.found = window;
        return FALSE;
    }
    return TRUE;
}

// The first visible top-level window of the process that `matches`,
// waiting up to `ms` for one; nullptr when none shows.
HWND WaitForTopLevel(DWORD process, DWORD ms, const std::function<bool(HWND)>& matches)
{
    TopLevelSearch search{process, matches};
    for (const DWORD start = ::GetTickCount();; ::Sleep(50)) {
        ::EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
        if (search.found || ::GetTickCount() - start >= ms)
            return search.found;
    }
}

}  // namespace

HWND ProgramUnderTest::WaitForWindow(int clientWidth, int clientHeight, HWND except) const
{
    return WaitForTopLevel(process_.dwProcessId, 5000, [&](HWND window) {
        RECT client{};
        ::GetClientRect(window, &client);
        return window != except && client.right == clientWidth && client.bottom == clientHeight;
    });
}

HWND ProgramUnderTest::WaitForMessageBox(DWORD ms) const
{
    return WaitForTopLevel(process_.dwProcessId, ms, [](HWND window) {
        char cls[16] = {};
        ::GetClassNameA(window, cls, sizeof cls);
        return std::string(cls) == "#32770";
    });
}

ProgramUnderTest::ProgramUnderTest(const std::string& executable, const std::string& name)
{
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + name + "-e2e-" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(folder_.c_str(), nullptr);
    program_ = File(name + ".exe");
    EXPECT_TRUE(::CopyFileA(WindowsPath(executable).c_str(), program_.c_str(), FALSE)) << executable;
}

ProgramUnderTest::~ProgramUnderTest()
{
    if (process_.hProcess) {
        ::TerminateProcess(process_.hProcess, 1);
        WaitForExit();
    }
    WIN32_FIND_DATAA data{};
    HANDLE search = ::FindFirstFileA((folder_ + "\\*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        do
            ::DeleteFileA(File(data.cFileName).c_str());
        while (::FindNextFileA(search, &data));
        ::FindClose(search);
    }
    ::RemoveDirectoryA(folder_.c_str());
}

HWND ProgramUnderTest::Start(int left, int top)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + program_ + "\"";
    EXPECT_TRUE(::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(),
                                 &startup, &process_));
    FormSearch search{process_.dwProcessId, nullptr};
    for (int i = 0; i < 200; ++i) {
        ::Sleep(50);
        search.window = nullptr;
        ::EnumWindows(&MatchVisibleForm, reinterpret_cast<LPARAM>(&search));
        if (search.window) {
            RECT r{};
            ::GetWindowRect(search.window, &r);
            if (r.left == left && r.top == top)
                break;
        }
    }
    return search.window;
}

bool ProgramUnderTest::EndsWithin(DWORD ms)
{
    if (!process_.hProcess || ::WaitForSingleObject(process_.hProcess, ms) != WAIT_OBJECT_0)
        return false;
    WaitForExit();
    return true;
}

DWORD ProgramUnderTest::WaitForExit()
{
    EXPECT_EQ(::WaitForSingleObject(process_.hProcess, 20000), WAIT_OBJECT_0);
    DWORD code = 0;
    ::GetExitCodeProcess(process_.hProcess, &code);
    ::CloseHandle(process_.hProcess);
    ::CloseHandle(process_.hThread);
    process_ = {};
    return code;
}

}  // namespace testing_support
