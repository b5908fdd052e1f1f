#include "FilePortal.h"

TfrmFilePortal* frmFilePortal = nullptr;

namespace {

winui::FormDesign PortalDesign()
{
    winui::FormDesign d;
    d.clientWidth = 178;
    d.clientHeight = 417;
    d.stayOnTop = true;
    d.alpha = 220;
    d.font = winui::FontSpec().Face("MS Sans Serif").Height(-11);
    return d;
}

}  // namespace

TfrmFilePortal::TfrmFilePortal() : Form(PortalDesign()) {}
