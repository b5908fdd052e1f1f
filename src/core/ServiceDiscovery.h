// Tessaly on the local network by DNS service discovery over multicast DNS:
// what this machine publishes (its instance of "_tessaly._tcp" in "local."),
// how it answers questions about it, how it claims its names, and what a
// browse learns from the answers of others. Only the messages: the sockets
// live in the transfer layer.
#pragma once

#include "DnsMessage.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace larkspan::discovery {

inline constexpr std::uint16_t mdnsPort = 5353;
inline constexpr dns::Address mdnsGroup{224, 0, 0, 251};
inline constexpr std::uint16_t portalPort = 6501;
// Records naming a host live two minutes, the others 75 minutes.
inline constexpr std::uint32_t hostTtl = 120;
inline constexpr std::uint32_t otherTtl = 4500;

dns::Name ServiceType();  // _tessaly._tcp.local

// This machine as it publishes itself: nothing else is ever sent.
struct Identity {
    std::string instance;  // one label, UTF-8, at most 63 bytes
    std::string host;      // one label: host.local
    std::vector<dns::Address> addresses;

    dns::Name InstanceName() const;
    dns::Name HostName() const;
};

// The computer name as an instance label (control characters and "<" ">"
// dropped, at most 63 bytes, whole UTF-8 characters) and as a host label
// (letters, digits and "-" only, lower case; "tessaly" when nothing is left).
std::string InstanceLabel(std::string_view computerName);
std::string HostLabel(std::string_view computerName);

// The next names to try after a conflict: "Name (2)", "Name (3)", ... for the
// instance, "host-2", "host-3", ... for the host, within 63 bytes.
std::string NextInstanceLabel(const std::string& label);
std::string NextHostLabel(const std::string& label);

// The records of the identity: PTR (also from the service enumeration
// name), SRV, TXT "v=1" and one A per address; with `goodbye`, all with a
// lifetime of 0, which withdraws them.
std::vector<dns::Record> Records(const Identity& identity, bool goodbye = false);

// An unsolicited response that announces (or, with `goodbye`, withdraws)
// every record.
dns::Message Announcement(const Identity& identity, bool goodbye = false);

// A probe: questions of type ANY for the instance and the host name, the
// proposed records in the authority section.
dns::Message Probe(const Identity& identity);

// Whether another machine holds the instance or the host name (its
// response carries other data for a record we publish under it) or, while
// `probing`, claims it in a probe of its own and wins the tie.
struct Conflicts {
    bool instance = false;
    bool host = false;
};
Conflicts FindConflicts(const dns::Message& message, const Identity& identity, bool probing);

// The response to a query, its questions for names of this identity
// answered and known answers (at least half their lifetime left) left out;
// nothing when there is nothing to say. Questions of another machine's
// probe (an authority section) are answered too, so that it moves off.
std::optional<dns::Message> Answer(const dns::Message& query, const Identity& identity);

// A browse: the question for the service type, with the instances already
// known as known answers so that they do not answer again (as many as fit
// one packet with room to spare).
dns::Message BrowseQuery(const std::vector<dns::Name>& knownInstances = {});

// What the answers to a browse tell: each instance with its host, port and
// first IPv4 address, once all three are known.
struct Found {
    std::string instance;
    std::string address;  // dotted decimal
    std::uint16_t port = 0;
};

class Browse {
public:
    // `own` is this machine's instance, never listed.
    explicit Browse(dns::Name own = {}) : own_(std::move(own)) {}

    // Takes the records of a response (answers and additionals alike), up
    // to `maxInstances` instances and as many hosts: a flood of made-up
    // records stops there.
    void Take(const dns::Message& response);
    static constexpr std::size_t maxInstances = 64;
    // The instances whose host and address are known, in the order found.
    std::vector<Found> Results() const;
    // The instances seen so far (for the known-answer list of a repeat).
    std::vector<dns::Name> Instances() const;

private:
    struct Instance {
        dns::Name name;
        dns::Name host;
        std::uint16_t port = 0;
        bool gone = false;
    };
    struct Host {
        dns::Name name;
        dns::Address address;
    };
    // The instance of this name, made when new; none beyond the limit.
    Instance* InstanceNamed(const dns::Name& name);

    dns::Name own_;
    std::vector<Instance> instances_;
    std::vector<Host> hosts_;
};

}  // namespace larkspan::discovery
