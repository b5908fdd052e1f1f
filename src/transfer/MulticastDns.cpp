#include "MulticastDns.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cstring>
#include <random>

namespace dns = larkspan::dns;
namespace discovery = larkspan::discovery;

namespace {

using namespace std::chrono_literals;

constexpr auto probeInterval = 250ms;
constexpr int probes = 3;
constexpr auto announceInterval = 1s;
constexpr int announcements = 2;
// Queries of a browse: at once, then after these delays.
constexpr std::chrono::milliseconds queryDelays[] = {400ms, 1000ms};
constexpr int browseQueryCount = 1 + static_cast<int>(std::size(queryDelays));
constexpr auto rateLimit = 1s;

SOCKET Native(std::uintptr_t socket)
{
    return static_cast<SOCKET>(socket);
}

// Sets an option numbered as Windows Sockets 2 numbers it (ws2ipdef.h)
// through ws2_32's own setsockopt. The programs link wsock32 as well, whose
// setsockopt takes the numbers of Windows Sockets 1.1 and reads
// IP_MULTICAST_IF (9) as IP_DONTFRAGMENT; which of the two a plain call
// reaches depends on the order of the libraries on the link line. Sent
// that way, every packet left by the routing table's interface instead of
// the one chosen (and by none, where no route leads to the group).
int SetOption(SOCKET s, int level, int name, const void* value, int size)
{
    using Set = int(WSAAPI*)(SOCKET, int, int, const char*, int);
    static const Set set = [] {
        const FARPROC proc = ::GetProcAddress(::LoadLibraryA("ws2_32.dll"), "setsockopt");
        Set found = nullptr;
        static_assert(sizeof found == sizeof proc);
        std::memcpy(&found, &proc, sizeof found);
        return found;
    }();
    return set ? set(s, level, name, static_cast<const char*>(value), size) : SOCKET_ERROR;
}

dns::Address AddressOf(const sockaddr_in& address)
{
    dns::Address bytes;
    std::memcpy(bytes.data(), &address.sin_addr, 4);
    return bytes;
}

sockaddr_in SocketAddress(const dns::Address& address, std::uint16_t port)
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    std::memcpy(&to.sin_addr, address.data(), 4);
    return to;
}

bool SameSubnet(const dns::Address& a, const dns::Address& b, const dns::Address& mask)
{
    for (int i = 0; i < 4; ++i)
        if ((a[i] & mask[i]) != (b[i] & mask[i]))
            return false;
    return true;
}

// A key that tells records apart for the rate limit: the record on the wire.
std::string RecordKey(const dns::Record& record)
{
    dns::Record r = record;
    r.ttl = 0;
    const auto bytes = dns::Encode({0, 0, {}, {r}, {}, {}});
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

}  // namespace

MulticastDns::MulticastDns(Settings settings)
    : settings_(std::move(settings)), socket_(static_cast<std::uintptr_t>(INVALID_SOCKET))
{
    WSADATA data{};
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return;
    started_ = true;
    identity_.instance = discovery::InstanceLabel(settings_.computerName);
    identity_.host = discovery::HostLabel(settings_.computerName);
    if (identity_.instance.empty())
        identity_.instance = "Tessaly";
    browse_ = discovery::Browse(identity_.InstanceName());
    if (!Open())
        return;
    const Clock::time_point now = Clock::now();
    if (settings_.announce)
        StartProbing(now);
    thread_ = std::thread([this] { Serve(); });
}

MulticastDns::~MulticastDns()
{
    if (thread_.joinable()) {
        stop_ = true;
        ::SetEvent(wake_);
        thread_.join();
    }
    if (Native(socket_) != INVALID_SOCKET)
        ::closesocket(Native(socket_));
    if (socketEvent_)
        ::WSACloseEvent(socketEvent_);
    if (wake_)
        ::CloseHandle(wake_);
    if (started_)
        ::WSACleanup();
}

bool MulticastDns::Open()
{
    const SOCKET s = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET)
        return false;
    socket_ = static_cast<std::uintptr_t>(s);
    // Shared with the platform's own responder and other programs.
    const BOOL reuse = TRUE;
    SetOption(s, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    const sockaddr_in any = SocketAddress({0, 0, 0, 0}, discovery::mdnsPort);
    if (::bind(s, reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0)
        return false;
    const DWORD ttl = 255;  // receivers drop packets of any other TTL
    SetOption(s, IPPROTO_IP, IP_MULTICAST_TTL, &ttl, sizeof ttl);

    INTERFACE_INFO list[32] = {};
    DWORD bytes = 0;
    if (::WSAIoctl(s, SIO_GET_INTERFACE_LIST, nullptr, 0, list, sizeof list, &bytes, nullptr, nullptr) != 0)
        return false;
    for (DWORD i = 0; i < bytes / sizeof(INTERFACE_INFO); ++i) {
        const INTERFACE_INFO& info = list[i];
        if (!(info.iiFlags & IFF_UP) || (info.iiFlags & IFF_LOOPBACK) || !(info.iiFlags & IFF_MULTICAST) ||
            info.iiAddress.Address.sa_family != AF_INET)
            continue;
        const Interface found{AddressOf(info.iiAddress.AddressIn), AddressOf(info.iiNetmask.AddressIn)};
        ip_mreq join{};
        std::memcpy(&join.imr_multiaddr, discovery::mdnsGroup.data(), 4);
        std::memcpy(&join.imr_interface, found.address.data(), 4);
        if (SetOption(s, IPPROTO_IP, IP_ADD_MEMBERSHIP, &join, sizeof join) == 0)
            interfaces_.push_back(found);
    }
    if (interfaces_.empty())
        return false;
    for (const Interface& where : interfaces_)
        identity_.addresses.push_back(where.address);
    socketEvent_ = ::WSACreateEvent();
    wake_ = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    return socketEvent_ != WSA_INVALID_EVENT && wake_ && ::WSAEventSelect(s, socketEvent_, FD_READ) == 0;
}

void MulticastDns::StartBrowse()
{
    if (!Running())
        return;
    {
        // Only the answers of this browse count: what machines said before
        // may be long gone.
        std::lock_guard<std::mutex> hold(lock_);
        browse_ = discovery::Browse(identity_.InstanceName());
        browseQueries_ = browseQueryCount;
        nextQuery_ = Clock::now();
        collectUntil_ = nextQuery_ + browseTime + 500ms;
    }
    ::SetEvent(wake_);
}

std::vector<discovery::Found> MulticastDns::Found() const
{
    std::lock_guard<std::mutex> hold(lock_);
    std::vector<discovery::Found> found = browse_.Results();
    for (discovery::Found& f : found)
        f.instance = discovery::InstanceLabel(f.instance);
    return found;
}

std::string MulticastDns::ClaimedInstance() const
{
    std::lock_guard<std::mutex> hold(lock_);
    return claimed_;
}

void MulticastDns::Serve()
{
    while (!stop_) {
        const Clock::time_point now = Clock::now();
        RunSchedule(now);
        // Asleep until a packet, a browse or the next step of the schedule.
        Clock::time_point wakeAt = now + 1h;
        if (phase_ == Phase::Probing || phase_ == Phase::Announcing)
            wakeAt = std::min(wakeAt, next_);
        {
            std::lock_guard<std::mutex> hold(lock_);
            if (browseQueries_ > 0)
                wakeAt = std::min(wakeAt, nextQuery_);
        }
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(wakeAt - now).count();
        const HANDLE events[] = {wake_, socketEvent_};
        const DWORD woken =
            ::WaitForMultipleObjects(2, events, FALSE, static_cast<DWORD>(std::max<long long>(wait, 0)));
        if (woken == WAIT_OBJECT_0 + 1) {
            ::WSAResetEvent(socketEvent_);
            Receive();
        }
    }
    if (announced_)
        SendToGroup([](const discovery::Identity& on) { return discovery::Announcement(on, true); });
}

void MulticastDns::Receive()
{
    std::vector<std::uint8_t> packet(dns::maxMessageSize + 1);
    // A bounded number per wake: a flood must not keep the thread from its
    // schedule or from ending (what is left raises the event again).
    for (int taken = 0; taken < 32 && !stop_; ++taken) {
        sockaddr_in from{};
        int fromLength = sizeof from;
        const int size =
            ::recvfrom(Native(socket_), reinterpret_cast<char*>(packet.data()), static_cast<int>(packet.size()), 0,
                       reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (size <= 0)
            return;  // WSAEWOULDBLOCK: all read (an oversized packet fails too, and is dropped)
        const std::vector<std::uint8_t> bytes(packet.begin(), packet.begin() + size);
        if (const auto message = dns::Decode(bytes))
            Handle(*message, AddressOf(from), ntohs(from.sin_port));
    }
}

void MulticastDns::Handle(const dns::Message& message, const dns::Address& from, std::uint16_t fromPort)
{
    // Multicast DNS is of the local link: a packet from elsewhere is no
    // neighbour's and gets neither an answer nor a place in a browse.
    const auto where =
        std::ranges::find_if(interfaces_, [&](const Interface& i) { return SameSubnet(i.address, from, i.netmask); });
    if (where == interfaces_.end())
        return;
    if (message.IsResponse()) {
        std::lock_guard<std::mutex> hold(lock_);
        if (Clock::now() < collectUntil_)
            browse_.Take(message);
    }
    if (phase_ == Phase::Off)
        return;
    const discovery::Conflicts conflicts = discovery::FindConflicts(message, identity_, phase_ == Phase::Probing);
    if (conflicts.instance || conflicts.host) {
        Rename(conflicts);
        return;
    }
    if (!message.IsResponse() && phase_ != Phase::Probing)
        Answer(message, *where, from, fromPort);
}

void MulticastDns::Answer(const dns::Message& query, const Interface& via, const dns::Address& from,
                          std::uint16_t fromPort)
{
    const Clock::time_point now = Clock::now();
    auto response = discovery::Answer(query, On(via));
    if (!response)
        return;
    if (fromPort != discovery::mdnsPort) {
        // A one-shot querier that is no responder: answered directly, its
        // question repeated, lifetimes of at most ten seconds.
        response->id = query.id;
        response->questions = query.questions;
        for (auto* section : {&response->answers, &response->additionals})
            for (dns::Record& record : *section) {
                record.ttl = std::min<std::uint32_t>(record.ttl, 10);
                record.cacheFlush = false;
            }
        Limit(*response, from, now);
        if (!response->answers.empty())
            SendTo(*response, from, fromPort, &via);
        return;
    }
    const bool unicast = std::ranges::all_of(query.questions, [](const dns::Question& q) { return q.unicastResponse; });
    if (unicast) {
        Limit(*response, from, now);
        if (!response->answers.empty())
            SendTo(*response, from, fromPort, &via);
        return;
    }
    Limit(*response, via.address, now);
    if (!response->answers.empty())
        SendTo(*response, discovery::mdnsGroup, discovery::mdnsPort, &via);
}

void MulticastDns::Limit(dns::Message& response, const dns::Address& to, Clock::time_point now)
{
    // Only the last second matters: older entries go once there are many.
    if (lastSent_.size() > 1024)
        std::erase_if(lastSent_, [&](const auto& entry) { return now - entry.second >= rateLimit; });
    const std::string prefix(reinterpret_cast<const char*>(to.data()), 4);
    std::erase_if(response.answers, [&](const dns::Record& record) {
        auto& last = lastSent_[prefix + RecordKey(record)];
        if (last != Clock::time_point() && now - last < rateLimit)
            return true;
        last = now;
        return false;
    });
    if (response.answers.empty())
        response.additionals.clear();
}

void MulticastDns::StartProbing(Clock::time_point now)
{
    phase_ = Phase::Probing;
    step_ = 0;
    // A random wait first, so that machines started together do not probe in step.
    std::minstd_rand random(static_cast<unsigned>(now.time_since_epoch().count()));
    next_ = now + std::chrono::milliseconds(random() % 250);
}

void MulticastDns::Rename(const discovery::Conflicts& conflicts)
{
    if (conflicts.instance)
        identity_.instance = discovery::NextInstanceLabel(identity_.instance);
    if (conflicts.host)
        identity_.host = discovery::NextHostLabel(identity_.host);
    {
        std::lock_guard<std::mutex> hold(lock_);
        browse_ = discovery::Browse(identity_.InstanceName());
        claimed_.clear();
    }
    StartProbing(Clock::now() + 1s);  // the RFC's pause before probing again
}

void MulticastDns::RunSchedule(Clock::time_point now)
{
    if ((phase_ == Phase::Probing || phase_ == Phase::Announcing) && now >= next_) {
        if (phase_ == Phase::Probing) {
            SendToGroup([](const discovery::Identity& on) { return discovery::Probe(on); });
            next_ = now + probeInterval;
            if (++step_ == probes) {
                // Nobody objected within 250 ms of the last probe: the names are ours.
                phase_ = Phase::Announcing;
                step_ = 0;
            }
        } else {
            SendToGroup([](const discovery::Identity& on) { return discovery::Announcement(on); });
            announced_ = true;
            {
                std::lock_guard<std::mutex> hold(lock_);
                claimed_ = identity_.instance;
            }
            next_ = now + announceInterval;
            if (++step_ == announcements)
                phase_ = Phase::Steady;
        }
    }
    std::vector<dns::Name> known;
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (browseQueries_ == 0 || now < nextQuery_)
            return;
        const int sent = browseQueryCount - browseQueries_;
        --browseQueries_;
        if (browseQueries_ > 0)
            nextQuery_ = now + queryDelays[sent];
        known = browse_.Instances();
    }
    const dns::Message query = discovery::BrowseQuery(known);
    for (const Interface& where : interfaces_)
        SendTo(query, discovery::mdnsGroup, discovery::mdnsPort, &where);
}

discovery::Identity MulticastDns::On(const Interface& where) const
{
    discovery::Identity on = identity_;
    on.addresses = {where.address};
    return on;
}

void MulticastDns::SendToGroup(const std::function<dns::Message(const discovery::Identity&)>& make)
{
    for (const Interface& where : interfaces_)
        SendTo(make(On(where)), discovery::mdnsGroup, discovery::mdnsPort, &where);
}

void MulticastDns::SendTo(const dns::Message& message, const dns::Address& to, std::uint16_t port, const Interface* via)
{
    const auto bytes = dns::Encode(message);
    if (!bytes)
        return;
    if (via) {
        in_addr out{};
        std::memcpy(&out, via->address.data(), 4);
        SetOption(Native(socket_), IPPROTO_IP, IP_MULTICAST_IF, &out, sizeof out);
    }
    const sockaddr_in address = SocketAddress(to, port);
    ::sendto(Native(socket_), reinterpret_cast<const char*>(bytes->data()), static_cast<int>(bytes->size()), 0,
             reinterpret_cast<const sockaddr*>(&address), sizeof address);
}
