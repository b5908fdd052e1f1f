// The portal's send commands: one at a time, the files one by one to one
// host, each as one transfer. The wire work runs on a thread of the
// command's own, so that nothing the user or a peer opens on the window's
// thread meanwhile (a box, a menu, a dialog) holds the bytes up; the
// command's events come back to the thread that started it, in order.
#pragma once

#include "winui/AnsiCodePage.h"
#include "winui/MessageWindow.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class TNMStrm;

namespace tessaly {

class PortalSender {
public:
    enum class Outcome {
        Sent,       // every file went
        Failed,     // a file could not be opened or sent: the rest were not sent
        TooLarge,   // a file is beyond what the format carries; not sent, nor the rest
    };

    // On the thread whose messages carry the events back.
    PortalSender();
    PortalSender(const PortalSender&) = delete;
    PortalSender& operator=(const PortalSender&) = delete;
    // Cancels a running command at once, its connection closed without the
    // rest of the content, and waits for its thread.
    ~PortalSender();

    int Port = 6501;
    // A peer that neither takes content nor answers for this long ends the send.
    int IdleLimitMs = 60000;

    // The sending component's events, raised on the starting thread.
    std::function<void()> OnConnect;
    std::function<void()> OnDisconnect;
    std::function<void()> OnConnectionFailed;
    std::function<void(std::int32_t sentByteCount)> OnPacketSent;
    std::function<void()> OnMessageSent;
    // The host cannot be resolved: the handler may give another; the worker
    // waits for its answer.
    std::function<std::optional<std::string>()> OnInvalidHost;
    // The command has ended; `file` names the file that was too large.
    std::function<void(Outcome outcome, const std::string& file)> OnFinished;

    // True from Start until OnFinished has been raised.
    bool Running() const noexcept { return running_; }
    // Starts a command; refused (false) while one runs. Each file is opened
    // by its path as the file system names it and announced under its name
    // in the ANSI code page, where each character the code page cannot hold
    // is "_": peers take names in that code page, byte for byte.
    bool Start(std::string host, std::vector<std::wstring> files);

private:
    struct Event {
        enum class Kind { Connect, Disconnect, ConnectionFailed, PacketSent, MessageSent, InvalidHost, Finished };
        Event() = default;
        Event(Kind k, std::int32_t sentByteCount = 0) : kind(k), sent(sentByteCount) {}
        Kind kind = Kind::Finished;
        std::int32_t sent = 0;  // PacketSent
        Outcome outcome = Outcome::Sent;  // Finished
        std::string file;       // Finished: the file that was too large
    };

    struct OutgoingFile {
        std::wstring path;  // opened by it
        std::string name;   // announced
    };

    // What a command's worker takes from the sender when it starts.
    struct Settings {
        std::string host;
        int port;
        int idleLimitMs;
    };

    // On the worker.
    void Run(Settings settings, std::vector<OutgoingFile> files);
    void SendAll(TNMStrm& NMSend1, const std::vector<OutgoingFile>& files, Event& finished);
    void Post(Event event);
    void Wake();  // under the lock
    std::optional<std::string> AskForHost();
    // On the starting thread.
    void TakeEvents();
    void Raise(const Event& event);
    void Join();

    winui::AnsiCodePage codePage_;
    winui::MessageWindow window_;
    std::thread worker_;
    bool running_ = false;

    std::mutex lock_;
    std::condition_variable answered_;
    std::deque<Event> events_;              // worker to window, in order
    std::optional<std::string> newHost_;    // the answer to InvalidHost
    bool hostAnswered_ = false;
    bool cancelled_ = false;
    bool finished_ = false;                 // the worker has posted Finished
    bool wakePending_ = false;              // a message is on its way to TakeEvents
    TNMStrm* sending_ = nullptr;            // the worker's component while it exists
};

}  // namespace tessaly
