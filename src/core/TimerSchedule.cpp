#include "TimerSchedule.h"

#include <limits>

namespace larkspan::timers {

std::int32_t TickPeriod(std::span<const ScheduledEvent> events, std::uint32_t now)
{
    if (events.empty())
        return 0;
    constexpr std::int64_t none = std::numeric_limits<std::int32_t>::max();
    std::int64_t period = none;
    for (const ScheduledEvent& e : events) {
        if (!e.enabled || e.interval <= 0)
            continue;
        if (e.interval < period)
            period = e.interval;
        const std::int64_t untilDue = e.interval - Elapsed(now, e.lastTick);
        if (untilDue < period)
            period = untilDue;
    }
    if (period < 100)
        period = 100;
    if (period == none)
        return 0;
    for (bool changed = true; changed && period > 100;) {
        changed = false;
        for (const ScheduledEvent& e : events) {
            // An interval that is not positive never fires and needs no
            // common divisor; its remainder would be negative and grow the
            // period without end.
            if (e.interval <= 0)
                continue;
            const std::int64_t remainder = e.interval % period;
            if (remainder != 0) {
                period -= remainder;
                changed = true;
                break;
            }
        }
    }
    return static_cast<std::int32_t>(period < 100 ? 100 : period);
}

}  // namespace larkspan::timers
