// Timed events: a list that drives several events from one platform timer
// with a common tick period.
#pragma once

#include "WindowTimer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TRxTimerList;

class TRxTimerEvent {
public:
    TRxTimerEvent();
    TRxTimerEvent(const TRxTimerEvent&) = delete;
    TRxTimerEvent& operator=(const TRxTimerEvent&) = delete;

    // A cycled event fires again and again; another stops after RepeatCount firings.
    bool Cycled = true;
    std::function<void(TRxTimerEvent&)> OnTimer;

    bool Enabled() const noexcept { return enabled_; }
    // Enabling restarts the event's time and count; disabling only clears the flag.
    void SetEnabled(bool enabled);
    int Interval() const noexcept { return interval_; }
    void SetInterval(int interval);
    int RepeatCount() const noexcept { return repeatCount_; }
    void SetRepeatCount(int count);

    int Handle() const noexcept { return handle_; }
    std::uint32_t LastTick() const noexcept { return lastTick_; }
    int FireCount() const noexcept { return fireCount_; }
    TRxTimerList* ParentList() const noexcept { return parent_; }

private:
    friend class TRxTimerList;
    std::uint32_t Now() const;

    bool enabled_ = true;
    int interval_ = 1000;
    int repeatCount_ = 0;
    int handle_ = -1;
    std::uint32_t lastTick_ = 0;
    int fireCount_ = 0;
    TRxTimerList* parent_ = nullptr;
};

class TRxTimerList {
public:
    TRxTimerList();
    TRxTimerList(const TRxTimerList&) = delete;
    TRxTimerList& operator=(const TRxTimerList&) = delete;
    ~TRxTimerList();

    bool Active() const noexcept { return active_; }
    void SetActive(bool active);
    // As SetActive(false).
    void Deactivate();

    // Creates an event, adds it and returns its handle (1, 2, 3, ...).
    int Add(std::function<void(TRxTimerEvent&)> handler, int interval, bool cycled);
    // Removes and frees the event with this handle; an unknown handle does nothing.
    void Delete(int handle);
    // Removes and frees all events, last first.
    void Clear();
    int Count() const noexcept { return static_cast<int>(events_.size()); }
    int EnabledCount() const;
    // The events, shortest interval first.
    std::vector<TRxTimerEvent*> Events() const;
    TRxTimerEvent* Find(int handle) const;

    int TickPeriod() const noexcept { return tickPeriod_; }
    // The hidden window that carries the platform timer (only while active).
    HWND TimerWindow() const noexcept { return timer_.Handle(); }

    std::function<void()> OnFinish;
    std::function<void(int handle)> OnTimers;
    // The millisecond tick count; tests substitute their own clock.
    std::function<std::uint32_t()> Clock;

private:
    friend class TRxTimerEvent;

    void CalculateInterval(std::uint32_t now);
    void Sort();
    void UpdateTimer();
    // The tick period for the events as they are now, and the timer to match.
    void Reschedule();
    void Tick();
    bool ProcessEvents();
    void Fire(TRxTimerEvent& event);
    std::uint32_t Now() const;

    std::vector<std::unique_ptr<TRxTimerEvent>> events_;
    // Its window exists only while the list is active.
    winui::WindowTimer timer_{"Larkspan.TimerList", [this] { Tick(); }};
    int handles_ = 0;
    int tickPeriod_ = 0;
    bool active_ = false;
};
