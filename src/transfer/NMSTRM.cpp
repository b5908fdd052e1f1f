#include "NMSTRM.h"

#include "core/StreamHeader.h"

#include <stdexcept>

void TNMStrm::PostStream(TStream& stream, std::string& reply)
{
    // With an idle limit, what the socket may hold unsent is kept small:
    // the limit counts from the last piece handed to the socket, and a slow
    // link must not still be carrying megabytes of it when the wait for the
    // acknowledgement runs out.
    if (IdleLimitMs > 0)
        LimitSendBuffer(sendBufferWithLimit);
    Connect();
    // From here on the connection is closed however this ends.
    try {
        // A name the header cannot carry (too long, or holding a NUL that
        // would cut it short on the wire) or a size beyond 32 bits is refused
        // rather than sent as a header that does not match its content.
        const auto header = larkspan::transfer::EncodeHeader(FromName, stream.Size());
        if (!header)
            throw std::range_error("Range check error");
        const std::size_t nameEnd = 4 + FromName.size();
        Write(header->substr(0, nameEnd));  // the name's length and the name
        Write(header->substr(nameEnd));     // the content size
        SendStream(stream);
        if (OnMessageSent)
            OnMessageSent();
        reply = Read(16);
        // A receiver that could not keep the content closes without the
        // acknowledgement (a reset, which under Wine reads as a plain close).
        if (reply != larkspan::transfer::acknowledgement)
            throw ESockError("No acknowledgement");
    } catch (...) {
        Disconnect();
        throw;
    }
    Disconnect();
}

void TNMStrm::Abort()
{
    Cancel();
    if (Connected)
        Disconnect();
}
