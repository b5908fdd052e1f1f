#include "PageExport.h"

TfrmExport* frmExport = nullptr;

namespace {

winui::FormDesign ExportDesign()
{
    winui::FormDesign d;
    d.caption = "Searching For Network Clients...";
    d.border = winui::BorderStyle::Dialog;
    d.stayOnTop = true;
    d.clientWidth = 306;
    d.clientHeight = 125;
    d.centred = true;
    d.color = RGB(255, 255, 255);
    return d;
}

}  // namespace

TfrmExport::TfrmExport() : Form(ExportDesign()) {}
