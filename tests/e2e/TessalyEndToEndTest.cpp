// Starts the real Tessaly.exe in a program folder of its own and checks it
// from outside, as another program (or a user) sees it.
#include <winsock2.h>

#include "ProgramUnderTest.h"
#include "TessalyFixture.h"

#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

namespace {

std::string WindowText(HWND window)
{
    char text[256] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

// A send to a peer on another machine that takes the connection and all
// the content and never answers. The program listens on every address of
// its own machine, so the peer stands in a network namespace of its own:
// silent-peer.sh sets it up, names its address in LARKSPAN_SILENT_PEER and
// the file it appends what it receives to in LARKSPAN_SILENT_PEER_LOG.
class TessalySilentPeer : public TessalyEndToEnd {
protected:
    static constexpr const char* kName = "Payload.bin";
    static constexpr const char* kWarning =
        "Object Dropped is not a Document or File.\r\n\r\n{ or Object may still be in use }\r\n\r\n"
        "{ or Host is not connected at this time }";

    void SetUp() override
    {
        TessalyEndToEnd::SetUp();
        const char* peer = std::getenv("LARKSPAN_SILENT_PEER");
        const char* log = std::getenv("LARKSPAN_SILENT_PEER_LOG");
        if (!peer || !log)
            GTEST_SKIP() << "No silent peer: tests/e2e/silent-peer.sh runs these tests with one and sets "
                            "LARKSPAN_SILENT_PEER and LARKSPAN_SILENT_PEER_LOG";
        peer_ = peer;
        log_ = WindowsPath(log);
        // 100 KB fit the socket buffers, so all of it goes whether the peer
        // reads or not.
        content_.resize(100 * 1024);
        unsigned seed = 12345;
        for (char& c : content_) {
            seed = seed * 1103515245 + 12345;
            c = static_cast<char>(seed >> 16);
        }
        WriteFile(program.File(kName), content_);
        WriteFile(program.File("SumvexFileList.dat"), program.File(kName) + "\r\n");
        // Listed before the file and selected at start: the pressed entry
        // must become the document that goes.
        WriteFile(program.File("QuilloFileList.dat"), "C:\\Archive\\Letter.rtf\r\n");
        WriteFile(program.File("IPAddress.dat"), "Silent <" + peer_ + ">\r\nLab <10.0.0.5>\r\n");
    }

    // Starts the program and sends the file as a user does: "<" opens the
    // portal, the peer's address is typed over the host field, and the
    // widget's entry is dragged onto "Drag and Drop". Returns once all of
    // the content has reached the peer and the program waits for its answer.
    void SendToThePeer()
    {
        widget = program.Start(1168, 255);
        ASSERT_NE(widget, nullptr);
        ClickWithMouse(ChildWithText(widget, "Larkspan.SpeedButton", "<"));
        const HWND portal = program.WaitForWindow(178, 417, widget);
        ASSERT_NE(portal, nullptr);
        status = ChildWithText(portal, "Larkspan.Label", "Ready...");
        ASSERT_NE(status, nullptr);

        ClickWithMouse(FindChildOfClass(portal, "Edit"));
        TypeKey(VK_HOME);
        TypeKey(VK_SHIFT, VK_END);
        TypeText(peer_);
        ASSERT_EQ(ChildTexts(portal, "Edit"), std::vector<std::string>{peer_});

        const HWND list = FindChildOfClass(widget, "ListBox");
        const std::vector<std::string> items = ListItems(list);
        const auto entry = std::find(items.begin(), items.end(), program.File(kName));
        ASSERT_NE(entry, items.end());
        ASSERT_NE(::SendMessageA(list, LB_GETCURSEL, 0, 0), entry - items.begin());
        RECT item{};
        ASSERT_NE(::SendMessageA(list, LB_GETITEMRECT, entry - items.begin(), reinterpret_cast<LPARAM>(&item)), LB_ERR);
        ::MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&item), 2);
        RECT zone{};
        ASSERT_TRUE(::GetWindowRect(ChildWithText(portal, "Larkspan.Label", "Drag and Drop"), &zone));

        const std::size_t before = PeerLog().size();
        DragWithMouse({item.left + 40, (item.top + item.bottom) / 2},
                      {(zone.left + zone.right) / 2, (zone.top + zone.bottom) / 2});
        ASSERT_TRUE(StatusBecomes("Completed...", 10000)) << "the status shows \"" << WindowText(status) << "\"";

        // The peer got one transfer of the file: its header, then its content.
        char header[64] = {};
        std::snprintf(header, sizeof header, "%.4d%s%10d", static_cast<int>(std::strlen(kName)), kName,
                      static_cast<int>(content_.size()));
        const std::string transfer = header + content_;
        for (int i = 0; i < 100 && PeerLog().size() < before + transfer.size(); ++i)
            ::Sleep(50);
        ASSERT_EQ(PeerLog().size(), before + transfer.size());
        EXPECT_TRUE(PeerLog().substr(before) == transfer) << "the peer received other bytes";
    }

    bool StatusBecomes(const std::string& text, int ms) const
    {
        for (int i = 0; i < ms / 50 && WindowText(status) != text; ++i)
            ::Sleep(50);
        return WindowText(status) == text;
    }
    std::string PeerLog() const
    {
        const std::string content = FileContent(log_);
        return content == "<missing>" ? std::string() : content;
    }
    // The address book is written at the end, in its order.
    void ExpectAddressBookWritten() const
    {
        EXPECT_EQ(FileContent(program.File("IPAddress.dat")), "Lab <10.0.0.5>\r\nSilent <" + peer_ + ">\r\n");
    }

    HWND status = nullptr;
    std::string peer_;
    std::string log_;
    std::string content_;
};

}  // namespace

TEST_F(TessalySilentPeer, TheCloseButtonEndsTheProgramWhileTheSendWaitsForTheAnswer)
{
    ASSERT_NO_FATAL_FAILURE(SendToThePeer());
    // The send is still waiting, well before its idle limit.
    ::Sleep(2000);
    EXPECT_EQ(WindowText(status), "Completed...");
    EXPECT_EQ(program.WaitForMessageBox(0), nullptr);
    CloseWithX();
    ExpectAddressBookWritten();
}

TEST_F(TessalySilentPeer, TheCloseButtonEndsTheProgramAfterTheSendGaveUpOnThePeer)
{
    ASSERT_NO_FATAL_FAILURE(SendToThePeer());
    const DWORD sent = ::GetTickCount();
    const HWND box = program.WaitForMessageBox(75000);
    ASSERT_NE(box, nullptr) << "no warning 75 s after the content went";
    EXPECT_GE(::GetTickCount() - sent, 55000u) << "the send gave up before a minute without an answer";
    const std::vector<std::string> texts = ChildTexts(box, "Static");
    EXPECT_NE(std::find(texts.begin(), texts.end(), kWarning), texts.end())
        << "the box says: " << ::testing::PrintToString(texts);
    // The connection was closed before the box came.
    EXPECT_EQ(WindowText(status), "Ready...");

    ClickWithMouse(ChildWithText(box, "Button", "OK"));
    EXPECT_TRUE(Hides(box));
    CloseWithX();
    ExpectAddressBookWritten();
}

namespace {

// A send between two real portals on two machines: the receiving Tessaly
// runs in a network namespace of its own, so that both listen on port 6501.
// two-portals.sh starts it, with a Wine of its own on the same display, and
// names its address in LARKSPAN_RECEIVER, the place of its widget in
// LARKSPAN_RECEIVER_PLACE ("left,top") and its drive C:, where it stores what
// it receives, in LARKSPAN_RECEIVER_DRIVE_C.
class TessalyTwoPortals : public TessalyEndToEnd {
protected:
    static constexpr int kFiles = 200;

    void SetUp() override
    {
        TessalyEndToEnd::SetUp();
        const char* receiver = std::getenv("LARKSPAN_RECEIVER");
        const char* place = std::getenv("LARKSPAN_RECEIVER_PLACE");
        const char* driveC = std::getenv("LARKSPAN_RECEIVER_DRIVE_C");
        if (!receiver || !place || !driveC)
            GTEST_SKIP() << "No receiving portal: tests/e2e/two-portals.sh runs these tests with one and sets "
                            "LARKSPAN_RECEIVER, LARKSPAN_RECEIVER_PLACE and LARKSPAN_RECEIVER_DRIVE_C";
        receiverDriveC_ = WindowsPath(driveC);
        receiver_ = receiver;
        ASSERT_EQ(std::sscanf(place, "%ld,%ld", &receiverPlace_.x, &receiverPlace_.y), 2) << place;
        // A few kilobytes each, every file of other bytes.
        outgoing_ = program.File("Outgoing");
        ASSERT_TRUE(::CreateDirectoryA(outgoing_.c_str(), nullptr));
        for (int i = 0; i < kFiles; ++i) {
            char name[96] = {};
            std::snprintf(name, sizeof name, "Piece %03d.dat", i);
            std::string content(2048 + 37 * i, '\0');
            unsigned seed = 7u + static_cast<unsigned>(i);
            for (char& c : content) {
                seed = seed * 1103515245 + 12345;
                c = static_cast<char>(seed >> 16);
            }
            WriteFile(outgoing_ + "\\" + name, content);
            files_.emplace_back(name, content);
        }
    }
    void TearDown() override
    {
        for (const auto& [name, content] : files_) {
            ::DeleteFileA((outgoing_ + "\\" + name).c_str());
        }
        if (!outgoing_.empty())
            ::RemoveDirectoryA(outgoing_.c_str());
        TessalyEndToEnd::TearDown();
    }

    // Whether the receiver takes a connection on port 6501.
    bool ReceiverListens() const
    {
        const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = ::htons(6501);
        to.sin_addr.s_addr = ::inet_addr(receiver_.c_str());
        const bool connected = ::connect(s, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0;
        ::closesocket(s);
        return connected;
    }

    // The program's visible dialog (class "#32770") with this caption, or
    // showing this text; waits up to `ms` for it.
    HWND WaitForDialog(const std::string& caption, const std::string& text, DWORD ms) const
    {
        for (const DWORD start = ::GetTickCount();; ::Sleep(100)) {
            const HWND box = program.WaitForMessageBox(0);
            if (box) {
                const std::vector<std::string> texts = ChildTexts(box, "Static");
                if ((!caption.empty() && WindowText(box) == caption) ||
                    (!text.empty() && std::find(texts.begin(), texts.end(), text) != texts.end()))
                    return box;
            }
            if (::GetTickCount() - start >= ms)
                return nullptr;
        }
    }

    static std::string Describe(HWND parent)
    {
        std::string out;
        for (HWND child = ::FindWindowExA(parent, nullptr, nullptr, nullptr); child;
             child = ::FindWindowExA(parent, child, nullptr, nullptr)) {
            char cls[64] = {};
            ::GetClassNameA(child, cls, sizeof cls);
            out += std::string("[") + cls + " \"" + WindowText(child) + "\"" +
                   (::IsWindowVisible(child) ? "" : " hidden") + Describe(child) + "]";
        }
        return out;
    }

    std::string receiver_;
    POINT receiverPlace_{};
    std::string receiverDriveC_;
    std::string outgoing_;
    std::vector<std::pair<std::string, std::string>> files_;
};

}  // namespace

TEST_F(TessalyTwoPortals, TwoHundredFilesChosenInTheOpenDialogArriveWholeAtTheOtherPortal)
{
    WSADATA winsock{};
    ASSERT_EQ(::WSAStartup(MAKEWORD(2, 2), &winsock), 0);
    ASSERT_TRUE(ReceiverListens());
    widget = program.Start(1168, 255);
    ASSERT_NE(widget, nullptr);
    ClickWithMouse(ChildWithText(widget, "Larkspan.SpeedButton", "<"));
    const HWND portal = program.WaitForWindow(178, 417, widget);
    ASSERT_NE(portal, nullptr);
    ClickWithMouse(FindChildOfClass(portal, "Edit"));
    TypeKey(VK_HOME);
    TypeKey(VK_SHIFT, VK_END);
    TypeText(receiver_);
    ASSERT_EQ(ChildTexts(portal, "Edit"), std::vector<std::string>{receiver_});

    DoubleClickWithMouse(ChildWithText(portal, "Larkspan.Label", "Drag and Drop"));
    const HWND dialog = WaitForDialog("Select Files to Transfer", "", 10000);
    ASSERT_NE(dialog, nullptr) << "no open dialog";

    // The folder typed into the file name, then every file of it selected
    // in the list.
    const HWND name = FindChildOfClass(dialog, "Edit");
    ASSERT_NE(name, nullptr) << Describe(dialog);
    ClickWithMouse(name);
    TypeText(outgoing_);
    TypeKey(VK_RETURN);
    const HWND files = FindChildOfClass(dialog, "SysListView32");
    ASSERT_NE(files, nullptr) << Describe(dialog);
    for (int i = 0; i < 100 && ::SendMessageA(files, LVM_GETITEMCOUNT, 0, 0) != kFiles; ++i)
        ::Sleep(50);
    ASSERT_EQ(::SendMessageA(files, LVM_GETITEMCOUNT, 0, 0), kFiles) << Describe(dialog);
    // Wine's list takes no Ctrl+A: the first file, then Shift+End.
    ClickWithMouse(files);
    TypeKey(VK_HOME);
    TypeKey(VK_SHIFT, VK_END);
    ASSERT_EQ(::SendMessageA(files, LVM_GETSELECTEDCOUNT, 0, 0), kFiles) << Describe(dialog);
    ClickWithMouse(ChildWithText(dialog, "Button", "&Open"));

    const DWORD sent = ::GetTickCount();
    const HWND box = WaitForDialog("", "File Transfer Successful and Complete.", 120000);
    ASSERT_NE(box, nullptr) << "no success box; a box says: " << ::testing::PrintToString(ChildTexts(program.WaitForMessageBox(0), "Static"));
    std::printf("200 files sent in %lu ms\n", ::GetTickCount() - sent);
    int whole = 0;
    for (const auto& [file, content] : files_) {
        const std::string received = FileContent(receiverDriveC_ + "\\" + file);
        EXPECT_TRUE(received == content) << file << " arrived with " << received.size() << " bytes of " << content.size();
        whole += received == content;
    }
    EXPECT_EQ(whole, kFiles);
    ClickWithMouse(ChildWithText(box, "Button", "OK"));
    EXPECT_TRUE(Hides(box));

    CloseWithX();
    ::WSACleanup();
}
