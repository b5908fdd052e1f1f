// The system monitor window and its sampling loop.
#pragma once

#include "ProgressCyl.h"
#include "SystemProbe.h"
#include "ToolButton.h"

#include "controls/RbPanel.h"
#include "winui/Form.h"
#include "winui/Handles.h"
#include "winui/Label.h"
#include "winui/PopupMenu.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

class TfrmSystemMonitor final : public winui::Form {
public:
    // The probe reads the platform; tests pass their own.
    explicit TfrmSystemMonitor(std::unique_ptr<brimwell::SystemProbe> probe = nullptr);
    ~TfrmSystemMonitor() override;

    TRbPanel RbPanel1;
    winui::PopupMenu PopupMenu1;
    winui::MenuItem Exit1{"Exit"};
    TProgressCyl RAMCyl;
    TProgressCyl CPUCyl;
    TProgressCyl PFLCyl;
    winui::Label Label1, Label2, Label3;
    TdxToolButton dxToolButton1;
    winui::Label Label4, Label5, Label6;
    winui::BevelLine Bevel1;
    winui::Label Label7, Label8;

    bool StopMonitor = false;

    void FormCreate();
    void FormShow();
    void FormActivate();
    void FormClose();
    void FormDestroy();
    void RbPanel1MouseDown();
    void Exit1Click();

    // The sampler.
    void MonitorLoop();
    void ReadMemoryStatus();
    void ReadPowerAndOnlineState();
    void GetIPAddress(std::string& address);

    // True while a sampling loop runs.
    bool Sampling() const noexcept { return sampling_; }
    // True from the start of the hand-over thread until it has ended.
    bool SamplerRunning() const noexcept { return !samplerDone_; }
    // How many cycles the loop has begun since the window was created.
    int Cycles() const noexcept { return cycles_; }

private:
    void CreateComponents() override;
    void CreateGauge(TProgressCyl& gauge, int top, const char* textDone);
    POINT DefaultPosition() const;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Lets pending messages run; false when the window is closing, so the
    // rest of a cycle never touches controls that are about to go.
    bool Pump();
    void WaitForSampler();

    std::unique_ptr<brimwell::SystemProbe> probe_;
    std::thread sampler_;            // hands the loop to this thread, then ends
    std::atomic<bool> samplerDone_{true};
    winui::KernelHandle shown_;              // set once the window is on screen
    std::atomic<bool> abandoned_{false};     // the form is going: no hand-over
    bool sampling_ = false;
    bool closing_ = false;
    int cycles_ = 0;
    // The platform's last answers, kept while the machine's addresses stay.
    static constexpr int onlineRecheckCycles = 10;
    bool addressesChanged_ = true;
    bool online_ = false;
    int onlineAskedAt_ = 0;  // the cycle the connected state was last asked in
    std::string address_;
};

extern TfrmSystemMonitor* frmSystemMonitor;

namespace brimwell {
// The previous cycle's counters: module-level, so a new thread continues them.
extern std::int64_t OldIdleTime;
extern std::int64_t OldSystemTime;
}  // namespace brimwell
