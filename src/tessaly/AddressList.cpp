#include "AddressList.h"

TfrmAddressList* frmAddressList = nullptr;

namespace {

winui::FormDesign AddressListDesign()
{
    winui::FormDesign d;
    d.clientWidth = 462;
    d.clientHeight = 341;
    d.centred = true;
    d.font = winui::FontSpec().Face("MS Sans Serif").Height(-10);
    return d;
}

}  // namespace

TfrmAddressList::TfrmAddressList() : Form(AddressListDesign()) {}
