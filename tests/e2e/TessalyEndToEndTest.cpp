// Starts the real Tessaly.exe in a program folder of its own and checks it
// from outside, as another program (or a user) sees it.
#include "ProgramUnderTest.h"
#include "TessalyFixture.h"

#include <objbase.h>

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

std::vector<std::string> ListItems(HWND list)
{
    // Read as a screen reader reads a list box: in UTF-16, converted by the
    // system across processes.
    std::vector<std::string> items;
    const LRESULT count = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t wide[MAX_PATH] = {};
        ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide));
        char text[MAX_PATH] = {};
        ::WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        items.emplace_back(text);
    }
    return items;
}

class TessalyEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::CoInitialize(nullptr);
        WriteFile(program.File("SumvexFileList.dat"), "C:\\Work\\Budget.vts\r\n");
        WriteFile(program.File("QuilloFileList.dat"), "C:\\Work\\Letter.rtf\n");
        WriteFile(program.File("IPAddress.dat"), "");
        EmptyRecentFolder();
        AddRecent("Report.doc");
        AddRecent("Song.mp3");
    }
    void TearDown() override
    {
        EmptyRecentFolder();
        ::CoUninitialize();
    }

    ProgramUnderTest program{ProgramPath(), "Tessaly"};
};

}  // namespace

TEST_F(TessalyEndToEnd, WidgetStandsOnTopTranslucentWithItsDocumentsAndRemembersItsPlace)
{
    HWND widget = program.Start(1168, 255);
    ASSERT_NE(widget, nullptr);
    RECT r{};
    ::GetWindowRect(widget, &r);
    EXPECT_EQ(r.left, 1168);
    EXPECT_EQ(r.top, 255);
    EXPECT_EQ(r.right - r.left, 178);
    EXPECT_EQ(r.bottom - r.top, 417);

    EXPECT_TRUE(::GetWindowLongA(widget, GWL_EXSTYLE) & WS_EX_TOPMOST);
    BYTE alpha = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(widget, nullptr, &alpha, nullptr));
    EXPECT_EQ(alpha, 220);

    // No taskbar button: owned by an invisible window and not an app window.
    const HWND owner = ::GetWindow(widget, GW_OWNER);
    EXPECT_NE(owner, nullptr);
    EXPECT_FALSE(::IsWindowVisible(owner));
    EXPECT_FALSE(::GetWindowLongA(widget, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    char title[64] = {};
    ::GetWindowTextA(owner, title, sizeof title);
    EXPECT_STREQ(title, "Tessaly");

    HWND list = FindChildOfClass(widget, "ListBox");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ListItems(list), (std::vector<std::string>{"C:\\Work\\Budget.vts", "C:\\Work\\Letter.rtf",
                                                         "Report.doc.lnk", "Song.mp3.lnk"}));
    EXPECT_EQ(::SendMessageA(list, LB_GETCURSEL, 0, 0), 0);

    // Moved by the user, closed: the next start stands where this one ended.
    ::SetWindowPos(widget, nullptr, 600, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::PostMessageA(widget, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
    char left[16] = {};
    ::GetPrivateProfileStringA("Tessaly", "Left Side", "", left, sizeof left, program.File("Larkspan.ini").c_str());
    EXPECT_STREQ(left, "600");

    widget = program.Start(600, 100);
    ASSERT_NE(widget, nullptr);
    ::GetWindowRect(widget, &r);
    EXPECT_EQ(r.left, 600);
    EXPECT_EQ(r.top, 100);
    ::PostMessageA(widget, WM_CLOSE, 0, 0);
    program.WaitForExit();
}
