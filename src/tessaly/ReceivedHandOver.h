// What the receiving sessions hand to the portal window: a file stored, a
// name refused, content that could not be written. Sessions hand over on
// their own threads; the window takes everything in order on its thread,
// each thing once it is due (a stored file a moment after it was stored).
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <mutex>
#include <string>

namespace tessaly {

struct Received {
    enum class Kind { Stored, Refused, Failed } kind;
    std::string text;  // the path written, or the refused name as shown (shortened)
    DWORD delay = 0;   // milliseconds from its hand-over until it is shown
    DWORD handedOver = 0;
};

class ReceivedHandOver {
public:
    // The window told of each hand-over by `message`, and whose timer
    // `timer` brings what is not due yet. Set once, before the first session.
    void Attach(HWND window, UINT message, UINT_PTR timer) noexcept;

    // On any thread.
    void HandOver(Received received);

    // On the window's thread: `show` for everything due, in order; what
    // follows a thing not yet due waits behind it, and the timer is set
    // for that one.
    void TakeDue(const std::function<void(const Received&)>& show);

private:
    std::mutex lock_;
    std::deque<Received> queue_;
    HWND window_ = nullptr;
    UINT message_ = 0;
    UINT_PTR timer_ = 0;
};

}  // namespace tessaly
