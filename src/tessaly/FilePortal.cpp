#include "FilePortal.h"

#include "Main.h"
#include "OwnerDraw.h"

#include "core/ReceivedNames.h"
#include "winui/Application.h"
#include "winui/Handles.h"
#include "winui/SettingsFile.h"

#include <utility>
#include <vector>

using namespace winui;

TfrmFilePortal* frmFilePortal = nullptr;

namespace {

constexpr UINT receivedMessage = WM_APP + 20;
constexpr UINT_PTR timer1 = 1;

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

// The white, silver-rimmed panels of the drop zone and the received list.
RbPanelDesign WhitePanel(const Rect& bounds)
{
    RbPanelDesign p;
    p.bounds = bounds;
    p.color = clWhite;
    p.cornerWidth = 15;
    p.borderWidth = 3;
    p.borderColor = clSilver;
    p.outerColor = clSilver;
    p.antialiased = true;
    p.gradient = false;
    p.defaultFrom = clWhite;
    p.defaultTo = RgbHex(0xDFDFE3);
    p.gradientType = gtVertical;
    p.textShadow = true;
    p.showCaption = false;
    p.font = FontSpec().Height(-11).Bold().Color(clGray);
    return p;
}

FontSpec ZoneFont()
{
    return FontSpec().Face("Arial").Height(-21).Bold().Color(clSilver);
}

}  // namespace

TfrmFilePortal::TfrmFilePortal(std::string receiveFolder)
    : Form(PortalDesign()), receivedFiles_(std::move(receiveFolder))
{
    OnShow = [this] { FormShow(); };
    OnClose = [this] { FormClose(); };
}

TfrmFilePortal::~TfrmFilePortal() = default;

void TfrmFilePortal::CreateComponents()
{
    RbPanelDesign title;
    title.bounds = {0, 0, 178, 30};
    title.caption = "File Portal";
    title.captionPosition = cpMiddleCenter;
    title.font = FontSpec().Face("Arial").Height(-16).Bold().Color(clWhite);
    title.color = RgbHex(0xDFDFE3);
    title.gradient = true;
    title.gradientType = gtDoubleVert;
    title.defaultFrom = 13665296;
    title.defaultTo = 16758897;
    title.cornerWidth = 0;
    title.borderWidth = 1;
    title.borderColor = clGray;
    title.outerColor = clBtnFace;
    title.textShadow = false;
    title.antialiased = false;
    RbPanel1.Create(Handle(), title);

    CreateDropZone();
    CreateReceivedList();
    CreateButtonBar();

    // Files are received from the first moment, whether the portal shows or not.
    NMRec1.Port = 6501;
    NMRec1.OnClientContact = [this] { NMRec1ClientContact(); };
    NMRec1.OnConnect = [this] { NMRec1Connect(); };
    NMRec1.OnDisconnect = [this] { NMRec1Disconnect(); };
    NMRec1.OnConnectionFailed = [this] { NMRec1ConnectionFailed(); };
    NMRec1.OnMSG = [this](TNMStrmServ&, const std::string& from, TStream& strm) { NMRec1MSG(from, strm); };
    NMRec1.Listen();
}

void TfrmFilePortal::CreateDropZone()
{
    RbPanel2.Create(Handle(), WhitePanel({0, 30, 178, 163}));
    const HWND zone = RbPanel2.Handle();
    Label2.Create(zone, {{13, 8, 151, 13}, "I.P. Address or Host Name", FontSpec().Height(-11).Bold().Color(clGray)});
    Edit1.Create(zone, {{13, 24, 130, 16}, "127.0.0.1", FontSpec().Height(-11).Color(clGray), clWhite});
    SpeedButtonDesign more;
    more.bounds = {146, 24, 17, 16};
    more.caption = "...";
    more.font = FontSpec().Height(-11).Bold().Color(13500416);
    SpeedButton4.Create(zone, more);
    Label1.Create(zone, {{7, 60, 162, 32}, "Drag and Drop", ZoneFont(), TextAlignment::Center, false});
    Label3.Create(zone, {{7, 92, 162, 45}, "Zone", ZoneFont(), TextAlignment::Center, false});
    lblCom.Create(zone, {{16, 136, 0, 0}, "Ready...", FontSpec().Face("Arial").Height(-13).Bold().Color(clSilver)});
}

void TfrmFilePortal::CreateReceivedList()
{
    RbPanelDesign panel = WhitePanel({0, 193, 178, 167});
    panel.captionPosition = cpTopCenter;
    RbPanel4.Create(Handle(), panel);
    Label4.Create(RbPanel4.Handle(), {{45, 8, 85, 13}, "Files Received", FontSpec().Height(-11).Bold().Color(clGray)});
    ListBoxDesign list;
    list.bounds = {5, 24, 169, 137};
    list.multiSelect = true;
    list.itemHeight = 21;
    list.color = clWhite;
    list.font = FontSpec().Face("Arial").Height(-13).Color(clGray);
    ListBox1.Create(RbPanel4.Handle(), list);
    ListBox1.OnDrawItem = [this](const DrawItemArgs& item) { ListBox1DrawItem(item); };
    ListBox1.OnDblClick = [this] { ListBox1DblClick(); };
    ListBox1.OnKeyDown = [this](WORD& key) { RbPanel4KeyDown(key); };
}

void TfrmFilePortal::CreateButtonBar()
{
    RbPanelDesign bar;
    bar.bounds = {0, 360, 178, 57};
    bar.color = RgbHex(0xDFDFE3);
    // A gradient panel is never smoothed: smoothing would switch the
    // gradient off.
    bar.antialiased = false;
    bar.gradient = true;
    bar.gradientType = gtDoubleVert;
    bar.defaultFrom = 35840;
    bar.defaultTo = 5424899;
    bar.cornerWidth = 0;
    bar.borderWidth = 1;
    bar.borderColor = clGray;
    bar.outerColor = clBtnFace;
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
    SpeedButton2.Create(RbPanel3.Handle(), move);
    SpeedButton2.OnClick = [this] { SpeedButton2Click(); };
    SpeedButtonDesign remove = move;
    remove.bounds = {89, 18, 65, 22};
    remove.caption = "Delete";
    SpeedButton3.Create(RbPanel3.Handle(), remove);
    SpeedButton3.OnClick = [this] { SpeedButton3Click(); };
}

// ---- Window handlers ---------------------------------------------------------

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
    Application::Instance().MessageBox(MessageKind::Information, helpText);
}

void TfrmFilePortal::ListBox1DrawItem(const DrawItemArgs& item)
{
    tessaly::DrawItemBackground(item.dc, item.rect, item.selected);
    ScopedSelect font(item.dc, ListBox1.FontHandle());
    ::SetTextColor(item.dc, RGB(0, 0, 0));
    ::SetBkMode(item.dc, TRANSPARENT);
    RECT text{item.rect.left + 3, item.rect.top + 2, item.rect.right - 3, item.rect.bottom};
    const std::string entry = ListBox1.Item(item.index);
    ::DrawTextA(item.dc, entry.c_str(), static_cast<int>(entry.size()), &text,
                DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
}

// ---- The received list ---------------------------------------------------------

namespace {

constexpr char selectFirst[] = "Please make a selection first.";

// What follows the last "\\" or ":" of an entry.
std::string EntryName(const std::string& entry)
{
    return larkspan::portal::BareFileName(entry);
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

bool TfrmFilePortal::ConfirmListCommand(const char* question)
{
    Application& app = Application::Instance();
    if (ListBox1.Count() == 0) {
        app.MessageBox(MessageKind::Information, selectFirst);
        return false;
    }
    return app.MessageBox(MessageKind::Confirmation, question, MessageButtons::YesNo) == MessageResult::Yes;
}

void TfrmFilePortal::SpeedButton3Click()
{
    if (!ConfirmListCommand("Delete Selected File(s)?"))
        return;
    // Only entries whose file is gone leave the list; a file that could not
    // be deleted is said so and keeps its entry.
    std::vector<std::string> remaining;
    for (int i = 0; i < ListBox1.Count(); ++i) {
        const std::string entry = ListBox1.Item(i);
        if (ListBox1.Selected(i) && ::DeleteFileA(entry.c_str()))
            continue;
        if (ListBox1.Selected(i))
            Application::Instance().MessageBox(MessageKind::Warning, "The file could not be deleted:\r\n" + entry);
        remaining.push_back(entry);
    }
    ListBox1.Assign(remaining);
}

void TfrmFilePortal::SpeedButton2Click()
{
    Application& app = Application::Instance();
    if (!ConfirmListCommand("Move Selected File(s)?"))
        return;
    if (!FolderDialog1.Execute())
        return;
    try {
        for (int i = 0; i < ListBox1.Count(); ++i) {
            if (!ListBox1.Selected(i))
                continue;
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
    const std::string target = folder + "\\" + EntryName(source);
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

// ---- Receiving -----------------------------------------------------------------

void TfrmFilePortal::NMRec1ClientContact()
{
    SetTimer1Enabled(true);
    lblCom.SetCaption("Incoming...");
    // The next send answers the peer.
    Edit1.SetText(NMRec1.RemoteAddress());
}

void TfrmFilePortal::NMRec1Connect()
{
    lblCom.SetCaption("Receiving...");
}

void TfrmFilePortal::NMRec1Disconnect()
{
    SetTimer1Enabled(false);
    lblCom.SetCaption("Ready...");
    // A hidden portal must not take the focus from the window the user works in.
    if (Visible())
        ListBox1.SetFocus();
}

void TfrmFilePortal::NMRec1ConnectionFailed()
{
    lblCom.SetCaption("Connection Failed");
}

void TfrmFilePortal::Timer1Timer()
{
    const std::string text = lblCom.Caption() + ".";
    lblCom.SetCaption(text == "Incoming............" ? "Incoming" : text);
}

void TfrmFilePortal::SetTimer1Enabled(bool enabled)
{
    if (enabled)
        ::SetTimer(Handle(), timer1, 500, nullptr);
    else
        ::KillTimer(Handle(), timer1);
}

// On the session's thread: the file is written here, so that a large one
// never holds up the window; only what the user sees goes to the window.
void TfrmFilePortal::NMRec1MSG(const std::string& sFrom, TStream& strm)
{
    ::Sleep(350);
    try {
        HandOver({Received::Kind::Stored, receivedFiles_.Store(sFrom, strm)});
    } catch (const tessaly::RefusedName& refused) {
        HandOver({Received::Kind::Refused, refused.what()});
    } catch (const std::exception&) {
        HandOver({Received::Kind::Failed, {}});
    }
}

void TfrmFilePortal::HandOver(Received received)
{
    {
        std::lock_guard<std::mutex> lock(receivedLock_);
        received_.push_back(std::move(received));
    }
    ::PostMessageA(Handle(), receivedMessage, 0, 0);
}

void TfrmFilePortal::TakeReceived()
{
    for (;;) {
        Received next;
        {
            std::lock_guard<std::mutex> lock(receivedLock_);
            if (received_.empty())
                return;
            next = std::move(received_.front());
            received_.pop_front();
        }
        ShowReceived(next);
    }
}

void TfrmFilePortal::ShowReceived(const Received& received)
{
    Application& app = Application::Instance();
    switch (received.kind) {
    case Received::Kind::Stored:
        ListBox1.Add(received.text);
        if (const int current = ListBox1.ItemIndex(); current >= 0)
            ListBox1.SetSelected(current, true);
        break;
    case Received::Kind::Failed:
        app.MessageBox(MessageKind::Error, "Transmission Interrupted or Disconnected");
        break;
    case Received::Kind::Refused:
        // A peer sending bad names must not pile up boxes: while one is
        // open, further refusals are not shown.
        if (refusalShown_)
            return;
        refusalShown_ = true;
        app.MessageBox(MessageKind::Warning,
                       "A received file was refused: its name \"" + received.text + "\" cannot be used here.");
        refusalShown_ = false;
        break;
    }
}

LRESULT TfrmFilePortal::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == receivedMessage) {
        TakeReceived();
        return 0;
    }
    if (message == WM_TIMER && wParam == timer1) {
        RunGuarded([this] { Timer1Timer(); });
        return 0;
    }
    return Form::HandleMessage(message, wParam, lParam);
}
