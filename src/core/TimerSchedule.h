// Scheduling arithmetic of the timer list: one tick period that serves every
// event, and when an event is due.
#pragma once

#include <cstdint>
#include <span>

namespace larkspan::timers {

struct ScheduledEvent {
    bool enabled = true;
    std::int32_t interval = 1000;
    std::uint32_t lastTick = 0;  // the platform's millisecond tick count
};

// The milliseconds since `lastTick`, across the tick counter's wrap.
constexpr std::int64_t Elapsed(std::uint32_t now, std::uint32_t lastTick)
{
    return static_cast<std::uint32_t>(now - lastTick);
}

// The tick period for events in list order: the shortest interval or time
// until due of the enabled events with a positive interval, at least 100,
// reduced until every positive interval is a multiple of it (or it is 100
// or less), and at least 100. 0 when no event can fire.
std::int32_t TickPeriod(std::span<const ScheduledEvent> events, std::uint32_t now);

// Due with 50 ms of tolerance: enabled and at least interval - 50 ms since
// the last firing.
constexpr bool IsDue(const ScheduledEvent& event, std::uint32_t now)
{
    return event.enabled && Elapsed(now, event.lastTick) >= static_cast<std::int64_t>(event.interval) - 50;
}

}  // namespace larkspan::timers
