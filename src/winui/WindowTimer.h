// The clock under the program's timer components: a periodic platform timer
// (identifier 1) on a hidden window of the creating thread.
#pragma once

#include "MessageWindow.h"

#include <functional>
#include <string>

namespace winui {

class WindowTimer {
public:
    // `onTick` runs on every timer message; `others`, when given, is offered
    // the window's other messages (a timer thread's hand-overs).
    WindowTimer(std::string className, std::function<void()> onTick, MessageWindow::Handler others = nullptr);
    WindowTimer(const WindowTimer&) = delete;
    WindowTimer& operator=(const WindowTimer&) = delete;

    // The timer runs only while its window exists.
    void Create();
    // Destroys the window, and the timer with it; safe inside one of the
    // window's own messages.
    void Destroy();
    bool Exists() const noexcept { return window_.HandleAllocated(); }
    HWND Handle() const noexcept { return window_.Handle(); }

    // Cancels the timer and starts it again with this period; false when
    // the platform has no timer to give.
    bool Start(unsigned intervalMs);
    void Stop();

private:
    std::function<void()> onTick_;
    MessageWindow::Handler others_;
    MessageWindow window_;
};

// A timer component: its handler runs every Interval milliseconds on the
// creating thread while it is enabled. Every change of a setting cancels the
// platform timer and, when the interval is not 0, the timer is enabled and a
// handler is set, starts it again; a timer the platform refuses raises
// `failure`. A handler's exception goes to the application's handler.
class IntervalTimer {
public:
    IntervalTimer(std::string className, std::string failure);

    void SetEnabled(bool enabled);
    void SetInterval(unsigned interval);
    void SetOnTimer(std::function<void()> handler);
    bool Enabled() const noexcept { return enabled_; }
    unsigned Interval() const noexcept { return interval_; }

private:
    void Apply();

    std::string failure_;
    bool enabled_ = true;
    unsigned interval_ = 1000;
    std::function<void()> onTimer_;
    WindowTimer timer_;
};

}  // namespace winui
