// The window that lists the machines of the local network.
#pragma once

#include "winui/Form.h"

class TfrmNetworkClients final : public winui::Form {
public:
    TfrmNetworkClients();
};

extern TfrmNetworkClients* frmNetworkClients;
