// The search-progress window shown while the network is searched: a caption
// and an animated picture that moves from its own thread, so it keeps moving
// while the search holds the GUI thread.
#pragma once

#include "controls/RxGIFAnimator.h"
#include "winui/Form.h"
#include "winui/Label.h"

class TfrmExport final : public winui::Form {
public:
    TfrmExport();

    winui::Label lblStatus;
    TRxGIFAnimator RxGIFAnimator1;

private:
    void CreateComponents() override;
};

extern TfrmExport* frmExport;
