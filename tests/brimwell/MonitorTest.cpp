// The monitor window and its sampling loop, with the platform's readings
// substituted by a scripted probe.
#include "Pointer.h"
#include "Surface.h"

#include "brimwell/Main.h"
#include "brimwell/Program.h"
#include "winui/Application.h"
#include "winui/SettingsFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace {

class ScriptedProbe final : public brimwell::SystemProbe {
public:
    bool basicOk = true;
    int processors = 2;
    std::vector<std::int64_t> times{50000000, 60000000, 70000000};
    std::vector<std::int64_t> idles{10000000, 16000000, 22000000};
    brimwell::MemoryFigures memory{30, 8000192, 4000096};
    brimwell::PowerFigures power{1, 100};
    bool online = true;
    std::string address = "10.0.0.7";
    bool escape = true;
    std::function<void()> onSleep;
    int memoryReads = 0;
    std::size_t cycle = 0;
    bool shownAtStart = false;

    bool ProcessorCount(int& count) override
    {
        shownAtStart = ::IsWindowVisible(frmSystemMonitor->Handle()) != FALSE;
        count = processors;
        return basicOk;
    }
    bool SystemTime(std::int64_t& time) override
    {
        if (cycle >= times.size())
            return false;
        time = times[cycle];
        return true;
    }
    bool IdleTime(std::int64_t& idle) override
    {
        if (cycle >= idles.size())
            return false;
        idle = idles[cycle++];
        return true;
    }
    brimwell::MemoryFigures Memory() override
    {
        ++memoryReads;
        return memory;
    }
    brimwell::PowerFigures Power() override { return power; }
    bool Online() override
    {
        ++onlineReads;
        return online;
    }
    int onlineReads = 0;
    std::string IPAddress() override
    {
        ++addressReads;
        return address;
    }
    bool AddressesChanged() override { return std::exchange(addressesSignalled, false); }
    bool EscapeDown() override { return escape; }
    void Wait(unsigned milliseconds, const std::function<bool()>&) override
    {
        EXPECT_EQ(milliseconds, 1000u);
        if (onSleep)
            onSleep();
    }
    int addressReads = 0;
    bool addressesSignalled = true;  // as the platform's: the first question is answered yes
};

// Monitors side by side, each 1366 x 768 with a 40-pixel taskbar below.
class ScriptedMonitors final : public winui::MonitorLayout {
public:
    explicit ScriptedMonitors(int count) : count_(count) {}
    std::vector<RECT> WorkAreas() const override
    {
        std::vector<RECT> areas;
        for (int n = 0; n < count_; ++n)
            areas.push_back({1366 * n, 0, 1366 * (n + 1), 728});
        return areas;
    }
    RECT NearestWorkArea(const RECT& window) const override
    {
        const int n = std::clamp<int>((window.left + window.right) / 2 / 1366, 0, count_ - 1);
        return {1366 * n, 0, 1366 * (n + 1), 728};
    }

private:
    int count_;
};

class MonitorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        brimwell::OldIdleTime = 0;
        brimwell::OldSystemTime = 0;
        ::DeleteFileA(Ini().c_str());
        auto owned = std::make_unique<ScriptedProbe>();
        probe = owned.get();
        pendingProbe = std::move(owned);
    }
    void TearDown() override
    {
        app.reset();
        MSG msg;
        ::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        ::DeleteFileA(Ini().c_str());
    }

    static std::string Ini() { return winui::ProgramFolder() + "Larkspan.ini"; }

    // Starts the window as the program does and lets the loop run to its end.
    // `whileShowing` runs right after FormShow, before the window is shown.
    void RunMonitor(std::function<void()> whileShowing = nullptr)
    {
        brimwell::CreateForms(*app, std::move(pendingProbe));
        if (whileShowing)
            frmSystemMonitor->OnShow = [show = frmSystemMonitor->OnShow, whileShowing] {
                show();
                whileShowing();
            };
        frmSystemMonitor->Show();
        for (int i = 0; i < 2000 && frmSystemMonitor->SamplerRunning(); ++i) {
            winui::ProcessMessages();
            ::Sleep(5);
        }
        winui::ProcessMessages();
    }

    std::unique_ptr<winui::Application> app = std::make_unique<winui::Application>();
    std::unique_ptr<ScriptedProbe> pendingProbe;
    ScriptedProbe* probe = nullptr;
};

}  // namespace

TEST_F(MonitorTest, WindowIsARoundedTranslucentTopmostWidgetAtItsFirstRunPlace)
{
    probe->basicOk = false;
    RunMonitor();
    const HWND window = frmSystemMonitor->Handle();
    EXPECT_EQ(frmSystemMonitor->ClientWidth(), 182);
    EXPECT_EQ(frmSystemMonitor->ClientHeight(), 191);
    EXPECT_EQ(frmSystemMonitor->Left(), 1366 - 182 - 20);
    EXPECT_EQ(frmSystemMonitor->Top(), 54);  // 216 would lie under the widget's first-run place
    EXPECT_TRUE(::GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    BYTE alpha = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(window, nullptr, &alpha, nullptr));
    EXPECT_EQ(alpha, 200);
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(::GetWindowRgn(window, region), COMPLEXREGION);
    EXPECT_FALSE(::PtInRegion(region, 1, 1));  // the rounded corner is cut away
    EXPECT_TRUE(::PtInRegion(region, 91, 1));
    ::DeleteObject(region);
    EXPECT_EQ(::GetWindow(window, GW_OWNER), app->Handle());
    EXPECT_EQ(app->Title(), "System Monitor");
}

// A place on a second monitor is kept while that monitor is there; once it
// is gone the window comes back wholly onto the first, and a place under
// the taskbar moves up above it.
TEST_F(MonitorTest, APlaceOnAMonitorThatIsGoneComesBackOntoTheFirst)
{
    struct Case {
        int monitors, left, top, expectedLeft, expectedTop;
    };
    for (const Case c : {Case{2, 2000, 300, 2000, 300}, Case{1, 2000, 300, 1366 - 182, 300},
                         Case{1, 400, 700, 400, 728 - 191}}) {
        const ScriptedMonitors monitors(c.monitors);
        app->SetMonitors(&monitors);
        winui::SettingsFile::Larkspan().WritePosition("System Monitor", {c.left, c.top});
        probe->basicOk = false;
        RunMonitor();
        EXPECT_EQ(frmSystemMonitor->Left(), c.expectedLeft) << c.monitors << " monitors, " << c.left;
        EXPECT_EQ(frmSystemMonitor->Top(), c.expectedTop) << c.monitors << " monitors, " << c.left;
        app->SetMonitors(nullptr);
        TearDown();  // a fresh program for the next case
        app = std::make_unique<winui::Application>();
        SetUp();
    }
}

TEST_F(MonitorTest, TheLoopStartsOnlyOnceTheWindowIsOnScreen)
{
    // The hand-over thread reaches the window while showing is still under
    // way and messages run, as on a busy machine.
    RunMonitor([] {
        ::Sleep(200);
        winui::ProcessMessages();
        EXPECT_EQ(frmSystemMonitor->Cycles(), 0);
    });
    EXPECT_TRUE(probe->shownAtStart);
    EXPECT_EQ(frmSystemMonitor->Cycles(), 2);
    EXPECT_TRUE(frmSystemMonitor->Visible());
}

TEST_F(MonitorTest, FailedBasicQueryLeavesTheDesignValues)
{
    probe->basicOk = false;
    RunMonitor();
    EXPECT_EQ(frmSystemMonitor->Label4.Caption(), "CPUs:");
    EXPECT_EQ(frmSystemMonitor->Label5.Caption(), "Battery");
    EXPECT_EQ(frmSystemMonitor->Label7.Caption(), "I.P. Address:");
    EXPECT_EQ(frmSystemMonitor->Label8.Caption(), "You are Offline");
    EXPECT_EQ(frmSystemMonitor->RAMCyl.Position(), 50);
    EXPECT_EQ(frmSystemMonitor->CPUCyl.Position(), 50);
    EXPECT_EQ(frmSystemMonitor->Cycles(), 0);
}

TEST_F(MonitorTest, FirstCycleComputesNoLoadAndEscapeStopsTheSecond)
{
    RunMonitor();
    // Cycle 1 stores the counters; cycle 2: idle 6e6 of 1e7 over two processors.
    EXPECT_EQ(frmSystemMonitor->Cycles(), 2);
    EXPECT_EQ(frmSystemMonitor->CPUCyl.Position(), 70);  // 100 - 30 + 0.5, truncated
    EXPECT_TRUE(frmSystemMonitor->StopMonitor);
    EXPECT_TRUE(frmSystemMonitor->Visible());  // the window stays open, frozen
    EXPECT_FALSE(app->Terminated());
    EXPECT_EQ(brimwell::OldIdleTime, 16000000);

    EXPECT_EQ(frmSystemMonitor->Label4.Caption(), "CPUs: 2");
    EXPECT_EQ(frmSystemMonitor->Label5.Caption(), "AC-Power");
    EXPECT_EQ(frmSystemMonitor->Label7.Caption(), "10.0.0.7");
    EXPECT_EQ(frmSystemMonitor->Label8.Caption(), "You are Online...");
    EXPECT_EQ(frmSystemMonitor->Label8.FontColor(), RGB(0, 0, 0));
    EXPECT_EQ(frmSystemMonitor->RAMCyl.Position(), 70);  // the free share of memory
    EXPECT_EQ(frmSystemMonitor->PFLCyl.Max(), 8);
    EXPECT_EQ(frmSystemMonitor->PFLCyl.Position(), 4);
    EXPECT_EQ(frmSystemMonitor->PFLCyl.ValueText(), "50%");
}

TEST_F(MonitorTest, LoadsOutsideTheRangeAreClampedByTheGauge)
{
    probe->idles = {10000000, 9000000};  // less idle than before: over 100 %
    RunMonitor();
    EXPECT_EQ(frmSystemMonitor->CPUCyl.Position(), 100);
    EXPECT_EQ(frmSystemMonitor->CPUCyl.ValueText(), "Full Speed");
}

TEST_F(MonitorTest, BatteryOfflineAndATinyPageFile)
{
    probe->power = {0, 255};
    probe->online = false;
    probe->memory = {0, 999999, 500000};
    probe->address = "";
    RunMonitor();
    EXPECT_EQ(frmSystemMonitor->Label5.Caption(), "Battery: 255%");
    EXPECT_EQ(frmSystemMonitor->Label8.Caption(), "You are Offline");
    EXPECT_EQ(frmSystemMonitor->Label8.FontColor(), 12615680u);
    EXPECT_EQ(frmSystemMonitor->Label7.Caption(), "");
    EXPECT_EQ(probe->addressReads, 2);  // nothing found is no answer to keep: asked every cycle
    EXPECT_EQ(frmSystemMonitor->PFLCyl.Max(), 1);  // 0 raised above Min
    EXPECT_EQ(frmSystemMonitor->PFLCyl.Position(), 0);
    EXPECT_EQ(frmSystemMonitor->RAMCyl.ValueText(), "Empty");
}

// The resolver and the connected state are asked on the first cycle and then
// only after the platform signals that the machine's addresses changed; the
// new answers then show.
TEST_F(MonitorTest, AddressAndOnlineStateAreAskedOnceAndAgainOnlyAfterAChange)
{
    probe->escape = false;
    probe->times = {50000000, 60000000, 70000000, 80000000};
    probe->idles = {10000000, 16000000, 22000000, 28000000};
    const auto shown = [] {
        winui::ProcessMessages();  // the label's window follows its caption
        char address[64] = {}, online[64] = {};
        ::GetWindowTextA(frmSystemMonitor->Label7.Handle(), address, sizeof address);
        ::GetWindowTextA(frmSystemMonitor->Label8.Handle(), online, sizeof online);
        return std::string(address) + " / " + online;
    };
    int waits = 0;
    probe->onSleep = [&] {
        switch (++waits) {
        case 2:  // after cycle 1
            EXPECT_EQ(probe->addressReads, 1);
            EXPECT_EQ(probe->onlineReads, 1);
            EXPECT_EQ(shown(), "10.0.0.7 / You are Online...");
            probe->address = "10.0.0.99";  // not signalled: not asked for
            probe->online = false;
            break;
        case 3:
            EXPECT_EQ(probe->addressReads, 1);
            EXPECT_EQ(probe->onlineReads, 1);
            EXPECT_EQ(shown(), "10.0.0.7 / You are Online...");
            probe->addressesSignalled = true;
            break;
        case 4:
            EXPECT_EQ(probe->addressReads, 2);
            EXPECT_EQ(probe->onlineReads, 2);
            EXPECT_EQ(shown(), "10.0.0.99 / You are Offline");
            break;
        }
    };
    RunMonitor();
    EXPECT_EQ(waits, 4);  // the fifth cycle's query fails
    EXPECT_EQ(probe->addressReads, 2);
    EXPECT_EQ(probe->onlineReads, 2);
    EXPECT_EQ(frmSystemMonitor->Label7.Caption(), "10.0.0.99");
    EXPECT_EQ(frmSystemMonitor->Label8.FontColor(), 12615680u);
}

TEST_F(MonitorTest, TheOnlineStateIsAskedAgainEveryTenCyclesWithoutAChange)
{
    probe->escape = false;
    for (std::int64_t n = 4; n <= 12; ++n) {
        probe->times.push_back(n * 10000000);
        probe->idles.push_back(n * 6000000);
    }
    int waits = 0;
    probe->onSleep = [&] {
        if (++waits == 2)
            probe->online = false;  // working offline: no address changes
        if (waits == 10) {
            EXPECT_EQ(frmSystemMonitor->Label8.Caption(), "You are Online...");
        }
    };
    RunMonitor();
    EXPECT_EQ(waits, 12);
    EXPECT_EQ(probe->onlineReads, 2);  // the first cycle's and the eleventh's
    EXPECT_EQ(probe->addressReads, 1);
    EXPECT_EQ(frmSystemMonitor->Label8.Caption(), "You are Offline");
}

TEST_F(MonitorTest, AFailingQueryEndsTheLoopSilently)
{
    probe->escape = false;
    probe->times = {50000000, 60000000};  // the third cycle's query fails
    RunMonitor();
    EXPECT_EQ(frmSystemMonitor->Cycles(), 3);
    EXPECT_FALSE(frmSystemMonitor->Sampling());
    EXPECT_FALSE(frmSystemMonitor->StopMonitor);
    EXPECT_EQ(probe->memoryReads, 2);
}

TEST_F(MonitorTest, CloseInsideACycleCutsItShortAndStoresThePosition)
{
    probe->escape = false;
    probe->onSleep = [] {
        frmSystemMonitor->MoveTo(100, 50);
        frmSystemMonitor->Exit1Click();
    };
    RunMonitor();
    EXPECT_TRUE(app->Terminated());
    EXPECT_EQ(probe->memoryReads, 0);  // nothing after the close point ran
    EXPECT_EQ(frmSystemMonitor->RAMCyl.Position(), 50);
    app.reset();
    const winui::SettingsFile settings(Ini());
    EXPECT_EQ(settings.ReadInteger("System Monitor", "Left Side", -1), 100);
    EXPECT_EQ(settings.ReadInteger("System Monitor", "Top Side", -1), 50);
}

TEST_F(MonitorTest, ContextMenuAndCloseButtonBothExit)
{
    probe->basicOk = false;
    RunMonitor();
    ASSERT_EQ(frmSystemMonitor->PopupMenu1.Items().size(), 1u);
    EXPECT_EQ(frmSystemMonitor->PopupMenu1.Items()[0]->Caption(), "Exit");
    EXPECT_EQ(frmSystemMonitor->RbPanel1.GetPopupMenu(), &frmSystemMonitor->PopupMenu1);
    EXPECT_EQ(frmSystemMonitor->dxToolButton1.Hint(), "Close");
    EXPECT_EQ(frmSystemMonitor->dxToolButton1.GlyphColor(), 12615680u);
    const HWND button = frmSystemMonitor->dxToolButton1.Handle();
    ::SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 7));
    EXPECT_EQ(frmSystemMonitor->dxToolButton1.GlyphColor(), RGB(255, 255, 255));
    ::SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(7, 7));
    EXPECT_TRUE(app->Terminated());
}

TEST_F(MonitorTest, TheCloseButtonClosesOnlyOnAReleaseOverItOfAPressThatKeptTheCapture)
{
    probe->basicOk = false;
    RunMonitor();
    TdxToolButton& close = frmSystemMonitor->dxToolButton1;
    const HWND button = close.Handle();
    const COLORREF white = RGB(255, 255, 255), black = RGB(0, 0, 0);
    auto press = [&] {
        testing_support::MovePointer(button, {7, 7});
        ::SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 7));
        EXPECT_EQ(close.GlyphColor(), white);
    };

    // Dragged off, it holds the capture and the moves outside keep coming to it.
    press();
    for (const POINT at : {POINT{-10, 7}, POINT{-30, 20}, POINT{40, 40}}) {
        testing_support::MovePointer(button, at);
        testing_support::LetTrackingRun();
    }
    EXPECT_TRUE(close.Pressed());
    EXPECT_FALSE(close.MouseOver());
    EXPECT_EQ(close.GlyphColor(), 12615680u);
    const auto elsewhere = testing_support::Render(close);
    EXPECT_EQ(elsewhere->At(0, 7), white);  // the raised frame
    EXPECT_EQ(elsewhere->At(14, 7), black);
    ::SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(40, 40));
    EXPECT_FALSE(close.Pressed());
    EXPECT_FALSE(app->Terminated());

    // Another window takes the capture mid-press, as a message box opening does.
    press();
    ::SetCapture(frmSystemMonitor->Handle());
    EXPECT_FALSE(close.Pressed());
    EXPECT_TRUE(close.MouseOver());
    EXPECT_EQ(close.GlyphColor(), 12615680u);
    EXPECT_EQ(testing_support::Render(close)->At(0, 7), white);  // raised again: over it, not pressed
    ::ReleaseCapture();
    ::SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(7, 7));
    EXPECT_FALSE(app->Terminated());
}

TEST(Resolver, TheLastOfSeveralAddressesWins)
{
    unsigned char first[4] = {192, 168, 1, 20};
    unsigned char second[4] = {10, 0, 0, 5};
    char* list[] = {reinterpret_cast<char*>(first), reinterpret_cast<char*>(second), nullptr};
    EXPECT_EQ(brimwell::LastAddress(list), "10.0.0.5");
    char* one[] = {reinterpret_cast<char*>(first), nullptr};
    EXPECT_EQ(brimwell::LastAddress(one), "192.168.1.20");
    char* none[] = {nullptr};
    EXPECT_EQ(brimwell::LastAddress(none), "");
}
