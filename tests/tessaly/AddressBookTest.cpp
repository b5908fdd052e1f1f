// The address book driven as a user drives it: typing, keys and clicks on the
// real window, the portal's host field it fills, and IPAddress.dat as it is
// read at start and written at the end.
#include "TessalyFixture.h"

#include "tessaly/AddressList.h"
#include "tessaly/FilePortal.h"
#include "tessaly/NetWorkClients.h"

using namespace testing_support;

namespace {

class AddressBookTest : public TessalyTest {
protected:
    void Start(const char* file)
    {
        if (file)
            WriteFile(ProgramFile("IPAddress.dat"), file);
        else
            RemoveFile(ProgramFile("IPAddress.dat"));
        StartForms();
        book = frmAddressList;
        book->Show();
        winui::ProcessMessages();
    }
    static void Type(const winui::Edit& field, const std::string& text)
    {
        for (char c : text)
            ::SendMessageA(field.Handle(), WM_CHAR, static_cast<unsigned char>(c), 1);
    }
    static void Click(const winui::Window& button)
    {
        ::SendMessageA(button.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        ::SendMessageA(button.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    }
    void Add(const std::string& name, const std::string& address)
    {
        Type(book->edtName, name);
        Type(book->edtIPAdd, address);
        Click(book->btnAdd);
    }
    void SendEntry(const std::string& entry)
    {
        const std::vector<std::string> items = book->ListBox1.Items();
        const auto at = std::find(items.begin(), items.end(), entry);
        ASSERT_NE(at, items.end()) << entry;
        book->Show();
        book->ListBox1.SetItemIndex(static_cast<int>(at - items.begin()));
        Click(book->btnSend);
    }
    // After a start over a file that could not be taken as the book: the
    // error box and an empty list; at the end, with an entry added, the file
    // is kept as it was and the user is told so.
    void ExpectKeptAsItWas(const std::string& content)
    {
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(prompts.shown[0].kind, winui::MessageKind::Error);
        EXPECT_EQ(prompts.shown[0].text, "File [IPAddress.dat] not Found.");
        book = frmAddressList;
        EXPECT_EQ(book->ListBox1.Count(), 0);
        Add("New", "5.6.7.8");
        Restart();
        EXPECT_EQ(FileContent(ProgramFile("IPAddress.dat")), content);
        ASSERT_EQ(prompts.shown.size(), 2u);
        EXPECT_EQ(prompts.shown[1].text.rfind("The address book was not saved: ", 0), 0u);
    }
    TfrmAddressList* book = nullptr;
};

}  // namespace

TEST_F(AddressBookTest, AnAddedEntrySendsItsAddressToThePortal)
{
    Start("");
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(::GetFocus(), book->edtName.Handle());  // the first tab stop
    ::SendMessageA(book->edtName.Handle(), WM_KEYDOWN, VK_TAB, 1);
    EXPECT_TRUE(winui::OfferDialogKey(MSG{book->edtName.Handle(), WM_KEYDOWN, VK_TAB, 1, 0, {}}));
    EXPECT_EQ(::GetFocus(), book->edtIPAdd.Handle());
    book->edtName.SetFocus();
    Type(book->edtName, "Lab");
    PressKey(book->edtName.Handle(), VK_RETURN);  // on to the address
    EXPECT_EQ(::GetFocus(), book->edtIPAdd.Handle());
    Type(book->edtIPAdd, "10.0.0.5");
    PressKey(book->edtIPAdd.Handle(), VK_RETURN);  // adds
    EXPECT_EQ(book->ListBox1.Items(), std::vector<std::string>{"Lab <10.0.0.5>"});
    EXPECT_EQ(book->edtName.Text(), "");
    EXPECT_EQ(book->edtIPAdd.Text(), "");
    EXPECT_EQ(::GetFocus(), book->edtName.Handle());

    SendEntry("Lab <10.0.0.5>");
    EXPECT_EQ(frmFilePortal->Edit1.Text(), "10.0.0.5");
    EXPECT_FALSE(book->Visible());

    // The fields take no more than their limits.
    Type(book->edtName, std::string(30, 'n'));
    Type(book->edtIPAdd, std::string(30, '1'));
    EXPECT_EQ(book->edtName.Text(), std::string(20, 'n'));
    EXPECT_EQ(book->edtIPAdd.Text(), std::string(25, '1'));
}

TEST_F(AddressBookTest, EntriesWithoutAnAddressAreSentAsTheyAre)
{
    Start("Printer Room\r\n");
    Click(book->btnAdd);  // both fields empty
    EXPECT_EQ(book->ListBox1.Items(), (std::vector<std::string>{" <>", "Printer Room"}));
    SendEntry(" <>");
    EXPECT_EQ(frmFilePortal->Edit1.Text(), "");
    SendEntry("Printer Room");
    EXPECT_EQ(frmFilePortal->Edit1.Text(), "Printer Room");
}

TEST_F(AddressBookTest, EntriesAreSortedWithoutRegardToCaseAndSavedSoAtTheEnd)
{
    Start("delta <4>\n");
    Add("bravo", "2");
    Add("Alpha", "1");
    Add("Charlie", "3");
    Add("alpha", "0");
    const std::vector<std::string> sorted{"alpha <0>", "Alpha <1>", "bravo <2>", "Charlie <3>", "delta <4>"};
    std::vector<std::string> items = book->ListBox1.Items();
    // Equal but for case, the two alphas may stand either way round.
    if (items.size() > 1 && items[0] == "Alpha <1>")
        std::swap(items[0], items[1]);
    EXPECT_EQ(items, sorted);
    const std::vector<std::string> listed = book->ListBox1.Items();

    // Delete asks; No keeps the entry, Yes removes it.
    book->ListBox1.SetItemIndex(2);
    prompts.answers = {winui::MessageResult::No, winui::MessageResult::Yes};
    Click(book->btnDelete);
    EXPECT_EQ(book->ListBox1.Count(), 5);
    Click(book->btnDelete);
    EXPECT_EQ(book->ListBox1.Count(), 4);
    EXPECT_EQ(prompts.shown.back().text, "Delete selected Address?");
    EXPECT_EQ(::GetFocus(), book->edtName.Handle());

    Restart();  // the end of the run
    std::string expected;
    for (const std::string& entry : listed)
        if (entry != "bravo <2>")
            expected += entry + "\r\n";
    EXPECT_EQ(FileContent(ProgramFile("IPAddress.dat")), expected);
}

TEST_F(AddressBookTest, AMissingFileIsSaidAtStartAndWrittenAtTheEnd)
{
    Start(nullptr);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, winui::MessageKind::Error);
    EXPECT_EQ(prompts.shown[0].text, "File [IPAddress.dat] not Found.");
    EXPECT_EQ(book->ListBox1.Count(), 0);
    Restart();
    EXPECT_EQ(FileContent(ProgramFile("IPAddress.dat")), "");
}

TEST_F(AddressBookTest, AFileThatCouldNotBeTakenAsTheBookIsNotOverwrittenAtTheEnd)
{
    const std::string held = "Kept <1.2.3.4>\r\n";
    WriteFile(ProgramFile("IPAddress.dat"), held);
    {
        // Another program holds the file, sharing nothing, while Tessaly starts.
        winui::FileHandle holder(::CreateFileA(ProgramFile("IPAddress.dat").c_str(), GENERIC_READ, 0, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holder);
        StartForms();
    }
    ExpectKeptAsItWas(held);

    // Saved as UTF-16: each entry would be cut at its first NUL byte.
    std::string utf16 = "\xFF\xFE";
    for (const char c : std::string("Kept <1.2.3.4>\r\nLab <10.0.0.5>\r\n"))
        utf16 += {c, '\0'};
    WriteFile(ProgramFile("IPAddress.dat"), utf16);
    prompts.shown.clear();
    StartForms();
    ExpectKeptAsItWas(utf16);
}

TEST_F(AddressBookTest, ASaveThatFailsIsSaidAndKeepsTheOldFile)
{
    Start("Old <1.1.1.1>\r\n");
    Add("New", "2.2.2.2");
    {
        // Another program holds the file: it cannot be replaced.
        winui::FileHandle held(::CreateFileA(ProgramFile("IPAddress.dat").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        Restart();
    }
    ASSERT_FALSE(prompts.shown.empty());
    EXPECT_EQ(prompts.shown.back().kind, winui::MessageKind::Error);
    EXPECT_EQ(prompts.shown.back().text.rfind("The address book could not be saved to ", 0), 0u);
    EXPECT_EQ(FileContent(ProgramFile("IPAddress.dat")), "Old <1.1.1.1>\r\n");
    // And no file of the attempt is left beside it.
    WIN32_FIND_DATAA found{};
    const HANDLE search = ::FindFirstFileA(ProgramFile("lst*.tmp").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE);
    if (search != INVALID_HANDLE_VALUE)
        ::FindClose(search);
}

namespace {

bool discoveryShown = false;
int ticksLeft = 0;

// The window shows once its search is over (the local network is given
// its time to answer): until then, and for at most five seconds, this
// waits for it.
void CALLBACK CloseTheDiscoveryWindow(HWND, UINT, UINT_PTR id, DWORD)
{
    if (!frmNetworkClients->Visible() && --ticksLeft > 0)
        return;
    ::KillTimer(nullptr, id);
    discoveryShown = frmNetworkClients->Visible() && !::IsWindowEnabled(frmAddressList->Handle());
    frmNetworkClients->Close();
}

}  // namespace

TEST_F(AddressBookTest, WhosOnlineShowsTheDiscoveryWindowAsADialog)
{
    Start("");
    ticksLeft = 100;
    ::SetTimer(nullptr, 0, 50, CloseTheDiscoveryWindow);
    Click(book->btnWho);
    EXPECT_TRUE(discoveryShown);
    EXPECT_FALSE(frmNetworkClients->Visible());
}

TEST_F(AddressBookTest, ShowingTheBookSelectsTheFirstEntryWhenNoneIs)
{
    Start("b <2>\r\na <1>\r\n");
    book->Hide();
    book->ListBox1.SetItemIndex(-1);
    Form1->Show();
    winui::ProcessMessages();
    book->Show();
    winui::ProcessMessages();
    EXPECT_EQ(book->ListBox1.ItemIndex(), 0);
    EXPECT_EQ(book->ListBox1.Item(0), "a <1>");
}
