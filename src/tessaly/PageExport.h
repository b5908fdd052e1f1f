// The search-progress window shown while the network is searched.
#pragma once

#include "winui/Form.h"

class TfrmExport final : public winui::Form {
public:
    TfrmExport();
};

extern TfrmExport* frmExport;
