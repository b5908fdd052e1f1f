// DNS messages as multicast DNS service discovery sends and reads them:
// names (with compression pointers), questions, and the A, PTR, SRV and TXT
// records. Every packet from the network is untrusted: parsing is bounded
// and a malformed, truncated or looping packet gives nothing.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace larkspan::dns {

// A name as its labels, the root's empty label left out: {"_tessaly",
// "_tcp", "local"}. A label holds any bytes (an instance name may hold
// dots and UTF-8).
using Name = std::vector<std::string>;

inline constexpr std::size_t maxLabelLength = 63;
inline constexpr std::size_t maxNameLength = 255;  // on the wire, length bytes and root included
// Multicast DNS packets stay within one Ethernet jumbo frame.
inline constexpr std::size_t maxMessageSize = 9000;

enum Type : std::uint16_t { A = 1, PTR = 12, TXT = 16, SRV = 33, ANY = 255 };
inline constexpr std::uint16_t classIn = 1;

// Names compare without regard to ASCII case, as DNS does.
bool SameName(const Name& a, const Name& b);
// "label.label.label" (dots inside labels are not escaped: for showing only).
std::string NameText(const Name& name);
// The labels of a dotted text; nothing when a label is empty or too long,
// or the whole is too long for the wire.
std::optional<Name> ParseName(std::string_view text);

struct Question {
    Name name;
    std::uint16_t type = ANY;
    bool unicastResponse = false;  // the top bit of the class
    friend bool operator==(const Question&, const Question&) = default;
};

struct Srv {
    std::uint16_t priority = 0, weight = 0, port = 0;
    Name target;
    friend bool operator==(const Srv&, const Srv&) = default;
};

using Address = std::array<std::uint8_t, 4>;
struct Ptr {
    Name target;
    friend bool operator==(const Ptr&, const Ptr&) = default;
};
struct Txt {
    std::vector<std::string> strings;
    friend bool operator==(const Txt&, const Txt&) = default;
};
// The data of a record of a type this module does not read.
struct Other {
    std::vector<std::uint8_t> bytes;
    friend bool operator==(const Other&, const Other&) = default;
};
using RecordData = std::variant<Address, Ptr, Srv, Txt, Other>;

struct Record {
    Name name;
    std::uint16_t type = A;
    bool cacheFlush = false;  // the top bit of the class
    std::uint32_t ttl = 0;
    RecordData data;
    friend bool operator==(const Record&, const Record&) = default;
};

struct Message {
    std::uint16_t id = 0;
    std::uint16_t flags = 0;
    std::vector<Question> questions;
    std::vector<Record> answers;
    std::vector<Record> authorities;
    std::vector<Record> additionals;

    bool IsResponse() const noexcept { return (flags & 0x8000) != 0; }
    friend bool operator==(const Message&, const Message&) = default;
};

inline constexpr std::uint16_t responseFlags = 0x8400;  // response, authoritative

// The wire form, names compressed; nothing when a name or a label is too
// long, a record's data exceeds 65,535 bytes or the whole exceeds
// maxMessageSize.
std::optional<std::vector<std::uint8_t>> Encode(const Message& message);

// The message of a packet; nothing when it is malformed in any way: cut
// short, a count that the bytes do not hold, a name over 255 bytes or with
// a pointer that does not point back, a record whose data does not match
// its length or its type. Bytes after the last record are ignored.
std::optional<Message> Decode(std::span<const std::uint8_t> packet);

}  // namespace larkspan::dns
