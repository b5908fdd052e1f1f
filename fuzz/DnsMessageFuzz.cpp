// Fuzz target for the DNS messages of service discovery: any bytes decode
// to a message or to nothing, never read outside the packet; a message
// that decodes and can be written again reads back the same.
#include "core/DnsMessage.h"

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
    if (const auto again = dns::Encode(*message)) {
        const auto back = dns::Decode(*again);
        if (!back || !(*back == *message))
            std::abort();
    }
    return 0;
}

LARKSPAN_FUZZ_TARGET(FuzzDnsMessage)
