// One timer whose handler runs every Interval milliseconds: from a window
// timer, or from a thread of its own that, with SyncEvent, hands every tick
// to the thread that created the timer and waits for it.
#pragma once

#include "WindowTimer.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

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

    // The window timer, whose window also receives what the thread hands over.
    winui::WindowTimer timer_{"Larkspan.RxTimer", [this] { TickNow(); }, [this](UINT message, WPARAM wParam, LPARAM) {
                                   if (message == syncTick)
                                       SyncTick(wParam);
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
