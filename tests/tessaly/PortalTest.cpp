// The portal's receiving side with real transfers on loopback port 6501: the
// files it writes, the list it keeps, the status it shows.
#include "RealInput.h"
#include "TessalyFixture.h"

#include "core/StreamHeader.h"
#include "tessaly/FilePortal.h"
#include "tessaly/ShownName.h"
#include "winui/LocaleText.h"
#include "winui/SettingsFile.h"

#include <winsock.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <set>
#include <thread>

using namespace testing_support;

namespace {

// One transfer as a peer sends it, on a thread of its own; the 16-byte
// answer, or "" when the receiver closed without one.
class Peer {
public:
    Peer(const std::string& name, const std::string& content)
        : Peer(Raw{*larkspan::transfer::EncodeHeader(name, content.size()) + content})
    {
    }
    // Bytes as they go on the wire, a transfer or not.
    struct Raw {
        std::string bytes;
    };
    explicit Peer(Raw raw)
        : thread_([this, bytes = std::move(raw.bytes)] {
              reply_ = Send(bytes);
              done_ = true;
          })
    {
    }
    ~Peer()
    {
        if (thread_.joinable())
            thread_.join();
    }
    // The receiver accepts on the window's thread: wait with the window running.
    bool Done() const { return done_; }
    // "" also for a peer that gave up waiting: that fails the test here.
    std::string Reply()
    {
        thread_.join();
        EXPECT_FALSE(gaveUp_) << "the receiver neither answered nor closed: " << Account();
        return reply_;
    }
    // How far the peer got, for a failure's message; read once Done().
    std::string Account() const
    {
        return "sent " + std::to_string(sent_) + " bytes, last socket error " + std::to_string(error_) +
               (gaveUp_ ? ", gave up after 30 s" : "");
    }

private:
    // Non-blocking, with a deadline: a receiver that neither reads nor
    // closes fails the test instead of holding its thread (and the test's
    // end, which joins it) for ever.
    std::string Send(const std::string& bytes)
    {
        WSADATA data{};
        ::WSAStartup(0x0101, &data);
        const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = ::htons(6501);
        to.sin_addr.s_addr = ::inet_addr("127.0.0.1");
        std::string reply;
        if (::connect(s, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0) {
            u_long nonBlocking = 1;
            ::ioctlsocket(s, FIONBIO, &nonBlocking);
            const DWORD deadline = ::GetTickCount() + 30000;
            while (sent_ < bytes.size()) {
                const int piece = static_cast<int>(std::min<std::size_t>(bytes.size() - sent_, 65536));
                const int n = ::send(s, bytes.data() + sent_, piece, 0);
                if (n > 0)
                    sent_ += static_cast<std::size_t>(n);
                else if (!TryAgain(n, s, Direction::Send, deadline))
                    break;
            }
            char answer[16];
            std::size_t got = 0;
            while (got < sizeof answer) {
                const int n = ::recv(s, answer + got, static_cast<int>(sizeof answer - got), 0);
                if (n > 0)
                    got += static_cast<std::size_t>(n);
                else if (!TryAgain(n, s, Direction::Receive, deadline))
                    break;
            }
            reply.assign(answer, got);
        } else {
            error_ = ::WSAGetLastError();
        }
        ::closesocket(s);
        ::WSACleanup();
        return reply;
    }

    enum class Direction { Send, Receive };
    // After a send or receive that moved nothing: waits a little for the
    // socket and says to try again, or false once the connection has ended
    // or the deadline has passed.
    bool TryAgain(int result, SOCKET s, Direction direction, DWORD deadline)
    {
        error_ = result == 0 ? 0 : ::WSAGetLastError();
        if (result == 0 || error_ != WSAEWOULDBLOCK)
            return false;
        if (static_cast<LONG>(::GetTickCount() - deadline) >= 0) {
            gaveUp_ = true;
            return false;
        }
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(s, &ready);
        timeval pause{0, 100000};
        const bool sending = direction == Direction::Send;
        ::select(0, sending ? nullptr : &ready, sending ? &ready : nullptr, nullptr, &pause);
        return true;
    }

    std::size_t sent_ = 0;
    int error_ = 0;
    bool gaveUp_ = false;
    std::string reply_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

class PortalTest : public TessalyTest {
protected:
    void SetUp() override
    {
        TessalyTest::SetUp();
        StartForms();
    }
    void TearDown() override
    {
        for (const char* name : {"C:\\report.txt", "C:\\report (2).txt"})
            ::DeleteFileA(name);
        TessalyTest::TearDown();
    }

    // Lets the window run until `done` holds or `limitMs` have passed.
    template <typename Done>
    bool RunUntil(Done done, DWORD limitMs = 5000)
    {
        const DWORD start = ::GetTickCount();
        while (!done() && ::GetTickCount() - start < limitMs) {
            winui::ProcessMessages();
            ::Sleep(5);
        }
        return done();
    }
};

}  // namespace

TEST_F(PortalTest, ReceivedFilesAreWrittenAndListedWhileThePortalIsHidden)
{
    ShowWidget();
    ASSERT_FALSE(frmFilePortal->Visible());
    frmFilePortal->Edit1.SetText("10.9.8.7");
    // The status after the contact and after the disconnect.
    std::vector<std::string> status;
    for (std::function<void()>* event : {&frmFilePortal->NMRec1.OnClientContact, &frmFilePortal->NMRec1.OnDisconnect})
        *event = [&status, original = *event] {
            original();
            status.push_back(frmFilePortal->lblCom.Caption());
        };
    Peer first("report.txt", "first content");
    ASSERT_TRUE(RunUntil([] { return frmFilePortal->ListBox1.Count() == 1; }));
    EXPECT_EQ(first.Reply(), "OK              ");
    EXPECT_EQ(frmFilePortal->ListBox1.Item(0), "C:\\report.txt");
    EXPECT_EQ(FileContent("C:\\report.txt"), "first content");
    EXPECT_EQ(frmFilePortal->Edit1.Text(), "127.0.0.1");  // the next send answers the peer
    ASSERT_TRUE(RunUntil([&] { return status.size() == 2; }));
    EXPECT_EQ(status, (std::vector<std::string>{"Incoming...", "Ready..."}));
    EXPECT_EQ(::GetFocus(), Form1->ListBox1.Handle());  // the hidden portal took no focus

    // The same name again: stored beside the first, which keeps its content.
    Peer second("C:\\Elsewhere\\report.txt", "second content");
    ASSERT_TRUE(RunUntil([] { return frmFilePortal->ListBox1.Count() == 2; }));
    EXPECT_EQ(frmFilePortal->ListBox1.Item(1), "C:\\report (2).txt");
    EXPECT_EQ(FileContent("C:\\report (2).txt"), "second content");
    EXPECT_EQ(FileContent("C:\\report.txt"), "first content");
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(PortalTest, ARefusedNameIsReportedAndNothingIsWritten)
{
    Peer peer("lpt1.txt", "content");
    ASSERT_TRUE(RunUntil([this] { return !prompts.shown.empty(); }));
    EXPECT_EQ(peer.Reply(), "");  // turned away unacknowledged
    EXPECT_EQ(prompts.shown[0].kind, winui::MessageKind::Warning);
    EXPECT_EQ(prompts.shown[0].text, "A received file was refused: its name \"lpt1.txt\" cannot be used here.");
    EXPECT_EQ(frmFilePortal->ListBox1.Count(), 0);

    // While a box is open, further refusals show no box of their own: they
    // are counted and said in one box when it closes, and so are those
    // refused while that one is open. Failures are not counted.
    const auto refuse = [this](const std::vector<std::string>& names) {
        for (const std::string& name : names) {
            Peer more(name, "content");
            ASSERT_TRUE(RunUntil([&] { return more.Done(); }));
        }
        // What they hand over is taken meanwhile.
        const DWORD until = ::GetTickCount() + 300;
        RunUntil([until] { return ::GetTickCount() > until; });
    };
    prompts.whileShown = [&] {
        refuse({"con", "a|b", "x."});
        prompts.whileShown = [&] { refuse({"nul"}); };
    };
    Peer control("bad\tname", "content");
    ASSERT_TRUE(RunUntil([this] { return prompts.shown.size() == 4; }));
    EXPECT_EQ(prompts.shown[1].text, "A received file was refused: its name \"bad?name\" cannot be used here.");
    EXPECT_EQ(prompts.shown[2].text, "3 further file names were refused.");
    EXPECT_EQ(prompts.shown[3].text, "1 further file name was refused.");
    for (std::size_t i = 2; i < 4; ++i) {
        EXPECT_EQ(prompts.shown[i].kind, winui::MessageKind::Warning);
        EXPECT_EQ(prompts.shown[i].buttons, winui::MessageButtons::Ok);
    }

    // Once they are closed, the next is shown again; a name of thousands of
    // characters shows its beginning and its end, 100 characters in all.
    Peer after(std::string(4000, 'a') + "*" + std::string(4000, 'z'), "content");
    ASSERT_TRUE(RunUntil([this] { return prompts.shown.size() == 5; }));
    EXPECT_EQ(prompts.shown[4].text, "A received file was refused: its name \"" + std::string(49, 'a') + "..." +
                                         std::string(48, 'z') + "\" cannot be used here.");
    winui::ProcessMessages();
    EXPECT_EQ(prompts.shown.size(), 5u);
    EXPECT_EQ(frmFilePortal->ListBox1.Count(), 0);
}

TEST(ShownName, ElidesDoubleByteNamesByCharacterNotByByte)
{
    constexpr UINT japanese = 932;
    ASSERT_TRUE(::IsValidCodePage(japanese));
    const std::string a = "\x82\xA0";  // HIRAGANA LETTER A, two bytes
    const auto repeat = [](const std::string& piece, int times) {
        std::string text;
        for (int i = 0; i < times; ++i)
            text += piece;
        return text;
    };
    // One single-byte character first: a cut by bytes would fall inside a
    // character on one side.
    EXPECT_EQ(tessaly::ShownName("x" + repeat(a, 150), japanese), "x" + repeat(a, 48) + "..." + repeat(a, 48));
    EXPECT_EQ(tessaly::ShownName(repeat(a, 100), japanese), repeat(a, 100));  // 200 bytes, 100 characters
    const std::string fits = repeat(a, 30) + "\x82";  // ends inside a character: shown as it came
    EXPECT_EQ(tessaly::ShownName(fits, japanese), fits);
}

TEST_F(PortalTest, TheEntryUnderTheMouseShowsItsWholePathInATooltip)
{
    ShowWidget();
    frmFilePortal->Show();
    winui::ProcessMessages();
    winui::ListBox& list = frmFilePortal->ListBox1;
    const std::vector<std::string> entries{"C:\\Users\\somebody\\Downloads\\quarterly-report.xlsx",
                                           "C:\\Users\\somebody\\Downloads\\holiday.jpg"};
    for (const std::string& entry : entries)
        list.Add(entry);
    const HWND tip = list.TooltipHandle();
    ASSERT_TRUE(tip);
    const auto hover = [&](POINT client) {
        ::ClientToScreen(list.Handle(), &client);
        MoveMouseTo(client);
    };
    const auto itemCentre = [&](int index) {
        RECT r{};
        ::SendMessageA(list.Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    };
    const auto tipText = [&] {
        char text[1024] = {};
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = ::GetParent(list.Handle());
        tool.uId = reinterpret_cast<UINT_PTR>(list.Handle());
        tool.lpszText = text;
        ::SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
        return std::string(text);
    };

    hover(itemCentre(1));
    EXPECT_TRUE(RunUntil([&] { return ::IsWindowVisible(tip) && tipText() == entries[1]; })) << tipText();
    // Onto the other entry: the shown tip follows.
    hover(itemCentre(0));
    EXPECT_TRUE(RunUntil([&] { return ::IsWindowVisible(tip) && tipText() == entries[0]; })) << tipText();
    // Below the last entry there is nothing to show.
    hover({itemCentre(1).x, itemCentre(1).y + 42});
    EXPECT_TRUE(RunUntil([&] { return tipText().empty(); })) << tipText();
    // The list is still the program's own window: its items are drawn by
    // the portal, and double-clicks open them.
    EXPECT_EQ(winui::Window::FromHandle(list.Handle()), &list);
}

namespace {

// Records what the portal has marked, with the file's content at that
// moment, and fails as a platform without the service would.
class RecordingMark final : public tessaly::DownloadMark {
public:
    struct Call {
        std::string path, sender, content;
        bool answeredMeanwhile = false;  // the sender had its reply while the file was being marked
        bool operator==(const Call&) const = default;
    };
    // Whether the sender has had its reply; asked a moment into each mark.
    std::function<bool()> answered = [] { return false; };
    bool Save(const std::string& path, const std::string& senderAddress) override
    {
        ::Sleep(200);
        const std::lock_guard<std::mutex> lock(lock_);
        calls_.push_back({path, senderAddress, FileContent(path), answered()});
        return false;
    }
    std::vector<Call> Calls()
    {
        const std::lock_guard<std::mutex> lock(lock_);
        return calls_;
    }

private:
    std::mutex lock_;
    std::vector<Call> calls_;
};

}  // namespace

TEST_F(PortalTest, AStoredFileIsMarkedInItsPlaceWithItsSenderAndKeptWhenTheMarkFails)
{
    RecordingMark mark;
    std::atomic<Peer*> sender = nullptr;
    mark.answered = [&sender] { return sender.load() && sender.load()->Done(); };
    frmFilePortal->SetDownloadMark(&mark);
    Peer peer("report.txt", "marked content");
    sender = &peer;
    ASSERT_TRUE(RunUntil([] { return frmFilePortal->ListBox1.Count() == 1; }));
    EXPECT_EQ(peer.Reply(), "OK              ");
    // Under its final name, whole, before the sender was answered.
    EXPECT_EQ(mark.Calls(),
              (std::vector<RecordingMark::Call>{{"C:\\report.txt", "127.0.0.1", "marked content", false}}));
    EXPECT_EQ(frmFilePortal->ListBox1.Item(0), "C:\\report.txt");
    EXPECT_EQ(FileContent("C:\\report.txt"), "marked content");
    EXPECT_TRUE(prompts.shown.empty());
    // A refused name marks nothing.
    Peer refused("con", "content");
    ASSERT_TRUE(RunUntil([this] { return !prompts.shown.empty(); }));
    EXPECT_EQ(mark.Calls().size(), 1u);
    frmFilePortal->SetDownloadMark(nullptr);
}

// The platform's own service, on a real file. Where the platform has it,
// the file gets its zone stream; where it has not (Wine registers no such
// class), the file stays as it was and nothing is written beside it.
TEST(AttachmentServicesMark, MarksAFileOrLeavesItAsItWas)
{
    const std::string path = "C:\\mark-probe.exe";
    WriteFile(path, "MZ probe");
    const bool marked = tessaly::AttachmentServicesMark().Save(path, "192.0.2.7");
    EXPECT_EQ(FileContent(path), "MZ probe");
    const std::string zone = FileContent(path + ":Zone.Identifier");
    if (marked)
        EXPECT_NE(zone.find("ZoneId="), std::string::npos) << zone;
    else
        EXPECT_EQ(zone, "<missing>");
    ::DeleteFileA(path.c_str());
}

TEST_F(PortalTest, DeleteActsOnTheSelectionAsItWasWhenAsked)
{
    // Nothing selected; a file arrives while the question is open.
    WriteFile("C:\\portal-keep.txt", "keep");
    frmFilePortal->ListBox1.Add("C:\\portal-keep.txt");
    prompts.whileShown = [this] {
        Peer peer("report.txt", "arrives");
        ASSERT_TRUE(RunUntil([] { return frmFilePortal->ListBox1.Count() == 2; }));
    };
    frmFilePortal->SpeedButton3Click();
    EXPECT_EQ(prompts.shown[0].text, "Delete Selected File(s)?");
    EXPECT_EQ(FileContent("C:\\portal-keep.txt"), "keep");
    EXPECT_EQ(FileContent("C:\\report.txt"), "arrives");
    EXPECT_EQ(frmFilePortal->ListBox1.Items(), (std::vector<std::string>{"C:\\portal-keep.txt", "C:\\report.txt"}));
    ::DeleteFileA("C:\\portal-keep.txt");
}

TEST_F(PortalTest, IncomingDotsCycleAndNeverStandAtTwelve)
{
    const HWND portal = frmFilePortal->Handle();
    frmFilePortal->lblCom.SetCaption("Incoming...");
    for (int tick = 1; tick <= 8; ++tick)
        ::SendMessageA(portal, WM_TIMER, 1, 0);
    EXPECT_EQ(frmFilePortal->lblCom.Caption(), "Incoming...........");
    ::SendMessageA(portal, WM_TIMER, 1, 0);  // the ninth tick
    EXPECT_EQ(frmFilePortal->lblCom.Caption(), "Incoming");
    ::SendMessageA(portal, WM_TIMER, 1, 0);
    EXPECT_EQ(frmFilePortal->lblCom.Caption(), "Incoming.");
}

TEST_F(PortalTest, APeerThatBreaksOffLeavesTheStatusReadyAgain)
{
    // A malformed header: the session ends without a disconnect.
    frmFilePortal->Edit1.SetText("10.1.1.1");
    Peer peer(Peer::Raw{"zzzz"});
    winui::Label& status = frmFilePortal->lblCom;
    EXPECT_TRUE(RunUntil([] { return frmFilePortal->Edit1.Text() == "127.0.0.1"; }));  // the contact
    EXPECT_TRUE(RunUntil([&] { return peer.Done(); }));
    EXPECT_EQ(peer.Reply(), "");
    EXPECT_TRUE(RunUntil([&] { return status.Caption() == "Ready..."; }));
    // And no dots are counted after it.
    const auto later = ::GetTickCount() + 700;
    EXPECT_FALSE(RunUntil([&] { return status.Caption() != "Ready..." || ::GetTickCount() > later; }) &&
                 status.Caption() != "Ready...");
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(PortalTest, TheHostFieldReachesTheSettingsOnlyWhenThePortalCloses)
{
    frmFilePortal->Show();
    frmFilePortal->Edit1.SetText("192.168.7.7");
    EXPECT_EQ(winui::SettingsFile(ProgramFile("Larkspan.ini")).ReadString("File Portal Address", "Value", "none"),
              "none");
    frmFilePortal->SpeedButton1Click();
    EXPECT_FALSE(frmFilePortal->Visible());
    EXPECT_EQ(winui::SettingsFile(ProgramFile("Larkspan.ini")).ReadString("File Portal Address", "Value", "none"),
              "192.168.7.7");
    // Shown again, it starts from the address read at program start.
    frmFilePortal->Show();
    EXPECT_EQ(frmFilePortal->Edit1.Text(), Form1->PortalAddress);
}

namespace {

std::vector<std::string> Texts(const std::vector<ShownMessage>& shown)
{
    std::vector<std::string> texts;
    for (const ShownMessage& message : shown)
        texts.push_back(message.text);
    return texts;
}

}  // namespace

TEST_F(PortalTest, DeleteMoveOpenAndClearActOnTheListedFiles)
{
    winui::ListBox& list = frmFilePortal->ListBox1;
    frmFilePortal->SpeedButton3Click();  // an empty list
    EXPECT_EQ(Texts(prompts.shown), std::vector<std::string>{"Please make a selection first."});
    prompts.shown.clear();

    ::CreateDirectoryA("C:\\portal-dest", nullptr);
    for (const char* name : {"C:\\portal-a.txt", "C:\\portal-b.txt", "C:\\portal-c.txt", "C:\\portal-held.txt",
                             "C:\\portal-dest\\portal-c.txt"})
        WriteFile(name, name);
    for (const char* entry :
         {"C:\\portal-a.txt", "C:\\portal-b.txt", "C:\\portal-c.txt", "C:\\portal-gone.txt", "C:\\portal-held.txt"})
        list.Add(entry);
    // Another program holds this one open: it can be neither deleted nor moved.
    winui::FileHandle held(::CreateFileA("C:\\portal-held.txt", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));

    // Delete: the selected files leave the disk and the list (an entry whose
    // file is gone already leaves too); one that cannot be deleted is said
    // so and stays listed.
    for (int i : {0, 3, 4})
        list.SetSelected(i, true);
    frmFilePortal->SpeedButton3Click();
    EXPECT_EQ(Texts(prompts.shown), (std::vector<std::string>{"Delete Selected File(s)?",
                                                              "The file could not be deleted:\r\nC:\\portal-held.txt"}));
    EXPECT_EQ(::GetFileAttributesA("C:\\portal-a.txt"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"C:\\portal-b.txt", "C:\\portal-c.txt", "C:\\portal-held.txt"}));
    prompts.shown.clear();

    // Move: into the chosen folder, asking before a file there is replaced;
    // a file that cannot be moved keeps its entry.
    for (int i = 0; i < list.Count(); ++i)
        list.SetSelected(i, true);
    prompts.folder = "C:\\portal-dest";
    frmFilePortal->SpeedButton2Click();
    EXPECT_EQ(prompts.folderTitles, std::vector<std::string>{"Move File or Document to Selected Folder"});
    EXPECT_EQ(Texts(prompts.shown),
              (std::vector<std::string>{"Move Selected File(s)?", "File has been moved succesfully.",
                                        "File already exists. Overwrite File?", "File has been moved succesfully.",
                                        "The file could not be moved:\r\nC:\\portal-held.txt"}));
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"C:\\portal-dest\\portal-b.txt", "C:\\portal-dest\\portal-c.txt",
                                                      "C:\\portal-held.txt"}));
    EXPECT_EQ(FileContent("C:\\portal-dest\\portal-c.txt"), "C:\\portal-c.txt");
    EXPECT_EQ(::GetFileAttributesA("C:\\portal-b.txt"), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(list.Selected(0) || list.Selected(1) || list.Selected(2));
    held.Reset();
    ::DeleteFileA("C:\\portal-held.txt");

    // Double-click opens the entry under the mouse with the shell.
    const HWND items = list.Handle();
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        ::SendMessageA(items, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_EQ(shell.opened, std::vector<std::string>{"C:\\portal-dest\\portal-b.txt"});

    // The Delete key clears the list after asking, and leaves the files.
    prompts.shown.clear();
    PressKey(items, VK_DELETE);
    EXPECT_EQ(Texts(prompts.shown), std::vector<std::string>{"Clear ListBox?\r\n\r\nWill NOT DELETE Files Listed."});
    EXPECT_EQ(list.Count(), 0);
    EXPECT_NE(::GetFileAttributesA("C:\\portal-dest\\portal-b.txt"), INVALID_FILE_ATTRIBUTES);

    for (const char* name : {"C:\\portal-dest\\portal-b.txt", "C:\\portal-dest\\portal-c.txt"})
        ::DeleteFileA(name);
    ::RemoveDirectoryA("C:\\portal-dest");
}

namespace {

// Tests that start the forms themselves, in circumstances of their own.
class PortalStartTest : public PortalTest {
protected:
    void SetUp() override { TessalyTest::SetUp(); }
};

std::set<std::string> FolderNames(const std::string& folder)
{
    std::set<std::string> names;
    WIN32_FIND_DATAA found{};
    const HANDLE search = ::FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.insert(found.cFileName);
    while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return names;
}

}  // namespace

TEST_F(PortalStartTest, HostileNamesFromTheWireStayInsideTheReceiveFolderOrAreRefused)
{
    const std::string inbox = "C:\\portal-inbox\\";
    ::CreateDirectoryA(inbox.c_str(), nullptr);
    StartForms(inbox);
    const std::set<std::string> rootBefore = FolderNames("C:\\");
    const std::vector<std::string> hostile{
        "..\\x.txt", "../x.txt", "C:\\Windows\\x.dll", "\\\\server\\share\\x", "x.txt:stream", "..\\..\\up.txt",
        "CON", "nul.txt", "COM1.log", "lpt9", "a.", "a ", "", ".", "..", "ctrl\x01name", "bell\x07", "a<b", "a>b",
        "a|b", "a?b", "a*b", "a\"b", std::string(300, 'n'), "sub/"};
    for (const std::string& name : hostile) {
        Peer peer(name, "payload");
        ASSERT_TRUE(RunUntil([&] { return peer.Done(); })) << name;
    }
    winui::ListBox& list = frmFilePortal->ListBox1;
    ASSERT_TRUE(RunUntil([&] { return list.Count() + prompts.shown.size() == hostile.size(); }));
    for (const std::string& entry : list.Items()) {
        EXPECT_EQ(entry.rfind(inbox, 0), 0u) << entry;
        EXPECT_EQ(entry.find('\\', inbox.size()), std::string::npos) << entry;
        EXPECT_EQ(FileContent(entry), "payload") << entry;
    }
    EXPECT_EQ(list.Count(), 6);  // the six names with a folder part or a stream
    for (const ShownMessage& shown : prompts.shown)
        EXPECT_EQ(shown.text.rfind("A received file was refused: its name \"", 0), 0u) << shown.text;
    EXPECT_EQ(FolderNames("C:\\"), rootBefore);
    EXPECT_EQ(::GetFileAttributesA("C:\\Windows\\x.dll"), INVALID_FILE_ATTRIBUTES);

    Peer valid("after.txt", "still works");
    ASSERT_TRUE(RunUntil([&] { return list.Count() == 7; }));
    EXPECT_EQ(list.Item(6), inbox + "after.txt");
    EXPECT_EQ(FileContent(inbox + "after.txt"), "still works");

    for (const std::string& name : FolderNames(inbox))
        ::DeleteFileA((inbox + name).c_str());
    ::RemoveDirectoryA(inbox.c_str());
}

TEST_F(PortalStartTest, LargeContentArrivesWholeAndLeavesNothingElseBehind)
{
    const std::string inbox = "C:\\portal-large\\";
    ::CreateDirectoryA(inbox.c_str(), nullptr);
    StartForms(inbox);
    // Above what a session keeps in memory: captured into a file.
    std::string content(17 * 1024 * 1024, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 7 + i / 4096);
    Peer peer("large.bin", content);
    ASSERT_TRUE(RunUntil([&] { return peer.Done() && frmFilePortal->ListBox1.Count() == 1; }));
    EXPECT_EQ(frmFilePortal->ListBox1.Item(0), inbox + "large.bin");
    EXPECT_TRUE(FileContent(inbox + "large.bin") == content);
    ASSERT_TRUE(RunUntil([] { return frmFilePortal->lblCom.Caption() == "Ready..."; }));
    EXPECT_EQ(FolderNames(inbox), (std::set<std::string>{".", "..", "large.bin"}));
    ::DeleteFileA((inbox + "large.bin").c_str());
    ::RemoveDirectoryA(inbox.c_str());
}

TEST_F(PortalStartTest, AtStartTheTemporariesAnEarlierRunLeftGoAndNothingElse)
{
    const std::string inbox = "C:\\portal-leftovers\\";
    ::CreateDirectoryA(inbox.c_str(), nullptr);
    const auto place = [&](const std::string& name, DWORD attributes) {
        WriteFile(inbox + name, name);
        ::SetFileAttributesA((inbox + name).c_str(), attributes);
    };
    place("~Tessaly-1f4-0.tmp", FILE_ATTRIBUTE_HIDDEN);  // a capture's, killed
    place("~Tessaly-1f4-1.tmp", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY);  // a store's, crashed
    place("~Tessaly-2a-7.tmp", FILE_ATTRIBUTE_HIDDEN);  // a running transfer's
    place("~Tessaly-3b-2.tmp", FILE_ATTRIBUTE_NORMAL);  // not hidden: the user's
    place("~Tessaly-notes.txt", FILE_ATTRIBUTE_HIDDEN);
    place("lsp1A2B.tmp", FILE_ATTRIBUTE_HIDDEN);  // another program's
    // Held open, even with every sharing allowed, it is still in use.
    winui::FileHandle held(::CreateFileA((inbox + "~Tessaly-2a-7.tmp").c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);

    StartForms(inbox);
    EXPECT_EQ(FolderNames(inbox), (std::set<std::string>{".", "..", "~Tessaly-2a-7.tmp", "~Tessaly-3b-2.tmp",
                                                          "~Tessaly-notes.txt", "lsp1A2B.tmp"}));
    held.Reset();
    for (const std::string& name : FolderNames(inbox))
        RemoveFile(inbox + name);
    ::RemoveDirectoryA(inbox.c_str());
}

TEST_F(PortalStartTest, AFileThatCannotBeStoredIsNotAcknowledgedAndTheSendingPortalSaysSo)
{
    // The portal sends to its own receiver, whose folder is gone by then.
    ::CreateDirectoryA("C:\\portal-gone", nullptr);
    StartForms("C:\\portal-gone\\");
    ASSERT_TRUE(::RemoveDirectoryA("C:\\portal-gone"));
    const std::string file = std::string(ProgramFile("outgoing.txt"));
    WriteFile(file, "to nowhere");
    frmFilePortal->Edit1.SetText("127.0.0.1");
    prompts.openFiles = {winui::Widen(file)};
    frmFilePortal->SendFromOpenDialog1Click();
    ASSERT_TRUE(RunUntil([] { return !frmFilePortal->Sender.Running(); }));
    RunUntil([this] { return prompts.shown.size() == 2; });
    std::vector<std::string> texts = Texts(prompts.shown);
    std::sort(texts.begin(), texts.end());  // the two sides say it in either order
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "File or Document may still be in use.\r\n\r\n{ or Host is not connected at this time }",
                         "Transmission Interrupted or Disconnected"}));
    EXPECT_EQ(frmFilePortal->ListBox1.Count(), 0);
    ::DeleteFileA(file.c_str());
}

// Names refused while the error box of a failed file is open: the first
// gets a box of its own when the error box closes, the others are counted
// after it, so that "further" always follows a name the user has seen.
TEST_F(PortalStartTest, ANameRefusedBehindAnErrorBoxIsShownBeforeTheCount)
{
    ::CreateDirectoryA("C:\\portal-gone", nullptr);
    StartForms("C:\\portal-gone\\");
    ASSERT_TRUE(::RemoveDirectoryA("C:\\portal-gone"));
    prompts.whileShown = [&] {
        prompts.whileShown = nullptr;
        for (const char* name : {"con", "a|b", "x."}) {
            Peer refused(name, "content");
            ASSERT_TRUE(RunUntil([&] { return refused.Done(); }));
        }
        const DWORD until = ::GetTickCount() + 300;
        RunUntil([until] { return ::GetTickCount() > until; });
    };
    Peer failed("lost.txt", "content");
    ASSERT_TRUE(RunUntil([this] { return prompts.shown.size() == 3; }));
    EXPECT_EQ(Texts(prompts.shown),
              (std::vector<std::string>{"Transmission Interrupted or Disconnected",
                                        "A received file was refused: its name \"con\" cannot be used here.",
                                        "2 further file names were refused."}));
}

TEST_F(PortalStartTest, AFolderThatTakesNoFilesGivesWayToDownloads)
{
    StartForms("C:\\no-such-folder\\");
    const std::string downloads = tessaly::DownloadsFolder();
    EXPECT_EQ(frmFilePortal->ReceiveFolder(), downloads);
    Peer peer("fallback.txt", "here instead");
    ASSERT_TRUE(RunUntil([] { return frmFilePortal->ListBox1.Count() == 1; }));
    EXPECT_EQ(frmFilePortal->ListBox1.Item(0), downloads + "fallback.txt");
    EXPECT_EQ(FileContent(downloads + "fallback.txt"), "here instead");
    ::DeleteFileA((downloads + "fallback.txt").c_str());
}

TEST_F(PortalStartTest, ADownloadsFolderTheCodePageCannotNameIsNotUsed)
{
    // The user's Downloads moved to a folder whose name begins with a
    // full-width "ｄ"; beside it, one that best fit would make of that name.
    const wchar_t* shellFolders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    const wchar_t* downloadsId = L"{374DE290-123F-4565-9164-39C4925E467B}";
    const std::wstring moved = L"C:\\\uFF44ownloads-lookalike";
    const std::string decoy = "C:\\downloads-lookalike";
    ASSERT_TRUE(::CreateDirectoryW(moved.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryA(decoy.c_str(), nullptr));
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, shellFolders, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key), ERROR_SUCCESS);
    wchar_t before[MAX_PATH] = {};
    DWORD beforeSize = sizeof before;
    DWORD type = REG_EXPAND_SZ;
    const bool had = ::RegQueryValueExW(key, downloadsId, nullptr, &type, reinterpret_cast<BYTE*>(before),
                                        &beforeSize) == ERROR_SUCCESS;
    ::RegSetValueExW(key, downloadsId, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(moved.c_str()),
                     static_cast<DWORD>((moved.size() + 1) * sizeof(wchar_t)));

    // Neither that other folder nor the moved one by a path that would name
    // it: receiving is off and says so.
    EXPECT_THROW(tessaly::DownloadsFolder(), std::runtime_error);
    StartForms("C:\\no-such-folder\\");
    EXPECT_EQ(frmFilePortal->ReceiveFolder(), "");
    RunUntil([this] { return !prompts.shown.empty(); });
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "Files cannot be received: no folder on this computer takes the files of this "
                                     "user.\r\n\r\nReceiving is off; sending files still works.");

    if (had)
        ::RegSetValueExW(key, downloadsId, 0, type, reinterpret_cast<const BYTE*>(before), beforeSize);
    else
        ::RegDeleteValueW(key, downloadsId);
    ::RegCloseKey(key);
    ::RemoveDirectoryW(moved.c_str());
    ::RemoveDirectoryA(decoy.c_str());
}

TEST_F(PortalStartTest, APortHeldByAnotherProgramIsReportedOnce)
{
    WSADATA data{};
    ::WSAStartup(0x0101, &data);
    const SOCKET holder = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = ::htons(6501);
    ASSERT_EQ(::bind(holder, reinterpret_cast<const sockaddr*>(&at), sizeof at), 0);
    ASSERT_EQ(::listen(holder, 1), 0);
    StartForms();
    EXPECT_TRUE(prompts.shown.empty());  // not in the middle of the start
    winui::ProcessMessages();
    winui::ProcessMessages();
    ::closesocket(holder);
    ::WSACleanup();
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, winui::MessageKind::Warning);
    EXPECT_EQ(prompts.shown[0].text, "Files cannot be received: port 6501 is in use by another program.\r\n\r\n"
                                     "Receiving is off; sending files still works.");
}

namespace {

// On a drive too small for what arrives (tests/tessaly/small-drive.sh).
class PortalFullDiskTest : public PortalStartTest {
protected:
    void SetUp() override
    {
        const char* drive = std::getenv("LARKSPAN_SMALL_DRIVE");
        if (!drive)
            GTEST_SKIP() << "no small drive: run through small-drive.sh, which mounts one where it may";
        PortalStartTest::SetUp();
        smallDrive = drive;
    }

    std::string smallDrive;
};

}  // namespace

TEST_F(PortalFullDiskTest, ContentTheDiskCannotTakeIsNeitherAcknowledgedNorKeptAndIsReported)
{
    constexpr std::int64_t contentSize = 17 * 1024 * 1024;  // captured into a file as it arrives
    ULARGE_INTEGER free{};
    ASSERT_TRUE(::GetDiskFreeSpaceExA(smallDrive.c_str(), &free, nullptr, nullptr));
    ASSERT_LT(free.QuadPart, static_cast<ULONGLONG>(contentSize));
    StartForms(smallDrive);
    ASSERT_EQ(frmFilePortal->ReceiveFolder(), smallDrive);

    winui::ProcessMessages();
    ASSERT_TRUE(prompts.shown.empty()) << prompts.shown[0].text;  // the portal listens

    Peer peer("large.bin", std::string(contentSize, 'x'));
    ASSERT_TRUE(RunUntil([&] { return peer.Done() && frmFilePortal->NMRec1.SessionCount() == 0; }, 40000))
        << (peer.Done() ? peer.Account() : "the peer still sends") << "; sessions "
        << frmFilePortal->NMRec1.SessionCount() << ", status \"" << frmFilePortal->lblCom.Caption() << "\"";
    EXPECT_EQ(peer.Reply(), "");  // turned away, not acknowledged
    EXPECT_TRUE(RunUntil([this] { return !prompts.shown.empty(); }));
    EXPECT_TRUE(RunUntil([] { return frmFilePortal->lblCom.Caption() == "Ready..."; }));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, winui::MessageKind::Error);
    EXPECT_EQ(prompts.shown[0].text, "Transmission Interrupted or Disconnected");
    EXPECT_EQ(frmFilePortal->ListBox1.Count(), 0);
    std::set<std::string> left = FolderNames(smallDrive);
    left.erase(".");
    left.erase("..");
    EXPECT_EQ(left, std::set<std::string>{});  // neither the file nor its capture
}
