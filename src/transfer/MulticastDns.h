// This machine's Tessaly on the local network by DNS service discovery over
// multicast DNS: one UDP socket on port 5353, shared with the platform's own
// responder and other programs, joined to the group 224.0.0.251 on each
// IPv4 interface and served by a thread of its own. The thread claims the
// names (probing, renaming on a conflict), announces them, answers
// questions about them, says goodbye at the end, and collects the answers
// to a browse. Without a network it does nothing and browses find nothing.
#pragma once

#include "core/ServiceDiscovery.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class MulticastDns {
public:
    struct Settings {
        std::string computerName;  // UTF-8
        bool announce = true;      // false: browse only, publish nothing
    };

    explicit MulticastDns(Settings settings);
    MulticastDns(const MulticastDns&) = delete;
    MulticastDns& operator=(const MulticastDns&) = delete;
    // Says goodbye for what was announced, then ends the thread.
    ~MulticastDns();

    // False when the socket could not be made or joined to the group on
    // any interface.
    bool Running() const noexcept { return thread_.joinable(); }

    // Starts a browse: a query now and two more within about 1.5 s, the
    // instances already heard from listed as known answers.
    void StartBrowse();
    // What the browse has found so far, this machine's own instance never.
    std::vector<larkspan::discovery::Found> Found() const;
    // The instance name in use, once claimed (empty before, or when not
    // announcing).
    std::string ClaimedInstance() const;

    // How long a browse collects answers.
    static constexpr std::chrono::milliseconds browseTime{1500};

private:
    using Clock = std::chrono::steady_clock;
    struct Interface {
        larkspan::dns::Address address;
        larkspan::dns::Address netmask;
    };
    enum class Phase { Off, Probing, Announcing, Steady };

    bool Open();
    void Serve();
    void Receive();
    void Handle(const larkspan::dns::Message& message, const larkspan::dns::Address& from, std::uint16_t fromPort);
    void Answer(const larkspan::dns::Message& query, const Interface& via, const larkspan::dns::Address& from,
                std::uint16_t fromPort);
    void RunSchedule(Clock::time_point now);
    void Rename(const larkspan::discovery::Conflicts& conflicts);
    void StartProbing(Clock::time_point now);
    // The identity as published on one interface: its own address only.
    larkspan::discovery::Identity On(const Interface& where) const;
    // Multicast on every interface, each with its own identity.
    void SendToGroup(const std::function<larkspan::dns::Message(const larkspan::discovery::Identity&)>& make);
    void SendTo(const larkspan::dns::Message& message, const larkspan::dns::Address& to, std::uint16_t port,
                const Interface* via);
    // Leaves out records sent on this interface (multicast) or to this
    // address (unicast) less than a second ago, so that a flood of
    // questions gets one answer a second.
    void Limit(larkspan::dns::Message& response, const larkspan::dns::Address& to, Clock::time_point now);

    Settings settings_;
    std::uintptr_t socket_;  // SOCKET, kept opaque so that the header needs no socket library
    HANDLE socketEvent_ = nullptr;
    HANDLE wake_ = nullptr;
    bool started_ = false;  // the socket library was started, and is ended with this
    std::vector<Interface> interfaces_;
    std::thread thread_;
    std::atomic<bool> stop_ = false;

    // The serving thread's own.
    larkspan::discovery::Identity identity_;
    Phase phase_ = Phase::Off;
    int step_ = 0;
    Clock::time_point next_;
    std::map<std::string, Clock::time_point> lastSent_;
    bool announced_ = false;

    // Shared with the caller's thread.
    mutable std::mutex lock_;
    larkspan::discovery::Browse browse_;
    int browseQueries_ = 0;  // still to send
    Clock::time_point nextQuery_;
    Clock::time_point collectUntil_;  // answers are taken into the browse until then
    std::string claimed_;
};
