// The stream transfer sender: one named stream per connection.
#pragma once

#include "Psock.h"

#include <functional>
#include <string>

class TNMStrm : public TPowersock {
public:
    // What the socket holds unsent at most when IdleLimitMs is set.
    static constexpr int sendBufferWithLimit = 256 * 1024;

    TNMStrm() { Port = 6711; }

    std::string FromName;
    std::function<void()> OnMessageSent;

    // Sends the stream as one transfer to Host:Port; Reply receives the 16
    // bytes the receiver answered. Anything but the acknowledgement (a
    // receiver that closed without it has not kept the content) throws.
    void PostStream(TStream& stream, std::string& reply);
    void Abort() override;
};
