// One asynchronous host lookup at a time, each into a buffer of its own.
// A lookup that is given up is cancelled; since not every implementation of
// the socket library can stop one that has started, its completion may still
// come: it is told apart by its task handle, and until it has come its
// buffer is kept, so that it never writes into the next lookup's buffer.
#pragma once

#include <winsock.h>

#include <memory>
#include <string>
#include <vector>

class HostLookup {
public:
    HostLookup() = default;
    HostLookup(const HostLookup&) = delete;
    HostLookup& operator=(const HostLookup&) = delete;
    ~HostLookup();

    // Starts looking `name` up; its completion is posted to `window` as
    // `message`. False when the library refused to start it.
    bool Start(HWND window, UINT message, const std::string& name);
    bool Running() const noexcept { return running_; }
    // Takes a completion: true when it is the running lookup's, which is
    // then over; false for one that was given up.
    bool Finish(WPARAM task);
    // Gives up the running lookup, if any.
    void Abandon();
    // The host entry of the lookup that finished last.
    const hostent* Entry() const noexcept;

private:
    struct Task {
        HANDLE handle = nullptr;
        std::unique_ptr<char[]> buffer;
    };
    // Lookups given up whose completion has not come yet; beyond this many,
    // the oldest buffer is left to its lookup and no longer tracked.
    static constexpr std::size_t abandonedKept = 8;
    static void Orphan(Task& task);

    Task current_;
    bool running_ = false;
    HWND window_ = nullptr;
    UINT message_ = 0;
    std::vector<Task> abandoned_;  // oldest first
};
