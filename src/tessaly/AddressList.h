// The address book of peers.
#pragma once

#include "winui/Form.h"

class TfrmAddressList final : public winui::Form {
public:
    TfrmAddressList();
};

extern TfrmAddressList* frmAddressList;
