// Starts the real Brimwell.exe in a program folder of its own and checks it
// from outside: its place, its live readings, and the position it stores.
#include "ProgramUnderTest.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

bool Contains(const std::vector<std::string>& texts, const std::string& text)
{
    for (const std::string& t : texts)
        if (t == text)
            return true;
    return false;
}

}  // namespace

TEST(BrimwellEndToEnd, MonitorShowsLiveReadingsAndRemembersItsPlace)
{
    ProgramUnderTest program(ProgramPath(), "Brimwell");
    HWND monitor = program.Start(1164, 216);
    ASSERT_NE(monitor, nullptr);
    RECT r{};
    ::GetWindowRect(monitor, &r);
    EXPECT_EQ(r.left, 1164);
    EXPECT_EQ(r.top, 216);
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
