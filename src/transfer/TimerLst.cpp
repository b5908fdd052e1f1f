#include "TimerLst.h"

#include "core/TimerSchedule.h"
#include "winui/Application.h"

#include <algorithm>
#include <stdexcept>

namespace {

constexpr UINT_PTR timerId = 1;

}  // namespace

// ---- TRxTimerEvent ---------------------------------------------------------

TRxTimerEvent::TRxTimerEvent() : lastTick_(::GetTickCount()) {}

std::uint32_t TRxTimerEvent::Now() const
{
    return parent_ ? parent_->Now() : ::GetTickCount();
}

void TRxTimerEvent::SetEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    if (!enabled)
        return;  // disabling recomputes nothing
    fireCount_ = 0;
    lastTick_ = Now();
    if (parent_)
        parent_->Reschedule();
}

void TRxTimerEvent::SetInterval(int interval)
{
    if (interval == interval_)
        return;
    interval_ = interval;
    if (parent_)
        parent_->Reschedule();
}

void TRxTimerEvent::SetRepeatCount(int count)
{
    if (count == repeatCount_)
        return;
    if (!Cycled && count < 1)
        count = 1;
    if (enabled_ && fireCount_ >= count)
        enabled_ = false;
    repeatCount_ = count;
}

// ---- TRxTimerList ------------------------------------------------------------

TRxTimerList::TRxTimerList() : Clock([] { return static_cast<std::uint32_t>(::GetTickCount()); }) {}

TRxTimerList::~TRxTimerList()
{
    OnFinish = nullptr;
    OnTimers = nullptr;
    Deactivate();
    Clear();
}

std::uint32_t TRxTimerList::Now() const
{
    return Clock();
}

void TRxTimerList::SetActive(bool active)
{
    if (active == active_)
        return;
    if (active) {
        window_.Create();
        active_ = true;
        const std::uint32_t now = Now();
        for (auto& event : events_)
            if (event->enabled_)
                event->lastTick_ = now;
        CalculateInterval(now);
        Sort();
        UpdateTimer();
        return;
    }
    // The window may be the one whose tick is running: destroying its HWND
    // is safe there, the object stays until the list goes.
    ::KillTimer(window_.Handle(), timerId);
    window_.Destroy();
    winui::RunGuarded(OnFinish);
    active_ = false;
}

void TRxTimerList::Deactivate()
{
    SetActive(false);
}

int TRxTimerList::Add(std::function<void(TRxTimerEvent&)> handler, int interval, bool cycled)
{
    auto event = std::make_unique<TRxTimerEvent>();
    TRxTimerEvent& added = *event;
    events_.push_back(std::move(event));
    added.handle_ = ++handles_;
    added.parent_ = this;
    added.OnTimer = std::move(handler);
    added.SetInterval(interval);
    added.Cycled = cycled;
    CalculateInterval(Now());
    Sort();
    UpdateTimer();
    return added.handle_;
}

void TRxTimerList::Delete(int handle)
{
    const auto it = std::find_if(events_.begin(), events_.end(), [handle](const auto& e) { return e->handle_ == handle; });
    if (it == events_.end())
        return;
    (*it)->parent_ = nullptr;
    events_.erase(it);
    if (active_)
        Reschedule();
}

void TRxTimerList::Clear()
{
    while (!events_.empty()) {
        events_.back()->parent_ = nullptr;
        events_.pop_back();
    }
}

int TRxTimerList::EnabledCount() const
{
    return static_cast<int>(std::count_if(events_.begin(), events_.end(), [](const auto& e) { return e->enabled_; }));
}

std::vector<TRxTimerEvent*> TRxTimerList::Events() const
{
    std::vector<TRxTimerEvent*> events;
    for (const auto& e : events_)
        events.push_back(e.get());
    return events;
}

TRxTimerEvent* TRxTimerList::Find(int handle) const
{
    for (const auto& e : events_)
        if (e->handle_ == handle)
            return e.get();
    return nullptr;
}

void TRxTimerList::CalculateInterval(std::uint32_t now)
{
    std::vector<larkspan::timers::ScheduledEvent> schedule;
    for (const auto& e : events_)
        schedule.push_back({e->enabled_, e->interval_, e->lastTick_});
    tickPeriod_ = larkspan::timers::TickPeriod(schedule, now);
}

void TRxTimerList::Reschedule()
{
    CalculateInterval(Now());
    UpdateTimer();
}

void TRxTimerList::Sort()
{
    // Neighbours change places only when the later one is strictly shorter,
    // so equal intervals keep their order.
    std::stable_sort(events_.begin(), events_.end(),
                     [](const auto& a, const auto& b) { return a->interval_ < b->interval_; });
}

void TRxTimerList::UpdateTimer()
{
    if (!window_.HandleAllocated())
        return;
    ::KillTimer(window_.Handle(), timerId);
    if (EnabledCount() == 0) {
        Deactivate();
    } else if (tickPeriod_ > 0 && !::SetTimer(window_.Handle(), timerId, static_cast<UINT>(tickPeriod_), nullptr)) {
        Deactivate();
        throw std::runtime_error("Not enough timers available");
    }
}

void TRxTimerList::Tick()
{
    if (!active_) {
        UpdateTimer();
        return;
    }
    if (!ProcessEvents())
        return;
    if (EnabledCount() == 0)
        Deactivate();
    else
        Reschedule();
}

bool TRxTimerList::ProcessEvents()
{
    const std::uint32_t now = Now();
    bool disabled = false;
    // Longest interval first. A handler may add or delete events: the index
    // is checked against the list as it stands after every firing.
    for (int i = static_cast<int>(events_.size()) - 1; i >= 0; --i) {
        if (i >= static_cast<int>(events_.size()))
            continue;
        TRxTimerEvent& event = *events_[static_cast<std::size_t>(i)];
        if (!larkspan::timers::IsDue({event.enabled_, event.interval_, event.lastTick_}, now))
            continue;
        event.lastTick_ = now;
        ++event.fireCount_;
        event.enabled_ = event.Cycled || event.fireCount_ < event.repeatCount_;
        disabled = disabled || !event.enabled_;
        Fire(event);
    }
    return disabled;
}

void TRxTimerList::Fire(TRxTimerEvent& event)
{
    const int handle = event.handle_;
    if (event.OnTimer)
        winui::RunGuarded([&] { event.OnTimer(event); });
    if (OnTimers)
        winui::RunGuarded([&] { OnTimers(handle); });
}

// ---- TRxTimer ----------------------------------------------------------------

TRxTimer::TRxTimer()
{
    window_.Create();
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
    ::KillTimer(window_.Handle(), timerId);
    if (!run)
        return;
    if (threaded_) {
        stop_ = false;
        thread_ = std::thread([this] { ThreadLoop(); });
    } else if (!::SetTimer(window_.Handle(), timerId, interval_, nullptr)) {
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
        tickPending_ = ::PostMessageA(window_.Handle(), syncTick, serial, 0) != FALSE;
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
        ::PostMessageA(window_.Handle(), tickFailed, 0, 0);
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
