#include "NMSTRM.h"

#include <cstdio>

void TNMStrm::PostStream(TStream& stream, std::string& reply)
{
    Connect();
    // From here on the connection is closed however this ends.
    try {
        if (FromName.size() > 9999 || stream.Size() > 2147483647)
            throw std::range_error("Range check error");
        char field[16];
        std::snprintf(field, sizeof field, "%.4d", static_cast<int>(FromName.size()));
        Write(field + FromName);
        std::snprintf(field, sizeof field, "%10d", static_cast<int>(stream.Size()));
        Write(field);
        SendStream(stream);
        if (OnMessageSent)
            OnMessageSent();
        reply = Read(16);
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
