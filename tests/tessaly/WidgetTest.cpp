// The widget window as the user meets it: its tree, placement, settings and commands.
#include "TessalyFixture.h"

#include "tessaly/AddressList.h"
#include "tessaly/FilePortal.h"
#include "winui/SettingsFile.h"

#include <objbase.h>
#include <shlobj.h>

using namespace testing_support;

namespace {

COLORREF PixelOf(winui::Window& window, int x, int y)
{
    HDC screen = ::GetDC(nullptr);
    winui::MemoryDc dc(::CreateCompatibleDC(screen));
    winui::BitmapHandle bitmap(::CreateCompatibleBitmap(screen, window.Width(), window.Height()));
    ::ReleaseDC(nullptr, screen);
    winui::ScopedSelect select(dc.Get(), bitmap.Get());
    ::SendMessageA(window.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
    return ::GetPixel(dc.Get(), x, y);
}

// Lets the test's windows receive what the platform sends them (activation
// across processes arrives through sent messages) until `window` is the
// foreground window and has stayed so for a while: under Wine the X server's
// focus events trail the activation and may still move it.
bool WaitForForeground(HWND window)
{
    int steady = 0;
    for (int waited = 0; waited < 5000 && steady < 300; waited += 10) {
        winui::ProcessMessages();
        steady = ::GetForegroundWindow() == window ? steady + 10 : 0;
        ::Sleep(10);
    }
    return steady >= 300;
}

// The user brings a window to the front, as by clicking it.
bool Activate(HWND window)
{
    ::SetForegroundWindow(window);
    return WaitForForeground(window);
}

// Another program on the user's desktop, with one window of its own.
class OtherProgram {
public:
    OtherProgram()
    {
        const std::string exe = winui::ProgramFolder() + "OtherProgram.exe";
        std::string commandLine = "\"" + exe + "\"";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        if (!::CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &started)) {
            ADD_FAILURE() << "cannot start " << exe;
            return;
        }
        process_.Reset(started.hProcess);
        winui::KernelHandle thread(started.hThread);
        ::WaitForInputIdle(process_.Get(), 10000);
        for (int waited = 0; !window_ && waited < 10000; waited += 20) {
            ::EnumThreadWindows(started.dwThreadId, &FindVisible, reinterpret_cast<LPARAM>(&window_));
            if (!window_)
                ::Sleep(20);
        }
        if (!window_)
            ADD_FAILURE() << "the other program shows no window";
    }
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;
    ~OtherProgram()
    {
        if (!process_)
            return;
        if (window_)
            ::PostMessageA(window_, WM_CLOSE, 0, 0);
        if (::WaitForSingleObject(process_.Get(), 5000) != WAIT_OBJECT_0)
            ::TerminateProcess(process_.Get(), 1);
    }
    HWND Window() const { return window_; }

private:
    static BOOL CALLBACK FindVisible(HWND window, LPARAM found)
    {
        if (!::IsWindowVisible(window))
            return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }

    winui::KernelHandle process_;
    HWND window_ = nullptr;
};

// Shows the platform's real message box and answers it a moment later, as
// the user would.
class AnsweredMessageBoxes final : public winui::Prompts {
public:
    winui::MessageResult Show(HWND owner, const std::string& caption, winui::MessageKind kind, const std::string& text,
                              winui::MessageButtons buttons) override
    {
        shown.push_back(text);
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, &Answer);
        const winui::MessageResult result = winui::PlatformPrompts().Show(owner, caption, kind, text, buttons);
        ::KillTimer(nullptr, timer);
        return result;
    }
    std::vector<std::string> shown;

private:
    static void CALLBACK Answer(HWND, UINT, UINT_PTR, DWORD)
    {
        // While the box shows it is the thread's active window.
        const HWND box = ::GetActiveWindow();
        char className[16] = {};
        ::GetClassNameA(box, className, sizeof className);
        if (std::string(className) == "#32770")
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
};

// Takes COM away from the thread (every initialisation it holds, the
// program's and the shell's), so that no COM object can be made, and gives
// it back as it was.
class ComWithdrawn {
public:
    ComWithdrawn()
    {
        while (Initialised() && withdrawn_ < 16) {
            ::CoUninitialize();
            ++withdrawn_;
        }
    }
    ComWithdrawn(const ComWithdrawn&) = delete;
    ComWithdrawn& operator=(const ComWithdrawn&) = delete;
    ~ComWithdrawn()
    {
        for (; withdrawn_ > 0; --withdrawn_)
            ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    }

private:
    static bool Initialised()
    {
        APTTYPE type{};
        APTTYPEQUALIFIER qualifier{};
        return ::CoGetApartmentType(&type, &qualifier) != CO_E_NOTINITIALIZED;
    }

    int withdrawn_ = 0;
};

}  // namespace

class WidgetTest : public TessalyTest {};

TEST_F(WidgetTest, PanelsAreLaidOutAsDesigned)
{
    StartForms();
    ShowWidget();
    EXPECT_EQ(PixelOf(Form1->RbPanel1, 5, 28), RGB(0, 0x8C, 0));
    EXPECT_EQ(Form1->RbPanel1.Bounds().top, 360);
    EXPECT_TRUE(Form1->RbPanel1.Visible());
}
namespace {

std::string IniValue(const std::string& path, const char* section, const char* key)
{
    char value[64] = {};
    ::GetPrivateProfileStringA(section, key, "(none)", value, sizeof value, path.c_str());
    return value;
}

}  // namespace

TEST_F(WidgetTest, WindowIsAFramelessTranslucentTopmostWidgetWithoutTaskbarButton)
{
    StartForms();
    ShowWidget();
    const HWND widget = Form1->Handle();
    EXPECT_EQ(Form1->ClientWidth(), 178);
    EXPECT_EQ(Form1->ClientHeight(), 417);
    EXPECT_EQ(Form1->Width(), 178);  // no frame
    const LONG style = ::GetWindowLongA(widget, GWL_STYLE);
    const LONG exStyle = ::GetWindowLongA(widget, GWL_EXSTYLE);
    EXPECT_FALSE(style & WS_CAPTION);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(widget, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 220);
    EXPECT_TRUE(flags & LWA_ALPHA);
    // Owned by the application's hidden window, so it gets no taskbar button.
    EXPECT_EQ(::GetWindow(widget, GW_OWNER), app->Handle());
    EXPECT_FALSE(::IsWindowVisible(app->Handle()));
    EXPECT_EQ(::GetForegroundWindow(), widget);
    EXPECT_EQ(::GetFocus(), Form1->ListBox1.Handle());

    // Only the widget of the five windows is shown.
    EXPECT_FALSE(frmFilePortal->Visible());
    EXPECT_EQ(frmFilePortal->ClientWidth(), 178);
    EXPECT_EQ(frmFilePortal->ClientHeight(), 417);
}

TEST_F(WidgetTest, PanelsButtonsAndListAreLaidOutAsDesigned)
{
    StartForms();
    ShowWidget();
    auto bounds = [](const winui::Window& w) {
        const winui::Rect r = w.Bounds();
        return std::vector<int>{r.left, r.top, r.width, r.height};
    };
    EXPECT_EQ(bounds(Form1->RbPanel3), (std::vector<int>{0, 0, 178, 30}));
    EXPECT_EQ(bounds(Form1->RbPanel2), (std::vector<int>{0, 30, 178, 330}));
    EXPECT_EQ(bounds(Form1->ListBox1), (std::vector<int>{4, 5, 170, 320}));
    EXPECT_EQ(bounds(Form1->RbPanel1), (std::vector<int>{0, 360, 178, 57}));
    EXPECT_EQ(::SendMessageA(Form1->ListBox1.Handle(), LB_GETITEMHEIGHT, 0, 0), 21);
    const LONG listStyle = ::GetWindowLongA(Form1->ListBox1.Handle(), GWL_STYLE);
    EXPECT_TRUE(listStyle & LBS_SORT);
    EXPECT_TRUE(listStyle & LBS_OWNERDRAWFIXED);
    EXPECT_TRUE(listStyle & LBS_HASSTRINGS);
    EXPECT_FALSE(listStyle & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL));

    EXPECT_EQ(bounds(Form1->SpeedButton1), (std::vector<int>{2, 2, 17, 17}));
    EXPECT_EQ(Form1->SpeedButton1.Caption(), "<");
    EXPECT_EQ(Form1->SpeedButton1.Hint(), "Open File Portal");
    EXPECT_EQ(bounds(Form1->SpeedButton10), (std::vector<int>{159, 2, 17, 17}));
    EXPECT_EQ(Form1->SpeedButton10.Hint(), "Close");
    const std::vector<std::pair<winui::SpeedButton*, std::vector<int>>> glyphButtons{
        {&Form1->SpeedButton3, {77, 6, 23, 22}},  {&Form1->SpeedButton2, {8, 30, 23, 22}},
        {&Form1->SpeedButton4, {31, 30, 23, 22}}, {&Form1->SpeedButton5, {54, 30, 23, 22}},
        {&Form1->SpeedButton7, {77, 30, 23, 22}}, {&Form1->SpeedButton8, {100, 30, 23, 22}},
        {&Form1->SpeedButton9, {123, 30, 23, 22}}, {&Form1->SpeedButton6, {146, 30, 23, 22}}};
    for (const auto& [button, expected] : glyphButtons) {
        EXPECT_EQ(bounds(*button), expected);
        EXPECT_EQ(::GetParent(button->Handle()), Form1->RbPanel1.Handle());
    }

    // Title bar: a double vertical gradient with the from colour in the middle row.
    EXPECT_EQ(PixelOf(Form1->RbPanel3, 3, 15), RGB(0x10, 0x84, 0xD0));
    EXPECT_EQ(PixelOf(Form1->RbPanel3, 0, 10), RGB(0x80, 0x80, 0x80));
    EXPECT_EQ(PixelOf(Form1->RbPanel1, 60, 28), RGB(0, 0x8C, 0));
}

TEST_F(WidgetTest, ContextMenuHoldsTheCommandsInOrder)
{
    StartForms();
    std::vector<std::string> captions;
    for (const winui::MenuItem* item : Form1->PopupMenu1.Items())
        captions.push_back(item->Caption());
    EXPECT_EQ(captions, (std::vector<std::string>{"List All Recent Documents", "List Only", "-",
                                                  "Close on Document Open", "-", "Document Properties...",
                                                  "Clear All from List", "-", "Refresh Contents", "Default Position",
                                                  "-", "Close"}));
    captions.clear();
    for (const winui::MenuItem* item : Form1->ListOnly1.Items())
        captions.push_back(item->Caption());
    EXPECT_EQ(captions, (std::vector<std::string>{"Rich Documents", "Text Documents", "Morvel Office Documents", "-",
                                                  "Graphic Files", "Music Files", "Movie Files"}));
    EXPECT_EQ(Form1->ListBox1.GetPopupMenu(), &Form1->PopupMenu1);
    EXPECT_EQ(Form1->RbPanel3.GetPopupMenu(), &Form1->PopupMenu1);
    EXPECT_EQ(Form1->RbPanel1.GetPopupMenu(), &Form1->PopupMenu1);
}

TEST_F(WidgetTest, FirstRunPlacesTheWidgetAndOnlyExitStoresThePosition)
{
    StartForms();
    ShowWidget();
    EXPECT_EQ(Form1->Left(), 1366 - 178 - 20);
    EXPECT_EQ(Form1->Top(), 255);  // 768 x 0.333333333333, truncated
    EXPECT_EQ(IniValue(ProgramFile("Larkspan.ini"), "Tessaly", "Left Side"), "(none)");

    Form1->MoveTo(300, 120);  // as after a drag
    app.reset();
    EXPECT_EQ(IniValue(ProgramFile("Larkspan.ini"), "Tessaly", "Left Side"), "300");
    EXPECT_EQ(IniValue(ProgramFile("Larkspan.ini"), "Tessaly", "Top Side"), "120");

    // The next start uses the stored place.
    Restart();
    StartForms();
    ShowWidget();
    EXPECT_EQ(Form1->Left(), 300);
    EXPECT_EQ(Form1->Top(), 120);
}

TEST_F(WidgetTest, ActivationFromAnotherWindowOfTheProgramPutsTheWidgetBack)
{
    StartForms();
    ShowWidget();
    Form1->MoveTo(500, 400);  // dragged
    EXPECT_EQ(frmFilePortal->Left(), 500 - 178);
    frmAddressList->Show();
    winui::ProcessMessages();
    ::SetActiveWindow(Form1->Handle());
    winui::ProcessMessages();
    EXPECT_EQ(Form1->Left(), 1168);
    EXPECT_EQ(Form1->Top(), 255);
    // The portal follows every move, also while hidden.
    EXPECT_EQ(frmFilePortal->Left(), 1168 - 178);
    EXPECT_EQ(frmFilePortal->Top(), 255);
}

TEST_F(WidgetTest, ActivationCountsOnlyChangesOfTheProgramsActiveForm)
{
    StartForms();
    ShowWidget();
    OtherProgram other;
    ASSERT_TRUE(other.Window());

    // Straight back from another program: the widget stays where it was dragged.
    Form1->MoveTo(500, 400);
    ASSERT_TRUE(Activate(other.Window()));
    ASSERT_TRUE(Activate(Form1->Handle()));
    EXPECT_EQ(Form1->Left(), 500);
    EXPECT_EQ(Form1->Top(), 400);
    EXPECT_EQ(::GetFocus(), Form1->ListBox1.Handle());  // the keys still reach the list

    // Back through another window of the program: the widget's activation
    // runs, so it returns to its stored place and its list takes the focus.
    ASSERT_TRUE(Activate(other.Window()));
    frmFilePortal->Show();
    ASSERT_TRUE(WaitForForeground(frmFilePortal->Handle()));
    ASSERT_TRUE(Activate(Form1->Handle()));
    EXPECT_EQ(Form1->Left(), 1168);
    EXPECT_EQ(Form1->Top(), 255);
    EXPECT_EQ(::GetFocus(), Form1->ListBox1.Handle());

    // Back from a message box, which is gone by the time the widget activates.
    AnsweredMessageBoxes boxes;
    app->SetPrompts(&boxes);
    Form1->MoveTo(500, 400);
    ChooseMenu(Form1->DocumentsProp1);
    app->SetPrompts(&prompts);
    ASSERT_TRUE(WaitForForeground(Form1->Handle()));
    EXPECT_EQ(boxes.shown, std::vector<std::string>{"No Document Selected."});
    EXPECT_EQ(Form1->Left(), 1168);
    EXPECT_EQ(Form1->Top(), 255);

    // From another program straight to the widget, the portal having been
    // the program's active form when the user left: a change all the same.
    ASSERT_TRUE(Activate(frmFilePortal->Handle()));
    Form1->MoveTo(500, 400);
    ASSERT_TRUE(Activate(other.Window()));
    ASSERT_TRUE(Activate(Form1->Handle()));
    EXPECT_EQ(Form1->Left(), 1168);
    EXPECT_EQ(Form1->Top(), 255);
}

TEST_F(WidgetTest, PortalButtonDocksThePortalFlushLeft)
{
    StartForms();
    ShowWidget();
    ClickControl(Form1->SpeedButton1.Handle());
    EXPECT_TRUE(frmFilePortal->Visible());
    EXPECT_EQ(frmFilePortal->Left(), 1168 - 178);
    EXPECT_EQ(frmFilePortal->Top(), 255);
}

TEST_F(WidgetTest, CloseOnDocumentOpenSurvivesARestart)
{
    StartForms();
    EXPECT_FALSE(Form1->CloseonDocumentOpen1.Checked());
    ChooseMenu(Form1->CloseonDocumentOpen1);
    EXPECT_TRUE(Form1->CloseonDocumentOpen1.Checked());
    EXPECT_EQ(IniValue(ProgramFile("Larkspan.ini"), "Recent Documents", "Value"), "1");

    Restart();
    StartForms();
    EXPECT_TRUE(Form1->CloseonDocumentOpen1.Checked());
    ChooseMenu(Form1->CloseonDocumentOpen1);
    EXPECT_EQ(IniValue(ProgramFile("Larkspan.ini"), "Recent Documents", "Value"), "0");
}

TEST_F(WidgetTest, PortalAddressIsReadOnceAtCreation)
{
    winui::SettingsFile(ProgramFile("Larkspan.ini")).WriteString("File Portal Address", "Value", "10.1.2.3");
    StartForms();
    EXPECT_EQ(Form1->PortalAddress, "10.1.2.3");
    RemoveFile(ProgramFile("Larkspan.ini"));
    Restart();
    StartForms();
    EXPECT_EQ(Form1->PortalAddress, "127.0.0.1");
}

TEST_F(WidgetTest, OpeningUsesTheShellAndTheEnterRule)
{
    AddRecent("Report.doc");
    StartForms();
    ShowWidget();
    ASSERT_EQ(Items().size(), 1u);
    // With one item Enter does nothing; a double click opens.
    PressKey(Form1->ListBox1.Handle(), VK_RETURN);
    EXPECT_TRUE(shell.opened.empty());
    DoubleClickItem(0);
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], "C:\\docs\\Report.doc");

    AddRecent("Song.mp3");
    ChooseMenu(Form1->RefreshContents1);
    PressKey(Form1->ListBox1.Handle(), VK_RETURN);
    ASSERT_EQ(shell.opened.size(), 2u);
    EXPECT_EQ(shell.opened[1], "C:\\docs\\Report.doc");  // item 0 is selected after the rebuild
    EXPECT_FALSE(app->Terminated());
}

TEST_F(WidgetTest, OpeningWithoutSelectionSaysSo)
{
    StartForms();
    ShowWidget();
    ::SendMessageA(Form1->RbPanel2.Handle(), WM_COMMAND, MAKEWPARAM(0, LBN_DBLCLK),
                   reinterpret_cast<LPARAM>(Form1->ListBox1.Handle()));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, winui::MessageKind::Information);
    EXPECT_EQ(prompts.shown[0].text, "No Document Selected.");
    EXPECT_TRUE(shell.opened.empty());
}

TEST_F(WidgetTest, ShortcutThatCannotBeReadSaysNoDocumentSelected)
{
    AddRecent("Report.doc");
    AddRecent("Song.mp3");
    StartForms();
    ShowWidget();
    ClickItem(IndexOf("Song.mp3.lnk"));
    const std::string properties = Form1->PropertiesText();
    ASSERT_EQ(Form1->SelectedDocumentPath, "C:\\docs\\Song.mp3");

    {
        ComWithdrawn noCom;
        winui::ComPtr<IShellLinkA> link;
        ASSERT_HRESULT_FAILED(
            ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.PutVoid()));
        ClickItem(IndexOf("Report.doc.lnk"));
        DoubleClickItem(IndexOf("Report.doc.lnk"));
    }

    // Selecting says nothing and keeps the last text; opening says so.
    EXPECT_EQ(Form1->PropertiesText(), properties);
    EXPECT_EQ(Form1->SelectedDocumentPath, "C:\\docs\\Song.mp3");
    EXPECT_TRUE(shell.opened.empty());
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, winui::MessageKind::Information);
    EXPECT_EQ(prompts.shown[0].text, "No Document Selected.");
}

TEST_F(WidgetTest, CloseOnDocumentOpenEndsTheProgramAndStoresThePosition)
{
    AddRecent("Report.doc");
    StartForms();
    ShowWidget();
    ChooseMenu(Form1->CloseonDocumentOpen1);
    DoubleClickItem(0);
    EXPECT_EQ(shell.opened.size(), 1u);
    EXPECT_TRUE(app->Terminated());
    EXPECT_TRUE(TakeQuitMessage());
    app.reset();
    EXPECT_EQ(IniValue(ProgramFile("Larkspan.ini"), "Tessaly", "Left Side"), "1168");
}

TEST_F(WidgetTest, CloseButtonEndsTheProgram)
{
    StartForms();
    ShowWidget();
    ClickControl(Form1->SpeedButton10.Handle());
    EXPECT_TRUE(app->Terminated());
}

TEST_F(WidgetTest, ClearAllEmptiesTheRecentFolderButKeepsTheListFiles)
{
    AddRecent("Report.doc");
    AddRecent("Song.mp3");
    WriteSiblingLists("C:\\Work\\Budget.vts", "");
    StartForms();
    ShowWidget();
    ASSERT_EQ(Items().size(), 3u);
    ChooseMenu(Form1->ClearAllfromList1);
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[0].kind, winui::MessageKind::Confirmation);
    EXPECT_EQ(prompts.shown[0].text, "Clear Recent Documents List?");
    EXPECT_EQ(prompts.shown[0].buttons, winui::MessageButtons::YesNo);
    EXPECT_EQ(prompts.shown[1].kind, winui::MessageKind::Information);
    EXPECT_EQ(prompts.shown[1].text, "Recent Documents List Has Been Cleared.");
    EXPECT_EQ(Items(), (std::vector<std::string>{"C:\\Work\\Budget.vts"}));
    EXPECT_EQ(::GetFileAttributesA((RecentFolder() + "\\Report.doc.lnk").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(WidgetTest, AnsweringNoStillRebuildsTheList)
{
    AddRecent("Report.doc");
    AddRecent("Song.mp3");
    StartForms();
    ShowWidget();
    ChooseMenu(Form1->MusicFiles1);
    ASSERT_EQ(Items().size(), 1u);
    prompts.answers.push_back(winui::MessageResult::No);
    ChooseMenu(Form1->ClearAllfromList1);
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(Items().size(), 2u);
    EXPECT_NE(::GetFileAttributesA((RecentFolder() + "\\Report.doc.lnk").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(WidgetTest, DefaultPositionRebuildsWithoutSelectionOrMove)
{
    AddRecent("Report.doc");
    StartForms();
    ShowWidget();
    ChooseMenu(Form1->MusicFiles1);
    Form1->MoveTo(40, 50);
    ChooseMenu(Form1->DefaultPosition1);
    EXPECT_EQ(Form1->Left(), 40);
    EXPECT_EQ(Form1->Top(), 50);
    EXPECT_EQ(Items(), (std::vector<std::string>{"Report.doc.lnk"}));
    EXPECT_EQ(Form1->ListBox1.ItemIndex(), -1);
}

TEST_F(WidgetTest, MissingListFileAtStartUpReportsOnceAndStillShows)
{
    RemoveFile(ProgramFile("SumvexFileList.dat"));
    RemoveFile(ProgramFile("QuilloFileList.dat"));
    AddRecent("Report.doc");
    StartForms();
    ShowWidget();
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, winui::MessageKind::Error);
    EXPECT_EQ(prompts.shown[0].text, "Cannot open file " + ProgramFile("SumvexFileList.dat"));
    EXPECT_TRUE(Form1->Visible());
    EXPECT_TRUE(Items().empty());  // the scan after the failed file did not run
    EXPECT_FALSE(Form1->ListBox1.Updating());
}

TEST_F(WidgetTest, ClearAllSaysSoWhenAShortcutCannotBeRemoved)
{
    AddRecent("Report.doc");
    StartForms();
    ShowWidget();
    // Another program holds the shortcut open without sharing deletion.
    winui::FileHandle held(::CreateFileA((RecentFolder() + "\\Report.doc.lnk").c_str(), GENERIC_READ, 0, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    ChooseMenu(Form1->ClearAllfromList1);
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[1].kind, winui::MessageKind::Warning);
    EXPECT_EQ(prompts.shown[1].text, "Some recent documents could not be removed from the list.");
    EXPECT_EQ(Items(), (std::vector<std::string>{"Report.doc.lnk"}));
}
