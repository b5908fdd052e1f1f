// Starts the real Tessaly.exe in a program folder of its own and checks it
// from outside, as another program (or a user) sees it.
#include "ProgramUnderTest.h"
#include "TessalyFixture.h"

#include <objbase.h>

#include <atomic>
#include <thread>

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

HWND ChildWithText(HWND parent, const char* className, const std::string& text)
{
    HWND found = nullptr;
    for (HWND child = ::FindWindowExA(parent, nullptr, nullptr, nullptr); child && !found;
         child = ::FindWindowExA(parent, child, nullptr, nullptr)) {
        char cls[64] = {};
        char caption[64] = {};
        ::GetClassNameA(child, cls, sizeof cls);
        ::GetWindowTextA(child, caption, sizeof caption);
        if (lstrcmpiA(cls, className) == 0 && text == caption)
            found = child;
        else
            found = ChildWithText(child, className, text);
    }
    return found;
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
    // Starts the program with this address book, then opens the book: "<"
    // on the widget opens the portal, its "..." the book. Null when a
    // window did not show.
    HWND OpenAddressBook(const std::string& file)
    {
        WriteFile(program.File("IPAddress.dat"), file);
        widget = program.Start(1168, 255);
        if (!widget)
            return nullptr;
        ClickWithMouse(ChildWithText(widget, "Larkspan.SpeedButton", "<"));
        const HWND portal = program.WaitForWindow(178, 417, widget);
        if (!portal)
            return nullptr;
        ClickWithMouse(ChildWithText(portal, "Larkspan.SpeedButton", "..."));
        return program.WaitForWindow(462, 341);
    }
    // Ends the program as the user does, with a click on the widget's "X":
    // it must be gone within five seconds, its position written.
    void CloseWithX()
    {
        ClickWithMouse(ChildWithText(widget, "Larkspan.SpeedButton", "X"));
        ASSERT_TRUE(program.EndsWithin(5000)) << "still running five seconds after X";
        char left[16] = {};
        ::GetPrivateProfileStringA("Tessaly", "Left Side", "", left, sizeof left, program.File("Larkspan.ini").c_str());
        EXPECT_STREQ(left, "1168");
    }
    // Waits up to five seconds for a window to be hidden.
    static bool Hides(HWND window)
    {
        for (int i = 0; i < 100 && ::IsWindowVisible(window); ++i)
            ::Sleep(50);
        return !::IsWindowVisible(window);
    }
    HWND widget = nullptr;

    ProgramUnderTest program{ProgramPath(), "Tessaly"};
};

}  // namespace

TEST_F(TessalyEndToEnd, WidgetStandsOnTopTranslucentWithItsDocumentsAndRemembersItsPlace)
{
    widget = program.Start(1168, 255);
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


TEST_F(TessalyEndToEnd, TheAddressBookListsItsFileAndKeepsItAtTheEnd)
{
    const HWND book = OpenAddressBook("Zeta <10.0.0.9>\r\nalpha <10.0.0.1>\r\n");
    ASSERT_NE(book, nullptr);
    const HWND list = FindChildOfClass(book, "ListBox");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ListItems(list), (std::vector<std::string>{"alpha <10.0.0.1>", "Zeta <10.0.0.9>"}));
    EXPECT_EQ(ChildTexts(book, "Larkspan.XiButton"),
              (std::vector<std::string>{"Send To", "Close", "Add", "Delete", "Who's Online?"}));

    ClickWithMouse(ChildWithText(book, "Larkspan.XiButton", "Close"));
    EXPECT_TRUE(Hides(book));
    CloseWithX();
    EXPECT_EQ(FileContent(program.File("IPAddress.dat")), "alpha <10.0.0.1>\r\nZeta <10.0.0.9>\r\n");

    // Send To closes the book too, with the entry's address in the host field.
    const HWND again = OpenAddressBook("Lab <10.0.0.5>\r\n");
    ASSERT_NE(again, nullptr);
    ClickWithMouse(ChildWithText(again, "Larkspan.XiButton", "Send To"));
    EXPECT_TRUE(Hides(again));
    const HWND portal = program.WaitForWindow(178, 417, widget);
    ASSERT_NE(portal, nullptr);
    EXPECT_EQ(ChildTexts(portal, "Edit"), std::vector<std::string>{"10.0.0.5"});
    CloseWithX();
    EXPECT_EQ(FileContent(program.File("IPAddress.dat")), "Lab <10.0.0.5>\r\n");
}

namespace {

// Watches from a thread of its own whether a window of another process
// turns visible and hidden again: the changes it saw, in order.
class VisibilityWatch {
public:
    explicit VisibilityWatch(HWND window)
        : thread_([this, window] {
              bool visible = ::IsWindowVisible(window) != FALSE;
              while (!stop_) {
                  const bool now = ::IsWindowVisible(window) != FALSE;
                  if (now != visible) {
                      changes_.push_back(now ? "shown" : "hidden");
                      ++count_;
                  }
                  visible = now;
                  std::this_thread::yield();
              }
          })
    {
    }
    VisibilityWatch(const VisibilityWatch&) = delete;
    VisibilityWatch& operator=(const VisibilityWatch&) = delete;
    ~VisibilityWatch() { Stop(); }
    std::size_t Changes() const { return count_; }
    const std::vector<std::string>& Stop()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        return changes_;
    }

private:
    std::atomic<bool> stop_{false};
    std::atomic<std::size_t> count_{0};
    std::vector<std::string> changes_;
    std::thread thread_;
};

}  // namespace

TEST_F(TessalyEndToEnd, WhoIsOnlineSearchesTheNetworkUnderTheSearchWindow)
{
    const HWND book = OpenAddressBook("Lab <10.0.0.5>\r\n");
    ASSERT_NE(book, nullptr);

    // The search window is there from the start, hidden.
    const HWND search = ::FindWindowA(nullptr, "Searching For Network Clients...");
    ASSERT_NE(search, nullptr);
    EXPECT_FALSE(::IsWindowVisible(search));
    VisibilityWatch watch(search);
    ClickWithMouse(ChildWithText(book, "Larkspan.XiButton", "Who's Online?"));
    const HWND clients = program.WaitForWindow(655, 375);
    ASSERT_NE(clients, nullptr);
    char caption[64] = {};
    ::GetWindowTextA(clients, caption, sizeof caption);
    EXPECT_STREQ(caption, "Online Network Clients");
    // Wine's network has no servers to list.
    const HWND list = FindChildOfClass(clients, "ListBox");
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(ListItems(list).empty());
    // The search window came up for the search and went again.
    EXPECT_EQ(watch.Stop(), (std::vector<std::string>{"shown", "hidden"}));
    EXPECT_FALSE(::IsWindowVisible(search));

    // Shown modally from the modal address book, it takes the user's clicks:
    // "Refresh List" searches again under the search window.
    VisibilityWatch again(search);
    ClickWithMouse(FindChildOfClass(clients, "Larkspan.SpeedButton"));
    for (int i = 0; i < 100 && again.Changes() < 2; ++i)
        ::Sleep(50);
    EXPECT_EQ(again.Stop(), (std::vector<std::string>{"shown", "hidden"}));
    EXPECT_FALSE(::IsWindowEnabled(book));

    // Its close box closes it; the book takes clicks again.
    const std::optional<POINT> closeBox = CloseBoxOf(clients);
    ASSERT_TRUE(closeBox);
    ClickAt(*closeBox);
    EXPECT_TRUE(Hides(clients));
    EXPECT_TRUE(::IsWindowEnabled(book));

    // Nothing listed, nothing added: "Add Host Names to List" closes it.
    ClickWithMouse(ChildWithText(book, "Larkspan.XiButton", "Who's Online?"));
    ASSERT_EQ(program.WaitForWindow(655, 375), clients);
    ClickWithMouse(ChildWithText(clients, "Larkspan.RbButton", "Add Host Names to List"));
    EXPECT_TRUE(Hides(clients));
    EXPECT_EQ(ListItems(FindChildOfClass(book, "ListBox")), std::vector<std::string>{"Lab <10.0.0.5>"});
    ClickWithMouse(ChildWithText(book, "Larkspan.XiButton", "Close"));
    EXPECT_TRUE(Hides(book));
    CloseWithX();
}

TEST_F(TessalyEndToEnd, TheCloseButtonEndsTheProgramWithThePortalShown)
{
    widget = program.Start(1168, 255);
    ASSERT_NE(widget, nullptr);
    ClickWithMouse(ChildWithText(widget, "Larkspan.SpeedButton", "<"));
    ASSERT_NE(program.WaitForWindow(178, 417, widget), nullptr);
    CloseWithX();
}
