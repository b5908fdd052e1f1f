// The real probe, read against what the platform reports through other
// functions: every other test of the sampler scripts its readings.
#include "brimwell/SystemProbe.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(PlatformProbe, ReadsTheMachinesOwnFigures)
{
    brimwell::PlatformProbe probe;

    int processors = 0;
    ASSERT_TRUE(probe.ProcessorCount(processors));
    SYSTEM_INFO info{};
    ::GetSystemInfo(&info);
    EXPECT_EQ(processors, static_cast<int>(info.dwNumberOfProcessors));

    // The system time is the UTC file time, in the same 100-ns units.
    std::int64_t time = 0;
    ASSERT_TRUE(probe.SystemTime(time));
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const std::int64_t expected =
        static_cast<std::int64_t>((static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime);
    EXPECT_LT(std::llabs(time - expected), 10'000'000) << "more than a second apart";

    // Idle time never runs backwards and never outruns all processors'
    // wall time since the first reading.
    std::int64_t idle1 = 0, idle2 = 0, time2 = 0;
    ASSERT_TRUE(probe.IdleTime(idle1));
    ::Sleep(200);
    ASSERT_TRUE(probe.IdleTime(idle2));
    ASSERT_TRUE(probe.SystemTime(time2));
    EXPECT_GE(idle1, 0);
    EXPECT_GE(idle2, idle1);
    EXPECT_LE(idle2 - idle1, (time2 - time + 10'000'000) * processors);

    const brimwell::MemoryFigures memory = probe.Memory();
    EXPECT_LE(memory.memoryLoad, 100u);
    EXPECT_GT(memory.totalPageFile, 0u);
    EXPECT_LE(memory.availPageFile, memory.totalPageFile);
}

}  // namespace
