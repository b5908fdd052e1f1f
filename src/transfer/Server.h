// The listening component and its sessions: it listens on all addresses,
// accepts each connection on the main thread and serves it as a session, a
// second instance of its own class, on a thread of its own. Sessions that
// stay idle too long end, and only so many run at once.
#pragma once

#include "Psock.h"

#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class TNMGeneralServer : public TPowersock {
public:
    TNMGeneralServer();
    // Shuts down (see Shutdown).
    ~TNMGeneralServer() override;

    // Starts listening on Port on all local addresses (backlog 1). False
    // when the port cannot be bound or listened on (another program holds
    // it): no connection then arrives, and the caller says so if it must.
    bool Listen();
    void Connect() override {}
    // Cancels every running session.
    void Abort() override;
    // The work of one session, on its thread.
    virtual void Serve() {}

    // Raised on the listening component after every incoming connection.
    std::function<void()> OnClientContact;
    // Raised on the listening component's thread when a session has ended,
    // however it ended (not while the component shuts down).
    std::function<void()> OnSessionEnded;
    // At most this many sessions run at once (each holds a thread and its
    // content); connections beyond them wait, holding neither, until one
    // ends: a busy receiver makes a peer wait, it never turns it away.
    int MaxSessions = 64;

    // Running sessions.
    int SessionCount();
    // Connections waiting for a session (listening thread only).
    int WaitingCount() const noexcept { return static_cast<int>(waiting_.size()); }
    TNMGeneralServer* ParentServer() const noexcept { return parent_; }

protected:
    // The virtual constructor: a session is an instance of the listening
    // component's own class.
    virtual std::unique_ptr<TNMGeneralServer> NewSession() { return std::make_unique<TNMGeneralServer>(); }
    // Waits until the peer has closed the connection (or the session idles out).
    void WaitForPeerClose();
    // Ends a session's connection at once with a reset, which the peer sees
    // as a failure rather than as the end of the data. On the session's
    // thread, whose socket it is.
    void ResetConnection();
    // Stops listening, cancels every session and waits until all have ended,
    // taking only the messages that end them. Sessions use what the derived
    // class holds (OnMSG among it): a derived class calls this first thing in
    // its destructor, before any of that is destroyed. Does nothing for a
    // session or a second time.
    void Shutdown();

private:
    struct Session {
        std::unique_ptr<TNMGeneralServer> component;
        std::thread thread;
    };

    void HandleAcceptNotification() override;
    void HandlePeerClose() override;
    // An accepted connection and its peer.
    struct Connection {
        SOCKET socket;
        sockaddr_in peer;
    };

    SOCKET Accept();
    void StartSession(const Connection& connection);
    // Starts waiting connections while sessions are free (listening thread).
    void StartWaiting();
    void EndSession(TNMGeneralServer* session);
    void RunSession(TNMGeneralServer* session);

    std::mutex sessionsLock_;
    std::vector<std::unique_ptr<Session>> sessions_;
    // Accepted beyond MaxSessions, oldest first; only the listening thread
    // touches it. Bounded only as a last resort against a flood.
    std::deque<Connection> waiting_;
    static constexpr std::size_t maxWaiting = 4096;
    // Ends finished sessions on the main thread, which owns their windows.
    static constexpr UINT sessionEnded = WM_APP + 3;
    winui::MessageWindow notifier_{"Larkspan.ServerNotifier", [this](UINT message, WPARAM, LPARAM lParam) {
                                       if (message != sessionEnded)
                                           return false;
                                       EndSession(reinterpret_cast<TNMGeneralServer*>(lParam));
                                       return true;
                                   }};
    TNMGeneralServer* parent_ = nullptr;
    bool shutDown_ = false;
    // Set on a session when its listener ends it. Unlike Canceled, which the
    // operation that reports the cancellation clears, it stays set, so a
    // cancellation that came between two operations still ends the wait for
    // the peer's close.
    std::atomic<bool> ending_{false};
};
