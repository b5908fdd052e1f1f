// The real Tessaly on a local network of its own, found by and finding other
// machines through DNS service discovery over multicast DNS: the other
// machine is the independent python3-zeroconf library (zeroconf-interop.sh)
// or a second real Tessaly (neighbours.sh). Each runs in a network namespace
// joined to this one's by a veth pair; the scripts set the environment
// these tests read, and without it the tests skip.
#include "ProgramUnderTest.h"
#include "TessalyFixture.h"

#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

std::string Utf8(const std::wstring& wide)
{
    const int size = static_cast<int>(wide.size());
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(std::max(length, 0)), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
    return text;
}

std::wstring Wide(const std::string& utf8)
{
    const int size = static_cast<int>(utf8.size());
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(std::max(length, 0)), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, text.data(), length);
    return text;
}

// A list box's items as another program reads them: in UTF-16 (the system
// converts them across processes), given here in UTF-8.
std::vector<std::string> ListItems(HWND list)
{
    std::vector<std::string> items;
    const LRESULT count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring item(static_cast<std::size_t>(std::max<LRESULT>(::SendMessageW(list, LB_GETTEXTLEN, i, 0), 0)),
                          L'\0');
        ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()));
        item.resize(std::wcslen(item.c_str()));
        items.push_back(Utf8(item));
    }
    return items;
}

bool Hides(HWND window)
{
    for (int i = 0; i < 100 && ::IsWindowVisible(window); ++i)
        ::Sleep(50);
    return !::IsWindowVisible(window);
}

// This machine's name as Tessaly names its instance.
std::string ComputerName()
{
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    ::GetComputerNameW(name, &size);
    return Utf8(std::wstring(name, size));
}

// What the discovery window shows for a machine found on the local network.
std::vector<std::string> FoundLines(const std::string& name, const std::string& address)
{
    return {"Computer Name: " + name, "Host Name and Connection Path: \\\\" + address,
            "Network Provider: Tessaly on this network", ""};
}

bool Holds(const std::vector<std::string>& lines, const std::vector<std::string>& group)
{
    return std::search(lines.begin(), lines.end(), group.begin(), group.end()) != lines.end();
}

// The name a text takes in the program's code page, each character that the
// code page cannot hold exactly as "_".
std::string InCodePage(const std::string& utf8)
{
    std::string shown;
    for (const wchar_t c : Wide(utf8)) {
        char bytes[8] = {};
        BOOL lost = FALSE;
        const int n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &c, 1, bytes, sizeof bytes, nullptr, &lost);
        shown += n > 0 && !lost ? Utf8(std::wstring(1, c)) : "_";
    }
    return shown;
}

const char* Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

// Waits up to `ms` for a file to exist; its content, or "<missing>".
std::string WaitForFile(const std::string& path, DWORD ms)
{
    for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < ms; ::Sleep(100))
        if (::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            break;
    return FileContent(path);
}

class DiscoveryEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::CoInitialize(nullptr);
        WriteFile(program.File("SumvexFileList.dat"), "");
        WriteFile(program.File("QuilloFileList.dat"), "");
        WriteFile(program.File("IPAddress.dat"), "Lab <10.0.0.5>\r\n");
    }
    void TearDown() override { ::CoUninitialize(); }

    // "<" on the widget opens the portal, its "..." the address book; null
    // when a window did not show.
    HWND OpenAddressBook()
    {
        ClickWithMouse(ChildWithText(widget, "Larkspan.SpeedButton", "<"));
        portal = program.WaitForWindow(178, 417, widget);
        if (!portal)
            return nullptr;
        ClickWithMouse(ChildWithText(portal, "Larkspan.SpeedButton", "..."));
        return program.WaitForWindow(462, 341);
    }
    // The book's "Who's Online?": the discovery window, once its search has
    // ended (the search window came and went); null when it did not show.
    HWND WhoIsOnline(HWND book)
    {
        ClickWithMouse(ChildWithText(book, "Larkspan.XiButton", "Who's Online?"));
        const HWND clients = program.WaitForWindow(655, 375);
        const HWND search = ::FindWindowA(nullptr, "Searching For Network Clients...");
        if (!clients || !search)
            return nullptr;
        for (int i = 0; i < 200 && ::IsWindowVisible(search); ++i)
            ::Sleep(50);
        return ::IsWindowVisible(search) ? nullptr : clients;
    }
    void CloseWithX()
    {
        ClickWithMouse(ChildWithText(widget, "Larkspan.SpeedButton", "X"));
        ASSERT_TRUE(program.EndsWithin(5000)) << "still running five seconds after X";
    }

    HWND widget = nullptr;
    HWND portal = nullptr;
    ProgramUnderTest program{ProgramPath(), "Tessaly"};
};

// The other machine is python3-zeroconf (zeroconf-interop.sh): it has
// registered "Zeroconf Peer" at its own address LARKSPAN_ZEROCONF_PEER and
// "Café Peer ☃" at LARKSPAN_ZEROCONF_OTHER, both on port 6501, and browses
// on request through the folder LARKSPAN_ZEROCONF_TALK. This machine's
// address is LARKSPAN_ZEROCONF_HERE.
class TessalyZeroconf : public DiscoveryEndToEnd {
protected:
    struct Service {
        std::string name;
        std::string addresses;
        int port = 0;
        std::string txt;
    };

    void SetUp() override
    {
        const char* peer = Environment("LARKSPAN_ZEROCONF_PEER");
        const char* other = Environment("LARKSPAN_ZEROCONF_OTHER");
        const char* talk = Environment("LARKSPAN_ZEROCONF_TALK");
        const char* here = Environment("LARKSPAN_ZEROCONF_HERE");
        if (!peer || !other || !talk || !here)
            GTEST_SKIP() << "No multicast DNS peer: tests/e2e/zeroconf-interop.sh runs these tests with one and sets "
                            "LARKSPAN_ZEROCONF_PEER, LARKSPAN_ZEROCONF_OTHER, LARKSPAN_ZEROCONF_TALK and "
                            "LARKSPAN_ZEROCONF_HERE";
        peer_ = peer;
        other_ = other;
        talk_ = WindowsPath(talk);
        here_ = here;
        DiscoveryEndToEnd::SetUp();
    }

    // The services that the library's browser resolves within `seconds`,
    // with an empty cache: only what answers now.
    std::vector<Service> LibraryBrowses(double seconds)
    {
        static int asked = 0;
        const std::string id = std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++asked);
        WriteFile(talk_ + "\\ask-" + id, std::to_string(seconds));
        const std::string answer =
            WaitForFile(talk_ + "\\found-" + id, static_cast<DWORD>(seconds * 1000) + 30000);
        EXPECT_NE(answer, "<missing>") << "the library did not answer";
        std::vector<Service> services;
        std::istringstream lines(answer);
        for (std::string line; std::getline(lines, line);) {
            Service s;
            std::istringstream fields(line);
            std::string port;
            std::getline(fields, s.name, '\t');
            std::getline(fields, s.addresses, '\t');
            std::getline(fields, port, '\t');
            std::getline(fields, s.txt, '\t');
            s.port = std::atoi(port.c_str());
            services.push_back(s);
        }
        return services;
    }
    static std::string Describe(const std::vector<Service>& services)
    {
        std::string out;
        for (const Service& s : services)
            out += "[" + s.name + " " + s.addresses + " " + std::to_string(s.port) + " " + s.txt + "]";
        return out.empty() ? "nothing" : out;
    }
    // Tessaly claims its names about a second after it starts.
    void StartTessaly()
    {
        widget = program.Start(1168, 255);
        ASSERT_NE(widget, nullptr);
        ::Sleep(2000);
    }

    std::string peer_;
    std::string other_;
    std::string talk_;
    std::string here_;
};

}  // namespace

TEST_F(TessalyZeroconf, TheLibrarysBrowserFindsTessalyWithItsAddressPortAndVersion)
{
    ASSERT_NO_FATAL_FAILURE(StartTessaly());
    const std::vector<Service> found = LibraryBrowses(3);
    const std::string instance = ComputerName() + "._tessaly._tcp.local.";
    const auto tessaly = std::ranges::find_if(found, [&](const Service& s) { return s.name == instance; });
    ASSERT_NE(tessaly, found.end()) << "the library found " << Describe(found);
    EXPECT_EQ(tessaly->addresses, here_);
    EXPECT_EQ(tessaly->port, 6501);
    EXPECT_EQ(tessaly->txt, "v=1");
    // Nothing else of this machine: one instance, one address.
    EXPECT_EQ(std::ranges::count_if(found, [&](const Service& s) { return s.addresses.find(here_) != std::string::npos; }),
              1)
        << Describe(found);

    // Ended, it says goodbye: the library no longer finds it.
    CloseWithX();
    const std::vector<Service> after = LibraryBrowses(3);
    EXPECT_TRUE(std::ranges::none_of(after, [&](const Service& s) { return s.name == instance; })) << Describe(after);
}

TEST_F(TessalyZeroconf, ServicesTheLibraryRegistersAreListedByWhoIsOnlineAndAdded)
{
    ASSERT_NO_FATAL_FAILURE(StartTessaly());
    const HWND book = OpenAddressBook();
    ASSERT_NE(book, nullptr);
    const HWND clients = WhoIsOnline(book);
    ASSERT_NE(clients, nullptr);
    const HWND list = FindChildOfClass(clients, "ListBox");
    ASSERT_NE(list, nullptr);
    // Wine's platform walk finds no servers: only the two machines that
    // answered, four lines each, in the order they answered.
    const std::vector<std::string> lines = ListItems(list);
    EXPECT_EQ(lines.size(), 8u) << ::testing::PrintToString(lines);
    EXPECT_TRUE(Holds(lines, FoundLines("Zeroconf Peer", peer_))) << ::testing::PrintToString(lines);
    const std::string cafe = InCodePage("Caf\xC3\xA9 Peer \xE2\x98\x83");
    EXPECT_TRUE(Holds(lines, FoundLines(cafe, other_))) << ::testing::PrintToString(lines);

    ClickWithMouse(ChildWithText(clients, "Larkspan.RbButton", "Add Host Names to List"));
    EXPECT_TRUE(Hides(clients));
    const std::vector<std::string> book_items = ListItems(FindChildOfClass(book, "ListBox"));
    std::vector<std::string> expected{"Lab <10.0.0.5>", "Zeroconf Peer <" + peer_ + ">", cafe + " <" + other_ + ">"};
    EXPECT_EQ(std::set<std::string>(book_items.begin(), book_items.end()),
              std::set<std::string>(expected.begin(), expected.end()))
        << ::testing::PrintToString(book_items);

    ClickWithMouse(ChildWithText(book, "Larkspan.XiButton", "Close"));
    EXPECT_TRUE(Hides(book));
    CloseWithX();
    const std::string written = FileContent(program.File("IPAddress.dat"));
    EXPECT_NE(written.find("Zeroconf Peer <" + peer_ + ">\r\n"), std::string::npos) << written;
}

TEST_F(TessalyZeroconf, WithAnnounceOffTheLibraryDoesNotFindItWhileItStillListsOthers)
{
    WriteFile(program.File("Larkspan.ini"), "[File Portal]\r\nAnnounce=0\r\n");
    ASSERT_NO_FATAL_FAILURE(StartTessaly());
    // The library's own services answer its browse, this machine nothing.
    const std::vector<Service> found = LibraryBrowses(4);
    EXPECT_TRUE(std::ranges::any_of(found, [&](const Service& s) { return s.addresses == peer_; }))
        << "the browse found " << Describe(found);
    EXPECT_TRUE(std::ranges::none_of(found, [&](const Service& s) {
        return s.addresses.find(here_) != std::string::npos || s.name.rfind(ComputerName(), 0) == 0;
    })) << "the browse found " << Describe(found);

    const HWND book = OpenAddressBook();
    ASSERT_NE(book, nullptr);
    const HWND clients = WhoIsOnline(book);
    ASSERT_NE(clients, nullptr);
    const std::vector<std::string> lines = ListItems(FindChildOfClass(clients, "ListBox"));
    EXPECT_TRUE(Holds(lines, FoundLines("Zeroconf Peer", peer_))) << ::testing::PrintToString(lines);
    const std::optional<POINT> closeBox = CloseBoxOf(clients);
    ASSERT_TRUE(closeBox);
    ClickAt(*closeBox);
    EXPECT_TRUE(Hides(clients));
    ClickWithMouse(ChildWithText(book, "Larkspan.XiButton", "Close"));
    EXPECT_TRUE(Hides(book));
    CloseWithX();
}

namespace {

// Two real Tessaly machines (neighbours.sh): each runs this test on its own
// machine, with the other's address in LARKSPAN_NEIGHBOUR, its own name
// ("a" or "b") in LARKSPAN_ME, its widget's place in LARKSPAN_PLACE
// ("left,top") and a folder both see in LARKSPAN_MEETING, where they say
// how far they are. They take turns at the screen: "a" first.
class TessalyNeighbours : public DiscoveryEndToEnd {
protected:
    void SetUp() override
    {
        const char* neighbour = Environment("LARKSPAN_NEIGHBOUR");
        const char* me = Environment("LARKSPAN_ME");
        const char* place = Environment("LARKSPAN_PLACE");
        const char* meeting = Environment("LARKSPAN_MEETING");
        if (!neighbour || !me || !place || !meeting)
            GTEST_SKIP() << "No neighbour: tests/e2e/neighbours.sh runs this test on two machines and sets "
                            "LARKSPAN_NEIGHBOUR, LARKSPAN_ME, LARKSPAN_PLACE and LARKSPAN_MEETING";
        neighbour_ = neighbour;
        me_ = me;
        other_ = me_ == "a" ? "b" : "a";
        meeting_ = WindowsPath(meeting);
        ASSERT_EQ(std::sscanf(place, "%ld,%ld", &place_.x, &place_.y), 2) << place;
        DiscoveryEndToEnd::SetUp();
    }
    static std::string Content(const std::string& from)
    {
        std::string content(50000, '\0');
        unsigned seed = static_cast<unsigned char>(from[0]);
        for (char& c : content) {
            seed = seed * 1103515245 + 12345;
            c = static_cast<char>(seed >> 16);
        }
        return content;
    }
    static std::string FileFrom(const std::string& who) { return "From " + who + ".bin"; }
    void Say(const std::string& what, const std::string& text = "")
    {
        WriteFile(meeting_ + "\\" + what + ".part", text);
        ::MoveFileA((meeting_ + "\\" + what + ".part").c_str(), (meeting_ + "\\" + what).c_str());
    }
    std::string Heard(const std::string& what, DWORD ms) const { return WaitForFile(meeting_ + "\\" + what, ms); }

    std::string neighbour_;
    std::string me_;
    std::string other_;
    std::string meeting_;
    POINT place_{};
};

}  // namespace

TEST_F(TessalyNeighbours, EachListsTheOtherAddsItAndSendsItAFile)
{
    // The file to send is the widget's only entry.
    WriteFile(program.File(FileFrom(me_)), Content(me_));
    WriteFile(program.File("SumvexFileList.dat"), program.File(FileFrom(me_)) + "\r\n");
    WriteFile(program.File("Larkspan.ini"), "[Tessaly]\r\nLeft Side=" + std::to_string(place_.x) +
                                                "\r\nTop Side=" + std::to_string(place_.y) + "\r\n");
    ::DeleteFileA(("C:\\" + FileFrom(other_)).c_str());
    widget = program.Start(place_.x, place_.y);
    ASSERT_NE(widget, nullptr);
    Say("ready-" + me_);
    ASSERT_NE(Heard("ready-" + other_, 120000), "<missing>") << "the neighbour did not start";
    if (me_ == "b")
        ASSERT_NE(Heard("done-a", 180000), "<missing>") << "the neighbour did not finish its turn";
    else
        ::Sleep(3000);  // the neighbour's names claimed, after a rename if both wanted the same

    // Its turn: the neighbour is listed, added, and sent the file.
    const HWND book = OpenAddressBook();
    ASSERT_NE(book, nullptr);
    const HWND clients = WhoIsOnline(book);
    ASSERT_NE(clients, nullptr);
    const std::vector<std::string> lines = ListItems(FindChildOfClass(clients, "ListBox"));
    const auto host = std::ranges::find(lines, "Host Name and Connection Path: \\\\" + neighbour_);
    ASSERT_NE(host, lines.end()) << ::testing::PrintToString(lines);
    ASSERT_NE(host, lines.begin());
    // Both machines have one name: the one that claimed it second took "NAME (2)".
    const std::string name = host[-1].substr(std::string("Computer Name: ").size());
    EXPECT_TRUE(name == ComputerName() || name == ComputerName() + " (2)") << name;
    Say("saw-" + me_, name);
    ClickWithMouse(ChildWithText(clients, "Larkspan.RbButton", "Add Host Names to List"));
    EXPECT_TRUE(Hides(clients));
    const HWND addresses = FindChildOfClass(book, "ListBox");
    const std::string entry = name + " <" + neighbour_ + ">";
    const std::vector<std::string> entries = ListItems(addresses);
    const auto added = std::ranges::find(entries, entry);
    ASSERT_NE(added, entries.end()) << ::testing::PrintToString(entries);

    // The added entry chosen, "Send To" puts its address in the host field.
    RECT item{};
    ASSERT_NE(::SendMessageA(addresses, LB_GETITEMRECT, added - entries.begin(), reinterpret_cast<LPARAM>(&item)),
              LB_ERR);
    ::MapWindowPoints(addresses, nullptr, reinterpret_cast<POINT*>(&item), 2);
    ClickAt({item.left + 30, (item.top + item.bottom) / 2});
    ClickWithMouse(ChildWithText(book, "Larkspan.XiButton", "Send To"));
    EXPECT_TRUE(Hides(book));
    ASSERT_EQ(ChildTexts(portal, "Edit"), std::vector<std::string>{neighbour_});

    // The widget's entry dragged onto "Drag and Drop".
    const HWND documents = FindChildOfClass(widget, "ListBox");
    RECT first{};
    ASSERT_NE(::SendMessageA(documents, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first)), LB_ERR);
    ::MapWindowPoints(documents, nullptr, reinterpret_cast<POINT*>(&first), 2);
    RECT zone{};
    ASSERT_TRUE(::GetWindowRect(ChildWithText(portal, "Larkspan.Label", "Drag and Drop"), &zone));
    DragWithMouse({first.left + 40, (first.top + first.bottom) / 2},
                  {(zone.left + zone.right) / 2, (zone.top + zone.bottom) / 2});
    HWND box = nullptr;
    for (const DWORD start = ::GetTickCount(); !box && ::GetTickCount() - start < 30000; ::Sleep(100)) {
        const HWND shown = program.WaitForMessageBox(0);
        const std::vector<std::string> texts = shown ? ChildTexts(shown, "Static") : std::vector<std::string>{};
        if (std::ranges::find(texts, "File Transfer Successful and Complete.") != texts.end())
            box = shown;
    }
    ASSERT_NE(box, nullptr) << "no success box";
    ClickWithMouse(ChildWithText(box, "Button", "OK"));
    EXPECT_TRUE(Hides(box));
    Say("done-" + me_);

    // The neighbour's turn: its file arrives here, and the two machines go
    // by two names.
    ASSERT_NE(Heard("done-" + other_, 180000), "<missing>") << "the neighbour did not finish its turn";
    EXPECT_TRUE(WaitForFile("C:\\" + FileFrom(other_), 10000) == Content(other_))
        << "the neighbour's file did not arrive whole";
    EXPECT_NE(Heard("saw-" + other_, 1000), name) << "both machines go by the same name";
    Say("seen-" + me_);
    // Up until the neighbour no longer needs this machine.
    Heard("seen-" + other_, 60000);
    CloseWithX();
    EXPECT_NE(FileContent(program.File("IPAddress.dat")).find(entry + "\r\n"), std::string::npos);
    ::DeleteFileA(("C:\\" + FileFrom(other_)).c_str());
}
