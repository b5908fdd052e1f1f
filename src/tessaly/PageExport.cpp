#include "PageExport.h"

#include "winui/Colors.h"

using namespace winui;

TfrmExport* frmExport = nullptr;

namespace {

FormDesign ExportDesign()
{
    FormDesign d;
    d.caption = "Searching For Network Clients...";
    d.border = BorderStyle::Dialog;
    d.stayOnTop = true;
    d.clientWidth = 306;
    d.clientHeight = 125;
    d.centred = true;
    d.color = clWhite;
    return d;
}

}  // namespace

TfrmExport::TfrmExport() : Form(ExportDesign()) {}

void TfrmExport::CreateComponents()
{
    LabelDesign status;
    status.bounds = {8, 64, 289, 49};
    status.caption = "Searching...";
    status.font = FontSpec().Face("Arial").Height(-32).Bold().Italic();
    status.alignment = TextAlignment::Center;
    status.autoSize = false;
    lblStatus.Create(Handle(), status);

    RxGIFAnimatorDesign picture;
    picture.bounds = {136, 16, 32, 32};
    picture.center = true;
    RxGIFAnimator1.Create(Handle(), picture);
    TGIFImage image = TGIFImage::FromResource("SEARCHING");
    image.SetFrameIndex(3);
    RxGIFAnimator1.SetImage(image);
    RxGIFAnimator1.SetAsyncDrawing(true);
    RxGIFAnimator1.SetAnimate(true);
}
