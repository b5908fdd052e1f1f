// The file portal window, docked to the left of the widget: it receives the
// files that peers send on port 6501 from program start, shown or not, and
// lists them under "Files Received".
#pragma once

#include "OwnerDraw.h"
#include "PortalSender.h"
#include "ReceivedFiles.h"

#include "controls/RbPanel.h"
#include "transfer/NMSTRMServ.h"
#include "winui/Edit.h"
#include "winui/Form.h"
#include "winui/Label.h"
#include "winui/ListBox.h"
#include "winui/PopupMenu.h"
#include "winui/SpeedButton.h"
#include "winui/TimerLst.h"

#include <shellapi.h>

#include <atomic>
#include <deque>
#include <mutex>
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
    void NMRec1MSG(const std::string& sFrom, TStream& strm);
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
    // What a session hands to the window: a file written, a name refused,
    // or content that could not be written.
    struct Received {
        enum class Kind { Stored, Refused, Failed } kind;
        std::string text;  // the path written, or the refused name as shown
        DWORD delay = 0;   // milliseconds from its hand-over until it is shown
        DWORD handedOver = 0;
    };

    void CreateComponents() override;
    void CreateDropZone();
    void CreateReceivedList();
    void CreateButtonBar();
    void CreateSender();
    void CreateReceiver();
    void CreateMenu();
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void HandOver(Received received);
    void TakeReceived();
    void ShowReceived(const Received& received);
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
    void SendFiles(const std::vector<std::string>& files, const char* warning);
    // The status after the last receiving session: ready, unless a send
    // shows its own.
    void ReceivingEnded();
    // The input box of a component's host that cannot be resolved.
    static std::optional<std::string> AskForHost();

    std::optional<tessaly::TMenuDrawing> menuDrawing_;

    tessaly::ReceivedFiles receivedFiles_;
    std::mutex receivedLock_;
    std::deque<Received> received_;  // filled by sessions, emptied by the window
    bool boxShown_ = false;          // one box at a time, however many transfers fail
    // The window the sessions post to, set once before the first session.
    std::atomic<HWND> window_{nullptr};
    const char* sendWarning_ = nullptr;  // the running command's warning

public:
    // The files of one command at a time go out through it, on a thread of
    // its own that ends with it.
    tessaly::PortalSender Sender;
    // Last: it goes first, and its sessions, which use the members above,
    // end with it.
    TNMStrmServ NMRec1;
};

extern TfrmFilePortal* frmFilePortal;
