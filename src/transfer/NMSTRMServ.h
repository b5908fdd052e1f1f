// The stream transfer receiver: each session reads one named stream,
// acknowledges it and hands it to OnMSG on the session's thread.
#pragma once

#include "Server.h"

#include <functional>
#include <string>

// Final: a class derived from it would be destroyed before the shutdown in
// this destructor, while sessions may still use it.
class TNMStrmServ final : public TNMGeneralServer {
public:
    // Content above this size is kept in a temporary file instead of memory.
    static constexpr std::int64_t spillThreshold = 16 * 1024 * 1024;

    // Stops listening and ends every session while OnMSG still exists.
    ~TNMStrmServ() override;

    // Raised on the session's thread with the session, the name from the
    // header and the content, positioned at 0; only for complete content.
    std::function<void(TNMStrmServ& session, const std::string& from, TStream& strm)> OnMSG;

    void Serve() override;

protected:
    std::unique_ptr<TNMGeneralServer> NewSession() override { return std::make_unique<TNMStrmServ>(); }
};
