// The stream transfer receiver: each session reads one named stream,
// acknowledges it and hands it to OnMSG on the session's thread.
#pragma once

#include "MemoryBudget.h"
#include "Server.h"

#include <functional>
#include <string>

// Final: a class derived from it would be destroyed before the shutdown in
// this destructor, while sessions may still use it.
class TNMStrmServ final : public TNMGeneralServer {
public:
    // Content above this size is kept in a temporary file instead of memory.
    static constexpr std::int64_t spillThreshold = 16 * 1024 * 1024;
    // What all sessions together keep in memory at most: many slow sessions
    // must not claim more than a 32-bit process can give.
    static constexpr std::int64_t defaultMemoryLimit = 64 * 1024 * 1024;

    // Stops listening and ends every session while OnMSG still exists.
    ~TNMStrmServ() override;

    // Raised on the session's thread with the session, the name from the
    // header and the content, positioned at 0; only for complete content.
    // The sender is acknowledged when it returns; an exception from it (the
    // content refused, or not stored) turns the sender away unacknowledged.
    std::function<void(TNMStrmServ& session, const std::string& from, TStream& strm)> OnMSG;
    // Raised on the session's thread, instead of OnMSG, when arriving
    // content could not be kept here (its file could not be written: a
    // full disk, a folder gone). The sender has been turned away with a
    // reset instead of the acknowledgement, and nothing of the content
    // remains. A peer that breaks off raises nothing.
    std::function<void(TNMStrmServ& session, const std::string& from)> OnCaptureFailed;

    // Content that does not stay in memory is captured into a temporary
    // file in this folder (ending with its separator), the system's
    // temporary folder when empty: a receiver that stores files there can
    // name that file rather than copy it. Set before Listen.
    std::string SpillFolder;

    // Beyond this many bytes held by the sessions together, content goes to
    // temporary files.
    void SetMemoryLimit(std::int64_t bytes) { memory_.SetLimit(bytes); }

    void Serve() override;

protected:
    std::unique_ptr<TNMGeneralServer> NewSession() override { return std::make_unique<TNMStrmServ>(); }

private:
    // The `size` bytes of content, whole, or nothing when the peer broke
    // off. Throws ESockError for a failed or cancelled connection, and
    // anything else for content that could not be kept.
    std::unique_ptr<TStream> Capture(std::int64_t size, MemoryBudget::Share& share);
    // Turns the sender away and says so to the listening component's owner.
    void CaptureFailed(const std::string& from);
    // The 16 bytes that say the content is kept, whatever cancels meanwhile.
    void SendAcknowledgement();
    // Where a session keeps content of `size` bytes: memory, with `share`
    // taken from the listening component's budget, or a temporary file.
    std::unique_ptr<TStream> NewContent(std::int64_t size, MemoryBudget::Share& share);

    MemoryBudget memory_{defaultMemoryLimit};  // the listening component's; sessions draw on it
};
