// Service discovery over multicast DNS under Wine: several services in one
// process share port 5353 as programs on one machine do, and find each other
// through the network's multicast group.
#include "transfer/MulticastDns.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

namespace {

using namespace std::chrono_literals;

bool Lists(const std::vector<larkspan::discovery::Found>& found, const std::string& instance)
{
    return std::ranges::any_of(found, [&](const auto& f) { return f.instance == instance; });
}

// The browse's findings once its time is up.
std::vector<larkspan::discovery::Found> Browse(MulticastDns& browser)
{
    browser.StartBrowse();
    std::this_thread::sleep_for(MulticastDns::browseTime);
    return browser.Found();
}

// Waits until the service has claimed its names (probing and the first
// announcement take about a second).
std::string Claimed(const MulticastDns& service)
{
    for (int i = 0; i < 60 && service.ClaimedInstance().empty(); ++i)
        std::this_thread::sleep_for(100ms);
    return service.ClaimedInstance();
}

sockaddr_in Group()
{
    sockaddr_in group{};
    group.sin_family = AF_INET;
    group.sin_port = htons(5353);
    group.sin_addr.s_addr = htonl(0xE00000FB);
    return group;
}

void SendToGroup(SOCKET s, const larkspan::dns::Message& message)
{
    const auto bytes = *larkspan::dns::Encode(message);
    const sockaddr_in group = Group();
    ::sendto(s, reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()), 0,
             reinterpret_cast<const sockaddr*>(&group), sizeof group);
}

// A socket of another program on port 5353, in the group on the default
// interface, whose receives give up after 100 ms.
SOCKET JoinedSocket()
{
    const SOCKET s = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    const BOOL reuse = TRUE;
    ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_port = htons(5353);
    ip_mreq join{};
    join.imr_multiaddr.s_addr = htonl(0xE00000FB);
    const DWORD timeout = 100;
    ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    if (::bind(s, reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0 ||
        ::setsockopt(s, IPPROTO_IP, IP_ADD_MEMBERSHIP, reinterpret_cast<const char*>(&join), sizeof join) != 0) {
        ::closesocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

class MulticastDnsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        probe_ = std::make_unique<MulticastDns>(MulticastDns::Settings{"Probe", false});
        if (!probe_->Running())
            GTEST_SKIP() << "no IPv4 interface with multicast here: nothing to announce on";
    }
    std::unique_ptr<MulticastDns> probe_;
};

}  // namespace

TEST_F(MulticastDnsTest, ServicesFindEachOtherButNotThemselves)
{
    MulticastDns alpha({"Alpha", true});
    MulticastDns beta({"Beta", true});
    ASSERT_EQ(Claimed(alpha), "Alpha");
    ASSERT_EQ(Claimed(beta), "Beta");
    const auto found = Browse(beta);
    ASSERT_TRUE(Lists(found, "Alpha"));
    EXPECT_FALSE(Lists(found, "Beta"));
    const auto& entry = *std::ranges::find_if(found, [](const auto& f) { return f.instance == "Alpha"; });
    EXPECT_EQ(entry.port, 6501);
    EXPECT_FALSE(entry.address.empty());
    EXPECT_NE(entry.address, "127.0.0.1");
    // A browser that announces nothing finds both.
    const auto all = Browse(*probe_);
    EXPECT_TRUE(Lists(all, "Alpha"));
    EXPECT_TRUE(Lists(all, "Beta"));
}

// Another machine that holds "Twin" answers the probes for it: the service
// moves on to "Twin (2)" and is found under that name.
TEST_F(MulticastDnsTest, ANameHeldElsewhereMovesTheServiceToTheNextOne)
{
    const larkspan::discovery::Identity other{"Twin", "elsewhere", {{10, 9, 9, 9}}};
    const SOCKET s = JoinedSocket();
    ASSERT_NE(s, INVALID_SOCKET);
    std::atomic<int> defended = 0;
    std::atomic<bool> done = false;
    std::thread holder([&] {
        std::vector<std::uint8_t> packet(9000);
        while (!done) {
            const int size = ::recv(s, reinterpret_cast<char*>(packet.data()), static_cast<int>(packet.size()), 0);
            if (size <= 0)
                continue;  // the receive time-out: look at `done` again
            const auto message = larkspan::dns::Decode(std::span(packet.data(), static_cast<std::size_t>(size)));
            if (!message || message->IsResponse() || message->authorities.empty())
                continue;
            for (const auto& question : message->questions)
                if (larkspan::dns::SameName(question.name, other.InstanceName())) {
                    SendToGroup(s, larkspan::discovery::Announcement(other));
                    ++defended;
                }
        }
    });
    MulticastDns twin({"Twin", true});
    const std::string claimed = Claimed(twin);
    done = true;
    holder.join();
    ::closesocket(s);
    EXPECT_GE(defended, 1);
    EXPECT_EQ(claimed, "Twin (2)");
    EXPECT_TRUE(Lists(Browse(*probe_), "Twin (2)"));
}

TEST_F(MulticastDnsTest, AServiceThatDoesNotAnnounceIsNotFoundAndGoodbyesAreHeard)
{
    auto leaving = std::make_unique<MulticastDns>(MulticastDns::Settings{"Leaving", true});
    MulticastDns quiet({"Quiet", false});
    ASSERT_EQ(Claimed(*leaving), "Leaving");
    auto found = Browse(*probe_);
    EXPECT_TRUE(Lists(found, "Leaving"));
    EXPECT_FALSE(Lists(found, "Quiet"));
    EXPECT_TRUE(quiet.ClaimedInstance().empty());
    leaving.reset();  // says goodbye
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(Lists(probe_->Found(), "Leaving"));
}

// Whatever arrives on the port, the service goes on answering.
TEST_F(MulticastDnsTest, MalformedPacketsAreDroppedWithoutEffect)
{
    MulticastDns target({"Sturdy", true});
    ASSERT_EQ(Claimed(target), "Sturdy");
    const SOCKET s = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    ASSERT_NE(s, INVALID_SOCKET);
    sockaddr_in group = Group();
    const unsigned char loop[] = {0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0xC0, 12, 0, 1, 0, 1};
    const unsigned char cut[] = {0, 0, 0x84, 0, 0, 0, 0, 5};
    std::vector<char> huge(9500, 'x');
    for (int i = 0; i < 50; ++i) {
        ::sendto(s, reinterpret_cast<const char*>(loop), sizeof loop, 0, reinterpret_cast<sockaddr*>(&group),
                 sizeof group);
        ::sendto(s, reinterpret_cast<const char*>(cut), sizeof cut, 0, reinterpret_cast<sockaddr*>(&group),
                 sizeof group);
        ::sendto(s, huge.data(), static_cast<int>(huge.size()), 0, reinterpret_cast<sockaddr*>(&group), sizeof group);
    }
    ::closesocket(s);
    EXPECT_TRUE(Lists(Browse(*probe_), "Sturdy"));
}
