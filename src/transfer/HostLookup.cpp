#include "HostLookup.h"

#include <algorithm>

HostLookup::~HostLookup()
{
    Abandon();
    for (Task& task : abandoned_)
        Orphan(task);
}

// A library that reports a cancelled lookup as stopped may still write its
// buffer (Wine does): a buffer whose completion has not come is left to the
// lookup rather than freed under it. Rare and small: one per component that
// goes, or per lookup beyond those kept, while its lookup is outstanding.
void HostLookup::Orphan(Task& task)
{
    (void)task.buffer.release();
}

bool HostLookup::Start(HWND window, UINT message, const std::string& name)
{
    Abandon();
    window_ = window;
    message_ = message;
    Task task;
    task.buffer = std::make_unique<char[]>(MAXGETHOSTSTRUCT);
    task.handle = ::WSAAsyncGetHostByName(window, message, name.c_str(), task.buffer.get(), MAXGETHOSTSTRUCT);
    if (!task.handle)
        return false;
    current_ = std::move(task);
    running_ = true;
    return true;
}

bool HostLookup::Finish(WPARAM task)
{
    const HANDLE handle = reinterpret_cast<HANDLE>(task);
    if (running_ && handle == current_.handle) {
        running_ = false;
        return true;
    }
    // A lookup given up has written all it will: its buffer can go.
    std::erase_if(abandoned_, [handle](const Task& t) { return t.handle == handle; });
    return false;
}

void HostLookup::Abandon()
{
    if (!running_)
        return;
    running_ = false;
    ::WSACancelAsyncRequest(current_.handle);
    abandoned_.push_back(std::move(current_));
    current_ = {};
    // A completion already waiting is taken now, while no other lookup runs
    // whose handle the library could have given the same value.
    MSG queued;
    while (::PeekMessageA(&queued, window_, message_, message_, PM_REMOVE))
        Finish(queued.wParam);
    if (abandoned_.size() > abandonedKept) {
        Orphan(abandoned_.front());
        abandoned_.erase(abandoned_.begin());
    }
}

const hostent* HostLookup::Entry() const noexcept
{
    return reinterpret_cast<const hostent*>(current_.buffer.get());
}
