// The portal's receiving side: the listener set up at start, the status
// while peers send, files stored on the sessions' threads and shown, in
// order, on the window's.
#include "FilePortal.h"

#include "LocalNetwork.h"
#include "ShownName.h"

#include "core/RefusalTexts.h"
#include "winui/Application.h"
#include "winui/SettingsFile.h"

#include <utility>

using namespace winui;
using tessaly::Received;

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

}  // namespace

void TfrmFilePortal::CreateReceiver()
{
    // Files are received from the first moment, whether the portal shows or not.
    received_.Attach(Handle(), receivedMessage, receivedTimer);
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
        received_.HandOver({Received::Kind::Refused, tessaly::ShownName(refused.what())});
        throw;
    } catch (const std::exception&) {
        received_.HandOver({Received::Kind::Failed, {}});
        throw;
    }
    // In its place, the file gets the platform's mark of a download before
    // the sender is answered. Where the platform cannot mark it, the file
    // is kept and listed unmarked all the same.
    downloadMark_.load()->Save(stored, senderAddress);
    received_.HandOver({Received::Kind::Stored, std::move(stored), 350});
}

// On the session's thread: content that could not be kept while it arrived
// (a full disk) fails as one that could not be written afterwards.
void TfrmFilePortal::NMRec1CaptureFailed()
{
    received_.HandOver({Received::Kind::Failed, {}});
}

void TfrmFilePortal::ShowReceived(const tessaly::Received& received)
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
        // while that one is open); the first one refused while no refusal
        // was shown yet gets its own box, so that "further" follows a name.
        if (boxShown_) {
            if (received.kind == Received::Kind::Refused) {
                if (!refusalShown_ && !unshownRefusal_)
                    unshownRefusal_ = received.text;
                else
                    ++furtherRefusals_;
            }
            return;
        }
        {
            const FlagRaised open(boxShown_);
            if (received.kind == Received::Kind::Failed) {
                app.MessageBox(MessageKind::Error, "Transmission Interrupted or Disconnected");
            } else {
                refusalShown_ = true;
                app.MessageBox(MessageKind::Warning, larkspan::portal::RefusalText(received.text));
            }
            for (;;) {
                if (unshownRefusal_) {
                    refusalShown_ = true;
                    const std::string name = *std::exchange(unshownRefusal_, std::nullopt);
                    app.MessageBox(MessageKind::Warning, larkspan::portal::RefusalText(name));
                } else if (furtherRefusals_ > 0) {
                    app.MessageBox(MessageKind::Warning,
                                   larkspan::portal::FurtherRefusalsText(std::exchange(furtherRefusals_, 0)));
                } else {
                    break;
                }
            }
            refusalShown_ = false;
        }
        break;
    }
}
