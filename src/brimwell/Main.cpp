#include "Main.h"

#include "core/Placement.h"
#include "core/Sampling.h"
#include "winui/Application.h"
#include "winui/Monitors.h"
#include "winui/SettingsFile.h"

using namespace winui;
namespace sampling = larkspan::sampling;

TfrmSystemMonitor* frmSystemMonitor = nullptr;

namespace brimwell {
std::int64_t OldIdleTime = 0;
std::int64_t OldSystemTime = 0;
}  // namespace brimwell

namespace {

constexpr COLORREF labelBlue = 12615680;  // 0xC08000
constexpr UINT runMonitorLoop = WM_APP + 1;

FormDesign MonitorDesign()
{
    FormDesign d;
    d.caption = "System Monitor";
    d.clientWidth = 182;
    d.clientHeight = 191;
    d.centred = true;
    d.stayOnTop = true;
    d.alpha = 200;
    d.font = FontSpec().Face("MS Sans Serif").Height(-11);
    return d;
}

FontSpec LabelFont(COLORREF color = labelBlue)
{
    return FontSpec().Face("MS Sans Serif").Height(-11).Bold().Color(color);
}

}  // namespace

TfrmSystemMonitor::TfrmSystemMonitor(std::unique_ptr<brimwell::SystemProbe> probe)
    : Form(MonitorDesign()),
      probe_(probe ? std::move(probe) : std::make_unique<brimwell::PlatformProbe>()),
      shown_(::CreateEventA(nullptr, TRUE, FALSE, nullptr))
{
    OnCreate = [this] { FormCreate(); };
    OnShow = [this] { FormShow(); };
    OnActivate = [this] { FormActivate(); };
    OnClose = [this] { FormClose(); };
    OnDestroy = [this] { FormDestroy(); };
}

TfrmSystemMonitor::~TfrmSystemMonitor()
{
    // A hand-over thread still waiting for the window to appear gives up.
    abandoned_ = true;
    ::SetEvent(shown_.Get());
    WaitForSampler();
}

void TfrmSystemMonitor::CreateComponents()
{
    RbPanelDesign panel;
    panel.bounds = {0, 0, 182, 191};
    panel.caption = "System Monitor";
    panel.color = clWhite;
    panel.font = LabelFont();
    panel.showCaption = true;
    panel.captionPosition = cpTopCenter;
    panel.textShadow = false;
    panel.textShadowColor = clWhite;
    panel.cornerWidth = 25;
    panel.borderWidth = 5;
    panel.borderColor = labelBlue;
    panel.outerColor = labelBlue;
    panel.antialiased = true;
    panel.gradient = false;
    panel.defaultFrom = clWhite;
    panel.defaultTo = 14933983;
    panel.gradientType = gtVertical;
    RbPanel1.Create(Handle(), panel);
    RbPanel1.SetPopupMenu(&PopupMenu1);
    RbPanel1.OnMouseDown = [this](MouseButton, int, int) { RbPanel1MouseDown(); };

    PopupMenu1.SetItems({&Exit1});
    Exit1.OnClick = [this] { Exit1Click(); };
    AddMenu(PopupMenu1);

    const HWND p = RbPanel1.Handle();
    CreateGauge(RAMCyl, 24, "Empty");
    CreateGauge(CPUCyl, 48, "Full Speed");
    CreateGauge(PFLCyl, 72, "Empty");
    RAMCyl.SetForeColor(clGreen);
    RAMCyl.SetForeLineColor(4227072);
    RAMCyl.ForeStyle.SetIntensity(4);
    RAMCyl.ForeStyle.SetIntensityFactor(-1);
    RAMCyl.ForeStyle.SetColorRGB(255);
    RAMCyl.SetFontShadowColor(clWhite);
    CPUCyl.SetForeColor(204);
    CPUCyl.SetForeLineColor(clRed);
    CPUCyl.ForeStyle.SetIntensity(3);
    CPUCyl.ForeStyle.SetIntensityFactor(-0.8f);
    CPUCyl.ForeStyle.SetColorRGB(200);
    CPUCyl.SetFontShadowColor(clWhite);
    PFLCyl.SetForeColor(14117632);
    PFLCyl.SetForeLineColor(10316288);
    PFLCyl.ForeStyle.SetIntensity(3);
    PFLCyl.ForeStyle.SetIntensityFactor(-0.8f);
    PFLCyl.ForeStyle.SetColorRGB(200);
    PFLCyl.SetFontShadowColor(clBtnFace);
    for (TProgressCyl* gauge : {&RAMCyl, &CPUCyl, &PFLCyl})
        gauge->SetProEffect(peCustom);

    Label1.Create(p, {{14, 28, 28, 13}, "RAM", LabelFont()});
    Label2.Create(p, {{14, 52, 26, 13}, "CPU", LabelFont()});
    Label3.Create(p, {{14, 77, 23, 13}, "PFL", LabelFont()});
    dxToolButton1.Create(p, {157, 6, 15, 15}, labelBlue, "Close");
    dxToolButton1.OnClick = [this] { Exit1Click(); };
    Label4.Create(p, {{14, 100, 36, 13}, "CPUs:", LabelFont()});
    Label5.Create(p, {{94, 100, 41, 13}, "Battery", LabelFont()});
    Label6.Create(p, {{5, 130, 172, 13}, "Current I.P. Address:", LabelFont(), TextAlignment::Center, false});
    Bevel1.Create(p, {12, 122, 157, 2});
    Label7.Create(p, {{5, 148, 172, 13}, "I.P. Address:", LabelFont(33023), TextAlignment::Center, false});
    Label8.Create(p, {{5, 166, 172, 18}, "You are Offline", LabelFont(), TextAlignment::Center, false});
}

// The design values the three gauges share.
void TfrmSystemMonitor::CreateGauge(TProgressCyl& gauge, int top, const char* textDone)
{
    gauge.SetBackColor(clSilver);
    gauge.SetBackBorderColor(clGray);
    gauge.BackStyle.Assign({255, 4, -1, 255, 255, 1, -3});
    gauge.ForeStyle.Assign({255, 4, -1, 255, 255, 1, -3});
    gauge.SetBevelColor(clBtnFace);
    gauge.SetBevelInner(bvNone);
    gauge.SetBevelOuter(bvNone);
    gauge.SetBevelWidth(1);
    gauge.SetBorderWidth(2);
    gauge.SetColor(clWhite);
    gauge.SetCylinderEffect(ceMaximum);
    gauge.SetFont(FontSpec().Face("Arial").Height(-12).Bold().Color(clBlack));
    gauge.SetFontEffect(feNone);
    gauge.SetFontOrientation(foLeftToRight);
    gauge.SetOrientation(pbHorizontal);
    gauge.SetMax(100);
    gauge.SetPosition(50);
    gauge.SetShowText(true);
    gauge.SetText("%");
    gauge.SetTextDone(textDone);
    gauge.Create(RbPanel1.Handle(), {43, top, 126, 22});
}

// ---- Window handlers ---------------------------------------------------------

void TfrmSystemMonitor::FormCreate()
{
    // The rounded shape; the window owns the region from here on.
    ::SetWindowRgn(Handle(), ::CreateRoundRectRgn(0, 0, ClientWidth(), ClientHeight(), 25, 25), TRUE);
}

void TfrmSystemMonitor::FormShow()
{
    ProcessMessages();
    StopMonitor = false;
    closing_ = false;
    ProcessMessages();
    if (!samplerDone_)
        return;  // one loop at a time
    WaitForSampler();
    samplerDone_ = false;
    // The thread only hands the loop to the UI thread and waits for its end.
    // It hands it over once the window is on screen: this handler and the
    // ones around it let messages run before the window is shown, and a loop
    // taken up there would keep the window hidden for its whole run.
    ::ResetEvent(shown_.Get());
    const HWND window = Handle();
    sampler_ = std::thread([this, window] {
        ::WaitForSingleObject(shown_.Get(), INFINITE);
        if (!abandoned_)
            ::SendMessageA(window, runMonitorLoop, 0, 0);
        samplerDone_ = true;
    });
    ProcessMessages();
}

// Right-aligned as the widget, at its height + 25 from the top, unless the
// widget's own default place on the same screen lies there: both are always
// on top, and the gauges would hide behind the document list.
POINT TfrmSystemMonitor::DefaultPosition() const
{
    namespace placement = larkspan::placement;
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    const int left = larkspan::DefaultRightAlignedLeft(screenWidth, Width());
    const RECT designed{left, Height() + 25, left + Width(), 2 * Height() + 25};
    const RECT workArea = Application::Instance().Monitors().NearestWorkArea(designed);
    const int top = placement::MonitorDefaultTop({designed.left, designed.top, designed.right, designed.bottom},
                                                 placement::TessalyDefault(screenWidth, screenHeight), workArea.top);
    return {left, top};
}

void TfrmSystemMonitor::FormActivate()
{
    ::ShowWindow(Application::Instance().Handle(), SW_HIDE);
    const POINT place = WidgetPosition("System Monitor", DefaultPosition(), {Width(), Height()});
    MoveTo(place.x, place.y);
    ProcessMessages();
}

void TfrmSystemMonitor::FormClose()
{
    StopMonitor = true;
    closing_ = true;
    ProcessMessages();
}

void TfrmSystemMonitor::FormDestroy()
{
    SettingsFile::Larkspan().WritePosition("System Monitor", {Left(), Top()});
}

void TfrmSystemMonitor::RbPanel1MouseDown()
{
    ::ReleaseCapture();
    ::SendMessageA(Handle(), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
    ProcessMessages();
}

void TfrmSystemMonitor::Exit1Click()
{
    StopMonitor = true;
    closing_ = true;
    ProcessMessages();
    Close();
}

LRESULT TfrmSystemMonitor::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == runMonitorLoop) {
        MonitorLoop();
        return 0;
    }
    if (message == WM_WINDOWPOSCHANGED && (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW))
        ::SetEvent(shown_.Get());
    return Form::HandleMessage(message, wParam, lParam);
}

void TfrmSystemMonitor::WaitForSampler()
{
    // The thread may be waiting for this thread to take its message: keep
    // taking messages until it has ended.
    while (!samplerDone_)
        ProcessMessages();
    if (sampler_.joinable())
        sampler_.join();
}

// ---- The sampler -------------------------------------------------------------

bool TfrmSystemMonitor::Pump()
{
    const bool noQuit = ProcessMessages();
    return noQuit && !closing_ && !Application::Instance().Terminated();
}

void TfrmSystemMonitor::MonitorLoop()
{
    int processors = 0;
    if (!probe_->ProcessorCount(processors))
        return;  // the design values stay
    sampling_ = true;
    StopMonitor = false;
    Label4.SetCaption("CPUs: " + std::to_string(processors));
    while (!StopMonitor) {
        ++cycles_;
        if (!Pump())
            break;
        std::int64_t systemTime = 0;
        std::int64_t idleTime = 0;
        if (!probe_->SystemTime(systemTime) || !probe_->IdleTime(idleTime))
            break;
        if (brimwell::OldIdleTime != 0) {
            if (!Pump())
                break;
            const double idleDelta =
                sampling::LargeIntToDouble(idleTime) - sampling::LargeIntToDouble(brimwell::OldIdleTime);
            const double timeDelta =
                sampling::LargeIntToDouble(systemTime) - sampling::LargeIntToDouble(brimwell::OldSystemTime);
            if (const auto load = sampling::ProcessorLoad(idleDelta, timeDelta, processors))
                CPUCyl.SetPosition(*load);
            if (!Pump())
                break;
            StopMonitor = probe_->EscapeDown() || Application::Instance().Terminated();
            if (!Pump())
                break;
        }
        brimwell::OldIdleTime = idleTime;
        brimwell::OldSystemTime = systemTime;
        // The second passes with the window answering: messages run as they come.
        probe_->Wait(1000, [this] { return Pump(); });
        if (!Pump())
            break;
        ReadMemoryStatus();
        if (!Pump())
            break;
        // The online state and the address follow the machine's addresses:
        // both are asked again when those may have changed (the online state
        // also every ten cycles, the address also while none was found).
        addressesChanged_ = probe_->AddressesChanged();
        ReadPowerAndOnlineState();
        if (!Pump())
            break;
        std::string address;
        GetIPAddress(address);
        Label7.SetCaption(address);
        if (!Pump())
            break;
    }
    sampling_ = false;
}

void TfrmSystemMonitor::ReadMemoryStatus()
{
    const brimwell::MemoryFigures memory = probe_->Memory();
    if (!Pump())
        return;
    RAMCyl.SetPosition(100 - static_cast<int>(memory.memoryLoad));
    PFLCyl.SetMax(sampling::PageFileUnits(memory.totalPageFile));  // Max before Position
    PFLCyl.SetPosition(sampling::PageFileUnits(memory.availPageFile));
    Pump();
}

void TfrmSystemMonitor::ReadPowerAndOnlineState()
{
    if (!Pump())
        return;
    const brimwell::PowerFigures power = probe_->Power();
    if (!Pump())
        return;
    Label5.SetCaption(sampling::PowerText(power.acLineStatus, power.batteryLifePercent));
    if (!Pump())
        return;
    // The connected state follows the addresses, and also a switch of the
    // platform's own (working offline) that changes none: that one is asked
    // about every ten cycles.
    if (addressesChanged_ || cycles_ - onlineAskedAt_ >= onlineRecheckCycles) {
        online_ = probe_->Online();
        onlineAskedAt_ = cycles_;
    }
    if (online_) {
        Label8.SetFontColor(RGB(0, 0, 0));
        Label8.SetCaption("You are Online...");
    } else {
        Label8.SetFontColor(labelBlue);
        Label8.SetCaption("You are Offline");
    }
    Pump();
    Pump();
}

void TfrmSystemMonitor::GetIPAddress(std::string& address)
{
    // Asked again also when the resolver found nothing last time: it may
    // have failed.
    if (addressesChanged_ || address_.empty())
        address_ = probe_->IPAddress();
    address = address_;
}
