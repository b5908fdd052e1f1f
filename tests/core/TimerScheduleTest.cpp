#include "core/TimerSchedule.h"

#include <gtest/gtest.h>

#include <vector>

using namespace larkspan::timers;

TEST(TimerSchedule, ThePortalsTwoEventsTickEveryHundredMilliseconds)
{
    const std::vector<ScheduledEvent> events{{true, 220, 5000}, {true, 3000, 5000}};
    // 220, then 220 - (3000 mod 220) = 80, then at least 100.
    EXPECT_EQ(TickPeriod(events, 5000), 100);
}

TEST(TimerSchedule, PeriodsFollowTheShortestIntervalAndCommonDivisors)
{
    EXPECT_EQ(TickPeriod(std::vector<ScheduledEvent>{{true, 1000, 0}}, 0), 1000);
    EXPECT_EQ(TickPeriod(std::vector<ScheduledEvent>{{true, 500, 0}, {true, 1500, 0}}, 0), 500);
    EXPECT_EQ(TickPeriod(std::vector<ScheduledEvent>{{true, 400, 0}, {true, 1000, 0}}, 0), 200);
    EXPECT_EQ(TickPeriod(std::vector<ScheduledEvent>{{true, 30, 0}}, 0), 100);  // below 100 is served at 100
    // The time until an event is due counts too: 300, then 300 - 1000 mod 300.
    EXPECT_EQ(TickPeriod(std::vector<ScheduledEvent>{{true, 1000, 0}}, 700), 200);
    EXPECT_EQ(TickPeriod(std::vector<ScheduledEvent>{{true, 1000, 0}}, 750), 250);
}

TEST(TimerSchedule, NoEventThatCanFireMeansNoTimer)
{
    EXPECT_EQ(TickPeriod({}, 0), 0);
    EXPECT_EQ(TickPeriod(std::vector<ScheduledEvent>{{false, 1000, 0}}, 0), 0);
    EXPECT_EQ(TickPeriod(std::vector<ScheduledEvent>{{true, 0, 0}}, 0), 0);
}

TEST(TimerSchedule, IntervalsThatAreNotPositiveDoNotStretchThePeriod)
{
    // Their remainder is negative or zero: once it grew the period without end.
    EXPECT_EQ(TickPeriod(std::vector<ScheduledEvent>{{true, -7, 0}, {true, 220, 0}}, 0), 220);
    EXPECT_EQ(TickPeriod(std::vector<ScheduledEvent>{{true, 300, 0}, {false, -1000, 0}, {true, 0, 0}}, 0), 300);
}

TEST(TimerSchedule, DueWithFiftyMillisecondsOfToleranceAcrossTheWrap)
{
    const ScheduledEvent e{true, 220, 1000};
    EXPECT_FALSE(IsDue(e, 1169));
    EXPECT_TRUE(IsDue(e, 1170));
    EXPECT_FALSE(IsDue({false, 220, 1000}, 5000));
    const ScheduledEvent nearWrap{true, 220, 0xFFFFFF00u};
    EXPECT_TRUE(IsDue(nearWrap, 0x00000010u));  // 272 ms later, across the wrap
}
