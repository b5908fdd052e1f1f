#include "FilePortal.h"

#include "Main.h"
#include "PanelDesigns.h"

#include "core/ReceivedNames.h"
#include "winui/Application.h"
#include "winui/SettingsFile.h"

#include <initializer_list>
#include <vector>

using namespace winui;
using tessaly::Received;

TfrmFilePortal* frmFilePortal = nullptr;

namespace {

constexpr char helpText[] =
    "This is a short help tutorial.\r\n\r\n"
    "There are three ways in transfering files and documents with the Portal:\r\n"
    "1. Simply Drag and Drop a document or file onto the drop zone\r\n"
    "2. Double click on the Drag and Drop zone to open a Windows dialog box\r\n"
    "3. Right click on the Drop zone to open a pop-up menu.\r\n\r\n"
    "Method two and three allows multiple file selections for file transfer.\r\n\r\n"
    "Please Take Note:\r\n"
    "Folders cannot be transfered over the Portal. If you wish to do so,\r\n"
    "simply zip the folder into a zip file.";

FormDesign PortalDesign()
{
    FormDesign d;
    d.clientWidth = 178;
    d.clientHeight = 417;
    d.stayOnTop = true;
    d.alpha = 220;
    d.font = FontSpec().Face("MS Sans Serif").Height(-11);
    return d;
}

FontSpec ZoneFont()
{
    return FontSpec().Face("Arial").Height(-21).Bold().Color(clSilver);
}

}  // namespace

TfrmFilePortal::TfrmFilePortal(const std::string& preferredFolder)
    : Form(PortalDesign()),
      receivedFiles_(tessaly::ChooseReceiveFolder(preferredFolder))
{
    OnCreate = [this] { FormCreate(); };
    OnShow = [this] { FormShow(); };
    OnClose = [this] { FormClose(); };
}

TfrmFilePortal::~TfrmFilePortal() = default;

void TfrmFilePortal::CreateComponents()
{
    RbPanel1.Create(Handle(), tessaly::TitleBar("File Portal"));

    CreateDropZone();
    CreateReceivedList();
    CreateButtonBar();
    CreateSender();
    CreateReceiver();
    CreateMenu();

    // The Delete key clears the list from the drop zone, the list, its
    // panel and the button bar.
    for (winui::Window* control : std::initializer_list<winui::Window*>{&RbPanel2, &ListBox1, &RbPanel4, &RbPanel3})
        control->OnKeyDown = [this](WORD& key) { RbPanel4KeyDown(key); };
}

void TfrmFilePortal::CreateMenu()
{
    SendFromOpenDialog1.OnClick = [this] { SendFromOpenDialog1Click(); };
    ClearFilesReceivedList1.OnClick = [this] { ClearFilesReceivedList1Click(); };
    PopupMenu1.SetItems({&SendFromOpenDialog1, &N1, &ClearFilesReceivedList1});
    // The widget's menu icons and look.
    if (Form1) {
        menuDrawing_.emplace(Form1->ImageList2);
        PopupMenu1.SetPainter(&*menuDrawing_);
    }
    AddMenu(PopupMenu1);
    RbPanel2.SetPopupMenu(&PopupMenu1);
}

void TfrmFilePortal::CreateDropZone()
{
    RbPanel2.Create(Handle(), tessaly::WhitePanel({0, 30, 178, 163}));
    const HWND zone = RbPanel2.Handle();
    Label2.Create(zone, {{13, 8, 151, 13}, "I.P. Address or Host Name", FontSpec().Height(-11).Bold().Color(clGray)});
    Edit1.Create(zone, {{13, 24, 130, 16}, "127.0.0.1", FontSpec().Height(-11).Color(clGray), clWhite});
    SpeedButtonDesign more;
    more.bounds = {146, 24, 17, 16};
    more.caption = "...";
    more.font = FontSpec().Height(-11).Bold().Color(13500416);
    more.flat = false;
    SpeedButton4.Create(zone, more);
    SpeedButton4.OnClick = [this] { SpeedButton4Click(); };
    Label1.Create(zone, {{7, 60, 162, 32}, "Drag and Drop", ZoneFont(), TextAlignment::Center, false});
    Label3.Create(zone, {{7, 92, 162, 45}, "Zone", ZoneFont(), TextAlignment::Center, false});
    lblCom.Create(zone, {{16, 136, 0, 0}, "Ready...", FontSpec().Face("Arial").Height(-13).Bold().Color(clSilver)});
    for (winui::Window* target : std::initializer_list<winui::Window*>{&RbPanel2, &Label1, &Label3}) {
        target->OnDragOver = [this](Window& source, POINT) { return RbPanel2DragOver(source); };
        target->OnDragDrop = [this](Window& source, POINT) { RbPanel2DragDrop(source); };
    }
    Label1.OnDblClick = [this] { Label1DblClick(); };
    Label3.OnDblClick = [this] { Label1DblClick(); };
}

void TfrmFilePortal::CreateReceivedList()
{
    RbPanelDesign panel = tessaly::WhitePanel({0, 193, 178, 167});
    panel.captionPosition = cpTopCenter;
    RbPanel4.Create(Handle(), panel);
    Label4.Create(RbPanel4.Handle(), {{45, 8, 85, 13}, "Files Received", FontSpec().Height(-11).Bold().Color(clGray)});
    ListBoxDesign list;
    list.bounds = {5, 24, 169, 137};
    list.multiSelect = true;
    list.itemHeight = 21;
    list.dragSource = true;
    list.itemTips = true;  // the whole path of an entry drawn shortened
    list.color = clWhite;
    list.font = FontSpec().Face("Arial").Height(-13).Color(clGray);
    ListBox1.Create(RbPanel4.Handle(), list);
    ListBox1.OnDrawItem = [this](const DrawItemArgs& item) { ListBox1DrawItem(item); };
    ListBox1.OnDblClick = [this] { ListBox1DblClick(); };
}

void TfrmFilePortal::CreateButtonBar()
{
    RbPanelDesign bar = tessaly::GradientBar({0, 360, 178, 57}, tessaly::barGreenFrom, tessaly::barGreenTo);
    bar.showCaption = false;
    RbPanel3.Create(Handle(), bar);

    SpeedButtonDesign help;
    help.bounds = {2, 2, 17, 17};
    help.caption = "?";
    help.font = FontSpec().Height(-13).Bold().Color(clYellow);
    SpeedButton5.Create(RbPanel3.Handle(), help);
    SpeedButton5.OnClick = [this] { SpeedButton5Click(); };
    SpeedButtonDesign close;
    close.bounds = {159, 2, 17, 17};
    close.caption = ">";
    close.font = FontSpec().Height(-13).Bold().Color(clRed);
    close.hint = "Close File Portal";
    close.showHint = true;
    SpeedButton1.Create(RbPanel3.Handle(), close);
    SpeedButton1.OnClick = [this] { SpeedButton1Click(); };
    SpeedButtonDesign move;
    move.bounds = {24, 18, 65, 22};
    move.caption = "Move";
    move.font = FontSpec().Height(-11).Color(clWhite);
    move.glyphResource = "GLYPH_MOVE";
    move.spacing = 6;
    SpeedButton2.Create(RbPanel3.Handle(), move);
    SpeedButton2.OnClick = [this] { SpeedButton2Click(); };
    SpeedButtonDesign remove = move;
    remove.bounds = {89, 18, 65, 22};
    remove.caption = "Delete";
    remove.glyphResource = "GLYPH_DELETE";
    remove.spacing = 4;
    SpeedButton3.Create(RbPanel3.Handle(), remove);
    SpeedButton3.OnClick = [this] { SpeedButton3Click(); };
}

// ---- Window handlers ---------------------------------------------------------

void TfrmFilePortal::FormCreate()
{
    // Shell drops anywhere on the window come to WMDropFiles.
    ::DragAcceptFiles(Handle(), TRUE);
}

void TfrmFilePortal::FormShow()
{
    if (Form1)
        Edit1.SetText(Form1->PortalAddress);
}

void TfrmFilePortal::FormClose()
{
    SettingsFile::Larkspan().WriteString("File Portal Address", "Value", Edit1.Text());
}

void TfrmFilePortal::SpeedButton1Click()
{
    Close();
}

void TfrmFilePortal::SpeedButton5Click()
{
    Application::Instance().MessageBox(MessageKind::Plain, helpText);
}

void TfrmFilePortal::ListBox1DrawItem(const DrawItemArgs& item)
{
    tessaly::DrawItemBackground(item.dc, item.rect, item.selected);
    ScopedSelect font(item.dc, ListBox1.FontHandle());
    ::SetTextColor(item.dc, RGB(0, 0, 0));
    ::SetBkMode(item.dc, TRANSPARENT);
    RECT text{item.rect.left + 3, item.rect.top + 2, item.rect.right - 3, item.rect.bottom};
    const std::string entry = ListBox1.Item(item.index);
    // Received files share their folder, so a path too long for the list
    // gives up its middle and keeps the file name; a name too long by
    // itself is cut at its end. The item keeps the whole path (the drawing
    // works on a copy), and the tooltip shows it.
    ::DrawTextA(item.dc, entry.c_str(), static_cast<int>(entry.size()), &text,
                DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_END_ELLIPSIS | DT_NOPREFIX);
}

// ---- The received list ---------------------------------------------------------

namespace {

constexpr char selectFirst[] = "Please make a selection first.";

// What follows the last "\\" or ":" of an entry.
std::string EntryName(const std::string& entry, const larkspan::CodePage& codePage)
{
    return larkspan::portal::BareFileName(entry, codePage);
}

}  // namespace

bool TqenBrowseFolderDialog::Execute()
{
    const std::optional<std::string> folder = Application::Instance().ChooseFolder(Caption);
    if (!folder)
        return false;
    selectedFolder_ = *folder;
    return true;
}

void TfrmFilePortal::ListBox1DblClick()
{
    if (const int current = ListBox1.ItemIndex(); current >= 0 && current < ListBox1.Count())
        Application::Instance().OpenDocument(Handle(), ListBox1.Item(current));
}

void TfrmFilePortal::RbPanel4KeyDown(WORD& key)
{
    if (key != VK_DELETE)
        return;
    if (Application::Instance().MessageBox(MessageKind::Confirmation,
                                           "Clear ListBox?\r\n\r\nWill NOT DELETE Files Listed.",
                                           MessageButtons::YesNo) == MessageResult::Yes)
        ListBox1.Clear();
}

std::optional<std::vector<int>> TfrmFilePortal::ConfirmListCommand(const char* question)
{
    Application& app = Application::Instance();
    if (ListBox1.Count() == 0) {
        app.MessageBox(MessageKind::Information, selectFirst);
        return std::nullopt;
    }
    // The selection as the user sees it when asked: a file that arrives
    // while a box is open moves the selection, not what the command acts on.
    std::vector<int> selected = SelectedEntries();
    if (app.MessageBox(MessageKind::Confirmation, question, MessageButtons::YesNo) != MessageResult::Yes)
        return std::nullopt;
    return selected;
}

std::vector<int> TfrmFilePortal::SelectedEntries() const
{
    std::vector<int> selected;
    for (int i = 0; i < ListBox1.Count(); ++i)
        if (ListBox1.Selected(i))
            selected.push_back(i);
    return selected;
}

void TfrmFilePortal::SpeedButton3Click()
{
    Application& app = Application::Instance();
    try {
        const auto selected = ConfirmListCommand("Delete Selected File(s)?");
        if (!selected)
            return;
        std::vector<bool> gone(static_cast<std::size_t>(ListBox1.Count()));
        for (const int i : *selected) {
            const std::string entry = ListBox1.Item(i);
            const DWORD error = ::DeleteFileA(entry.c_str()) ? ERROR_SUCCESS : ::GetLastError();
            // An entry whose file is gone already leaves too; one that could
            // not be deleted is said so and keeps its entry.
            gone[static_cast<std::size_t>(i)] =
                error == ERROR_SUCCESS || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
            if (!gone[static_cast<std::size_t>(i)])
                app.MessageBox(MessageKind::Warning, "The file could not be deleted:\r\n" + entry);
        }
        std::vector<std::string> remaining;
        for (int i = 0; i < ListBox1.Count(); ++i)
            if (static_cast<std::size_t>(i) >= gone.size() || !gone[static_cast<std::size_t>(i)])
                remaining.push_back(ListBox1.Item(i));
        ListBox1.Assign(remaining);
    } catch (const std::exception&) {
        app.MessageBox(MessageKind::Information, selectFirst);
    }
}

void TfrmFilePortal::SpeedButton2Click()
{
    Application& app = Application::Instance();
    try {
        const auto selected = ConfirmListCommand("Move Selected File(s)?");
        if (!selected || !FolderDialog1.Execute())
            return;
        for (const int i : *selected) {
            const MoveResult result = MoveEntry(i, FolderDialog1.SelectedFolder());
            ListBox1.SetSelected(i, false);
            if (result == MoveResult::Moved)
                app.MessageBox(MessageKind::Information, "File has been moved succesfully.");
            else if (result == MoveResult::Cancelled)
                app.MessageBox(MessageKind::Information, "Selected file move cancelled.");
        }
    } catch (const std::exception&) {
        app.MessageBox(MessageKind::Information, selectFirst);
    }
}

TfrmFilePortal::MoveResult TfrmFilePortal::MoveEntry(int index, const std::string& folder)
{
    Application& app = Application::Instance();
    const std::string source = ListBox1.Item(index);
    // A drive's root ends with its separator already.
    const std::string target = (folder.ends_with('\\') ? folder : folder + "\\") + EntryName(source, codePage_);
    bool moved;
    if (::GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES) {
        moved = ::MoveFileA(source.c_str(), target.c_str()) != FALSE;
    } else {
        if (app.MessageBox(MessageKind::Warning, "File already exists. Overwrite File?", MessageButtons::YesNo) !=
            MessageResult::Yes)
            return MoveResult::Cancelled;
        // The source goes only once its copy stands.
        moved = ::CopyFileA(source.c_str(), target.c_str(), FALSE) && ::DeleteFileA(source.c_str());
    }
    // A move that failed is said so; the file stays, and so does its entry.
    if (!moved) {
        app.MessageBox(MessageKind::Warning, "The file could not be moved:\r\n" + source);
        return MoveResult::Failed;
    }
    ListBox1.Replace(index, target);
    return MoveResult::Moved;
}

LRESULT TfrmFilePortal::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == receivedMessage || (message == WM_TIMER && wParam == receivedTimer)) {
        received_.TakeDue([this](const Received& received) { ShowReceived(received); });
        return 0;
    }
    if (message == WM_TIMER && wParam == timer1) {
        RunGuarded([this] { Timer1Timer(); });
        return 0;
    }
    if (message == WM_DROPFILES) {
        WMDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    }
    if (message == notListeningMessage) {
        const std::string cause = wParam ? "port 6501 is in use by another program"
                                         : "no folder on this computer takes the files of this user";
        Application::Instance().MessageBox(MessageKind::Warning, "Files cannot be received: " + cause +
                                                                     ".\r\n\r\nReceiving is off; sending files still works.");
        return 0;
    }
    return Form::HandleMessage(message, wParam, lParam);
}
