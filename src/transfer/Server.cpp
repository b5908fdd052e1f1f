#include "Server.h"

#include <algorithm>
#include <utility>

namespace {

// Serialises session creation against session teardown, process-wide.
std::mutex serverLock;

}  // namespace

TNMGeneralServer::TNMGeneralServer()
{
    Port = 6711;
    IdleLimitMs = 60000;  // a session that receives nothing for a minute ends
    notifier_.Create();
}

TNMGeneralServer::~TNMGeneralServer()
{
    Shutdown();
}

void TNMGeneralServer::Shutdown()
{
    if (parent_ || shutDown_)
        return;
    shutDown_ = true;
    // No connection is taken any more, nor announced to an owner that is
    // going: the listening socket goes first.
    if (socket_ != INVALID_SOCKET) {
        RegisterSocket(socket_, 0);
        ::closesocket(std::exchange(socket_, INVALID_SOCKET));
    }
    for (const Connection& connection : waiting_)
        ::closesocket(connection.socket);
    waiting_.clear();
    Abort();
    // Running sessions end once cancelled. Only their end messages are taken
    // while waiting (messages sent from a session's handler are still
    // delivered): no other handler of an owner being torn down may run.
    while (SessionCount() > 0) {
        ::Sleep(2);
        MSG ended;
        while (::PeekMessageA(&ended, notifier_.Handle(), sessionEnded, sessionEnded, PM_REMOVE))
            ::DispatchMessageA(&ended);
    }
}

bool TNMGeneralServer::Listen()
{
    ReportStatus(8, "Listening");
    remote_ = {};
    remote_.sin_family = AF_INET;
    remote_.sin_port = ::htons(static_cast<u_short>(Port));
    remote_.sin_addr.s_addr = INADDR_ANY;
    asyncDone_ = false;
    if (::bind(socket_, reinterpret_cast<const sockaddr*>(&remote_), sizeof remote_) != 0)
        return false;
    RegisterSocket(socket_, FD_ACCEPT);
    return ::listen(socket_, 1) == 0;
}

int TNMGeneralServer::SessionCount()
{
    std::lock_guard<std::mutex> lock(sessionsLock_);
    return static_cast<int>(sessions_.size());
}

void TNMGeneralServer::Abort()
{
    ReportStatus(8, "Abort");
    std::lock_guard<std::mutex> lock(sessionsLock_);
    for (auto& session : sessions_) {
        session->component->ending_ = true;
        session->component->Cancel();
    }
}

void TNMGeneralServer::HandleAcceptNotification()
{
    try {
        std::lock_guard<std::mutex> lock(serverLock);
        asyncDone_ = true;
        const Connection accepted{Accept(), remote_};
        if (SessionCount() < MaxSessions)
            StartSession(accepted);
        else if (waiting_.size() < maxWaiting)
            waiting_.push_back(accepted);
        else
            ::closesocket(accepted.socket);  // a flood must not exhaust the receiver
    } catch (const std::exception&) {
        // no session then; the contact is reported all the same
    }
    if (OnClientContact)
        OnClientContact();
}

SOCKET TNMGeneralServer::Accept()
{
    ReportStatus(4, "Accepting");
    WaitUntil([this] { return asyncDone_ || Canceled; });
    if (Canceled)
        throw ESockError("Accepting Canceled");
    if (!succeeded_)
        throw ESockError("Error creating Data Connection");
    sockaddr_in peer{};
    int length = sizeof peer;
    const SOCKET accepted = ::accept(socket_, reinterpret_cast<sockaddr*>(&peer), &length);
    if (accepted == INVALID_SOCKET)
        throw ESockError("Error creating Data Connection");
    remote_ = peer;  // RemoteAddress gives the latest peer
    if (Canceled) {
        Canceled = false;
        ::closesocket(accepted);
        throw EAbortError("Socket send aborted");
    }
    return accepted;
}

void TNMGeneralServer::StartSession(const Connection& connection)
{
    const SOCKET accepted = connection.socket;
    auto session = std::make_unique<Session>();
    try {
        session->component = NewSession();
    } catch (...) {
        ::closesocket(accepted);
        throw;
    }
    TNMGeneralServer& component = *session->component;
    component.Connected = true;
    component.remote_ = connection.peer;
    component.OnConnect = OnConnect;
    component.OnDisconnect = OnDisconnect;
    component.parent_ = this;
    component.IdleLimitMs = IdleLimitMs;
    component.NoteProgress();
    ::closesocket(component.socket_);
    component.socket_ = accepted;
    component.RegisterSocket(accepted, FD_READ | FD_OOB | FD_ACCEPT | FD_CONNECT | FD_CLOSE);
    TNMGeneralServer* raw = &component;
    session->thread = std::thread([this, raw] { RunSession(raw); });
    std::lock_guard<std::mutex> lock(sessionsLock_);
    sessions_.push_back(std::move(session));
}

void TNMGeneralServer::RunSession(TNMGeneralServer* session)
{
    try {
        session->Serve();
    } catch (...) {
        // a failure ends only this session
    }
    // The session's windows belong to the main thread: it ends the session there.
    ::PostMessageA(notifier_.Handle(), sessionEnded, 0, reinterpret_cast<LPARAM>(session));
}

void TNMGeneralServer::EndSession(TNMGeneralServer* session)
{
    std::unique_ptr<Session> ended;
    {
        std::lock_guard<std::mutex> lock(serverLock);
        std::lock_guard<std::mutex> sessions(sessionsLock_);
        const auto it = std::find_if(sessions_.begin(), sessions_.end(),
                                     [session](const auto& s) { return s->component.get() == session; });
        if (it == sessions_.end())
            return;
        ended = std::move(*it);
        sessions_.erase(it);
    }
    ended->thread.join();
    ended.reset();
    if (shutDown_)
        return;
    StartWaiting();
    if (OnSessionEnded)
        OnSessionEnded();
}

void TNMGeneralServer::StartWaiting()
{
    while (!waiting_.empty() && SessionCount() < MaxSessions) {
        const Connection next = waiting_.front();
        waiting_.pop_front();
        try {
            std::lock_guard<std::mutex> lock(serverLock);
            StartSession(next);
        } catch (const std::exception&) {
            // that connection is closed; the next one may still be served
        }
    }
}

void TNMGeneralServer::HandlePeerClose()
{
    if (!parent_) {
        TPowersock::HandlePeerClose();
        return;
    }
    // A session's socket is its thread's until the session ends: closed (and
    // replaced) here, under a read on that thread, its handle could already
    // be another connection's. The main thread only notes that the peer has
    // gone; the socket is closed when the session is destroyed, after its
    // thread has been joined.
    Connected = false;
    if (OnDisconnect)
        OnDisconnect();
}

void TNMGeneralServer::WaitForPeerClose()
{
    // Connected is cleared on the main thread by the close notification; a
    // close seen here ends the wait as well. What the peer still sends
    // belongs to no transfer and is dropped, as bytes left waiting would
    // hide its close; it does not count as progress.
    while (Connected && !Canceled && !ending_) {
        const int received = ::recv(socket_, buffer_.data(), static_cast<int>(bufferSize), 0);
        if (received == 0)
            return;
        if (received > 0)
            continue;
        if (::WSAGetLastError() != WSAEWOULDBLOCK)
            return;  // the connection is broken
        CheckIdle();
        AwaitSocket(Direction::Receive);
    }
}

void TNMGeneralServer::ResetConnection()
{
    Connected = false;
    if (socket_ == INVALID_SOCKET)
        return;
    const ::linger abortive{1, 0};
    ::setsockopt(socket_, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abortive), sizeof abortive);
    ::closesocket(std::exchange(socket_, INVALID_SOCKET));
}
