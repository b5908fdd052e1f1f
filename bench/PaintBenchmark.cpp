// Times one rebuild of the widget's antialiased 178 x 330 list panel against
// one repaint of it from the cache, and one full paint of the document list
// with 20 visible items.
#include "tessaly/Main.h"
#include "tessaly/Program.h"
#include "winui/Application.h"
#include "winui/Painting.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

double Microseconds(int repeats, const std::function<void()>& work)
{
    double best = 1e18;
    for (int round = 0; round < 5; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < repeats; ++i)
            work();
        const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count() / repeats);
    }
    return best;
}

class SilentPrompts final : public winui::Prompts {
public:
    winui::MessageResult Show(HWND, const std::string&, winui::MessageKind, const std::string&,
                              winui::MessageButtons) override
    {
        return winui::MessageResult::Ok;
    }
};

}  // namespace

int main()
{
    winui::Application app;
    SilentPrompts prompts;
    app.SetPrompts(&prompts);
    tessaly::CreateForms(app);

    TRbPanel& panel = Form1->RbPanel2;
    winui::DibSection target(panel.Width(), panel.Height());
    winui::MemoryDc dc(::CreateCompatibleDC(nullptr));
    const HGDIOBJ previous = ::SelectObject(dc.Get(), target.Get());

    bool flip = false;
    const double rebuild = Microseconds(20, [&] {
        // A border colour change rebuilds the cached background.
        flip = !flip;
        panel.SetBorderColor(flip ? RGB(0xC0, 0xC0, 0xC1) : RGB(0xC0, 0xC0, 0xC0));
    });
    const double repaint = Microseconds(200, [&] { panel.PaintTo(dc.Get()); });
    ::SelectObject(dc.Get(), previous);

    std::vector<std::string> items;
    for (int i = 0; i < 20; ++i)
        items.push_back("C:\\Work\\Document number " + std::to_string(i) + (i % 2 ? ".doc" : ".mp3"));
    Form1->ListBox1.Assign(items);
    Form1->ListBox1.SetItemIndex(3);
    winui::DibSection listTarget(Form1->ListBox1.Width(), 21 * 20);
    winui::MemoryDc listDc(::CreateCompatibleDC(nullptr));
    const HGDIOBJ previousList = ::SelectObject(listDc.Get(), listTarget.Get());
    const double listPaint = Microseconds(20, [&] {
        ::SendMessageA(Form1->ListBox1.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(listDc.Get()),
                       PRF_CLIENT);
    });
    ::SelectObject(listDc.Get(), previousList);

    std::printf("list panel 178 x 330, antialiased: rebuild %.0f us, repaint from cache %.0f us, ratio %.1f\n",
                rebuild, repaint, rebuild / repaint);
    std::printf("document list, 20 visible items: full paint %.0f us\n", listPaint);
    return 0;
}
