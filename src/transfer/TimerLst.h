// Timed events: a list that drives several events from one platform timer
// with a common tick period, and a single timer that can run on a thread of
// its own.
#pragma once

#include "winui/MessageWindow.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
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
    HWND TimerWindow() const noexcept { return window_.Handle(); }

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
    // Exists only while the list is active; carries the platform timer.
    winui::MessageWindow window_{"Larkspan.TimerList", [this](UINT message, WPARAM, LPARAM) {
                                     if (message != WM_TIMER)
                                         return false;
                                     Tick();
                                     return true;
                                 }};
    int handles_ = 0;
    int tickPeriod_ = 0;
    bool active_ = false;
};

// One timer whose handler runs every Interval milliseconds: from a window
// timer, or from a thread of its own that, with SyncEvent, hands every tick
// to the thread that created the timer and waits for it.
class TRxTimer {
public:
    TRxTimer();
    TRxTimer(const TRxTimer&) = delete;
    TRxTimer& operator=(const TRxTimer&) = delete;
    ~TRxTimer();

    // Both may be called from the handler, on either thread.
    void SetEnabled(bool enabled);
    void SetInterval(unsigned interval);
    void SetThreaded(bool threaded);
    void SetSyncEvent(bool sync);
    // The timer thread's priority (THREAD_PRIORITY_NORMAL, ...).
    void SetThreadPriority(int priority);
    // Not from the handler itself, which would be replaced while it runs.
    // Nor may a handler destroy its own timer.
    void SetOnTimer(std::function<void()> handler);
    bool Enabled() const noexcept { return enabled_; }
    unsigned Interval() const noexcept { return interval_; }

private:
    static constexpr UINT syncTick = WM_APP + 2;
    static constexpr UINT tickFailed = WM_APP + 3;

    void Apply();
    void StopThread();
    void ThreadLoop();
    bool OnOwnThread() const;
    void TickNow();
    void SyncTick(WPARAM serial);
    // Shows a handler's exception in the application's error box: the one
    // given, or the one the timer's thread left.
    void ShowFailure(std::exception_ptr failure = nullptr);

    // Carries the window timer and receives what the thread hands over.
    winui::MessageWindow window_{"Larkspan.RxTimer", [this](UINT message, WPARAM wParam, LPARAM) {
                                     if (message == syncTick)
                                         SyncTick(wParam);
                                     else if (message == WM_TIMER)
                                         TickNow();
                                     else if (message == tickFailed)
                                         ShowFailure();
                                     else
                                         return false;
                                     return true;
                                 }};
    std::atomic<bool> enabled_{true};
    std::atomic<unsigned> interval_{1000};
    std::atomic<bool> threaded_{true};
    std::atomic<bool> sync_{true};
    std::atomic<int> priority_{THREAD_PRIORITY_NORMAL};
    std::atomic<bool> destroying_{false};
    std::function<void()> onTimer_;

    // The timer thread: it waits on `wake_` for its interval, for a new one,
    // or for a tick handed to the creating thread to be done, and ends on
    // `stop_`. Nothing it waits for needs the creating thread to take
    // messages, so stopping it never runs messages.
    std::thread thread_;
    std::atomic<std::thread::id> threadId_{};
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    bool retime_ = false;       // the interval changed while the thread waited
    bool tickPending_ = false;  // a tick is on its way to the creating thread
    WPARAM tickSerial_ = 0;     // which one: a later thread's tick is not this one's
    std::exception_ptr failure_;  // thrown by the handler on the timer's thread
};
