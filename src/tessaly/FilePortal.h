// The file portal window, docked to the left of the widget.
#pragma once

#include "winui/Form.h"

class TfrmFilePortal final : public winui::Form {
public:
    TfrmFilePortal();
};

extern TfrmFilePortal* frmFilePortal;
