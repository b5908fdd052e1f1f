#include "FilePortal.h"

#include "AddressList.h"
#include "LocalNetwork.h"
#include "Main.h"
#include "ShownName.h"

#include "core/ReceivedNames.h"
#include "core/RefusalTexts.h"
#include "core/StreamHeader.h"
#include "winui/Application.h"
#include "winui/Handles.h"
#include "winui/LocaleText.h"
#include "winui/SettingsFile.h"

#include <initializer_list>
#include <stdexcept>
#include <utility>
#include <vector>

using namespace winui;

TfrmFilePortal* frmFilePortal = nullptr;

namespace {

// Raises a flag for one scope, however the scope ends.
class FlagRaised {
public:
    explicit FlagRaised(bool& flag) : flag_(flag) { flag_ = true; }
    FlagRaised(const FlagRaised&) = delete;
    FlagRaised& operator=(const FlagRaised&) = delete;
    ~FlagRaised() { flag_ = false; }

private:
    bool& flag_;
};

constexpr UINT receivedMessage = WM_APP + 20;
constexpr UINT notListeningMessage = WM_APP + 21;
constexpr UINT_PTR timer1 = 1;
constexpr UINT_PTR receivedTimer = 2;  // a received file due to be listed

constexpr char dropWarning[] =
    "Object Dropped is not a Document or File.\r\n\r\n"
    "{ or Object may still be in use }\r\n\r\n"
    "{ or Host is not connected at this time }";
constexpr char openWarning[] =
    "File or Document may still be in use.\r\n\r\n"
    "{ or Host is not connected at this time }";

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

// The title bar and the button bar: square double-gradient panels with a
// one-pixel grey border. Never smoothed: smoothing would switch the
// gradient off.
RbPanelDesign GradientBar(const Rect& bounds, COLORREF from, COLORREF to)
{
    RbPanelDesign p;
    p.bounds = bounds;
    p.color = RgbHex(0xDFDFE3);
    p.antialiased = false;
    p.gradient = true;
    p.gradientType = gtDoubleVert;
    p.defaultFrom = from;
    p.defaultTo = to;
    p.cornerWidth = 0;
    p.borderWidth = 1;
    p.borderColor = clGray;
    p.outerColor = clBtnFace;
    return p;
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
    RbPanelDesign title = GradientBar({0, 0, 178, 30}, 13665296, 16758897);
    title.caption = "File Portal";
    title.captionPosition = cpMiddleCenter;
    title.font = FontSpec().Face("Arial").Height(-16).Bold().Color(clWhite);
    title.textShadow = false;
    RbPanel1.Create(Handle(), title);

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

void TfrmFilePortal::CreateReceiver()
{
    // Files are received from the first moment, whether the portal shows or not.
    window_ = Handle();
    NMRec1.Port = 6501;
    // Large content is captured beside the files it becomes, and named there.
    NMRec1.SpillFolder = receivedFiles_.Folder();
    NMRec1.OnClientContact = [this] { NMRec1ClientContact(); };
    NMRec1.OnConnect = [this] { NMRec1Connect(); };
    NMRec1.OnDisconnect = [this] { NMRec1Disconnect(); };
    NMRec1.OnConnectionFailed = [this] { NMRec1ConnectionFailed(); };
    NMRec1.OnInvalidHost = [this](bool& handled) { NMRec1InvalidHost(handled); };
    // A session that ends without a disconnect (a malformed header, an idle
    // peer) must not leave the status counting dots for ever.
    NMRec1.OnSessionEnded = [this] {
        if (NMRec1.SessionCount() == 0)
            ReceivingEnded();
    };
    NMRec1.OnMSG = [this](TNMStrmServ& session, const std::string& from, TStream& strm) {
        NMRec1MSG(from, strm, session.RemoteAddress());
    };
    NMRec1.OnCaptureFailed = [this](TNMStrmServ&, const std::string&) { NMRec1CaptureFailed(); };
    // Said once the program runs, not in the middle of its start.
    const bool listening = !receivedFiles_.Folder().empty() && NMRec1.Listen();
    const bool announce = listening && SettingsFile::Larkspan().ReadBool("File Portal", "Announce", true);
    LocalNetwork = std::make_unique<MulticastDns>(MulticastDns::Settings{tessaly::ComputerName(), announce});
    if (!listening) {
        ::PostMessageA(Handle(), notListeningMessage, receivedFiles_.Folder().empty() ? 0 : 1, 0);
        return;
    }
    // What a run that was killed or crashed left in the folder goes before
    // anything new arrives (connections are taken once the message loop
    // runs). Only the program that holds the port receives, so no other
    // one is writing there.
    TFileStream::RemoveAbandonedTemporaries(receivedFiles_.Folder());
}

void TfrmFilePortal::CreateSender()
{
    Sender.Port = 6501;
    Sender.OnConnect = [this] { NMSend1Connect(); };
    Sender.OnDisconnect = [this] { NMSend1Disconnect(); };
    Sender.OnInvalidHost = [this] { return NMSend1InvalidHost(); };
    Sender.OnConnectionFailed = [this] { NMSend1ConnectionFailed(); };
    Sender.OnPacketSent = [this](std::int32_t sentByteCount) { NMSend1PacketSent(sentByteCount); };
    Sender.OnMessageSent = [this] { NMSend1MessageSent(); };
    Sender.OnFinished = [this](tessaly::PortalSender::Outcome outcome, const std::string& file) {
        SendFinished(outcome, file);
    };

    RxTimerEvent1 = RxTimerList1.Find(RxTimerList1.Add([this](TRxTimerEvent&) { RxTimerEvent1Timer(); }, 3000, true));
    RxTimerEvent2 = RxTimerList1.Find(RxTimerList1.Add([this](TRxTimerEvent&) { RxTimerEvent2Timer(); }, 220, true));
    RxTimerList1.OnFinish = [this] { RxTimerList1Finish(); };
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
    RbPanel2.Create(Handle(), WhitePanel({0, 30, 178, 163}));
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
    RbPanelDesign panel = WhitePanel({0, 193, 178, 167});
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
    RbPanelDesign bar = GradientBar({0, 360, 178, 57}, 35840, 5424899);
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

// ---- Receiving -----------------------------------------------------------------

void TfrmFilePortal::NMRec1ClientContact()
{
    SetTimer1Enabled(true);
    lblCom.SetCaption("Incoming...");
    // The next send answers the peer.
    Edit1.SetText(NMRec1.RemoteAddress());
    // A connection that could not be served leaves nothing incoming.
    if (NMRec1.SessionCount() == 0)
        ReceivingEnded();
}

void TfrmFilePortal::ReceivingEnded()
{
    // Only the receiving status gives way: a send may be showing its own.
    SetTimer1Enabled(false);
    const std::string& status = lblCom.Caption();
    if (status.starts_with("Incoming") || status == "Receiving...")
        lblCom.SetCaption("Ready...");
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

void TfrmFilePortal::NMRec1InvalidHost(bool& handled)
{
    if (const auto host = AskForHost()) {
        NMRec1.Host = *host;
        handled = true;
    }
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
void TfrmFilePortal::NMRec1MSG(const std::string& sFrom, TStream& strm, const std::string& senderAddress)
{
    // The sender is answered when this returns; a name refused or a file
    // not stored turns it away (the exception goes on to the session). The
    // received file is listed 350 ms after it was stored, not before the
    // sender is answered: the wait must not hold every sender up.
    std::string stored;
    try {
        stored = receivedFiles_.Store(sFrom, strm);
    } catch (const tessaly::RefusedName& refused) {
        HandOver({Received::Kind::Refused, tessaly::ShownName(refused.what())});
        throw;
    } catch (const std::exception&) {
        HandOver({Received::Kind::Failed, {}});
        throw;
    }
    // In its place, the file gets the platform's mark of a download before
    // the sender is answered. Where the platform cannot mark it, the file
    // is kept and listed unmarked all the same.
    downloadMark_.load()->Save(stored, senderAddress);
    HandOver({Received::Kind::Stored, std::move(stored), 350});
}

// On the session's thread: content that could not be kept while it arrived
// (a full disk) fails as one that could not be written afterwards.
void TfrmFilePortal::NMRec1CaptureFailed()
{
    HandOver({Received::Kind::Failed, {}});
}

void TfrmFilePortal::HandOver(Received received)
{
    received.handedOver = ::GetTickCount();
    {
        std::lock_guard<std::mutex> lock(receivedLock_);
        received_.push_back(std::move(received));
    }
    ::PostMessageA(window_, receivedMessage, 0, 0);
}

void TfrmFilePortal::TakeReceived()
{
    ::KillTimer(Handle(), receivedTimer);
    for (;;) {
        Received next;
        {
            std::lock_guard<std::mutex> lock(receivedLock_);
            if (received_.empty())
                return;
            // In order: what follows a file not yet due waits behind it.
            const Received& front = received_.front();
            const DWORD waited = ::GetTickCount() - front.handedOver;
            if (waited < front.delay) {
                ::SetTimer(Handle(), receivedTimer, front.delay - waited, nullptr);
                return;
            }
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
    case Received::Kind::Refused:
        // A peer sending bad names or breaking off must not pile up boxes:
        // while one is open, further ones are not shown. Refused names are
        // counted, and said in one box when it closes (more may be refused
        // while that one is open).
        if (boxShown_) {
            if (received.kind == Received::Kind::Refused)
                ++furtherRefusals_;
            return;
        }
        {
            const FlagRaised open(boxShown_);
            if (received.kind == Received::Kind::Failed)
                app.MessageBox(MessageKind::Error, "Transmission Interrupted or Disconnected");
            else
                app.MessageBox(MessageKind::Warning, larkspan::portal::RefusalText(received.text));
            while (furtherRefusals_ > 0)
                app.MessageBox(MessageKind::Warning,
                               larkspan::portal::FurtherRefusalsText(std::exchange(furtherRefusals_, 0)));
        }
        break;
    }
}

LRESULT TfrmFilePortal::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == receivedMessage || (message == WM_TIMER && wParam == receivedTimer)) {
        TakeReceived();
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

// ---- Sending -------------------------------------------------------------------

namespace {

// Finishes a shell drop however its command ends.
class ShellDrop {
public:
    explicit ShellDrop(HDROP drop) : drop_(drop) {}
    ShellDrop(const ShellDrop&) = delete;
    ShellDrop& operator=(const ShellDrop&) = delete;
    ~ShellDrop() { ::DragFinish(drop_); }

    // The paths as the file system names them: the ANSI code page may
    // not hold every name.
    std::vector<std::wstring> Files() const
    {
        std::vector<std::wstring> files;
        const UINT count = ::DragQueryFileW(drop_, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            // As long as the name is: a fixed buffer would cut a long path
            // short and send another file, or none.
            const UINT length = ::DragQueryFileW(drop_, i, nullptr, 0);
            std::wstring name(length + 1, L'\0');
            name.resize(::DragQueryFileW(drop_, i, name.data(), length + 1));
            files.push_back(std::move(name));
        }
        return files;
    }

private:
    HDROP drop_;
};

}  // namespace

void TfrmFilePortal::WMDropFiles(HDROP drop)
{
    const ShellDrop dropped(drop);
    RunGuarded([&] { SendFiles(dropped.Files(), dropWarning); });
}

bool TfrmFilePortal::RbPanel2DragOver(const Window& source) const
{
    // The two lists are the program's only drag sources.
    return (Form1 && &source == &Form1->ListBox1) || &source == &ListBox1;
}

void TfrmFilePortal::RbPanel2DragDrop(const Window& source)
{
    if (Form1 && &source == &Form1->ListBox1) {
        SendFiles({Widen(Form1->SelectedDocumentPath)}, dropWarning);
    } else if (&source == &ListBox1) {
        if (RefuseWhileSending(dropWarning))
            return;
        // The current entry goes onward; every selected entry leaves the
        // list first (the files stay where they are).
        const int current = ListBox1.ItemIndex();
        if (current < 0 || current >= ListBox1.Count())
            return;
        const std::string entry = ListBox1.Item(current);
        std::vector<std::string> remaining;
        for (int i = 0; i < ListBox1.Count(); ++i)
            if (!ListBox1.Selected(i))
                remaining.push_back(ListBox1.Item(i));
        ListBox1.Assign(remaining);
        SendFiles({Widen(entry)}, dropWarning);
    }
}

void TfrmFilePortal::Label1DblClick()
{
    SendFromOpenDialog1Click();
}

void TfrmFilePortal::SendFromOpenDialog1Click()
{
    if (RefuseWhileSending(openWarning))
        return;
    std::vector<std::wstring> files =
        Application::Instance().OpenFiles("Select Files to Transfer", "All Files (*.*)|*.*");
    if (!files.empty())
        SendFiles(std::move(files), openWarning);
}

void TfrmFilePortal::ClearFilesReceivedList1Click()
{
    ListBox1.Clear();
}

void TfrmFilePortal::SpeedButton4Click()
{
    if (frmAddressList)
        frmAddressList->ShowModal();
}

bool TfrmFilePortal::RefuseWhileSending(const char* warning)
{
    // A command started while another sends fails as the component would
    // fail a second connection. The running one goes on behind the box.
    if (!Sender.Running())
        return false;
    Application::Instance().MessageBox(MessageKind::Warning, warning);
    return true;
}

void TfrmFilePortal::SendFiles(std::vector<std::wstring> files, const char* warning)
{
    if (RefuseWhileSending(warning))
        return;
    RxTimerList1.SetActive(true);
    sendWarning_ = warning;
    Sender.Start(Edit1.Text(), std::move(files));
}

void TfrmFilePortal::SendFinished(tessaly::PortalSender::Outcome outcome, const std::string& file)
{
    using Outcome = tessaly::PortalSender::Outcome;
    Application& app = Application::Instance();
    switch (outcome) {
    case Outcome::Sent:
        app.MessageBox(MessageKind::Information, "File Transfer Successful and Complete.");
        break;
    case Outcome::TooLarge:
        app.MessageBox(MessageKind::Warning, "The file \"" + file +
                                                 "\" is 2 GB or larger: files of that size cannot be sent "
                                                 "through the portal.");
        break;
    case Outcome::Failed:
        app.MessageBox(MessageKind::Warning, sendWarning_);
        break;
    }
}

std::optional<std::string> TfrmFilePortal::AskForHost()
{
    return Application::Instance().InputBox("Invalid Host!", "Specify a new host:", "");
}

std::optional<std::string> TfrmFilePortal::NMSend1InvalidHost()
{
    return AskForHost();
}

void TfrmFilePortal::NMSend1Connect()
{
    lblCom.SetCaption("Sending...");
}

void TfrmFilePortal::NMSend1PacketSent(std::int32_t sentByteCount)
{
    lblCom.SetCaption("Sending... " + std::to_string(sentByteCount / 1024) + " KB");
}

void TfrmFilePortal::NMSend1MessageSent()
{
    lblCom.SetCaption("Completed...");
}

void TfrmFilePortal::NMSend1Disconnect()
{
    lblCom.SetCaption("Ready...");
    if (Visible())
        ListBox1.SetFocus();
}

void TfrmFilePortal::NMSend1ConnectionFailed()
{
    lblCom.SetCaption("Not Connected");
}

// ---- The drop zone's animation -------------------------------------------------

void TfrmFilePortal::RxTimerEvent2Timer()
{
    Label1.SetFontSize(Label1.FontSize() - 1);
    Label3.SetFontSize(Label3.FontSize() - 1);
}

void TfrmFilePortal::RxTimerEvent1Timer()
{
    RxTimerList1.SetActive(false);
}

void TfrmFilePortal::RxTimerList1Finish()
{
    Label1.SetFontSize(16);
    Label3.SetFontSize(16);
}
