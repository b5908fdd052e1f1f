// Starts the real Tessaly.exe in a program folder of its own and checks it
// from outside, as another program (or a user) sees it.
#include "TessalyFixture.h"

#include "winui/Handles.h"

#include <objbase.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

std::string programUnderTest;  // set from the command line

std::string WindowsPath(std::string path)
{
    if (!path.empty() && path[0] == '/')  // a Unix path handed over by CTest
        path = "Z:" + path;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

struct Found {
    DWORD process;
    HWND window;
};

BOOL CALLBACK MatchVisibleForm(HWND hwnd, LPARAM param)
{
    auto* f = reinterpret_cast<Found*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    char cls[64] = {};
    ::GetClassNameA(hwnd, cls, sizeof cls);
    if (owner == f->process && ::IsWindowVisible(hwnd) && std::string(cls) == "Larkspan.Form") {
        f->window = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindVisibleForm(DWORD processId)
{
    Found found{processId, nullptr};
    ::EnumWindows(&MatchVisibleForm, reinterpret_cast<LPARAM>(&found));
    return found.window;
}

struct ClassSearch {
    const char* cls;
    HWND found;
};

BOOL CALLBACK MatchClass(HWND hwnd, LPARAM param)
{
    auto* s = reinterpret_cast<ClassSearch*>(param);
    char cls[64] = {};
    ::GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpiA(cls, s->cls) == 0) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindChildOfClass(HWND parent, const char* className)
{
    ClassSearch search{className, nullptr};
    ::EnumChildWindows(parent, &MatchClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class TessalyEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::CoInitialize(nullptr);
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "tessaly-e2e-" + std::to_string(::GetCurrentProcessId());
        ::CreateDirectoryA(folder_.c_str(), nullptr);
        ASSERT_TRUE(::CopyFileA(WindowsPath(programUnderTest).c_str(), Program().c_str(), FALSE))
            << programUnderTest;
        WriteFile(folder_ + "\\SumvexFileList.dat", "C:\\Work\\Budget.vts\r\n");
        WriteFile(folder_ + "\\QuilloFileList.dat", "C:\\Work\\Letter.rtf\n");
        EmptyRecentFolder();
        AddRecent("Report.doc");
        AddRecent("Song.mp3");
    }

    void TearDown() override
    {
        if (process_.hProcess) {
            ::TerminateProcess(process_.hProcess, 1);
            ::CloseHandle(process_.hProcess);
            ::CloseHandle(process_.hThread);
        }
        EmptyRecentFolder();
        for (const char* name : {"Tessaly.exe", "SumvexFileList.dat", "QuilloFileList.dat", "Larkspan.ini"})
            RemoveFile(folder_ + "\\" + name);
        ::RemoveDirectoryA(folder_.c_str());
        ::CoUninitialize();
    }

    std::string Program() const { return folder_ + "\\Tessaly.exe"; }

    // Starts the program and waits until its widget stands at its place.
    HWND Start(int left, int top)
    {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string commandLine = "\"" + Program() + "\"";
        EXPECT_TRUE(::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                     folder_.c_str(), &startup, &process_));
        for (int i = 0; i < 200; ++i) {
            ::Sleep(50);
            if (HWND widget = FindVisibleForm(process_.dwProcessId)) {
                RECT r{};
                ::GetWindowRect(widget, &r);
                if (r.left == left && r.top == top)
                    return widget;
            }
        }
        return FindVisibleForm(process_.dwProcessId);
    }

    // Closes the widget as the window manager would and waits for the exit.
    DWORD CloseAndWait(HWND widget)
    {
        ::PostMessageA(widget, WM_CLOSE, 0, 0);
        EXPECT_EQ(::WaitForSingleObject(process_.hProcess, 20000), WAIT_OBJECT_0);
        DWORD code = 0;
        ::GetExitCodeProcess(process_.hProcess, &code);
        ::CloseHandle(process_.hProcess);
        ::CloseHandle(process_.hThread);
        process_ = {};
        return code;
    }

    std::string folder_;
    PROCESS_INFORMATION process_{};
};

}  // namespace

TEST_F(TessalyEndToEnd, WidgetStandsOnTopTranslucentWithItsDocumentsAndRemembersItsPlace)
{
    HWND widget = Start(1168, 255);
    ASSERT_NE(widget, nullptr);
    RECT r{};
    ::GetWindowRect(widget, &r);
    EXPECT_EQ(r.left, 1168);
    EXPECT_EQ(r.top, 255);
    EXPECT_EQ(r.right - r.left, 178);
    EXPECT_EQ(r.bottom - r.top, 417);

    EXPECT_TRUE(::GetWindowLongA(widget, GWL_EXSTYLE) & WS_EX_TOPMOST);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(widget, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 220);

    // No taskbar button: owned by an invisible window and not an app window.
    const HWND owner = ::GetWindow(widget, GW_OWNER);
    EXPECT_NE(owner, nullptr);
    EXPECT_FALSE(::IsWindowVisible(owner));
    EXPECT_FALSE(::GetWindowLongA(widget, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    char title[64] = {};
    ::GetWindowTextA(owner, title, sizeof title);
    EXPECT_STREQ(title, "Tessaly");

    // The list's items, read as any other program (a screen reader) reads a
    // list box: in UTF-16, converted by the system across processes.
    HWND list = FindChildOfClass(widget, "ListBox");
    ASSERT_NE(list, nullptr);
    std::vector<std::string> items;
    const LRESULT count = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t wide[MAX_PATH] = {};
        ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide));
        char text[MAX_PATH] = {};
        ::WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        items.emplace_back(text);
    }
    EXPECT_EQ(items, (std::vector<std::string>{"C:\\Work\\Budget.vts", "C:\\Work\\Letter.rtf", "Report.doc.lnk",
                                               "Song.mp3.lnk"}));
    EXPECT_EQ(::SendMessageA(list, LB_GETCURSEL, 0, 0), 0);

    // Moved by the user, closed: the next start stands where this one ended.
    ::SetWindowPos(widget, nullptr, 600, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(CloseAndWait(widget), 0u);
    char left[16] = {};
    ::GetPrivateProfileStringA("Tessaly", "Left Side", "", left, sizeof left, (folder_ + "\\Larkspan.ini").c_str());
    EXPECT_STREQ(left, "600");

    widget = Start(600, 100);
    ASSERT_NE(widget, nullptr);
    ::GetWindowRect(widget, &r);
    EXPECT_EQ(r.left, 600);
    EXPECT_EQ(r.top, 100);
    CloseAndWait(widget);
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc > 1)
        programUnderTest = argv[1];
    return RUN_ALL_TESTS();
}
