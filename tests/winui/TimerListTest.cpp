// The timer list driven by real WM_TIMER messages to its hidden window, with
// the tick count under the test's control; the single timer with real time.
#include "winui/Application.h"
#include "winui/RxTimer.h"
#include "winui/TimerLst.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class TimerListTest : public ::testing::Test {
protected:
    TimerListTest()
    {
        list.Clock = [this] { return now; };
        list.OnFinish = [this] { log.push_back("finish"); };
    }

    // The platform timer's message, as it arrives at the given time.
    void TickAt(std::uint32_t time)
    {
        now = time;
        ASSERT_NE(list.TimerWindow(), nullptr);
        ::SendMessageA(list.TimerWindow(), WM_TIMER, 1, 0);
    }

    winui::Application app;
    TRxTimerList list;
    std::uint32_t now = 10000;
    std::vector<std::string> log;
};

}  // namespace

TEST_F(TimerListTest, ThePortalsAnimationTicksEveryHundredMilliseconds)
{
    const int fast = list.Add([this](TRxTimerEvent&) { log.push_back("220"); }, 220, true);
    const int stop = list.Add([this](TRxTimerEvent&) { log.push_back("3000"); }, 3000, true);
    EXPECT_EQ(fast, 1);
    EXPECT_EQ(stop, 2);
    list.SetActive(true);
    EXPECT_EQ(list.TickPeriod(), 100);
    for (std::uint32_t t = 10100; t <= 11000; t += 100)
        TickAt(t);
    // Due at 170 ms or more since the last firing: every 200 ms.
    EXPECT_EQ(log, (std::vector<std::string>(5, "220")));
    EXPECT_EQ(list.Find(fast)->FireCount(), 5);
    EXPECT_EQ(list.Find(fast)->LastTick(), 11000u);
}

TEST_F(TimerListTest, TheLongestIntervalFiresFirstAndFinishingMidTickIsSafe)
{
    list.Add([this](TRxTimerEvent&) { log.push_back("220"); }, 220, true);
    list.Add(
        [this](TRxTimerEvent&) {
            log.push_back("3000");
            list.SetActive(false);  // the portal's animation ends here
        },
        3000, true);
    list.OnTimers = [this](int handle) { log.push_back("timers " + std::to_string(handle)); };
    list.SetActive(true);
    TickAt(13000);  // both are due
    EXPECT_EQ(log, (std::vector<std::string>{"3000", "finish", "timers 2", "220", "timers 1"}));
    EXPECT_FALSE(list.Active());
    EXPECT_EQ(list.TimerWindow(), nullptr);
}

TEST_F(TimerListTest, NonCycledEventsFireOnceAndTheListEndsItself)
{
    list.Add([this](TRxTimerEvent&) { log.push_back("a"); }, 300, false);
    list.Add([this](TRxTimerEvent&) { log.push_back("b"); }, 300, false);
    list.SetActive(true);
    TickAt(10300);
    EXPECT_EQ(log, (std::vector<std::string>{"b", "a", "finish"}));
    EXPECT_FALSE(list.Active());
    EXPECT_EQ(list.EnabledCount(), 0);
}

TEST_F(TimerListTest, DisablingThroughEnabledKeepsThePeriodAndTheList)
{
    const int only = list.Add([this](TRxTimerEvent&) { log.push_back("tick"); }, 500, true);
    list.SetActive(true);
    EXPECT_EQ(list.TickPeriod(), 500);
    list.Find(only)->SetEnabled(false);
    EXPECT_EQ(list.TickPeriod(), 500);
    EXPECT_TRUE(list.Active());
    TickAt(11000);
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(list.Active());
    // Enabling again restarts its time.
    now = 12000;
    list.Find(only)->SetEnabled(true);
    EXPECT_EQ(list.Find(only)->LastTick(), 12000u);
    TickAt(12400);
    EXPECT_TRUE(log.empty());
    TickAt(12500);
    EXPECT_EQ(log.size(), 1u);
}

TEST_F(TimerListTest, EventsStaySortedAndHandlesCount)
{
    list.Add(nullptr, 3000, true);
    list.Add(nullptr, 220, true);
    list.Add(nullptr, 220, true);
    std::vector<int> order;
    for (const TRxTimerEvent* e : list.Events())
        order.push_back(e->Handle());
    EXPECT_EQ(order, (std::vector<int>{2, 3, 1}));
    list.Delete(3);
    list.Delete(42);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Add(nullptr, 50, true), 4);
    list.SetActive(true);
    EXPECT_EQ(list.TickPeriod(), 100);  // below 100 is served at 100
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(TimerListTest, RepeatCountRules)
{
    const int h = list.Add(nullptr, 1000, false);
    TRxTimerEvent& e = *list.Find(h);
    e.SetRepeatCount(0);
    EXPECT_EQ(e.RepeatCount(), 0);  // unchanged: nothing happens
    e.SetRepeatCount(-3);
    EXPECT_EQ(e.RepeatCount(), 1);  // raised to at least 1 when not cycled
    list.SetActive(true);
    TickAt(11000);
    EXPECT_FALSE(e.Enabled());
}

TEST(RxTimer, WindowTimerAndThreadedTimerTick)
{
    winui::Application app;
    const DWORD mainThread = ::GetCurrentThreadId();
    // Counts three ticks of a timer while this thread takes messages; true
    // when every tick ran on this thread.
    auto ticksOnThisThread = [&](bool threaded) {
        int ticks = 0;
        bool onMainThread = true;
        TRxTimer timer;
        timer.SetThreaded(threaded);
        timer.SetInterval(30);
        timer.SetOnTimer([&] {
            ++ticks;
            onMainThread = onMainThread && ::GetCurrentThreadId() == mainThread;
        });
        for (int i = 0; i < 200 && ticks < 3; ++i) {
            winui::ProcessMessages();
            ::Sleep(10);
        }
        EXPECT_GE(ticks, 3) << (threaded ? "threaded" : "window timer");
        return onMainThread;
    };
    EXPECT_TRUE(ticksOnThisThread(false));
    // Threaded with SyncEvent: the handler still runs on this thread.
    EXPECT_TRUE(ticksOnThisThread(true));

    // Without SyncEvent the handler runs on the timer's own thread.
    std::atomic<int> threadTicks{0};
    std::atomic<bool> onOtherThread{true};
    {
        TRxTimer timer;
        timer.SetSyncEvent(false);
        timer.SetInterval(30);
        timer.SetOnTimer([&] {
            ++threadTicks;
            if (::GetCurrentThreadId() == mainThread)
                onOtherThread = false;
        });
        for (int i = 0; i < 200 && threadTicks < 3; ++i)
            ::Sleep(10);  // no messages taken: the thread ticks by itself
    }
    EXPECT_GE(threadTicks.load(), 3);
    EXPECT_TRUE(onOtherThread);
}

TEST(RxTimer, ItsOwnTickChangesAndStopsItWithoutWaitingForItself)
{
    winui::Application app;
    // Handed to this thread: the tick shortens the interval, then disables
    // the timer while the timer's thread waits for that very tick.
    {
        TRxTimer timer;
        int ticks = 0;
        timer.SetInterval(40);
        timer.SetOnTimer([&] {
            if (++ticks == 1)
                timer.SetInterval(10);
            else if (ticks == 3)
                timer.SetEnabled(false);
        });
        for (int i = 0; i < 200 && timer.Enabled(); ++i) {
            winui::ProcessMessages();
            ::Sleep(5);
        }
        EXPECT_FALSE(timer.Enabled());
        EXPECT_EQ(ticks, 3);
        EXPECT_EQ(timer.Interval(), 10u);
    }
    // On its own thread: the tick changes the interval there; stopping it
    // is then this thread's, as the animation's end is handed over.
    std::atomic<int> ticks{0};
    TRxTimer timer;
    timer.SetSyncEvent(false);
    timer.SetInterval(40);
    timer.SetOnTimer([&] {
        ++ticks;
        timer.SetInterval(10);
    });
    for (int i = 0; i < 200 && ticks < 5; ++i)
        ::Sleep(5);
    EXPECT_GE(ticks.load(), 5);  // the thread went on after changing itself
    EXPECT_EQ(timer.Interval(), 10u);
    timer.SetEnabled(false);
    const int stoppedAt = ticks;
    ::Sleep(50);
    EXPECT_EQ(ticks.load(), stoppedAt);
}

namespace {

// Records the error boxes and the thread that showed each.
class RecordedErrors final : public winui::Prompts {
public:
    winui::MessageResult Show(HWND, const std::string&, winui::MessageKind, const std::string& text,
                              winui::MessageButtons) override
    {
        shown.push_back(text);
        threads.push_back(::GetCurrentThreadId());
        return winui::MessageResult::Ok;
    }
    std::vector<std::string> shown;
    std::vector<DWORD> threads;
};

}  // namespace

TEST(RxTimer, AnErrorOnTheTimersThreadIsShownByTheCreatingThread)
{
    winui::Application app;
    RecordedErrors errors;
    app.SetPrompts(&errors);
    std::atomic<int> ticks{0};
    TRxTimer timer;
    timer.SetSyncEvent(false);
    timer.SetInterval(20);
    timer.SetOnTimer([&] {
        if (++ticks == 1)
            throw std::runtime_error("The picture could not be drawn");
    });
    for (int i = 0; i < 200 && ticks < 3; ++i)
        ::Sleep(5);
    EXPECT_GE(ticks.load(), 3);  // the thread went on
    EXPECT_TRUE(errors.shown.empty());
    winui::ProcessMessages();
    EXPECT_EQ(errors.shown, std::vector<std::string>{"The picture could not be drawn"});
    EXPECT_EQ(errors.threads, std::vector<DWORD>{::GetCurrentThreadId()});
    app.SetPrompts(nullptr);
}
