#include "core/ServiceDiscovery.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dns = larkspan::dns;
namespace discovery = larkspan::discovery;

namespace {

discovery::Identity Machine(const std::string& instance, const std::string& host, dns::Address address)
{
    return {instance, host, {address}};
}

// A message as it arrives: written to the wire and read back.
dns::Message OverTheWire(const dns::Message& message)
{
    return *dns::Decode(*dns::Encode(message));
}

}  // namespace

TEST(ServiceDiscovery, ABrowseFindsEachOtherMachineWithItsAddressAndPort)
{
    const auto desk = Machine("Front Desk", "frontdesk", {192, 168, 1, 20});
    const auto lab = Machine("Lab", "lab", {10, 0, 0, 5});
    const auto self = Machine("Here", "here", {10, 0, 0, 9});
    const dns::Message query = OverTheWire(discovery::BrowseQuery());

    discovery::Browse browse(self.InstanceName());
    for (const auto& machine : {desk, lab, self}) {
        const auto answer = discovery::Answer(query, machine);
        ASSERT_TRUE(answer);
        // The answer carries what a browser needs next: SRV, TXT and address.
        EXPECT_EQ(answer->answers.size(), 1u);
        EXPECT_EQ(answer->additionals.size(), 3u);
        browse.Take(OverTheWire(*answer));
    }
    const auto found = browse.Results();
    ASSERT_EQ(found.size(), 2u);  // not this machine's own
    EXPECT_EQ(found[0].instance, "Front Desk");
    EXPECT_EQ(found[0].address, "192.168.1.20");
    EXPECT_EQ(found[0].port, 6501);
    EXPECT_EQ(found[1].instance, "Lab");
    EXPECT_EQ(found[1].address, "10.0.0.5");

    // A repeat lists the instances known: they do not answer again.
    const dns::Message repeat = OverTheWire(discovery::BrowseQuery(browse.Instances()));
    EXPECT_FALSE(discovery::Answer(repeat, desk));
    // A machine that leaves says goodbye and is no longer listed.
    browse.Take(OverTheWire(discovery::Announcement(lab, true)));
    ASSERT_EQ(browse.Results().size(), 1u);
    EXPECT_EQ(browse.Results()[0].instance, "Front Desk");
}

TEST(ServiceDiscovery, AMachineThatComesBackAtAnotherAddressIsListedThere)
{
    // The desk's machine took another address (a new lease, another
    // network): its announcement flushes the old one from the cache.
    const auto before = Machine("Front Desk", "frontdesk", {192, 168, 1, 20});
    const auto after = Machine("Front Desk", "frontdesk", {192, 168, 1, 21});
    discovery::Browse browse(Machine("Here", "here", {10, 0, 0, 9}).InstanceName());
    browse.Take(OverTheWire(discovery::Announcement(before)));
    ASSERT_EQ(browse.Results().size(), 1u);
    EXPECT_EQ(browse.Results()[0].address, "192.168.1.20");
    browse.Take(OverTheWire(discovery::Announcement(after)));
    ASSERT_EQ(browse.Results().size(), 1u);
    EXPECT_EQ(browse.Results()[0].address, "192.168.1.21");

    // Its address withdrawn alone (a goodbye for the A record only), the
    // machine cannot be reached and is not listed until it is known again.
    dns::Message withdrawn;
    withdrawn.flags = dns::responseFlags;
    for (dns::Record record : discovery::Records(after, true))
        if (record.type == dns::A)
            withdrawn.answers.push_back(record);
    browse.Take(OverTheWire(withdrawn));
    EXPECT_TRUE(browse.Results().empty());
    browse.Take(OverTheWire(discovery::Announcement(before)));
    ASSERT_EQ(browse.Results().size(), 1u);
    EXPECT_EQ(browse.Results()[0].address, "192.168.1.20");
}

TEST(ServiceDiscovery, AnswersOnlyWhatIsAskedAboutItsOwnNames)
{
    const auto desk = Machine("Front Desk", "frontdesk", {192, 168, 1, 20});
    dns::Message query;
    query.questions.push_back({{"FRONTDESK", "local"}, dns::A, false});
    const auto address = discovery::Answer(query, desk);
    ASSERT_TRUE(address);
    ASSERT_EQ(address->answers.size(), 1u);
    EXPECT_EQ(std::get<dns::Address>(address->answers[0].data), (dns::Address{192, 168, 1, 20}));
    EXPECT_TRUE(address->additionals.empty());

    query.questions = {{desk.InstanceName(), dns::SRV, false}};
    const auto srv = discovery::Answer(query, desk);
    ASSERT_TRUE(srv);
    EXPECT_EQ(srv->answers.size(), 1u);
    EXPECT_EQ(srv->additionals.size(), 1u);  // the host's address

    query.questions = {{{"other", "local"}, dns::ANY, false}, {{"_http", "_tcp", "local"}, dns::PTR, false}};
    EXPECT_FALSE(discovery::Answer(query, desk));
    // Responses are never answered.
    EXPECT_FALSE(discovery::Answer(discovery::Announcement(desk), desk));
    // The service enumeration names the service type.
    query.questions = {{{"_services", "_dns-sd", "_udp", "local"}, dns::PTR, false}};
    const auto types = discovery::Answer(query, desk);
    ASSERT_TRUE(types);
    EXPECT_EQ(std::get<dns::Ptr>(types->answers[0].data).target, discovery::ServiceType());
}

TEST(ServiceDiscovery, ConflictsComeFromOtherMachinesOnly)
{
    const auto mine = Machine("Studio", "studio", {10, 0, 0, 9});
    // Its own packets come back through the multicast loop: no conflict.
    for (const dns::Message& own : {discovery::Announcement(mine), discovery::Probe(mine)}) {
        const auto c = discovery::FindConflicts(OverTheWire(own), mine, true);
        EXPECT_FALSE(c.instance || c.host);
    }
    // Another machine that holds the same instance name, or the host name.
    const auto same =
        discovery::FindConflicts(OverTheWire(discovery::Announcement(Machine("Studio", "other", {10, 0, 0, 7}))), mine, false);
    EXPECT_TRUE(same.instance);
    EXPECT_FALSE(same.host);
    const auto host =
        discovery::FindConflicts(OverTheWire(discovery::Announcement(Machine("Else", "studio", {10, 0, 0, 7}))), mine, false);
    EXPECT_FALSE(host.instance);
    EXPECT_TRUE(host.host);
    // Two machines probing for the same names at once: the later data wins
    // and the other moves on; exactly one of the two gives way.
    const auto a = Machine("Studio", "studio", {10, 0, 0, 7});
    const auto b = Machine("Studio", "studio", {10, 0, 0, 9});
    const auto aLoses = discovery::FindConflicts(OverTheWire(discovery::Probe(b)), a, true);
    const auto bLoses = discovery::FindConflicts(OverTheWire(discovery::Probe(a)), b, true);
    EXPECT_TRUE(aLoses.host);
    EXPECT_FALSE(bLoses.host);
    // Once its names are claimed, another's probe is answered, not given way to.
    EXPECT_FALSE(discovery::FindConflicts(OverTheWire(discovery::Probe(b)), a, false).host);
    // Records of a type it does not publish under its name (the platform's
    // own AAAA for the host) are no conflict.
    dns::Message platform;
    platform.flags = dns::responseFlags;
    platform.answers.push_back({{"studio", "local"}, 28, true, 120, dns::Other{std::vector<std::uint8_t>(16, 1)}});
    const auto aaaa = discovery::FindConflicts(OverTheWire(platform), mine, true);
    EXPECT_FALSE(aaaa.host || aaaa.instance);
}

TEST(ServiceDiscovery, LabelsAreSafeAndRenumberedWithinTheirLength)
{
    EXPECT_EQ(discovery::InstanceLabel("Front\r\nDesk\x01<evil>"), "FrontDeskevil");
    EXPECT_EQ(discovery::InstanceLabel(std::string("a\0b", 3)), "ab");
    // 63 bytes at most, never half a character: "é" is two bytes.
    std::string accented;
    for (int i = 0; i < 40; ++i)
        accented += "\xC3\xA9";
    EXPECT_EQ(discovery::InstanceLabel(accented).size(), 62u);
    EXPECT_EQ(discovery::InstanceLabel("ok\xFF rest"), "ok");
    // C1 controls, direction overrides and line separators go; overlong
    // and surrogate sequences end the label.
    EXPECT_EQ(discovery::InstanceLabel("a\xC2\x85" "b\xE2\x80\xAE" "c\xE2\x80\xA8" "d\xEF\xBB\xBF" "e"), "abcde");
    EXPECT_EQ(discovery::InstanceLabel("a\xC0\xBC" "b"), "a");
    EXPECT_EQ(discovery::InstanceLabel("a\xED\xA0\x80" "b"), "a");
    EXPECT_EQ(discovery::InstanceLabel("caf\xC3\xA9 \xF0\x9F\x8C\xB2"), "caf\xC3\xA9 \xF0\x9F\x8C\xB2");
    EXPECT_EQ(discovery::HostLabel("DESKTOP-7 Q_1"), "desktop-7q1");
    EXPECT_EQ(discovery::HostLabel("--"), "tessaly");
    EXPECT_EQ(discovery::NextInstanceLabel("Studio"), "Studio (2)");
    EXPECT_EQ(discovery::NextInstanceLabel("Studio (2)"), "Studio (3)");
    EXPECT_EQ(discovery::NextInstanceLabel("(9)"), "(9) (2)");
    EXPECT_EQ(discovery::NextHostLabel("studio"), "studio-2");
    EXPECT_EQ(discovery::NextHostLabel("studio-9"), "studio-10");
    const std::string longest(63, 'x');
    EXPECT_EQ(discovery::NextInstanceLabel(longest), std::string(59, 'x') + " (2)");
    EXPECT_EQ(discovery::NextHostLabel(longest).size(), 63u);
}

// A flood of made-up instances stops at the limit, and a repeat query with
// all of them known still fits one packet.
TEST(ServiceDiscovery, AFloodOfInstancesIsBounded)
{
    discovery::Browse browse;
    for (int batch = 0; batch < 20; ++batch) {
        dns::Message flood;
        flood.flags = dns::responseFlags;
        for (int i = 0; i < 50; ++i) {
            const std::string name = "fake-" + std::to_string(batch) + "-" + std::to_string(i);
            flood.answers.push_back({discovery::ServiceType(), dns::PTR, false, 4500,
                                     dns::Ptr{{name, "_tessaly", "_tcp", "local"}}});
        }
        browse.Take(OverTheWire(flood));
    }
    EXPECT_EQ(browse.Instances().size(), discovery::Browse::maxInstances);
    EXPECT_TRUE(dns::Encode(discovery::BrowseQuery(browse.Instances())));
}
