// Starts the real Brimwell.exe in a program folder of its own and checks it
// from outside: its place, its live readings, and the position it stores;
// with the real Tessaly.exe beside it, where both widgets stand.
#include "ProgramUnderTest.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

using namespace testing_support;

namespace {

bool Contains(const std::vector<std::string>& texts, const std::string& text)
{
    for (const std::string& t : texts)
        if (t == text)
            return true;
    return false;
}

// Tessaly with the list files a user's program folder holds (it reports
// each one that is missing).
void GiveListFiles(const ProgramUnderTest& program)
{
    for (const char* name : {"SumvexFileList.dat", "QuilloFileList.dat", "IPAddress.dat"}) {
        const HANDLE file = ::CreateFileA(program.File(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE) << name;
        ::CloseHandle(file);
    }
}

void StorePosition(const ProgramUnderTest& program, const char* section, int left, int top)
{
    const std::string ini = program.File("Larkspan.ini");
    ::WritePrivateProfileStringA(section, "Left Side", std::to_string(left).c_str(), ini.c_str());
    ::WritePrivateProfileStringA(section, "Top Side", std::to_string(top).c_str(), ini.c_str());
}

RECT WindowRect(HWND window)
{
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
}

bool Inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// Milliseconds until `done` holds, looked at every millisecond for at most a
// second (then 1000 or more).
long long MillisecondsUntil(const std::function<bool()>& done)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    while (!done() && Clock::now() - start < std::chrono::seconds(1))
        ::Sleep(1);
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

}  // namespace

// On a first run the monitor stands above the widget, clear of it, both at
// the right edge; positions left from another screen come back wholly onto
// this one, and one that still shows a corner stays where it is.
TEST(WidgetPlacement, FirstRunsStandApartAndLostWidgetsComeBack)
{
    ASSERT_FALSE(SiblingPath().empty()) << "the test needs Tessaly.exe as its second argument";
    RECT work{};
    ASSERT_TRUE(::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    ASSERT_EQ(work.right, 1366);  // the 1366 x 768 test screen
    ProgramUnderTest brimwell(ProgramPath(), "Brimwell");
    ProgramUnderTest tessaly(SiblingPath(), "Tessaly");
    GiveListFiles(tessaly);
    // Each ended as the user ends it, by its own close button, where that
    // button is on the screen; a window whose button stands off the screen
    // (kept there on purpose) is asked to close.
    const auto bothClosed = [&] {
        for (ProgramUnderTest* program : {&brimwell, &tessaly}) {
            const bool monitorWindow = program == &brimwell;
            const HWND form = program->WaitForWindow(monitorWindow ? 182 : 178, monitorWindow ? 191 : 417);
            if (!form)
                continue;
            const HWND close = monitorWindow ? FindChildOfClass(form, "Larkspan.ToolButton")
                                             : ChildWithText(form, "Larkspan.SpeedButton", "X");
            RECT r{};
            ::GetWindowRect(close, &r);
            const POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
            if (close && middle.x >= work.left && middle.x < work.right && middle.y >= work.top && middle.y < work.bottom)
                ClickWithMouse(close);
            else
                ::PostMessageA(form, WM_CLOSE, 0, 0);
            EXPECT_TRUE(program->EndsWithin(5000)) << (monitorWindow ? "Brimwell" : "Tessaly") << " still running";
        }
    };

    // 768 / 3 = 255 for the widget; the monitor's own default, 216, would
    // put its lower part under the widget, so it ends 10 pixels above it.
    HWND monitor = brimwell.Start(1164, 54);
    HWND widget = tessaly.Start(1168, 255);
    ASSERT_NE(monitor, nullptr);
    ASSERT_NE(widget, nullptr);
    RECT m = WindowRect(monitor), w = WindowRect(widget), overlap{};
    EXPECT_EQ(m.top, 54);
    EXPECT_EQ(w.top, 255);
    EXPECT_FALSE(::IntersectRect(&overlap, &m, &w));
    bothClosed();

    // Left by a larger or a second screen: back to the nearest place wholly
    // inside the work area.
    StorePosition(tessaly, "Tessaly", 3000, 1500);
    StorePosition(brimwell, "System Monitor", -900, 2000);
    widget = tessaly.Start(work.right - 178, work.bottom - 417);
    monitor = brimwell.Start(work.left, work.bottom - 191);
    ASSERT_NE(widget, nullptr);
    ASSERT_NE(monitor, nullptr);
    EXPECT_TRUE(Inside(WindowRect(widget), work));
    EXPECT_TRUE(Inside(WindowRect(monitor), work));
    EXPECT_EQ(WindowRect(widget).left, work.right - 178);
    EXPECT_EQ(WindowRect(monitor).top, work.bottom - 191);
    bothClosed();

    // 50 x 60 pixels of each still show: kept to the pixel.
    StorePosition(tessaly, "Tessaly", work.right - 50, work.bottom - 60);
    StorePosition(brimwell, "System Monitor", -132, -131);
    widget = tessaly.Start(work.right - 50, work.bottom - 60);
    monitor = brimwell.Start(-132, -131);
    ASSERT_NE(widget, nullptr);
    ASSERT_NE(monitor, nullptr);
    EXPECT_EQ(WindowRect(widget).left, work.right - 50);
    EXPECT_EQ(WindowRect(widget).top, work.bottom - 60);
    EXPECT_EQ(WindowRect(monitor).left, -132);
    EXPECT_EQ(WindowRect(monitor).top, -131);
    bothClosed();
}

TEST(BrimwellEndToEnd, MonitorShowsLiveReadingsAndRemembersItsPlace)
{
    ProgramUnderTest program(ProgramPath(), "Brimwell");
    HWND monitor = program.Start(1164, 54);
    ASSERT_NE(monitor, nullptr);
    RECT r{};
    ::GetWindowRect(monitor, &r);
    EXPECT_EQ(r.left, 1164);
    EXPECT_EQ(r.top, 54);  // clear of the widget's default place
    EXPECT_EQ(r.right - r.left, 182);
    EXPECT_EQ(r.bottom - r.top, 191);
    BYTE alpha = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(monitor, nullptr, &alpha, nullptr));
    EXPECT_EQ(alpha, 200);
    EXPECT_TRUE(::GetWindowLongA(monitor, GWL_EXSTYLE) & WS_EX_TOPMOST);

    // Within a few seconds the labels carry real values.
    SYSTEM_INFO system{};
    ::GetSystemInfo(&system);
    const std::string cpus = "CPUs: " + std::to_string(system.dwNumberOfProcessors);
    std::vector<std::string> labels;
    for (int i = 0; i < 100 && !Contains(labels, cpus); ++i) {
        ::Sleep(100);
        labels = ChildTexts(monitor, "Larkspan.Label");
    }
    ::Sleep(1500);  // one more cycle: power, online state and address follow
    labels = ChildTexts(monitor, "Larkspan.Label");
    EXPECT_TRUE(Contains(labels, cpus)) << cpus;
    EXPECT_TRUE(Contains(labels, "AC-Power") || Contains(labels, "Battery: 100%"));
    EXPECT_TRUE(Contains(labels, "You are Online...") || Contains(labels, "You are Offline"));
    EXPECT_FALSE(Contains(labels, "I.P. Address:"));  // replaced by the address (or nothing)
    // The gauges' texts (RAM, CPU, page file): a percentage or their done text.
    const std::vector<std::string> gauges = ChildTexts(monitor, "Larkspan.ProgressCyl");
    ASSERT_EQ(gauges.size(), 3u);
    for (const std::string& value : gauges)
        EXPECT_TRUE(value == "Empty" || value == "Full Speed" || (!value.empty() && value.back() == '%')) << value;

    // Moved, then closed with its close button ("Exit").
    ::SetWindowPos(monitor, nullptr, 300, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    HWND close = FindChildOfClass(monitor, "Larkspan.ToolButton");
    ASSERT_NE(close, nullptr);
    ClickWithMouse(close);
    EXPECT_EQ(program.WaitForExit(), 0u);
    char left[16] = {};
    char top[16] = {};
    const std::string ini = program.File("Larkspan.ini");
    ::GetPrivateProfileStringA("System Monitor", "Left Side", "", left, sizeof left, ini.c_str());
    ::GetPrivateProfileStringA("System Monitor", "Top Side", "", top, sizeof top, ini.c_str());
    EXPECT_STREQ(left, "300");
    EXPECT_STREQ(top, "400");

    monitor = program.Start(300, 400);
    ASSERT_NE(monitor, nullptr);
    ::GetWindowRect(monitor, &r);
    EXPECT_EQ(r.left, 300);
    EXPECT_EQ(r.top, 400);
    ::PostMessageA(monitor, WM_CLOSE, 0, 0);
    program.WaitForExit();
}

// While the monitor samples once a second, another program's requests are
// handled at once, at whatever moment of the second they come: moves, then
// a close.
TEST(BrimwellEndToEnd, AnswersMovesAndACloseAtOnceWhileSampling)
{
    ProgramUnderTest program(ProgramPath(), "Brimwell");
    const HWND monitor = program.Start(1164, 54);
    ASSERT_NE(monitor, nullptr);
    SYSTEM_INFO system{};
    ::GetSystemInfo(&system);
    const std::string cpus = "CPUs: " + std::to_string(system.dwNumberOfProcessors);
    for (int i = 0; i < 100 && !Contains(ChildTexts(monitor, "Larkspan.Label"), cpus); ++i)
        ::Sleep(100);
    ASSERT_TRUE(Contains(ChildTexts(monitor, "Larkspan.Label"), cpus)) << "not sampling";

    // Seven moves, each 143 ms and a little more after the last, fall at
    // seven moments spread over the second. Each request is queued for the
    // window's thread, and the window stands at its new place once that
    // thread has handled it.
    for (int i = 0; i < 7; ++i) {
        ::Sleep(143);
        const int left = 200 + 40 * i, top = 150 + 20 * i;
        ::SetWindowPos(monitor, nullptr, left, top, 0, 0,
                       SWP_ASYNCWINDOWPOS | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        const long long moved = MillisecondsUntil([&] {
            const RECT r = WindowRect(monitor);
            return r.left == left && r.top == top;
        });
        EXPECT_LE(moved, 100) << "move " << i << " to " << left << ", " << top;
    }
    const RECT r = WindowRect(monitor);
    EXPECT_EQ(r.left, 200 + 40 * 6);
    EXPECT_EQ(r.top, 150 + 20 * 6);

    // Dragged by its panel with the pointer, as a user moves it: the window
    // follows the pointer and stands where it was let go.
    const POINT grip{r.left + 40, r.top + 12};
    DragWithMouse(grip, {grip.x - 150, grip.y + 100});
    const long long dragged = MillisecondsUntil([&] {
        const RECT now = WindowRect(monitor);
        return now.left == r.left - 150 && now.top == r.top + 100;
    });
    EXPECT_LE(dragged, 100) << "the window did not follow the pointer";

    // And a close, from outside as well.
    ::PostMessageA(monitor, WM_CLOSE, 0, 0);
    const long long closed = MillisecondsUntil([&] { return !::IsWindow(monitor); });
    EXPECT_LE(closed, 100) << "the window was still there";
    EXPECT_TRUE(program.EndsWithin(5000));
}
