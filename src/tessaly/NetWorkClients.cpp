#include "NetWorkClients.h"

TfrmNetworkClients* frmNetworkClients = nullptr;

namespace {

winui::FormDesign NetworkClientsDesign()
{
    winui::FormDesign d;
    d.caption = "Online Network Clients";
    d.border = winui::BorderStyle::Dialog;
    d.clientWidth = 655;
    d.clientHeight = 375;
    d.centred = true;
    d.font = winui::FontSpec().Face("MS Sans Serif").Height(-11);
    return d;
}

}  // namespace

TfrmNetworkClients::TfrmNetworkClients() : Form(NetworkClientsDesign()) {}
