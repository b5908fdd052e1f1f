// The portal's sending side: shell drops, drags from the lists and the open
// dialog become send commands of the sender; its events set the status, and
// the drop zone's animation runs while a command does.
#include "FilePortal.h"

#include "AddressList.h"
#include "Main.h"

#include "winui/Application.h"
#include "winui/LocaleText.h"

using namespace winui;

namespace {

constexpr char dropWarning[] =
    "Object Dropped is not a Document or File.\r\n\r\n"
    "{ or Object may still be in use }\r\n\r\n"
    "{ or Host is not connected at this time }";
constexpr char openWarning[] =
    "File or Document may still be in use.\r\n\r\n"
    "{ or Host is not connected at this time }";

}  // namespace

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
