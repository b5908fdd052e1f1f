#include "TimerLst.h"

#include "Application.h"

#include "core/TimerSchedule.h"

#include <algorithm>
#include <stdexcept>

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
        timer_.Create();
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
    timer_.Destroy();
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
    if (!timer_.Exists())
        return;
    timer_.Stop();
    if (EnabledCount() == 0) {
        Deactivate();
    } else if (tickPeriod_ > 0 && !timer_.Start(static_cast<unsigned>(tickPeriod_))) {
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
