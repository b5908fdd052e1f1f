#include "PortalSender.h"

#include "core/ReceivedNames.h"
#include "core/StreamHeader.h"
#include "transfer/NMSTRM.h"
#include "winui/Application.h"

#include <chrono>
#include <utility>

namespace tessaly {

namespace {

constexpr UINT eventsWaiting = WM_APP + 30;

// The file a command cannot send because the format cannot carry its size.
struct TooLargeToSend {
    std::string name;
};

}  // namespace

PortalSender::PortalSender()
    : window_("Larkspan.PortalSender", [this](UINT message, WPARAM, LPARAM) {
          if (message != eventsWaiting)
              return false;
          TakeEvents();
          return true;
      })
{
    window_.Create();
}

PortalSender::~PortalSender()
{
    if (!worker_.joinable())
        return;
    // A connect that begins clears the component's cancellation: it is
    // said again until the worker has ended.
    for (;;) {
        std::unique_lock<std::mutex> lock(lock_);
        cancelled_ = true;
        if (sending_)
            sending_->Cancel();
        answered_.notify_all();  // a worker waiting for a host gives up
        if (answered_.wait_for(lock, std::chrono::milliseconds(5), [this] { return finished_; }))
            break;
    }
    worker_.join();
}

bool PortalSender::Start(std::string host, std::vector<std::wstring> paths)
{
    if (running_)
        return false;
    std::vector<OutgoingFile> files;
    for (std::wstring& path : paths) {
        std::string name = larkspan::portal::AnnouncedName(winui::Utf16(path), codePage_);
        files.push_back({std::move(path), std::move(name)});
    }
    Join();  // the previous command's thread, ended already
    {
        std::lock_guard<std::mutex> lock(lock_);
        events_.clear();
        cancelled_ = finished_ = hostAnswered_ = false;
    }
    running_ = true;
    Settings settings{std::move(host), Port, IdleLimitMs};
    worker_ = std::thread([this, settings = std::move(settings), files = std::move(files)]() mutable {
        Run(std::move(settings), std::move(files));
    });
    return true;
}

void PortalSender::Join()
{
    if (worker_.joinable())
        worker_.join();
}

// ---- On the worker -----------------------------------------------------------

void PortalSender::Run(Settings settings, std::vector<OutgoingFile> files)
{
    Event finished{Event::Kind::Finished};
    try {
        // Created here: its hidden windows, its notifications and its waits
        // are this thread's.
        TNMStrm NMSend1;
        NMSend1.Port = settings.port;
        NMSend1.IdleLimitMs = settings.idleLimitMs;
        NMSend1.Host = std::move(settings.host);
        SendAll(NMSend1, files, finished);
    } catch (const std::exception&) {
        finished.outcome = Outcome::Failed;  // no component: no socket to send with
    }
    std::lock_guard<std::mutex> lock(lock_);
    finished_ = true;
    events_.push_back(std::move(finished));
    answered_.notify_all();
    Wake();
}

void PortalSender::SendAll(TNMStrm& NMSend1, const std::vector<OutgoingFile>& files, Event& finished)
{
    NMSend1.OnConnect = [this, &NMSend1] {
        Post({Event::Kind::Connect});
        // A cancellation that came while the connect began was cleared by it.
        std::lock_guard<std::mutex> lock(lock_);
        if (cancelled_)
            NMSend1.Cancel();
    };
    NMSend1.OnDisconnect = [this] { Post({Event::Kind::Disconnect}); };
    NMSend1.OnConnectionFailed = [this] { Post({Event::Kind::ConnectionFailed}); };
    NMSend1.OnPacketSent = [this, &NMSend1] { Post({Event::Kind::PacketSent, NMSend1.SentByteCount}); };
    NMSend1.OnMessageSent = [this] { Post({Event::Kind::MessageSent}); };
    NMSend1.OnInvalidHost = [this, &NMSend1](bool& handled) {
        if (const std::optional<std::string> host = AskForHost()) {
            NMSend1.Host = *host;
            handled = true;
        }
    };
    {
        std::lock_guard<std::mutex> lock(lock_);
        sending_ = &NMSend1;
    }
    try {
        for (const OutgoingFile& outgoing : files) {
            {
                std::lock_guard<std::mutex> lock(lock_);
                if (cancelled_)
                    break;
            }
            NMSend1.FromName = outgoing.name;
            TFileStream file(outgoing.path, TFileStream::Mode::OpenReadExclusive);
            // Refused before connecting: the size field cannot carry it.
            if (file.Size() > larkspan::transfer::maxContentSize)
                throw TooLargeToSend{NMSend1.FromName};
            std::string reply;  // the acknowledgement; anything else throws
            NMSend1.PostStream(file, reply);
        }
    } catch (const TooLargeToSend& tooLarge) {
        finished.outcome = Outcome::TooLarge;
        finished.file = tooLarge.name;
    } catch (const std::exception&) {
        finished.outcome = Outcome::Failed;
    }
    std::lock_guard<std::mutex> lock(lock_);
    sending_ = nullptr;
}

void PortalSender::Post(Event event)
{
    std::lock_guard<std::mutex> lock(lock_);
    // Progress that the window has not shown yet is replaced, not queued
    // behind: a fast transfer makes thousands of pieces a second.
    if (event.kind == Event::Kind::PacketSent && !events_.empty() && events_.back().kind == Event::Kind::PacketSent)
        events_.back().sent = event.sent;
    else
        events_.push_back(std::move(event));
    Wake();
}

void PortalSender::Wake()
{
    if (!std::exchange(wakePending_, true))
        ::PostMessageA(window_.Handle(), eventsWaiting, 0, 0);
}

std::optional<std::string> PortalSender::AskForHost()
{
    Post({Event::Kind::InvalidHost});
    std::unique_lock<std::mutex> lock(lock_);
    answered_.wait(lock, [this] { return hostAnswered_ || cancelled_; });
    hostAnswered_ = false;
    return cancelled_ ? std::nullopt : std::exchange(newHost_, std::nullopt);
}

// ---- On the starting thread --------------------------------------------------

void PortalSender::TakeEvents()
{
    // One at a time, taken before it is raised: a handler may show a box,
    // whose message loop brings the next ones here.
    for (;;) {
        Event next;
        {
            std::lock_guard<std::mutex> lock(lock_);
            wakePending_ = false;
            if (events_.empty())
                return;
            next = std::move(events_.front());
            events_.pop_front();
        }
        winui::RunGuarded([&] { Raise(next); });
    }
}

void PortalSender::Raise(const Event& event)
{
    const auto raise = [](const std::function<void()>& handler) {
        if (handler)
            handler();
    };
    switch (event.kind) {
    case Event::Kind::Connect:
        raise(OnConnect);
        break;
    case Event::Kind::Disconnect:
        raise(OnDisconnect);
        break;
    case Event::Kind::ConnectionFailed:
        raise(OnConnectionFailed);
        break;
    case Event::Kind::PacketSent:
        if (OnPacketSent)
            OnPacketSent(event.sent);
        break;
    case Event::Kind::MessageSent:
        raise(OnMessageSent);
        break;
    case Event::Kind::InvalidHost: {
        // The worker waits for an answer however the question ends.
        std::optional<std::string> host;
        const auto answer = [this, &host] {
            std::lock_guard<std::mutex> lock(lock_);
            newHost_ = std::move(host);
            hostAnswered_ = true;
            answered_.notify_all();
        };
        try {
            if (OnInvalidHost)
                host = OnInvalidHost();
        } catch (...) {
            answer();
            throw;
        }
        answer();
        break;
    }
    case Event::Kind::Finished:
        Join();
        running_ = false;
        if (OnFinished)
            OnFinished(event.outcome, event.file);
        break;
    }
}

}  // namespace tessaly
