// The file portal window, docked to the left of the widget: it receives the
// files that peers send on port 6501 from program start, shown or not, and
// lists them under "Files Received". Its layout and list commands are in
// FilePortal.cpp, its receiving side in FilePortalReceiving.cpp, its
// sending side in FilePortalSending.cpp.
#pragma once

#include "DownloadMark.h"
#include "OwnerDraw.h"
#include "PortalSender.h"
#include "ReceivedFiles.h"
#include "ReceivedHandOver.h"

#include "controls/RbPanel.h"
#include "transfer/MulticastDns.h"
#include "transfer/NMSTRMServ.h"
#include "winui/AnsiCodePage.h"
#include "winui/Edit.h"
#include "winui/Form.h"
#include "winui/Label.h"
#include "winui/ListBox.h"
#include "winui/PopupMenu.h"
#include "winui/SpeedButton.h"
#include "winui/TimerLst.h"

#include <shellapi.h>

#include <atomic>
#include <optional>
#include <string>
#include <vector>

// The folder chooser of the Move command, through the application's prompts.
class TqenBrowseFolderDialog {
public:
    explicit TqenBrowseFolderDialog(std::string caption) : Caption(std::move(caption)) {}
    std::string Caption;
    const std::string& SelectedFolder() const noexcept { return selectedFolder_; }
    // True when a folder was chosen; SelectedFolder is then that folder.
    bool Execute();

private:
    std::string selectedFolder_;
};

class TfrmFilePortal final : public winui::Form {
public:
    // Files are received into `preferredFolder` (with its separator at the
    // end) where this user can create files there, else into Downloads.
    explicit TfrmFilePortal(const std::string& preferredFolder = "C:\\");
    ~TfrmFilePortal() override;

    TRbPanel RbPanel1;  // title bar
    TRbPanel RbPanel2;  // drop zone
    winui::Label Label2;
    winui::Edit Edit1;  // the host field
    winui::SpeedButton SpeedButton4;
    winui::Label Label1, Label3;
    winui::Label lblCom;  // the status label
    TRbPanel RbPanel4;
    winui::Label Label4;
    winui::ListBox ListBox1;  // the received list
    TRbPanel RbPanel3;  // button bar
    winui::SpeedButton SpeedButton5, SpeedButton1, SpeedButton2, SpeedButton3;
    TqenBrowseFolderDialog FolderDialog1{"Move File or Document to Selected Folder"};
    TRxTimerList RxTimerList1;  // the drop zone's animation
    TRxTimerEvent* RxTimerEvent1 = nullptr;
    TRxTimerEvent* RxTimerEvent2 = nullptr;
    winui::PopupMenu PopupMenu1;
    winui::MenuItem SendFromOpenDialog1{"Send From Open Dialog...", 0};
    winui::MenuItem N1;
    winui::MenuItem ClearFilesReceivedList1{"Clear Files Received List"};

    const std::string& ReceiveFolder() const noexcept { return receivedFiles_.Folder(); }
    // Test seam: how stored files get the platform's mark of their origin;
    // nullptr restores the platform's own.
    void SetDownloadMark(tessaly::DownloadMark* mark) noexcept { downloadMark_ = mark ? mark : &platformMark_; }

    void FormCreate();
    void FormShow();
    void FormClose();
    void SpeedButton1Click();
    void SpeedButton5Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void ListBox1DblClick();
    void RbPanel4KeyDown(WORD& key);
    void ListBox1DrawItem(const winui::DrawItemArgs& item);
    void NMRec1ClientContact();
    void NMRec1Connect();
    void NMRec1Disconnect();
    void NMRec1ConnectionFailed();
    // `senderAddress`: the peer's dotted IPv4 address.
    void NMRec1MSG(const std::string& sFrom, TStream& strm, const std::string& senderAddress);
    void NMRec1CaptureFailed();
    void Timer1Timer();
    void SetTimer1Enabled(bool enabled);
    void NMRec1InvalidHost(bool& handled);

    // Sending.
    void WMDropFiles(HDROP drop);
    bool RbPanel2DragOver(const winui::Window& source) const;
    void RbPanel2DragDrop(const winui::Window& source);
    void Label1DblClick();
    void SendFromOpenDialog1Click();
    void ClearFilesReceivedList1Click();
    void SpeedButton4Click();
    void NMSend1Connect();
    void NMSend1Disconnect();
    std::optional<std::string> NMSend1InvalidHost();
    void NMSend1ConnectionFailed();
    void NMSend1PacketSent(std::int32_t sentByteCount);
    void NMSend1MessageSent();
    void RxTimerEvent1Timer();
    void RxTimerEvent2Timer();
    void RxTimerList1Finish();

private:
    // The window's own messages and timers.
    static constexpr UINT receivedMessage = WM_APP + 20;
    static constexpr UINT notListeningMessage = WM_APP + 21;
    static constexpr UINT_PTR timer1 = 1;
    static constexpr UINT_PTR receivedTimer = 2;  // a received file due to be listed

    void CreateComponents() override;
    void CreateDropZone();
    void CreateReceivedList();
    void CreateButtonBar();
    void CreateSender();
    void CreateReceiver();
    void CreateMenu();
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void ShowReceived(const tessaly::Received& received);
    // "Please make a selection first." for an empty list, else the question;
    // on Yes the entries that were selected when it was asked.
    std::optional<std::vector<int>> ConfirmListCommand(const char* question);
    // The selected entries' indices, first to last.
    std::vector<int> SelectedEntries() const;
    // True (after the warning) when a send command is running already.
    bool RefuseWhileSending(const char* warning);
    // The success box at the end of a command, or its warning.
    void SendFinished(tessaly::PortalSender::Outcome outcome, const std::string& file);
    enum class MoveResult { Moved, Cancelled, Failed };
    // Moves one received file into `folder`, asking before it replaces one.
    MoveResult MoveEntry(int index, const std::string& folder);
    // One send command: the files one by one to the host of the field; the
    // success box at the end, or `warning` at the first failure.
    void SendFiles(std::vector<std::wstring> files, const char* warning);
    // The status after the last receiving session: ready, unless a send
    // shows its own.
    void ReceivingEnded();
    // The input box of a component's host that cannot be resolved.
    static std::optional<std::string> AskForHost();

    std::optional<tessaly::TMenuDrawing> menuDrawing_;
    winui::AnsiCodePage codePage_;  // the received list's paths are in it

    tessaly::ReceivedFiles receivedFiles_;
    tessaly::ReceivedHandOver received_;  // filled by sessions, emptied by the window
    bool boxShown_ = false;          // one box at a time, however many transfers fail
    std::size_t furtherRefusals_ = 0;  // names refused while that box was open
    bool refusalShown_ = false;        // a refused name was shown since the boxes began
    std::optional<std::string> unshownRefusal_;  // refused while an error box was open
    tessaly::AttachmentServicesMark platformMark_;
    std::atomic<tessaly::DownloadMark*> downloadMark_{&platformMark_};  // used by the sessions
    const char* sendWarning_ = nullptr;  // the running command's warning

public:
    // This Tessaly on the local network: announced while the portal
    // listens (unless "Announce" is off), and browsed by discovery.
    std::unique_ptr<MulticastDns> LocalNetwork;
    // The files of one command at a time go out through it, on a thread of
    // its own that ends with it.
    tessaly::PortalSender Sender;
    // Last: it goes first, and its sessions, which use the members above,
    // end with it.
    TNMStrmServ NMRec1;
};

extern TfrmFilePortal* frmFilePortal;
