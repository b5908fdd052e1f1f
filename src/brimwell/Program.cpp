#include "Program.h"

#include "Main.h"

#include "winui/Application.h"

namespace brimwell {

void CreateForms(winui::Application& app, std::unique_ptr<SystemProbe> probe)
{
    app.SetTitle("System Monitor");
    auto form = std::make_unique<TfrmSystemMonitor>(std::move(probe));
    app.AdoptForm(std::move(form), frmSystemMonitor);
}

}  // namespace brimwell
