// The socket component family's base: one non-blocking TCP socket whose
// events arrive as messages at a hidden window, host lookup, connect and
// disconnect, time-outs, status reports and the byte-level primitives.
// Waiting loops keep the calling thread's messages flowing.
#pragma once

#include "HostLookup.h"
#include "Streams.h"

#include "winui/Application.h"
#include "winui/MessageWindow.h"
#include "winui/WindowTimer.h"

#include <winsock.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

// Every failure of the socket family, as a message text.
class ESockError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A cancelled operation.
class EAbortError : public ESockError {
public:
    using ESockError::ESockError;
};

// The components' time-out: a periodic timer on a hidden window of the
// creating thread.
class TThreadTimer : public winui::IntervalTimer {
public:
    TThreadTimer() : IntervalTimer("TmrWindowClass", "No Timer") {}
};

class TPowersock {
public:
    static constexpr UINT socketMessage = WM_USER + 101;  // 1125
    static constexpr UINT lookupMessage = WM_USER + 102;  // 1126
    static constexpr std::size_t bufferSize = 65536;

    TPowersock();
    TPowersock(const TPowersock&) = delete;
    TPowersock& operator=(const TPowersock&) = delete;
    virtual ~TPowersock();

    std::string Host;
    int Port = 0;
    int TimeOut = 0;  // milliseconds; 0: no time limit
    int ReportLevel = 0;
    // A wait on the peer (to send, to read) that sees no byte move for this
    // many milliseconds ends with an ESockError; 0: no limit. A listening
    // component gives its value to each of its sessions.
    int IdleLimitMs = 0;

    std::function<void()> OnConnect;
    std::function<void()> OnDisconnect;
    std::function<void(bool& handled)> OnInvalidHost;
    std::function<void()> OnHostResolved;
    std::function<void(const std::string& status)> OnStatus;
    std::function<void()> OnConnectionFailed;
    std::function<void()> OnPacketRecvd;
    std::function<void()> OnPacketSent;

    std::atomic<bool> Canceled{false};
    std::atomic<bool> Connected{false};
    int LastErrorNo = 0;
    std::string Status;
    std::int32_t TransferSize = 0;
    std::int32_t ReceivedByteCount = 0;
    std::int32_t SentByteCount = 0;
    // What the socket library said about itself when it was started (six
    // lines; filled by the component that started it).
    std::vector<std::string> SocketInfo;
    // Results of Transaction.
    std::int16_t ReplyNumber = 0;
    std::string LastReply;

    virtual void Connect();
    virtual void Disconnect();
    virtual void Abort();
    void Cancel();
    std::string RemoteAddress();
    bool DataAvailable();

    // Byte-level primitives.
    void SendBuffer(const char* bytes, std::size_t length);  // 0: up to the first NUL
    void Write(const std::string& text);
    void Writeln(const std::string& text);
    std::string Read(std::size_t count);
    std::string ReadLn();
    // Sends a command line and returns the reply line.
    virtual std::string Transaction(const std::string& command);
    void SendStream(TStream& stream);
    void CaptureStream(TStream& stream, std::int64_t expectedSize);

    // How many live components hold the socket library (process-wide).
    static int SocketUserCount();

protected:
    void ReportStatus(int level, const std::string& text);
    void CheckSocketError(int ignored);
    std::string ErrorMessage(int number);
    void RequestCloseSocket();
    void RegisterSocket(SOCKET s, long events);
    // Caps the bytes the socket holds unsent (before it connects).
    void LimitSendBuffer(int bytes);
    void TimerOn();
    void TimerOff();
    // Lets pending messages run (on a thread without windows it only yields).
    static void LetMessagesRun();
    // Sleeps 2 ms and lets pending messages run until `done` says so.
    static void WaitUntil(const std::function<bool()>& done);
    // While data flows, pending messages run every few milliseconds rather
    // than after every piece: under load each look at the queue costs more
    // than the piece. A socket that would block is waited on (briefly, so
    // that messages still run), never polled in a tight loop.
    enum class Direction { Receive, Send };
    void AwaitSocket(Direction direction);
    void AwaitSocketAndMessages(Direction direction);
    void KeepMessagesFlowing();
    static constexpr DWORD pumpPeriodMs = 10;
    DWORD lastPump_ = 0;

    // Throws EAbortError with this text when the operation was cancelled.
    void EndIfCanceled(const char* text);
    // Ends a wait that has seen no byte for IdleLimitMs.
    void CheckIdle();
    void NoteProgress() { lastProgress_ = ::GetTickCount(); }
    std::atomic<DWORD> lastProgress_{0};

    SOCKET socket_ = INVALID_SOCKET;  // kept at its full width
    sockaddr_in remote_{};
    bool destroying_ = false;
    std::atomic<bool> succeeded_{true};
    std::atomic<bool> asyncDone_{false};
    std::atomic<bool> timedOut_{false};
    std::vector<char> buffer_ = std::vector<char>(bufferSize + 1);

private:
    void InitWinsock();
    SOCKET NewSocket(bool linger);
    void ResolveHost();
    void HandleSocketMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void TimerExpired();

    // Every message numbered 1125 or higher goes to the component.
    winui::MessageWindow window_{"PsockWindowClass", [this](UINT message, WPARAM wParam, LPARAM lParam) {
                                     if (message < socketMessage)
                                         return false;
                                     HandleSocketMessage(message, wParam, lParam);
                                     return true;
                                 }};
    TThreadTimer timer_;
    HostLookup lookup_;  // after the window, so it is cancelled while the window still exists

protected:
    HWND WindowHandle() const noexcept { return window_.Handle(); }
    virtual void HandleAcceptNotification() {}
    // The peer has closed the connection (on the component's thread). The
    // socket is closed and replaced here unless bytes are still waiting.
    virtual void HandlePeerClose();
};
