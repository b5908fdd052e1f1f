#include "RxTimer.h"

#include "Application.h"

#include <stdexcept>

TRxTimer::TRxTimer()
{
    timer_.Create();
}

TRxTimer::~TRxTimer()
{
    enabled_ = false;
    destroying_ = true;
    StopThread();  // before the handler goes: the thread may be running it
    onTimer_ = nullptr;
}

void TRxTimer::SetEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    Apply();
}

void TRxTimer::SetInterval(unsigned interval)
{
    if (interval == interval_)
        return;
    interval_ = interval;
    Apply();
}

void TRxTimer::SetThreaded(bool threaded)
{
    if (threaded == threaded_)
        return;
    threaded_ = threaded;
    Apply();
}

void TRxTimer::SetSyncEvent(bool sync)
{
    sync_ = sync;
}

void TRxTimer::SetThreadPriority(int priority)
{
    if (priority == priority_)
        return;
    priority_ = priority;
    if (threaded_)
        Apply();
}

void TRxTimer::SetOnTimer(std::function<void()> handler)
{
    StopThread();  // the thread may be reading the handler
    onTimer_ = std::move(handler);
    Apply();
}

bool TRxTimer::OnOwnThread() const
{
    return std::this_thread::get_id() == threadId_.load();
}

void TRxTimer::Apply()
{
    // Changed by a tick on the timer's own thread (an animation setting the
    // next frame's delay): the loop takes the new values on its next round.
    if (OnOwnThread())
        return;
    const bool run = interval_ != 0 && enabled_ && onTimer_;
    // A running thread only starts its wait again with the new settings.
    if (run && threaded_ && thread_.joinable()) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            retime_ = true;
        }
        wake_.notify_all();
        return;
    }
    StopThread();
    timer_.Stop();
    if (!run)
        return;
    if (threaded_) {
        stop_ = false;
        thread_ = std::thread([this] { ThreadLoop(); });
    } else if (!timer_.Start(interval_)) {
        throw std::runtime_error("Not enough timers available");
    }
}

void TRxTimer::StopThread()
{
    if (!thread_.joinable())
        return;
    if (OnOwnThread())
        throw std::logic_error("A timer's thread cannot stop itself");
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
        tickPending_ = false;  // a tick still on its way is dropped
    }
    wake_.notify_all();
    thread_.join();
}

void TRxTimer::ThreadLoop()
{
    threadId_ = std::this_thread::get_id();
    std::unique_lock<std::mutex> lock(mutex_);
    int priority = THREAD_PRIORITY_NORMAL;
    while (!stop_) {
        retime_ = false;
        if (priority_ != priority) {
            priority = priority_;
            ::SetThreadPriority(::GetCurrentThread(), priority);
        }
        const unsigned interval = interval_;
        const auto woken = [this] { return stop_ || retime_; };
        // Disabled by its own tick, the thread sleeps until told otherwise.
        if (interval == 0 || !enabled_) {
            wake_.wait(lock, woken);
            continue;
        }
        if (wake_.wait_for(lock, std::chrono::milliseconds(interval), woken) || !enabled_)
            continue;
        if (!sync_) {
            lock.unlock();
            TickNow();
            lock.lock();
            continue;
        }
        // Handed to the creating thread; the wait ends when it has run.
        const WPARAM serial = ++tickSerial_;
        tickPending_ = ::PostMessageA(timer_.Handle(), syncTick, serial, 0) != FALSE;
        wake_.wait(lock, [this] { return stop_ || !tickPending_; });
    }
    threadId_ = std::thread::id();
}

void TRxTimer::TickNow()
{
    if (!enabled_ || destroying_ || !onTimer_)
        return;
    try {
        onTimer_();
    } catch (...) {
        if (!OnOwnThread()) {
            ShowFailure(std::current_exception());
            return;
        }
        // Shown by the creating thread, which owns the program's windows.
        {
            std::lock_guard<std::mutex> lock(mutex_);
            failure_ = std::current_exception();
        }
        ::PostMessageA(timer_.Handle(), tickFailed, 0, 0);
    }
}

void TRxTimer::SyncTick(WPARAM serial)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!tickPending_ || serial != tickSerial_)
            return;  // the thread has stopped since it asked
    }
    TickNow();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (serial == tickSerial_)
            tickPending_ = false;
    }
    wake_.notify_all();
}

void TRxTimer::ShowFailure(std::exception_ptr failure)
{
    if (!failure) {
        std::lock_guard<std::mutex> lock(mutex_);
        std::swap(failure, failure_);
    }
    if (!failure)
        return;
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        winui::Application::HandleException(e);
    } catch (...) {
        winui::Application::HandleException(std::runtime_error("Unknown error"));
    }
}
