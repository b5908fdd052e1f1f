// Times one full paint of a 126 x 22 cylinder gauge (shading, frames, text
// with its shadow, composed off screen) next to the floor of the same run:
// copying that bitmap to a window once.
#include "brimwell/ProgressCyl.h"
#include "winui/Application.h"
#include "winui/Form.h"
#include "winui/Handles.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>

namespace {

class GaugeForm final : public winui::Form {
public:
    GaugeForm() : Form(Design()) {}
    TProgressCyl gauge;

private:
    static winui::FormDesign Design()
    {
        winui::FormDesign d;
        d.clientWidth = 160;
        d.clientHeight = 60;
        return d;
    }
    void CreateComponents() override
    {
        gauge.SetForeColor(clGreen);
        gauge.SetBackColor(clSilver);
        gauge.SetFontEffect(feShadowBottomRight);
        gauge.Create(Handle(), {10, 10, 126, 22});
    }
};

double Microseconds(int repeats, const std::function<void(int)>& work)
{
    double best = 1e18;
    for (int round = 0; round < 5; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < repeats; ++i)
            work(i);
        const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count() / repeats);
    }
    return best;
}

}  // namespace

int main()
{
    winui::Application app;
    GaugeForm* form = &app.CreateForm<GaugeForm>();
    form->Show();
    TProgressCyl& gauge = form->gauge;

    // Every position from 1 to 99 changes the drawn state: each call paints.
    const int before = gauge.PaintCount();
    const double paint = Microseconds(99, [&](int i) { gauge.SetPosition(1 + i % 99); });
    const int paints = gauge.PaintCount() - before;

    winui::WindowDc screen(gauge.Handle());
    winui::MemoryDc source(::CreateCompatibleDC(screen.Get()));
    winui::ScopedSelect select(source.Get(), gauge.Bitmap().Get());
    const double copy = Microseconds(99, [&](int) {
        ::BitBlt(screen.Get(), 0, 0, 126, 22, source.Get(), 0, 0, SRCCOPY);
        ::GdiFlush();
    });

    std::printf("cylinder gauge 126 x 22: one paint %.1f us, copy of its bitmap %.1f us, ratio %.1f (%d paints)\n",
                paint, copy, paint / copy, paints);
    return 0;
}
