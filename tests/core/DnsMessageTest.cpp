#include "core/DnsMessage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace dns = larkspan::dns;

namespace {

dns::Name N(const char* text)
{
    return *dns::ParseName(text);
}

// An announcement as a responder sends it: PTR, SRV, TXT and A, the
// names sharing their suffixes.
dns::Message Announcement()
{
    dns::Message m;
    m.flags = dns::responseFlags;
    m.answers.push_back({N("_tessaly._tcp.local"), dns::PTR, false, 4500, dns::Ptr{N("Front Desk._tessaly._tcp.local")}});
    m.answers.push_back({N("Front Desk._tessaly._tcp.local"), dns::SRV, true, 120, dns::Srv{0, 0, 6501, N("frontdesk.local")}});
    m.answers.push_back({N("Front Desk._tessaly._tcp.local"), dns::TXT, true, 4500, dns::Txt{{"v=1"}}});
    m.additionals.push_back({N("frontdesk.local"), dns::A, true, 120, dns::Address{192, 168, 1, 20}});
    return m;
}

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values)
{
    std::vector<std::uint8_t> bytes;
    for (int v : values)
        bytes.push_back(static_cast<std::uint8_t>(v));
    return bytes;
}

}  // namespace

TEST(DnsMessage, AnnouncementRoundTripsWithSharedSuffixesCompressed)
{
    const dns::Message sent = Announcement();
    const auto packet = dns::Encode(sent);
    ASSERT_TRUE(packet);
    // "_tessaly._tcp.local" is written once (22 bytes), then pointed to.
    EXPECT_LT(packet->size(), 150u);
    const auto got = dns::Decode(*packet);
    ASSERT_TRUE(got);
    EXPECT_TRUE(got->IsResponse());
    ASSERT_EQ(got->answers.size(), 3u);
    ASSERT_EQ(got->additionals.size(), 1u);
    EXPECT_EQ(got->answers[0].name, sent.answers[0].name);
    EXPECT_EQ(std::get<dns::Ptr>(got->answers[0].data).target, N("Front Desk._tessaly._tcp.local"));
    const auto& srv = std::get<dns::Srv>(got->answers[1].data);
    EXPECT_EQ(srv.port, 6501);
    EXPECT_EQ(srv.target, N("frontdesk.local"));
    EXPECT_TRUE(got->answers[1].cacheFlush);
    EXPECT_EQ(got->answers[1].ttl, 120u);
    EXPECT_EQ(std::get<dns::Txt>(got->answers[2].data).strings, std::vector<std::string>{"v=1"});
    EXPECT_EQ(std::get<dns::Address>(got->additionals[0].data), (dns::Address{192, 168, 1, 20}));
    // Names compare without case.
    EXPECT_TRUE(dns::SameName(got->additionals[0].name, N("FrontDesk.LOCAL")));
    EXPECT_FALSE(dns::SameName(got->additionals[0].name, N("frontdesk.local.local")));
}

TEST(DnsMessage, QuestionsKeepTheirUnicastBit)
{
    dns::Message query;
    query.questions.push_back({N("_tessaly._tcp.local"), dns::PTR, true});
    query.questions.push_back({N("frontdesk.local"), dns::A, false});
    const auto got = dns::Decode(*dns::Encode(query));
    ASSERT_TRUE(got);
    EXPECT_FALSE(got->IsResponse());
    ASSERT_EQ(got->questions.size(), 2u);
    EXPECT_TRUE(got->questions[0].unicastResponse);
    EXPECT_EQ(got->questions[1].type, dns::A);
    EXPECT_FALSE(got->questions[1].unicastResponse);
}

// Every packet cut short anywhere is refused whole, never half read.
TEST(DnsMessage, EveryTruncationIsRefused)
{
    const auto packet = *dns::Encode(Announcement());
    for (std::size_t size = 0; size < packet.size(); ++size)
        EXPECT_FALSE(dns::Decode(std::span(packet.data(), size))) << size;
    EXPECT_TRUE(dns::Decode(packet));
}

TEST(DnsMessage, PointersMustPointBackAndNamesStayWithin255Bytes)
{
    // One question whose name is a pointer to itself.
    EXPECT_FALSE(dns::Decode(Bytes({0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0xC0, 12, 0, 1, 0, 1})));
    // A label then a pointer back to that label: a loop that only the length ends.
    EXPECT_FALSE(dns::Decode(Bytes({0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 'a', 0xC0, 12, 0, 1, 0, 1})));
    // A pointer forward, past itself.
    EXPECT_FALSE(dns::Decode(Bytes({0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0xC0, 16, 0, 1, 0, 1, 0})));
    // A pointer back to a name that ends: fine.
    const auto good = dns::Decode(
        Bytes({0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 1, 'a', 0, 0, 1, 0, 1, 1, 'b', 0xC0, 12, 0, 1, 0, 1}));
    ASSERT_TRUE(good);
    EXPECT_EQ(good->questions[1].name, N("b.a"));

    // 127 labels of one byte: 255 bytes on the wire, the most there may be.
    std::string longest;
    for (int i = 0; i < 127; ++i)
        longest += i ? ".x" : "x";
    ASSERT_TRUE(dns::ParseName(longest));
    EXPECT_FALSE(dns::ParseName(longest + ".y"));
    EXPECT_FALSE(dns::ParseName(std::string(64, 'l') + ".local"));
    EXPECT_FALSE(dns::ParseName("a..local"));
    dns::Message query;
    query.questions.push_back({N(longest.c_str()), dns::A, false});
    auto packet = *dns::Encode(query);
    EXPECT_TRUE(dns::Decode(packet));
    // The same name one label longer, built by hand, is refused.
    packet.insert(packet.begin() + 12, {1, 'y'});
    EXPECT_FALSE(dns::Decode(packet));
    // Encoding refuses what cannot go on the wire.
    query.questions[0].name.push_back("y");
    EXPECT_FALSE(dns::Encode(query));
}

TEST(DnsMessage, RecordsWhoseDataDoesNotMatchTheirTypeAreRefused)
{
    const auto record = [](std::uint16_t type, std::vector<std::uint8_t> data) {
        std::vector<std::uint8_t> p = Bytes({0, 0, 0x84, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 'h', 0});
        p.insert(p.end(), {static_cast<std::uint8_t>(type >> 8), static_cast<std::uint8_t>(type), 0, 1, 0, 0, 0, 120,
                           static_cast<std::uint8_t>(data.size() >> 8), static_cast<std::uint8_t>(data.size())});
        p.insert(p.end(), data.begin(), data.end());
        return dns::Decode(p);
    };
    EXPECT_TRUE(record(dns::A, Bytes({10, 0, 0, 5})));
    EXPECT_FALSE(record(dns::A, Bytes({10, 0, 0})));
    EXPECT_FALSE(record(dns::A, Bytes({10, 0, 0, 5, 6})));
    EXPECT_FALSE(record(dns::PTR, Bytes({1, 'x', 0, 0})));            // bytes after the name
    EXPECT_FALSE(record(dns::SRV, Bytes({0, 0, 0, 0, 0x19, 0x65})));  // no target
    EXPECT_FALSE(record(dns::TXT, Bytes({4, 'v', '=', '1'})));        // a string past the data
    const auto txt = record(dns::TXT, Bytes({3, 'v', '=', '1', 0}));
    ASSERT_TRUE(txt);
    EXPECT_EQ(std::get<dns::Txt>(txt->answers[0].data).strings, (std::vector<std::string>{"v=1", ""}));
    const auto other = record(47, Bytes({0xC0, 12, 0, 1, 0x40}));  // an NSEC record, kept as bytes
    ASSERT_TRUE(other);
    EXPECT_EQ(std::get<dns::Other>(other->answers[0].data).bytes.size(), 5u);
    // A count that the packet cannot hold.
    EXPECT_FALSE(dns::Decode(Bytes({0, 0, 0x84, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0})));
}

// Packets written by another implementation (python-zeroconf), kept as the
// fuzz target's seeds: its compression points into record data too.
TEST(DnsMessage, ReadsAnAnnouncementOfAnotherImplementation)
{
    std::ifstream in(LARKSPAN_FUZZ_CORPUS "/dns-message/announcement", std::ios::binary);
    const std::vector<std::uint8_t> packet((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto got = dns::Decode(packet);
    ASSERT_TRUE(got);
    ASSERT_EQ(got->answers.size(), 4u);
    EXPECT_EQ(std::get<dns::Ptr>(got->answers[0].data).target, N("Front Desk._tessaly._tcp.local"));
    EXPECT_EQ(got->answers[1].name, N("Front Desk._tessaly._tcp.local"));
    EXPECT_EQ(std::get<dns::Srv>(got->answers[1].data).port, 6501);
    EXPECT_EQ(std::get<dns::Srv>(got->answers[1].data).target, N("frontdesk.local"));
    EXPECT_EQ(std::get<dns::Txt>(got->answers[2].data).strings, std::vector<std::string>{"v=1"});
    EXPECT_EQ(std::get<dns::Address>(got->answers[3].data), (dns::Address{192, 168, 1, 20}));
    ASSERT_EQ(got->additionals.size(), 1u);
    EXPECT_EQ(got->additionals[0].type, 47);  // NSEC, kept as bytes
    // Written again by this module, it reads back the same.
    EXPECT_EQ(dns::Decode(*dns::Encode(*got)), got);
}
