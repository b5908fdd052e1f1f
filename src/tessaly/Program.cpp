#include "Program.h"

#include "AddressList.h"
#include "FilePortal.h"
#include "Main.h"
#include "NetWorkClients.h"
#include "PageExport.h"

#include "winui/Application.h"

#include <memory>

namespace tessaly {

void CreateForms(winui::Application& app, const std::string& receiveFolder)
{
    app.SetTitle("Tessaly");
    app.CreateForm(Form1);
    app.AdoptForm(std::make_unique<TfrmFilePortal>(receiveFolder), frmFilePortal);
    app.CreateForm(frmAddressList);
    app.CreateForm(frmNetworkClients);
    app.CreateForm(frmExport);
}

}  // namespace tessaly
