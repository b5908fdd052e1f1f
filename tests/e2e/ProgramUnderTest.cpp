#include "ProgramUnderTest.h"

#include <gtest/gtest.h>

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

void SendMouse(DWORD flags, LONG x = 0, LONG y = 0)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = x;
    input.mi.dy = y;
    input.mi.dwFlags = flags;
    ::SendInput(1, &input, sizeof input);
}

}  // namespace

void ClickWithMouse(HWND control)
{
    RECT r{};
    ASSERT_TRUE(::GetWindowRect(control, &r)) << "no control to click";
    ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

namespace {

void MoveMouseTo(POINT at)
{
    // Absolute input runs from 0 to 65535 over the primary screen.
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, (at.x * 65535 + width / 2) / (width - 1),
              (at.y * 65535 + height / 2) / (height - 1));
}

}  // namespace

void ClickAt(POINT at)
{
    MoveMouseTo(at);
    ::Sleep(150);
    // Pressed and released at once, as a quick click arrives: the release
    // is queued before the program has taken the press.
    INPUT click[2]{};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, click, sizeof click[0]);
    ::Sleep(100);
}

std::optional<POINT> CloseBoxOf(HWND window)
{
    RECT r{};
    ::GetWindowRect(window, &r);
    const int caption = ::GetSystemMetrics(SM_CYCAPTION);
    for (int y = r.top; y < r.top + 2 * caption; y += 2)
        for (int x = r.right - 1; x > r.right - 4 * caption; x -= 2)
            if (::SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE)
                return POINT{x - caption / 4, y + caption / 4};
    return std::nullopt;
}

void DragWithMouse(POINT from, POINT to)
{
    MoveMouseTo(from);
    ::Sleep(150);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    ::Sleep(150);
    // Small steps, each taken by the program before the next, as a hand
    // moves: the first ones cross the threshold while still over the source.
    constexpr int steps = 20;
    for (int i = 1; i <= steps; ++i) {
        MoveMouseTo({from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
        ::Sleep(40);
    }
    ::Sleep(150);
    SendMouse(MOUSEEVENTF_LEFTUP);
    ::Sleep(150);
}

void TypeKey(WORD key)
{
    INPUT input[2]{};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, input, sizeof input[0]);
    ::Sleep(60);
}

void TypeKey(WORD modifier, WORD key)
{
    INPUT input[4]{};
    for (INPUT& i : input)
        i.type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[3].ki.wVk = modifier;
    input[1].ki.wVk = input[2].ki.wVk = key;
    input[2].ki.dwFlags = input[3].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(4, input, sizeof input[0]);
    ::Sleep(60);
}

void TypeText(const std::string& text)
{
    for (const char c : text) {
        const SHORT scan = ::VkKeyScanA(c);
        ASSERT_NE(scan, -1) << "no key types '" << c << "'";
        const WORD key = LOBYTE(scan);
        if (HIBYTE(scan) & 1)
            TypeKey(VK_SHIFT, key);
        else
            TypeKey(key);
    }
}

namespace {

struct WindowSearch {
    DWORD process;
    int width, height;
    HWND except;
    HWND found = nullptr;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM search)
{
    auto& s = *reinterpret_cast<WindowSearch*>(search);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    RECT client{};
    ::GetClientRect(window, &client);
    if (process == s.process && window != s.except && ::IsWindowVisible(window) && client.right == s.width &&
        client.bottom == s.height) {
        s.found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND ProgramUnderTest::WaitForWindow(int clientWidth, int clientHeight, HWND except) const
{
    WindowSearch search{process_.dwProcessId, clientWidth, clientHeight, except};
    for (int i = 0; i < 100 && !search.found; ++i) {
        ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            ::Sleep(50);
    }
    return search.found;
}

namespace {

struct MessageBoxSearch {
    DWORD process;
    HWND found = nullptr;
};

BOOL CALLBACK MatchMessageBox(HWND window, LPARAM search)
{
    auto& s = *reinterpret_cast<MessageBoxSearch*>(search);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    char cls[16] = {};
    ::GetClassNameA(window, cls, sizeof cls);
    if (process == s.process && ::IsWindowVisible(window) && std::string(cls) == "#32770") {
        s.found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND ProgramUnderTest::WaitForMessageBox(DWORD ms) const
{
    MessageBoxSearch search{process_.dwProcessId};
    const DWORD start = ::GetTickCount();
    while (true) {
        ::EnumWindows(MatchMessageBox, reinterpret_cast<LPARAM>(&search));
        if (search.found || ::GetTickCount() - start >= ms)
            return search.found;
        ::Sleep(50);
    }
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
