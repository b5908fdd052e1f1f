#include "WindowTimer.h"

#include "Application.h"

#include <stdexcept>

namespace winui {

namespace {

constexpr UINT_PTR timerId = 1;

}  // namespace

WindowTimer::WindowTimer(std::string className, std::function<void()> onTick, MessageWindow::Handler others)
    : onTick_(std::move(onTick)),
      others_(std::move(others)),
      window_(std::move(className), [this](UINT message, WPARAM wParam, LPARAM lParam) {
          if (message != WM_TIMER)
              return others_ && others_(message, wParam, lParam);
          onTick_();
          return true;
      })
{
}

void WindowTimer::Create()
{
    window_.Create();
}

void WindowTimer::Destroy()
{
    Stop();
    window_.Destroy();
}

bool WindowTimer::Start(unsigned intervalMs)
{
    Stop();
    return ::SetTimer(window_.Handle(), timerId, intervalMs, nullptr) != 0;
}

void WindowTimer::Stop()
{
    if (window_.HandleAllocated())
        ::KillTimer(window_.Handle(), timerId);
}

IntervalTimer::IntervalTimer(std::string className, std::string failure)
    : failure_(std::move(failure)), timer_(std::move(className), [this] { RunGuarded(onTimer_); })
{
    timer_.Create();
}

void IntervalTimer::SetEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    Apply();
}

void IntervalTimer::SetInterval(unsigned interval)
{
    if (interval == interval_)
        return;
    interval_ = interval;
    Apply();
}

void IntervalTimer::SetOnTimer(std::function<void()> handler)
{
    onTimer_ = std::move(handler);
    Apply();
}

void IntervalTimer::Apply()
{
    timer_.Stop();
    if (interval_ != 0 && enabled_ && onTimer_ && !timer_.Start(interval_))
        throw std::runtime_error(failure_);
}

}  // namespace winui
