// Fuzz target for the DNS messages of service discovery: any bytes decode
// to a message or to nothing, never read outside the packet; a message
// that decodes and can be written again reads back the same; and what
// service discovery answers to it, finds in it or takes for a conflict
// stays within its bounds.
#include "core/DnsMessage.h"
#include "core/ServiceDiscovery.h"

#include "FuzzTarget.h"

#include <cstdlib>
#include <span>

int FuzzDnsMessage(const std::uint8_t* data, std::size_t size)
{
    namespace dns = larkspan::dns;
    const auto message = dns::Decode(std::span(data, size));
    if (!message)
        return 0;
    for (const auto* section : {&message->answers, &message->authorities, &message->additionals})
        for (const dns::Record& record : *section)
            if (record.name.size() > 127)
                std::abort();
    // What service discovery makes of it: an answer that can be sent, a
    // browse that stays within its limit and lists only safe names.
    namespace discovery = larkspan::discovery;
    const discovery::Identity self{"Studio", "studio", {{10, 0, 0, 9}}};
    discovery::FindConflicts(*message, self, true);
    if (const auto answer = discovery::Answer(*message, self); answer && !dns::Encode(*answer))
        std::abort();
    discovery::Browse browse(self.InstanceName());
    browse.Take(*message);
    if (browse.Instances().size() > discovery::Browse::maxInstances)
        std::abort();
    for (const discovery::Found& found : browse.Results())
        if (discovery::InstanceLabel(found.instance).size() > dns::maxLabelLength)
            std::abort();
    if (const auto again = dns::Encode(*message)) {
        const auto back = dns::Decode(*again);
        if (!back || !(*back == *message))
            std::abort();
    }
    return 0;
}

LARKSPAN_FUZZ_TARGET(FuzzDnsMessage)
