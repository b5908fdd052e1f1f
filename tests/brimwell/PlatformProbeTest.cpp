// The real probe, read against what the platform reports through other
// functions: every other test of the sampler scripts its readings.
#include "brimwell/SystemProbe.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

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

// The platform's notification is armed (Wine answers it as Windows does),
// and without a change of the machine's addresses it reports none.
TEST(PlatformProbe, AsksForTheAddressOnlyOnceWhileNothingChanges)
{
    brimwell::AddressChangeWatch watch;
    EXPECT_TRUE(watch.Changed());  // the first question is always answered yes
    ASSERT_TRUE(watch.Armed());
    EXPECT_FALSE(watch.Changed());
    ::Sleep(50);
    EXPECT_FALSE(watch.Changed());
    EXPECT_TRUE(watch.Armed());

    brimwell::PlatformProbe probe;
    EXPECT_TRUE(probe.AddressesChanged());
    EXPECT_FALSE(probe.AddressesChanged());
}

using Clock = std::chrono::steady_clock;

// Messages that arrive during the wait run as they come, not when it ends,
// and it still ends a second after it began, however often they woke it.
TEST(PlatformProbe, WaitsItsSecondWhileMessagesRunAsTheyCome)
{
    brimwell::PlatformProbe probe;
    const DWORD self = ::GetCurrentThreadId();
    MSG msg;
    ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // this thread's queue exists before the posts
    const Clock::time_point start = Clock::now();
    const auto since = [start](Clock::time_point t) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(t - start).count();
    };
    // Each message carries the moment it was posted.
    std::thread poster([self, since] {
        for (int i = 0; i < 12; ++i) {
            ::Sleep(60);
            ::PostThreadMessageA(self, WM_APP, 0, static_cast<LPARAM>(since(Clock::now())));
        }
    });
    std::vector<long long> delays;
    probe.Wait(1000, [&] {
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message == WM_APP)
                delays.push_back(since(Clock::now()) - static_cast<long long>(msg.lParam));
        return true;
    });
    const long long took = since(Clock::now());
    poster.join();
    ASSERT_EQ(delays.size(), 12u) << "messages left for after the wait";
    for (const long long delay : delays)
        EXPECT_LT(delay, 250) << "a message waited for the second to end";
    EXPECT_GE(took, 1000);
    EXPECT_LT(took, 1500) << "each message began the second anew";
}

TEST(PlatformProbe, AWaitEndsOnceTheMessagesAskForIt)
{
    brimwell::PlatformProbe probe;
    ::PostThreadMessageA(::GetCurrentThreadId(), WM_APP, 0, 0);
    int runs = 0;
    const Clock::time_point start = Clock::now();
    probe.Wait(1000, [&] {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        ++runs;
        return false;  // the window is closing
    });
    EXPECT_EQ(runs, 1);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500));
}

}  // namespace
