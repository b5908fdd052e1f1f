#include "ReceivedHandOver.h"

#include <utility>

namespace tessaly {

void ReceivedHandOver::Attach(HWND window, UINT message, UINT_PTR timer) noexcept
{
    window_ = window;
    message_ = message;
    timer_ = timer;
}

void ReceivedHandOver::HandOver(Received received)
{
    received.handedOver = ::GetTickCount();
    {
        std::lock_guard<std::mutex> hold(lock_);
        queue_.push_back(std::move(received));
    }
    ::PostMessageA(window_, message_, 0, 0);
}

void ReceivedHandOver::TakeDue(const std::function<void(const Received&)>& show)
{
    ::KillTimer(window_, timer_);
    for (;;) {
        Received next;
        {
            std::lock_guard<std::mutex> hold(lock_);
            if (queue_.empty())
                return;
            const Received& front = queue_.front();
            const DWORD waited = ::GetTickCount() - front.handedOver;
            if (waited < front.delay) {
                ::SetTimer(window_, timer_, front.delay - waited, nullptr);
                return;
            }
            next = std::move(queue_.front());
            queue_.pop_front();
        }
        show(next);
    }
}

}  // namespace tessaly
