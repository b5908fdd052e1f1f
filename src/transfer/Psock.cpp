#include "Psock.h"

#include "core/SocketErrors.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace {

constexpr long allEvents = FD_READ | FD_OOB | FD_ACCEPT | FD_CONNECT | FD_CLOSE;  // 61
constexpr int wouldBlock = WSAEWOULDBLOCK;  // 10035

std::mutex userCountLock;
int userCount = 0;

// Leaves the time-out disarmed however the scope ends.
template <typename Off>
class Disarm {
public:
    explicit Disarm(Off off) : off_(off) {}
    Disarm(const Disarm&) = delete;
    Disarm& operator=(const Disarm&) = delete;
    ~Disarm() { off_(); }

private:
    Off off_;
};

}  // namespace

// ---- TPowersock: life and notifications --------------------------------------

TPowersock::TPowersock()
{
    window_.Create();
    timer_.SetEnabled(false);
    timer_.SetOnTimer([this] { TimerExpired(); });
    ReportStatus(8, "Create");
    InitWinsock();
}

TPowersock::~TPowersock()
{
    ReportStatus(8, "Destroy");
    TPowersock::Abort();
    Cancel();
    timer_.SetEnabled(false);
    destroying_ = true;
    try {
        RequestCloseSocket();
    } catch (const std::exception&) {
        // nothing to report to while going
    }
    std::lock_guard<std::mutex> lock(userCountLock);
    if (--userCount == 0)
        ::WSACleanup();
}

int TPowersock::SocketUserCount()
{
    std::lock_guard<std::mutex> lock(userCountLock);
    return userCount;
}

void TPowersock::InitWinsock()
{
    ReportStatus(8, "Initializing Winsock");
    {
        std::lock_guard<std::mutex> lock(userCountLock);
        if (userCount++ == 0) {
            WSADATA data{};
            ::WSAStartup(0x0101, &data);
            const auto version = [](WORD v) { return std::to_string(HIBYTE(v)) + "." + std::to_string(LOBYTE(v)); };
            SocketInfo = {"Version= " + version(data.wVersion),
                          "High Version= " + version(data.wHighVersion),
                          "Description= " + std::string(data.szDescription),
                          "System= " + std::string(data.szSystemStatus),
                          "Max Sockets= " + std::to_string(data.iMaxSockets),
                          "Max Udp pack size= " + std::to_string(data.iMaxUdpDg)};
        }
    }
    socket_ = NewSocket(true);
    if (socket_ == INVALID_SOCKET) {
        std::lock_guard<std::mutex> lock(userCountLock);
        if (--userCount == 0)
            ::WSACleanup();
        throw ESockError("Initializaton of windows sockets failed");
    }
}

SOCKET TPowersock::NewSocket(bool linger)
{
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return s;
    if (linger) {
        // Closing resets the connection at once.
        ::linger option{1, 0};
        ::setsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&option), sizeof option);
    }
    if (::WSAAsyncSelect(s, window_.Handle(), socketMessage, allEvents) != 0) {
        ::closesocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

void TPowersock::LimitSendBuffer(int bytes)
{
    ::setsockopt(socket_, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&bytes), sizeof bytes);
}

void TPowersock::RegisterSocket(SOCKET s, long events)
{
    ::WSAAsyncSelect(s, window_.Handle(), socketMessage, events);
}

void TPowersock::HandleSocketMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        // A lookup that was given up may still complete; what it says
        // belongs to no wait of this component.
        if (message == lookupMessage && !lookup_.Finish(wParam))
            return;
        // A socket closed since its event was posted may share its handle
        // value with the one that replaced it: what it says is not about the
        // present connection (a late close would end the next transfer).
        if (message == socketMessage && static_cast<SOCKET>(wParam) != socket_)
            return;
        succeeded_ = WSAGETSELECTERROR(lParam) == 0;
        if (message == socketMessage) {
            switch (WSAGETSELECTEVENT(lParam)) {
            case FD_ACCEPT:
                Connected = true;
                HandleAcceptNotification();
                break;
            case FD_CONNECT:
                // A failed attempt leaves the component disconnected, so the
                // next Connect is not refused as "Already connected".
                if (succeeded_) {
                    Connected = true;
                    if (OnConnect)
                        OnConnect();
                }
                break;
            case FD_CLOSE:
                HandlePeerClose();
                break;
            default:
                break;
            }
        } else if (message == lookupMessage) {
            asyncDone_ = true;
        }
    } catch (...) {
        // notifications never fail
    }
}

void TPowersock::HandlePeerClose()
{
    if (!DataAvailable())
        RequestCloseSocket();
}

// ---- Status, errors, time-out ------------------------------------------------

void TPowersock::ReportStatus(int level, const std::string& text)
{
    if (level > ReportLevel)
        return;
    Status = text;
    if (!destroying_ && OnStatus) {
        try {
            OnStatus(text);
        } catch (...) {
            // a status handler cannot stop the work it reports on
        }
    }
}

std::string TPowersock::ErrorMessage(int number)
{
    ReportStatus(8, "Looking Up Error Message");
    return larkspan::transfer::SocketErrorMessage(number);
}

void TPowersock::CheckSocketError(int ignored)
{
    LastErrorNo = ::WSAGetLastError();
    if (LastErrorNo != ignored && LastErrorNo > 10000)
        throw ESockError(ErrorMessage(LastErrorNo));
}

void TPowersock::TimerOn()
{
    ReportStatus(8, "Timer On");
    timedOut_ = false;
    timer_.SetInterval(static_cast<unsigned>(TimeOut));
    timer_.SetEnabled(true);
}

void TPowersock::TimerOff()
{
    ReportStatus(8, "Timer Off");
    timer_.SetEnabled(false);
}

void TPowersock::TimerExpired()
{
    ReportStatus(8, "Timer Triggered");
    TimerOff();
    timedOut_ = true;
    asyncDone_ = true;
    Abort();
}

void TPowersock::CheckIdle()
{
    if (IdleLimitMs > 0 && ::GetTickCount() - lastProgress_ > static_cast<DWORD>(IdleLimitMs))
        throw ESockError("Session idle");
}

void TPowersock::LetMessagesRun()
{
    winui::ProcessMessages();
    ::Sleep(0);
}

void TPowersock::AwaitSocket(Direction direction)
{
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(socket_, &ready);
    timeval pause{0, 2000};
    ::select(0, direction == Direction::Receive ? &ready : nullptr, direction == Direction::Send ? &ready : nullptr,
             nullptr, &pause);
}

void TPowersock::AwaitSocketAndMessages(Direction direction)
{
    AwaitSocket(direction);
    KeepMessagesFlowing();
}

void TPowersock::KeepMessagesFlowing()
{
    const DWORD now = ::GetTickCount();
    if (now - lastPump_ < pumpPeriodMs)
        return;
    lastPump_ = now;
    winui::ProcessMessages();
}

void TPowersock::WaitUntil(const std::function<bool()>& done)
{
    while (!done()) {
        ::Sleep(2);
        LetMessagesRun();
    }
}

// ---- Connections -------------------------------------------------------------

void TPowersock::ResolveHost()
{
    ReportStatus(8, "Resolve Host");
    remote_.sin_addr.s_addr = ::inet_addr(Host.c_str());
    if (remote_.sin_addr.s_addr != INADDR_NONE)
        return;
    remote_.sin_addr.s_addr = 0;
    TimerOn();
    {
        Disarm off([this] { TimerOff(); });
        asyncDone_ = false;
        if (!lookup_.Start(window_.Handle(), lookupMessage, Host))
            throw ESockError("Host Lookup Failed");
        WaitUntil([this] { return asyncDone_ || timedOut_ || Canceled; });
        // Timed out or cancelled: the lookup must not answer a later wait.
        lookup_.Abandon();
    }
    if (timedOut_)
        throw ESockError("Host Lookup Timed Out");
    if (Canceled)
        throw ESockError("Host Lookup Canceled");
    if (!succeeded_)
        throw ESockError("Host Lookup Failed");
    const hostent* host = lookup_.Entry();
    if (host && host->h_addr_list && host->h_addr_list[0])
        std::memcpy(&remote_.sin_addr, host->h_addr_list[0], sizeof remote_.sin_addr);
    if (OnHostResolved)
        OnHostResolved();
}

void TPowersock::Connect()
{
    ReportStatus(8, "Connecting");
    Canceled = false;
    if (Connected)
        throw ESockError("Already connected");
    for (int tries = 0;;) {
        try {
            ResolveHost();
        } catch (const ESockError& e) {
            const std::string message = e.what();
            if (message == "Host Lookup Timed Out" || message == "Host Lookup Canceled")
                throw;
        }
        if (remote_.sin_addr.s_addr != 0)
            break;
        bool handled = false;
        if (tries == 0 && OnInvalidHost)
            OnInvalidHost(handled);
        if (!handled)
            throw ESockError("Null Remote Address");
        ++tries;  // the handler is offered once per Connect
    }
    remote_.sin_family = AF_INET;
    remote_.sin_port = ::htons(static_cast<u_short>(Port));
    asyncDone_ = false;
    succeeded_ = true;
    if (::connect(socket_, reinterpret_cast<const sockaddr*>(&remote_), sizeof remote_) != 0)
        CheckSocketError(wouldBlock);
    TimerOn();
    {
        Disarm off([this] { TimerOff(); });
        WaitUntil([this] { return Connected || timedOut_ || Canceled || !succeeded_; });
    }
    if (timedOut_ || Canceled || !succeeded_) {
        if (OnConnectionFailed)
            OnConnectionFailed();
        throw ESockError(timedOut_ ? "Connection Timed out" : Canceled ? "Connection Canceled" : "Connection Failed");
    }
    NoteProgress();  // the idle limit counts from here
}

void TPowersock::Disconnect()
{
    ReportStatus(8, "Disconnecting");
    RequestCloseSocket();
}

void TPowersock::Cancel()
{
    ReportStatus(8, "Canceling");
    Canceled = true;
}

void TPowersock::Abort()
{
    ReportStatus(8, "Abort");
    Cancel();
}

void TPowersock::RequestCloseSocket()
{
    ReportStatus(4, "Request Close Socket");
    Connected = false;
    if (socket_ == INVALID_SOCKET)
        return;
    const SOCKET closing = std::exchange(socket_, INVALID_SOCKET);
    if (::closesocket(closing) != 0) {
        CheckSocketError(0);
        return;
    }
    // Events the closed socket posted before it went are still queued; the
    // socket that replaces it may get the same handle value, and a late
    // close would then end its connection.
    MSG stale;
    while (::PeekMessageA(&stale, window_.Handle(), socketMessage, socketMessage, PM_REMOVE)) {
    }
    if (!destroying_) {
        if (OnDisconnect)
            OnDisconnect();
        socket_ = NewSocket(false);  // the component can connect again
    }
}

std::string TPowersock::RemoteAddress()
{
    ReportStatus(8, "Getting Remote IP");
    return ::inet_ntoa(remote_.sin_addr);
}

bool TPowersock::DataAvailable()
{
    ReportStatus(8, "Data Available");
    char byte = 0;
    return socket_ != INVALID_SOCKET && ::recv(socket_, &byte, 1, MSG_PEEK) >= 1;
}

// ---- Byte-level primitives ---------------------------------------------------

// A cancelled operation ends with EAbortError, and the next one starts afresh.
void TPowersock::EndIfCanceled(const char* text)
{
    if (!Canceled)
        return;
    Canceled = false;
    throw EAbortError(text);
}

void TPowersock::SendBuffer(const char* bytes, std::size_t length)
{
    ReportStatus(4, "Sending Buffer");
    TimerOn();
    Disarm off([this] { TimerOff(); });
    if (!Canceled) {
        if (length == 0)
            length = std::strlen(bytes);
        std::size_t sent = 0;
        while (sent < length && !Canceled) {
            const int result = ::send(socket_, bytes + sent, static_cast<int>(length - sent), 0);
            if (result == 0)
                break;
            if (result < 0) {
                CheckSocketError(wouldBlock);  // "would block" simply tries again
                CheckIdle();                   // a peer that stopped reading
                AwaitSocket(Direction::Send);
            } else {
                sent += static_cast<std::size_t>(result);
                NoteProgress();
            }
        }
    }
    EndIfCanceled("Socket send aborted");
}

void TPowersock::Write(const std::string& text)
{
    ReportStatus(8, "Write");
    if (text.size() > bufferSize - 1)
        throw std::range_error("Range check error");
    std::memcpy(buffer_.data(), text.data(), text.size());
    buffer_[text.size()] = '\0';
    SendBuffer(buffer_.data(), 0);  // up to the first NUL
}

void TPowersock::Writeln(const std::string& text)
{
    ReportStatus(8, "Writeln");
    Write(text + "\r\n");
}

std::string TPowersock::Read(std::size_t count)
{
    ReportStatus(8, "Read( " + std::to_string(count) + " )");
    // The bytes are taken as they come rather than peeked at until all of
    // them are there: bytes left waiting would hide the peer's close from
    // every later look, and a peer that sent part and closed would hold the
    // wait until the idle limit.
    std::string result;
    while (result.size() < count && !Canceled) {
        const int wanted = static_cast<int>(std::min(count - result.size(), bufferSize));
        const int received = ::recv(socket_, buffer_.data(), wanted, 0);
        if (received == 0)
            return {};  // the peer closed first
        if (received > 0) {
            result.append(buffer_.data(), static_cast<std::size_t>(received));
            NoteProgress();
            continue;
        }
        // The peer's close may have been handled while waiting: the socket
        // is then a fresh, unconnected one, and nothing will come.
        LastErrorNo = ::WSAGetLastError();
        if (LastErrorNo == WSAENOTCONN)
            return {};
        CheckSocketError(wouldBlock);
        CheckIdle();
        AwaitSocketAndMessages(Direction::Receive);
    }
    EndIfCanceled("Socket send aborted");
    return result;
}

std::string TPowersock::ReadLn()
{
    ReportStatus(8, "ReadLn");
    TimerOn();
    Disarm off([this] { TimerOff(); });
    std::string line;
    for (;;) {
        EndIfCanceled("Socket readln aborted");
        // A peer that closes before the line has ended leaves no line.
        const int waiting = ::recv(socket_, buffer_.data(), static_cast<int>(bufferSize), MSG_PEEK);
        if (waiting == 0)
            return {};
        if (waiting < 0) {
            LastErrorNo = ::WSAGetLastError();
            if (LastErrorNo == WSAENOTCONN)
                return {};
            CheckSocketError(wouldBlock);
            AwaitSocketAndMessages(Direction::Receive);
            continue;
        }
        // A line ends at its LF, or when it has filled the transfer buffer.
        const int room = static_cast<int>(bufferSize - line.size());
        const char* end = static_cast<const char*>(std::memchr(buffer_.data(), '\n', std::min(waiting, room)));
        const int take = end ? static_cast<int>(end - buffer_.data()) + 1 : std::min(waiting, room);
        const int received = ::recv(socket_, buffer_.data(), take, 0);
        if (received > 0)
            line.append(buffer_.data(), static_cast<std::size_t>(received));
        if (end || line.size() == bufferSize)
            return line;
        LetMessagesRun();
    }
}

std::string TPowersock::Transaction(const std::string& command)
{
    ReportStatus(8, "Transaction");
    Writeln(command);
    LastReply = ReadLn();
    ReportStatus(1, LastReply);
    // The reply's leading decimal digits, at most ten of them.
    std::int64_t number = 0;
    for (std::size_t i = 0; i < LastReply.size() && i < 10 && LastReply[i] >= '0' && LastReply[i] <= '9'; ++i)
        number = number * 10 + (LastReply[i] - '0');
    if (number > 32767)
        throw std::range_error("Range check error");
    ReplyNumber = static_cast<std::int16_t>(number);
    return LastReply;
}

void TPowersock::SendStream(TStream& stream)
{
    ReportStatus(8, "SendStream");
    stream.SetPosition(0);
    const std::int64_t size = stream.Size();
    if (!Canceled) {
        if (size > 2147483647)
            throw std::range_error("Range check error");
        SentByteCount = 0;
        TransferSize = static_cast<std::int32_t>(size);
        while (stream.Position() < size && !Canceled) {
            const std::size_t piece = stream.Read(buffer_.data(), bufferSize);
            if (piece == 0)
                break;
            std::size_t sent = 0;
            while (sent < piece && !Canceled) {
                const int result = ::send(socket_, buffer_.data() + sent, static_cast<int>(piece - sent), 0);
                if (result == 0)
                    return;
                if (result > 0) {
                    sent += static_cast<std::size_t>(result);
                    SentByteCount += result;
                    NoteProgress();
                    if (OnPacketSent)
                        OnPacketSent();
                    KeepMessagesFlowing();
                } else {
                    CheckSocketError(wouldBlock);
                    CheckIdle();  // a peer that stopped reading
                    AwaitSocketAndMessages(Direction::Send);
                }
            }
        }
    }
    EndIfCanceled("Socket send aborted");
}

void TPowersock::CaptureStream(TStream& stream, std::int64_t expectedSize)
{
    ReportStatus(8, "Capture Stream");
    ReceivedByteCount = 0;
    TimerOn();
    Disarm off([this] { TimerOff(); });
    // The size is tracked here rather than asked of the stream per piece: for
    // a file that would be two system calls every 64 KiB.
    std::int64_t have = stream.Size();
    stream.SetPosition(have);
    while (!Canceled && have < expectedSize) {
        // Never more than announced: what follows the content is not ours.
        const int wanted = static_cast<int>(std::min<std::int64_t>(expectedSize - have, bufferSize));
        const int received = ::recv(socket_, buffer_.data(), wanted, 0);
        if (received == 0)
            break;  // the peer closed
        if (received > 0) {
            stream.Write(buffer_.data(), static_cast<std::size_t>(received));
            have += received;
            ReceivedByteCount += received;
            NoteProgress();
            if (OnPacketRecvd)
                OnPacketRecvd();
            TimerOn();
            KeepMessagesFlowing();
        } else {
            LastErrorNo = ::WSAGetLastError();
            if (LastErrorNo == WSAENOTCONN)
                break;
            CheckSocketError(wouldBlock);
            CheckIdle();
            AwaitSocketAndMessages(Direction::Receive);
        }
    }
    EndIfCanceled("Socket capture aborted");
}
