// The portal's sending side with real transfers on loopback: shell drops,
// drags from either list, the open dialog, the host prompt, and what the user
// sees on the way. The portal itself listens on 6501, so its sender is
// pointed at a receiver of the test's own on another port.
#include "RealInput.h"
#include "TessalyFixture.h"

#include "core/StreamHeader.h"
#include "tessaly/AddressList.h"
#include "tessaly/FilePortal.h"
#include "winui/LocaleText.h"

#include <winsock.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>

using namespace testing_support;

namespace {

constexpr u_short receiverPort = 6502;
constexpr u_short refusingPort = 6503;  // nothing listens there
constexpr u_short silentPort = 6504;    // a peer that takes the connection, then nothing more

constexpr char dropWarning[] =
    "Object Dropped is not a Document or File.\r\n\r\n{ or Object may still be in use }\r\n\r\n"
    "{ or Host is not connected at this time }";
constexpr char success[] = "File Transfer Successful and Complete.";

struct Transfer {
    std::string name;
    std::string content;
    bool operator==(const Transfer&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Transfer& transfer)
{
    return out << transfer.name << " (" << transfer.content.size() << " bytes)";
}

// A socket listening on a loopback port for a peer of the test's own (the
// socket library is started for it and ended with ~Listening).
class Listening {
public:
    explicit Listening(u_short port)
    {
        WSADATA data{};
        ::WSAStartup(0x0101, &data);
        socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_port = ::htons(port);
        at.sin_addr.s_addr = ::inet_addr("127.0.0.1");
        if (::bind(socket_, reinterpret_cast<const sockaddr*>(&at), sizeof at) != 0 || ::listen(socket_, 5) != 0)
            ADD_FAILURE() << "the test's peer cannot listen on " << port;
    }
    Listening(const Listening&) = delete;
    Listening& operator=(const Listening&) = delete;
    ~Listening()
    {
        ::closesocket(socket_);
        ::WSACleanup();
    }
    SOCKET Socket() const { return socket_; }

private:
    SOCKET socket_ = INVALID_SOCKET;
};

// A receiver written against the wire format alone: one transfer per
// connection, answered with the acknowledgement, kept in arrival order.
class Receiver {
public:
    Receiver() : thread_([this] { Run(); }) {}
    ~Receiver()
    {
        stop_ = true;
        thread_.join();
    }
    std::vector<Transfer> Received()
    {
        std::lock_guard<std::mutex> lock(lock_);
        return received_;
    }

private:
    void Run()
    {
        while (!stop_) {
            fd_set ready;
            FD_ZERO(&ready);
            FD_SET(listener_.Socket(), &ready);
            timeval wait{0, 20000};
            if (::select(0, &ready, nullptr, nullptr, &wait) != 1)
                continue;
            const SOCKET peer = ::accept(listener_.Socket(), nullptr, nullptr);
            if (peer == INVALID_SOCKET)
                continue;
            Transfer transfer;
            if (Take(peer, transfer)) {
                std::lock_guard<std::mutex> lock(lock_);
                received_.push_back(std::move(transfer));
            }
            ::closesocket(peer);
        }
    }

    static bool Take(SOCKET peer, Transfer& transfer)
    {
        larkspan::transfer::HeaderParser header;
        std::string pending;
        char buffer[65536];
        while (!header.Complete() || static_cast<std::int64_t>(transfer.content.size()) < header.ContentSize()) {
            const int got = ::recv(peer, buffer, sizeof buffer, 0);
            if (got <= 0)
                return false;
            std::string_view piece(buffer, static_cast<std::size_t>(got));
            if (!header.Complete())
                piece.remove_prefix(header.Feed(piece));
            transfer.content.append(piece);
        }
        transfer.name = header.Name();
        const std::string_view ack = larkspan::transfer::acknowledgement;
        ::send(peer, ack.data(), static_cast<int>(ack.size()), 0);
        return true;
    }

    Listening listener_{receiverPort};
    std::atomic<bool> stop_{false};
    std::mutex lock_;
    std::vector<Transfer> received_;
    std::thread thread_;  // last: it runs on what is above
};

// A peer that takes the connection and then neither reads nor answers,
// until told to read what has come; it keeps its connections until it goes.
class SilentPeer {
public:
    SilentPeer() = default;
    SilentPeer(const SilentPeer&) = delete;
    SilentPeer& operator=(const SilentPeer&) = delete;
    ~SilentPeer()
    {
        if (peer_ != INVALID_SOCKET)
            ::closesocket(peer_);
    }
    // Takes the waiting connection (blocking).
    void Accept() { peer_ = ::accept(listener_.Socket(), nullptr, nullptr); }
    // Reads `count` bytes, then closes the connection without a word.
    void ReadAndClose(std::int64_t count)
    {
        char buffer[65536];
        for (int got; count > 0 && (got = ::recv(peer_, buffer, sizeof buffer, 0)) > 0;)
            count -= got;
        ::closesocket(std::exchange(peer_, INVALID_SOCKET));
    }
    // Reads until the sender closes the connection; the bytes that came.
    std::int64_t ReadToEnd()
    {
        std::int64_t total = 0;
        char buffer[65536];
        for (int got; (got = ::recv(peer_, buffer, sizeof buffer, 0)) > 0;)
            total += got;
        return total;
    }

private:
    Listening listener_{silentPort};
    SOCKET peer_ = INVALID_SOCKET;
};

// A shell drop of these files, as the shell hands it to a window.
HDROP MakeDrop(const std::vector<std::string>& files)
{
    std::string names;
    for (const std::string& file : files)
        names += file + '\0';
    names += '\0';
    const HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + names.size());
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    std::memcpy(drop + 1, names.data(), names.size());
    ::GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

// The same with the paths as the file system names them (the shell's wide form).
HDROP MakeWideDrop(const std::vector<std::wstring>& files)
{
    std::wstring names;
    for (const std::wstring& file : files)
        names += file + L'\0';
    names += L'\0';
    const std::size_t bytes = names.size() * sizeof(wchar_t);
    const HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + bytes);
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(drop + 1, names.data(), bytes);
    ::GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

class PortalSendTest : public TessalyTest {
protected:
    void SetUp() override
    {
        TessalyTest::SetUp();
        StartForms();
        portal = frmFilePortal;
        portal->Sender.Port = receiverPort;
        ::CreateDirectoryA(folder, nullptr);
        RecordStatus();
    }
    void TearDown() override
    {
        for (const std::string& file : made)
            ::DeleteFileA(file.c_str());
        for (const std::wstring& file : madeWide)
            ::DeleteFileW(file.c_str());
        ::RemoveDirectoryA((std::string(folder) + "\\sub").c_str());
        ::RemoveDirectoryA(folder);
        TessalyTest::TearDown();
    }

    std::string MakeFile(const std::string& name, const std::string& content)
    {
        const std::string path = std::string(folder) + "\\" + name;
        WriteFile(path, content);
        made.push_back(path);
        return path;
    }

    // A file whose name the ANSI code page may not hold; its full path.
    std::wstring MakeWideFile(const std::wstring& name, const std::string& content)
    {
        const std::wstring path = L"C:\\portal-send\\" + name;
        winui::FileHandle file(
            ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        EXPECT_TRUE(::WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr));
        madeWide.push_back(path);
        return path;
    }

    // The portal sends to itself: what it announced arrives in its own
    // received list, in C:\.
    void SendToThePortalItself(std::vector<std::string> receivedNames)
    {
        portal->Sender.Port = 6501;
        for (const std::string& name : receivedNames)
            made.push_back("C:\\" + name);
    }
    // Lets the window run until the received list holds `count` entries or
    // five seconds have passed.
    bool ReceivedListReaches(int count)
    {
        for (int i = 0; i < 1000 && portal->ListBox1.Count() < count; ++i) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            winui::ProcessMessages();
        }
        return portal->ListBox1.Count() >= count;
    }

    // A shell drop, then the command it starts, to its end.
    void Drop(const std::vector<std::string>& files)
    {
        DropOnly(files);
        WaitForSend();
    }
    void DropOnly(const std::vector<std::string>& files)
    {
        const HDROP drop = MakeDrop(files);
        ::SendMessageA(portal->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
        // The drop was finished: its memory is gone.
        EXPECT_EQ(::GlobalFlags(drop), static_cast<UINT>(GMEM_INVALID_HANDLE));
    }
    // Lets the window's messages run until the running command has ended
    // (its box shown), for at most `seconds`.
    void WaitForSend(int seconds = 20)
    {
        const DWORD start = ::GetTickCount();
        while (portal->Sender.Running() && ::GetTickCount() - start < static_cast<DWORD>(seconds) * 1000) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            winui::ProcessMessages();
        }
        EXPECT_FALSE(portal->Sender.Running()) << "the send did not end within " << seconds << " s";
    }

    std::vector<ShownMessage> Shown() const { return prompts.shown; }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const ShownMessage& shown : prompts.shown)
            texts.push_back(shown.text);
        return texts;
    }

    // The status label's text after each of the sender's events.
    void RecordStatus()
    {
        tessaly::PortalSender& sender = portal->Sender;
        for (std::function<void()>* event :
             {&sender.OnConnect, &sender.OnMessageSent, &sender.OnDisconnect, &sender.OnConnectionFailed})
            *event = [this, original = *event] {
                original();
                status.push_back(portal->lblCom.Caption());
            };
        sender.OnPacketSent = [this, original = sender.OnPacketSent](std::int32_t sent) {
            original(sent);
            status.push_back(portal->lblCom.Caption());
        };
    }

    // A press on `from` (client point), a move past the drag threshold and
    // the release over `to`, all as mouse messages to the source, which
    // holds the capture from the press on.
    static void DragAndDrop(const winui::Window& from, POINT fromPoint, const winui::Window& to, POINT toPoint)
    {
        const HWND source = from.Handle();
        ::ClientToScreen(to.Handle(), &toPoint);
        ::ScreenToClient(source, &toPoint);
        const LPARAM target = MAKELPARAM(toPoint.x, toPoint.y);
        ::SendMessageA(source, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(fromPoint.x, fromPoint.y));
        ::SendMessageA(source, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(fromPoint.x + 10, fromPoint.y));
        ::SendMessageA(source, WM_MOUSEMOVE, MK_LBUTTON, target);
        ::SendMessageA(source, WM_LBUTTONUP, 0, target);
    }

    TfrmFilePortal* portal = nullptr;
    Receiver receiver;
    const char* folder = "C:\\portal-send";
    std::vector<std::string> made;
    std::vector<std::wstring> madeWide;
    std::vector<std::string> status;
};

struct SeenWhileModal {
    bool bookShown = false;
    bool portalEnabled = true;
} seenWhileModal;

void CALLBACK LookAtTheAddressBookAndCloseIt(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    seenWhileModal = {frmAddressList->Visible(), ::IsWindowEnabled(frmFilePortal->Handle()) != FALSE};
    frmAddressList->Close();
}

}  // namespace

TEST_F(PortalSendTest, DroppedFilesGoOneTransferEachInDropOrderUnderTheirBareNames)
{
    const std::string big(1572864, 'x');
    Drop({MakeFile("first.txt", "one"), MakeFile("second.doc", ""), MakeFile("third.bin", big)});
    EXPECT_EQ(receiver.Received(), (std::vector<Transfer>{{"first.txt", "one"}, {"second.doc", ""}, {"third.bin", big}}));
    ASSERT_EQ(Texts(), std::vector<std::string>{success});
    EXPECT_EQ(Shown()[0].kind, winui::MessageKind::Information);

    // Each file: connected, the kilobytes after every send call, the
    // content out, disconnected (the peer's close and the sender's own may
    // both say so).
    status.erase(std::unique(status.begin(), status.end()), status.end());
    ASSERT_GE(status.size(), 6u);
    EXPECT_EQ(status.front(), "Sending...");
    EXPECT_EQ(std::vector<std::string>(status.end() - 3, status.end()),
              (std::vector<std::string>{"Sending... 1536 KB", "Completed...", "Ready..."}));
    EXPECT_EQ(std::count(status.begin(), status.end(), "Sending..."), 3);
    EXPECT_EQ(portal->lblCom.Caption(), "Ready...");
}

TEST_F(PortalSendTest, AFailingFileEndsTheCommandThereAndSaysSo)
{
    // A folder among the files: those before it are sent, none after.
    ::CreateDirectoryA("C:\\portal-send\\sub", nullptr);
    Drop({MakeFile("before.txt", "b"), "C:\\portal-send\\sub", MakeFile("after.txt", "a")});
    EXPECT_EQ(receiver.Received(), (std::vector<Transfer>{{"before.txt", "b"}}));
    ASSERT_EQ(Texts(), std::vector<std::string>{dropWarning});
    EXPECT_EQ(Shown()[0].kind, winui::MessageKind::Warning);

    // A file another program holds open cannot be sent.
    prompts.shown.clear();
    const std::string held = MakeFile("held.txt", "h");
    {
        winui::FileHandle open(::CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
        Drop({held});
    }
    EXPECT_EQ(Texts(), std::vector<std::string>{dropWarning});
    EXPECT_EQ(receiver.Received().size(), 1u);

    // A refused connection: "Not Connected", then the warning.
    prompts.shown.clear();
    status.clear();
    portal->Sender.Port = refusingPort;
    Drop({MakeFile("refused.txt", "r")});
    EXPECT_NE(std::find(status.begin(), status.end(), "Not Connected"), status.end());
    EXPECT_EQ(Texts(), std::vector<std::string>{dropWarning});
}

TEST_F(PortalSendTest, ACommandStartedDuringASendIsRefusedAndLeavesTheTransferAlone)
{
    const std::string second = MakeFile("second.txt", "second");
    tessaly::PortalSender& sender = portal->Sender;
    // A drop and the open dialog's command, while the first transfer is
    // under way: each is refused at once with its own warning.
    sender.OnConnect = [this, second, original = sender.OnConnect, nested = false]() mutable {
        original();
        if (!std::exchange(nested, true)) {
            DropOnly({second});
            portal->SendFromOpenDialog1Click();
        }
    };
    Drop({MakeFile("first.txt", "first")});
    EXPECT_EQ(receiver.Received(), (std::vector<Transfer>{{"first.txt", "first"}}));
    EXPECT_TRUE(prompts.openDialogs.empty());
    EXPECT_EQ(Texts(), (std::vector<std::string>{
                           dropWarning,
                           "File or Document may still be in use.\r\n\r\n{ or Host is not connected at this time }",
                           success}));
}

TEST_F(PortalSendTest, AFileTooLargeForTheFormatIsRefusedBeforeConnecting)
{
    const std::string huge = MakeFile("huge.iso", "");
    {
        // Sparse: the size without the disk space.
        winui::FileHandle file(::CreateFileA(huge.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
        LARGE_INTEGER size;
        size.QuadPart = 2147483648LL;
        ASSERT_TRUE(::SetFilePointerEx(file.Get(), size, nullptr, FILE_BEGIN));
        ASSERT_TRUE(::SetEndOfFile(file.Get()));
    }
    Drop({MakeFile("small.txt", "s"), huge, MakeFile("later.txt", "l")});
    EXPECT_EQ(receiver.Received(), (std::vector<Transfer>{{"small.txt", "s"}}));
    EXPECT_EQ(Texts(), std::vector<std::string>{"The file \"huge.iso\" is 2 GB or larger: files of that size cannot be "
                                                "sent through the portal."});
    EXPECT_EQ(std::count(status.begin(), status.end(), "Sending..."), 1);  // no second connection
}

TEST_F(PortalSendTest, AHostThatCannotBeFoundIsAskedForOnceAndTheFieldKeepsItsText)
{
    portal->Edit1.SetText("no-such-host.invalid");
    prompts.inputs = {std::string("127.0.0.1")};
    Drop({MakeFile("asked.txt", "a")});
    EXPECT_EQ(prompts.inputPrompts, std::vector<std::string>{"Invalid Host!|Specify a new host:"});
    EXPECT_EQ(receiver.Received(), (std::vector<Transfer>{{"asked.txt", "a"}}));
    EXPECT_EQ(Texts(), std::vector<std::string>{success});
    EXPECT_EQ(portal->Edit1.Text(), "no-such-host.invalid");

    prompts.shown.clear();
    Drop({MakeFile("cancelled.txt", "c")});  // the prompt is cancelled
    EXPECT_EQ(prompts.inputPrompts.size(), 2u);
    EXPECT_EQ(Texts(), std::vector<std::string>{dropWarning});
    EXPECT_EQ(receiver.Received().size(), 1u);
}

TEST_F(PortalSendTest, TheOpenDialogSendsItsFilesFromTheMenuAndTheLabels)
{
    prompts.openFiles = {winui::Widen(MakeFile("picked-1.txt", "p1")), winui::Widen(MakeFile("picked-2.txt", "p2"))};
    portal->SendFromOpenDialog1Click();
    WaitForSend();
    EXPECT_EQ(prompts.openDialogs, std::vector<std::string>{"Select Files to Transfer|All Files (*.*)|*.*"});
    EXPECT_EQ(receiver.Received(), (std::vector<Transfer>{{"picked-1.txt", "p1"}, {"picked-2.txt", "p2"}}));
    EXPECT_EQ(Texts(), std::vector<std::string>{success});

    // A double-click on "Zone" opens the dialog too; a cancelled dialog
    // sends nothing and does not start the animation.
    prompts.openFiles.clear();
    prompts.shown.clear();
    portal->RxTimerList1.SetActive(false);
    ::SendMessageA(portal->Label3.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(prompts.openDialogs.size(), 2u);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_FALSE(portal->RxTimerList1.Active());

    // A failure there has the dialog's own warning.
    prompts.openFiles = {L"C:\\portal-send\\missing.txt"};
    ::SendMessageA(portal->Label1.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    WaitForSend();
    EXPECT_EQ(Texts(), std::vector<std::string>{
                           "File or Document may still be in use.\r\n\r\n{ or Host is not connected at this time }"});
}

TEST_F(PortalSendTest, DraggingOntoTheDropZoneSendsFromTheWidgetAndFromTheReceivedList)
{
    ShowWidget();
    Form1->SpeedButton1Click();  // the portal docks left of the widget
    winui::ProcessMessages();
    const std::string document = MakeFile("widget-doc.txt", "from the widget");
    Form1->ListBox1.Assign({document});  // as a sibling program's list names it

    // Across the two windows, from the widget's list onto "Drag and Drop":
    // the press selects the document.
    DragAndDrop(Form1->ListBox1, {20, 10}, portal->Label1, {40, 10});
    WaitForSend();
    EXPECT_EQ(Form1->SelectedDocumentPath, document);
    EXPECT_EQ(receiver.Received(), (std::vector<Transfer>{{"widget-doc.txt", "from the widget"}}));
    EXPECT_EQ(Texts(), std::vector<std::string>{success});
    EXPECT_EQ(::GetCapture(), nullptr);

    // Onto the host field, which takes no drop: nothing happens.
    DragAndDrop(Form1->ListBox1, {20, 10}, portal->Edit1, {5, 5});
    EXPECT_EQ(receiver.Received().size(), 1u);
    EXPECT_EQ(prompts.shown.size(), 1u);

    // From the received list onto the zone: the current entry goes onward
    // and every selected entry leaves the list; the files stay.
    winui::ListBox& list = portal->ListBox1;
    list.Assign({MakeFile("kept.txt", "k"), MakeFile("onward.txt", "onward"), MakeFile("also.txt", "a")});
    list.SetSelected(1, true);
    list.SetSelected(2, true);
    // A press on a selected entry keeps the selection for the drag.
    DragAndDrop(list, {20, 21 + 10}, portal->RbPanel2, {150, 50});
    WaitForSend();
    EXPECT_EQ(receiver.Received().back(), (Transfer{"onward.txt", "onward"}));
    EXPECT_EQ(list.Items(), std::vector<std::string>{"C:\\portal-send\\kept.txt"});
    EXPECT_EQ(FileContent("C:\\portal-send\\onward.txt"), "onward");
}

TEST_F(PortalSendTest, TheDropZoneLabelsShrinkForThreeSecondsFromTheStartOfASend)
{
    TRxTimerList& animation = portal->RxTimerList1;
    std::uint32_t now = 1000;
    animation.Clock = [&now] { return now; };
    auto tick = [&](std::uint32_t ms) {
        now += ms;
        ::SendMessageA(animation.TimerWindow(), WM_TIMER, 1, 0);
    };
    portal->Edit1.SetText("127.0.0.1");
    portal->Sender.Port = refusingPort;
    Drop({});  // a command with no file still starts the animation
    ASSERT_TRUE(animation.Active());
    EXPECT_EQ(portal->Label1.FontSize(), 16);
    tick(220);
    EXPECT_EQ(portal->Label1.FontSize(), 15);
    EXPECT_EQ(portal->Label3.FontSize(), 15);
    for (int i = 0; i < 12; ++i)
        tick(220);
    EXPECT_EQ(portal->Label1.FontSize(), 3);
    animation.SetActive(true);  // already running: the three seconds go on
    tick(3000 - 13 * 220);
    EXPECT_FALSE(animation.Active());
    EXPECT_EQ(portal->Label1.FontSize(), 16);
    EXPECT_EQ(portal->Label3.FontSize(), 16);
}

TEST_F(PortalSendTest, MenuKeysAndTheAddressButton)
{
    winui::ListBox& list = portal->ListBox1;
    list.Assign({"C:\\one.txt", "C:\\two.txt"});
    // The menu's clear asks nothing.
    ::SendMessageA(portal->Handle(), WM_COMMAND, portal->ClearFilesReceivedList1.Command(), 0);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(portal->RbPanel2.GetPopupMenu(), &portal->PopupMenu1);

    // Delete on the drop zone and on the button bar asks, then clears.
    for (winui::Window* control : std::initializer_list<winui::Window*>{&portal->RbPanel2, &portal->RbPanel3}) {
        list.Assign({"C:\\one.txt"});
        prompts.answers = {winui::MessageResult::No};
        PressKey(control->Handle(), VK_DELETE);
        EXPECT_EQ(list.Count(), 1);
        PressKey(control->Handle(), VK_DELETE);
        EXPECT_EQ(list.Count(), 0);
    }
    EXPECT_EQ(prompts.shown.size(), 4u);

    // "?" shows the help in a plain box.
    portal->SpeedButton5.Click();
    ASSERT_EQ(prompts.shown.size(), 5u);
    EXPECT_EQ(prompts.shown.back().kind, winui::MessageKind::Plain);
    EXPECT_EQ(prompts.shown.back().text.rfind("This is a short help tutorial.\r\n\r\nThere are three ways", 0), 0u);

    // "..." shows the address book as a dialog: the portal waits for it.
    portal->Show();
    seenWhileModal = {};
    ::SetTimer(nullptr, 0, 50, LookAtTheAddressBookAndCloseIt);
    ::SendMessageA(portal->SpeedButton4.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    ::SendMessageA(portal->SpeedButton4.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_TRUE(seenWhileModal.bookShown);
    EXPECT_FALSE(seenWhileModal.portalEnabled);
    EXPECT_FALSE(frmAddressList->Visible());
    EXPECT_TRUE(::IsWindowEnabled(portal->Handle()));
}

TEST_F(PortalSendTest, APeerThatStopsTakingPartOrAnswerEndsTheSendWithinTheLimit)
{
    SilentPeer peer;
    portal->Sender.Port = silentPort;
    portal->Sender.IdleLimitMs = 1500;
    // The whole content goes, but no answer comes: "Completed..." stays
    // until the limit ends the send.
    DropOnly({MakeFile("unanswered.txt", "never acknowledged")});
    peer.Accept();
    const DWORD start = ::GetTickCount();
    WaitForSend(10);
    EXPECT_GE(::GetTickCount() - start, 1400u);
    EXPECT_NE(std::find(status.begin(), status.end(), "Completed..."), status.end());
    EXPECT_EQ(Texts(), std::vector<std::string>{dropWarning});
}

TEST_F(PortalSendTest, AReceiverThatTakesTheContentButClosesWithoutAnsweringHasNotKeptIt)
{
    // As a receiver does that could not store what it took.
    SilentPeer peer;
    portal->Sender.Port = silentPort;
    DropOnly({MakeFile("unkept.txt", "content")});
    peer.Accept();
    peer.ReadAndClose(4 + 10 + 10 + 7);  // the header and the content
    WaitForSend();
    EXPECT_NE(std::find(status.begin(), status.end(), "Completed..."), status.end());
    EXPECT_EQ(Texts(), std::vector<std::string>{dropWarning});
}

TEST_F(PortalSendTest, APeerThatStopsReadingEndsTheSendWithinTheLimitAndTheNextSendWorks)
{
    {
        SilentPeer peer;
        portal->Sender.Port = silentPort;
        portal->Sender.IdleLimitMs = 1500;
        // More than the connection's buffers hold: the sender stops in mid-content.
        DropOnly({MakeFile("stuck.bin", std::string(64 * 1024 * 1024, 's'))});
        peer.Accept();
        WaitForSend(20);
        EXPECT_EQ(std::find(status.begin(), status.end(), "Completed..."), status.end());
        EXPECT_EQ(Texts(), std::vector<std::string>{dropWarning});
        // The sender closed the connection with part of the content.
        EXPECT_LT(peer.ReadToEnd(), 64 * 1024 * 1024);
    }
    prompts.shown.clear();
    portal->Sender.Port = receiverPort;
    Drop({MakeFile("next.txt", "next")});
    EXPECT_EQ(receiver.Received(), (std::vector<Transfer>{{"next.txt", "next"}}));
    EXPECT_EQ(Texts(), std::vector<std::string>{success});
}

TEST_F(PortalSendTest, ASendGoesOnWhileABoxIsOpen)
{
    // The help box stays open, and the window's thread takes no message,
    // until the receiver has the whole file.
    const std::string content(8 * 1024 * 1024, 'b');
    bool arrivedWhileOpen = false;
    prompts.whileShown = [&] {
        for (int i = 0; i < 400 && receiver.Received().empty(); ++i)
            ::Sleep(50);
        arrivedWhileOpen = !receiver.Received().empty();
    };
    DropOnly({MakeFile("during-box.bin", content)});
    portal->SpeedButton5.Click();  // "?"
    EXPECT_TRUE(arrivedWhileOpen);
    WaitForSend();
    EXPECT_EQ(receiver.Received(), (std::vector<Transfer>{{"during-box.bin", content}}));
    EXPECT_EQ(Texts().back(), success);
}

TEST_F(PortalSendTest, EndingTheProgramDuringASendEndsItAtOnceWithoutTheRest)
{
    SilentPeer peer;
    portal->Sender.Port = silentPort;
    DropOnly({MakeFile("cut.bin", std::string(64 * 1024 * 1024, 'c'))});
    peer.Accept();
    ::Sleep(300);  // the sender is held by the peer now
    const DWORD start = ::GetTickCount();
    Restart();  // the forms go, as at the program's end
    EXPECT_LT(::GetTickCount() - start, 2000u);
    EXPECT_LT(peer.ReadToEnd(), 64 * 1024 * 1024);
    EXPECT_TRUE(prompts.shown.empty());  // no box for a send the user ended
}

TEST_F(PortalSendTest, FilesTheCodePageCannotNameGoFromTheOpenDialogUnderTheirAnnouncedNames)
{
    // The names peers see are in the ANSI code page; this prefix's is Western.
    ASSERT_EQ(::GetACP(), 1252u);
    SendToThePortalItself({"_____.txt", "_eport.txt"});
    const std::string report = "Quarterly figures\r\n";
    const std::string lookalike = "the file with the full-width r";
    // A file of the name that best fit would make of the full-width one.
    MakeFile("report.txt", "the wrong file");
    prompts.openFiles = {MakeWideFile(L"\u041E\u0442\u0447\u0451\u0442.txt", report),  // Отчёт.txt
                         MakeWideFile(L"\uFF52eport.txt", lookalike)};                    // ｒeport.txt

    // A double-click on "Drag and Drop" opens the dialog.
    ShowWidget();
    Form1->SpeedButton1Click();
    winui::ProcessMessages();
    DoubleClickWithMouse(portal->Label1.Handle());
    for (int i = 0; i < 200 && prompts.openDialogs.empty(); ++i) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        winui::ProcessMessages();
    }
    ASSERT_EQ(prompts.openDialogs.size(), 1u) << "the double-click did not open the dialog";
    WaitForSend();
    EXPECT_EQ(Texts(), std::vector<std::string>{success});
    ASSERT_TRUE(ReceivedListReaches(2));
    EXPECT_EQ(portal->ListBox1.Items(), (std::vector<std::string>{"C:\\_____.txt", "C:\\_eport.txt"}));
    EXPECT_EQ(FileContent("C:\\_____.txt"), report);
    EXPECT_EQ(FileContent("C:\\_eport.txt"), lookalike);
}

TEST_F(PortalSendTest, ShellDropsWithNamesTheCodePageCannotHoldAreSentWhole)
{
    ASSERT_EQ(::GetACP(), 1252u);
    SendToThePortalItself({"______.txt", "_ \xE9t\xE9.png"});
    const std::string greek(300 * 1024, 'g');  // several pieces
    const std::wstring files[] = {MakeWideFile(L"\u0395\u03BB\u03BB\u03AC\u03B4\u03B1.txt", greek),  // Ελλάδα.txt
                                  MakeWideFile(L"\U0001F600 \u00E9t\u00E9.png", "smile")};
    const HDROP drop = MakeWideDrop({files[0], files[1]});
    ::SendMessageW(portal->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    EXPECT_EQ(::GlobalFlags(drop), static_cast<UINT>(GMEM_INVALID_HANDLE));
    WaitForSend();
    EXPECT_EQ(Texts(), std::vector<std::string>{success});
    ASSERT_TRUE(ReceivedListReaches(2));
    EXPECT_EQ(portal->ListBox1.Items(), (std::vector<std::string>{"C:\\______.txt", "C:\\_ \xE9t\xE9.png"}));
    EXPECT_EQ(FileContent("C:\\______.txt"), greek);
    EXPECT_EQ(FileContent("C:\\_ \xE9t\xE9.png"), "smile");

    // A received entry whose name the code page holds goes onward by it.
    ShowWidget();
    Form1->SpeedButton1Click();
    winui::ProcessMessages();
    prompts.shown.clear();
    DragAndDrop(portal->ListBox1, {20, 21 + 10}, portal->RbPanel2, {150, 50});
    WaitForSend();
    EXPECT_EQ(Texts(), std::vector<std::string>{success});
    ASSERT_TRUE(ReceivedListReaches(2));
    EXPECT_EQ(portal->ListBox1.Item(1), "C:\\_ \xE9t\xE9 (2).png");
    made.push_back("C:\\_ \xE9t\xE9 (2).png");
    EXPECT_EQ(FileContent("C:\\_ \xE9t\xE9 (2).png"), "smile");
}

namespace {

// Run under a Japanese code page (the CTest entry PortalSendShiftJisTest
// sets the locale): names travel in Shift JIS.
class PortalSendShiftJisTest : public PortalSendTest {};

}  // namespace

TEST_F(PortalSendShiftJisTest, NamesWhoseSecondBytesAreSeparatorsGoAndArriveWhole)
{
    ASSERT_EQ(::GetACP(), 932u) << "run with LC_ALL=ja_JP.UTF-8";
    // 表 is 95 5C, ソ 83 5C and ポ 83 7C: second bytes of the values of "\"
    // and "|". The half-width ｹ is the byte that is "¹" in Western code pages.
    const std::string hyou = "\x95\x5C.doc", posoEnd = "\x83\x7C\x83\x5C", accented = "_t_.txt",
                      katakana = "COM\xB9.txt";
    SendToThePortalItself({hyou, posoEnd, accented, katakana});
    const HDROP drop = MakeWideDrop({MakeWideFile(L"\u8868.doc", "hyou"), MakeWideFile(L"\u30DD\u30BD", "poso"),
                                     MakeWideFile(L"\u00E9t\u00E9.txt", "ete"), MakeWideFile(L"COM\uFF79.txt", "com")});
    ::SendMessageW(portal->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    WaitForSend();
    EXPECT_EQ(Texts(), std::vector<std::string>{success});
    ASSERT_TRUE(ReceivedListReaches(4));
    EXPECT_EQ(portal->ListBox1.Items(),
              (std::vector<std::string>{"C:\\" + hyou, "C:\\" + posoEnd, "C:\\" + accented, "C:\\" + katakana}));
    EXPECT_EQ(FileContent("C:\\" + hyou), "hyou");
    EXPECT_EQ(FileContent("C:\\" + posoEnd), "poso");
    EXPECT_EQ(FileContent("C:\\" + accented), "ete");
    EXPECT_EQ(FileContent("C:\\" + katakana), "com");
}
